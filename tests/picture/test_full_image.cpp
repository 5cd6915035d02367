// The finished picture: tiles, borders and texts together, and the texts
// printed into pixels in their stacking order.
#include "picture/full_image.h"
#include "picture/texts.h"
#include "render/qimage_surface.h"

#include <gtest/gtest.h>

namespace ombrix
{
namespace
{

const num::Rgb kWhite = num::rgb(255, 255, 255);

ImageParams plain(num::Rgb colour)
{
    ImageModel m;
    m.mSetDefaults(0); // plain background
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
    const ImageParams p = plain(num::rgb(1, 2, 3));
    for (const auto& [w, h] :
         {std::pair{0, 10}, {10, 0}, {-5, 5}, {16385, 10}, {10, 16385}, {1, 1}}) {
        FullImageOptions o;
        o.width = w;
        o.height = h;
        const QImage img = renderFullImage(p, o);
        EXPECT_EQ(img.isNull(), w != 1) << w << "x" << h;
        if (w == 1) {
            EXPECT_EQ(fromQRgb(img.pixel(0, 0)), num::rgb(1, 2, 3));
        }
    }
}

TEST(FullImage, DrawsBordersOverThePatternAndTextsOverBoth)
{
    ImageParams p = plain(kWhite);
    p.pnBorderSize[0] = 4;
    p.plBorderColor[0] = {0, 0, 255};
    p.psText[0] = "HELLO";
    p.pnTextLeft[0] = 10;
    p.pnTextTop[0] = 20;
    p.plTextColor[0] = {255, 0, 0};
    FullImageOptions o;
    o.width = 200;
    o.height = 80;
    const QImage img = renderFullImage(p, o);
    ASSERT_EQ(img.size(), QSize(200, 80));
    // Line y of the top border covers x = y + 1 .. 199 - y.
    EXPECT_EQ(count(img, QRect(0, 0, 200, 4), num::rgb(0, 0, 255)), 199 + 197 + 195 + 193);
    // The text lies right of and below its left and top, and nowhere else.
    EXPECT_GT(count(img, QRect(10, 20, 120, 40), kWhite, true), 50);
    EXPECT_EQ(count(img, QRect(0, 4, 200, 76), kWhite, true) -
                  count(img, QRect(10, 20, 120, 40), kWhite, true),
              0);
    o.printTexts = false;
    EXPECT_EQ(count(renderFullImage(p, o), QRect(0, 4, 200, 76), kWhite, true), 0);
}

TEST(PrintTexts, LowerSlotsLieOnTop)
{
    ImageParams p = plain(kWhite);
    for (int t : {0, 3}) {
        p.psText[t] = "\u2588\u2588\u2588"; // full blocks: solid ink
        p.psTextFont[t] = "DejaVu Sans";
        p.pnTextSize[t] = 30;
        p.pnTextLeft[t] = p.pnTextTop[t] = 5;
    }
    p.plTextColor[0] = {255, 0, 0};
    p.plTextColor[3] = {0, 0, 255};
    QImage img(160, 60, QImage::Format_RGB32);
    img.fill(Qt::white);
    mPrintTexts(img, p);
    EXPECT_GT(count(img, img.rect(), num::rgb(255, 0, 0)), 200);
    EXPECT_EQ(count(img, img.rect(), num::rgb(0, 0, 255)), 0) << "slot 3 lies under slot 0";
}

TEST(PrintTexts, StylesAndSizesChangeTheFont)
{
    ImageParams p = plain(kWhite);
    p.pnTextSize[0] = 18;
    const QFont plainFont = textFont(p, 0, 96.0);
    EXPECT_EQ(plainFont.pixelSize(), 24); // 18 points at 96 dots per inch
    EXPECT_FALSE(plainFont.bold() || plainFont.italic() || plainFont.underline() ||
                 plainFont.strikeOut());
    p.pnTextStyle[0] = {1, 1, 1, 1, 0};
    const QFont styled = textFont(p, 0, 96.0);
    EXPECT_TRUE(styled.bold() && styled.italic() && styled.underline() && styled.strikeOut());
    p.pnTextSize[0] = 0; // never a zero-sized font
    EXPECT_GT(textFont(p, 0, 96.0).pixelSize(), 0);
}

} // namespace
} // namespace ombrix
