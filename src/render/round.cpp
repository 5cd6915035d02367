// The round patterns: circles (6, 7), ellipses (1, 2) and the semicircle (9).
#include "render/engine.h"

#include <algorithm>
#include <cmath>

namespace ombrix
{

namespace
{

void fillWithLastColour(const ImageParams& p, Surface& s, Long L, Long T, Long W, Long H)
{
    const Colour& c = p.plColor[2];
    s.fillBox(L, T, L + W, T + H, num::rgb(c[0], c[1], c[2]));
}

} // namespace

void mDrawCircle(RenderContext& ctx, Surface& s, Integer L, Integer T, Integer W, Integer H)
{
    const ImageParams& p = ctx.p;
    const bool clearcut = p.pnPattern == kClearcutCircle;
    const Single cx = static_cast<Single>(W * 0.5 + L);
    const Single cy = static_cast<Single>(H * 0.5 + T - 1);
    const Single R = static_cast<Single>(0.5 * std::min(W, H));
    const Single A = static_cast<Single>(p.pnHump * static_cast<double>(R) * 0.05);
    const Single B = R - A;
    const double total = static_cast<double>(A) + B;

    fillWithLastColour(p, s, L, T, W, H);
    const Single ox = static_cast<Single>(p.pnSlantRate * 0.045);
    const Single oy = static_cast<Single>(p.pnVerOrgOffset * 0.04);
    const double x0 = cx + static_cast<double>(A) * ox;
    const double y0 = cy + static_cast<double>(A) * oy;

    if (p.pnHump >= 1) {
        const Segment seg(A);
        if (!seg.empty()) {
            const double k =
                std::sqrt(static_cast<double>(ox) * ox + static_cast<double>(oy) * oy) + 1;
            s.setDrawWidth(seg.pen(k, 1, 3));
            FirstSegmentColour colour(p, 0, 1, A);
            for (const Long pos : seg.positions()) {
                s.circle(x0 - pos * static_cast<double>(ox), y0 - pos * static_cast<double>(oy),
                         pos, colour.at(pos, num::fdiv(pos, A)));
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
                s.circle(cx, cy, A + static_cast<double>(j), ramp.at(j));
                ctx.pfProgress = static_cast<Single>((A + static_cast<double>(j)) / total);
                ctx.mShowProgress();
            }
        }
    }
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

    fillWithLastColour(p, s, L, T, W, H);

    if (p.pnHump >= 1) {
        const Segment seg(A);
        if (!seg.empty()) {
            const double ax = std::fabs(static_cast<double>(ox)),
                         ay = std::fabs(static_cast<double>(oy));
            const double k =
                std::sqrt(std::max((ax + 1) * (ax + 1) + ay * ay, (ay + 1) * (ay + 1) + ax * ax));
            s.setDrawWidth(seg.pen(k, 2, 0));
            FirstSegmentColour colour(p, 0, 1, A);
            // The positions stop one pixel short of the segment's end.
            const Long last = num::clng(static_cast<double>(A) - 1);
            for (const Long pos : seg.positions(last)) {
                s.ellipse(x0 - pos * static_cast<double>(ox), y0 - pos * static_cast<double>(oy),
                          pos, colour.at(pos, num::fdiv(pos, A)), q);
                ctx.pfProgress =
                    static_cast<Single>(clearcut ? pos / static_cast<double>(A) : pos / total);
                ctx.mShowProgress();
            }
        }
    }
    if (!clearcut && p.pnHump <= 19) {
        const Segment seg(B);
        if (!seg.empty()) {
            s.setDrawWidth(seg.pen(1, 1, 2));
            const Ramp ramp(p, 1, 2, B);
            for (const Long j : seg.positions()) {
                s.ellipse(cx, cy, A + static_cast<double>(j), ramp.at(j), q);
                ctx.pfProgress = static_cast<Single>((A + static_cast<double>(j)) / total);
                ctx.mShowProgress();
            }
        }
    }
}

void mDrawSemicircle(RenderContext& ctx, Surface& s, Integer L, Integer T, Integer W, Integer H)
{
    const ImageParams& p = ctx.p;
    const double pi = 4.0 * std::atan(1.0);
    const Single Len = static_cast<Single>(H <= W ? W + H * 0.5 : H + W * 0.5);
    const Single A = static_cast<Single>(p.pnHump * static_cast<double>(Len) * 0.05);
    const Single B = Len - A;
    const double total = static_cast<double>(A) + B;
    const bool alongWidth = p.pnRotation == 1;
    // Left halves moving right, or upper halves moving down.
    auto band = [&](double pos, num::Rgb colour) {
        if (alongWidth)
            s.arc(L + pos, T + H * 0.5, H * 0.5, colour, pi / 2, 3 * pi / 2);
        else
            s.arc(L + W * 0.5, T + pos, W * 0.5, colour, 0, pi);
    };

    if (p.pnHump >= 1) {
        const Segment seg(A);
        if (!seg.empty()) {
            s.setDrawWidth(seg.pen(1, 0, 2));
            FirstSegmentColour colour(p, 0, 1, A);
            for (const Long pos : seg.positions()) {
                band(pos, colour.at(pos, num::fdiv(pos, Len)));
                ctx.pfProgress = static_cast<Single>(pos / total);
                ctx.mShowProgress();
            }
        }
    }
    if (p.pnHump <= 19) {
        const Segment seg(B);
        if (!seg.empty()) {
            s.setDrawWidth(seg.pen(1, 0, 2));
            const Ramp ramp(p, 1, 2, B);
            for (const Long j : seg.positions()) {
                band(A + static_cast<double>(j), ramp.at(j));
                ctx.pfProgress = static_cast<Single>((A + static_cast<double>(j)) / total);
                ctx.mShowProgress();
            }
        }
    }
}

} // namespace ombrix
