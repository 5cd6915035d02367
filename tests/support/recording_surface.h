// A drawing surface that records every call the engine makes, so that tests
// can check the renderers' geometry, pens and colours without rasterising.
//
// Optionally it forwards each call to another surface (to check pixels and
// calls of one drawing together), watches the progress value of a drawing,
// and fails after a given number of calls (to check that an error inside a
// renderer ends it quietly).
#pragma once

#include "render/surface.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace ombrix::test
{

enum class CallKind {
    Line,
    LineTo,
    Box,
    FillBox,
    Circle,
    Arc,
    Ellipse,
    SetClip,
    ClearClip,
    SetDrawWidth,
    SetBackColor,
    Cls,
};

struct Call {
    CallKind kind = CallKind::Cls;
    // Line, box and filled box: the two points.  LineTo: (x1, y1) is the
    // current point it starts from, (x2, y2) its end.  Circle, arc and
    // ellipse: (x1, y1) is the centre.  SetClip: the clip's two corners.
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    double r = 0;                             // circle, arc, ellipse
    double aspect = 0;                        // ellipse
    double start = 0, end = 0;                // arc, radians
    num::Rgb colour = 0;                      // every figure; SetBackColor
    Long pen = 0;                             // the pen width in force (SetDrawWidth: the new one)
    DrawStyle style = DrawStyle::InsideSolid; // the draw style in force
    Single progress = 0;                      // the watched progress value when the call was made

    // A band figure: the start of one band (a diamond outline's continued
    // lines belong to the band its first line started).  Background fills,
    // pen changes and clears are not bands.
    bool isBand() const
    {
        return kind == CallKind::Line || kind == CallKind::Box || kind == CallKind::Circle ||
               kind == CallKind::Arc || kind == CallKind::Ellipse;
    }
};

// One segment as the renderer drew it: the figures between one pen change
// and the next.
struct RecordedSegment {
    Long pen = 0;
    std::vector<Call> bands;   // the band figures, in drawing order
    std::size_t lineCalls = 0; // Line and LineTo calls (diamonds: 4 per band)
};

class RecordingSurface : public Surface
{
public:
    explicit RecordingSurface(double width = 200, double height = 100)
        : width_(width), height_(height)
    {
    }

    // Forward every call to `target` too (after recording it).
    void forwardTo(Surface* target) { forward_ = target; }
    // Record *value with each call (the progress of the drawing under way).
    void watchProgress(const Single* value) { progress_ = value; }
    // The call numbered `n` (0-based, any kind) and every later one throws a
    // SurfaceError instead of being recorded.  Lifting the clip never fails:
    // it runs while a failed drawing unwinds.
    void failFromCall(std::size_t n) { failFrom_ = n; }
    // Keep only counts, not the calls themselves (for huge sweeps).
    void setKeepCalls(bool keep) { keep_ = keep; }

    const std::vector<Call>& calls() const { return calls_; }
    std::size_t callCount() const { return count_; }
    // Every band figure, in order.
    std::vector<Call> bands() const;
    // Calls of one kind.
    std::vector<Call> ofKind(CallKind kind) const;
    // The drawing split at each pen change; each part holds the bands drawn
    // with that pen.  A pen change with no band after it gives an empty part.
    std::vector<RecordedSegment> segments() const;

    // The largest number of band figures drawn between two pen changes,
    // counted even when calls are not kept.
    std::size_t maxBandsPerPen() const { return std::max(maxBands_, bandsSincePen_); }
    bool sawNonFinite() const { return nonFinite_; }

    void line(double x1, double y1, double x2, double y2, num::Rgb colour) override;
    void lineTo(double x2, double y2, num::Rgb colour) override;
    void box(double x1, double y1, double x2, double y2, num::Rgb colour) override;
    void fillBox(double x1, double y1, double x2, double y2, num::Rgb colour) override;
    void circle(double x, double y, double r, num::Rgb colour) override;
    void arc(double x, double y, double r, num::Rgb colour, double start, double end) override;
    void ellipse(double x, double y, double r, num::Rgb colour, double aspect) override;

    void setClipRect(double x1, double y1, double x2, double y2) override;
    void clearClip() override;
    // Whether a clip is in force now.
    bool clipped() const { return clipped_; }

    void setDrawStyle(DrawStyle style) override { style_ = style; }
    DrawStyle drawStyle() const override { return style_; }
    void setDrawWidth(Long width) override;
    Long drawWidth() const override { return pen_; }
    void setBackColor(num::Rgb colour) override;
    num::Rgb backColor() const override { return back_; }
    void cls() override;

    double scaleLeft() const override { return 0; }
    double scaleTop() const override { return 0; }
    double scaleWidth() const override { return width_; }
    double scaleHeight() const override { return height_; }

private:
    // Adds the pen, style and progress in force to the call and keeps it.
    void record(Call c);

    double width_, height_;
    Surface* forward_ = nullptr;
    const Single* progress_ = nullptr;
    std::size_t failFrom_ = static_cast<std::size_t>(-1);
    bool keep_ = true;

    std::vector<Call> calls_;
    std::size_t count_ = 0;
    std::size_t bandsSincePen_ = 0;
    std::size_t maxBands_ = 0;
    bool nonFinite_ = false;

    bool clipped_ = false;
    Long pen_ = 1;
    DrawStyle style_ = DrawStyle::InsideSolid;
    num::Rgb back_ = 0xFFFFFF;
    double curX_ = 0, curY_ = 0;
};

} // namespace ombrix::test
