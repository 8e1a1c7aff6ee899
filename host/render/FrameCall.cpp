#include "host/render/FrameCall.h"

#include <algorithm>

#include "host/Host.h"
#include "host/HostError.h"
#include "host/project/LayerQueries.h"
#include "host/render/LayerPixels.h"
#include "host/render/RenderFailure.h"

namespace strandel::host {
namespace {

bool IsEmpty(const PF_LRect& r) { return r.left >= r.right || r.top >= r.bottom; }

PF_LRect Intersect(const PF_LRect& a, const PF_LRect& b)
{
    const PF_LRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                     std::min(a.bottom, b.bottom)};
    return IsEmpty(r) ? PF_LRect{0, 0, 0, 0} : r;
}

} // namespace

// The callbacks of smart pre-render and smart render: effect_ref leads back to the frame.
struct FrameCallbacks {
    // These callbacks are only handed out in a FrameCall's extras, so its call's frame is one.
    static FrameCall* From(PF_ProgPtr ref)
    {
        return ref ? static_cast<FrameCall*>(EffectCall::From(ref).frame) : nullptr;
    }

    static PF_Err CheckoutLayer(PF_ProgPtr ref, PF_ParamIndex index, A_long id, const PF_RenderRequest* req,
                                A_long time, A_long, A_u_long scale, PF_CheckoutResult* result)
    {
        FrameCall* f = From(ref);
        if (!f || !f->preRendering_ || !req || !result) return PF_Err_BAD_CALLBACK_PARAM;
        if (index < 0 || index >= f->effect_.paramCount() || f->effect_.param(index).def.param_type != PF_Param_LAYER ||
            f->registered_.count(id))
            return PF_Err_BAD_CALLBACK_PARAM;
        const Project& project = f->effect_.host().project();
        RegisteredCheckout c;
        c.param = index;
        c.seconds = scale ? double(time) / scale : 0.0;
        c.layer = f->effect_.LayerAt(index, c.seconds);
        c.request = *req;
        const PF_LRect bounds = LayerCheckoutBounds(project, c.layer, f->downsample);
        c.result.result_rect = Intersect(req->rect, bounds);
        c.result.max_result_rect = bounds;
        c.result.par = {1, 1};
        if (auto size = c.layer ? LayerSourceSize(project, *c.layer) : std::nullopt) {
            c.result.ref_width = size->width;
            c.result.ref_height = size->height;
        }
        *result = c.result;
        f->registered_.emplace(id, c);
        return PF_Err_NONE;
    }

    static PF_Err GuidMixIn(PF_ProgPtr ref, A_u_long size, const void* buf)
    {
        FrameCall* f = From(ref);
        if (!f || !f->preRendering_ || (size && !buf)) return PF_Err_BAD_CALLBACK_PARAM;
        if (size) f->mixedIn_.append(static_cast<const char*>(buf), size);
        return PF_Err_NONE;
    }

    // Smart-render callbacks answer once pre-render has succeeded, and not during it.
    static FrameCall* AfterPreRender(PF_ProgPtr ref)
    {
        FrameCall* f = From(ref);
        return f && f->preRendered_ && !f->preRendering_ ? f : nullptr;
    }

    // Only IDs registered in pre-render; the same ID checked out again gives the same pixels.
    static PF_Err CheckoutLayerPixels(PF_ProgPtr ref, A_long id, PF_EffectWorld** pixels)
    {
        FrameCall* f = AfterPreRender(ref);
        if (!f || !pixels) return PF_Err_BAD_CALLBACK_PARAM;
        *pixels = nullptr;
        auto registered = f->registered_.find(id);
        if (registered == f->registered_.end()) return PF_Err_BAD_CALLBACK_PARAM;
        f->askedFor_.insert(id);
        if (id == f->failLayerCheckout) return f->failLayerWith;
        FrameCall::Lent& lent = f->lent_[id];
        if (lent.count == 0 && registered->second.layer) {
            const RegisteredCheckout& c = registered->second;
            PF_Err err = GuardRender([&] {
                auto image = LayerCheckoutPixels(f->effect_.host(), *c.layer, c.seconds, f->depth, f->downsample);
                if (image)
                    lent.pixels = std::make_unique<LentImage>(f->effect_.host().render().worlds, std::move(*image));
            });
            if (err != PF_Err_NONE) {
                f->lent_.erase(id);
                return err;
            }
        }
        ++lent.count;
        *pixels = lent.pixels ? &lent.pixels->World() : nullptr;
        return PF_Err_NONE;
    }

    static PF_Err CheckinLayerPixels(PF_ProgPtr ref, A_long id)
    {
        FrameCall* f = AfterPreRender(ref);
        if (!f) return PF_Err_BAD_CALLBACK_PARAM;
        auto lent = f->lent_.find(id);
        if (lent == f->lent_.end()) return PF_Err_BAD_CALLBACK_PARAM;
        if (--lent->second.count == 0) f->lent_.erase(lent);
        return id == f->failLayerCheckin ? f->failLayerWith : PF_Err_NONE;
    }

    static PF_Err CheckoutOutput(PF_ProgPtr ref, PF_EffectWorld** output)
    {
        FrameCall* f = AfterPreRender(ref);
        if (!f || !output) return PF_Err_BAD_CALLBACK_PARAM;
        *output = nullptr;
        if (f->failOutputCheckout != PF_Err_NONE) return f->failOutputCheckout;
        *output = &f->output_->World();
        return PF_Err_NONE;
    }
};

