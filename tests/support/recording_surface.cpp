#include "support/recording_surface.h"

#include <cmath>

namespace ombrix::test
{

namespace
{

Call make(CallKind kind, double x1 = 0, double y1 = 0, double x2 = 0, double y2 = 0,
          num::Rgb colour = 0)
{
    Call c;
    c.kind = kind;
    c.x1 = x1, c.y1 = y1, c.x2 = x2, c.y2 = y2, c.colour = colour;
    return c;
}

} // namespace

void RecordingSurface::record(Call c)
{
    if (count_ >= failFrom_ && c.kind != CallKind::ClearClip)
        throw SurfaceError("recording surface told to fail");
    ++count_;
    c.pen = c.kind == CallKind::SetDrawWidth ? c.pen : pen_;
    c.style = style_;
    if (progress_)
        c.progress = *progress_;
    for (double v : {c.x1, c.y1, c.x2, c.y2, c.r, c.aspect, c.start, c.end})
        if (!std::isfinite(v))
            nonFinite_ = true;
    if (c.kind == CallKind::SetDrawWidth) {
        maxBands_ = std::max(maxBands_, bandsSincePen_);
        bandsSincePen_ = 0;
    } else if (c.isBand()) {
        ++bandsSincePen_;
    }
    if (keep_)
        calls_.push_back(c);
}

std::vector<Call> RecordingSurface::bands() const
{
    std::vector<Call> out;
    for (const Call& c : calls_)
        if (c.isBand())
            out.push_back(c);
    return out;
}

std::vector<Call> RecordingSurface::ofKind(CallKind kind) const
{
    std::vector<Call> out;
    for (const Call& c : calls_)
        if (c.kind == kind)
            out.push_back(c);
    return out;
}

std::vector<RecordedSegment> RecordingSurface::segments() const
{
    std::vector<RecordedSegment> out;
    for (const Call& c : calls_) {
        if (c.kind == CallKind::SetDrawWidth) {
            out.emplace_back();
            out.back().pen = c.pen;
            continue;
        }
        if (out.empty())
            continue; // figures before the first pen change (background fills)
        if (c.isBand())
            out.back().bands.push_back(c);
        if (c.kind == CallKind::Line || c.kind == CallKind::LineTo)
            ++out.back().lineCalls;
    }
    return out;
}

void RecordingSurface::line(double x1, double y1, double x2, double y2, num::Rgb colour)
{
    record(make(CallKind::Line, x1, y1, x2, y2, colour));
    curX_ = x2, curY_ = y2;
    if (forward_)
        forward_->line(x1, y1, x2, y2, colour);
}

void RecordingSurface::lineTo(double x2, double y2, num::Rgb colour)
{
    record(make(CallKind::LineTo, curX_, curY_, x2, y2, colour));
    curX_ = x2, curY_ = y2;
    if (forward_)
        forward_->lineTo(x2, y2, colour);
}

void RecordingSurface::box(double x1, double y1, double x2, double y2, num::Rgb colour)
{
    record(make(CallKind::Box, x1, y1, x2, y2, colour));
    curX_ = x2, curY_ = y2;
    if (forward_)
        forward_->box(x1, y1, x2, y2, colour);
}

void RecordingSurface::fillBox(double x1, double y1, double x2, double y2, num::Rgb colour)
{
    record(make(CallKind::FillBox, x1, y1, x2, y2, colour));
    curX_ = x2, curY_ = y2;
    if (forward_)
        forward_->fillBox(x1, y1, x2, y2, colour);
}

void RecordingSurface::circle(double x, double y, double r, num::Rgb colour)
{
    Call c = make(CallKind::Circle, x, y, 0, 0, colour);
    c.r = r;
    record(c);
    if (forward_)
        forward_->circle(x, y, r, colour);
}

void RecordingSurface::arc(double x, double y, double r, num::Rgb colour, double start, double end)
{
    Call c = make(CallKind::Arc, x, y, 0, 0, colour);
    c.r = r, c.start = start, c.end = end;
    record(c);
    if (forward_)
        forward_->arc(x, y, r, colour, start, end);
}

void RecordingSurface::ellipse(double x, double y, double r, num::Rgb colour, double aspect)
{
    Call c = make(CallKind::Ellipse, x, y, 0, 0, colour);
    c.r = r, c.aspect = aspect;
    record(c);
    if (forward_)
        forward_->ellipse(x, y, r, colour, aspect);
}

void RecordingSurface::setClipRect(double x1, double y1, double x2, double y2)
{
    record(make(CallKind::SetClip, x1, y1, x2, y2));
    clipped_ = true;
    if (forward_)
        forward_->setClipRect(x1, y1, x2, y2);
}

void RecordingSurface::clearClip()
{
    record(make(CallKind::ClearClip));
    clipped_ = false;
    if (forward_)
        forward_->clearClip();
}

void RecordingSurface::setDrawWidth(Long width)
{
    Call c = make(CallKind::SetDrawWidth);
    c.pen = width;
    record(c);
    pen_ = width;
    if (forward_)
        forward_->setDrawWidth(width);
}

void RecordingSurface::setBackColor(num::Rgb colour)
{
    record(make(CallKind::SetBackColor, 0, 0, 0, 0, colour));
    back_ = colour;
    curX_ = curY_ = 0;
    if (forward_)
        forward_->setBackColor(colour);
}

void RecordingSurface::cls()
{
    record(make(CallKind::Cls));
    curX_ = curY_ = 0;
    if (forward_)
        forward_->cls();
}

} // namespace ombrix::test
