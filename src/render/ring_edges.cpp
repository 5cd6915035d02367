// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/ring_edges.h"

#include <limits>

namespace ombrix::span
{

namespace
{

// A cubic Bézier curve: x and y of its four control points.
struct Cubic {
    double x[4], y[4];
    void at(double t, double& px, double& py) const
    {
        const double s = 1 - t, a = s * s * s, b = 3 * s * s * t, c = 3 * s * t * t, d = t * t * t;
        px = a * x[0] + b * x[1] + c * x[2] + d * x[3];
        py = a * y[0] + b * y[1] + c * y[2] + d * y[3];
    }
    // Halves at t = 1/2 (de Casteljau).
    void split(Cubic& first, Cubic& second) const
    {
        const double* const v[2] = {x, y};
        double* const f[2] = {first.x, first.y};
        double* const g[2] = {second.x, second.y};
        for (int k = 0; k < 2; ++k) {
            const double* p = v[k];
            const double p01 = (p[0] + p[1]) / 2, p12 = (p[1] + p[2]) / 2, p23 = (p[2] + p[3]) / 2;
            const double p012 = (p01 + p12) / 2, p123 = (p12 + p23) / 2, mid = (p012 + p123) / 2;
            f[k][0] = p[0], f[k][1] = p01, f[k][2] = p012, f[k][3] = mid;
            g[k][0] = mid, g[k][1] = p123, g[k][2] = p23, g[k][3] = p[3];
        }
    }
};

// The curve at `offset` from c as the reference's stroker makes it: each
// side of the control polygon moved along its normal (outwards for a
// positive offset on a counter-clockwise curve), the inner control points
// where the moved sides meet.
Cubic offsetCubic(const Cubic& c, double offset)
{
    Cubic o;
    double nx[3], ny[3];
    for (int i = 0; i < 3; ++i) {
        const double ex = c.x[i + 1] - c.x[i], ey = c.y[i + 1] - c.y[i];
        const double len = std::hypot(ex, ey);
        nx[i] = len > 0 ? ey / len : 0;
        ny[i] = len > 0 ? -ex / len : 0;
    }
    o.x[0] = c.x[0] + offset * nx[0];
    o.y[0] = c.y[0] + offset * ny[0];
    for (int i = 1; i < 3; ++i) {
        const double r = 1 + nx[i - 1] * nx[i] + ny[i - 1] * ny[i];
        const double k = r > 1e-12 ? offset / r : offset;
        o.x[i] = c.x[i] + k * (r > 1e-12 ? nx[i - 1] + nx[i] : nx[i - 1]);
        o.y[i] = c.y[i] + k * (r > 1e-12 ? ny[i - 1] + ny[i] : ny[i - 1]);
    }
    o.x[3] = c.x[3] + offset * nx[2];
    o.y[3] = c.y[3] + offset * ny[2];
    return o;
}

// Whether the moved curve keeps its distance from the original closely
// enough at a quarter, half and three quarters of the way; where it does
// not, the stroker halves the curve and moves each half.  As measured on the
// reference the limits are absolute, not relative to the pen: the squared
// distance may be off by half the offset (the distance by about a quarter
// of a pixel), the point slide along the curve by half a pixel (taken
// against the normal's length measured along the axes).  Thin pens thus
// keep the moved quadrant whole; from a pen of about ten pixels on, it is
// halved, and wider pens halve it again.  `slack` widens both limits.
bool offsetHolds(const Cubic& c, const Cubic& o, double offset, double slack)
{
    const double o2 = offset * offset, off = std::fabs(offset);
    for (const double t : {0.25, 0.5, 0.75}) {
        double x1, y1, x2, y2;
        c.at(t, x1, y1);
        o.at(t, x2, y2);
        const double d2 = (x1 - x2) * (x1 - x2) + (y1 - y2) * (y1 - y2);
        if (std::fabs(d2 - o2) > 0.5 * off * slack)
            return false;
        // The stroker's normal: the control polygon's sides weighted
        // (1 - t)², t (1 - t), t², turned a quarter (the derivative's
        // direction but for the middle side's weight).
        const double s = 1 - t, wa = s * s, wb = t * s, wc = t * t;
        const double nx = (c.y[1] - c.y[0]) * wa + (c.y[2] - c.y[1]) * wb + (c.y[3] - c.y[2]) * wc;
        const double ny =
            -((c.x[1] - c.x[0]) * wa + (c.x[2] - c.x[1]) * wb + (c.x[3] - c.x[2]) * wc);
        const double l = std::fabs(nx) + std::fabs(ny);
        if (l > 0 && std::fabs(nx * (y1 - y2) - ny * (x1 - x2)) / l > 0.5 * slack)
            return false;
    }
    return true;
}

// Adds the points of the polygon the reference's rasteriser puts in
// place of c (its first point left out): c halved until its inner control
// points lie close enough to the chord, by a measure along the axes (a
// quarter of a pixel, times the chord's length along the axes), at most
// nine times.
void flatten(const Cubic& c, std::vector<double>& points)
{
    constexpr double threshold = 0.25;
    Cubic stack[10];
    int levels[10];
    stack[0] = c;
    levels[0] = 9;
    int top = 0;
    while (top >= 0) {
        Cubic& b = stack[top];
        const double dx = b.x[3] - b.x[0], dy = b.y[3] - b.y[0];
        double l = std::fabs(dx) + std::fabs(dy), d;
        if (l > 1) {
            d = std::fabs(dx * (b.y[0] - b.y[1]) - dy * (b.x[0] - b.x[1])) +
                std::fabs(dx * (b.y[0] - b.y[2]) - dy * (b.x[0] - b.x[2]));
        } else {
            d = std::fabs(b.x[0] - b.x[1]) + std::fabs(b.y[0] - b.y[1]) +
                std::fabs(b.x[0] - b.x[2]) + std::fabs(b.y[0] - b.y[2]);
            l = 1;
        }
        if (d < threshold * l || levels[top] == 0) {
            points.push_back(b.x[3]);
            points.push_back(b.y[3]);
            --top;
        } else {
            const Cubic whole = b;
            whole.split(stack[top + 1], stack[top]);
            levels[top + 1] = --levels[top];
            ++top;
        }
    }
}

// The stroker makes at most fifteen pieces with at most ten on its stack:
// where halving would go beyond, it starts again with limits half as wide
// again, and after five such starts it takes what it has, the waiting
// halves included as they are.
constexpr int kMaxPieces = 15, kMaxStack = 10;

// The curve at `offset` from c as the pieces the stroker moves, halved until
// each holds (offsetHolds); returns how many.
int movedPieces(const Cubic& c, double offset, Cubic (&pieces)[kMaxPieces + kMaxStack])
{
    Cubic stack[kMaxStack + 1];
    int count = 0;
    double slack = 1;
    for (int start = 0;; ++start) {
        count = 0;
        int sp = 0;
        stack[0] = c;
        bool again = false;
        while (sp >= 0) {
            if (sp + 1 == kMaxStack || count == kMaxPieces - (sp + 1)) {
                again = true;
                break;
            }
            const Cubic o = offsetCubic(stack[sp], offset);
            if (offsetHolds(stack[sp], o, offset, slack)) {
                pieces[count++] = o;
                --sp;
            } else {
                const Cubic whole = stack[sp];
                whole.split(stack[sp + 1], stack[sp]);
                ++sp;
            }
        }
        if (!again)
            return count;
        if (start == 5) {
            for (; sp >= 0; --sp)
                pieces[count++] = offsetCubic(stack[sp], offset);
            return count;
        }
        slack *= 1.5;
    }
}

} // namespace

// The reference draws an ellipse as four cubic Bézier curves, one per
// quadrant (inner control points at 0.5522847498 of the radii), and a pen of
// width w along it as the curves its stroker puts at w / 2 on either side
// (offsetCubic, halved where offsetHolds says so), each filled as a polygon
// (flatten) with pixel centres taken as elsewhere.  Those edges are neither
// the ellipses with radii rx ± w / 2, ry ± w / 2 nor the true curves at
// that distance: around 45 degrees a thin band comes out up to a tenth of
// the pen narrower, on a flat ellipse the edges bulge away from those
// ellipses between the axes, and the polygon's sides cut up to about a
// tenth of a pixel inwards.  On pictures of bands a pixel or two apart,
// where most pixels lie on an edge, those tenths decided up to seven
// pixels in a hundred, so the span surface builds the same polygon for
// each edge.  An arc takes the same quadrants; the reference cuts an arc
// that starts or ends off an axis from them before moving the pieces,
// which moves those pieces by a hair (the semicircle's half turns start
// on an axis).
//
// An edge is symmetric about both axes: one quadrant's polygon is kept,
// from (rx + offset, 0) up to (0, ry + offset), as its sides, each with its
// slope, so that a row's half-width takes a multiplication once its side
// is known; rows drawn one after another find it from the row before
// (halfWidth).
int RingEdges::add(double rx, double ry, double offset)
{
    const double a = rx + offset, top = ry + offset;
    const double small = std::min(rx, ry), large = std::max(rx, ry);
    if (a <= 0 || top <= 0 || -offset >= small * small / large)
        return -1;
    // Arcs laid one after another along a sweep (the semicircle) share
    // their radius and pen, and so their edges.
    for (std::size_t i = tables_.size(); i > 0 && i + 4 > tables_.size(); --i) {
        const Table& e = tables_[i - 1];
        if (e.rx == rx && e.ry == ry && e.offset == offset)
            return static_cast<int>(i - 1);
    }
    // The quadrant from (rx, 0) to (0, ry), y upwards, moved.
    constexpr double kappa = 0.5522847498;
    Cubic pieces[kMaxPieces + kMaxStack];
    const int count =
        movedPieces({{rx, rx, kappa * rx, 0}, {0, kappa * ry, ry, ry}}, offset, pieces);
    // The polygon the reference fills, from (rx + offset, 0) upwards, as
    // its sides.
    std::vector<double>& points = points_;
    points.assign({pieces[0].x[0], pieces[0].y[0]});
    for (int p = 0; p < count; ++p)
        flatten(pieces[p], points);
    Table table;
    table.rx = rx;
    table.ry = ry;
    table.offset = offset;
    table.steps = kSteps / top;
    table.first = static_cast<int>(sides_.size());
    for (std::size_t i = 0; i + 3 < points.size(); i += 2) {
        const double x0 = points[i], y0 = points[i + 1], x1 = points[i + 2], y1 = points[i + 3];
        // A side along the row (none but at the very top) counts by its
        // outer end.
        sides_.push_back(y1 > y0 ? Side{y0, x0, (x1 - x0) / (y1 - y0)}
                                 : Side{y0, std::max(x0, x1), 0.0});
    }
    table.count = static_cast<int>(sides_.size()) - table.first;
    sides_.push_back({std::numeric_limits<double>::infinity(), 0.0, 0.0});
    const Side* sides = sides_.data() + table.first;
    // Each step of y starts at the last side starting at or below it.
    int k = 0;
    for (int i = 0; i < kSteps; ++i) {
        const double y = i / table.steps;
        while (k + 1 < table.count && sides[k + 1].y <= y)
            ++k;
        table.start[i] = static_cast<unsigned short>(k);
    }
    tables_.push_back(table);
    return static_cast<int>(tables_.size()) - 1;
}

} // namespace ombrix::span
