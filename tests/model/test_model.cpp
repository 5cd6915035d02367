// SPDX-License-Identifier: GPL-3.0-or-later
// The numeric rules every part of the program shares, and the record as a
// whole: every field counts for equality, and a shot holds exactly the
// fields that define the picture.
#include "editing/undo_history.h"
#include "model/image_params.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <tuple>

namespace ombrix
{
namespace
{

TEST(Numeric, RoundingHalvesToEvenAndTheIntegerRange)
{
    const std::pair<double, double> halves[] = {{2.5, 2},    {3.5, 4},  {-2.5, -2},
                                                {-3.5, -4},  {0.5, 0},  {1.5, 2},
                                                {2.4999, 2}, {-0.4, 0}, {1e6 + 0.5, 1e6}};
    for (const auto& [x, want] : halves)
        EXPECT_EQ(num::roundHalfEven(x), want) << x;

    // An Integer holds -32768..32767 after rounding; anything else is an
    // overflow, never a wrap.
    const std::pair<double, int> fits[] = {
        {32767.4, 32767}, {32766.5, 32766}, {-32768.4, -32768}, {-32768.5, -32768}, {0.5, 0}};
    for (const auto& [x, want] : fits)
        EXPECT_EQ(num::cint(x), want) << x;
    for (const double x :
         {32767.5, 32768.0, -32769.0, -32769.5, 1e12, std::numeric_limits<double>::quiet_NaN()})
        EXPECT_THROW(num::cint(x), OverflowError) << x;
    EXPECT_EQ(num::clng(2147483647.4), 2147483647);
    EXPECT_THROW(num::clng(2147483647.5), OverflowError);
    EXPECT_EQ(num::clampInteger(40000), 32767);
    EXPECT_EQ(num::clampInteger(-40000), -32768);
    EXPECT_EQ(num::clampInteger(-7), -7);
}

TEST(Numeric, DivisionTruncatesTowardZeroAndFailsOnZero)
{
    EXPECT_EQ(num::idiv(7, 2), 3);
    EXPECT_EQ(num::idiv(-7, 2), -3);
    EXPECT_EQ(num::idiv(7, -2), -3);
    EXPECT_THROW(num::idiv(1, 0), DivisionByZeroError);
    EXPECT_THROW(num::idiv(std::numeric_limits<Long>::min(), -1), OverflowError);
    EXPECT_THROW(num::fdiv(1.0, 0.0), DivisionByZeroError);
    EXPECT_EQ(num::floorLong(-0.5), -1);
    // A packed colour never lets a component bleed into its neighbour.
    EXPECT_EQ(num::rgb(300, -5, 128), num::Rgb{255 | (128 << 16)});
}

// One change to each field of the record, and whether an undo shot holds it.
struct FieldChange {
    const char* name;
    std::function<void(ImageParams&)> change;
    bool inShot;
};

const FieldChange kFieldChanges[] = {
    {"pnImageLeft", [](ImageParams& p) { p.pnImageLeft += 15; }, false},
    {"pnImageTop", [](ImageParams& p) { p.pnImageTop += 15; }, false},
    {"pnImageWidth", [](ImageParams& p) { p.pnImageWidth += 15; }, true},
    {"pnImageHeight", [](ImageParams& p) { p.pnImageHeight += 15; }, true},
    {"pnPattern", [](ImageParams& p) { p.pnPattern = kSandglass; }, true},
    {"pnRotation", [](ImageParams& p) { p.pnRotation = -1; }, true},
    {"pnSlantRate", [](ImageParams& p) { p.pnSlantRate = 7; }, true},
    {"pnVerOrgOffset", [](ImageParams& p) { p.pnVerOrgOffset = 7; }, true},
    {"pnHump", [](ImageParams& p) { p.pnHump = 3; }, true},
    {"pnHorRep", [](ImageParams& p) { p.pnHorRep = 9; }, true},
    {"pnVerRep", [](ImageParams& p) { p.pnVerRep = 5; }, true},
    {"pnRainbow", [](ImageParams& p) { p.pnRainbow = 3; }, true},
    {"pnRainbowPalette", [](ImageParams& p) { p.pnRainbowPalette = 0; }, false},
    {"pnRainbowInverse", [](ImageParams& p) { p.pnRainbowInverse = 1; }, false},
    {"plColor", [](ImageParams& p) { p.plColor[1][2] = 1; }, true},
    {"psText", [](ImageParams& p) { p.psText[40] = "x"; }, true},
    {"psTextFont", [](ImageParams& p) { p.psTextFont[40] = "Serif"; }, true},
    {"pnTextSize", [](ImageParams& p) { p.pnTextSize[40] = 7; }, true},
    {"pnTextLeft", [](ImageParams& p) { p.pnTextLeft[40] = 7; }, true},
    {"pnTextTop", [](ImageParams& p) { p.pnTextTop[40] = 7; }, true},
    {"pnTextStyle", [](ImageParams& p) { p.pnTextStyle[40][3] = 1; }, true},
    {"plTextColor", [](ImageParams& p) { p.plTextColor[40][0] = 9; }, true},
    {"pnHighlightOffset", [](ImageParams& p) { p.pnHighlightOffset[4] = 3; }, false},
    {"pnShadowOffset", [](ImageParams& p) { p.pnShadowOffset[4] = 3; }, false},
    {"pnBorderSize", [](ImageParams& p) { p.pnBorderSize[3] = 4; }, true},
    {"plBorderColor", [](ImageParams& p) { p.plBorderColor[3][1] = 4; }, true},
    // Not a field of its own, and not part of a shot.
    {"the fifth style switch", [](ImageParams& p) { p.pnTextStyle[0][4] = 1; }, false},
};

TEST(Record, EveryFieldCountsAndShotsHoldWhatDefinesThePicture)
{
    constexpr std::size_t fields =
        std::tuple_size_v<decltype(recordFields(std::declval<const ImageParams&>()))>;
    ASSERT_EQ(std::size(kFieldChanges), fields + 1) << "one change per field of the record";

    ImageModel m;
    m.mSetDefaults(3);
    m.params.pnImageWidth = 4000;
    m.params.pnImageHeight = 3000;
    const ImageParams base = m.params;
    for (const FieldChange& f : kFieldChanges) {
        SCOPED_TRACE(f.name);
        ImageParams changed = base;
        f.change(changed);
        EXPECT_NE(changed, base) << "equality misses the field";

        // Undo to a state that differs in this field alone.
        UndoHistory h;
        h.mPushShot(changed);
        ImageParams restored = base;
        h.mRestoreShot(restored);
        EXPECT_EQ(restored != base, f.inShot);
    }
}

TEST(Record, PickerTargetGivesTheEditedColour)
{
    ImageModel m;
    m.mSetDefaults(0);
    m.shared.pnColorIndex = 1;
    EXPECT_EQ(&m.targetColour(), &m.params.plColor[1]);
    m.shared.pnColorTarget = ColourTarget::Border;
    m.shared.pnBorderIndex = 3;
    EXPECT_EQ(&m.targetColour(), &m.params.plBorderColor[3]);
    m.shared.pnColorTarget = ColourTarget::TextSlot;
    m.shared.pnTextIndex = 47;
    EXPECT_EQ(&m.targetColour(), &m.params.plTextColor[47]);
    m.shared.pnTextIndex = 99; // held to the last slot, never past the end
    EXPECT_EQ(&m.targetColour(), &m.params.plTextColor[47]);
    // Every preset hands the picker back to the colour boxes.
    m.mSetDefaults(2);
    EXPECT_EQ(m.shared.pnColorTarget, ColourTarget::ColourBox);
}

} // namespace
} // namespace ombrix
