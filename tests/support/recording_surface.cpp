#include "support/recording_surface.h"

#include <cmath>

namespace ombrix::test
{

const char* callKindName(CallKind kind)
{
    switch (kind) {
    case CallKind::Line:
        return "line";
    case CallKind::LineTo:
        return "lineTo";
    case CallKind::Box:
        return "box";
    case CallKind::FillBox:
        return "fillBox";
    case CallKind::Circle:
        return "circle";
    case CallKind::Arc:
        return "arc";
    case CallKind::Ellipse:
        return "ellipse";
    case CallKind::SetClip:
        return "setClipRect";
    case CallKind::ClearClip:
        return "clearClip";
    case CallKind::SetDrawWidth:
        return "setDrawWidth";
    case CallKind::SetBackColor:
        return "setBackColor";
    case CallKind::Cls:
        return "cls";
    }
    return "?";
}

void RecordingSurface::clear()
{
    calls_.clear();
    count_ = bandsSincePen_ = maxBands_ = penChanges_ = 0;
    nonFinite_ = false;
}

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
        ++penChanges_;
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
    Call c;
    c.kind = CallKind::Line;
    c.x1 = x1, c.y1 = y1, c.x2 = x2, c.y2 = y2, c.colour = colour;
    record(c);
    curX_ = x2, curY_ = y2;
    if (forward_)
        forward_->line(x1, y1, x2, y2, colour);
}

void RecordingSurface::lineTo(double x2, double y2, num::Rgb colour)
{
    Call c;
    c.kind = CallKind::LineTo;
    c.x1 = curX_, c.y1 = curY_, c.x2 = x2, c.y2 = y2, c.colour = colour;
    record(c);
    curX_ = x2, curY_ = y2;
    if (forward_)
        forward_->lineTo(x2, y2, colour);
}

void RecordingSurface::box(double x1, double y1, double x2, double y2, num::Rgb colour)
{
    Call c;
    c.kind = CallKind::Box;
    c.x1 = x1, c.y1 = y1, c.x2 = x2, c.y2 = y2, c.colour = colour;
    record(c);
    curX_ = x2, curY_ = y2;
    if (forward_)
        forward_->box(x1, y1, x2, y2, colour);
}

void RecordingSurface::fillBox(double x1, double y1, double x2, double y2, num::Rgb colour)
{
    Call c;
    c.kind = CallKind::FillBox;
    c.x1 = x1, c.y1 = y1, c.x2 = x2, c.y2 = y2, c.colour = colour;
    record(c);
    curX_ = x2, curY_ = y2;
    if (forward_)
        forward_->fillBox(x1, y1, x2, y2, colour);
}

void RecordingSurface::circle(double x, double y, double r, num::Rgb colour)
{
    Call c;
    c.kind = CallKind::Circle;
    c.x1 = x, c.y1 = y, c.r = r, c.colour = colour;
    record(c);
    if (forward_)
        forward_->circle(x, y, r, colour);
}

void RecordingSurface::arc(double x, double y, double r, num::Rgb colour, double start, double end)
{
    Call c;
    c.kind = CallKind::Arc;
    c.x1 = x, c.y1 = y, c.r = r, c.colour = colour, c.start = start, c.end = end;
    record(c);
    if (forward_)
        forward_->arc(x, y, r, colour, start, end);
}

void RecordingSurface::ellipse(double x, double y, double r, num::Rgb colour, double aspect)
{
    Call c;
    c.kind = CallKind::Ellipse;
    c.x1 = x, c.y1 = y, c.r = r, c.colour = colour, c.aspect = aspect;
    record(c);
    if (forward_)
        forward_->ellipse(x, y, r, colour, aspect);
}

void RecordingSurface::setClipRect(double x1, double y1, double x2, double y2)
{
    Call c;
    c.kind = CallKind::SetClip;
    c.x1 = x1, c.y1 = y1, c.x2 = x2, c.y2 = y2;
    record(c);
    clipped_ = true;
    if (forward_)
        forward_->setClipRect(x1, y1, x2, y2);
}

void RecordingSurface::clearClip()
{
    Call c;
    c.kind = CallKind::ClearClip;
    record(c);
    clipped_ = false;
    if (forward_)
        forward_->clearClip();
}

void RecordingSurface::setDrawWidth(Long width)
{
    Call c;
    c.kind = CallKind::SetDrawWidth;
    c.pen = width;
    record(c);
    pen_ = width;
    if (forward_)
        forward_->setDrawWidth(width);
}

void RecordingSurface::setBackColor(num::Rgb colour)
{
    Call c;
    c.kind = CallKind::SetBackColor;
    c.colour = colour;
    record(c);
    back_ = colour;
    curX_ = curY_ = 0;
    if (forward_)
        forward_->setBackColor(colour);
}

void RecordingSurface::cls()
{
    Call c;
    c.kind = CallKind::Cls;
    record(c);
    curX_ = curY_ = 0;
    if (forward_)
        forward_->cls();
}

} // namespace ombrix::test
