// The copies along the path for one frame, in index order or farthest first.
#include "layout/InstanceLayout.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "path/PathGeometry.h"
#include "render/Projection.h"

namespace strandel {

InstanceList BuildInstances(const PathTable& path, const SourceList& sources, const RenderSettings& settings,
                            const CameraInfo& camera)
{
    InstanceList instances;
    if (path.empty() || sources.empty()) return instances;
    instances.reserve(std::size_t(std::max(settings.count, 0)));

    const double length = TotalLength(path);
    const int32_t sourceCount = int32_t(std::min<std::size_t>(sources.size(), INT32_MAX));
    for (int32_t i = 0; i < settings.count; ++i) {
        const Placement placement = PlaceInstance(settings, i);
        if (!placement.placed) continue;
        const int32_t source = ChooseSource(settings, i, sourceCount);
        if (source < 0) continue;

        const PathSample sample = SamplePathAtDistance(path, placement.pathFraction * length);
        SpriteInstance instance;
        instance.frame = &sources[std::size_t(source)];
        instance.source = source;
        instance.position = sample.position;
        instance.tangent = sample.tangent;
        instance.normal = sample.normal;
        instance.binormal = sample.binormal;
        instance.frameTangent = sample.frameTangent;
        instance.depth = WorldToView(camera, sample.position).z;
        instance.pathFraction = std::clamp(placement.pathFraction, 0.0, 1.0);
        instance.gradientFraction = placement.gradientFraction;
        instance.timeOffset = InstanceTimeOffset(settings, i, placement.indexFraction, placement.gradientFraction);
        instance.index = i;
        instances.push_back(instance);
    }

    if (settings.depthSort) SortInstancesByDepth(instances);
    return instances;
}

void SortInstancesByDepth(InstanceList& instances)
{
    // A NaN depth would break the ordering the sort relies on; such copies go last, as if nearest.
    const auto key = [](const SpriteInstance& s) {
        return std::isnan(s.depth) ? -std::numeric_limits<double>::infinity() : s.depth;
    };
    std::sort(instances.begin(), instances.end(),
              [&key](const SpriteInstance& a, const SpriteInstance& b) { return key(a) > key(b); });
}

} // namespace strandel
