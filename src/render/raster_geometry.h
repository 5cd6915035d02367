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

} // namespace ombrix::raster
