// Borders drawn into a real picture: each border is its width of one-pixel
// lines along its edge; neighbouring borders meet on the corner diagonal.
#include "picture/borders.h"
#include "render/qimage_surface.h"

#include <gtest/gtest.h>

namespace ombrix
{
namespace
{

constexpr num::Rgb kBlack = 0;
const num::Rgb kRed = num::rgb(255, 0, 0);
const num::Rgb kGreen = num::rgb(0, 255, 0);
const num::Rgb kBlue = num::rgb(0, 0, 255);
const num::Rgb kYellow = num::rgb(255, 255, 0);

num::Rgb at(const QImageSurface& s, int x, int y)
{
    return fromQRgb(s.image().pixel(x, y));
}

ImageParams withBorders(std::array<Integer, 4> widths, std::array<num::Rgb, 4> colours)
{
    ImageParams p;
    for (int b = 0; b < kBorders; ++b) {
        p.pnBorderSize[b] = widths[b];
        p.plBorderColor[b] = {num::redOf(colours[b]), num::greenOf(colours[b]),
                              num::blueOf(colours[b])};
    }
    return p;
}

TEST(Borders, TopBorderIsAMitredBandOfOnePixelLines)
{
    QImageSurface s(40, 30);
    mDrawBorders(s, withBorders({5, 0, 0, 0}, {kRed, kBlack, kBlack, kBlack}));
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            // Line y runs from x = 39 - y leftwards and leaves out its last
            // pixel (y, y), so the band's ends are cut on the diagonals.
            const bool inBand = y < 5 && x > y && x <= 39 - y;
            EXPECT_EQ(at(s, x, y), inBand ? kRed : kBlack) << x << "," << y;
        }
    }
}

TEST(Borders, FourBordersShareEachCornerSquareAlongItsDiagonal)
{
    QImageSurface s(20, 16);
    mDrawBorders(s, withBorders({3, 3, 3, 3}, {kRed, kGreen, kBlue, kYellow}));
    for (int a = 0; a < 3; ++a) {
        for (int b = 0; b < 3; ++b) {
            // Top left: above the diagonal the top border, on and below it the left.
            EXPECT_EQ(at(s, a, b), a > b ? kRed : kGreen) << "top left " << a << "," << b;
            // Top right (a counted from the right edge): the top border owns
            // the diagonal, the right border what lies below it.
            EXPECT_EQ(at(s, 19 - a, b), a >= b ? kRed : kYellow) << "top right " << a << "," << b;
            // Bottom left (b counted from the bottom): the bottom border owns
            // the diagonal, the left border what lies above it.
            EXPECT_EQ(at(s, a, 15 - b), a >= b ? kBlue : kGreen) << "bottom left " << a << "," << b;
            // Bottom right: the right border owns the diagonal.
            EXPECT_EQ(at(s, 19 - a, 15 - b), a > b ? kBlue : kYellow)
                << "bottom right " << a << "," << b;
        }
    }
    // Between the corners each border is exactly three pixels deep.
    EXPECT_EQ(at(s, 10, 2), kRed);
    EXPECT_EQ(at(s, 10, 3), kBlack);
    EXPECT_EQ(at(s, 2, 8), kGreen);
    EXPECT_EQ(at(s, 3, 8), kBlack);
    EXPECT_EQ(at(s, 10, 13), kBlue);
    EXPECT_EQ(at(s, 10, 12), kBlack);
    EXPECT_EQ(at(s, 17, 8), kYellow);
    EXPECT_EQ(at(s, 16, 8), kBlack);
}

TEST(Borders, WidthsOutsideOneToThePictureSizeAreHarmless)
{
    // Zero and negative widths draw nothing.
    QImageSurface s(10, 10);
    mDrawBorders(s, withBorders({0, -4, 0, 0}, {kRed, kRed, kRed, kRed}));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(at(s, x, y), kBlack);
    // A 100-pixel border on a small picture covers it and nothing fails.
    QImageSurface small(12, 8);
    mDrawBorders(small, withBorders({100, 0, 0, 0}, {kRed, kBlack, kBlack, kBlack}));
    EXPECT_EQ(at(small, 6, 0), kRed);
    EXPECT_EQ(at(small, 6, 3), kRed);
}

} // namespace
} // namespace ombrix
