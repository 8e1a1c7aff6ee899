// The host's side of one custom-UI context: the record the plug-in reaches through its handle,
// the drawing lent for a draw event, and the areas the plug-in asked to have redrawn.
#pragma once
#include <vector>

#include "AE_Effect.h"
#include "DrawbotSuite.h"

namespace strandel::host {

class CustomUiContext {
public:
    CustomUiContext();
    CustomUiContext(const CustomUiContext&) = delete; // the handle points into this object
    CustomUiContext& operator=(const CustomUiContext&) = delete;

    PF_ContextH Handle() { return &recordPointer_; }
    PF_Context& Record() { return record_; }
    // Null for a handle this host did not make.
    static CustomUiContext* From(PF_ContextH handle);

    // What PF_GetDrawingReference answers: a drawing only while a draw event runs.
    DRAWBOT_DrawRef drawing = nullptr;
    std::vector<PF_Rect> invalidated;

private:
    PF_Context record_{};
    PF_Context* recordPointer_ = &record_;
};

} // namespace strandel::host
