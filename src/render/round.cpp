// SPDX-License-Identifier: GPL-3.0-or-later
// The round patterns: circles (6, 7), ellipses (1, 2) and the semicircle (9).
#include "render/patterns.h"

#include <algorithm>
#include <cmath>

namespace ombrix
{

void mDrawCircle(RenderContext& ctx, Surface& s, Integer L, Integer T, Integer W, Integer H)
{
    const ImageParams& p = ctx.p;
    const bool clearcut = p.pnPattern == kClearcutCircle;
    const Single R = static_cast<Single>(0.5 * std::min(W, H));
    fillWithLastColour(p, s, L, T, W, H);
    const Single ox = static_cast<Single>(p.pnSlantRate * 0.045);
    const Single oy = static_cast<Single>(p.pnVerOrgOffset * 0.04);
    const Centred c(p, L, T, W, H, R, ox, oy);

    TwoSegments t;
    t.A = c.A;
    t.B = c.B;
    t.fractionOf = c.A;
    t.clearcut = clearcut;
    t.firstPen = {std::sqrt(static_cast<double>(ox) * ox + static_cast<double>(oy) * oy) + 1, 1, 3};
    drawTwoSegments(
        ctx, s, t,
        [&](double pos, num::Rgb colour) {
            s.circle(c.x0 - pos * static_cast<double>(ox), c.y0 - pos * static_cast<double>(oy),
                     pos, colour);
        },
        [&](double r, num::Rgb colour) { s.circle(c.cx, c.cy, r, colour); });
}

void mDrawEllipse(RenderContext& ctx, Surface& s, Integer L, Integer T, Integer W, Integer H)
{
    const ImageParams& p = ctx.p;
    const bool clearcut = p.pnPattern == kClearcutEllipse;
    Single ox = static_cast<Single>(p.pnSlantRate * 0.1);
    Single oy = static_cast<Single>(p.pnVerOrgOffset * 0.1);
    const Single a = static_cast<Single>(num::fdiv(H, W));

    // Keep the origin within 0.6 of the radius.
    const double limit = static_cast<double>(0.6f);
    if (static_cast<double>(ox) * ox + static_cast<double>(oy) * oy > limit * limit) {
        if (p.pnSlantRate == 0) {
            oy = static_cast<Single>(oy * 0.6);
        } else {
            const double r = std::fabs(num::fdiv(oy, ox)) * a;
            const double d = std::sqrt(r * r + static_cast<double>(a) * a);
            ox = static_cast<Single>(num::sgn(ox) * 0.6 * a / d);
            oy = static_cast<Single>(num::sgn(oy) * r * 0.6 / d);
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
    t.secondPen = {1, 1, 2};
    // The positions stop one pixel short of the segment's end.
    t.shortened = true;
    t.firstLast = num::clng(static_cast<double>(c.A) - 1);
    drawTwoSegments(
        ctx, s, t,
        [&](double pos, num::Rgb colour) {
            s.ellipse(c.x0 - pos * static_cast<double>(ox), c.y0 - pos * static_cast<double>(oy),
                      pos, colour, q);
        },
        [&](double r, num::Rgb colour) { s.ellipse(c.cx, c.cy, r, colour, q); });
}

void mDrawSemicircle(RenderContext& ctx, Surface& s, Integer L, Integer T, Integer W, Integer H)
{
    const ImageParams& p = ctx.p;
    const double pi = 4.0 * std::atan(1.0);
    const Single Len = static_cast<Single>(H <= W ? W + H * 0.5 : H + W * 0.5);
    const Single A = static_cast<Single>(p.pnHump * static_cast<double>(Len) * 0.05);
    const Single B = Len - A;
    const bool alongWidth = p.pnRotation == 1;
    // Left halves moving right, or upper halves moving down.
    auto band = [&](double pos, num::Rgb colour) {
        if (alongWidth)
            s.arc(L + pos, T + H * 0.5, H * 0.5, colour, pi / 2, 3 * pi / 2);
        else
            s.arc(L + W * 0.5, T + pos, W * 0.5, colour, 0, pi);
    };

    TwoSegments t;
    t.A = A;
    t.B = B;
    t.fractionOf = Len;
    drawTwoSegments(ctx, s, t, band, band);
}

} // namespace ombrix
