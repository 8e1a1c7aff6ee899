// Random textures and triangle lists for comparing the renderer with the reference loop.
#pragma once
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "render/Triangles.h"
#include "support/OwnedImage.h"

namespace strandel::test {

inline double Uniform(std::mt19937_64& random, double lo, double hi)
{
    return lo + (hi - lo) * std::generate_canonical<double, 53>(random);
}

// Straight colour in stored units; a fifth of the texels fully transparent, a fifth opaque.
inline void FillRandom(OwnedImage& image, std::mt19937_64& random)
{
    const double full = FullScale(image.Format());
    const bool isFloat = image.Format() == PixelFormat::ArgbFloat;
    for (int32_t y = 0; y < image.Height(); ++y)
        for (int32_t x = 0; x < image.Width(); ++x) {
            const double pick = Uniform(random, 0, 1);
            double alpha = pick < 0.2 ? 0 : pick < 0.4 ? 1 : Uniform(random, 0, 1);
            std::array<double, 4> c = {alpha, Uniform(random, 0, 1), Uniform(random, 0, 1), Uniform(random, 0, 1)};
            if (isFloat) {
                for (int i = 1; i < 4; ++i) c[i] *= 1.5; // colours above 1 are legal in float
            } else {
                for (double& v : c) v = std::round(v * full);
            }
            image.Set(x, y, c);
        }
}

struct RandomListOptions {
    double xLo = -20, xHi = 80, yLo = -20, yHi = 70;
    double zLo = 0.5, zHi = 20;
    double opacityLo = 0.05, opacityHi = 1;
};

// Triangles over the given source quads, with texture coordinates reaching past the border and
// every third entry a full quad (D differs from A).
inline TriangleList RandomTriangles(const std::vector<const SourceQuad*>& quads, int count, std::mt19937_64& random,
                                    const RandomListOptions& options = {})
{
    TriangleList list;
    for (int i = 0; i < count; ++i) {
        const SourceQuad* quad = quads[i % quads.size()];
        const auto vertex = [&] {
            const double w = quad->image.width, h = quad->image.height;
            return ScreenVertex{Uniform(random, options.xLo, options.xHi), Uniform(random, options.yLo, options.yHi),
                                Uniform(random, options.zLo, options.zHi), Uniform(random, -3, w + 2),
                                Uniform(random, -3, h + 2)};
        };
        ScreenTriangle t{quad, vertex(), vertex(), vertex(), {}, Uniform(random, options.opacityLo, options.opacityHi),
                         0};
        t.D = i % 3 == 0 ? vertex() : t.A;
        t.depth = (t.A.z + t.B.z + t.C.z) / 3;
        list.push_back(t);
    }
    return list;
}

// One case of the comparisons on random lists; each has its own seed, which Describe names.
struct RandomListCase {
    RandomListOptions options;
    PixelFormat outFormat, sourceFormat;
    bool depthTest;
    uint64_t seed;
    int count = 80;
    int32_t smallWidth = 17, smallHeight = 13;
    bool startClear = false;

    std::string Describe() const
    {
        std::ostringstream s;
        s << "seed " << seed << ": output " << outFormat << ", source " << sourceFormat << ", depth " << depthTest;
        return s.str();
    }
};

// Small triangles around the output and large ones far beyond it (as near-plane clipping makes),
// at every output and source format, with the depth test off and on.
inline std::vector<RandomListCase> RandomListCases()
{
    const RandomListOptions ranges[] = {{}, {-3e5, 3e5, -2e5, 2e5, 0.5, 20}};
    std::vector<RandomListCase> cases;
    uint64_t seed = 1;
    for (const RandomListOptions& options : ranges)
        for (PixelFormat outFormat : kFormats)
            for (PixelFormat sourceFormat : kFormats)
                for (bool depthTest : {false, true})
                    cases.push_back({options, outFormat, sourceFormat, depthTest, seed++});
    return cases;
}

// Random textures and background of one case, and its random triangle list over them.
struct RandomListScene {
    OwnedImage small, large, background;
    SourceQuad quads[2];
    TriangleList list;

    explicit RandomListScene(const RandomListCase& k)
        : small(k.smallWidth, k.smallHeight, k.sourceFormat, 6), large(40, 33, k.sourceFormat, 10),
          background(61, 47, k.outFormat, 12), quads{{small.View(), {}, 0, 0, k.smallWidth - 1.0, k.smallHeight - 1.0},
                                                     {large.View(), {}, 0, 0, 39, 32}}
    {
        std::mt19937_64 random(k.seed);
        FillRandom(small, random);
        FillRandom(large, random);
        if (!k.startClear) FillRandom(background, random);
        list = RandomTriangles({&quads[0], &quads[1]}, k.count, random, k.options);
    }
    RandomListScene(const RandomListScene&) = delete; // the quads point into the scene's own images
};

} // namespace strandel::test
