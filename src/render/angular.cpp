// SPDX-License-Identifier: GPL-3.0-or-later
// The angular patterns: the shaded rectangle (3) and the diamonds (10, 11).
#include "render/patterns.h"
#include "render/raster_geometry.h"

#include <algorithm>
#include <cmath>

namespace ombrix
{

void mDrawRectangle(RenderContext& ctx, Surface& s, Integer L, Integer T, Integer W, Integer H)
{
    const ImageParams& p = ctx.p;
    const Single R = static_cast<Single>(H > W ? H * 0.5 : W * 0.5);
    const Single q = static_cast<Single>(num::fdiv(H, W));
    const Single Bo = static_cast<Single>((1 - p.pnHump * 0.05) * R);
    const Single Ai = R - Bo;
    const Single ox = static_cast<Single>(p.pnSlantRate * 0.05);
    const Single oy = static_cast<Single>(p.pnVerOrgOffset * 0.05);
    const double total = static_cast<double>(Ai) + Bo;
    const bool landscape = H < W;
    const Long right = static_cast<Long>(L) + W - 1, bottom = static_cast<Long>(T) + H - 1;

    num::Rgb lastColour = 0;
    // Outer part: from the edge inwards, colour 2 to colour 1.
    if (p.pnHump <= 19) {
        const Segment seg(Bo);
        if (!seg.empty()) {
            const Ramp ramp(p, 2, 1, Bo);
            drawBands(
                ctx, s, seg, {1, 0, 2}, seg.positions(), [&](Long pos) { return ramp.at(pos); },
                [&](Long pos, num::Rgb c) {
                    lastColour = c;
                    if (landscape)
                        s.box(L + pos, T + pos * static_cast<double>(q), right - pos,
                              bottom - pos * static_cast<double>(q), c);
                    else
                        s.box(L + pos / static_cast<double>(q), T + pos,
                              right - pos / static_cast<double>(q), bottom - pos, c);
                },
                [&](Long pos) { return pos / total; });
        }
    }
    // Inner part: from the innermost box (colour 0, off centre by the
    // sliders) outwards to the box of depth Bo in colour 1.
    if (p.pnHump >= 1) {
        const Segment seg(Ai);
        if (!seg.empty()) {
            const double k =
                std::sqrt(static_cast<double>(ox) * ox + static_cast<double>(oy) * oy) + 1;
            FirstSegmentColour colour(p, 1, 0, Ai);
            colour.carryOver(lastColour);
            const double bo = Bo, dq = q;
            drawBands(
                ctx, s, seg, {k, 1, 2}, seg.positionsDown(),
                [&](Long u) { return colour.at(u, num::fdiv(u, Ai)); },
                [&](Long u, num::Rgb c) {
                    if (landscape)
                        s.box(L + bo + (1 + ox) * u, T + dq * (bo + (1 + oy) * u),
                              right - bo - (1 - ox) * u, bottom - dq * (bo + (1 - oy) * u), c);
                    else
                        s.box(L + (bo + (1 + ox) * u) / dq, T + bo + (1 + oy) * u,
                              right - (bo + (1 - ox) * u) / dq, bottom - bo - (1 - oy) * u, c);
                },
                [&](Long u) { return (total - u) / total; });
        }
    }
}

void mDiamondOutline(Surface& s, double x, double y, double size, num::Rgb colour, double aspect)
{
    double dx = 0, dy = 0;
    raster::ellipseRadii(size, aspect, dx, dy);
    s.line(x - dx, y, x, y - dy, colour);
    s.lineTo(x + dx, y, colour);
    s.lineTo(x, y + dy, colour);
    s.lineTo(x - dx, y, colour);
}

void mDrawDiamond(RenderContext& ctx, Surface& s, Integer L, Integer T, Integer W, Integer H)
{
    const ImageParams& p = ctx.p;
    const bool clearcut = p.pnPattern == kClearcutDiamond;
    Single ox = static_cast<Single>(p.pnSlantRate * 0.1);
    Single oy = static_cast<Single>(p.pnVerOrgOffset * 0.1);

    // Keep the origin within |ox| + |oy| = 0.7.
    const Single room = static_cast<Single>(0.7 - std::fabs(ox));
    if (std::fabs(oy) > room) {
        if (p.pnSlantRate == 0) {
            oy = static_cast<Single>(oy * 0.7);
        } else {
            const double r = std::fabs(num::fdiv(oy, ox));
            ox = static_cast<Single>(num::sgn(ox) * 0.7 / (r + 1));
            oy = static_cast<Single>(num::sgn(oy) * 0.7 * r / (r + 1));
        }
    }

    const AlongRotation along = alongRotation(p, W, H, ox, oy);
    const Single q = along.q;
    const Centred c(p, L, T, W, H, static_cast<Single>(along.extent * 0.5), ox, oy);

    fillWithLastColour(p, s, L, T, W, H);

    TwoSegments t;
    t.A = c.A;
    t.B = c.B;
    t.fractionOf = c.A;
    t.clearcut = clearcut;
    t.firstPen = movingOriginPen(ox, oy);
    // The positions stop two pixels short of the segment's end.  In the
    // shaded diamond they go on to the end: with the origin moved by the
    // sliders, the last outline lay up to four pixels inside the second
    // segment's first one on the side away from the origin, and a line of
    // background showed between them.
    t.shortened = true;
    t.firstLast = num::clng(static_cast<double>(c.A) - (clearcut ? 2 : 0));
    drawTwoSegments(
        ctx, s, t,
        [&](double pos, num::Rgb colour) {
            mDiamondOutline(s, c.x0 - pos * static_cast<double>(ox),
                            c.y0 - pos * static_cast<double>(oy), pos, colour, q);
        },
        [&](double r, num::Rgb colour) { mDiamondOutline(s, c.cx, c.cy, r, colour, q); });
}

} // namespace ombrix
