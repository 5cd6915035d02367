// SPDX-License-Identifier: GPL-3.0-or-later
// The text sets' rules without a window: which set is free, where a set is
// placed and moved, what OK and Remove write, and the gradient fill on
// pixels (also through the command line).
#include "io/param_file.h"
#include "model/image_params.h"
#include "picture/full_image.h"
#include "picture/gradient_text.h"
#include "picture/text_labels.h"
#include "picture/texts.h"
#include "support/render_fixture.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

namespace ombrix
{
namespace
{

using test::mottled;

ImageParams presetTexts()
{
    ImageModel m;
    m.mSetDefaults(0);
    return m.params;
}

TEST(TextRules, VacantSetIsTheFirstWithAllThreeSlotsEmpty)
{
    // Slots holding a text (every third slot from `from`), and the set found.
    const int cases[][3] = {{0, 0, 0}, {0, 1, 1}, {4, 1, 0}, {1, 1, 1}, {0, 2, 2}, {2, 16, 16}};
    for (const auto& [from, count, vacant] : cases) {
        ImageParams p = presetTexts();
        for (int i = 0; i < count; ++i)
            p.psText[from + 3 * i] = "x";
        EXPECT_EQ(mVacantTextSetIndex(p), vacant) << from << " " << count;
    }
}

TEST(TextRules, AddAndModifyKeepTheAlignedPoint)
{
    struct Case {
        TextAlign align;
        QPoint added;    // click (300, 200), sample 120 x 30
        QPoint modified; // at (500, 100), sample 100 x 20 grown to 140 x 30
    };
    const Case cases[] = {
        {TextAlign::Left, {300, 185}, {500, 95}},
        {TextAlign::Centre, {240, 185}, {480, 95}},
        {TextAlign::Right, {180, 185}, {460, 95}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(addedTextPosition(c.align, 300, 200, 120, 30), c.added);
        EXPECT_EQ(modifiedTextPosition(c.align, {500, 100}, {140, 30}, {100, 20}), c.modified);
    }
    // Halves go to the even pixel: 121 / 2 = 60.5 -> 60, 123 / 2 = 61.5 -> 62;
    // a height of 25 halves to 12.
    EXPECT_EQ(addedTextPosition(TextAlign::Centre, 300, 200, 121, 25), QPoint(240, 188));
    EXPECT_EQ(addedTextPosition(TextAlign::Centre, 300, 200, 123, 25), QPoint(238, 188));
    // A placement past the 16-bit range stops at its edge.
    EXPECT_EQ(addedTextPosition(TextAlign::Right, -32700, 32767, 500, 10), QPoint(-32768, 32762));
}

TEST(TextRules, SetsMoveTogetherOnTheDiagonalAndStopAtTheRange)
{
    ImageParams p = presetTexts();
    p.pnHighlightOffset[2] = 2;
    p.pnShadowOffset[2] = -3;
    const auto at = [&p](int t) { return QPoint(p.pnTextLeft[t], p.pnTextTop[t]); };
    placeTextSet(p, 2, 100, 50);
    EXPECT_EQ(at(6), QPoint(100, 50));
    EXPECT_EQ(at(7), QPoint(102, 52));
    EXPECT_EQ(at(8), QPoint(97, 47));
    EXPECT_EQ(at(5), QPoint(-50, -50)) << "set 1 untouched";
    nudgeTextSet(p, 2, 5, -1);
    EXPECT_EQ(at(8), QPoint(102, 46));

    placeTextSet(p, 2, 32766, -40000);
    EXPECT_EQ(at(6), QPoint(32766, -32768));
    EXPECT_EQ(at(7), QPoint(32767, -32766));
    nudgeTextSet(p, 2, 5, -5);
    EXPECT_EQ(at(6), QPoint(32767, -32768));
    EXPECT_EQ(at(8), QPoint(32767, -32768));
}

TEST(TextRules, OkWritesTheWorkingCopyAndRemoveMakesTheSetVacant)
{
    ImageParams p = presetTexts();
    p.plTextColor[3] = {200, 10, 20};
    TextSetWork w = mReceivePublicVal(p, 1);
    w.text.fill("Hi");
    w.font.fill("Liberation Serif");
    w.style[2][1] = 1;
    // With an offset the copies keep their own colours.
    w.highlightOffset = -2;
    applyTextSet(p, 1, w, {10, 20});
    EXPECT_EQ(p.psTextFont[5], "Liberation Serif");
    EXPECT_EQ(p.pnTextStyle[5][1], 1);
    EXPECT_EQ(p.plTextColor[4], (Colour{255, 255, 255}));
    EXPECT_EQ(p.pnTextLeft[4], 8);
    EXPECT_EQ(p.pnHighlightOffset[1], -2);

    p.pnTextStyle[3][4] = 1;
    mRemoveTextSet(p, 1);
    ImageParams fresh = presetTexts();
    fresh.pnTextStyle[3][4] = 1; // not the dialog's switch: kept
    EXPECT_EQ(p, fresh);
}

TEST(TextRules, CaptionsAndSizesFromWhatWasTyped)
{
    // An empty text and one without a blank are shown by the window tests.
    EXPECT_EQ(labelCaption("abc "), "abc ");

    const std::pair<const char*, int> sizes[] = {{"4", 18},    {"300", 18}, {"201", 18},
                                                 {"200", 200}, {"6", 6},    {" 24", 24},
                                                 {"abc", 18},  {"", 18},    {"5.5", 6}};
    for (const auto& [text, size] : sizes)
        EXPECT_EQ(fontSizeFromText(text), size) << text;

    ImageParams p = presetTexts();
    p.psText[40] = "   ";
    EXPECT_FALSE(anyTextShown(p));
    p.psText[40] = " a ";
    EXPECT_TRUE(anyTextShown(p));
}

TEST(GradientText, TextPixelsShowThePatternAndTheRestTurnsBlack)
{
    struct Case {
        Colour colour;
        int passes;
        bool inverted; // the covered pixels show the inverted pattern
    };
    const Case cases[] = {
        {{0, 0, 0}, 1, false},
        {{0, 0, 0}, 2, false},
        {{255, 255, 255}, 1, true},
        {{255, 255, 255}, 2, false}, // the second pass gives the pattern back
    };
    for (const Case& c : cases) {
        ImageParams p = presetTexts();
        p.psText[0] = "HIM";
        p.pnTextLeft[0] = p.pnTextTop[0] = 5;
        p.pnTextSize[0] = 36;
        p.plTextColor[0] = c.colour;
        const QImage pattern = mottled(160, 70);
        // Which pixels the text covers fully: drawn on a picture of the
        // text's opposite colour.
        QImage cover(pattern.size(), QImage::Format_RGB32);
        const QRgb ink = qRgb(c.colour[0], c.colour[1], c.colour[2]);
        cover.fill(ink ^ 0x00ffffff);
        mPrintTexts(cover, p, 96.0);

        QImage picture = pattern;
        for (int i = 0; i < c.passes; ++i)
            ASSERT_TRUE(mMakeGradientText(picture, p, 96.0));
        int covered = 0, black = 0;
        for (int y = 0; y < pattern.height(); ++y)
            for (int x = 0; x < pattern.width(); ++x) {
                const QRgb got = picture.pixel(x, y), g = pattern.pixel(x, y),
                           on = cover.pixel(x, y);
                if (on == ink && ++covered) {
                    ASSERT_EQ(got, c.inverted ? g ^ 0xffffff : g) << x << "," << y;
                } else if (on == (ink ^ 0xffffff) && ++black) {
                    ASSERT_EQ(got, qRgb(0, 0, 0)) << x << "," << y;
                }
            }
        EXPECT_GT(covered, 300);
        EXPECT_GT(black, 5000);
    }

    QImage a = mottled(4, 4);
    EXPECT_FALSE(xorPictures(a, mottled(4, 5)));
    EXPECT_EQ(a, mottled(4, 4));
}

TEST(GradientText, CommandLineWritesTheFilledPicture)
{
    QTemporaryDir dir;
    ImageModel m;
    m.mSetDefaults(3);
    m.params.psText[0] = "WWW";
    m.params.pnTextLeft[0] = m.params.pnTextTop[0] = 10;
    m.params.pnTextSize[0] = 40;
    const std::string obp = dir.filePath("t.obp").toStdString();
    ASSERT_TRUE(SaveData(obp, m.params).ok);
    const QString out = dir.filePath("t.png");
    QProcess run;
    run.start(OMBRIX_BINARY, {"render", QString::fromStdString(obp), "--size", "200x100", "--out",
                              out, "--gradient-text"});
    ASSERT_TRUE(run.waitForFinished(60000));
    ASSERT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();

    // The same fill done here on the picture drawn without its texts.
    FullImageOptions o;
    o.width = 200;
    o.height = 100;
    o.printTexts = false;
    QImage expected = renderFullImage(m.params, o);
    ASSERT_TRUE(mMakeGradientText(expected, m.params, 96.0));
    EXPECT_EQ(QImage(out).convertToFormat(QImage::Format_RGB32), expected);
    EXPECT_EQ(expected.pixel(199, 99), qRgb(0, 0, 0));
}

} // namespace
} // namespace ombrix
