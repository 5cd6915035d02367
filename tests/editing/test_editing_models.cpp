// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's models: the palette, the undo history, the pattern setup
// and the settings, without a window.
#include "editing/palette.h"
#include "editing/pattern_setup.h"
#include "editing/undo_history.h"
#include "io/settings.h"

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace ombrix
{

TEST(Palette, LooksUpFindsAndMarksCells)
{
    const Palette pal;
    struct Find {
        Long r, g, b;
        Integer col, row;
    };
    for (const Find f : {Find{255, 0, 0, 1, 1}, Find{0, 0, 0, 0, 0}, Find{1, 2, 3, 999, 7}}) {
        Integer col = -1, row = 7;
        pal.mFindPaletteColor(f.r, f.g, f.b, col, row);
        EXPECT_EQ(col, f.col) << f.r << "," << f.g << "," << f.b;
        EXPECT_EQ(row, f.row);
    }
    Long r = 5, g = 6, b = 7;
    pal.mGetPaletteColor(12, 0, r, g, b); // outside the grid: untouched
    EXPECT_EQ(num::rgb(r, g, b), num::rgb(5, 6, 7));
    pal.mGetPaletteColor(10, 21, r, g, b);
    EXPECT_EQ(r + g + b, 3 * kNoCell);
    pal.mGetPaletteColor(2, 5, r, g, b);
    EXPECT_EQ(num::rgb(r, g, b), num::rgb(255, 135, 160));
    // The mark: red on the system colours and greys (black on red itself),
    // the cell's inverse on the hue ramps.
    EXPECT_EQ(pal.markColour(1, 1), num::rgb(0, 0, 0));
    EXPECT_EQ(pal.markColour(0, 20), num::rgb(255, 0, 0));
    EXPECT_EQ(pal.markColour(0, 2), num::rgb(0, 15, 47));
    // Every real colour is found again at a cell of the same colour.
    for (Integer row = 0; row < kPaletteRows; ++row)
        for (Integer col = 0; col < kPaletteColumns; ++col) {
            Long r2 = 0, g2 = 0, b2 = 0;
            Integer fc = 0, fr = 0;
            pal.mGetPaletteColor(col, row, r, g, b);
            if (r == kNoCell)
                continue;
            pal.mFindPaletteColor(r, g, b, fc, fr);
            pal.mGetPaletteColor(fc, fr, r2, g2, b2);
            EXPECT_EQ(num::rgb(r, g, b), num::rgb(r2, g2, b2)) << col << "," << row;
        }
}

// Plain undo and redo, and the limit of twenty steps, are walked through the
// main window's buttons (MainWindow.UndoAndRedoWalkTwentyShots).
TEST(UndoHistory, UndoRedoAndDroppedRedoSteps)
{
    const auto hump = [](Integer h) {
        ImageParams p;
        p.pnHump = h;
        return p;
    };
    UndoHistory h;
    h.reset(hump(1));
    h.mPushShot(hump(2));
    // Two steps back, then a new shot: the two redo steps are dropped and
    // the state that was in force comes right behind the new one.
    h.mPushShot(hump(3));
    h.mPushShot(hump(4));
    h.stepBack();
    h.stepBack();
    const Integer before = h.shots();
    h.mPushShot(hump(9));
    EXPECT_EQ(h.shots(), before - 1);
    EXPECT_EQ(h.slot(0).pnHump, 9);
    EXPECT_EQ(h.slot(1).pnHump, 2);

    // A reset (an opened file) in the middle of a history with undo and
    // redo steps leaves only its own state: nothing to undo or redo, and
    // the state comes back restored.
    h.stepBack();
    h.reset(hump(17));
    EXPECT_EQ(h.shots(), 0);
    EXPECT_EQ(h.pointer(), 0);
    EXPECT_FALSE(h.canUndo() || h.canRedo());
    EXPECT_FALSE(h.stepBack());
    ImageParams restored;
    h.mRestoreShot(restored);
    EXPECT_EQ(restored.pnHump, 17);
    // The next change is one step after the reset state, no further.
    h.mPushShot(hump(18));
    EXPECT_EQ(h.shots(), 1);
    ASSERT_TRUE(h.stepBack());
    EXPECT_FALSE(h.stepBack());
    h.mRestoreShot(restored);
    EXPECT_EQ(restored.pnHump, 17);
}

// What each pattern does to the controls, as the user sees it, without and
// with the rainbow.
TEST(PatternSetup, EachPatternItsControls)
{
    struct Row {
        Integer pattern;
        bool rotate, sliders;            // Rotate usable; both slant/origin sliders usable
        bool rainbowPicker, rainbowHump; // with the rainbow: brim colour in the picker, hump free
    };
    const Row rows[] = {
        {kShadedEllipse, true, true, true, true},
        {kClearcutEllipse, true, true, true, true},
        {kShadedRectangle, false, true, false, false},
        {kCrossingPleats, false, false, false, false},
        {kShadedCircle, false, true, true, true},
        {kClearcutCircle, false, true, true, true},
        {kSandglass, true, false, true, false},
        {kShadedSemicircle, true, false, false, false},
        {kShadedDiamond, true, true, true, true},
        {kClearcutDiamond, true, true, true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(kPatternNames[row.pattern]);
        ImageParams p;
        p.pnPattern = row.pattern;
        p.pnHump = 7;
        p.pnSlantRate = 4;
        PatternControls c = mSetupPatternState(p);
        EXPECT_EQ(c.rotateEnabled, row.rotate);
        EXPECT_EQ(c.horizontalEnabled && c.verticalEnabled, row.sliders);
        EXPECT_EQ(c.horizontalValue, row.sliders ? 4 : 0);
        EXPECT_TRUE(c.pickerShown && c.humpEnabled && c.colourIndex == 0);
        EXPECT_EQ(c.rainbowBox, RainbowBox::Cleared);

        p.pnRainbow = 1;
        c = mSetupPatternState(p);
        EXPECT_EQ(c.rainbowBox, RainbowBox::Set);
        EXPECT_EQ(c.pickerShown, row.rainbowPicker);
        EXPECT_EQ(colourBoxInUse(p, 2), row.rainbowPicker);
        EXPECT_FALSE(colourBoxInUse(p, 0));
        EXPECT_EQ(c.humpEnabled, row.rainbowHump);
        EXPECT_EQ(p.pnHump, row.rainbowHump ? 7 : 20);
    }
    // Plain Background edits the brim colour only and locks the hump.
    ImageParams p;
    p.pnPattern = kPlainBackground;
    const PatternControls plain = mSetupPatternState(p);
    EXPECT_EQ(plain.colourIndex, 2);
    EXPECT_FALSE(plain.humpEnabled);
    EXPECT_EQ(plain.rainbowBox, RainbowBox::Unchanged);
    // A turned linear gradient slants along the vertical slider.
    p.pnPattern = kLinearGradient;
    p.pnRotation = -1;
    p.pnSlantRate = 4;
    p.pnVerRep = 2;
    const PatternControls linear = mSetupPatternState(p);
    EXPECT_FALSE(linear.horizontalEnabled);
    EXPECT_TRUE(linear.verticalEnabled && linear.rotatePressed);
    EXPECT_EQ(linear.verticalValue, -4);
    EXPECT_EQ(linear.verRepValue, 5);
}

TEST(Settings, DefaultsClampsAndRoundTrip)
{
    QTemporaryDir dir;
    QSettings store(dir.filePath("o.conf"), QSettings::IniFormat);
    Settings s = mGetSettings(store);
    EXPECT_TRUE(s.psReadPath.empty());
    EXPECT_EQ(s.plQualityValue, 100);
    EXPECT_EQ(formatShowTips(s.pnShowTip), "11111");
    for (const auto& [text, quality] : {std::pair{"5", 10}, {"150", 100}, {"abc", 100}})
        EXPECT_EQ(parseQuality(text), quality) << text;
    EXPECT_EQ(formatShowTips(parseShowTips("101")), "10100");

    s.pnShowTip[1] = 0;
    s.psSavePath = "/tmp/x/";
    mSaveSettings(store, s);
    EXPECT_EQ(store.value("Settings/ShowTips").toString(), "10111");
    EXPECT_EQ(mGetSettings(store).psSavePath, "/tmp/x/");
}

} // namespace ombrix
