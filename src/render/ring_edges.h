// SPDX-License-Identifier: GPL-3.0-or-later
// The edges of stroked circles and ellipses on the span surface: for each
// edge the polygon the reference fills (its ellipse as four Bézier curves,
// moved by half the pen and flattened), kept as a table of sides that a row
// looks its half-width up in.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

namespace ombrix::span
{

class RingEdges
{
public:
    // The table of the edge at `offset` (half the pen, outwards when
    // positive) from the ellipse with radii rx, ry around the origin: its
    // index, or -1 where that curve is no edge of the band (an inner curve
    // that folds over itself, the pen being wider than the ellipse is
    // curved at the ends of its long axis).
    int add(double rx, double ry, double offset);

    void clear()
    {
        tables_.clear();
        sides_.clear();
    }
    std::size_t sideCount() const { return sides_.size(); }

    // The half-width of edge `table` on the row dy from its centre.  `at`
    // is the side the edge's previous row took, -1 before its first row;
    // it is updated.  From one row to the next the side mostly stays or
    // moves on by one.
    double halfWidth(int table, int& at, double dy) const
    {
        const double y = std::fabs(dy);
        if (at < 0) {
            const Table& t = tables_[static_cast<std::size_t>(table)];
            const int step = std::min(static_cast<int>(y * t.steps), kSteps - 1);
            at = t.first + t.start[step];
        }
        // The first side starts at 0 and the last is followed by one that
        // starts nowhere, so the search stays within the edge.
        const Side* const sides = sides_.data();
        int k = at;
        while (sides[k + 1].y <= y)
            ++k;
        while (sides[k].y > y)
            --k;
        at = k;
        return std::max(0.0, sides[k].x + (y - sides[k].y) * sides[k].slope);
    }

private:
    // One quadrant of an edge, where x and y grow: a polygon from (x, 0) to
    // (0, top), its sides in sides_ from `first` on (`count` of them, y
    // growing, then one that starts nowhere), with the side at which each
    // of kSteps even steps of y starts, where a row's search for its side
    // begins when the row before had none.
    static constexpr int kSteps = 32;
    struct Side {
        double y, x, slope; // where it starts; dx / dy along it
    };
    struct Table {
        double rx = 0, ry = 0, offset = 0; // the edge's ellipse and distance
        double steps = 0;                  // kSteps / top
        int first = 0, count = 0;          // its sides in sides_
        unsigned short start[kSteps] = {};
    };
    std::vector<Table> tables_;
    std::vector<Side> sides_;
    std::vector<double> points_; // add()'s own, kept for its memory
};

} // namespace ombrix::span
