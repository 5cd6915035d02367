// SPDX-License-Identifier: GPL-3.0-or-later
// What the pattern renderers share beyond engine.h: the band loop, the two
// segments most patterns are made of, and the set-up of the figures drawn
// around a centre.  For the renderers' own files only.
#pragma once

#include "render/engine.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace ombrix
{

// A segment's pen: Segment::pen(k, add, minimum).
struct PenRule {
    double k = 1, add = 0, minimum = 2;
};

// The bands of one segment: the segment's pen, then for each position the
// band band(position, colourAt(position)), and the progress
// progressAt(position) shown after it.
template <class ColourAt, class Band, class ProgressAt>
void drawBands(RenderContext& ctx, Surface& s, const Segment& seg, PenRule pen,
               const std::vector<Long>& positions, ColourAt colourAt, Band band,
               ProgressAt progressAt)
{
    s.setDrawWidth(seg.pen(pen.k, pen.add, pen.minimum));
    for (const Long pos : positions) {
        band(pos, colourAt(pos));
        ctx.pfProgress = static_cast<Single>(progressAt(pos));
        ctx.mShowProgress();
    }
}

// The two segments of a pattern: the first, of length A, in colour rows 0
// to 1 (or the rainbow) when pnHump is at least 1; the second, of length B,
// in rows 1 to 2, following it, when pnHump is at most 19.
struct TwoSegments {
    Single A = 0, B = 0;
    PenRule firstPen, secondPen;
    // The first segment's rainbow fraction is its position over this length
    // (the segment's own, or the whole pattern's).
    double fractionOf = 0;
    // Where the first segment's positions end, when short of its end.
    bool shortened = false;
    Long firstLast = 0;
    // A clearcut figure is the first segment alone, and its progress runs
    // over that segment.
    bool clearcut = false;
};

// Draws both segments: firstBand(position, colour) at the first segment's
// positions, secondBand(A + position, colour) at the second's.
template <class FirstBand, class SecondBand>
void drawTwoSegments(RenderContext& ctx, Surface& s, const TwoSegments& t, FirstBand firstBand,
                     SecondBand secondBand)
{
    const ImageParams& p = ctx.p;
    const double total = static_cast<double>(t.A) + t.B;
    if (p.pnHump >= 1) {
        const Segment seg(t.A);
        if (!seg.empty()) {
            FirstSegmentColour colour(p, 0, 1, t.A);
            drawBands(
                ctx, s, seg, t.firstPen, t.shortened ? seg.positions(t.firstLast) : seg.positions(),
                [&](Long pos) { return colour.at(pos, num::fdiv(pos, t.fractionOf)); },
                [&](Long pos, num::Rgb c) { firstBand(static_cast<double>(pos), c); },
                [&](Long pos) {
                    return t.clearcut ? pos / static_cast<double>(t.A) : pos / total;
                });
        }
    }
    if (!t.clearcut && p.pnHump <= 19) {
        const Segment seg(t.B);
        if (!seg.empty()) {
            const Ramp ramp(p, 1, 2, t.B);
            const double A = t.A;
            drawBands(
                ctx, s, seg, t.secondPen, seg.positions(), [&](Long j) { return ramp.at(j); },
                [&](Long j, num::Rgb c) { secondBand(A + static_cast<double>(j), c); },
                [&](Long j) { return (A + static_cast<double>(j)) / total; });
        }
    }
}

// The figures drawn around the centre of the rectangle (circles, ellipses,
// diamonds): two segments along the radius R, the first drawn from an
// origin the sliders move by (ox, oy) times its length, the second around
// the centre.
struct Centred {
    Single A = 0, B = 0; // the segments along the radius
    Single cx = 0, cy = 0;
    double x0 = 0, y0 = 0; // the first segment's origin

    Centred(const ImageParams& p, Integer L, Integer T, Integer W, Integer H, Single R, Single ox,
            Single oy)
        : A(static_cast<Single>(p.pnHump * static_cast<double>(R) * 0.05)), B(R - A),
          cx(static_cast<Single>(W * 0.5 + L)), cy(static_cast<Single>(H * 0.5 + T - 1)),
          x0(cx + static_cast<double>(A) * ox), y0(cy + static_cast<double>(A) * oy)
    {
    }
};

// The ellipses and diamonds: their aspect q (height over width, at most 1
// along the width and at least 1 along the height) and their extent along
// the rotation; the slider offsets (ox, oy) are scaled to that aspect.
struct AlongRotation {
    Single q = 1, extent = 0;
};
inline AlongRotation alongRotation(const ImageParams& p, Integer W, Integer H, Single& ox,
                                   Single& oy)
{
    AlongRotation r;
    if (p.pnRotation == 1) {
        r.extent = W;
        r.q = static_cast<Single>(num::fdiv(H, W));
        if (r.q > 1)
            r.q = static_cast<Single>(num::fdiv(W, H));
        oy = r.q * oy;
    } else {
        r.extent = H;
        r.q = static_cast<Single>(num::fdiv(W, H));
        if (r.q < 1)
            r.q = static_cast<Single>(num::fdiv(H, W));
        ox = static_cast<Single>(num::fdiv(ox, r.q));
    }
    return r;
}

// The whole area in the last colour, the ground a pattern's figures are
// drawn on where they leave it uncovered.
inline void fillWithLastColour(const ImageParams& p, Surface& s, Long L, Long T, Long W, Long H)
{
    const Colour& c = p.plColor[2];
    s.fillBox(L, T, L + W, T + H, num::rgb(c[0], c[1], c[2]));
}

// The pen of an ellipse's or diamond's first segment, whose origin moves
// by (ox, oy) per band: wide enough to cover the step on the side the
// origin moves away from.
inline PenRule movingOriginPen(Single ox, Single oy)
{
    const double ax = std::fabs(static_cast<double>(ox)), ay = std::fabs(static_cast<double>(oy));
    return {std::sqrt(std::max((ax + 1) * (ax + 1) + ay * ay, (ay + 1) * (ay + 1) + ax * ax)), 2,
            0};
}

} // namespace ombrix
