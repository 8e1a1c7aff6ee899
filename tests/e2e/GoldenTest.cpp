// Example frames and the interface (saved projects and scripts keep parameter IDs, names, ranges,
// defaults and flags) against tests/golden. STRANDEL_UPDATE_GOLDEN=DIR writes them into DIR instead.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "frame/PiPL.h"
#include "host/image/PngFile.h"
#include "host/render/EffectRenderer.h"
#include "host/scene/SceneReader.h"
#include "support/HostFixture.h"
#include "support/HostTestSupport.h"

namespace strandel::test {
namespace {

namespace fs = std::filesystem;

fs::path GoldenUpdateDir()
{
    const char* update = std::getenv("STRANDEL_UPDATE_GOLDEN");
    return update ? fs::path(update) : fs::path();
}

struct Golden {
    const char* scene;
    std::int64_t frame;
};

// Mid-animation frames, at half resolution to keep the stored images small.
const Golden kGoldens[] = {{"helix", 30}, {"ribbon", 15}, {"wave", 15}, {"precomp", 10}, {"debug_path", 15}};

class GoldenTest : public HostTest, public ::testing::WithParamInterface<Golden> {};

TEST_P(GoldenTest, MatchesTheStoredImage)
{
    const Golden g = GetParam();
    const std::string name = std::string(g.scene) + ".png";
    const fs::path stored = DataFile("golden/" + name);
    StartHost();
    ASSERT_EQ(H().GlobalSetup(), PF_Err_NONE);
    H().OpenProject(host::LoadScene(DataFile("examples/" + std::string(g.scene) + ".json")).project);
    ASSERT_FALSE(H().instances().empty());
    host::FrameResult r =
        host::RenderEffectFrame(*H().instances().front(), {g.frame, host::PixelDepth::Eight, 2, false});
    ASSERT_EQ(r.err, PF_Err_NONE);
    EXPECT_TRUE(r.leaks.empty());

    if (const fs::path update = GoldenUpdateDir(); !update.empty()) {
        host::WritePng(update / name, r.image);
        GTEST_SKIP() << "wrote " << update / name;
    }
    SCOPED_TRACE(stored.string());
    EXPECT_GT(host::test::ExpectSameRender(r.image, host::ReadPng(stored)).covered, 100) << "nearly empty";
}

INSTANTIATE_TEST_SUITE_P(Examples, GoldenTest, ::testing::ValuesIn(kGoldens),
                         [](const auto& param) { return std::string(param.param.scene); });

// The interface as text: a line for each of registration, global setup, About and the PiPL, then
// one a parameter (index, ID, type, name, flags, and what its type defines).
std::string DescribeInterface(host::Host& host, const host::EffectInstance& fx)
{
    std::ostringstream out;
    out.precision(9);
    const host::Registration& r = host.registration();
    out << "registration '" << r.name << "' '" << r.matchName << "' '" << r.category << "' '" << r.entryPointName
        << "' kind " << std::hex << r.kind << std::dec << " API " << r.apiMajor << "." << r.apiMinor << " reserved "
        << r.reservedInfo << " '" << r.supportUrl << "' calls " << r.calls << "\n";
    const PF_OutData& setup = host.globalSetupOutput();
    out << std::hex << "global setup version " << setup.my_version << " flags " << setup.out_flags << " flags2 "
        << setup.out_flags2 << std::dec << " idle hooks " << host.idleHooks().size() << "\n";
    PF_InData in = host.BaseInData();
    PF_OutData about{};
    host.Call(PF_Cmd_ABOUT, &in, &about, nullptr, nullptr, nullptr);
    std::string aboutText = about.return_msg;
    for (std::size_t at; (at = aboutText.find('\r')) != std::string::npos;) aboutText.replace(at, 1, "\\r");
    out << "about '" << aboutText << "'\nPiPL" << std::hex;
    for (uint8_t byte : BuildPiPLResource()) out << " " << int(byte);
    out << std::dec << "\nreported " << fx.reportedParamCount() << ", custom UI events " << fx.customUi().events
        << "\n";
    auto Ranges = [&](const auto& d) {
        out << " range " << d.valid_min << ".." << d.valid_max << " slider " << d.slider_min << ".." << d.slider_max
            << " default " << d.dephault;
    };
    for (int i = 1; i < fx.paramCount(); ++i) {
        const PF_ParamDef& d = fx.param(i).def;
        out << i << " id " << d.uu.id << " type " << d.param_type << " '" << d.name << "' flags " << d.flags << " ui "
            << d.ui_flags << " " << d.ui_width << "x" << d.ui_height;
        const PF_ParamDefUnion& u = d.u;
        switch (d.param_type) {
        case PF_Param_SLIDER: Ranges(u.sd); break;
        case PF_Param_FLOAT_SLIDER:
            Ranges(u.fs_d);
            out << " precision " << u.fs_d.precision << " display " << u.fs_d.display_flags;
            break;
        case PF_Param_ANGLE: out << " default " << u.ad.dephault; break;
        case PF_Param_CHECKBOX:
            out << " default " << int(u.bd.dephault) << " '" << (u.bd.u.nameptr ? u.bd.u.nameptr : "") << "'";
            break;
        case PF_Param_POPUP:
            out << " default " << u.pd.dephault << " of '" << u.pd.u.namesptr << "' (" << u.pd.num_choices << ")";
            break;
        case PF_Param_BUTTON: out << " '" << u.button_d.u.namesptr << "'"; break;
        case PF_Param_POINT_3D:
            out << " default " << u.point3d_d.x_dephault << ", " << u.point3d_d.y_dephault << ", "
                << u.point3d_d.z_dephault;
            break;
        case PF_Param_ARBITRARY_DATA: out << " arb " << u.arb_d.id << (u.arb_d.dephault ? " with default" : ""); break;
        }
        out << "\n";
    }
    return out.str();
}

class GoldenInterfaceTest : public HostTest {};

TEST_F(GoldenInterfaceTest, MatchesTheStoredOne)
{
    StartHost();
    ASSERT_EQ(H().GlobalSetup(), PF_Err_NONE);
    const std::string actual = DescribeInterface(H(), H().AddInstance());
    if (const fs::path update = GoldenUpdateDir(); !update.empty()) {
        std::ofstream(update / "interface.txt", std::ios::binary) << actual;
        GTEST_SKIP() << "wrote " << update / "interface.txt";
    }
    std::ifstream in(DataFile("golden/interface.txt"), std::ios::binary);
    EXPECT_EQ(actual, std::string(std::istreambuf_iterator<char>(in), {})) << "against tests/golden/interface.txt";
}

} // namespace
} // namespace strandel::test
