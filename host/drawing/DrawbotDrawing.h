// The DRAWBOT drawing this host lends a custom row for one draw event, drawn with cairo: pens,
// brushes, paths with arcs and Beziers, fills, strokes, painted rectangles and text in the
// default font. Built only where cairo is (not in the Windows build).
#pragma once
#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

#include "DrawbotSuite.h"

namespace strandel::host {

// One DRAWBOT call as the host received it: what tests hold a row's drawing to.
struct DrawbotCall {
    std::string name;
    std::vector<double> args; // colours as r, g, b, a; then sizes, points and rectangles
    std::string text; // DrawString's text, as UTF-8
};

class DrawbotDrawing {
public:
    explicit DrawbotDrawing(cairo_t* cairo);
    DrawbotDrawing(const DrawbotDrawing&) = delete; // the references point into this object
    DrawbotDrawing& operator=(const DrawbotDrawing&) = delete;

    DRAWBOT_DrawRef Ref() { return reinterpret_cast<DRAWBOT_DrawRef>(&draw_); }

    // What the supplier offers: hosts differ.
    bool supportsText = true;
    float defaultFontSize = 12;
    // Tests: every call is recorded here when set; the nth call from now on (1-based) fails.
    std::vector<DrawbotCall>* record = nullptr;
    int failCall = 0;
    // Pens, brushes, fonts and paths made and not yet released.
    int liveObjects = 0;

    // The part a DRAWBOT reference names; `tag` tells them apart.
    struct Part {
        std::uint32_t tag;
        DrawbotDrawing* drawing;
    };

    cairo_t* Cairo() const { return cairo_; }
    // Records the call; false when it is the one made to fail.
    bool Enter(const char* name, std::vector<double> args, std::string text = {});

private:
    cairo_t* cairo_;
    int calls_ = 0;
    Part draw_, supplier_, surface_;

    friend struct DrawbotParts;
};

} // namespace strandel::host
