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

TEST_F(CameraReadingTest, WithoutACameraLayerTheHostsDefaultCameraLooksDownZ)
{
    Open(SceneWithPath(kPath));
    const CameraInfo cam = Read();
    EXPECT_TRUE(cam.hasCamera);
    const double zoom = 200 * 50.0 / 36.0;
    EXPECT_NEAR(cam.zoom, zoom, 1e-9);
    ExpectVecNear(cam.cameraPosition, {100, 50, -zoom}, 1e-9);
    ExpectVecNear(cam.cameraRight, {1, 0, 0}, 1e-12);
    ExpectVecNear(cam.cameraDown, {0, 1, 0}, 1e-12);
    ExpectVecNear(cam.cameraForward, {0, 0, 1}, 1e-12);
    EXPECT_EQ(cam.compWidth, 200);
    EXPECT_EQ(cam.compHeight, 100);
}

TEST_F(CameraReadingTest, APointOfInterestCameraGivesItsWorldAxesWhateverTheEffectLayerDoes)
{
    // Looking along +X from the left: forward (1, 0, 0), right = Y x forward = (0, 0, -1).
    const std::string camera = R"({"name": "Cam", "type": "camera", "zoom": 400,
        "transform": {"position": [-300, 50, 0], "pointOfInterest": [100, 50, 0]}},)";
    Open(SceneWithPath(kPath, camera, R"({"rotation": 30, "position": [80, 40], "scale": [50, 200, 100]})"));
    const CameraInfo cam = Read();
    ASSERT_TRUE(cam.hasCamera);
    EXPECT_NEAR(cam.zoom, 400, 1e-9);
    ExpectVecNear(cam.cameraPosition, {-300, 50, 0}, 1e-9);
    ExpectVecNear(cam.cameraForward, {1, 0, 0}, 1e-12);
    ExpectVecNear(cam.cameraRight, {0, 0, -1}, 1e-12);
    ExpectVecNear(cam.cameraDown, {0, 1, 0}, 1e-12);
}

TEST_F(CameraReadingTest, FallsBackToTheDefaultViewWhenTheCameraCannotBeHad)
{
    Open(SceneWithPath(kPath));
    H().faults.cameraMatrix = true;
    CameraInfo cam = Read();
    EXPECT_FALSE(cam.hasCamera);
    EXPECT_EQ(cam.zoom, 200);
    ExpectVecNear(cam.cameraPosition, {100, 50, -200}, 0);
    ExpectVecNear(cam.cameraForward, {0, 0, 1}, 0);
    TearDown();

    // A zero-scale effect layer cannot be inverted: the same default view.
    Open(SceneWithPath(kPath, "", R"({"scale": [0, 0, 100]})"));
    cam = Read();
    EXPECT_FALSE(cam.hasCamera);
    EXPECT_EQ(cam.cameraRight, Vec3(1, 0, 0));
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
}

} // namespace
} // namespace strandel::test
