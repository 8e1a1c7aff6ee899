#include <gtest/gtest.h>

#include <cmath>

#include "host/project/Transforms.h"
#include "support/HostTestSupport.h"

namespace strandel::host {
namespace {

using test::Apply;
using test::ExpectNear;

Json Comp(Json layers, int width = 1000, int height = 500)
{
    return {{"comps", Json::array({{{"name", "Main"},
                                    {"width", width},
                                    {"height", height},
                                    {"frameRate", 30},
                                    {"duration", 2},
                                    {"layers", layers}}})}};
}

// A 3D null with its anchor at its origin and no position, so that only the tested part acts.
Json Null3D(const std::string& name, Json transform)
{
    Json t = {{"anchorPoint", {0, 0, 0}}, {"position", {0, 0, 0}}};
    for (const auto& [k, v] : transform.items()) t[k] = v;
    return {{"name", name}, {"type", "null"}, {"threeD", true}, {"transform", t}};
}

struct Loaded {
    test::ScratchDir dir;
    LoadedScene scene;
    explicit Loaded(const Json& json) : scene(test::LoadSceneJson(dir, json)) {}
    const Composition& comp() const { return scene.project.comps[0]; }
    const Layer& layer(const std::string& name) const { return *comp().LayerByName(name); }
    Matrix4 toWorld(const std::string& name, double t = 0) const { return LayerToWorld(scene.project, layer(name), t); }
};

TEST(Transforms, FactorsApplyInTheDefinedOrder)
{
    Loaded s(Comp({Null3D("all", {{"anchorPoint", {10, 20, 30}},
                                  {"scale", {200, 50, 300}},
                                  {"xRotation", 30},
                                  {"yRotation", -45},
                                  {"rotation", 60},
                                  {"orientation", {10, 20, 30}},
                                  {"position", {5, 6, 7}}})}));
    const auto rad = [](double d) { return d * M_PI / 180; };
    // The full chain, written out for one point: anchor, scale, Rx, Ry, Rz, Rx, Ry, Rz, position.
    Vec3 p{13, 24, 35};
    p = {(p.x - 10) * 2, (p.y - 20) * 0.5, (p.z - 30) * 3};
    const auto rx = [&](Vec3 v, double a) {
        return Vec3{v.x, v.y * cos(rad(a)) - v.z * sin(rad(a)), v.y * sin(rad(a)) + v.z * cos(rad(a))};
    };
    const auto ry = [&](Vec3 v, double a) {
        return Vec3{v.x * cos(rad(a)) + v.z * sin(rad(a)), v.y, v.z * cos(rad(a)) - v.x * sin(rad(a))};
    };
    const auto rz = [&](Vec3 v, double a) {
        return Vec3{v.x * cos(rad(a)) - v.y * sin(rad(a)), v.x * sin(rad(a)) + v.y * cos(rad(a)), v.z};
    };
    p = rz(ry(rx(rz(ry(rx(p, 30), -45), 60), 10), 20), 30) + Vec3{5, 6, 7};
    ExpectNear(Apply(s.toWorld("all"), {13, 24, 35}), p);
}

TEST(Transforms, AnchorScaleAndTwoDimensionalLayers)
{
    Loaded s(Comp({{{"name", "scaled"},
                    {"type", "solid"},
                    {"width", 100},
                    {"height", 100},
                    {"threeD", true},
                    {"transform", {{"scale", {200, 300}}, {"position", {100, 100, 0}}}}},
                   {{"name", "flat"},
                    {"type", "solid"},
                    {"width", 100},
                    {"height", 40},
                    {"transform",
                     {{"anchorPoint", {0, 0, 50}},
                      {"position", {10, 20, 30}},
                      {"xRotation", 45},
                      {"rotation", 90},
                      {"scale", {100, 100, 500}}}}}}));
    // Default anchor: the source's centre (50, 50) lands on the position; 2 and 3 times larger.
    ExpectNear(Apply(s.toWorld("scaled"), {50, 50, 0}), {100, 100, 0});
    ExpectNear(Apply(s.toWorld("scaled"), {60, 40, 0}), {120, 70, 0});
    // A 2D layer: z of anchor and position and the z scale drop out, and only Rz turns it.
    Matrix4 expected;
    expected.m[0][0] = 0, expected.m[0][1] = 1;
    expected.m[1][0] = -1, expected.m[1][1] = 0;
    expected.m[3][0] = 10, expected.m[3][1] = 20;
    ExpectNear(s.toWorld("flat"), expected);
}

TEST(Transforms, ParentsCarryChildrenAndWorldToLayerUndoesTheChain)
{
    Json child = Null3D("child", {{"position", {10, 0, 0}}, {"yRotation", 30}, {"scale", {50, 200, 100}}});
    child["parent"] = "parent";
    Json parent = Null3D("parent", {{"position", {100, 100, 5}}, {"rotation", 90}, {"anchorPoint", {1, 2, 3}}});
    parent["parent"] = "grandparent";
    Json flatChild = {{"name", "flat child"},
                      {"type", "null"},
                      {"parent", "parent"},
                      {"transform", {{"anchorPoint", {0, 0}}, {"position", {10, 0}}}}};
    Json zero = Null3D("zero", {{"scale", {0, 100, 100}}});
    Loaded s(
        Comp({child, parent, Null3D("grandparent", {{"xRotation", 20}, {"position", {-3, 4, 8}}}), flatChild, zero}));
    // Child origin (10, 0, 0) in the parent's space; parent: -anchor, Rz 90, then position.
    const Matrix4 parentWorld = s.toWorld("parent");
    ExpectNear(Apply(s.toWorld("child"), {0, 0, 0}), Apply(parentWorld, {10, 0, 0}));
    ExpectNear(Apply(s.toWorld("flat child"), {0, 0, 0}), Apply(parentWorld, {10, 0, 0}));
    // The parent alone: (10,0,0) - anchor (1,2,3) = (9,-2,-3), Rz 90 -> (2,9,-3), + (100,100,5);
    // the grandparent carries that point on.
    ExpectNear(Apply(parentWorld, {10, 0, 0}), Apply(s.toWorld("grandparent"), {102, 109, 2}));

    for (const char* name : {"child", "parent", "flat child"}) {
        const auto inverse = WorldToLayer(s.scene.project, s.layer(name), 0);
        ASSERT_TRUE(inverse) << name;
        ExpectNear(s.toWorld(name) * *inverse, Matrix4::Identity(), 1e-9);
    }
    EXPECT_FALSE(WorldToLayer(s.scene.project, s.layer("zero"), 0));
}

TEST(Cameras, PointOfInterestCameraRows)
{
    Json front = {{"name", "front"},
                  {"type", "camera"},
                  {"transform", {{"position", {500, 250, -1500}}}}}; // default point of interest: comp centre
    Json down = {{"name", "down"},
                 {"type", "camera"},
                 {"transform", {{"position", {0, -100, 0}}, {"pointOfInterest", {0, 0, 0}}}}};
    const struct {
        Json camera;
        Matrix4 rows;
        double zoom;
    } cases[] = {
        {front, {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {500, 250, -1500, 1}}}, 1000 * 50.0 / 36},
        // Looking along +Y: r = (1,0,0), d = (0,1,0) x (1,0,0) = (0,0,-1).
        {down, {{{1, 0, 0, 0}, {0, 0, -1, 0}, {0, 1, 0, 0}, {0, -100, 0, 1}}}, 1000 * 50.0 / 36},
    };
    for (const auto& c : cases) {
        Loaded s(Comp({c.camera}));
        const CameraView view = CompCamera(s.scene.project, s.comp(), 0);
        ExpectNear(view.cameraToWorld, c.rows);
        EXPECT_DOUBLE_EQ(view.zoom, c.zoom);
        EXPECT_EQ(view.layer, &s.comp().layers[0]);
    }
}

TEST(Cameras, DefaultCameraActiveCameraAndParentedCamera)
{
    Loaded none(Comp({Null3D("n", {})}, 1280, 720));
    const CameraView byDefault = CompCamera(none.scene.project, none.comp(), 0);
    const double zoom = 1280 * 50.0 / 36;
    EXPECT_DOUBLE_EQ(byDefault.zoom, zoom);
    EXPECT_EQ(byDefault.layer, nullptr);
    ExpectNear(byDefault.cameraToWorld, {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {640, 360, -zoom, 1}}});

    Json off = {{"name", "off"}, {"type", "camera"}, {"enabled", false}, {"zoom", 1}};
    Json on = {{"name", "on"},
               {"type", "camera"},
               {"parent", "rig"},
               {"zoom", 900},
               {"transform", {{"position", {0, 0, -10}}, {"pointOfInterest", {0, 0, 0}}}}};
    Loaded s(Comp({off, on, Null3D("rig", {{"position", {7, 8, 9}}, {"rotation", 90}})}));
    const CameraView view = CompCamera(s.scene.project, s.comp(), 0);
    EXPECT_EQ(view.layer, s.comp().LayerByName("on"));
    EXPECT_EQ(view.zoom, 900);
    // Camera frame (world axes at (0, 0, -10)) carried by the rig: Rz 90 then + (7, 8, 9).
    ExpectNear(view.cameraToWorld, {{{0, 1, 0, 0}, {-1, 0, 0, 0}, {0, 0, 1, 0}, {7, 8, -1, 1}}});
}

} // namespace
} // namespace strandel::host
