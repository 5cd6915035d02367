// SPDX-License-Identifier: GPL-3.0-or-later
// The finished picture: tiles, borders and texts together, the texts in
// their stacking order, and the font a text slot asks for.
#include "picture/full_image.h"
#include "picture/texts.h"
#include "support/render_fixture.h"

#include <cmath>

namespace ombrix
{
namespace
{

using test::kBlue;
using test::kGreen;
using test::kRed;
using test::kWhite;
using test::pixelsOf;

// The plain background in the given colour.
ImageParams plain(num::Rgb colour)
{
    ImageModel m;
    m.mSetDefaults(0);
    m.params.plColor[2] = {num::redOf(colour), num::greenOf(colour), num::blueOf(colour)};
    return m.params;
}

// Pixels within the box not of the background, white.
int ink(const QImage& img, const QRect& box)
{
    return box.width() * box.height() - pixelsOf(img, box, kWhite);
}

TEST(FullImage, RefusesImpossibleSizes)
{
    FullImageOptions o;
    for (const auto& [w, h] : {std::pair{0, 10}, {10, 0}, {-5, 5}, {16385, 10}, {10, 16385}}) {
        o.width = w;
        o.height = h;
        EXPECT_TRUE(renderFullImage(plain(0), o).isNull()) << w << "x" << h;
    }
    o.width = o.height = 1;
    const QImage one = renderFullImage(plain(num::rgb(1, 2, 3)), o);
    EXPECT_TRUE(one.size() == QSize(1, 1) && fromQRgb(one.pixel(0, 0)) == num::rgb(1, 2, 3));
}

TEST(FullImage, DrawsBordersOverThePatternAndTextsOverBoth)
{
    ImageParams p = plain(kWhite);
    p.pnBorderSize[0] = 4;
    p.plBorderColor[0] = {0, 0, 255};
    for (int t : {0, 3}) {
        p.psText[t] = "HELLO";
        p.pnTextLeft[t] = 10;
        p.pnTextTop[t] = 20;
    }
    p.plTextColor[0] = {255, 0, 0};
    p.plTextColor[3] = {0, 255, 0};
    FullImageOptions o;
    o.width = 200;
    o.height = 80;
    const QImage img = renderFullImage(p, o);
    ASSERT_EQ(img.size(), QSize(200, 80));
    // Line y of the top border covers x = y + 1 .. 199 - y.
    EXPECT_EQ(pixelsOf(img, QRect(0, 0, 200, 4), kBlue), 199 + 197 + 195 + 193);
    // The texts lie right of and below their left and top, and nowhere
    // else; the lower slot lies on top and hides slot 3 under it.
    EXPECT_GT(pixelsOf(img, {}, kRed), 50);
    EXPECT_EQ(pixelsOf(img, {}, kGreen), 0);
    EXPECT_EQ(ink(img, QRect(0, 4, 200, 76)), ink(img, QRect(10, 20, 120, 40)));
    o.printTexts = false;
    EXPECT_EQ(ink(renderFullImage(p, o), QRect(0, 4, 200, 76)), 0);
}

// The red pixels in a row from (x, y) on, one step of (dx, dy) at a time.
int redRun(const QImage& img, int x, int y, int dx, int dy)
{
    int n = 0;
    for (; img.valid(x, y) && fromQRgb(img.pixel(x, y)) == kRed; x += dx, y += dy)
        ++n;
    return n;
}

// The box of every pixel not of the given colour.
QRect inkBox(const QImage& img, num::Rgb background)
{
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (fromQRgb(img.pixel(x, y)) != background)
                box |= QRect(x, y, 1, 1);
    return box;
}

// The record holds logical pixels: at scale S (dpi 96 S, S times the size)
// the same design is drawn larger, texts in the same place of the image and
// borders covering the same share of it.  Compared with the scale-1 picture
// scaled up, the texts' ink lies within a pixel or two (fonts are hinted at
// each size); the borders are exact.  At scale 1 nothing moves: the same
// pixels as before scales existed.
TEST(FullImage, TheSameDesignAtEveryScale)
{
    ImageParams p = plain(0);
    p.pnBorderSize = {3, 0, 5, 1};
    p.plBorderColor[0] = p.plBorderColor[2] = p.plBorderColor[3] = {255, 0, 0};
    p.psText[0] = "Ombrix";
    p.pnTextLeft[0] = 40;
    p.pnTextTop[0] = 30;
    p.pnTextSize[0] = 20;
    p.plTextColor[0] = {255, 255, 255};
    FullImageOptions o;
    o.width = 200;
    o.height = 100;
    ImageParams textOnly = p;
    textOnly.pnBorderSize = {0, 0, 0, 0};
    const QRect ink1 = inkBox(renderFullImage(textOnly, o), 0);
    ASSERT_FALSE(ink1.isEmpty());
    for (const double scale : {1.0, 1.5, 2.0, 3.0}) {
        FullImageOptions s = o;
        s.width = static_cast<int>(std::lround(200 * scale));
        s.height = static_cast<int>(std::lround(100 * scale));
        s.dpi = 96.0 * scale;
        const QImage big = renderFullImage(p, s);
        ASSERT_EQ(big.size(), QSize(s.width, s.height));
        const QRect ink = inkBox(renderFullImage(textOnly, s), 0);
        for (const auto& [got, at1] : {std::pair{ink.left(), ink1.left()},
                                       {ink.top(), ink1.top()},
                                       {ink.right() + 1, ink1.right() + 1},
                                       {ink.bottom() + 1, ink1.bottom() + 1}})
            EXPECT_NEAR(got, at1 * scale, 2 * scale) << scale;
        // Borders: the top one 3 logical pixels deep, the bottom one 5, the
        // right one 1, each times the scale, rounded.
        const int mid = s.width / 2, last = s.height - 1;
        EXPECT_EQ(redRun(big, mid, 0, 0, 1), std::lround(3 * scale)) << scale;
        EXPECT_EQ(redRun(big, mid, last, 0, -1), std::lround(5 * scale)) << scale;
        EXPECT_EQ(redRun(big, s.width - 1, s.height / 2, -1, 0), std::lround(1 * scale)) << scale;
    }
}

TEST(PrintTexts, StylesAndSizesChangeTheFont)
{
    ImageParams p = plain(kWhite);
    p.pnTextSize[0] = 18;
    p.pnTextStyle[0] = {1, 0, 1, 0, 0};
    const QFont font = textFont(p, 0, 96.0);
    EXPECT_EQ(font.pixelSize(), 24); // 18 points at 96 dots per inch
    EXPECT_TRUE(font.bold() && !font.italic() && font.underline() && !font.strikeOut());
    p.pnTextSize[0] = 0; // never a zero-sized font
    EXPECT_GT(textFont(p, 0, 96.0).pixelSize(), 0);
}

} // namespace
} // namespace ombrix
