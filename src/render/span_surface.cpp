// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/span_surface.h"

#include "render/picture_memory.h"
#include "render/qimage_surface.h"
#include "render/raster_geometry.h"
#include "render/span_rows.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ombrix
{

using raster::clipSegment;
using raster::kPi;
using raster::px;
using span::firstIn;
using span::lastIn;

namespace
{

// Beyond this many waiting figures they are drawn, so that a long run of
// figures holds little memory.  A pattern has at most a few hundred.
constexpr std::size_t kMaxWaiting = 4096;
// Likewise for the sides of the waiting rings' edges (a ring the size of
// a large picture has a few hundred; one far larger, up to some thousands).
constexpr std::size_t kMaxEdgeSides = std::size_t{1} << 18;

// The thick line from (ax, ay) to (bx, by) with half-width r.
span::Capsule capsule(double ax, double ay, double bx, double by, double r)
{
    span::Capsule c;
    c.x1 = ax;
    c.y1 = ay;
    c.x2 = bx;
    c.y2 = by;
    c.radius = r;
    const double length = std::hypot(bx - ax, by - ay);
    if (length > 0) {
        // The band between the round ends: 0 <= t <= length along the
        // segment, |d| <= r across it, sorted into two lower and two upper
        // limits on x and a range of rows.
        const double ux = (bx - ax) / length, uy = (by - ay) / length;
        using span::RowLimit;
        const RowLimit limits[4] = {
            RowLimit::of(ux, -uy * ay - ux * ax, uy),
            RowLimit::of(-ux, length + uy * ay + ux * ax, -uy),
            RowLimit::of(-uy, r - ux * ay + uy * ax, ux),
            RowLimit::of(uy, r + ux * ay - uy * ax, -ux),
        };
        constexpr double kInf = std::numeric_limits<double>::infinity();
        for (int k = 0; k < 2; ++k) {
            c.lower[k] = {0, -kInf};
            c.upper[k] = {0, kInf};
        }
        double top = -kInf, bottom = kInf;
        int lowers = 0, uppers = 0;
        bool none = false;
        for (const RowLimit& limit : limits) {
            switch (limit.kind) {
            case RowLimit::Lower:
                c.lower[std::min(lowers++, 1)] = limit.line;
                break;
            case RowLimit::Upper:
                c.upper[std::min(uppers++, 1)] = limit.line;
                break;
            case RowLimit::FromRow:
                top = std::max(top, limit.line.offset);
                break;
            case RowLimit::ToRow:
                bottom = std::min(bottom, limit.line.offset);
                break;
            case RowLimit::Closed:
                none = true;
                break;
            case RowLimit::Open:
                break;
            }
        }
        if (!none) {
            c.bandTop = top;
            c.bandBottom = bottom;
        }
    }
    return c;
}

// The edge of a ring that is the ellipse with radii rx, ry itself.
span::RingEdge ellipseEdge(double rx, double ry)
{
    span::RingEdge e;
    e.rx2 = rx * rx;
    e.ratio = e.rx2 / (ry * ry);
    e.ry = ry;
    return e;
}

// The carried-on end at `degrees` of a thick arc (raster::arcEndCorners),
// within the drawable area.
span::Figure arcEnd(double cx, double cy, const raster::RingBand& band, double degrees,
                    bool atStart, QRgb colour, const raster::PixelRect& area)
{
    span::Quad q;
    raster::arcEndCorners(cx, cy, band.arcInner(), band.outerX, band.pen, degrees, atStart, q.x,
                          q.y);
    span::Figure end;
    end.colour = colour;
    end.top = std::max(area.top, firstIn(*std::min_element(q.y, q.y + 4)));
    end.bottom = std::min(area.bottom, lastIn(*std::max_element(q.y, q.y + 4)));
    end.left = area.left;
    end.right = area.right;
    end.shape = q;
    return end;
}

} // namespace

SpanSurface::SpanSurface(int width, int height, DrawStyle style) : style_(style)
{
    resize(width, height);
}

void SpanSurface::setParallel(bool on)
{
    span::setParallel(on);
}

void SpanSurface::resize(int width, int height)
{
    dropFigures();
    image_ = QImage(); // the old picture goes before the new one is made
    image_ = newPicture(width, height);
    cls();
}

QImage& SpanSurface::image()
{
    render();
    return image_;
}

const QImage& SpanSurface::image() const
{
    render();
    return image_;
}

const QImage& SpanSurface::imageRows(long rows) const
{
    renderTop(rows);
    return image_;
}

QImage& SpanSurface::imageForOverwrite()
{
    dropFigures();
    return image_;
}

SpanSurface::Area SpanSurface::drawable() const
{
    Area a{0, 0, static_cast<long>(image_.width()) - 1, static_cast<long>(image_.height()) - 1};
    if (clipped_) {
        a.left = std::max(a.left, clip_.left);
        a.top = std::max(a.top, clip_.top);
        a.right = std::min(a.right, clip_.right);
        a.bottom = std::min(a.bottom, clip_.bottom);
    }
    return a;
}

void SpanSurface::setClipRect(double x1, double y1, double x2, double y2)
{
    clip_ = raster::pixelBox(x1, y1, x2, y2);
    clipped_ = true;
}

void SpanSurface::setDrawWidth(Long width)
{
    if (width < 1 || width > 32767)
        throw SurfaceError("invalid pen width");
    drawWidth_ = width;
}

void SpanSurface::setBackColor(num::Rgb colour)
{
    backColor_ = colour;
    cls();
}

void SpanSurface::cls()
{
    fill(backColor_);
    curX_ = curY_ = 0.0;
}

void SpanSurface::fill(num::Rgb colour)
{
    dropFigures();
    clearWaiting_ = !image_.isNull();
    clearColour_ = colour;
}

void SpanSurface::add(const span::Figure& f)
{
    if (f.top > f.bottom || f.left > f.right)
        return;
    if (doneRows_ > 0)
        render(); // what waits is drawn in full before anything is added
    figures_.push_back(f);
    if (figures_.size() >= kMaxWaiting || edges_.sideCount() >= kMaxEdgeSides)
        render();
}

void SpanSurface::addRect(long left, long top, long right, long bottom, num::Rgb colour)
{
    const Area area = drawable();
    span::Figure f;
    f.shape = span::Block{};
    f.colour = toQRgb(colour);
    f.left = std::max(left, area.left);
    f.top = std::max(top, area.top);
    f.right = std::min(right, area.right);
    f.bottom = std::min(bottom, area.bottom);
    add(f);
}

void SpanSurface::thinLine(long x1, long y1, long x2, long y2, num::Rgb colour)
{
    // One pixel wide, Bresenham, leaving out the last pixel as the window
    // system's lines do.  Drawn at once, over what waits.
    render();
    const QRgb value = toQRgb(colour);
    const long dx = std::labs(x2 - x1), dy = -std::labs(y2 - y1);
    const long sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
    long err = dx + dy;
    const Area a = drawable();
    while (!(x1 == x2 && y1 == y2)) {
        if (x1 >= a.left && x1 <= a.right && y1 >= a.top && y1 <= a.bottom)
            reinterpret_cast<QRgb*>(image_.scanLine(static_cast<int>(y1)))[x1] = value;
        const long e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x1 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y1 += sy;
        }
    }
}

