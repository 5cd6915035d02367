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

ImageParams plain(num::Rgb colour)
{
    ImageModel m;
    m.mSetDefaults(0); // plain background
    m.params.plColor[2] = {num::redOf(colour), num::greenOf(colour), num::blueOf(colour)};
    return m.params;
}

// Pixels of the picture that differ from the given colour, within a box.
int changed(const QImage& img, const QRect& box, num::Rgb background)
{
    int n = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            n += fromQRgb(img.pixel(x, y)) != background;
    return n;
}

TEST(FullImage, RefusesImpossibleSizes)
{
    const ImageParams p = plain(num::rgb(1, 2, 3));
    for (const auto& [w, h] : {std::pair{0, 10}, {10, 0}, {-5, 5}, {16385, 10}, {10, 16385}}) {
        FullImageOptions o;
        o.width = w;
        o.height = h;
        EXPECT_TRUE(renderFullImage(p, o).isNull()) << w << "x" << h;
    }
    FullImageOptions one;
    one.width = one.height = 1;
    const QImage tiny = renderFullImage(p, one);
    ASSERT_FALSE(tiny.isNull());
    EXPECT_EQ(fromQRgb(tiny.pixel(0, 0)), num::rgb(1, 2, 3));
}

TEST(FullImage, DrawsBordersOverThePatternAndTextsOverBoth)
{
    ImageParams p = plain(num::rgb(255, 255, 255));
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
    EXPECT_EQ(fromQRgb(img.pixel(100, 2)), num::rgb(0, 0, 255));
    EXPECT_EQ(fromQRgb(img.pixel(100, 4)), num::rgb(255, 255, 255));
    // The text lies right of and below its left and top, and nowhere else.
    EXPECT_GT(changed(img, QRect(10, 20, 120, 40), num::rgb(255, 255, 255)), 50);
    EXPECT_EQ(changed(img, QRect(0, 5, 9, 70), num::rgb(255, 255, 255)), 0);
    EXPECT_EQ(changed(img, QRect(0, 5, 200, 14), num::rgb(255, 255, 255)), 0);

    o.printTexts = false;
    EXPECT_EQ(changed(renderFullImage(p, o), QRect(10, 20, 120, 40), num::rgb(255, 255, 255)), 0);
}

TEST(PrintTexts, LowerSlotsLieOnTopAndEmptySlotsDrawNothing)
{
    ImageParams p = plain(num::rgb(255, 255, 255));
    for (int t : {0, 3}) {
        p.psText[t] = "\u2588\u2588\u2588"; // full blocks: solid ink
        p.psTextFont[t] = "DejaVu Sans";
        p.pnTextSize[t] = 30;
        p.pnTextLeft[t] = 5;
        p.pnTextTop[t] = 5;
    }
    p.plTextColor[0] = {255, 0, 0};
    p.plTextColor[3] = {0, 0, 255};
    p.psText[6] = ""; // an empty slot somewhere else must not draw
    p.pnTextLeft[6] = 100;
    QImage img(160, 60, QImage::Format_RGB32);
    img.fill(Qt::white);
    mPrintTexts(img, p);
    int red = 0, blue = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 160; ++x) {
            const num::Rgb c = fromQRgb(img.pixel(x, y));
            red += c == num::rgb(255, 0, 0);
            blue += c == num::rgb(0, 0, 255);
        }
    EXPECT_GT(red, 200);
    EXPECT_EQ(blue, 0) << "slot 3 lies under slot 0 at the same place";
}

TEST(PrintTexts, StylesAndSizesChangeTheFont)
{
    ImageParams p = plain(num::rgb(255, 255, 255));
    p.pnTextSize[0] = 18;
    const QFont plainFont = textFont(p, 0, 96.0);
    EXPECT_EQ(plainFont.pixelSize(), 24); // 18 points at 96 dots per inch
    EXPECT_FALSE(plainFont.bold());
    p.pnTextStyle[0] = {1, 1, 1, 1, 0};
    const QFont styled = textFont(p, 0, 96.0);
    EXPECT_TRUE(styled.bold());
    EXPECT_TRUE(styled.italic());
    EXPECT_TRUE(styled.underline());
    EXPECT_TRUE(styled.strikeOut());
    p.pnTextSize[0] = 0; // never a zero-sized font
    EXPECT_GT(textFont(p, 0, 96.0).pixelSize(), 0);
}

} // namespace
} // namespace ombrix
