#include "host/panel/EffectWindow.h"

#include "host/Host.h"
#include "host/suites/SuiteTable.h"

namespace strandel::host {

template <>
struct TableLabel<PF_EventCallbacks> {
    static constexpr const char* name = "PF_EventCallbacks";
    static constexpr A_long version = 0;
};

namespace {

// Conversions between comp, layer and source space: the effect window has none to offer.
const PF_EventCallbacks kEventCallbacks = [] {
    auto table = TableOfTraps<PF_EventCallbacks>();
    table.refcon = nullptr;
    return table;
}();

// The context lends a drawing for one event and takes it back on every path.
class LentDrawing {
public:
    LentDrawing(CustomUiContext& context, DRAWBOT_DrawRef drawing) : context_(context) { context_.drawing = drawing; }
    ~LentDrawing() { context_.drawing = nullptr; }
    LentDrawing(const LentDrawing&) = delete;
    LentDrawing& operator=(const LentDrawing&) = delete;

private:
    CustomUiContext& context_;
};

} // namespace

EffectWindow::EffectWindow(EffectInstance& effect) : effect_(effect) { SendContextEvent(PF_Event_NEW_CONTEXT); }

EffectWindow::~EffectWindow()
{
    if (effect_.host().loaded()) SendContextEvent(PF_Event_CLOSE_CONTEXT);
}

PF_Err EffectWindow::SendContextEvent(PF_EventType type)
{
    PF_EventExtra event = NewEvent(type, 0, PF_Rect{});
    event.effect_win.area = PF_EA_NONE;
    return Send(event);
}

PF_EventExtra EffectWindow::NewEvent(PF_EventType type, int index, const PF_Rect& frame)
{
    PF_EventExtra event{};
    event.contextH = context_.Handle();
    event.e_type = type;
    event.effect_win.index = index;
    event.effect_win.area = PF_EA_CONTROL;
    event.effect_win.current_frame = frame;
    event.cbs = kEventCallbacks;
    return event;
}

PF_Err EffectWindow::Send(PF_EventExtra& event) { return effect_.PanelCommand(PF_Cmd_EVENT, &event, nullptr); }

EffectWindow::ClickResult EffectWindow::Click(int index, const PF_Rect& frame, PF_Point at, PF_Modifiers modifiers)
{
    PF_EventExtra event = NewEvent(PF_Event_DO_CLICK, index, frame);
    event.u.do_click.screen_point = at;
    event.u.do_click.modifiers = modifiers;
    event.u.do_click.num_clicks = 1;
    ClickResult result;
    result.err = Send(event);
    result.sendDrag = event.u.do_click.send_drag != 0;
    result.outFlags = event.evt_out_flags;
    return result;
}

PF_Err EffectWindow::Drag(int index, const PF_Rect& frame, PF_Point at, bool last)
{
    PF_EventExtra event = NewEvent(PF_Event_DRAG, index, frame);
    event.u.do_click.screen_point = at;
    event.u.do_click.send_drag = true;
    event.u.do_click.last_time = last;
    return Send(event);
}

PF_Err EffectWindow::Draw(int index, const PF_Rect& frame, DRAWBOT_DrawRef drawing, PF_EventOutFlags* outFlags)
{
    LentDrawing lent(context_, drawing);
    PF_EventExtra event = NewEvent(PF_Event_DRAW, index, frame);
    event.u.draw.update_rect = frame;
    const PF_Err err = Send(event);
    if (outFlags) *outFlags = event.evt_out_flags;
    return err;
}

} // namespace strandel::host
