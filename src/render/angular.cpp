// The angular patterns: the shaded rectangle (3) and the diamonds (10, 11).
#include "render/engine.h"

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
            s.setDrawWidth(seg.pen(1, 0, 2));
            const Ramp ramp(p, 2, 1, Bo);
            for (const Long pos : seg.positions()) {
                const num::Rgb c = ramp.at(pos);
                lastColour = c;
                if (landscape)
                    s.box(L + pos, T + pos * static_cast<double>(q), right - pos,
                          bottom - pos * static_cast<double>(q), c);
                else
                    s.box(L + pos / static_cast<double>(q), T + pos,
                          right - pos / static_cast<double>(q), bottom - pos, c);
                ctx.pfProgress = static_cast<Single>(pos / total);
                ctx.mShowProgress();
            }
        }
    }
    // Inner part: from the innermost box (colour 0, off centre by the
    // sliders) outwards to the box of depth Bo in colour 1.
    if (p.pnHump >= 1) {
        const Segment seg(Ai);
        if (!seg.empty()) {
            const double k =
                std::sqrt(static_cast<double>(ox) * ox + static_cast<double>(oy) * oy) + 1;
            s.setDrawWidth(seg.pen(k, 1, 2));
            FirstSegmentColour colour(p, 1, 0, Ai);
            colour.carryOver(lastColour);
            const double bo = Bo, dq = q;
            for (const Long u : seg.positionsDown()) {
                const num::Rgb c = colour.at(u, num::fdiv(u, Ai));
                if (landscape)
                    s.box(L + bo + (1 + ox) * u, T + dq * (bo + (1 + oy) * u),
                          right - bo - (1 - ox) * u, bottom - dq * (bo + (1 - oy) * u), c);
                else
                    s.box(L + (bo + (1 + ox) * u) / dq, T + bo + (1 + oy) * u,
                          right - (bo + (1 - ox) * u) / dq, bottom - bo - (1 - oy) * u, c);
                ctx.pfProgress = static_cast<Single>((total - u) / total);
                ctx.mShowProgress();
            }
        }
    }
}

void mDiamondOutline(Surface& s, double x, double y, double size, num::Rgb colour, double aspect)
{
    double dx, dy;
    if (aspect < 1) {
        dx = size;
        dy = aspect * size;
    } else {
        dx = size / aspect;
        dy = size;
    }
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

    Single q, extent;
    if (p.pnRotation == 1) {
        extent = W;
        q = static_cast<Single>(num::fdiv(H, W));
        if (q > 1)
            q = static_cast<Single>(num::fdiv(W, H));
        oy = q * oy;
    } else {
        extent = H;
        q = static_cast<Single>(num::fdiv(W, H));
        if (q < 1)
            q = static_cast<Single>(num::fdiv(H, W));
        ox = static_cast<Single>(num::fdiv(ox, q));
    }

    const Single R = static_cast<Single>(extent * 0.5);
    const Single A = static_cast<Single>(p.pnHump * static_cast<double>(R) * 0.05);
    const Single B = R - A;
    const double total = static_cast<double>(A) + B;
    const Single cx = static_cast<Single>(W * 0.5 + L);
    const Single cy = static_cast<Single>(H * 0.5 + T - 1);
    const double x0 = cx + static_cast<double>(A) * ox;
    const double y0 = cy + static_cast<double>(A) * oy;

    const Colour& c2 = p.plColor[2];
    s.fillBox(L, T, static_cast<Long>(L) + W, static_cast<Long>(T) + H,
              num::rgb(c2[0], c2[1], c2[2]));

    if (p.pnHump >= 1) {
        const Segment seg(A);
        if (!seg.empty()) {
            const double ax = std::fabs(static_cast<double>(ox)),
                         ay = std::fabs(static_cast<double>(oy));
            const double k =
                std::sqrt(std::max((ax + 1) * (ax + 1) + ay * ay, (ay + 1) * (ay + 1) + ax * ax));
            s.setDrawWidth(seg.pen(k, 2, 0));
            FirstSegmentColour colour(p, 0, 1, A);
            // The positions stop two pixels short of the segment's end.  In
            // the shaded diamond they go on to the end: with the origin moved
            // by the sliders, the last outline lay up to four pixels inside
            // the second segment's first one on the side away from the
            // origin, and a line of background showed between them.
            const Long last = num::clng(static_cast<double>(A) - (clearcut ? 2 : 0));
            for (const Long pos : seg.positions(last)) {
                mDiamondOutline(s, x0 - pos * static_cast<double>(ox),
                                y0 - pos * static_cast<double>(oy), pos,
                                colour.at(pos, num::fdiv(pos, A)), q);
                ctx.pfProgress =
                    static_cast<Single>(clearcut ? pos / static_cast<double>(A) : pos / total);
                ctx.mShowProgress();
            }
        }
    }
    if (!clearcut && p.pnHump <= 19) {
        const Segment seg(B);
        if (!seg.empty()) {
            s.setDrawWidth(seg.pen(1, 0, 2));
            const Ramp ramp(p, 1, 2, B);
            for (const Long j : seg.positions()) {
                mDiamondOutline(s, cx, cy, A + static_cast<double>(j), ramp.at(j), q);
                ctx.pfProgress = static_cast<Single>((A + static_cast<double>(j)) / total);
                ctx.mShowProgress();
            }
        }
    }
}

} // namespace ombrix
