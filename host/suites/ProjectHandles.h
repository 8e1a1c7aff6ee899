// How the project suites' opaque handles map onto the host's project model. Every handle the
// plug-in receives is checked before use, so a stale or foreign handle fails the call instead
// of crashing the host.
#pragma once
#include "AE_GeneralPlug.h"
#include "host/EffectInstance.h"
#include "host/Host.h"
#include "host/project/Project.h"

namespace strandel::host {

// What AEGP_EffectRefH points at.
struct EffectHandle {
    EffectInstance* instance;
};

// What AEGP_StreamRefH points at: one of a layer's transform streams, or an effect parameter.
struct StreamHandle {
    const Layer* layer = nullptr; // layer streams
    AEGP_LayerStream which = 0;
    EffectInstance* effect = nullptr; // parameter streams
    int paramIndex = 0;
};

inline AEGP_LayerH ToHandle(const Layer* l) { return reinterpret_cast<AEGP_LayerH>(const_cast<Layer*>(l)); }
inline AEGP_CompH ToHandle(const Composition* c) { return reinterpret_cast<AEGP_CompH>(const_cast<Composition*>(c)); }
inline AEGP_ItemH ToHandle(const Host::Item* i) { return reinterpret_cast<AEGP_ItemH>(const_cast<Host::Item*>(i)); }

inline const Layer* FromHandle(AEGP_LayerH h)
{
    return h && Host::Current().OwnsLayer(h) ? reinterpret_cast<const Layer*>(h) : nullptr;
}
inline const Composition* FromHandle(AEGP_CompH h)
{
    return h && Host::Current().OwnsComp(h) ? reinterpret_cast<const Composition*>(h) : nullptr;
}
inline const Host::Item* FromHandle(AEGP_ItemH h)
{
    return h && Host::Current().OwnsItem(h) ? reinterpret_cast<const Host::Item*>(h) : nullptr;
}

EffectHandle* FromHandle(AEGP_EffectRefH h);
StreamHandle* FromHandle(AEGP_StreamRefH h);
AEGP_EffectRefH NewEffectHandle(EffectInstance* instance);
AEGP_StreamRefH NewStreamHandle(const StreamHandle& stream);

// The instance an effect_ref of a command belongs to.
inline EffectInstance* InstanceOf(PF_ProgPtr effect_ref)
{
    return effect_ref ? EffectCall::From(effect_ref).instance : nullptr;
}

double Seconds(const A_Time& t);

} // namespace strandel::host
