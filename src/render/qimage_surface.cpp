// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/qimage_surface.h"

#include "render/raster_geometry.h"

#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace ombrix
{

using raster::clipSegment;
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
                            double start, double sweep)
{
    if (image_.isNull())
        return;
    const double cx = x, cy = y;
    raster::RingBand band;
    if (!raster::ringBand(cx, cy, rx, ry, drawWidth_, style_ == DrawStyle::InsideSolid,
                          image_.width(), image_.height(), band))
        return;
    QPainter p(&image_);
    beginPainter(p);
    const QColor c(toQRgb(colour));
    if (band.solid) {
        // Stroked, a pen wider than the path's diameter leaves the middle
        // unpainted, and a hole smaller than a pixel shows whatever lies
        // beneath, the background when the figure is the first.
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        const QRectF rect(cx - band.outerX, cy - band.outerY, 2 * band.outerX, 2 * band.outerY);
        if (isArc) {
            p.drawPie(rect, qRound(start * 16), qRound(sweep * 16));
            carryArcEnds(p, cx, cy, band, start, sweep);
        } else {
            p.drawEllipse(rect);
        }
        p.end();
        const long px0 = px(cx), py0 = px(cy);
        fillRect(px0, py0, px0, py0, colour);
        return;
    }
    QPen pen(c);
    pen.setWidthF(band.pen);
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const QRectF rect(cx - band.pathX, cy - band.pathY, 2 * band.pathX, 2 * band.pathY);
    if (isArc) {
        p.drawArc(rect, qRound(start * 16), qRound(sweep * 16));
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        carryArcEnds(p, cx, cy, band, start, sweep);
    } else {
        p.drawEllipse(rect);
    }
}

void QImageSurface::carryArcEnds(QPainter& p, double cx, double cy, const raster::RingBand& band,
                                 double start, double sweep)
{
    // In the arc's colour, which the painter fills in (raster::arcEndCorners).
    for (const double degrees : {start, start + sweep}) {
        double qx[4], qy[4];
        raster::arcEndCorners(cx, cy, band.arcInner(), band.outerX, band.pen, degrees,
                              degrees == start, qx, qy);
        const QPointF quad[4] = {{qx[0], qy[0]}, {qx[1], qy[1]}, {qx[2], qy[2]}, {qx[3], qy[3]}};
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
