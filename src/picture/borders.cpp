// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/borders.h"

#include "model/image_geometry.h"

namespace ombrix
{

void mDrawBorders(Surface& picShow, const ImageParams& p, double scale)
{
    const Single SW = static_cast<Single>(picShow.scaleWidth());
    const Single SH = static_cast<Single>(picShow.scaleHeight());
    for (int b = 0; b < kBorders; ++b) {
        if (p.pnBorderSize[b] <= 0)
            continue;
        const Integer w = num::clampInteger(toDeviceLength(p.pnBorderSize[b], scale));
        if (w == 0)
            continue;
        const Colour& c = p.plBorderColor[b];
        const num::Rgb colour = num::rgb(c[0], c[1], c[2]);
        picShow.setDrawWidth(1);
        for (Integer i = 0; i < w; ++i) {
            try {
                // The inset rectangle's corners, counter-clockwise from the
                // top right; border b runs from corner b to corner b + 1.
                const Integer x0 = num::cint(SW - i - 1), y0 = i;
                const Integer x1 = i, y1 = i;
                const Integer x2 = i, y2 = num::cint(SH - i - 1);
                const Integer x3 = num::cint(SW - i - 1), y3 = num::cint(SH - i - 1);
                const Integer xs[5] = {x0, x1, x2, x3, x0};
                const Integer ys[5] = {y0, y1, y2, y3, y0};
                picShow.line(xs[b], ys[b], xs[b + 1], ys[b + 1], colour);
            } catch (const ArithmeticError&) {
                // A line that cannot be drawn is left out; the rest goes on.
            }
        }
    }
}

} // namespace ombrix