void SpanSurface::line(double x1, double y1, double x2, double y2, num::Rgb colour)
{
    curX_ = x2;
    curY_ = y2;
    if (image_.isNull())
        return;
    double ax = x1, ay = y1, bx = x2, by = y2;
    if (drawWidth_ == 1) {
        if (raster::thinLineEnds(ax, ay, bx, by))
            thinLine(px(ax), px(ay), px(bx), px(by), colour);
        return;
    }
    const double margin = drawWidth_ + 2.0;
    if (!clipSegment(ax, ay, bx, by, -margin, -margin, image_.width() + margin,
                     image_.height() + margin))
        return;
    const Area area = drawable();
    raster::extendPastEdges(ax, ay, bx, by, drawWidth_, area.left, area.top, area.right,
                            area.bottom);
    // Slanted lines a pixel wider than the pen, as on the reference surface:
    // bands laid side by side a pen apart then leave no pixel between them.
    const double pen = ax == bx || ay == by ? drawWidth_ : drawWidth_ + 1.0;
    const double r = pen / 2.0;
    span::Figure f;
    f.colour = toQRgb(colour);
    f.top = std::max(area.top, firstIn(std::min(ay, by) - r));
    f.bottom = std::min(area.bottom, lastIn(std::max(ay, by) + r));
    f.left = area.left;
    f.right = area.right;
    f.shape = capsule(ax, ay, bx, by, r);
    add(f);
}

void SpanSurface::lineTo(double x2, double y2, num::Rgb colour)
{
    line(curX_, curY_, x2, y2, colour);
}

void SpanSurface::fillBox(double x1, double y1, double x2, double y2, num::Rgb colour)
{
    const Area a = raster::pixelBox(x1, y1, x2, y2);
    addRect(a.left, a.top, a.right, a.bottom, colour);
    curX_ = x2;
    curY_ = y2;
}

void SpanSurface::box(double x1, double y1, double x2, double y2, num::Rgb colour)
{
    curX_ = x2;
    curY_ = y2;
    Area bands[4];
    const int n = raster::boxOutline(raster::pixelBox(x1, y1, x2, y2), drawWidth_,
                                     style_ == DrawStyle::Solid, bands);
    for (int i = 0; i < n; ++i)
        addRect(bands[i].left, bands[i].top, bands[i].right, bands[i].bottom, colour);
}

