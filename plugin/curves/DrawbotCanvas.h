// Drawing into a custom-UI context through the host's DRAWBOT suites. Every object made is
// released when its shape is drawn; the first failing call ends the drawing, after which every
// call does nothing and Result() reports PF_Err_INTERNAL_STRUCT_DAMAGED.
#pragma once
#include <functional>
#include <string>

#include "AE_Effect.h"
#include "frame/SuiteCache.h"

namespace strandel {

class DrawbotCanvas;

// Adds to a path under construction; each call is checked by its canvas.
class DrawbotPathBuilder {
public:
    void MoveTo(float x, float y);
    void LineTo(float x, float y);
    void BezierTo(DRAWBOT_PointF32 c1, DRAWBOT_PointF32 c2, DRAWBOT_PointF32 end);
    void AddArc(DRAWBOT_PointF32 centre, float radius, float startDegrees, float sweepDegrees);

private:
    friend class DrawbotCanvas;
    DrawbotPathBuilder(DrawbotCanvas& canvas, DRAWBOT_PathRef path) : canvas_(canvas), path_(path) {}
    DrawbotCanvas& canvas_;
    DRAWBOT_PathRef path_;
};

class DrawbotCanvas {
public:
    explicit DrawbotCanvas(SuiteCache& suites) : suites_(suites) {}

    // Finds the context's surface and supplier. The drawing-reference error is returned as is
    // and a DRAWBOT error as PF_Err_INTERNAL_STRUCT_DAMAGED; a missing reference, surface or
    // supplier leaves the canvas closed with no error.
    PF_Err Open(PF_ContextH context);
    bool IsOpen() const { return surface_ && supplier_ && !failed_; }

    void PaintRect(const DRAWBOT_ColorRGBA& colour, float left, float top, float width, float height);
    using PathSteps = std::function<void(DrawbotPathBuilder&)>;
    void StrokePath(const DRAWBOT_ColorRGBA& colour, float penSize, const PathSteps& steps);
    void FillPath(const DRAWBOT_ColorRGBA& colour, const PathSteps& steps);
    bool SupportsText();
    // The host's default font size, or nothing when it cannot say.
    bool DefaultFontSize(float& size);
    void DrawString(const DRAWBOT_ColorRGBA& colour, float fontSize, const std::u16string& text,
                    DRAWBOT_PointF32 origin, DRAWBOT_TextAlignment alignment, DRAWBOT_TextTruncation truncation,
                    float truncationWidth);
    void Flush();

    PF_Err Result() const { return failed_ ? PF_Err_INTERNAL_STRUCT_DAMAGED : PF_Err_NONE; }

private:
    friend class DrawbotPathBuilder;
    // False once any call has failed; records this one's failure.
    bool Check(A_Err err);
    // Makes an object with `make`, hands it to `use`, then releases it.
    template <class Ref, class Make, class Use>
    void WithObject(Make make, Use use);
    // A new path built by `steps`, handed to `paint`, then released.
    template <class Paint>
    void WithPath(const PathSteps& steps, Paint paint);

    SuiteCache& suites_;
    DRAWBOT_SurfaceRef surface_ = nullptr;
    DRAWBOT_SupplierRef supplier_ = nullptr;
    bool failed_ = false;
};

} // namespace strandel
