// The effect's rows in the compositor's Effect Controls window: one custom-UI context for the
// instance, opened and closed with the window, and the events the compositor sends through it.
#pragma once
#include "host/EffectInstance.h"
#include "host/panel/CustomUiContext.h"

namespace strandel::host {

class EffectWindow {
public:
    // Sends PF_Event_NEW_CONTEXT.
    explicit EffectWindow(EffectInstance& effect);
    // Sends PF_Event_CLOSE_CONTEXT.
    ~EffectWindow();
    EffectWindow(const EffectWindow&) = delete;
    EffectWindow& operator=(const EffectWindow&) = delete;

    // An event for a row's control area framed by `frame` (window coordinates).
    PF_EventExtra NewEvent(PF_EventType type, int index, const PF_Rect& frame);
    // Sends it with every parameter at the host's current time; changed values are kept.
    PF_Err Send(PF_EventExtra& event);

    // A mouse-down; true when the plug-in asks for the drag that follows.
    struct ClickResult {
        PF_Err err = PF_Err_NONE;
        bool sendDrag = false;
        PF_EventOutFlags outFlags = PF_EO_NONE;
    };
    ClickResult Click(int index, const PF_Rect& frame, PF_Point at, PF_Modifiers modifiers);
    PF_Err Drag(int index, const PF_Rect& frame, PF_Point at, bool last);
    // A draw event that lends `drawing` for its duration.
    PF_Err Draw(int index, const PF_Rect& frame, DRAWBOT_DrawRef drawing, PF_EventOutFlags* outFlags = nullptr);

    CustomUiContext& context() { return context_; }
    EffectInstance& effect() { return effect_; }

private:
    PF_Err SendContextEvent(PF_EventType type);

    EffectInstance& effect_;
    CustomUiContext context_;
};

} // namespace strandel::host
