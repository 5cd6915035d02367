// SPDX-License-Identifier: GPL-3.0-or-later
// The figures the span surface collects before it draws them row by row,
// each kind with its own fields, and the rule that decides which pixels of
// a row a figure covers.
#pragma once

#include "model/numeric.h"
#include "render/raster_geometry.h"

#include <QRgb>

#include <algorithm>
#include <limits>
#include <variant>

namespace ombrix::span
{

// Which pixels a figure covers: those whose centre lies inside it, the
// centre taken a hair left of and above the pixel's own, so that an edge
// running exactly through centres gives its pixels to one side only (the
// figure's right and bottom edges keep them, the left and top ones do not),
// as the reference's rasteriser does.  Bands laid side by side then neither
// overlap nor leave a line between them.
constexpr double kNudge = -1.0 / 4096;

// The first and last pixel whose nudged centre lies within lo..hi.  Without
// the library's floor and ceil, which are calls on the baseline instruction
// set and the most frequent ones here.
inline long firstIn(double lo)
{
    const double v = std::clamp(lo - kNudge, -raster::kFar, raster::kFar);
    const long i = static_cast<long>(v);
    return i + (v > static_cast<double>(i));
}
inline long lastIn(double hi)
{
    const double v = std::clamp(hi - kNudge, -raster::kFar, raster::kFar);
    const long i = static_cast<long>(v);
    return i - (v < static_cast<double>(i));
}

// x = slope * y + offset: where a straight edge crosses row y.
struct EdgeLine {
    double slope = 0, offset = 0;
    double at(double y) const { return slope * y + offset; }
};

// A half-plane a x + b + c y >= 0 as a limit on each row, worked out once
// per figure so that a row takes only a multiplication and an addition.
struct RowLimit {
    enum Kind : unsigned char {
        Open,    // no limit at all
        Lower,   // x >= line
        Upper,   // x <= line
        FromRow, // its edge runs along the rows: y >= line.offset
        ToRow,   // y <= line.offset
        Closed,  // no row at all
    };
    Kind kind = Open;
    EdgeLine line;

    static RowLimit of(double a, double b, double c)
    {
        constexpr double kFlat = 1e-9;
        if (a > kFlat || a < -kFlat)
            return {a > 0 ? Lower : Upper, {-c / a, -b / a}};
        if (c > kFlat || c < -kFlat)
            return {c > 0 ? FromRow : ToRow, {0, -b / c}};
        return {b >= -kFlat ? Open : Closed, {}};
    }

    // Narrows [lo, hi] to what the limit leaves of row y (empty: lo > hi).
    void apply(double y, double& lo, double& hi) const
    {
        constexpr double kNone = -std::numeric_limits<double>::infinity();
        switch (kind) {
        case Lower:
            lo = std::max(lo, line.at(y));
            break;
        case Upper:
            hi = std::min(hi, line.at(y));
            break;
        case FromRow:
            if (y < line.offset)
                hi = kNone;
            break;
        case ToRow:
            if (y > line.offset)
                hi = kNone;
            break;
        case Closed:
            hi = kNone;
            break;
        case Open:
            break;
        }
    }
};

// The whole of the figure's rows, from its left to its right column.
struct Block {
};

// A thick line: the points within `radius` of the segment from (x1, y1) to
// (x2, y2), that is the band between its ends and a round cap at each.
struct Capsule {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    double radius = 0; // half the pen
    // The band, sorted into two lower and two upper limits on x and a range
    // of rows where its edges run along the rows, so that a row takes no
    // branch.  A segment of no length has no band (an empty range of rows),
    // only its caps.
    EdgeLine lower[2], upper[2];
    double bandTop = std::numeric_limits<double>::infinity();
    double bandBottom = -std::numeric_limits<double>::infinity();
};

// One edge of a ring: an ellipse (x² / rx² + y² / ry² = 1, held as rx²,
// rx² / ry² and ry), or, for a stroked outline, the table of the polygon the
// reference fills in its place (RingEdges), which then gives the width.
struct RingEdge {
    double rx2 = 0, ratio = 0, ry = 0; // ry 0: no such edge (a ring without hole)
    int table = -1;                    // index in RingEdges, -1: the ellipse itself
};

// A convex wedge of an arc: what lies between two rays from its centre.
struct Wedge {
    RowLimit from, to;
};

// The band between two edges around (cx, cy), all of it or, for an arc,
// what lies within one or two wedges, kept beside the figures (their
// limits would double a ring's size, and every figure is read on every row
// it touches).
struct Ring {
    double cx = 0, cy = 0;
    RingEdge outer, inner;
    int wedges = 0;     // 0: the whole ring
    int firstWedge = 0; // the first of them in the wedge list
};

// A convex quadrilateral, its corners in order around it.
struct Quad {
    double x[4] = {}, y[4] = {};
};

// One figure waiting to be drawn, already limited to the rows and columns
// it may touch (the picture within the clip of its time).  Kept small: a
// row reads every figure that crosses it.
struct Figure {
    long top = 0, bottom = -1, left = 0, right = -1;
    QRgb colour = 0;
    std::variant<Block, Capsule, Ring, Quad> shape;
};

} // namespace ombrix::span
