// SPDX-License-Identifier: GPL-3.0-or-later
// Borders drawn into a real picture: each border is its width of one-pixel
// lines along its edge, each line leaving out its last pixel, so that
// neighbouring borders meet on the corner diagonal.
#include "picture/borders.h"
#include "render/qimage_surface.h"
#include "render/span_surface.h"

#include <gtest/gtest.h>

namespace ombrix
{
namespace
{

// The borders of the given widths (top, left, bottom, right) in red, green,
// blue and yellow on a black picture, one letter per pixel (r, g, b, y; . is
// black, ? another colour).
template <class Picture>
std::vector<std::string> bordered(int w, int h, std::array<Integer, 4> widths)
{
    ImageParams p;
    p.pnBorderSize = widths;
    p.plBorderColor = {Colour{255, 0, 0}, Colour{0, 255, 0}, Colour{0, 0, 255},
                       Colour{255, 255, 0}};
    Picture s(w, h);
    mDrawBorders(s, p);
    const num::Rgb known[] = {0, num::rgb(255, 0, 0), num::rgb(0, 255, 0), num::rgb(0, 0, 255),
                              num::rgb(255, 255, 0)};
    std::vector<std::string> rows(h, std::string(w, '?'));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int k = 0; k < 5; ++k)
                if (fromQRgb(s.image().pixel(x, y)) == known[k])
                    rows[y][x] = ".rgby"[k];
    return rows;
}

TEST(Borders, EachIsAMitredBandOfOnePixelLines)
{
    // The program's span surface and the reference draw the same borders.
    using Draw = std::vector<std::string> (*)(int, int, std::array<Integer, 4>);
    for (const Draw bordered : {Draw(&bordered<SpanSurface>), Draw(&bordered<QImageSurface>)}) {
        // Line i of the top border runs from x = 11 - i leftwards to i; the
        // left border's line i starts at (i, i) and runs down, and so on round.
        const std::vector<std::string> want = {
            "grrrrrrrrrrr", "ggrrrrrrrrry", "ggg.......yy", "ggg.......yy", "ggg.......yy",
            "ggg.......yy", "ggg.......yy", "gg........yy", "g.........yy", "bbbbbbbbbbby"};
        EXPECT_EQ(bordered(12, 10, {2, 3, 1, 2}), want);
        // Zero and negative widths draw nothing; a width beyond the picture
        // covers its edge and nothing fails.
        EXPECT_EQ(bordered(6, 4, {0, -4, 0, 0}), std::vector<std::string>(4, "......"));
        const std::vector<std::string> over = bordered(12, 8, {100, 0, 0, 0});
        EXPECT_EQ(over[0].substr(1), "rrrrrrrrrrr");
        EXPECT_EQ(over[3][6], 'r');
    }
}

} // namespace
} // namespace ombrix
