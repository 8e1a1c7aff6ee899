// A plug-in inside a fresh emulated host; every test ends with nothing leaked.
#pragma once
#include <gtest/gtest.h>

#include <memory>

#include "host/Host.h"
#include "host/SceneParams.h"
#include "host/scene/SceneReader.h"
#include "support/PluginUnderTest.h"
#include "support/TestPaths.h"

namespace strandel::test {

// Shuts the host down; nothing the plug-in was lent may be left, and it may have called nothing
// the host lacks.
inline void ExpectCleanShutdown(host::Host& host)
{
    host.Shutdown();
    EXPECT_EQ(host.handles().LiveCount(), 0u) << "host handles leaked";
    EXPECT_EQ(host.log().liveMemHandles, 0) << "memory handles leaked";
    EXPECT_EQ(host.suites().Outstanding(), 0) << "suites acquired and never released";
    for (const std::string& call : host.log().UnimplementedCalls())
        ADD_FAILURE() << "the plug-in called an unimplemented host function: " << call;
}

class HostTest : public ::testing::Test {
protected:
    void StartHost(A_long appId = host::kAppIdCompositor)
    {
        host::HostOptions options = PluginUnderTest();
        options.appId = appId;
        host_ = std::make_unique<host::Host>(options);
    }
    host::Host& H() { return *host_; }

    // A fresh host (the previous one checked for leaks first) that has set the plug-in up and
    // opened the scene; returns the scene's first effect. `noPluginId`: registration gives none.
    host::EffectInstance& OpenScene(const std::string& sceneJson, A_long appId = host::kAppIdCompositor,
                                    bool noPluginId = false)
    {
        if (host_) HostTest::TearDown();
        StartHost(appId);
        H().SetRegistrationGivesNoId(noPluginId);
        EXPECT_EQ(H().GlobalSetup(), PF_Err_NONE);
        H().OpenProject(host::ParseScene(sceneJson, "test.json").project);
        return *H().instances().at(0);
    }

    // Sets a parameter of fx (by default the first instance) as a scene would; layer names
    // resolve in the first comp.
    void Set(const std::string& name, const nlohmann::json& value, host::EffectInstance* fx = nullptr)
    {
        std::vector<std::string> warnings;
        host::ApplySceneParam(
            fx ? *fx : *H().instances().front(), name, value,
            [this](const std::string& n) -> std::optional<A_long> {
                const host::Layer* l = H().project().comps.at(0).LayerByName(n);
                return l ? std::optional<A_long>(l->id) : std::nullopt;
            },
            warnings);
    }

    void TearDown() override
    {
        if (!host_) return;
        ExpectCleanShutdown(*host_);
        host_.reset();
    }

    std::unique_ptr<host::Host> host_;
};

} // namespace strandel::test