FrameCall::FrameCall(EffectInstance& effect, const FrameRequest& request, const std::atomic<bool>* cancelFlag)
    : FrameContext{request.depth, std::max(request.downsample, 1), cancelFlag}, effect_(effect),
      call_(effect.NewCall()), preRenderCallbacks_{FrameCallbacks::CheckoutLayer, FrameCallbacks::GuidMixIn},
      smartCallbacks_{FrameCallbacks::CheckoutLayerPixels, FrameCallbacks::CheckinLayerPixels,
                      FrameCallbacks::CheckoutOutput}
{
    const Project& project = effect.host().project();
    const Composition* comp = effect.layer ? project.CompOfLayer(*effect.layer) : nullptr;
    if (!comp) throw HostError("the effect is not applied to a layer of the project");
    const PF_LRect bounds = LayerCheckoutBounds(project, effect.layer, downsample);
    if (IsEmpty(bounds))
        throw HostError("layer \"" + effect.layer->name + "\" has no pixels to render the effect into");

    call_->frame = this;
    PF_InData& in = call_->in;
    const TimeBase& base = comp->timeBase;
    in.current_time = static_cast<A_long>(request.frame * base.step);
    in.time_step = in.local_time_step = base.step;
    in.time_scale = base.scale;
    in.total_time = static_cast<A_long>(comp->FrameCount() * base.step);
    in.width = bounds.right;
    in.height = bounds.bottom;
    in.extent_hint = bounds;
    in.downsample_x = in.downsample_y = {1, static_cast<A_u_long>(downsample)};
    in.field = PF_Field_FRAME;
    output_ = std::make_unique<LentImage>(effect.host().render().worlds, Image(bounds.right, bounds.bottom, depth));
}

FrameCall::~FrameCall() { Finish(); }

double FrameCall::Seconds() const { return in().time_scale ? double(in().current_time) / in().time_scale : 0.0; }

PF_Err FrameCall::Send(PF_Cmd cmd, PF_ParamDef* params[], PF_LayerDef* output, void* extra)
{
    PF_OutData out{};
    LendingProblems collect(problems_);
    return effect_.host().Call(cmd, &call_->in, &out, params, output, extra);
}

PF_Err FrameCall::PreRender(const PF_LRect& rect)
{
    if (preRender_.pre_render_data || preRendered_) throw HostError("a frame is pre-rendered once");
    PF_PreRenderInput input{};
    input.output_request.rect = rect;
    input.output_request.field = PF_Field_FRAME;
    input.output_request.channel_mask = PF_ChannelMask_ARGB;
    input.bitdepth = static_cast<A_short>(depth);
    PF_PreRenderOutput out{};
    PF_PreRenderExtra extra{&input, &out, &preRenderCallbacks_};
    preRendering_ = true;
    const PF_Err err = Send(PF_Cmd_SMART_PRE_RENDER, nullptr, nullptr, &extra);
    preRendering_ = false;
    preRender_ = out; // the host owns the pre-render data from here on
    request_ = input.output_request;
    preRendered_ = err == PF_Err_NONE;
    return err;
}

PF_Err FrameCall::SmartRender()
{
    if (!preRendered_) throw HostError("smart render needs a successful smart pre-render first");
    PF_SmartRenderInput input{};
    input.output_request = request_;
    input.output_request.rect = preRender_.result_rect;
    input.bitdepth = static_cast<A_short>(depth);
    input.pre_render_data = preRender_.pre_render_data;
    PF_SmartRenderExtra extra{&input, &smartCallbacks_};
    const PF_Err err = Send(PF_Cmd_SMART_RENDER, nullptr, nullptr, &extra);
    return err;
}

PF_Err FrameCall::LegacyRender()
{
    const double seconds = Seconds();
    std::unique_ptr<LentImage> input;
    LendingProblems collect(problems_);
    if (PF_Err err = GuardRender([&] {
            auto pixels = LayerCheckoutPixels(effect_.host(), *effect_.layer, seconds, depth, downsample);
            if (pixels) input = std::make_unique<LentImage>(effect_.host().render().worlds, std::move(*pixels));
        }))
        return err;

    // Every parameter at the frame's time; layers other than the input carry no pixels here.
    const int count = effect_.paramCount();
    std::vector<PF_ParamDef> defs(count);
    std::vector<char> ownsArb(count, 0);
    std::vector<PF_ParamDef*> params(count);
    for (int i = 0; i < count; ++i) {
        bool owns = false;
        defs[i] = effect_.DefAt(i, seconds, &owns);
        ownsArb[i] = owns;
        if (defs[i].param_type == PF_Param_LAYER) defs[i].u.ld = i == 0 && input ? input->World() : PF_LayerDef{};
        params[i] = &defs[i];
    }
    const PF_Err err = Send(PF_Cmd_RENDER, params.data(), &output_->World(), nullptr);
    for (int i = 0; i < count; ++i)
        if (ownsArb[i]) effect_.ArbDispose(i, defs[i].u.arb_d.value);
    return err;
}

std::vector<std::string> FrameCall::Finish()
{
    std::vector<std::string> leaks;
    for (const auto& [id, lent] : lent_)
        leaks.push_back("layer checkout " + std::to_string(id) + " (parameter " +
                        std::to_string(registered_.at(id).param) + ") was not checked in");
    lent_.clear();
    if (int left = effect_.ReclaimCheckouts(call_.get()))
        leaks.push_back(std::to_string(left) + " parameter checkout(s) were not checked in");
    if (preRender_.pre_render_data) {
        if (preRender_.delete_pre_render_data_func) preRender_.delete_pre_render_data_func(preRender_.pre_render_data);
        else leaks.push_back("pre-render data came without a function to delete it");
        preRender_.pre_render_data = nullptr;
    }
    return leaks;
}

} // namespace strandel::host
