// One applied copy of the effect: the parameters the plug-in defined, their values over time,
// and the parameter callbacks of the host (add, check out, check in, register UI).
#pragma once
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "AE_Effect.h"
#include "host/ParamValue.h"
#include "host/image/Image.h"

namespace strandel::host {

class Host;
class EffectInstance;
class LentImage;
struct Layer;

// A call that renders a frame: what its layer checkouts lend, and whether it is cancelled.
struct FrameContext {
    PixelDepth depth = PixelDepth::Eight;
    int downsample = 1;
    const std::atomic<bool>* cancel = nullptr;
};

// What effect_ref points at for the duration of one command sent to an instance.
struct EffectCall {
    EffectInstance* instance = nullptr;
    PF_InData in{};
    FrameContext* frame = nullptr; // none outside renders: layer checkouts lend no pixels

    static EffectCall& From(PF_ProgPtr effect_ref) { return *reinterpret_cast<EffectCall*>(effect_ref); }
};

struct ParamInfo {
    PF_ParamDef def{};      // as the plug-in defined it
    std::string group;      // panel name of the enclosing group, empty outside groups
    PF_CustomUIInfo ui{};   // only meaningful for the registered custom UI
};

class EffectInstance {
public:
    explicit EffectInstance(Host& host);
    ~EffectInstance(); // disposes every arbitrary-data handle through the plug-in
    EffectInstance(const EffectInstance&) = delete;
    EffectInstance& operator=(const EffectInstance&) = delete;

    // Sends PF_Cmd_PARAMS_SETUP and gives every arbitrary-data parameter its own value.
    PF_Err Setup();
    bool customUiRegistered() const { return customUiRegistered_; }
    const PF_CustomUIInfo& customUi() const { return customUi_; }
    A_long reportedParamCount() const { return reportedParams_; }

    // Index 0 is the input layer; 1..N the plug-in's parameters.
    int paramCount() const { return static_cast<int>(params_.size()); }
    const ParamInfo& param(int index) const { return params_.at(index); }
    std::optional<int> IndexForId(A_long id) const;
    // Resolves a panel name or "Group/Name"; throws HostError listing candidates.
    int Resolve(const std::string& name) const;
    std::string PathOf(int index) const;

    // Values. Numbers outside the valid range are clamped, and the clamp reported as a warning.
    void SetValue(int index, const ParamValue& value, std::vector<std::string>* warnings = nullptr);
    void SetKeys(int index, std::vector<ParamKey> keys, std::vector<std::string>* warnings = nullptr);
    const ParamTrack& track(int index) const { return values_.at(index); }

    // The parameter's record at a time, as PF_CHECKOUT_PARAM and the render params array give
    // it. An interpolated arbitrary value is a new handle the caller must dispose.
    PF_ParamDef DefAt(int index, double seconds, bool* ownsArbHandle = nullptr) const;

    // Calls of the plug-in's arbitrary-data callbacks on this instance's behalf.
    PF_Err ArbCall(PF_ArbParamsExtra& extra, int index);
    PF_Handle ArbCopy(int index, PF_Handle source);
    void ArbDispose(int index, PF_Handle handle);
    std::vector<uint8_t> ArbFlatten(int index, PF_Handle handle);
    PF_Handle ArbUnflatten(int index, const std::vector<uint8_t>& bytes);
    bool ArbEqual(int index, PF_Handle a, PF_Handle b);

    // An EffectCall for one command; its in_data carries this instance's callbacks and
    // effect_ref points back at the call.
    std::unique_ptr<EffectCall> NewCall() const;
    PF_Err Command(PF_Cmd cmd, PF_OutData* out, PF_ParamDef* params[] = nullptr, PF_LayerDef* output = nullptr,
                   void* extra = nullptr);
    // The user changed parameter `index` (or pressed its button) at the host's current time; the
    // plug-in gets every parameter's record at that time. `adjust` may change the records first.
    PF_Err UserChangedParam(int index, PF_OutData* out,
                            const std::function<void(std::vector<PF_ParamDef>&)>& adjust = nullptr);

    // The layer a layer parameter names at a time; the input (index 0) is the effect's own layer.
    const Layer* LayerAt(int index, double seconds) const;

    // Parameter checkouts made through the interaction callbacks and not yet checked in.
    int OutstandingCheckouts() const;
    // Checks in what a call left checked out; returns how many there were.
    int ReclaimCheckouts(const EffectCall* call);
    // Every checkout (true) and check-in (false) with its parameter index, in call order.
    std::vector<std::pair<bool, int>> CheckoutLog() const;

    // Tests: the nth add-parameter call (1-based) or checkout from now on answers `err`.
    void FailNthAdd(int n, PF_Err err) { failAdd_ = {n, err}; }
    void FailNthCheckout(int n, PF_Err err) { failCheckout_ = {n, err}; }

    Host& host() const { return host_; }

    // Where the instance sits: the layer that carries it and its position among that layer's effects.
    const Layer* layer = nullptr;
    int effectIndex = 0;
    // Parameters whose streams the plug-in hid (dynamic stream flag).
    std::vector<bool> hiddenStreams;

private:
    friend struct ParamCallbacks;
    double Clamp(int index, double v, std::vector<std::string>* warnings) const;
    PF_Err CheckoutParam(const EffectCall& call, int index, A_long time, A_u_long scale, PF_ParamDef* out);
    PF_Err CheckinParam(PF_ParamDef* def);
    void DisposeValue(int index, const ParamValue& v);

    Host& host_;
    std::vector<ParamInfo> params_;
    std::vector<ParamTrack> values_;
    bool customUiRegistered_ = false;
    PF_CustomUIInfo customUi_{};
    A_long reportedParams_ = 0;
    bool settingUp_ = false;
    std::vector<std::string> openGroups_;

    struct Checkout {
        PF_ParamDef def;
        int index;
        bool ownsArb;
        const EffectCall* call;
        std::shared_ptr<LentImage> pixels; // a layer's pixels lent during a render
    };
    void Release(const Checkout& checkout);
    // Counts down an injected failure; the error when this call is the one to fail.
    static PF_Err Injected(std::pair<int, PF_Err>& fail);
    mutable std::mutex checkoutMutex_;
    std::multimap<PF_ParamDef*, Checkout> checkouts_;
    std::vector<std::pair<bool, int>> checkoutLog_;
    std::pair<int, PF_Err> failAdd_{0, PF_Err_NONE}, failCheckout_{0, PF_Err_NONE};
};

} // namespace strandel::host
