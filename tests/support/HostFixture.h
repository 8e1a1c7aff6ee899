// A plug-in inside a fresh emulated host; every test ends with nothing leaked.
#pragma once
#include <gtest/gtest.h>

#include <memory>

#include "host/Host.h"
#include "support/PluginUnderTest.h"
#include "support/TestPaths.h"

namespace strandel::test {

class HostTest : public ::testing::Test {
protected:
    void StartHost(A_long appId = host::kAppIdCompositor)
    {
        host::HostOptions options = PluginUnderTest();
        options.appId = appId;
        host_ = std::make_unique<host::Host>(options);
    }
    host::Host& H() { return *host_; }

    void TearDown() override
    {
        if (!host_) return;
        host_->Shutdown();
        EXPECT_EQ(host_->handles().LiveCount(), 0u) << "host handles leaked";
        EXPECT_EQ(host_->log().liveMemHandles, 0) << "memory handles leaked";
        EXPECT_EQ(host_->suites().Outstanding(), 0) << "suites acquired and never released";
        for (const std::string& call : host_->log().UnimplementedCalls())
            ADD_FAILURE() << "the plug-in called an unimplemented host function: " << call;
        host_.reset();
    }

    std::unique_ptr<host::Host> host_;
};

} // namespace strandel::test
