// The benchmark frame: 500 soft-disc sprites at three depths, 1920 x 1080, seeded, back to front.
#pragma once
#include <array>
#include <cmath>
#include <random>

#include "render/DepthSort.h"
#include "render/Projection.h"
#include "support/OwnedImage.h"

namespace strandel::bench {

constexpr int32_t kWidth = 1920, kHeight = 1080, kSpriteSize = 256, kQuadCount = 500;

// Alpha (1 - r^2)^2 of the distance from the centre, normalised to 1 at the inscribed circle.
inline test::OwnedImage MakeSoftDisc(PixelFormat format)
{
    test::OwnedImage image(kSpriteSize, kSpriteSize, format);
    const double full = test::FullScale(format), centre = (kSpriteSize - 1) / 2.0;
    for (int32_t y = 0; y < kSpriteSize; ++y)
        for (int32_t x = 0; x < kSpriteSize; ++x) {
            const double dx = (x - centre) / centre, dy = (y - centre) / centre;
            const double r2 = std::min(1.0, dx * dx + dy * dy);
            const double alpha = (1 - r2) * (1 - r2);
            const auto level = [&](double unit) { return full == 1 ? unit : std::round(unit * full); };
            image.Set(
                x, y,
                {level(alpha), level(0.9), level(0.3 + 0.6 * x / kSpriteSize), level(0.8 - 0.5 * y / kSpriteSize)});
        }
    return image;
}

inline CameraInfo DefaultCamera()
{
    CameraInfo camera;
    camera.zoom = kWidth * 50.0 / 36.0;
    camera.compWidth = kWidth;
    camera.compHeight = kHeight;
    camera.cameraPosition = {kWidth / 2.0, kHeight / 2.0, -camera.zoom};
    return camera;
}

inline Vec3 Rotated(Vec3 p, double aboutZ, double aboutX, double aboutY)
{
    p = {p.x * std::cos(aboutZ) - p.y * std::sin(aboutZ), p.x * std::sin(aboutZ) + p.y * std::cos(aboutZ), p.z};
    p = {p.x, p.y * std::cos(aboutX) - p.z * std::sin(aboutX), p.y * std::sin(aboutX) + p.z * std::cos(aboutX)};
    return {p.x * std::cos(aboutY) + p.z * std::sin(aboutY), p.y, p.z * std::cos(aboutY) - p.x * std::sin(aboutY)};
}

inline double ShoelaceArea(const std::array<ScreenPoint, 4>& p)
{
    double twice = 0;
    for (int i = 0; i < 4; ++i) twice += p[i].x * p[(i + 1) % 4].y - p[(i + 1) % 4].x * p[i].y;
    return std::fabs(twice) / 2;
}

struct Frame {
    TriangleList triangles;
    double coveredPixels = 0;
};

// Quads 150 to 300 pixels across, turned about the view axis, tilted up to 45 degrees about X
// and Y, wholly on screen, at depths from half to three times the camera distance.
inline Frame BuildFrame(const SourceQuad& sprite)
{
    const CameraInfo camera = DefaultCamera();
    std::mt19937_64 random(20240611);
    const auto uniform = [&](double lo, double hi) {
        return lo + (hi - lo) * std::generate_canonical<double, 53>(random);
    };
    const double quarterTurn = std::acos(0.0) / 2;
    Frame frame;
    while (static_cast<int>(frame.triangles.size()) < 2 * kQuadCount) {
        const double depth = camera.zoom * uniform(0.5, 3), across = uniform(150, 300);
        const double half = across / 2 * depth / camera.zoom;
        const double sx = uniform(0, kWidth), sy = uniform(0, kHeight);
        const Vec3 centre = camera.cameraPosition + Vec3{(sx - kWidth / 2.0) * depth / camera.zoom,
                                                         (sy - kHeight / 2.0) * depth / camera.zoom, depth};
        const double turn = uniform(0, 8 * quarterTurn), tiltX = uniform(-quarterTurn, quarterTurn),
                     tiltY = uniform(-quarterTurn, quarterTurn);
        std::array<Vec3, 4> corners;
        std::array<ScreenPoint, 4> projected;
        bool onScreen = true;
        const double signs[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
        for (int k = 0; k < 4; ++k) {
            corners[k] = centre + Rotated({signs[k][0] * half, signs[k][1] * half, 0}, turn, tiltX, tiltY);
            projected[k] = *ProjectViewPoint(camera, WorldToView(camera, corners[k]));
            onScreen = onScreen && projected[k].x >= 0 && projected[k].x <= kWidth && projected[k].y >= 0 &&
                       projected[k].y <= kHeight;
        }
        if (!onScreen) continue;
        EmitQuadTriangles(sprite, corners, 1.0, camera, frame.triangles);
        frame.coveredPixels += ShoelaceArea(projected);
    }
    SortTrianglesByDepth(frame.triangles);
    return frame;
}

} // namespace strandel::bench
