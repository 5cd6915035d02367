// A drawing surface that records every figure the engine draws, so that
// tests can check the renderers' geometry, pens and colours without
// rasterising.  It notes the progress each band leaves behind and can fail
// from a given call on, with an error of any type.
#pragma once

#include "render/surface.h"

#include <algorithm>
#include <exception>
#include <utility>
#include <vector>

namespace ombrix::test
{

enum class CallKind { Line, LineTo, Box, FillBox, Circle, Arc, Ellipse };

struct Call {
    CallKind kind = CallKind::Line;
    // Line, box and filled box: the two points; LineTo: its start (the
    // current point) and end.  Circle, ellipse and arc: the centre, the
    // radius, and the aspect (ellipse) or the start angle (arc).
    double v[4] = {0, 0, 0, 0};
    double end = 0; // arc: end angle
    num::Rgb colour = 0;
    DrawStyle style = DrawStyle::InsideSolid;
    Single progress = -1; // the watched progress once the band was drawn

    // A band's first figure (a diamond's continued lines belong to it).
    bool isBand() const { return kind != CallKind::LineTo && kind != CallKind::FillBox; }
};

// The bands drawn with one pen: a renderer sets the pen once per segment.
struct RecordedSegment {
    Long pen = 0;
    std::vector<Call> bands;
};

class RecordingSurface : public Surface
{
public:
    explicit RecordingSurface(double width = 200, double height = 100) : w_(width), h_(height) {}

    void watchProgress(const Single* value) { progress_ = value; }
    // Call n (0-based) and every later one throw `error`, by default a
    // SurfaceError.  Lifting the clip never fails: it runs while unwinding.
    void failFrom(std::size_t n, std::exception_ptr error = nullptr)
    {
        failFrom_ = n;
        error_ = error;
    }
    // Notes the progress the last band left behind.
    void finish()
    {
        if (progress_ && open_ < calls_.size())
            calls_[open_].progress = *progress_;
        open_ = std::size_t(-1);
    }

    const std::vector<Call>& calls() const { return calls_; }
    std::size_t count() const { return count_; } // surface calls of every kind
    bool clipped() const { return clipped_; }
    bool cleared() const { return cleared_; }
    std::vector<Call> bands() const
    {
        std::vector<Call> out;
        std::copy_if(calls_.begin(), calls_.end(), std::back_inserter(out),
                     [](const Call& c) { return c.isBand(); });
        return out;
    }
    // The drawing split at each pen change.
    std::vector<RecordedSegment> segments() const
    {
        std::vector<RecordedSegment> out;
        for (std::size_t k = 0; k < pens_.size(); ++k) {
            out.push_back({pens_[k].second, {}});
            const std::size_t to = k + 1 < pens_.size() ? pens_[k + 1].first : calls_.size();
            for (std::size_t i = pens_[k].first; i < to; ++i)
                if (calls_[i].isBand())
                    out.back().bands.push_back(calls_[i]);
        }
        return out;
    }

    using Rgb = num::Rgb;
    using K = CallKind;
    void line(double a, double b, double c, double d, Rgb k) override
    {
        add(K::Line, a, b, c, d, k);
    }
    void lineTo(double c, double d, Rgb k) override { add(K::LineTo, x_, y_, c, d, k); }
    void box(double a, double b, double c, double d, Rgb k) override { add(K::Box, a, b, c, d, k); }
    void fillBox(double a, double b, double c, double d, Rgb k) override
    {
        add(K::FillBox, a, b, c, d, k);
    }
    void circle(double x, double y, double r, Rgb k) override { add(K::Circle, x, y, r, 0, k); }
    void arc(double x, double y, double r, Rgb k, double start, double end) override
    {
        add(K::Arc, x, y, r, start, k);
        calls_.back().end = end;
    }
    void ellipse(double x, double y, double r, Rgb k, double q) override
    {
        add(K::Ellipse, x, y, r, q, k);
    }
    void setClipRect(double, double, double, double) override { clipped_ = enter(); }
    void clearClip() override { clipped_ = false; }
    void setDrawStyle(DrawStyle style) override { style_ = style; }
    DrawStyle drawStyle() const override { return style_; }
    void setDrawWidth(Long width) override
    {
        enter();
        pens_.emplace_back(calls_.size(), pen_ = width);
    }
    Long drawWidth() const override { return pen_; }
    void setBackColor(num::Rgb c) override
    {
        cleared_ = enter();
        back_ = c;
    }
    num::Rgb backColor() const override { return back_; }
    void cls() override { cleared_ = enter(); }
    double scaleLeft() const override { return 0; }
    double scaleTop() const override { return 0; }
    double scaleWidth() const override { return w_; }
    double scaleHeight() const override { return h_; }

private:
    // Counts a call, fails it when told to and closes the band before it.
    bool enter(bool continues = false)
    {
        if (count_ >= failFrom_) {
            if (error_)
                std::rethrow_exception(error_);
            throw SurfaceError("recording surface told to fail");
        }
        ++count_;
        if (!continues)
            finish();
        return true;
    }
    void add(CallKind kind, double a, double b, double c, double d, num::Rgb colour)
    {
        enter(kind == CallKind::LineTo);
        Call call{kind, {a, b, c, d}, 0, colour, style_, -1};
        if (call.isBand())
            open_ = calls_.size();
        calls_.push_back(call);
        x_ = c, y_ = d; // the current point, for lines
    }

    double w_, h_;
    const Single* progress_ = nullptr;
    std::size_t failFrom_ = std::size_t(-1), count_ = 0, open_ = std::size_t(-1);
    std::exception_ptr error_;
    std::vector<Call> calls_;
    std::vector<std::pair<std::size_t, Long>> pens_; // each pen, from which figure on
    bool clipped_ = false, cleared_ = false;
    Long pen_ = 1;
    DrawStyle style_ = DrawStyle::InsideSolid;
    num::Rgb back_ = 0xFFFFFF;
    double x_ = 0, y_ = 0;
};

} // namespace ombrix::test