void SpanSurface::outline(double x, double y, double rx, double ry, num::Rgb colour, bool isArc,
                          double start, double sweep)
{
    if (image_.isNull())
        return;
    // What waits is drawn in full before anything is added (as in add()),
    // here before the ring's edges join those of the waiting figures.
    if (doneRows_ > 0)
        render();
    // The same band as on the reference surface (raster::ringBand).
    const double cx = x, cy = y;
    raster::RingBand band;
    if (!raster::ringBand(cx, cy, rx, ry, drawWidth_, style_ == DrawStyle::InsideSolid,
                          image_.width(), image_.height(), band))
        return;
    const double w = band.pen;
    const Area area = drawable();
    const QRgb value = toQRgb(colour);

    span::Figure f;
    f.colour = value;
    f.top = std::max(area.top, firstIn(cy - band.outerY));
    f.bottom = std::min(area.bottom, lastIn(cy + band.outerY));
    f.left = area.left;
    f.right = area.right;
    if (f.top > f.bottom || f.left > f.right)
        return;
    span::Ring ring;
    ring.cx = cx;
    ring.cy = cy;
    // The band between the outline's outer and inner edge, each taken as
    // an ellipse; without a hole where the pen closes it.
    ring.outer = ellipseEdge(band.outerX, band.outerY);
    if (!band.solid && band.innerX > 0 && band.innerY > 0)
        ring.inner = ellipseEdge(band.innerX, band.innerY);
    // A stroked outline's edges are those the reference's stroker makes
    // (RingEdges); a figure filled solid is the ellipse itself.
    if (!band.solid) {
        ring.outer.table = edges_.add(band.pathX, band.pathY, w / 2.0);
        if (ring.inner.ry > 0)
            ring.inner.table = edges_.add(band.pathX, band.pathY, -w / 2.0);
    }
    if (isArc)
        arcWedges(ring, start, sweep);
    f.shape = ring;
    add(f);
    if (isArc) {
        for (const double degrees : {start, start + sweep})
            add(arcEnd(cx, cy, band, degrees, degrees == start, value, area));
    }
    if (band.solid) {
        const long px0 = px(cx), py0 = px(cy);
        addRect(px0, py0, px0, py0, colour);
    }
}

// Limits the ring to the arc from `start` over `sweep` degrees.
void SpanSurface::arcWedges(span::Ring& ring, double start, double sweep)
{
    // The arc's own angles are held to a sixteenth of a degree, as the
    // reference draws them.
    const double a0 = std::round(start * 16) / 16 * kPi / 180;
    const double turn = std::round(sweep * 16) / 16 * kPi / 180;
    if (turn >= 2 * kPi)
        return;
    // A sweep beyond half a turn is two wedges, each convex.
    ring.wedges = turn > kPi ? 2 : 1;
    ring.firstWedge = static_cast<int>(wedges_.size());
    const double piece = turn / ring.wedges;
    const double cx = ring.cx, cy = ring.cy;
    for (int k = 0; k < ring.wedges; ++k) {
        const double from = a0 + k * piece, to = from + piece;
        // Counter-clockwise of the ray at `from`, clockwise of the one at
        // `to` (y grows downwards on the picture).
        wedges_.push_back(
            {span::RowLimit::of(-std::sin(from), std::cos(from) * cy + std::sin(from) * cx,
                                -std::cos(from)),
             span::RowLimit::of(std::sin(to), -cx * std::sin(to) - cy * std::cos(to),
                                std::cos(to))});
    }
}

void SpanSurface::circle(double x, double y, double r, num::Rgb colour)
{
    outline(x, y, r, r, colour, false, 0, 0);
}

void SpanSurface::ellipse(double x, double y, double r, num::Rgb colour, double aspect)
{
    double rx = 0, ry = 0;
    raster::ellipseRadii(r, aspect, rx, ry);
    outline(x, y, rx, ry, colour, false, 0, 0);
}

void SpanSurface::arc(double x, double y, double r, num::Rgb colour, double start, double end)
{
    double from = 0, sweep = 0;
    raster::arcDegrees(start, end, from, sweep);
    outline(x, y, r, r, colour, true, from, sweep);
}

void SpanSurface::renderTop(long rows) const
{
    if (image_.isNull()) {
        dropFigures();
        return;
    }
    if (!clearWaiting_ && figures_.empty())
        return;
    long first = 0, last = image_.height() - 1;
    if (!clearWaiting_) {
        first = last;
        last = 0;
        for (const span::Figure& f : figures_) {
            first = std::min(first, f.top);
            last = std::max(last, f.bottom);
        }
    }
    first = std::max(first, doneRows_);
    last = std::min(last, rows - 1);
    // Only part of the picture is wanted when its first rows are about to
    // be read (imageRows): those are kept in the cache.
    if (first <= last)
        span::drawRows(image_, {figures_, edges_, wedges_, clearWaiting_, toQRgb(clearColour_)},
                       first, last, rows >= image_.height());
    if (rows >= image_.height())
        dropFigures();
    else
        doneRows_ = std::max(doneRows_, rows);
}

} // namespace ombrix
