// The finished picture: tiles, borders and texts together, the texts in
// their stacking order, and the font a text slot asks for.
#include "picture/full_image.h"
#include "picture/texts.h"
#include "render/qimage_surface.h"

#include <gtest/gtest.h>

namespace ombrix
{
namespace
{

const num::Rgb kWhite = num::rgb(255, 255, 255);

// The plain background in the given colour.
ImageParams plain(num::Rgb colour)
{
    ImageModel m;
    m.mSetDefaults(0);
    m.params.plColor[2] = {num::redOf(colour), num::greenOf(colour), num::blueOf(colour)};
    return m.params;
}

// Pixels within the box of the given colour (or, with `other`, of any
// other colour).
int count(const QImage& img, const QRect& box, num::Rgb colour, bool other = false)
{
    int n = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            n += (fromQRgb(img.pixel(x, y)) == colour) != other;
    return n;
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
    EXPECT_EQ(count(img, QRect(0, 0, 200, 4), num::rgb(0, 0, 255)), 199 + 197 + 195 + 193);
    // The texts lie right of and below their left and top, and nowhere
    // else; the lower slot lies on top and hides slot 3 under it.
    const int ink = count(img, QRect(10, 20, 120, 40), kWhite, true);
    EXPECT_GT(count(img, img.rect(), num::rgb(255, 0, 0)), 50);
    EXPECT_EQ(count(img, img.rect(), num::rgb(0, 255, 0)), 0);
    EXPECT_EQ(count(img, QRect(0, 4, 200, 76), kWhite, true), ink);
    o.printTexts = false;
    EXPECT_EQ(count(renderFullImage(p, o), QRect(0, 4, 200, 76), kWhite, true), 0);
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
