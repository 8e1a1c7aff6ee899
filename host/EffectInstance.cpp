#include "host/EffectInstance.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <sstream>

#include "host/Host.h"
#include "host/HostError.h"
#include "host/render/LayerPixels.h"
#include "host/render/RenderFailure.h"

namespace strandel::host {

// The interaction callbacks the host puts into every in_data of an instance.
struct ParamCallbacks {
    static EffectInstance* Instance(PF_ProgPtr ref) { return ref ? EffectCall::From(ref).instance : nullptr; }

    static PF_Err AddParam(PF_ProgPtr ref, PF_ParamIndex index, PF_ParamDefPtr def)
    {
        EffectInstance* inst = Instance(ref);
        if (!inst || !def || !inst->settingUp_) return PF_Err_BAD_CALLBACK_PARAM;
        if (index != -1 && index != inst->paramCount()) return PF_Err_INVALID_INDEX;
        if (PF_Err err = EffectInstance::Injected(inst->failAdd_)) return err;
        ParamInfo info;
        info.def = *def;
        auto& groups = inst->openGroups_;
        if (def->param_type == PF_Param_GROUP_END && !groups.empty()) groups.pop_back();
        if (!groups.empty()) info.group = groups.back();
        if (def->param_type == PF_Param_GROUP_START) groups.push_back(def->name);
        inst->params_.push_back(info);
        return PF_Err_NONE;
    }

    static PF_Err Checkout(PF_ProgPtr ref, PF_ParamIndex index, A_long time, A_long, A_u_long scale, PF_ParamDef* param)
    {
        EffectInstance* inst = Instance(ref);
        if (!inst || !param) return PF_Err_BAD_CALLBACK_PARAM;
        return inst->CheckoutParam(EffectCall::From(ref), index, time, scale, param);
    }

    static PF_Err Checkin(PF_ProgPtr ref, PF_ParamDef* param)
    {
        EffectInstance* inst = Instance(ref);
        if (!inst || !param) return PF_Err_BAD_CALLBACK_PARAM;
        return inst->CheckinParam(param);
    }

    static PF_Err Abort(PF_ProgPtr ref)
    {
        const FrameContext* frame = ref ? EffectCall::From(ref).frame : nullptr;
        return frame && frame->cancel && frame->cancel->load() ? PF_Interrupt_CANCEL : PF_Err_NONE;
    }

