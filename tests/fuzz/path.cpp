// Path keyframes with any values (NaN, infinities, huge, coincident, zero tangents) and any
// settings the parameters allow: path geometry, the debug path, the layout of the copies and
// their triangles, drawn as a frame draws them.
#include <cmath>

#include "fuzz/FuzzRender.h"
#include "layout/InstanceLayout.h"
#include "path/PathGeometry.h"
#include "render/DebugPath.h"
#include "render/Rasterizer.h"
#include "support/LayoutTestSupport.h"

using namespace strandel;
using namespace strandel::fuzz;

namespace {

// Values as the parameter table bounds them.
RenderSettings AnySettings(FuzzInput& in)
{
    RenderSettings s = LinearCurves();
    auto angle = [&] { return in.InRange(-3600, 3600); };
    auto angles = [&] { return Vec3{angle(), angle(), angle()}; };
    s.placementMode = static_cast<PlacementMode>(in.Raw<uint8_t>() % 4);
    s.inside = in.Bool();
    s.spread = in.InRange(-300, 300);
    s.sourceMode = static_cast<SourceMode>(in.Raw<uint8_t>() % 3);
    s.sourceSeed = in.IntInRange(1, 999999);
    // Now and then the most copies allowed; mostly few, so that each input stays quick.
    s.count = in.Raw<uint8_t>() % 16 == 0 ? in.IntInRange(1, 1000) : in.IntInRange(1, 64);
    s.spacing = in.InRange(0, 1000);
    s.offset = in.InRange(-100000, 100000);
    s.loop = in.Bool();
    s.reverse = in.Bool();
    s.arrayPosition = {in.InRange(-1e5, 1e5), in.InRange(-1e5, 1e5), in.InRange(-1e5, 1e5)};
    s.arrayRotation = angles();
    s.arrayScale = in.InRange(0, 10000);
    s.orientationMode = static_cast<OrientationMode>(in.Raw<uint8_t>() % 5);
    s.forwardAxis = static_cast<ForwardAxis>(in.Raw<uint8_t>() % 8);
    s.roll = angle();
    s.objectRotation = angles();
    s.objectScale = in.InRange(0, 10000);
    s.rampRotation = angles();
    s.rampScale = in.InRange(-10000, 10000);
    s.rampOpacity = in.InRange(-10000, 10000);
    s.rampTimeOffset = in.InRange(-3600, 3600);
    s.rampShape = in.IntInRange(0, 5);
    s.gradientStartRotation = angles();
    s.gradientEndRotation = angles();
    s.gradientStartScale = in.InRange(0, 10000);
    s.gradientEndScale = in.InRange(0, 10000);
    s.gradientStartOpacity = in.InRange(0, 100);
    s.gradientEndOpacity = in.InRange(0, 100);
    s.gradientStartTimeOffset = in.InRange(-3600, 3600);
    s.gradientEndTimeOffset = in.InRange(-3600, 3600);
    s.randomSeed = in.IntInRange(1, 999999);
    s.randomRotation = angles();
    s.randomScale = in.InRange(0, 10000);
    s.timeRandom = in.InRange(-3600, 3600);
    s.depthSort = in.Bool();
    s.opacity = in.InRange(0, 100);
    s.quality = static_cast<Quality>(in.Raw<uint8_t>() % 5);
    // The debug path stamps a disc at every pixel along a path of up to 65536 samples: drawn
    // for one input in four, so that the rest run quickly.
    const uint8_t debug = in.Raw<uint8_t>();
    s.debugPath = debug % 4 == 0 ? static_cast<DebugPath>(debug / 4 % 5) : DebugPath::Off;
    return s;
}

// The comp's default camera, or a camera layer anywhere with any zoom the host allows.
CameraInfo AnyCamera(FuzzInput& in, int32_t width, int32_t height)
{
    CameraInfo camera;
    camera.compWidth = width;
    camera.compHeight = height;
    camera.zoom = std::max(width, height);
    camera.cameraPosition = {width / 2.0, height / 2.0, -camera.zoom};
    if (!in.Bool()) return camera;
    const Vec3 p{in.InRange(-5000, 5000), in.InRange(-5000, 5000), in.InRange(-5000, 5000)};
    camera.zoom = in.InRange(1, 10000);
    camera.cameraToLayer.m[3][0] = p.x;
    camera.cameraToLayer.m[3][1] = p.y;
    camera.cameraToLayer.m[3][2] = p.z;
    camera.hasCamera = InvertMatrix4(camera.cameraToLayer, camera.layerToCamera);
    camera.cameraPosition = p;
    return camera;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    FuzzInput in(data, size);
    const RenderSettings settings = AnySettings(in);
    FuzzSource source(in);
    test::OwnedImage output(1 + in.Raw<uint8_t>() % 48, 1 + in.Raw<uint8_t>() % 32, AnyFormat(in));
    const CameraInfo camera = AnyCamera(in, output.Width(), output.Height());
    std::vector<PathKeyframe> keys;
    while (in.Remaining() > 0 && keys.size() < 64) {
        PathKeyframe k;
        for (Vec3* v : {&k.position, &k.inTangent, &k.outTangent})
            *v = {in.AnyDouble(), in.AnyDouble(), in.AnyDouble()};
        keys.push_back(k);
    }

    PathTable path = BuildPath(keys, settings);
    Require(path.size() <= kPathSampleLimit);
    for (const PathSample& sample : path) Require(std::isfinite(sample.arcLength));
    ApplyArrayPosition(path, camera, settings);
    if (settings.debugPath != DebugPath::Off) DrawDebugPath(path, camera, output.View(), settings.opacity / 100, 5);

    SourceList sources{SourceEntry{0, {source.quad}}};
    InstanceList instances = BuildInstances(path, sources, settings, camera);
    Require(instances.size() <= static_cast<std::size_t>(settings.count));
    TriangleList triangles;
    for (SpriteInstance& instance : instances) {
        instance.frame = &sources[0];
        PlaceSprite(instance, source.quad, settings, camera, triangles);
    }
    for (const ScreenTriangle& t : triangles)
        Require(IsFiniteVertex(t.A) && IsFiniteVertex(t.B) && IsFiniteVertex(t.C) && IsFiniteVertex(t.D) &&
                std::isfinite(t.opacity));
    DepthBuffer depth(output.Width(), output.Height());
    if (settings.depthSort) SortTrianglesByDepth(triangles);
    DrawTriangleListCpu(triangles, output.View(), settings.depthSort ? &depth : nullptr, AbortCheck{});
    CheckDrawn(output, source.image, settings.depthSort ? &depth : nullptr);
    return 0;
}
