#include <gtest/gtest.h>

#include "path/CameraReader.h"
#include "support/SceneFixture.h"
#include "support/VecExpect.h"

namespace strandel::test {
namespace {

const char* kPath = R"({"name": "Path", "type": "null", "threeD": true})";

class CameraReadingTest : public SceneTest {
protected:
    CameraInfo Read(int outW = 200, int outH = 100)
    {
        SuiteCache suites(In()->pica_basicP);
        PF_LayerDef output{};
        output.width = outW;
        output.height = outH;
        return ReadCompCamera(In(), suites, CompTime(), output);
    }
};

TEST_F(CameraReadingTest, ReadsTheCompCameraOrFallsBackToTheDefaultView)
{
    const double hostZoom = 200 * 50.0 / 36.0;
    const struct {
        const char* what;
        std::string camera, fxTransform;
        bool fault, hasCamera;
        double zoom;
        Vec3 position, forward, right;
    } cases[] = {
        // clang-format off
        {"the host's default camera", "", "{}", false, true, hostZoom, {100, 50, -hostZoom}, {0, 0, 1}, {1, 0, 0}},
        // Looking along +X from the left: forward (1, 0, 0), right = Y x forward = (0, 0, -1), whatever
        // the effect layer's own transform.
        {"a point-of-interest camera", R"({"name": "Cam", "type": "camera", "zoom": 400,
            "transform": {"position": [-300, 50, 0], "pointOfInterest": [100, 50, 0]}},)",
         R"({"rotation": 30, "position": [80, 40], "scale": [50, 200, 100]})", false, true, 400, {-300, 50, 0},
         {1, 0, 0}, {0, 0, -1}},
        {"no camera matrix", "", "{}", true, false, 200, {100, 50, -200}, {0, 0, 1}, {1, 0, 0}},
        {"an effect layer that cannot be inverted", "", R"({"scale": [0, 0, 100]})", false, false, 200,
         {100, 50, -200}, {0, 0, 1}, {1, 0, 0}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Open(SceneWithPath(kPath, c.camera, c.fxTransform));
        H().faults.cameraMatrix = c.fault;
        const CameraInfo cam = Read();
        EXPECT_EQ(cam.hasCamera, c.hasCamera);
        EXPECT_NEAR(cam.zoom, c.zoom, 1e-9);
        ExpectVecNear(cam.cameraPosition, c.position, 1e-9);
        ExpectVecNear(cam.cameraForward, c.forward);
        ExpectVecNear(cam.cameraRight, c.right);
        ExpectVecNear(cam.cameraDown, {0, 1, 0});
        EXPECT_EQ(cam.compWidth, 200);
        EXPECT_EQ(cam.compHeight, 100);
        TearDown();
    }
}

TEST_F(CameraReadingTest, DownsamplingAndBufferOriginComeFromTheRender)
{
    Open(SceneWithPath(kPath));
    call_->in.downsample_x = {1, 2};
    call_->in.downsample_y = {1, 3};
    call_->in.output_origin_x = 7;
    const CameraInfo cam = Read(100, 34);
    EXPECT_EQ(cam.downsampleX, 0.5);
    EXPECT_NEAR(cam.downsampleY, 1.0 / 3, 1e-15);
    EXPECT_EQ(cam.originX, 7);
    EXPECT_EQ(cam.compWidth, 200) << "the comp's own size, not the buffer's";
    // Without a camera the comp's size comes from its item, down to the smallest comp there is.
    H().faults.cameraMatrix = true;
    H().project().comps[0].height = 1;
    EXPECT_EQ(Read(100, 34).compHeight, 1);
}

} // namespace
} // namespace strandel::test
