#include "host/drawing/PanelView.h"

#include <cairo.h>

#include <algorithm>
#include <memory>

#include "host/Host.h"
#include "host/HostError.h"
#include "host/drawing/DrawbotDrawing.h"

namespace strandel::host {
namespace {

struct Rgb {
    double r, g, b;
};
constexpr Rgb kPanelBackground{0.14, 0.14, 0.14};
constexpr Rgb kTitleBackground{0.19, 0.19, 0.19};
constexpr Rgb kSeparator{0.18, 0.18, 0.18};
constexpr Rgb kNameText{0.80, 0.80, 0.80};
constexpr Rgb kValueText{0.30, 0.62, 0.98};
constexpr Rgb kTwirl{0.60, 0.60, 0.60};
constexpr Rgb kControlFrame{0.36, 0.36, 0.36};
constexpr Rgb kTrack{0.32, 0.32, 0.32};
constexpr const char* kFontFamily = "DejaVu Sans";
constexpr double kFontSize = 11;
constexpr double kTwirlSize = 7;
constexpr int kRightMargin = 12;

using CairoPtr = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;
using SurfacePtr = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;

void Colour(cairo_t* cr, Rgb c) { cairo_set_source_rgb(cr, c.r, c.g, c.b); }

void FillRect(cairo_t* cr, Rgb c, double x, double y, double w, double h)
{
    cairo_new_path(cr);
    cairo_rectangle(cr, x, y, w, h);
    Colour(cr, c);
    cairo_fill(cr);
}

void FrameRect(cairo_t* cr, Rgb c, double x, double y, double w, double h)
{
    cairo_new_path(cr);
    cairo_rectangle(cr, x + 0.5, y + 0.5, w - 1, h - 1);
    cairo_set_line_width(cr, 1);
    Colour(cr, c);
    cairo_stroke(cr);
}

void Text(cairo_t* cr, Rgb c, double x, double baseline, const std::string& text, bool bold = false)
{
    cairo_select_font_face(cr, kFontFamily, CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, kFontSize);
    cairo_new_path(cr);
    cairo_move_to(cr, x, baseline);
    Colour(cr, c);
    cairo_show_text(cr, text.c_str());
}

// Open: pointing down; closed: pointing right.
void Twirl(cairo_t* cr, double x, double centreY, bool open)
{
    cairo_new_path(cr);
    if (open) {
        cairo_move_to(cr, x, centreY - kTwirlSize / 3);
        cairo_line_to(cr, x + kTwirlSize, centreY - kTwirlSize / 3);
        cairo_line_to(cr, x + kTwirlSize / 2, centreY + kTwirlSize * 2 / 3);
    } else {
        cairo_move_to(cr, x + 1, centreY - kTwirlSize / 2);
        cairo_line_to(cr, x + 1 + kTwirlSize * 2 / 3, centreY);
        cairo_line_to(cr, x + 1, centreY + kTwirlSize / 2);
    }
    cairo_close_path(cr);
    Colour(cr, kTwirl);
    cairo_fill(cr);
}

double SliderFraction(const PF_ParamDef& d)
{
    double value = 0, lo = 0, hi = 1;
    if (d.param_type == PF_Param_FLOAT_SLIDER)
        value = d.u.fs_d.value, lo = d.u.fs_d.slider_min, hi = d.u.fs_d.slider_max;
    else value = d.u.sd.value, lo = d.u.sd.slider_min, hi = d.u.sd.slider_max;
    return hi > lo ? std::clamp((value - lo) / (hi - lo), 0.0, 1.0) : 0.0;
}

void SliderStrip(cairo_t* cr, const PF_ParamDef& d, double left, double right, double centreY)
{
    FillRect(cr, kTrack, left, centreY - 1, right - left, 2);
    const double x = left + (right - left) * SliderFraction(d);
    cairo_new_path(cr);
    cairo_move_to(cr, x, centreY - 1);
    cairo_line_to(cr, x + 4, centreY + 5);
    cairo_line_to(cr, x - 4, centreY + 5);
    cairo_close_path(cr);
    Colour(cr, kNameText);
    cairo_fill(cr);
}

// The value column: text, a menu, a checkbox or a button, as the row's kind is shown.
void Value(cairo_t* cr, const EffectInstance& fx, int index, const PF_ParamDef& d, double top, double right,
           double seconds)
{
    const double baseline = top + kPanelRowHeight / 2.0 + 4;
    const double left = kPanelValueLeft;
    const std::string text = PanelValueText(fx, index, seconds);
    switch (d.param_type) {
    case PF_Param_CHECKBOX:
        FrameRect(cr, kNameText, left, top + 5, 12, 12);
        if (d.u.bd.value) FillRect(cr, kValueText, left + 3, top + 8, 6, 6);
        return;
    case PF_Param_POPUP:
    case PF_Param_LAYER:
        FrameRect(cr, kControlFrame, left - 4, top + 3, right - left, kPanelRowHeight - 6);
        Text(cr, kNameText, left, baseline, text);
        Text(cr, kTwirl, right - 16, baseline, "\u25be");
        return;
    case PF_Param_BUTTON:
        FrameRect(cr, kNameText, left - 4, top + 2, right - left, kPanelRowHeight - 4);
        Text(cr, kNameText, left + 8, baseline, text);
        return;
    default: Text(cr, kValueText, left, baseline, text);
    }
}

void HostRow(cairo_t* cr, const EffectInstance& fx, const PanelRow& row, int width, double seconds)
{
    const double top = row.bounds.top;
    const double centreY = top + kPanelRowHeight / 2.0;
    const double baseline = centreY + 4;
    FillRect(cr, kSeparator, 0, row.bounds.bottom - 1, width, 1);
    if (row.index == 0) {
        FillRect(cr, kTitleBackground, 0, top, width, kPanelRowHeight - 1);
        FrameRect(cr, kNameText, 6, top + 5, 16, 12);
        Text(cr, kNameText, 8, baseline - 1, "fx", true);
        Text(cr, kNameText, 30, baseline, fx.host().registration().name, true);
        if (fx.layer) Text(cr, kTwirl, kPanelValueLeft, baseline, "Layer: " + fx.layer->name);
        return;
    }
    const PF_ParamDef d = fx.DefAt(row.index, seconds);
    const double indent = row.depth * kPanelIndent;
    if (row.twirly) Twirl(cr, 8 + indent, centreY, row.open);
    const bool group = d.param_type == PF_Param_GROUP_START;
    Text(cr, kNameText, kPanelNameLeft + indent, baseline, fx.panelRow(row.index).name, group);
    if (group || row.HasControl()) return;
    Value(cr, fx, row.index, d, top, width - kRightMargin, seconds);
    if (row.open && (d.param_type == PF_Param_FLOAT_SLIDER || d.param_type == PF_Param_SLIDER))
        SliderStrip(cr, d, kPanelValueLeft, width - kRightMargin - 8,
                    top + kPanelRowHeight + kPanelSliderStrip / 2.0 - 3);
}

// The plug-in draws the row's control area, clipped to it.
void CustomRow(cairo_t* cr, EffectWindow& window, const PanelRow& row, PanelPicture& picture)
{
    const PF_Rect& c = row.control;
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_rectangle(cr, c.left, c.top, c.right - c.left, c.bottom - c.top);
    cairo_clip(cr);
    DrawbotDrawing drawing(cr);
    const PF_Err err = window.Draw(row.index, c, drawing.Ref());
    cairo_restore(cr);
    if (err != PF_Err_NONE)
        picture.problems.push_back("\"" + window.effect().PathOf(row.index) + "\" did not draw: " + ErrorName(err));
    if (drawing.liveObjects != 0)
        picture.problems.push_back("\"" + window.effect().PathOf(row.index) + "\" left " +
                                   std::to_string(drawing.liveObjects) + " drawing object(s) unreleased");
}

Image ToImage(cairo_surface_t* surface, int width, int height)
{
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    Image image(width, height, PixelDepth::Eight);
    for (int y = 0; y < height; ++y) {
        const auto* in = reinterpret_cast<const std::uint32_t*>(data + y * stride);
        for (int x = 0; x < width; ++x) {
            // Premultiplied native-endian ARGB words; the panel is opaque, so no colour is lost.
            const std::uint32_t p = in[x];
            const double a = (p >> 24) / 255.0;
            auto channel = [&](int shift) { return a > 0 ? ((p >> shift) & 0xFF) / 255.0 / a : 0.0; };
            image.Set(x, y, {a, channel(16), channel(8), channel(0)});
        }
    }
    return image;
}

} // namespace

PanelPicture DrawPanel(EffectWindow& window, const PanelLayout& layout, double seconds)
{
    SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, layout.width, layout.height),
                       cairo_surface_destroy);
    CairoPtr cr(cairo_create(surface.get()), cairo_destroy);
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS)
        throw HostError("cannot draw a panel of " + std::to_string(layout.width) + " x " +
                        std::to_string(layout.height) + " pixels");
    FillRect(cr.get(), kPanelBackground, 0, 0, layout.width, layout.height);
    PanelPicture picture;
    for (const PanelRow& row : layout.rows) {
        HostRow(cr.get(), window.effect(), row, layout.width, seconds);
        if (row.HasControl()) CustomRow(cr.get(), window, row, picture);
    }
    picture.image = ToImage(surface.get(), layout.width, layout.height);
    return picture;
}

} // namespace strandel::host
