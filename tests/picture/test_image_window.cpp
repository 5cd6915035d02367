// SPDX-License-Identifier: GPL-3.0-or-later
// The image window's rules (the size display's text is checked where the
// windows show it): the size label's room, the aspect hint and the room the
// repetitions need.
#include "picture/image_window.h"

#include <gtest/gtest.h>

namespace ombrix
{
namespace
{

TEST(ImageWindowRules, TheSizeLabelNeedsRoom)
{
    EXPECT_TRUE(roomForSizeLabel(200, 80));
    EXPECT_FALSE(roomForSizeLabel(199, 300));
    EXPECT_FALSE(roomForSizeLabel(300, 79));
}

TEST(ImageWindowRules, AspectHintIsDueBeyondFiveToOne)
{
    struct Case {
        Integer pattern;
        int w, h;
        bool due;
    };
    const Case cases[] = {
        {kShadedCircle, 500, 100, false}, // exactly 5: no hint
        {kShadedCircle, 501, 100, true},     {kShadedCircle, 550, 100, true},
        {kShadedCircle, 600, 100, true},     {kShadedCircle, 100, 500, false}, // exactly 0.2
        {kShadedCircle, 100, 501, true},     {kShadedCircle, 100, 100, false},
        {kShadedDiamond, 1000, 3, true},     {kLinearGradient, 600, 100, false},
        {kPlainBackground, 100, 600, false}, {kShadedEllipse, 1, 0, false}, // no height yet
    };
    for (const Case& c : cases)
        EXPECT_EQ(aspectHintDue(c.pattern, c.w, c.h), c.due)
            << kPatternNames[c.pattern] << " " << c.w << "x" << c.h;
}

TEST(ImageWindowRules, EachRepetitionGetsTwelvePixels)
{
    ImageParams p;
    p.pnHorRep = 10;
    p.pnVerRep = 6;
    const PixelSize min = minimumPictureSize(p, 12);
    EXPECT_EQ(min.width, 120);
    EXPECT_EQ(min.height, 72);
    p.pnHorRep = -3; // a damaged file: nothing to make room for
    EXPECT_EQ(minimumPictureSize(p, 12).width, 0);
}

} // namespace
} // namespace ombrix
