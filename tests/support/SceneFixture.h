// A scene opened in a fresh emulated host, for tests that run plug-in internals against it.
#pragma once
#include <string>

#include "frame/SuiteCache.h"
#include "support/HostFixture.h"

namespace strandel::test {

class SceneTest : public HostTest {
protected:
    // Opens the scene; the returned instance is the scene's first Strandel effect.
    host::EffectInstance& Open(const std::string& sceneJson)
    {
        fx_ = &OpenScene(sceneJson);
        call_ = fx_->NewCall();
        return *fx_;
    }

    void Set(const std::string& name, const nlohmann::json& value) { HostTest::Set(name, value, fx_); }

    const PF_InData* In() const { return &call_->in; }
    A_Time CompTime(double seconds = 0) const { return {static_cast<A_long>(seconds * 30), 30}; }

    void TearDown() override
    {
        if (host_) {
            EXPECT_EQ(H().log().liveEffectHandles, 0) << "effect handles leaked";
            EXPECT_EQ(H().log().liveStreams, 0) << "streams leaked";
            EXPECT_EQ(H().log().liveStreamValues, 0) << "stream values leaked";
        }
        call_.reset();
        HostTest::TearDown();
    }

    host::EffectInstance* fx_ = nullptr;
    std::unique_ptr<host::EffectCall> call_;
};

// A comp with an effect layer "Fx" whose Path Layer is "Path"; `pathLayer` is the JSON of that layer.
inline std::string SceneWithPath(const std::string& pathLayer, const std::string& extraLayers = "",
                                 const std::string& fxTransform = "{}")
{
    return R"({"comps": [{"name": "Main", "width": 200, "height": 100, "frameRate": 30, "duration": 2, "layers": [)" +
           extraLayers + R"({"name": "Fx", "type": "solid", "color": [0, 0, 0, 1], "transform": )" + fxTransform +
           R"(, "effects": [{"name": "Strandel", "params": {"Path Layer": "Path"}}]}, )" + pathLayer + "]}]}";
}

} // namespace strandel::test
