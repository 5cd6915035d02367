// SPDX-License-Identifier: GPL-3.0-or-later
// Geometry shared by the two drawing surfaces, so that both place a figure
// on the same pixels.
#pragma once

#include "model/numeric.h"

#include <algorithm>
#include <cmath>

namespace ombrix::raster
{

constexpr double kPi = 3.14159265358979323846;

// Figures far outside the picture are clipped before they are rasterised,
// so that no coordinate grows beyond what the pixel arithmetic holds.
constexpr double kFar = 1 << 20;

// An outline whose hole would reach no further from its centre than this is
// filled solid: such a hole holds at most the pixel at the centre.
constexpr double kSolidHole = 0.5;

// The pixel holding coordinate v (pixel centres are whole numbers).
inline long px(double v)
{
    const double r = num::roundHalfEven(v);
    return static_cast<long>(std::clamp(r, -kFar, kFar));
}

// Clips the segment to the box [lo, hi] in both axes (Liang-Barsky).
// Returns false when nothing of it lies inside.
inline bool clipSegment(double& x1, double& y1, double& x2, double& y2, double lox, double loy,
                        double hix, double hiy)
{
    double t0 = 0.0, t1 = 1.0;
    const double dx = x2 - x1, dy = y2 - y1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 - lox, hix - x1, y1 - loy, hiy - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    const double ox = x1, oy = y1;
    x1 = ox + t0 * dx;
    y1 = oy + t0 * dy;
    x2 = ox + t1 * dx;
    y2 = oy + t1 * dy;
    return true;
}

// A thick line's round cap narrows over its last pen-width of length.
// Where an end lies on or past the edge of the drawable area (left, top,
// right, bottom: its outermost pixels) and the line runs out through that
// edge, the cap would show as a narrowing at the edge and leave pinholes
// between bands laid side by side; so the line is carried on past that
// edge, where nothing of it is seen.  A line that runs along an edge, or
// ends inside, keeps its round cap.
inline void extendPastEdges(double& ax, double& ay, double& bx, double& by, double penWidth,
                            double left, double top, double right, double bottom)
{
    const double dx = bx - ax, dy = by - ay;
    const double length = std::hypot(dx, dy);
    if (length == 0)
        return;
    auto leaves = [&](double x, double y, double fromX, double fromY) {
        return (x <= left && x < fromX) || (x >= right && x > fromX) || (y <= top && y < fromY) ||
               (y >= bottom && y > fromY);
    };
    const double ux = dx / length * penWidth, uy = dy / length * penWidth;
    const bool extendA = leaves(ax, ay, bx, by), extendB = leaves(bx, by, ax, ay);
    if (extendA) {
        ax -= ux;
        ay -= uy;
    }
    if (extendB) {
        bx += ux;
        by += uy;
    }
}

// A rectangle of whole pixels, its edges included.
struct PixelRect {
    long left, top, right, bottom;
};

// The pixels a box from (x1, y1) to (x2, y2) spans, its corners given in
// either order.
inline PixelRect pixelBox(double x1, double y1, double x2, double y2)
{
    const long l = px(x1), t = px(y1), r = px(x2), b = px(y2);
    return {std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
}

// A box outline of pen width w as filled rectangles: the pen lies inside
// the box, or straddles its edge when `centred`.  One block where the
// outline closes up, else its four bands.  Returns how many.
inline int boxOutline(PixelRect box, long w, bool centred, PixelRect (&out)[4])
{
    long l = box.left, t = box.top, r = box.right, b = box.bottom; // the outer edge
    if (centred) {
        l -= w / 2;
        t -= w / 2;
        r += (w - 1) / 2;
        b += (w - 1) / 2;
    }
    if (r - l + 1 <= 2 * w || b - t + 1 <= 2 * w) {
        out[0] = {l, t, r, b};
        return 1;
    }
    out[0] = {l, t, r, t + w - 1};
    out[1] = {l, b - w + 1, r, b};
    out[2] = {l, t + w, l + w - 1, b - w};
    out[3] = {r - w + 1, t + w, r, b - w};
    return 4;
}

// A one-pixel line's ends, rounded to pixel centres.  Clipping would move
// the left-out last pixel, so only far-away ends are pulled in, along the
// line itself.  False when nothing of the line is left.
inline bool thinLineEnds(double& ax, double& ay, double& bx, double& by)
{
    ax = num::roundHalfEven(ax);
    ay = num::roundHalfEven(ay);
    bx = num::roundHalfEven(bx);
    by = num::roundHalfEven(by);
    return std::max({std::fabs(ax), std::fabs(ay), std::fabs(bx), std::fabs(by)}) <= kFar / 2 ||
           clipSegment(ax, ay, bx, by, -kFar / 4, -kFar / 4, kFar / 4, kFar / 4);
}

// The radii of an ellipse of radius r whose height is `aspect` times its
// width: r is the longer one.
inline void ellipseRadii(double r, double aspect, double& rx, double& ry)
{
    rx = aspect < 1.0 ? r : r / aspect;
    ry = aspect < 1.0 ? r * aspect : r;
}

// An arc from `start` to `end` (radians, counter-clockwise, passing 0 when
// end < start) as its start and sweep in degrees.
inline void arcDegrees(double start, double end, double& from, double& sweep)
{
    double span = end - start;
    if (span < 0)
        span += 2 * kPi;
    from = start * 180.0 / kPi;
    sweep = span * 180.0 / kPi;
}

// The band a stroked circle or ellipse outline covers, the same on both
// surfaces.  Centres and radii stay fractional: rounding them would put
// pairs of neighbouring rings on the same radius (halves go to the even
// neighbour) and leave one-pixel pinholes between the pairs.  The reference
// approximates the ellipse by curves and strokes it into a ring polygon; two
// rings whose edges should meet exactly (the step of the bands equals their
// pen) would then leave pinholes between them.  Each ring is therefore
// stroked one pixel wider on its inner side, where the next smaller
// figure's area is (centred outlines grow half a pixel on each side): the
// bands are drawn from the inside out, so a later, larger ring only covers
// the overlap of an earlier one and every band keeps its width.
struct RingBand {
    double pen = 0;                // the pen's width, one wider than the draw width
    double pathX = 0, pathY = 0;   // the radii of the pen's path
    double outerX = 0, outerY = 0; // of the outer edge
    double innerX = 0, innerY = 0; // of the inner edge (not above 0: no hole)
    // The outline is thicker than the figure, or its hole would hold no
    // more than the pixel at its centre: the figure is filled solid, and
    // the pixel holding its centre is painted too, which a figure smaller
    // than a pixel may miss altogether.
    bool solid = false;
    // Where the flat ends of an arc begin, from the centre.
    double arcInner() const { return solid ? 0.0 : innerX; }
};

// The band of an outline with radii rx, ry around (cx, cy), its pen
// `drawWidth`, lying inside the radius or centred on it.  False when it
// cannot touch a picture of that size (or lies too far out to draw).
inline bool ringBand(double cx, double cy, double rx, double ry, long drawWidth, bool inside,
                     double width, double height, RingBand& band)
{
    rx = std::fabs(rx);
    ry = std::fabs(ry);
    const double w = drawWidth + 1.0;
    const double reach = std::max(rx, ry) + w;
    if (cx + reach < 0 || cy + reach < 0 || cx - reach > width || cy - reach > height ||
        reach > kFar)
        return false;
    // Lying inside, the outline's outer edge is the figure's own edge, which
    // (as for a box) includes the pixels the radius reaches, so it lies half
    // a pixel further out.
    const double prx = inside ? rx + 0.5 - w / 2.0 : rx, pry = inside ? ry + 0.5 - w / 2.0 : ry;
    band.pen = w;
    band.pathX = prx;
    band.pathY = pry;
    band.outerX = prx + w / 2.0;
    band.outerY = pry + w / 2.0;
    band.innerX = prx - w / 2.0;
    band.innerY = pry - w / 2.0;
    band.solid = std::min(prx, pry) <= 0.0 || std::max(prx, pry) - w / 2.0 < kSolidHole;
    return true;
}

// A thick arc ends flat, across its path.  Where arcs are laid one after
// another along a sweep (the semicircle), a pen wider than the arcs' radius
// leaves a gap between one arc's flat end and the next arc.  Each end is
// therefore carried on along the arc's tangent, away from the arc, by one
// pen width: a band of the arc's own thickness, from `inner` to `outer`
// from the centre, that reaches the next arc, which is drawn over it.
// The corners, in order around it, of the band at the end at `degrees`
// (its start when `atStart`).
inline void arcEndCorners(double cx, double cy, double inner, double outer, double pen,
                          double degrees, bool atStart, double (&x)[4], double (&y)[4])
{
    const double a = degrees * kPi / 180.0;
    // The radial direction of the end on the screen (y grows down), and the
    // tangent leading away from the arc: backwards at its start, onwards at
    // its end.
    const double ux = std::cos(a), uy = -std::sin(a);
    const double sign = atStart ? 1.0 : -1.0;
    const double dx = sign * std::sin(a) * pen, dy = sign * std::cos(a) * pen;
    const double inX = cx + inner * ux, inY = cy + inner * uy;
    const double outX = cx + outer * ux, outY = cy + outer * uy;
    x[0] = inX;
    y[0] = inY;
    x[1] = outX;
    y[1] = outY;
    x[2] = outX + dx;
    y[2] = outY + dy;
    x[3] = inX + dx;
    y[3] = inY + dy;
}

} // namespace ombrix::raster
