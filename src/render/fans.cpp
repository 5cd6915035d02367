// SPDX-License-Identifier: GPL-3.0-or-later
// Patterns 8 (sandglass) and 4 (crossing pleats): fans of straight lines
// through the centre of the rectangle, each joining a point on one side to
// the point opposite it.
#include "render/patterns.h"

namespace ombrix
{

namespace
{

enum class Fan { Vertical, Horizontal };

// The fan line at position k: at k = 0 one diagonal, at the full extent the
// other.  Sums are taken in 32 bits.
void fanLine(Surface& s, Fan fan, Long L, Long T, Long W, Long H, double k, num::Rgb colour)
{
    if (fan == Fan::Vertical)
        s.line(L + k, T, L + W - k, T + H, colour);
    else
        s.line(L, T + k, L + W, T + H - k, colour);
}

// One fan loop over a segment of length S starting at offset `base` along
// the fan, its colours from `colourAt(j)`.  Progress is (before + j) / total.
template <class ColourAt>
void fanSegment(RenderContext& ctx, Surface& s, Fan fan, Long L, Long T, Long W, Long H, double S,
                double base, double before, double total, ColourAt colourAt)
{
    const Segment seg(S);
    if (seg.empty())
        return;
    drawBands(
        ctx, s, seg, {1, 1, 2}, seg.positions(), colourAt,
        [&](Long j, num::Rgb colour) { fanLine(s, fan, L, T, W, H, base + j, colour); },
        [&](Long j) { return (before + j) / total; });
}

} // namespace

void mDrawSandglass(RenderContext& ctx, Surface& s, Integer L, Integer T, Integer W, Integer H)
{
    const ImageParams& p = ctx.p;
    const Fan fan = p.pnRotation == 1 ? Fan::Vertical : Fan::Horizontal;
    const Long X = p.pnRotation == 1 ? W : H;
    const Single A = static_cast<Single>(p.pnHump * static_cast<double>(X) * 0.05);
    const Single B = static_cast<Single>(X - static_cast<double>(A));

    // Only the first palette fills the wedges that the fan leaves uncovered.
    if (p.pnRainbow == 1)
        fillWithLastColour(p, s, L, T, W, H);
    TwoSegments t;
    t.A = A;
    t.B = B;
    t.fractionOf = A;
    t.firstPen = t.secondPen = {1, 1, 2};
    auto band = [&](double k, num::Rgb colour) { fanLine(s, fan, L, T, W, H, k, colour); };
    drawTwoSegments(ctx, s, t, band, band);
}

void mDrawPleats(RenderContext& ctx, Surface& s, Integer L, Integer T, Integer W, Integer H)
{
    const ImageParams& p = ctx.p;
    // W * pnHump and H * pnHump are taken in 32 bits.
    const Single Ax = static_cast<Single>(static_cast<Long>(W) * p.pnHump * 0.05);
    const Single Ay = static_cast<Single>(static_cast<Long>(H) * p.pnHump * 0.05);
    const Single Bx = static_cast<Single>(W - static_cast<double>(Ax));
    const Single By = static_cast<Single>(H - static_cast<double>(Ay));
    const double total = static_cast<double>(Ax) + Ay + Bx + By;

    if (p.pnHump >= 1) {
        if (!Segment(Ax).empty()) {
            FirstSegmentColour colour(p, 0, 1, Ax);
            fanSegment(ctx, s, Fan::Vertical, L, T, W, H, Ax, 0.0, 0.0, total,
                       [&](Long j) { return colour.at(j, num::fdiv(j, Ax)); });
        }
        if (!Segment(Ay).empty()) {
            FirstSegmentColour colour(p, 0, 1, Ay);
            fanSegment(ctx, s, Fan::Horizontal, L, T, W, H, Ay, 0.0, Ax, total,
                       [&](Long j) { return colour.at(j, num::fdiv(j, Ay)); });
        }
    }
    if (p.pnHump <= 19) {
        if (!Segment(Bx).empty()) {
            const Ramp ramp(p, 1, 2, Bx);
            fanSegment(ctx, s, Fan::Vertical, L, T, W, H, Bx, Ax, static_cast<double>(Ax) + Ay,
                       total, [&](Long j) { return ramp.at(j); });
        }
        if (!Segment(By).empty()) {
            const Ramp ramp(p, 1, 2, By);
            fanSegment(ctx, s, Fan::Horizontal, L, T, W, H, By, Ay,
                       static_cast<double>(Ax) + Ay + Bx, total,
                       [&](Long j) { return ramp.at(j); });
        }
    }
}

} // namespace ombrix
