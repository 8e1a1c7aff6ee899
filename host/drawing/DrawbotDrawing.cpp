// The four DRAWBOT suites on cairo. References are checked by their tags before use, so a stale
// or foreign reference fails the call instead of crashing the host.
#include "host/drawing/DrawbotDrawing.h"

#include <cmath>
#include <memory>

#include "host/suites/SuiteTable.h"
#include "host/suites/Suites.h"

namespace strandel::host {

namespace {

constexpr std::uint32_t kDrawTag = AEFourCC('d', 'b', 'd', 'r');
constexpr std::uint32_t kSupplierTag = AEFourCC('d', 'b', 's', 'p');
constexpr std::uint32_t kSurfaceTag = AEFourCC('d', 'b', 's', 'f');
constexpr std::uint32_t kObjectTag = AEFourCC('d', 'b', 'o', 'b');
constexpr const char* kDefaultFontFamily = "DejaVu Sans";
constexpr const char* kEllipsis = "\u2026";
constexpr A_Err kBadReference = A_Err_PARAMETER;

struct PathStep {
    enum Kind { Move, Line, Bezier, Rect, Arc, Close } kind;
    double v[6];
};

// Pens, brushes, fonts and paths: one record with what each kind uses.
struct DrawbotObject {
    enum Kind { Pen, Brush, Font, Path };
    std::uint32_t tag = kObjectTag;
    Kind kind;
    DrawbotDrawing* drawing;
    int references = 1;
    DRAWBOT_ColorRGBA colour{};
    float size = 0; // pen width or font size
    std::vector<PathStep> steps;
};

DrawbotDrawing* FromPart(const void* ref, std::uint32_t tag)
{
    auto* part = static_cast<const DrawbotDrawing::Part*>(ref);
    return part && part->tag == tag ? part->drawing : nullptr;
}

DrawbotObject* FromObject(const void* ref, DrawbotObject::Kind kind)
{
    auto* object = static_cast<DrawbotObject*>(const_cast<void*>(ref));
    return object && object->tag == kObjectTag && object->kind == kind ? object : nullptr;
}

std::vector<double> Colour(const DRAWBOT_ColorRGBA& c) { return {c.red, c.green, c.blue, c.alpha}; }

std::vector<double> operator+(std::vector<double> a, const std::vector<double>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

void SetColour(cairo_t* cr, const DRAWBOT_ColorRGBA& c) { cairo_set_source_rgba(cr, c.red, c.green, c.blue, c.alpha); }

template <class Out>
A_Err NewObject(DrawbotDrawing& drawing, DrawbotObject::Kind kind, Out* out, DrawbotObject init)
{
    auto object = std::make_unique<DrawbotObject>(init);
    object->kind = kind;
    object->drawing = &drawing;
    ++drawing.liveObjects;
    *out = reinterpret_cast<Out>(object.release());
    return A_Err_NONE;
}

void ReplayPath(cairo_t* cr, const DrawbotObject& path)
{
    cairo_new_path(cr);
    for (const PathStep& s : path.steps) {
        switch (s.kind) {
        case PathStep::Move: cairo_move_to(cr, s.v[0], s.v[1]); break;
        case PathStep::Line: cairo_line_to(cr, s.v[0], s.v[1]); break;
        case PathStep::Bezier: cairo_curve_to(cr, s.v[0], s.v[1], s.v[2], s.v[3], s.v[4], s.v[5]); break;
        case PathStep::Rect: cairo_rectangle(cr, s.v[0], s.v[1], s.v[2], s.v[3]); break;
        case PathStep::Arc: {
            const double start = s.v[3] * M_PI / 180.0, end = (s.v[3] + s.v[4]) * M_PI / 180.0;
            cairo_new_sub_path(cr);
            if (s.v[4] >= 0) cairo_arc(cr, s.v[0], s.v[1], s.v[2], start, end);
            else cairo_arc_negative(cr, s.v[0], s.v[1], s.v[2], start, end);
            break;
        }
        case PathStep::Close: cairo_close_path(cr); break;
        }
    }
}

std::string Utf8(const A_UTF16Char* text)
{
    std::string out;
    for (const A_UTF16Char* p = text; p && *p; ++p) {
        std::uint32_t c = *p;
        if (c >= 0xD800 && c < 0xDC00 && p[1] >= 0xDC00 && p[1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (*++p - 0xDC00);
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | c >> 6), out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | c >> 12), out += char(0x80 | (c >> 6 & 0x3F)), out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | c >> 18), out += char(0x80 | (c >> 12 & 0x3F)), out += char(0x80 | (c >> 6 & 0x3F)),
                out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

double TextWidth(cairo_t* cr, const std::string& text)
{
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.c_str(), &extents);
    return extents.x_advance;
}

// Drops whole characters from the end until the text, with an ellipsis when asked, fits.
std::string Truncated(cairo_t* cr, std::string text, DRAWBOT_TextTruncation truncation, double width)
{
    if (truncation == kDRAWBOT_TextTruncation_None || TextWidth(cr, text) <= width) return text;
    const std::string tail = truncation == kDRAWBOT_TextTruncation_End ? "" : kEllipsis;
    while (!text.empty() && TextWidth(cr, text + tail) > width) {
        while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80) text.pop_back();
        if (!text.empty()) text.pop_back(); // the character's first byte
    }
    return text + tail;
}

} // namespace

// The references a drawing hands out name its parts.
struct DrawbotParts {
    static DRAWBOT_SupplierRef Supplier(DrawbotDrawing& d)
    {
        return reinterpret_cast<DRAWBOT_SupplierRef>(&d.supplier_);
    }
    static DRAWBOT_SurfaceRef Surface(DrawbotDrawing& d) { return reinterpret_cast<DRAWBOT_SurfaceRef>(&d.surface_); }
};

DrawbotDrawing::DrawbotDrawing(cairo_t* cairo)
    : cairo_(cairo), draw_{kDrawTag, this}, supplier_{kSupplierTag, this}, surface_{kSurfaceTag, this}
{
}

bool DrawbotDrawing::Enter(const char* name, std::vector<double> args, std::string text)
{
    if (record) record->push_back({name, std::move(args), std::move(text)});
    return ++calls_ != failCall;
}

namespace {

// Draw suite -------------------------------------------------------------------------------

A_Err GetSupplier(DRAWBOT_DrawRef ref, DRAWBOT_SupplierRef* supplier)
{
    DrawbotDrawing* d = FromPart(ref, kDrawTag);
    if (!d || !supplier) return kBadReference;
    if (!d->Enter("GetSupplier", {})) return A_Err_GENERIC;
    *supplier = DrawbotParts::Supplier(*d);
    return A_Err_NONE;
}

A_Err GetSurface(DRAWBOT_DrawRef ref, DRAWBOT_SurfaceRef* surface)
{
    DrawbotDrawing* d = FromPart(ref, kDrawTag);
    if (!d || !surface) return kBadReference;
    if (!d->Enter("GetSurface", {})) return A_Err_GENERIC;
    *surface = DrawbotParts::Surface(*d);
    return A_Err_NONE;
}

// Supplier suite ---------------------------------------------------------------------------

A_Err NewPen(DRAWBOT_SupplierRef ref, const DRAWBOT_ColorRGBA* colour, float size, DRAWBOT_PenRef* pen)
{
    DrawbotDrawing* d = FromPart(ref, kSupplierTag);
    if (!d || !colour || !pen) return kBadReference;
    if (!d->Enter("NewPen", Colour(*colour) + std::vector<double>{size})) return A_Err_GENERIC;
    DrawbotObject init{};
    init.colour = *colour;
    init.size = size;
    return NewObject(*d, DrawbotObject::Pen, pen, init);
}

A_Err NewBrush(DRAWBOT_SupplierRef ref, const DRAWBOT_ColorRGBA* colour, DRAWBOT_BrushRef* brush)
{
    DrawbotDrawing* d = FromPart(ref, kSupplierTag);
    if (!d || !colour || !brush) return kBadReference;
    if (!d->Enter("NewBrush", Colour(*colour))) return A_Err_GENERIC;
    DrawbotObject init{};
    init.colour = *colour;
    return NewObject(*d, DrawbotObject::Brush, brush, init);
}

A_Err SupportsText(DRAWBOT_SupplierRef ref, DRAWBOT_Boolean* supported)
{
    DrawbotDrawing* d = FromPart(ref, kSupplierTag);
    if (!d || !supported) return kBadReference;
    if (!d->Enter("SupportsText", {})) return A_Err_GENERIC;
    *supported = d->supportsText;
    return A_Err_NONE;
}

A_Err GetDefaultFontSize(DRAWBOT_SupplierRef ref, float* size)
{
    DrawbotDrawing* d = FromPart(ref, kSupplierTag);
    if (!d || !size) return kBadReference;
    if (!d->Enter("GetDefaultFontSize", {})) return A_Err_GENERIC;
    *size = d->defaultFontSize;
    return A_Err_NONE;
}

A_Err NewDefaultFont(DRAWBOT_SupplierRef ref, float size, DRAWBOT_FontRef* font)
{
    DrawbotDrawing* d = FromPart(ref, kSupplierTag);
    if (!d || !font) return kBadReference;
    if (!d->Enter("NewDefaultFont", {size})) return A_Err_GENERIC;
    if (!d->supportsText) return A_Err_GENERIC;
    DrawbotObject init{};
    init.size = size;
    return NewObject(*d, DrawbotObject::Font, font, init);
}

A_Err NewPath(DRAWBOT_SupplierRef ref, DRAWBOT_PathRef* path)
{
    DrawbotDrawing* d = FromPart(ref, kSupplierTag);
    if (!d || !path) return kBadReference;
    if (!d->Enter("NewPath", {})) return A_Err_GENERIC;
    return NewObject(*d, DrawbotObject::Path, path, DrawbotObject{});
}

DrawbotObject* AnyObject(DRAWBOT_ObjectRef ref)
{
    auto* object = reinterpret_cast<DrawbotObject*>(ref);
    return object && object->tag == kObjectTag ? object : nullptr;
}

A_Err RetainObject(DRAWBOT_ObjectRef ref)
{
    DrawbotObject* object = AnyObject(ref);
    if (!object) return kBadReference;
    if (!object->drawing->Enter("RetainObject", {})) return A_Err_GENERIC;
    ++object->references;
    return A_Err_NONE;
}

A_Err ReleaseObject(DRAWBOT_ObjectRef ref)
{
    DrawbotObject* object = AnyObject(ref);
    if (!object) return kBadReference;
    // Released even when the call reports failure, as a host frees what it is handed back.
    const bool ok = object->drawing->Enter("ReleaseObject", {});
    if (--object->references == 0) {
        --object->drawing->liveObjects;
        object->tag = 0;
        delete object;
    }
    return ok ? A_Err_NONE : A_Err_GENERIC;
}

// Path suite -------------------------------------------------------------------------------

A_Err AddStep(DRAWBOT_PathRef ref, const char* name, PathStep step, int values)
{
    DrawbotObject* path = FromObject(ref, DrawbotObject::Path);
    if (!path) return kBadReference;
    if (!path->drawing->Enter(name, std::vector<double>(step.v, step.v + values))) return A_Err_GENERIC;
    path->steps.push_back(step);
    return A_Err_NONE;
}

A_Err MoveTo(DRAWBOT_PathRef path, float x, float y) { return AddStep(path, "MoveTo", {PathStep::Move, {x, y}}, 2); }
A_Err LineTo(DRAWBOT_PathRef path, float x, float y) { return AddStep(path, "LineTo", {PathStep::Line, {x, y}}, 2); }

A_Err BezierTo(DRAWBOT_PathRef path, const DRAWBOT_PointF32* c1, const DRAWBOT_PointF32* c2,
               const DRAWBOT_PointF32* end)
{
    if (!c1 || !c2 || !end) return kBadReference;
    return AddStep(path, "BezierTo", {PathStep::Bezier, {c1->x, c1->y, c2->x, c2->y, end->x, end->y}}, 6);
}

A_Err AddRect(DRAWBOT_PathRef path, const DRAWBOT_RectF32* r)
{
    if (!r) return kBadReference;
    return AddStep(path, "AddRect", {PathStep::Rect, {r->left, r->top, r->width, r->height}}, 4);
}

A_Err AddArc(DRAWBOT_PathRef path, const DRAWBOT_PointF32* centre, float radius, float start, float sweep)
{
    if (!centre) return kBadReference;
    return AddStep(path, "AddArc", {PathStep::Arc, {centre->x, centre->y, radius, start, sweep}}, 5);
}

A_Err Close(DRAWBOT_PathRef path) { return AddStep(path, "Close", {PathStep::Close, {}}, 0); }

// Surface suite ----------------------------------------------------------------------------

A_Err PaintRect(DRAWBOT_SurfaceRef ref, const DRAWBOT_ColorRGBA* colour, const DRAWBOT_RectF32* r)
{
    DrawbotDrawing* d = FromPart(ref, kSurfaceTag);
    if (!d || !colour || !r) return kBadReference;
    if (!d->Enter("PaintRect", Colour(*colour) + std::vector<double>{r->left, r->top, r->width, r->height}))
        return A_Err_GENERIC;
    cairo_t* cr = d->Cairo();
    cairo_new_path(cr);
    cairo_rectangle(cr, r->left, r->top, r->width, r->height);
    SetColour(cr, *colour);
    cairo_fill(cr);
    return A_Err_NONE;
}

A_Err FillPath(DRAWBOT_SurfaceRef ref, DRAWBOT_BrushRef brushRef, DRAWBOT_PathRef pathRef, DRAWBOT_FillType fill)
{
    DrawbotDrawing* d = FromPart(ref, kSurfaceTag);
    DrawbotObject* brush = FromObject(brushRef, DrawbotObject::Brush);
    DrawbotObject* path = FromObject(pathRef, DrawbotObject::Path);
    if (!d || !brush || !path) return kBadReference;
    if (!d->Enter("FillPath", {double(fill)})) return A_Err_GENERIC;
    cairo_t* cr = d->Cairo();
    ReplayPath(cr, *path);
    cairo_set_fill_rule(cr, fill == kDRAWBOT_FillType_EvenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    SetColour(cr, brush->colour);
    cairo_fill(cr);
    return A_Err_NONE;
}

A_Err StrokePath(DRAWBOT_SurfaceRef ref, DRAWBOT_PenRef penRef, DRAWBOT_PathRef pathRef)
{
    DrawbotDrawing* d = FromPart(ref, kSurfaceTag);
    DrawbotObject* pen = FromObject(penRef, DrawbotObject::Pen);
    DrawbotObject* path = FromObject(pathRef, DrawbotObject::Path);
    if (!d || !pen || !path) return kBadReference;
    if (!d->Enter("StrokePath", {})) return A_Err_GENERIC;
    cairo_t* cr = d->Cairo();
    ReplayPath(cr, *path);
    cairo_set_line_width(cr, pen->size);
    SetColour(cr, pen->colour);
    cairo_stroke(cr);
    return A_Err_NONE;
}

A_Err DrawString(DRAWBOT_SurfaceRef ref, DRAWBOT_BrushRef brushRef, DRAWBOT_FontRef fontRef, const A_UTF16Char* text,
                 const DRAWBOT_PointF32* origin, DRAWBOT_TextAlignment alignment, DRAWBOT_TextTruncation truncation,
                 float truncationWidth)
{
    DrawbotDrawing* d = FromPart(ref, kSurfaceTag);
    DrawbotObject* brush = FromObject(brushRef, DrawbotObject::Brush);
    DrawbotObject* font = FromObject(fontRef, DrawbotObject::Font);
    if (!d || !brush || !font || !text || !origin) return kBadReference;
    const std::string utf8 = Utf8(text);
    if (!d->Enter("DrawString", {origin->x, origin->y, double(alignment), double(truncation), truncationWidth}, utf8))
        return A_Err_GENERIC;
    cairo_t* cr = d->Cairo();
    cairo_select_font_face(cr, kDefaultFontFamily, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, font->size);
    const std::string shown = Truncated(cr, utf8, truncation, truncationWidth);
    double x = origin->x;
    if (alignment == kDRAWBOT_TextAlignment_Center) x -= TextWidth(cr, shown) / 2;
    else if (alignment == kDRAWBOT_TextAlignment_Right) x -= TextWidth(cr, shown);
    cairo_new_path(cr);
    cairo_move_to(cr, x, origin->y);
    SetColour(cr, brush->colour);
    cairo_show_text(cr, shown.c_str());
    return A_Err_NONE;
}

A_Err Flush(DRAWBOT_SurfaceRef ref)
{
    DrawbotDrawing* d = FromPart(ref, kSurfaceTag);
    if (!d) return kBadReference;
    if (!d->Enter("Flush", {})) return A_Err_GENERIC;
    cairo_surface_flush(cairo_get_target(d->Cairo()));
    return A_Err_NONE;
}

A_Err PushStateStack(DRAWBOT_SurfaceRef ref)
{
    DrawbotDrawing* d = FromPart(ref, kSurfaceTag);
    if (!d) return kBadReference;
    if (!d->Enter("PushStateStack", {})) return A_Err_GENERIC;
    cairo_save(d->Cairo());
    return A_Err_NONE;
}

A_Err PopStateStack(DRAWBOT_SurfaceRef ref)
{
    DrawbotDrawing* d = FromPart(ref, kSurfaceTag);
    if (!d) return kBadReference;
    if (!d->Enter("PopStateStack", {})) return A_Err_GENERIC;
    cairo_restore(d->Cairo());
    return A_Err_NONE;
}

const DRAWBOT_DrawbotSuite1 kDrawSuite = [] {
    auto suite = TableOfTraps<DRAWBOT_DrawbotSuite1>();
    suite.GetSupplier = GetSupplier;
    suite.GetSurface = GetSurface;
    return suite;
}();
const DRAWBOT_SupplierSuite1 kSupplierSuite = [] {
    auto suite = TableOfTraps<DRAWBOT_SupplierSuite1>();
    suite.NewPen = NewPen;
    suite.NewBrush = NewBrush;
    suite.SupportsText = SupportsText;
    suite.GetDefaultFontSize = GetDefaultFontSize;
    suite.NewDefaultFont = NewDefaultFont;
    suite.NewPath = NewPath;
    suite.RetainObject = RetainObject;
    suite.ReleaseObject = ReleaseObject;
    return suite;
}();
const DRAWBOT_PathSuite1 kPathSuite = [] {
    auto suite = TableOfTraps<DRAWBOT_PathSuite1>();
    suite.MoveTo = MoveTo;
    suite.LineTo = LineTo;
    suite.BezierTo = BezierTo;
    suite.AddRect = AddRect;
    suite.AddArc = AddArc;
    suite.Close = Close;
    return suite;
}();
const DRAWBOT_SurfaceSuite2 kSurfaceSuite = [] {
    auto suite = TableOfTraps<DRAWBOT_SurfaceSuite2>();
    suite.PushStateStack = PushStateStack;
    suite.PopStateStack = PopStateStack;
    suite.PaintRect = PaintRect;
    suite.FillPath = FillPath;
    suite.StrokePath = StrokePath;
    suite.DrawString = DrawString;
    suite.Flush = Flush;
    return suite;
}();

} // namespace

void RegisterDrawbotSuites(SuiteRegistry& registry)
{
    registry.Serve(kDrawSuite);
    registry.Serve(kSupplierSuite);
    registry.Serve(kPathSuite);
    registry.Serve(kSurfaceSuite);
}

} // namespace strandel::host
