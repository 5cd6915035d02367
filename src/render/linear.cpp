// SPDX-License-Identifier: GPL-3.0-or-later
// Pattern 0, the linear gradient: straight bands across the rectangle,
// optionally slanted, along the width (pnRotation 1) or the height.
#include "render/patterns.h"

#include <cmath>

namespace ombrix
{

namespace
{

struct LinearGeometry {
    Long L, T, W, H;
    bool alongWidth;
    bool negativeSlant;
    double D;

    // The band at position p.  Nothing of a band may lie before the start
    // edge.  Pulling the end that lies there back onto the edge would cut
    // the thick pen short at the edge and leave notches between the bands;
    // so the band keeps its length and the surface's clip at the start edge
    // (set by the caller) cuts it off exactly there, at its full width.
    void band(Surface& s, double p, num::Rgb colour) const
    {
        if (alongWidth) {
            if (negativeSlant)
                s.line(L + p - D, T, L + p, T + H, colour);
            else
                s.line(L + p, T, L + p - D, T + H, colour);
        } else {
            if (negativeSlant)
                s.line(L, T + p, L + W, T + p - D, colour);
            else
                s.line(L, T + p - D, L + W, T + p, colour);
        }
    }
};

} // namespace

void mDrawLinear(RenderContext& ctx, Surface& s, Integer L, Integer T, Integer W, Integer H)
{
    const ImageParams& p = ctx.p;
    const Long X = p.pnRotation == 1 ? W : H;
    // The product is taken in 32 bits, so a large image cannot overflow it.
    const Single D = static_cast<Single>(std::fabs(static_cast<double>(X * p.pnSlantRate) * 0.1));
    const Single Len = static_cast<Single>(X + static_cast<double>(D));
    const Single A = static_cast<Single>(p.pnHump * static_cast<double>(Len) * 0.05);
    const Single B = Len - A;
    const LinearGeometry g{L, T, W, H, p.pnRotation == 1, p.pnSlantRate < 0, D};
    constexpr double kOpen = 1e9; // no limit on that side
    const ClipGuard clip(s, g.alongWidth ? L : -kOpen, g.alongWidth ? -kOpen : T, kOpen, kOpen);
    TwoSegments t;
    t.A = A;
    t.B = B;
    t.fractionOf = Len;
    auto band = [&](double pos, num::Rgb colour) { g.band(s, pos, colour); };
    drawTwoSegments(ctx, s, t, band, band);
}

} // namespace ombrix
