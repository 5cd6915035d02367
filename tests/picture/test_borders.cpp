// Borders drawn into a real picture: each border is its width of one-pixel
// lines along its edge; neighbouring borders meet on the corner diagonal.
#include "picture/borders.h"
#include "render/qimage_surface.h"

#include <gtest/gtest.h>

namespace ombrix
{
namespace
{

const num::Rgb kRed = num::rgb(255, 0, 0), kGreen = num::rgb(0, 255, 0),
               kBlue = num::rgb(0, 0, 255), kYellow = num::rgb(255, 255, 0);

// The borders of the given widths (top, left, bottom, right) in red,
// green, blue and yellow on a black picture.
QImage bordered(int w, int h, std::array<Integer, 4> widths)
{
    ImageParams p;
    const num::Rgb colours[4] = {kRed, kGreen, kBlue, kYellow};
    for (int b = 0; b < kBorders; ++b) {
        p.pnBorderSize[b] = widths[b];
        p.plBorderColor[b] = {num::redOf(colours[b]), num::greenOf(colours[b]),
                              num::blueOf(colours[b])};
    }
    QImageSurface s(w, h);
    mDrawBorders(s, p);
    return s.image();
}

num::Rgb at(const QImage& img, int x, int y)
{
    return fromQRgb(img.pixel(x, y));
}

TEST(Borders, EachIsAMitredBandOfOnePixelLines)
{
    // Line y of the top border runs from x = 39 - y leftwards and leaves
    // out its last pixel (y, y): the band's ends are cut on the diagonals.
    const QImage top = bordered(40, 30, {5, 0, 0, 0});
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            EXPECT_EQ(at(top, x, y), y < 5 && x > y && x <= 39 - y ? kRed : 0) << x << "," << y;
    // In each 3 x 3 corner square the diagonal goes to the border whose
    // lines start there (top right: top; top left: left; bottom left:
    // bottom; bottom right: right); between the corners each is 3 deep.
    const QImage all = bordered(20, 16, {3, 3, 3, 3});
    for (int a = 0; a < 3; ++a)
        for (int b = 0; b < 3; ++b) {
            EXPECT_EQ(at(all, a, b), a > b ? kRed : kGreen) << a << "," << b;
            EXPECT_EQ(at(all, 19 - a, b), a >= b ? kRed : kYellow) << a << "," << b;
            EXPECT_EQ(at(all, a, 15 - b), a >= b ? kBlue : kGreen) << a << "," << b;
            EXPECT_EQ(at(all, 19 - a, 15 - b), a > b ? kBlue : kYellow) << a << "," << b;
        }
    for (const auto& [x, y, colour] : {std::tuple{10, 2, kRed},
                                       {2, 8, kGreen},
                                       {10, 13, kBlue},
                                       {17, 8, kYellow},
                                       {10, 3, 0u},
                                       {3, 8, 0u},
                                       {10, 12, 0u},
                                       {16, 8, 0u}})
        EXPECT_EQ(at(all, x, y), colour) << x << "," << y;
}

TEST(Borders, WidthsOutsideOneToThePictureSizeAreHarmless)
{
    // Zero and negative widths draw nothing; a width beyond the picture
    // covers it and nothing fails.
    EXPECT_EQ(bordered(10, 10, {0, -4, 0, 0}), bordered(10, 10, {0, 0, 0, 0}));
    EXPECT_EQ(at(bordered(10, 10, {0, 0, 0, 0}), 5, 5), 0u);
    const QImage small = bordered(12, 8, {100, 0, 0, 0});
    EXPECT_EQ(at(small, 6, 0), kRed);
    EXPECT_EQ(at(small, 6, 3), kRed);
}

} // namespace
} // namespace ombrix
