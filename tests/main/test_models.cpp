#include "io/settings.h"
#include "main/palette.h"
#include "main/pattern_setup.h"
#include "main/undo_history.h"

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace ombrix
{

TEST(Palette, LooksUpCellsAndColours)
{
    const Palette pal;
    Integer col = -1, row = -1;
    pal.mFindPaletteColor(255, 0, 0, col, row);
    EXPECT_EQ(col, 1);
    EXPECT_EQ(row, 1);
    pal.mFindPaletteColor(0, 0, 0, col, row);
    EXPECT_EQ(col, 0);
    EXPECT_EQ(row, 0);
    row = 7;
    pal.mFindPaletteColor(1, 2, 3, col, row);
    EXPECT_EQ(col, 999);
    EXPECT_EQ(row, 7);

    Long r = 5, g = 6, b = 7;
    pal.mGetPaletteColor(10, 21, r, g, b);
    EXPECT_EQ(r + g + b, 3 * 999);
    r = 5;
    pal.mGetPaletteColor(12, 0, r, g, b);
    EXPECT_EQ(r, 5);
    pal.mGetPaletteColor(2, 5, r, g, b);
    EXPECT_EQ(g, 135);
    EXPECT_EQ(pal.all().size(), 2640u);
}

TEST(Palette, MarksWithTheInverseOnRampsAndRedElsewhere)
{
    const Palette pal;
    EXPECT_EQ(pal.markColour(1, 1), num::rgb(0, 0, 0));
    EXPECT_EQ(pal.markColour(0, 20), num::rgb(255, 0, 0));
    EXPECT_EQ(pal.markColour(0, 2), num::rgb(0, 15, 47));
    // Every real colour is found again at a cell of the same colour.
    for (Integer rr = 0; rr < kPaletteRows; ++rr)
        for (Integer c = 0; c < kPaletteColumns; ++c) {
            Long r = 0, g = 0, b = 0, r2 = 0, g2 = 0, b2 = 0;
            pal.mGetPaletteColor(c, rr, r, g, b);
            if (r == kNoCell)
                continue;
            Integer fc = 0, fr = 0;
            pal.mFindPaletteColor(r, g, b, fc, fr);
            pal.mGetPaletteColor(fc, fr, r2, g2, b2);
            EXPECT_EQ(num::rgb(r, g, b), num::rgb(r2, g2, b2)) << c << "," << rr;
        }
}

namespace
{
ImageParams withHump(Integer h)
{
    ImageParams p;
    p.pnHump = h;
    return p;
}
} // namespace

TEST(UndoHistory, UndoRedoAndDroppedRedoSteps)
{
    UndoHistory h;
    h.mPushShot(withHump(1));
    h.pnShots = 0; // the start state cannot be undone past
    EXPECT_FALSE(h.canUndo());
    EXPECT_FALSE(h.canRedo());
    h.mPushShot(withHump(2));
    EXPECT_EQ(h.pnShots, 1);
    ImageParams p;
    ASSERT_TRUE(h.stepBack());
    h.mRestoreShot(p);
    EXPECT_EQ(p.pnHump, 1);
    EXPECT_FALSE(h.canUndo());
    ASSERT_TRUE(h.stepForward());
    h.mRestoreShot(p);
    EXPECT_EQ(p.pnHump, 2);
    EXPECT_FALSE(h.canRedo());

    h.mPushShot(withHump(3));
    h.mPushShot(withHump(4));
    h.stepBack();
    h.stepBack(); // in force: hump 2
    const Integer before = h.pnShots;
    h.mPushShot(withHump(9));
    EXPECT_EQ(h.pnShots, before - 1);
    EXPECT_EQ(h.slot(1).pnHump, 2);
    EXPECT_EQ(h.slot(0).pnHump, 9);
}

TEST(UndoHistory, KeepsTwentySteps)
{
    UndoHistory h;
    for (Integer i = 1; i <= 25; ++i)
        h.mPushShot(withHump(i));
    EXPECT_EQ(h.pnShots, 20);
    EXPECT_EQ(h.slot(20).pnHump, 5);
    EXPECT_EQ(h.slot(0).pnHump, 25);
}

TEST(PatternSetup, FollowsTheTableForEveryCase)
{
    ImageParams p;
    p.pnPattern = kPlainBackground;
    PatternControls c = mSetupPatternState(p);
    EXPECT_FALSE(c.humpEnabled);
    EXPECT_EQ(p.pnHump, 20);
    EXPECT_EQ(c.colorIndex, 2);
    EXPECT_EQ(c.rainbowBox, RainbowBox::Unchanged);

    for (Integer pat = 0; pat < kPatterns; ++pat) {
        if (pat == kPlainBackground)
            continue;
        ImageParams q;
        q.pnPattern = pat;
        q.pnHump = 7;
        c = mSetupPatternState(q);
        EXPECT_EQ(c.rainbowBox, RainbowBox::Cleared);
        EXPECT_TRUE(c.humpEnabled);
        EXPECT_EQ(c.colorIndex, 0);

        q.pnRainbow = 1;
        c = mSetupPatternState(q);
        const bool noBrim = pat == 0 || pat == 3 || pat == 4 || pat == 9;
        EXPECT_EQ(c.pickerShown, !noBrim) << pat;
        EXPECT_EQ(c.humpEnabled, !noBrim && pat != kSandglass) << pat;
        EXPECT_EQ(c.colorIndex, noBrim ? -1 : 2) << pat;
        EXPECT_EQ(colourBoxInUse(q, 2), !noBrim) << pat;
        EXPECT_FALSE(colourBoxInUse(q, 0));
        EXPECT_EQ(c.rotateEnabled, pat < 3 || pat > 7) << pat;
    }
}

TEST(PatternSetup, SlantSlidersAndRepetitionCaption)
{
    ImageParams p;
    p.pnPattern = kLinearGradient;
    p.pnRotation = -1;
    p.pnSlantRate = 4;
    PatternControls c = mSetupPatternState(p);
    EXPECT_FALSE(c.horizontalEnabled);
    EXPECT_TRUE(c.verticalEnabled);
    EXPECT_EQ(c.verticalValue, -4);
    EXPECT_TRUE(c.rotatePressed);
    p.pnPattern = kSandglass;
    c = mSetupPatternState(p);
    EXPECT_FALSE(c.horizontalEnabled || c.verticalEnabled);
    EXPECT_EQ(c.horizontalValue, 0);
    EXPECT_EQ(repeatCaption(2, 3), " 2 \u00d7 3");
    p.pnVerRep = 2;
    EXPECT_EQ(mSetupPatternState(p).verRepValue, 5);
}

TEST(Settings, DefaultsClampsAndRoundTrip)
{
    QTemporaryDir dir;
    QSettings store(dir.filePath("o.conf"), QSettings::IniFormat);
    Settings s = mGetSettings(store);
    EXPECT_TRUE(s.psReadPath.empty());
    EXPECT_EQ(s.plQualityValue, 100);
    EXPECT_EQ(formatShowTips(s.pnShowTip), "11111");
    EXPECT_EQ(parseQuality("5"), 10);
    EXPECT_EQ(parseQuality("150"), 100);
    EXPECT_EQ(parseQuality("abc"), 100);
    EXPECT_EQ(formatShowTips(parseShowTips("101")), "10100");

    s.pnShowTip[1] = 0;
    s.psSavePath = "/tmp/x/";
    s.plQualityValue = 55;
    mSaveSettings(store, s);
    EXPECT_EQ(store.value("Settings/ShowTips").toString(), "10111");
    const Settings back = mGetSettings(store);
    EXPECT_EQ(back.psSavePath, "/tmp/x/");
    EXPECT_EQ(back.plQualityValue, 55);
}

} // namespace ombrix
