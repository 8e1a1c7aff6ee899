// One frame of one instance as the host drives it: the frame's in_data, its output world, the
// callbacks of smart pre-render and smart render with what they registered and lent, and the
// pre-render data the host takes over. Whatever the plug-in still holds when the frame ends is
// taken back and reported.
#pragma once
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "AE_Effect.h"
#include "host/EffectInstance.h"
#include "host/render/EffectRenderer.h"
#include "host/render/WorldFormats.h"

namespace strandel::host {

// A layer checkout smart pre-render registered under its ID.
struct RegisteredCheckout {
    PF_ParamIndex param = 0;
    const Layer* layer = nullptr; // none: the parameter names no layer
    double seconds = 0;
    PF_RenderRequest request{};
    PF_CheckoutResult result{};
};

class FrameCall : public FrameContext {
public:
    FrameCall(EffectInstance& effect, const FrameRequest& request, const std::atomic<bool>* cancel);
    ~FrameCall();
    FrameCall(const FrameCall&) = delete;
    FrameCall& operator=(const FrameCall&) = delete;

    PF_LRect WholeOutput() const { return {0, 0, in().width, in().height}; }
    PF_Err PreRender(const PF_LRect& request);
    // Only after a pre-render without error.
    PF_Err SmartRender();
    PF_Err LegacyRender();
    // Takes back what the plug-in still holds and frees the pre-render data; says what was left.
    std::vector<std::string> Finish();
    // What the host could not lend during the frame's commands, and why.
    const std::vector<std::string>& Problems() const { return problems_; }

    const PF_PreRenderOutput& PreRenderResult() const { return preRender_; }
    const std::map<A_long, RegisteredCheckout>& Registered() const { return registered_; }
    const std::string& MixedIn() const { return mixedIn_; }
    // The registered IDs whose pixels smart render asked for.
    const std::set<A_long>& PixelsAskedFor() const { return askedFor_; }
    const Image& Output() const { return output_->Pixels(); }
    Image TakeOutput() { return output_->Take(); }
    const PF_InData& in() const { return call_->in; }
    PF_ProgPtr EffectRef() const { return reinterpret_cast<PF_ProgPtr>(call_.get()); }
    // The callbacks as the plug-in receives them, for tests that call them out of turn.
    PF_PreRenderCallbacks& PreRenderCallbacks() { return preRenderCallbacks_; }
    PF_SmartRenderCallbacks& SmartCallbacks() { return smartCallbacks_; }

    // Tests: checkout_output answers this error; so do checkout_layer_pixels and (after taking the
    // pixels back) checkin_layer_pixels of the checkout IDs named here.
    PF_Err failOutputCheckout = PF_Err_NONE;
    A_long failLayerCheckout = 0, failLayerCheckin = 0;
    PF_Err failLayerWith = PF_Err_OUT_OF_MEMORY;

private:
    struct Lent {
        std::unique_ptr<LentImage> pixels; // none: the checkout has no pixels
        int count = 0;
    };
    friend struct FrameCallbacks;

    double Seconds() const;
    PF_Err Send(PF_Cmd cmd, PF_ParamDef* params[], PF_LayerDef* output, void* extra);

    EffectInstance& effect_;
    std::unique_ptr<EffectCall> call_;
    std::unique_ptr<LentImage> output_;
    bool preRendering_ = false;
    PF_PreRenderCallbacks preRenderCallbacks_;
    PF_SmartRenderCallbacks smartCallbacks_;
    PF_RenderRequest request_{};
    PF_PreRenderOutput preRender_{};
    bool preRendered_ = false;
    std::map<A_long, RegisteredCheckout> registered_;
    std::map<A_long, Lent> lent_;
    std::set<A_long> askedFor_;
    std::vector<std::string> problems_;
    std::string mixedIn_;
};

} // namespace strandel::host
