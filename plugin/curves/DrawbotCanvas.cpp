#include "curves/DrawbotCanvas.h"

namespace strandel {

void DrawbotPathBuilder::MoveTo(float x, float y)
{
    if (canvas_.IsOpen()) canvas_.Check(canvas_.suites_.Get<DRAWBOT_PathSuite1>().MoveTo(path_, x, y));
}

void DrawbotPathBuilder::LineTo(float x, float y)
{
    if (canvas_.IsOpen()) canvas_.Check(canvas_.suites_.Get<DRAWBOT_PathSuite1>().LineTo(path_, x, y));
}

void DrawbotPathBuilder::BezierTo(DRAWBOT_PointF32 c1, DRAWBOT_PointF32 c2, DRAWBOT_PointF32 end)
{
    if (canvas_.IsOpen()) canvas_.Check(canvas_.suites_.Get<DRAWBOT_PathSuite1>().BezierTo(path_, &c1, &c2, &end));
}

void DrawbotPathBuilder::AddArc(DRAWBOT_PointF32 centre, float radius, float startDegrees, float sweepDegrees)
{
    if (canvas_.IsOpen())
        canvas_.Check(
            canvas_.suites_.Get<DRAWBOT_PathSuite1>().AddArc(path_, &centre, radius, startDegrees, sweepDegrees));
}

PF_Err DrawbotCanvas::Open(PF_ContextH context)
{
    DRAWBOT_DrawRef drawing = nullptr;
    if (PF_Err err = suites_.Get<PF_EffectCustomUISuite1>().PF_GetDrawingReference(context, &drawing)) return err;
    if (!drawing) return PF_Err_NONE;
    const auto& draw = suites_.Get<DRAWBOT_DrawbotSuite1>();
    if (Check(draw.GetSurface(drawing, &surface_))) Check(draw.GetSupplier(drawing, &supplier_));
    return Result();
}

bool DrawbotCanvas::Check(A_Err err)
{
    if (err != A_Err_NONE) failed_ = true;
    return !failed_;
}

template <class Ref, class Make, class Use>
void DrawbotCanvas::WithObject(Make make, Use use)
{
    if (!IsOpen()) return;
    Ref object = nullptr;
    const A_Err err = make(&object);
    if (!object) {
        Check(err != A_Err_NONE ? err : A_Err_GENERIC); // an object the host did not make cannot draw
        return;
    }
    if (Check(err)) use(object);
    Check(suites_.Get<DRAWBOT_SupplierSuite1>().ReleaseObject(reinterpret_cast<DRAWBOT_ObjectRef>(object)));
}

void DrawbotCanvas::PaintRect(const DRAWBOT_ColorRGBA& colour, float left, float top, float width, float height)
{
    if (!IsOpen()) return;
    const DRAWBOT_RectF32 rect{left, top, width, height};
    Check(suites_.Get<DRAWBOT_SurfaceSuite2>().PaintRect(surface_, &colour, &rect));
}

template <class Paint>
void DrawbotCanvas::WithPath(const PathSteps& steps, Paint paint)
{
    const auto& supplier = suites_.Get<DRAWBOT_SupplierSuite1>();
    WithObject<DRAWBOT_PathRef>([&](DRAWBOT_PathRef* path) { return supplier.NewPath(supplier_, path); },
                                [&](DRAWBOT_PathRef path) {
                                    DrawbotPathBuilder builder(*this, path);
                                    steps(builder);
                                    paint(path);
                                });
}

void DrawbotCanvas::StrokePath(const DRAWBOT_ColorRGBA& colour, float penSize, const PathSteps& steps)
{
    const auto& supplier = suites_.Get<DRAWBOT_SupplierSuite1>();
    WithPath(steps, [&](DRAWBOT_PathRef path) {
        WithObject<DRAWBOT_PenRef>(
            [&](DRAWBOT_PenRef* pen) { return supplier.NewPen(supplier_, &colour, penSize, pen); },
            [&](DRAWBOT_PenRef pen) { Check(suites_.Get<DRAWBOT_SurfaceSuite2>().StrokePath(surface_, pen, path)); });
    });
}

void DrawbotCanvas::FillPath(const DRAWBOT_ColorRGBA& colour, const PathSteps& steps)
{
    const auto& supplier = suites_.Get<DRAWBOT_SupplierSuite1>();
    WithPath(steps, [&](DRAWBOT_PathRef path) {
        WithObject<DRAWBOT_BrushRef>(
            [&](DRAWBOT_BrushRef* brush) { return supplier.NewBrush(supplier_, &colour, brush); },
            [&](DRAWBOT_BrushRef brush) {
                Check(suites_.Get<DRAWBOT_SurfaceSuite2>().FillPath(surface_, brush, path, kDRAWBOT_FillType_Winding));
            });
    });
}

bool DrawbotCanvas::SupportsText()
{
    if (!IsOpen()) return false;
    DRAWBOT_Boolean supported = 0;
    Check(suites_.Get<DRAWBOT_SupplierSuite1>().SupportsText(supplier_, &supported));
    return IsOpen() && supported;
}

bool DrawbotCanvas::DefaultFontSize(float& size)
{
    return IsOpen() && suites_.Get<DRAWBOT_SupplierSuite1>().GetDefaultFontSize(supplier_, &size) == A_Err_NONE;
}

void DrawbotCanvas::DrawString(const DRAWBOT_ColorRGBA& colour, float fontSize, const std::u16string& text,
                               DRAWBOT_PointF32 origin, DRAWBOT_TextAlignment alignment,
                               DRAWBOT_TextTruncation truncation, float truncationWidth)
{
    const auto& supplier = suites_.Get<DRAWBOT_SupplierSuite1>();
    const auto& surface = suites_.Get<DRAWBOT_SurfaceSuite2>();
    WithObject<DRAWBOT_FontRef>(
        [&](DRAWBOT_FontRef* font) { return supplier.NewDefaultFont(supplier_, fontSize, font); },
        [&](DRAWBOT_FontRef font) {
            WithObject<DRAWBOT_BrushRef>(
                [&](DRAWBOT_BrushRef* brush) { return supplier.NewBrush(supplier_, &colour, brush); },
                [&](DRAWBOT_BrushRef brush) {
                    Check(surface.DrawString(surface_, brush, font, reinterpret_cast<const A_UTF16Char*>(text.c_str()),
                                             &origin, alignment, truncation, truncationWidth));
                });
        });
}

void DrawbotCanvas::Flush()
{
    if (IsOpen()) Check(suites_.Get<DRAWBOT_SurfaceSuite2>().Flush(surface_));
}

} // namespace strandel