    static PF_Err RegisterUi(PF_ProgPtr ref, PF_CustomUIInfo* info)
    {
        EffectInstance* inst = Instance(ref);
        if (!inst || !info) return PF_Err_BAD_CALLBACK_PARAM;
        inst->customUi_ = *info;
        inst->customUiRegistered_ = true;
        return PF_Err_NONE;
    }
};

namespace {

ParamValue DefaultValue(const PF_ParamDef& d)
{
    switch (d.param_type) {
    case PF_Param_FLOAT_SLIDER: return d.u.fs_d.value;
    case PF_Param_SLIDER: return double(d.u.sd.value);
    case PF_Param_ANGLE: return d.u.ad.value / 65536.0;
    case PF_Param_CHECKBOX: return double(d.u.bd.value);
    case PF_Param_POPUP: return double(d.u.pd.value);
    case PF_Param_POINT_3D: return Vec3{d.u.point3d_d.x_value, d.u.point3d_d.y_value, d.u.point3d_d.z_value};
    case PF_Param_LAYER: return A_long{0};
    case PF_Param_ARBITRARY_DATA: return PF_Handle{nullptr};
    default: return 0.0;
    }
}

// Steps for choices, layers and checkboxes; straight lines for everything continuous.
bool Interpolates(PF_ParamType t)
{
    return t == PF_Param_FLOAT_SLIDER || t == PF_Param_SLIDER || t == PF_Param_ANGLE || t == PF_Param_POINT_3D;
}

std::string FormatNumber(double v)
{
    std::ostringstream s;
    s << v;
    return s.str();
}

} // namespace

EffectInstance::EffectInstance(Host& host) : host_(host) {}

EffectInstance::~EffectInstance()
{
    for (int i = 0; i < paramCount() && i < static_cast<int>(values_.size()); ++i)
        for (const ParamKey& k : values_[i].keys) DisposeValue(i, k.value);
    for (int i = 0; i < paramCount(); ++i)
        if (params_[i].def.param_type == PF_Param_ARBITRARY_DATA) ArbDispose(i, params_[i].def.u.arb_d.dephault);
}

std::unique_ptr<EffectCall> EffectInstance::NewCall() const
{
    auto call = std::make_unique<EffectCall>();
    call->instance = const_cast<EffectInstance*>(this);
    call->in = host_.BaseInData(reinterpret_cast<PF_ProgPtr>(call.get()));
    call->in.inter.add_param = ParamCallbacks::AddParam;
    call->in.inter.checkout_param = ParamCallbacks::Checkout;
    call->in.inter.checkin_param = ParamCallbacks::Checkin;
    call->in.inter.abort = ParamCallbacks::Abort;
    call->in.inter.register_ui = ParamCallbacks::RegisterUi;
    call->in.num_params = std::max(paramCount(), 1);
    return call;
}

PF_Err EffectInstance::Command(PF_Cmd cmd, PF_OutData* out, PF_ParamDef* params[], PF_LayerDef* output, void* extra)
{
    auto call = NewCall();
    PF_OutData scratch{};
    return host_.Call(cmd, &call->in, out ? out : &scratch, params, output, extra);
}

PF_Err EffectInstance::PanelCommand(PF_Cmd cmd, void* extra, PF_OutData* out, const AdjustParams& adjust)
{
    const double seconds = host_.currentSeconds;
    const Composition* comp = layer ? host_.project().CompOfLayer(*layer) : nullptr;
    const TimeBase base = comp ? comp->timeBase : TimeBase{};
    std::vector<PF_ParamDef> defs(paramCount());
    for (int i = 0; i < paramCount(); ++i) {
        bool owns = false;
        defs[i] = DefAt(i, seconds, &owns);
        defs[i].uu.change_flags = 0; // outside parameter setup the word reports changes
        if (defs[i].param_type != PF_Param_ARBITRARY_DATA) continue;
        PF_Handle shown = defs[i].u.arb_d.value;
        defs[i].u.arb_d.value = ArbCopy(i, shown);
        if (owns) ArbDispose(i, shown);
    }
    if (adjust) adjust(defs);
    std::vector<PF_ParamDef*> params(defs.size());
    for (std::size_t i = 0; i < defs.size(); ++i) params[i] = &defs[i];

    auto call = NewCall();
    call->in.time_scale = base.scale;
    call->in.time_step = base.step;
    call->in.local_time_step = base.step;
    call->in.current_time = SecondsToTime(seconds, base.scale).value;
    PF_OutData scratch{};
    const PF_Err err = host_.Call(cmd, &call->in, out ? out : &scratch, params.data(), nullptr, extra);
    for (int i = 1; i < paramCount(); ++i) {
        std::optional<ParamValue> changed;
        if (defs[i].uu.change_flags & PF_ChangeFlag_CHANGED_VALUE) changed = ValueOf(defs[i]);
        if (changed) {
            SetValueAt(i, seconds, *changed);
            changedInPanel.insert(i);
        } else if (defs[i].param_type == PF_Param_ARBITRARY_DATA) {
            ArbDispose(i, defs[i].u.arb_d.value);
        }
    }
    return err;
}

PF_Err EffectInstance::UserChangedParam(int index, PF_OutData* out, const AdjustParams& adjust)
{
    PF_UserChangedParamExtra extra{};
    extra.param_index = index;
    return PanelCommand(PF_Cmd_USER_CHANGED_PARAM, &extra, out, adjust);
}

PF_Err EffectInstance::UpdateParamsUI(PF_OutData* out) { return PanelCommand(PF_Cmd_UPDATE_PARAMS_UI, nullptr, out); }

PF_Err EffectInstance::ReportUserChange(int index)
{
    const PF_Err changedErr = UserChangedParam(index, nullptr);
    const bool supervised = params_.at(index).def.flags & PF_ParamFlag_SUPERVISE;
    const bool asked = host_.globalSetupOutput().out_flags & PF_OutFlag_SEND_UPDATE_PARAMS_UI;
    const PF_Err updateErr = supervised && asked ? UpdateParamsUI() : PF_Err_NONE;
    return changedErr ? changedErr : updateErr;
}

PF_Err EffectInstance::UpdateParamUI(int index, const PF_ParamDef& def)
{
    if (index < 1 || index >= paramCount()) return PF_Err_BAD_CALLBACK_PARAM;
    panelUpdates.push_back(index);
    if (auto fail = failPanelUpdate.find(index); fail != failPanelUpdate.end()) return fail->second;
    // A row may change how it looks, never what kind of control it is.
    if (def.param_type != params_[index].def.param_type) return PF_Err_BAD_CALLBACK_PARAM;
    PanelRowState& row = panelRows_.at(index);
    row.name.assign(def.name, strnlen(def.name, sizeof def.name));
    row.uiFlags = def.ui_flags;
    row.flags = def.flags;
    return PF_Err_NONE;
}

bool EffectInstance::RowHidden(int index) const
{
    const bool streamHidden = index < static_cast<int>(hiddenStreams.size()) && hiddenStreams[index];
    return streamHidden || (panelRows_.at(index).uiFlags & PF_PUI_INVISIBLE);
}

std::optional<ParamValue> EffectInstance::ValueOf(const PF_ParamDef& d) const
{
    switch (d.param_type) {
    case PF_Param_FLOAT_SLIDER: return d.u.fs_d.value;
    case PF_Param_SLIDER: return double(d.u.sd.value);
    case PF_Param_ANGLE: return d.u.ad.value / 65536.0;
    case PF_Param_CHECKBOX: return double(d.u.bd.value);
    case PF_Param_POPUP: return double(d.u.pd.value);
    case PF_Param_POINT_3D: return Vec3{d.u.point3d_d.x_value, d.u.point3d_d.y_value, d.u.point3d_d.z_value};
    case PF_Param_ARBITRARY_DATA: return d.u.arb_d.value;
    default: return std::nullopt;
    }
}

void EffectInstance::SetValueAt(int index, double seconds, ParamValue value)
{
    constexpr double kSameTime = 1e-9;
    if (auto* d = std::get_if<double>(&value)) *d = Clamp(index, *d, nullptr);
    std::vector<ParamKey>& keys = values_.at(index).keys;
    auto at = keys.size() == 1 ? keys.begin() : std::find_if(keys.begin(), keys.end(), [&](const ParamKey& k) {
        return std::fabs(k.time - seconds) < kSameTime;
    });
    if (at == keys.end()) {
        auto after =
            std::upper_bound(keys.begin(), keys.end(), seconds, [](double t, const ParamKey& k) { return t < k.time; });
        keys.insert(after, ParamKey{seconds, value});
    } else {
        DisposeValue(index, at->value);
        at->value = value;
    }
    ++host_.render().projectRevision;
}

PF_Err EffectInstance::Setup()
{
    params_.clear();
    values_.clear();
    ParamInfo input;
    input.def.param_type = PF_Param_LAYER;
    std::strcpy(input.def.name, "Input");
    params_.push_back(input);

    PF_OutData out{};
    settingUp_ = true;
    openGroups_.clear();
    PF_Err err = Command(PF_Cmd_PARAMS_SETUP, &out);
    settingUp_ = false;
    reportedParams_ = out.num_params;

    values_.resize(params_.size());
    panelRows_.assign(params_.size(), {});
    for (int i = 0; i < paramCount(); ++i) {
        const PF_ParamDef& d = params_[i].def;
        panelRows_[i] = {std::string(d.name, strnlen(d.name, sizeof d.name)), d.ui_flags, d.flags};
        ParamValue v = DefaultValue(params_[i].def);
        if (params_[i].def.param_type == PF_Param_ARBITRARY_DATA)
            v = ArbCopy(i, params_[i].def.u.arb_d.dephault); // as the compositor does: the value starts as a copy
        values_[i].keys = {ParamKey{0, v}};
    }
    return err;
}

std::optional<int> EffectInstance::IndexForId(A_long id) const
{
    for (int i = 1; i < paramCount(); ++i)
        if (params_[i].def.uu.id == id) return i;
    return std::nullopt;
}

std::string EffectInstance::PathOf(int index) const
{
    const ParamInfo& p = params_.at(index);
    return p.group.empty() ? std::string(p.def.name) : p.group + "/" + p.def.name;
}

int EffectInstance::Resolve(const std::string& name) const
{
    const bool qualified = name.find('/') != std::string::npos;
    std::vector<int> matches;
    for (int i = 1; i < paramCount(); ++i) {
        PF_ParamType t = params_[i].def.param_type;
        if (t == PF_Param_GROUP_START || t == PF_Param_GROUP_END) continue;
        if (qualified ? PathOf(i) == name : name == params_[i].def.name) matches.push_back(i);
    }
    if (matches.size() == 1) return matches[0];

    auto quoteAll = [&](const std::vector<int>& indices) {
        std::string s;
        for (int i : indices) s += (s.empty() ? "\"" : ", \"") + PathOf(i) + "\"";
        return s;
    };
    if (!matches.empty()) throw HostError("parameter \"" + name + "\" is ambiguous: write one of " + quoteAll(matches));
    // Suggest parameters that share the last word of the name, ignoring case.
    auto lower = [](std::string s) {
        std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
        return s;
    };
    std::string leaf = lower(name.substr(name.rfind('/') + 1));
    std::string word = leaf.substr(leaf.rfind(' ') + 1);
    std::vector<int> similar;
    for (int i = 1; i < paramCount(); ++i)
        if (params_[i].def.name[0] && lower(params_[i].def.name).find(word) != std::string::npos) similar.push_back(i);
    std::string msg = "unknown parameter \"" + name + "\"";
    if (!similar.empty()) msg += "; similar: " + quoteAll(similar);
    throw HostError(msg);
}

double EffectInstance::Clamp(int index, double v, std::vector<std::string>* warnings) const
{
    const PF_ParamDef& d = params_.at(index).def;
    double lo = -INFINITY, hi = INFINITY;
    switch (d.param_type) {
    case PF_Param_FLOAT_SLIDER: lo = d.u.fs_d.valid_min, hi = d.u.fs_d.valid_max; break;
    case PF_Param_SLIDER: lo = d.u.sd.valid_min, hi = d.u.sd.valid_max, v = std::round(v); break;
    case PF_Param_POPUP: lo = 1, hi = d.u.pd.num_choices, v = std::round(v); break;
    case PF_Param_CHECKBOX: lo = 0, hi = 1, v = v != 0; break;
    default: break;
    }
    double c = std::clamp(v, lo, hi);
    if (c != v && warnings)
        warnings->push_back("\"" + PathOf(index) + "\": " + FormatNumber(v) + " is outside " + FormatNumber(lo) + ".." +
                            FormatNumber(hi) + "; clamped to " + FormatNumber(c));
    return c;
}

void EffectInstance::SetValue(int index, const ParamValue& value, std::vector<std::string>* warnings)
{
    SetKeys(index, {ParamKey{0, value}}, warnings);
}

void EffectInstance::SetKeys(int index, std::vector<ParamKey> keys, std::vector<std::string>* warnings)
{
    if (index < 1 || index >= paramCount()) throw HostError("no parameter at index " + std::to_string(index));
    if (keys.empty()) throw HostError("\"" + PathOf(index) + "\": a value needs at least one key");
    for (ParamKey& k : keys)
        if (auto* d = std::get_if<double>(&k.value)) *d = Clamp(index, *d, warnings);
    std::sort(keys.begin(), keys.end(), [](const ParamKey& a, const ParamKey& b) { return a.time < b.time; });
    for (const ParamKey& k : values_[index].keys) DisposeValue(index, k.value);
    values_[index].keys = std::move(keys);
    ++host_.render().projectRevision;
}

void EffectInstance::DisposeValue(int index, const ParamValue& v)
{
    if (auto* h = std::get_if<PF_Handle>(&v); h && *h) ArbDispose(index, *h);
}

PF_ParamDef EffectInstance::DefAt(int index, double seconds, bool* ownsArbHandle) const
{
    PF_ParamDef d = params_.at(index).def;
    if (ownsArbHandle) *ownsArbHandle = false;
    const std::vector<ParamKey>& keys = values_.at(index).keys;
    if (keys.empty()) return d;

    // The bracketing keys and how far between them the time lies.
    std::size_t hi =
        std::upper_bound(keys.begin(), keys.end(), seconds, [](double t, const ParamKey& k) { return t < k.time; }) -
        keys.begin();
    const ParamKey& a = keys[hi == 0 ? 0 : hi - 1];
    const ParamKey& b = keys[std::min(hi, keys.size() - 1)];
    double f = (&a == &b || b.time <= a.time) ? 0.0 : (seconds - a.time) / (b.time - a.time);
    if (!Interpolates(d.param_type) && d.param_type != PF_Param_ARBITRARY_DATA) f = 0.0;

    auto number = [&] {
        return std::get<double>(a.value) + f * (std::get<double>(b.value) - std::get<double>(a.value));
    };
    switch (d.param_type) {
    case PF_Param_FLOAT_SLIDER: d.u.fs_d.value = number(); break;
    case PF_Param_SLIDER: d.u.sd.value = static_cast<PF_ParamValue>(std::lround(number())); break;
    case PF_Param_ANGLE: d.u.ad.value = static_cast<PF_Fixed>(std::lround(number() * 65536.0)); break;
    case PF_Param_CHECKBOX: d.u.bd.value = static_cast<PF_ParamValue>(number()); break;
    case PF_Param_POPUP: d.u.pd.value = static_cast<PF_ParamValue>(number()); break;
    case PF_Param_POINT_3D: {
        Vec3 p = std::get<Vec3>(a.value) + f * (std::get<Vec3>(b.value) - std::get<Vec3>(a.value));
        d.u.point3d_d.x_value = p.x, d.u.point3d_d.y_value = p.y, d.u.point3d_d.z_value = p.z;
        break;
    }
    case PF_Param_ARBITRARY_DATA: {
        PF_Handle left = std::get<PF_Handle>(a.value);
        d.u.arb_d.value = left;
        if (f > 0.0) {
            PF_ArbParamsExtra extra{};
            extra.which_function = PF_Arbitrary_INTERP_FUNC;
            auto& p = extra.u.interp_func_params;
            p.left_arbH = left;
            p.right_arbH = std::get<PF_Handle>(b.value);
            p.tF = f;
            PF_Handle out = nullptr;
            p.interpPH = &out;
            if (const_cast<EffectInstance*>(this)->ArbCall(extra, index) == PF_Err_NONE && out) {
                d.u.arb_d.value = out;
                if (ownsArbHandle) *ownsArbHandle = true;
            }
        }
        break;
    }
    default: break;
    }
    return d;
}

PF_Err EffectInstance::Injected(std::pair<int, PF_Err>& fail)
{
    if (fail.first <= 0 || --fail.first > 0) return PF_Err_NONE;
    return fail.second;
}

const Layer* EffectInstance::LayerAt(int index, double seconds) const
{
    if (index == 0) return layer;
    const std::vector<ParamKey>& keys = values_.at(index).keys;
    // Layer choices hold from one key to the next.
    auto after =
        std::upper_bound(keys.begin(), keys.end(), seconds, [](double t, const ParamKey& k) { return t < k.time; });
    const ParamKey& key = after == keys.begin() ? keys.front() : *(after - 1);
    const A_long* id = std::get_if<A_long>(&key.value);
    return id ? host_.project().LayerById(*id) : nullptr;
}

PF_Err EffectInstance::CheckoutParam(const EffectCall& call, int index, A_long time, A_u_long scale, PF_ParamDef* out)
{
    if (index < 0 || index >= paramCount()) return PF_Err_INVALID_INDEX;
    {
        std::lock_guard lock(checkoutMutex_);
        if (PF_Err err = Injected(failCheckout_)) return err;
    }
    const double seconds = scale ? double(time) / scale : 0.0;
    Checkout c{{}, index, false, &call, nullptr};
    c.def = DefAt(index, seconds, &c.ownsArb);
    if (c.def.param_type == PF_Param_LAYER) {
        // Outside a render a layer parameter carries no pixels.
        c.def.u.ld = PF_LayerDef{};
        const Layer* chosen = LayerAt(index, seconds);
        if (call.frame && chosen) {
            PF_Err err = GuardRender([&] {
                auto pixels = LayerCheckoutPixels(host_, *chosen, seconds, call.frame->depth, call.frame->downsample);
                if (pixels) c.pixels = std::make_shared<LentImage>(host_.render().worlds, std::move(*pixels));
            });
            if (err != PF_Err_NONE) return err;
            if (c.pixels) c.def.u.ld = c.pixels->World();
        }
    }
    *out = c.def;
    std::lock_guard lock(checkoutMutex_);
    checkouts_.insert({out, std::move(c)});
    checkoutLog_.push_back({true, index});
    return PF_Err_NONE;
}

std::vector<std::pair<bool, int>> EffectInstance::CheckoutLog() const
{
    std::lock_guard lock(checkoutMutex_);
    return checkoutLog_;
}

void EffectInstance::Release(const Checkout& c)
{
    if (c.ownsArb) ArbDispose(c.index, c.def.u.arb_d.value);
}

PF_Err EffectInstance::CheckinParam(PF_ParamDef* def)
{
    Checkout c;
    {
        std::lock_guard lock(checkoutMutex_);
        auto it = checkouts_.find(def);
        if (it == checkouts_.end()) return PF_Err_BAD_CALLBACK_PARAM;
        c = std::move(it->second);
        checkouts_.erase(it);
        checkoutLog_.push_back({false, c.index});
    }
    Release(c);
    return PF_Err_NONE;
}

int EffectInstance::OutstandingCheckouts() const
{
    std::lock_guard lock(checkoutMutex_);
    return static_cast<int>(checkouts_.size());
}

int EffectInstance::ReclaimCheckouts(const EffectCall* call)
{
    std::vector<Checkout> left;
    {
        std::lock_guard lock(checkoutMutex_);
        for (auto it = checkouts_.begin(); it != checkouts_.end();) {
            if (it->second.call != call) {
                ++it;
                continue;
            }
            left.push_back(std::move(it->second));
            it = checkouts_.erase(it);
        }
    }
    for (const Checkout& c : left) Release(c);
    return static_cast<int>(left.size());
}

PF_Err EffectInstance::ArbCall(PF_ArbParamsExtra& extra, int index)
{
    const PF_ParamDef& d = params_.at(index).def;
    extra.id = d.u.arb_d.id;
    // Every selector's record starts with the refcon.
    extra.u.new_func_params.refconPV = d.u.arb_d.refconPV;
    return Command(PF_Cmd_ARBITRARY_CALLBACK, nullptr, nullptr, nullptr, &extra);
}

PF_Handle EffectInstance::ArbCopy(int index, PF_Handle source)
{
    PF_ArbParamsExtra extra{};
    PF_Handle out = nullptr;
    if (source) {
        extra.which_function = PF_Arbitrary_COPY_FUNC;
        extra.u.copy_func_params.src_arbH = source;
        extra.u.copy_func_params.dst_arbPH = &out;
    } else {
        extra.which_function = PF_Arbitrary_NEW_FUNC;
        extra.u.new_func_params.arbPH = &out;
    }
    PF_Err err = ArbCall(extra, index);
    if (err != PF_Err_NONE)
        throw HostError("\"" + PathOf(index) + "\": the plug-in could not copy its data (" + ErrorName(err) + ")");
    return out;
}

void EffectInstance::ArbDispose(int index, PF_Handle handle)
{
    if (!handle) return;
    PF_ArbParamsExtra extra{};
    extra.which_function = PF_Arbitrary_DISPOSE_FUNC;
    extra.u.dispose_func_params.arbH = handle;
    if (index < 1 || ArbCall(extra, index) != PF_Err_NONE) host_.handles().Dispose(handle);
}

std::vector<uint8_t> EffectInstance::ArbFlatten(int index, PF_Handle handle)
{
    PF_ArbParamsExtra extra{};
    A_u_long size = 0;
    extra.which_function = PF_Arbitrary_FLAT_SIZE_FUNC;
    extra.u.flat_size_func_params.arbH = handle;
    extra.u.flat_size_func_params.flat_data_sizePLu = &size;
    PF_Err err = ArbCall(extra, index);
    std::vector<uint8_t> bytes(size);
    if (err == PF_Err_NONE) {
        extra = {};
        extra.which_function = PF_Arbitrary_FLATTEN_FUNC;
        extra.u.flatten_func_params.arbH = handle;
        extra.u.flatten_func_params.buf_sizeLu = size;
        extra.u.flatten_func_params.flat_dataPV = bytes.data();
        err = ArbCall(extra, index);
    }
    if (err != PF_Err_NONE)
        throw HostError("\"" + PathOf(index) + "\": the plug-in could not save its data (" + ErrorName(err) + ")");
    return bytes;
}

PF_Handle EffectInstance::ArbUnflatten(int index, const std::vector<uint8_t>& bytes)
{
    PF_ArbParamsExtra extra{};
    PF_Handle out = nullptr;
    extra.which_function = PF_Arbitrary_UNFLATTEN_FUNC;
    extra.u.unflatten_func_params.buf_sizeLu = static_cast<A_u_long>(bytes.size());
    extra.u.unflatten_func_params.flat_dataPV = bytes.data();
    extra.u.unflatten_func_params.arbPH = &out;
    PF_Err err = ArbCall(extra, index);
    if (err != PF_Err_NONE)
        throw HostError("\"" + PathOf(index) + "\": the plug-in could not load its data (" + ErrorName(err) + ")");
    return out;
}

bool EffectInstance::ArbEqual(int index, PF_Handle a, PF_Handle b)
{
    PF_ArbParamsExtra extra{};
    PF_ArbCompareResult result = PF_ArbCompare_NOT_EQUAL;
    extra.which_function = PF_Arbitrary_COMPARE_FUNC;
    extra.u.compare_func_params.a_arbH = a;
    extra.u.compare_func_params.b_arbH = b;
    extra.u.compare_func_params.compareP = &result;
    return ArbCall(extra, index) == PF_Err_NONE && result == PF_ArbCompare_EQUAL;
}

} // namespace strandel::host
