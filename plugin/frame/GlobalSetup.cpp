#include "frame/GlobalSetup.h"

#include <atomic>
#include <thread>

#include "frame/GlobalState.h"
#include "frame/Registration.h"
#include "frame/SuiteCache.h"
#include "layout/IdleWatcher.h"

namespace strandel {
namespace {

std::atomic<bool> gWakeUpStarted{false};
std::atomic<WakeUpCallback> gWakeUpCallback{nullptr};
std::thread gWakeUpThread;

// Sleeps until the deadline in slices of at most a day, so a saturated deadline cannot overflow.
void SleepUntil(std::chrono::steady_clock::time_point deadline)
{
    using namespace std::chrono;
    while (steady_clock::now() < deadline) {
        auto remaining = deadline - steady_clock::now();
        std::this_thread::sleep_for(std::min<steady_clock::duration>(remaining, hours(24)));
    }
}

std::chrono::steady_clock::time_point SaturatingDeadline(std::chrono::milliseconds delay)
{
    auto now = std::chrono::steady_clock::now();
    auto max = std::chrono::steady_clock::time_point::max();
    return max - now < delay ? max : now + delay;
}

void WakeUpLoop()
{
    while (gWakeUpStarted.load()) {
        if (WakeUpCallback cb = gWakeUpCallback.load()) cb();
        SleepUntil(SaturatingDeadline(WakeUpInterval(Watcher().found.load(std::memory_order_relaxed))));
    }
}

void StopWakeUpThread()
{
    gWakeUpStarted.store(false);
    if (gWakeUpThread.joinable()) gWakeUpThread.join();
    Watcher().found.store(false, std::memory_order_relaxed);
    gWakeUpCallback.store(nullptr);
}

void DeclarePixelFormats(PF_InData* in_data)
{
    SPBasicSuite* basic = in_data->pica_basicP;
    const void* raw = nullptr;
    if (!basic || basic->AcquireSuite(kPFPixelFormatSuite, kPFPixelFormatSuiteVersion2, &raw) != kSPNoError || !raw)
        return;
    auto suite = static_cast<const PF_PixelFormatSuite2*>(raw);
    suite->PF_ClearSupportedPixelFormats(in_data->effect_ref);
    suite->PF_AddSupportedPixelFormat(in_data->effect_ref, PF_PixelFormat_ARGB128);
    suite->PF_AddSupportedPixelFormat(in_data->effect_ref, PF_PixelFormat_ARGB64);
    suite->PF_AddSupportedPixelFormat(in_data->effect_ref, PF_PixelFormat_ARGB32);
    basic->ReleaseSuite(kPFPixelFormatSuite, kPFPixelFormatSuiteVersion2);
}

void SaveBasicSuiteOnce(const SPBasicSuite* basic)
{
    const SPBasicSuite* expected = nullptr;
    detail::gSavedBasicSuite.compare_exchange_strong(expected, basic);
}

} // namespace

std::chrono::milliseconds WakeUpInterval(bool found) { return std::chrono::milliseconds(found ? 16 : 250); }

bool StartWakeUpThread(WakeUpCallback callback)
{
    bool expected = false;
    if (!callback || !gWakeUpStarted.compare_exchange_strong(expected, true)) return false;
    gWakeUpCallback.store(callback);
    ResetWatcherForWakeUp();
    try {
        gWakeUpThread = std::thread(WakeUpLoop);
    } catch (...) {
        gWakeUpStarted.store(false);
        gWakeUpCallback.store(nullptr);
        return false;
    }
    return true;
}

bool WakeUpThreadRunning() { return gWakeUpThread.joinable(); }

PF_Err GlobalSetup(PF_InData* in_data, PF_OutData* out_data)
{
    if (!in_data || !out_data) return PF_Err_BAD_CALLBACK_PARAM;
    out_data->my_version = kEffectVersion;
    out_data->out_flags = kOutFlags;
    out_data->out_flags2 = kOutFlags2;

    const bool videoEditor = static_cast<uint32_t>(in_data->appl_id) == kVideoEditorAppId;
    if (videoEditor) DeclarePixelFormats(in_data);

    if (PluginId() != 0 || videoEditor) {
        SaveBasicSuiteOnce(in_data->pica_basicP);
        return PF_Err_NONE;
    }

    SuiteCache suites(in_data->pica_basicP);
    AEGP_PluginID id = 0;
    suites.Get<AEGP_UtilitySuite3>().AEGP_RegisterWithAEGP(nullptr, kEffectName, &id);
    detail::gPluginId.store(id);
    if (id == 0) return PF_Err_NONE;
    detail::gSavedBasicSuite.store(in_data->pica_basicP);

    const auto& reg = suites.Get<AEGP_RegisterSuite5>();
    A_Err idleErr = reg.AEGP_RegisterIdleHook(id, IdleWatcher, nullptr);
    reg.AEGP_RegisterDeathHook(id, DeathHook, nullptr);
    if (idleErr == A_Err_NONE) {
        const auto& util = suites.Get<AEGP_UtilitySuite6>();
        StartWakeUpThread(util.AEGP_CauseIdleRoutinesToBeCalled);
    }
    return PF_Err_NONE;
}

void GlobalSetdown() { StopWakeUpThread(); }

A_Err DeathHook(AEGP_GlobalRefcon, AEGP_DeathRefcon)
{
    StopWakeUpThread();
    Watcher().found.store(false, std::memory_order_relaxed);
    return A_Err_NONE;
}

} // namespace strandel
