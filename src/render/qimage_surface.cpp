#include "render/qimage_surface.h"

#include "render/raster_geometry.h"

#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace ombrix
{

using raster::clipSegment;
using raster::kFar;
using raster::kPi;
using raster::kSolidHole;
using raster::px;

QImageSurface::QImageSurface(int width, int height, DrawStyle style) : style_(style)
{
    resize(width, height);
}

void QImageSurface::resize(int width, int height)
{
    image_ = QImage(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
    cls();
}

void QImageSurface::setClipRect(double x1, double y1, double x2, double y2)
{
    const auto [l, t, r, b] = raster::pixelBox(x1, y1, x2, y2);
    // Held in pixels, limited to the picture so it fits an int.
    const QRect whole(0, 0, image_.width(), image_.height());
    const long w = image_.width(), h = image_.height();
    clip_ = QRect(QPoint(static_cast<int>(std::clamp(l, -1L, w)),
                         static_cast<int>(std::clamp(t, -1L, h))),
                  QPoint(static_cast<int>(std::clamp(r, -1L, w)),
                         static_cast<int>(std::clamp(b, -1L, h))))
                .intersected(whole);
    clipped_ = true;
}

QRect QImageSurface::drawable() const
{
    const QRect whole(0, 0, image_.width(), image_.height());
    return clipped_ ? clip_.intersected(whole) : whole;
}

void QImageSurface::beginPainter(QPainter& p) const
{
    p.setRenderHint(QPainter::Antialiasing, false);
    if (clipped_)
        p.setClipRect(drawable());
    p.translate(0.5, 0.5); // integer coordinates are pixel centres
}

void QImageSurface::setDrawWidth(Long width)
{
    if (width < 1 || width > 32767)
        throw SurfaceError("invalid pen width");
    drawWidth_ = width;
}

void QImageSurface::setBackColor(num::Rgb colour)
{
    backColor_ = colour;
    cls();
}

void QImageSurface::cls()
{
    if (!image_.isNull())
        image_.fill(toQRgb(backColor_));
    curX_ = curY_ = 0.0;
}

void QImageSurface::fillRect(long left, long top, long right, long bottom, num::Rgb colour)
{
    const QRect area = drawable();
    left = std::max(left, static_cast<long>(area.left()));
    top = std::max(top, static_cast<long>(area.top()));
    right = std::min(right, static_cast<long>(area.right()));
    bottom = std::min(bottom, static_cast<long>(area.bottom()));
    if (left > right || top > bottom)
        return;
    const QRgb value = toQRgb(colour);
    for (long y = top; y <= bottom; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image_.scanLine(static_cast<int>(y)));
        std::fill(row + left, row + right + 1, value);
    }
}

void QImageSurface::thinLine(long x1, long y1, long x2, long y2, num::Rgb colour)
{
    // One pixel wide, Bresenham, leaving out the last pixel as the window
    // system's lines do.
    const QRgb value = toQRgb(colour);
    const long dx = std::labs(x2 - x1), dy = -std::labs(y2 - y1);
    const long sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
    long err = dx + dy;
    const QRect area = drawable();
    while (!(x1 == x2 && y1 == y2)) {
        if (area.contains(static_cast<int>(x1), static_cast<int>(y1)))
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

void QImageSurface::line(double x1, double y1, double x2, double y2, num::Rgb colour)
{
    curX_ = x2;
    curY_ = y2;
    if (image_.isNull())
        return;
    const double margin = drawWidth_ + 2.0;
    double ax = x1, ay = y1, bx = x2, by = y2;
    if (drawWidth_ == 1) {
        if (raster::thinLineEnds(ax, ay, bx, by))
            thinLine(px(ax), px(ay), px(bx), px(by), colour);
        return;
    }
    if (!clipSegment(ax, ay, bx, by, -margin, -margin, image_.width() + margin,
                     image_.height() + margin))
        return;
    extendPastEdges(ax, ay, bx, by);
    QPainter p(&image_);
    beginPainter(p);
    QPen pen(QColor(toQRgb(colour)));
    // Slanted bands laid side by side a pen apart share an edge that runs
    // through pixel centres here and there, and such a pixel can fall to
    // neither band; a slanted line is therefore stroked a pixel wider, half
    // a pixel on each side, which the neighbouring bands cover (a whole
    // pixel rather than half of one: fractional pens are stroked markedly
    // slower).  Lines along the axes keep their width.
    pen.setWidth(ax == bx || ay == by ? drawWidth_ : drawWidth_ + 1);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    if (ax == bx && ay == by)
        p.drawPoint(QPointF(ax, ay));
    else
        p.drawLine(QPointF(ax, ay), QPointF(bx, by));
}

void QImageSurface::extendPastEdges(double& ax, double& ay, double& bx, double& by) const
{
    const QRect area = drawable();
    raster::extendPastEdges(ax, ay, bx, by, drawWidth_, area.left(), area.top(), area.right(),
                            area.bottom());
}

void QImageSurface::lineTo(double x2, double y2, num::Rgb colour)
{
    line(curX_, curY_, x2, y2, colour);
}

void QImageSurface::fillBox(double x1, double y1, double x2, double y2, num::Rgb colour)
{
    const raster::PixelRect a = raster::pixelBox(x1, y1, x2, y2);
    fillRect(a.left, a.top, a.right, a.bottom, colour);
    curX_ = x2;
    curY_ = y2;
}

void QImageSurface::box(double x1, double y1, double x2, double y2, num::Rgb colour)
{
    curX_ = x2;
    curY_ = y2;
    raster::PixelRect bands[4];
    const int n = raster::boxOutline(raster::pixelBox(x1, y1, x2, y2), drawWidth_,
                                     style_ == DrawStyle::Solid, bands);
    for (int i = 0; i < n; ++i)
        fillRect(bands[i].left, bands[i].top, bands[i].right, bands[i].bottom, colour);
}

void QImageSurface::outline(double x, double y, double rx, double ry, num::Rgb colour, bool isArc,
                            double start, double span)
{
    if (image_.isNull())
        return;
    // Centres and radii stay fractional: rounding them would put pairs of
    // neighbouring rings on the same radius (halves go to the even
    // neighbour) and leave one-pixel pinholes between the pairs.
    const double cx = x, cy = y;
    rx = std::fabs(rx);
    ry = std::fabs(ry);
    // QPainter approximates a circle by curves and strokes it into a ring
    // polygon; two rings whose edges should meet exactly (the step of the
    // bands equals their pen) then leave pinholes between them.  Each ring
    // is therefore stroked one pixel wider on its inner side, where the next
    // smaller figure's area is (centred outlines grow half a pixel on each
    // side): the bands are drawn from the inside out, so a later, larger
    // ring only covers the overlap of an earlier one and every band keeps
    // its width.
    const double w = drawWidth_ + 1.0;
    // Skip figures that cannot touch the picture.
    const double reach = std::max(rx, ry) + w;
    if (cx + reach < 0 || cy + reach < 0 || cx - reach > image_.width() ||
        cy - reach > image_.height() || reach > kFar)
        return;
    // The radii of the pen's path.  Inside-solid: the outline's outer edge
    // is the figure's own edge, which (as for a box) includes the pixels the
    // radius reaches, so it lies half a pixel further out.
    double prx = rx, pry = ry;
    if (style_ == DrawStyle::InsideSolid) {
        prx = rx + 0.5 - w / 2.0;
        pry = ry + 0.5 - w / 2.0;
    }
    const double outerX = prx + w / 2.0, outerY = pry + w / 2.0;

    QPainter p(&image_);
    beginPainter(p);
    const QColor c(toQRgb(colour));
    if (std::min(prx, pry) <= 0.0 || std::max(prx, pry) - w / 2.0 < kSolidHole) {
        // The outline is thicker than the figure, or its hole would hold
        // no more than the pixel at its centre.  Stroked, a pen wider than
        // the path's diameter leaves the middle unpainted, and a hole
        // smaller than a pixel shows whatever lies beneath, the background
        // when the figure is the first: the figure is filled solid instead,
        // and the pixel holding its centre is painted too, which a figure
        // smaller than a pixel may miss altogether.
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        const QRectF rect(cx - outerX, cy - outerY, 2 * outerX, 2 * outerY);
        if (isArc) {
            p.drawPie(rect, qRound(start * 16), qRound(span * 16));
            carryArcEnds(p, cx, cy, 0.0, outerX, w, start, span);
        } else {
            p.drawEllipse(rect);
        }
        p.end();
        const long px0 = px(cx), py0 = px(cy);
        fillRect(px0, py0, px0, py0, colour);
        return;
    }
    QPen pen(c);
    pen.setWidthF(w);
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const QRectF rect(cx - prx, cy - pry, 2 * prx, 2 * pry);
    if (isArc) {
        p.drawArc(rect, qRound(start * 16), qRound(span * 16));
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        carryArcEnds(p, cx, cy, prx - w / 2.0, outerX, w, start, span);
    } else {
        p.drawEllipse(rect);
    }
}

void QImageSurface::carryArcEnds(QPainter& p, double cx, double cy, double inner, double outer,
                                 double w, double start, double span)
{
    // A thick arc ends flat, across its path.  Where arcs are laid one after
    // another along a sweep (the semicircle), a pen wider than the arcs'
    // radius leaves a gap between one arc's flat end and the next arc.  Each
    // end is therefore carried on along the arc's tangent, away from the
    // arc, by one pen width: a band of the arc's own thickness that reaches
    // the next arc, which is drawn over it.  The painter fills in the
    // arc's colour.
    for (const double degrees : {start, start + span}) {
        const double a = degrees * kPi / 180.0;
        // The radial direction of the end on the screen (y grows down), and
        // the tangent leading away from the arc: backwards at its start,
        // onwards at its end.
        const double ux = std::cos(a), uy = -std::sin(a);
        const double sign = degrees == start ? 1.0 : -1.0;
        const double dx = sign * std::sin(a) * w, dy = sign * std::cos(a) * w;
        const QPointF in(cx + inner * ux, cy + inner * uy), out(cx + outer * ux, cy + outer * uy);
        const QPointF quad[4] = {in, out, out + QPointF(dx, dy), in + QPointF(dx, dy)};
        p.drawPolygon(quad, 4);
    }
}

void QImageSurface::circle(double x, double y, double r, num::Rgb colour)
{
    outline(x, y, r, r, colour, false, 0, 0);
}

void QImageSurface::ellipse(double x, double y, double r, num::Rgb colour, double aspect)
{
    double rx = 0, ry = 0;
    raster::ellipseRadii(r, aspect, rx, ry);
    outline(x, y, rx, ry, colour, false, 0, 0);
}

void QImageSurface::arc(double x, double y, double r, num::Rgb colour, double start, double end)
{
    double from = 0, sweep = 0;
    raster::arcDegrees(start, end, from, sweep);
    outline(x, y, r, r, colour, true, from, sweep);
}

} // namespace ombrix
