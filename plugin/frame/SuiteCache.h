// The one way plug-in code reaches host suites during a call: acquire on first use by name and
// version, release everything acquired when the scope ends.
#pragma once
#include <array>
#include <cstdint>

#include "AE_EffectSuites.h"
#include "AE_GeneralPlug.h"

namespace strandel {

template <class Suite> struct SuiteInfo;
#define STX_SUITE_INFO(Type, Name, Version)                    \
    template <> struct SuiteInfo<Type> {                       \
        static constexpr const char* name = Name;              \
        static constexpr int32_t version = Version;            \
    }
STX_SUITE_INFO(PF_AdvItemSuite1, kPFAdvItemSuite, 1);
STX_SUITE_INFO(PF_AdvAppSuite2, kPFAdvAppSuite, 2);
STX_SUITE_INFO(PF_PixelFormatSuite2, kPFPixelFormatSuite, 2);
STX_SUITE_INFO(PF_WorldSuite2, kPFWorldSuite, 2);
STX_SUITE_INFO(PF_ParamUtilsSuite3, kPFParamUtilsSuite, 3);
STX_SUITE_INFO(AEGP_UtilitySuite, kAEGPUtilitySuite, 13);
STX_SUITE_INFO(AEGP_RegisterSuite6, kAEGPRegisterSuite, 6);
STX_SUITE_INFO(AEGP_PFInterfaceSuite1, kAEGPPFInterfaceSuite, 1);
STX_SUITE_INFO(AEGP_StreamSuite11, kAEGPStreamSuite, 11);
STX_SUITE_INFO(AEGP_DynamicStreamSuite5, kAEGPDynamicStreamSuite, 5);
STX_SUITE_INFO(AEGP_KeyframeSuite5, kAEGPKeyframeSuite, 5);
STX_SUITE_INFO(AEGP_LayerSuite11, kAEGPLayerSuite, 11);
STX_SUITE_INFO(AEGP_EffectSuite5, kAEGPEffectSuite, 5);
STX_SUITE_INFO(AEGP_CompSuite9, kAEGPCompSuite, 9);
STX_SUITE_INFO(AEGP_ItemSuite10, kAEGPItemSuite, 10);
STX_SUITE_INFO(AEGP_RenderOptionsSuite4, kAEGPRenderOptionsSuite, 4);
STX_SUITE_INFO(AEGP_RenderSuite8, kAEGPRenderSuite, 8);
STX_SUITE_INFO(AEGP_WorldSuite3, kAEGPWorldSuite, 3);
#undef STX_SUITE_INFO

class SuiteCache {
public:
    // Throws PF_Err_BAD_CALLBACK_PARAM when basic is null.
    explicit SuiteCache(const SPBasicSuite* basic);
    ~SuiteCache();
    SuiteCache(const SuiteCache&) = delete;
    SuiteCache& operator=(const SuiteCache&) = delete;

    // Throws PF_Err_BAD_CALLBACK_PARAM when the host cannot supply the suite.
    template <class Suite, int32_t Version = SuiteInfo<Suite>::version> const Suite& Get()
    {
        auto suite = static_cast<const Suite*>(Acquire(SuiteInfo<Suite>::name, Version));
        if (!suite) throw PF_Err{PF_Err_BAD_CALLBACK_PARAM};
        return *suite;
    }
    // Null when the host cannot supply the suite.
    template <class Suite, int32_t Version = SuiteInfo<Suite>::version> const Suite* TryGet()
    {
        return static_cast<const Suite*>(Acquire(SuiteInfo<Suite>::name, Version));
    }

    const SPBasicSuite* Basic() const { return basic_; }

private:
    const void* Acquire(const char* name, int32_t version);

    struct Slot {
        const char* name = nullptr;
        int32_t version = 0;
        const void* suite = nullptr;
    };
    const SPBasicSuite* basic_;
    std::array<Slot, 24> slots_{};
    std::size_t used_ = 0;
};

} // namespace strandel
