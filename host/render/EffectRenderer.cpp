#include "host/render/EffectRenderer.h"

#include <optional>
#include <variant>

#include "host/Host.h"
#include "host/HostError.h"
#include "host/render/FrameCall.h"

namespace strandel::host {
namespace {

// Touches and forced rerenders so far: a cached frame is good only while this stays put.
std::uint64_t Invalidations(Host& host)
{
    return static_cast<std::uint64_t>(host.log().touchedActiveItem) + host.log().forcedRerenders;
}

// Every key of every parameter as bytes, curves as the plug-in flattens them. None when a value
// cannot be read; such a frame stays out of the cache.
std::optional<std::string> ParamBytes(EffectInstance& effect)
{
    std::string bytes;
    auto put = [&bytes](const auto& v) { bytes.append(reinterpret_cast<const char*>(&v), sizeof v); };
    try {
        for (int i = 1; i < effect.paramCount(); ++i)
            for (const ParamKey& key : effect.track(i).keys) {
                put(key.time);
                put(key.value.index());
                if (const PF_Handle* h = std::get_if<PF_Handle>(&key.value)) {
                    const std::vector<uint8_t> flat = *h ? effect.ArbFlatten(i, *h) : std::vector<uint8_t>{};
                    put(flat.size());
                    bytes.append(flat.begin(), flat.end());
                } else {
                    std::visit(put, key.value);
                }
            }
    } catch (const HostError&) {
        return std::nullopt;
    }
    return bytes;
}

} // namespace

FrameResult RenderEffectFrame(EffectInstance& effect, const FrameRequest& request, const std::atomic<bool>* cancel)
{
    Host& host = effect.host();
    RenderCache& cache = host.render().cache;
    const std::uint64_t invalidations = Invalidations(host);
    const std::optional<std::string> params = ParamBytes(effect);
    FrameKey key{&effect, request.frame, request.depth, request.downsample, request.legacy, params.value_or(""), ""};

    FrameResult result;
    FrameCall frame(effect, request, cancel);
    std::optional<Image> cached;
    if (request.legacy) {
        if (params) cached = cache.Find(key, invalidations);
        if (!cached) result.err = frame.LegacyRender();
    } else {
        // The plug-in's mixed-in bytes are part of the key, so pre-render always runs.
        result.err = frame.PreRender(frame.WholeOutput());
        key.mixIn = frame.MixedIn();
        if (result.err == PF_Err_NONE && params) cached = cache.Find(key, invalidations);
        if (result.err == PF_Err_NONE && !cached) result.err = frame.SmartRender();
    }
    result.leaks = frame.Finish();
    result.problems = frame.Problems();
    result.fromCache = cached.has_value();
    result.image = cached ? std::move(*cached) : frame.TakeOutput();
    const bool cancelled = cancel && cancel->load();
    if (!cached && params && result.err == PF_Err_NONE && result.problems.empty() && !cancelled)
        cache.Store(key, result.image, invalidations);
    return result;
}

} // namespace strandel::host
