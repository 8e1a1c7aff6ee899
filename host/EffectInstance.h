// One applied copy of the effect: the parameters the plug-in defined, their values over time,
// and the parameter callbacks of the host (add, check out, check in, register UI).
#pragma once
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
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
    PF_ParamDef def{}; // as the plug-in defined it
    std::string group; // panel name of the enclosing group, empty outside groups
    PF_CustomUIInfo ui{}; // only meaningful for the registered custom UI
};

// One row of the effect panel as the plug-in last described it through PF_UpdateParamUI.
struct PanelRowState {
    std::string name;
    PF_ParamUIFlags uiFlags = PF_PUI_NONE;
    PF_ParamFlags flags = 0;
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
    // A UI-thread command with every parameter's record at the host's current time, arbitrary
    // data as copies the plug-in may change in place. Values the plug-in flags as changed
    // become the parameters' values at that time; nothing else is kept. `adjust` may change the
    // records first.
    using AdjustParams = std::function<void(std::vector<PF_ParamDef>&)>;
    PF_Err PanelCommand(PF_Cmd cmd, void* extra, PF_OutData* out, const AdjustParams& adjust = nullptr);
    // The user changed parameter `index` (or pressed its button).
    PF_Err UserChangedParam(int index, PF_OutData* out, const AdjustParams& adjust = nullptr);
    // The panel is shown, or a supervised parameter changed: the plug-in updates its rows.
    PF_Err UpdateParamsUI(PF_OutData* out = nullptr);
    // What the compositor sends after the user set parameter `index` in the panel:
    // user-changed-param with the index and, for a supervised parameter of a plug-in that asks
    // for it at global setup, update-params-UI. The first error is returned.
    PF_Err ReportUserChange(int index);

    // The panel's rows, changed by the plug-in through PF_UpdateParamUI.
    const PanelRowState& panelRow(int index) const { return panelRows_.at(index); }
    PF_Err UpdateParamUI(int index, const PF_ParamDef& def);
    // Left out of the panel: invisible in it, or hidden with its stream.
    bool RowHidden(int index) const;
    // Every PF_UpdateParamUI call by parameter index, in call order.
    std::vector<int> panelUpdates;
    // Tests: PF_UpdateParamUI for these indices answers the error.
    std::map<int, PF_Err> failPanelUpdate;
    // Parameters changed in the panel (by the user or by the plug-in) since the instance was made.
    std::set<int> changedInPanel;

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
    // The value a plug-in left in a record, when the host keeps values of that kind.
    std::optional<ParamValue> ValueOf(const PF_ParamDef& def) const;
    // Replaces the value at a time: the constant, or the key at that time (added when missing).
    void SetValueAt(int index, double seconds, ParamValue value);

    Host& host_;
    std::vector<ParamInfo> params_;
    std::vector<ParamTrack> values_;
    std::vector<PanelRowState> panelRows_;
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
