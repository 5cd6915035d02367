// The linear gradient: band positions, steps and pens, colours at the
// segment ends, slant and the clipping at the start edge.
#include "support/render_fixture.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace ombrix;
using namespace ombrix::test;

TEST(LinearGradient, StraightBandsCrossTheRectangleAtEachPosition)
{
    // 200 pixels along the gradient, hump 10: two segments of 100 with step
    // 1, drawn at (40, 30) so that the offsets show.  Progress is the
    // band's position over the length.
    for (Integer rotation : {1, -1}) {
        SCOPED_TRACE(rotation);
        const Integer W = rotation == 1 ? 200 : 60, H = rotation == 1 ? 60 : 200;
        const Recorded r = record(makeParams(kLinearGradient, 10, rotation), 40, 30, W, H);
        EXPECT_EQ(briefs(r), (std::vector<Brief>{{2, 101, kRed, kGreen}, {2, 101, kGreen, kBlue}}));
        const std::vector<Call> b = r.bands();
        const std::vector<Single> prog = progressAfterBands(r);
        ASSERT_EQ(b.size(), 202u);
        for (std::size_t i = 0; i < b.size(); ++i) {
            const double pos = i <= 100 ? i : i - 1.0; // the second segment starts at 100 again
            EXPECT_EQ(b[i].kind, CallKind::Line);
            if (rotation == 1) {
                EXPECT_DOUBLE_EQ(b[i].x1, 40 + pos) << i;
                EXPECT_DOUBLE_EQ(b[i].x2, 40 + pos) << i;
                EXPECT_DOUBLE_EQ(b[i].y1, 30) << i;
                EXPECT_DOUBLE_EQ(b[i].y2, 90) << i;
            } else {
                EXPECT_DOUBLE_EQ(b[i].x1, 40) << i;
                EXPECT_DOUBLE_EQ(b[i].x2, 100) << i;
                EXPECT_DOUBLE_EQ(b[i].y1, 30 + pos) << i;
                EXPECT_DOUBLE_EQ(b[i].y2, 30 + pos) << i;
            }
            EXPECT_NEAR(prog[i], pos / 200, 1e-6) << i;
        }
        EXPECT_LE(colourDistance(b[50].colour, num::rgb(128, 128, 0)), 1);
    }
}

TEST(LinearGradient, StepPenAndBandCountFollowTheLength)
{
    // One segment over the whole width (hump 0: colour 1 to 2; hump 20:
    // colour 0 to 1).  At most 128 steps: the step is round(S) \ 128 from
    // 128 pixels on, the pen S / 128 but at least 2, and when the step does
    // not divide the length one more band closes the segment at its end.
    struct Case {
        Integer hump, w;
        Long step;
        Brief want;
    };
    const Case cases[] = {
        {0, 10, 1, {2, 11, kGreen, kBlue}},
        {20, 100, 1, {2, 101, kRed, kGreen}},
        {0, 127, 1, {2, 128}},
        {0, 128, 1, {2, 129}},
        {0, 255, 1, {2, 256}},
        {0, 256, 2, {2, 129}},
        {0, 300, 2, {2, 151}},
        {0, 383, 2, {2, 193}},
        {0, 512, 4, {4, 129}},
        {0, 639, 4, {4, 161}},
        {0, 1000, 7, {7, 144, kGreen, kBlue}},
        {0, 2000, 15, {15, 135}},
        {0, 16384, 128, {128, 129}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "hump " << c.hump << ", width " << c.w);
        const Recorded r = record(makeParams(kLinearGradient, c.hump), 0, 0, c.w, 10);
        EXPECT_EQ(briefs(r), std::vector<Brief>{c.want});
        const std::vector<Call> b = r.bands();
        ASSERT_FALSE(b.empty());
        for (std::size_t i = 0; i + 1 < b.size(); ++i)
            ASSERT_DOUBLE_EQ(b[i].x1, static_cast<double>(c.step * static_cast<Long>(i))) << i;
        EXPECT_DOUBLE_EQ(b.back().x1, c.w);
    }
}

TEST(LinearGradient, SecondSegmentStartsAtTheUnroundedMiddle)
{
    // W = 205, hump 10: A = 102.5, so the second segment's bands sit at
    // 102.5 + j, not at a rounded position.
    const Recorded r = record(makeParams(kLinearGradient, 10), 0, 0, 205, 10);
    const auto segs = r.segments();
    ASSERT_EQ(segs.size(), 2u);
    EXPECT_DOUBLE_EQ(segs[0].bands.back().x1, 102); // round(102.5) = 102
    EXPECT_DOUBLE_EQ(segs[1].bands.front().x1, 102.5);
    EXPECT_DOUBLE_EQ(segs[1].bands[1].x1, 103.5);
}

TEST(LinearGradient, SlantOffsetGrowsWithTheExtentNotTheCrossSize)
{
    // Slant 3 on a width of 200: D = 60 whatever the height, so the bands
    // run from 0 to Len = 260 (hump 0: one segment, step 2).
    for (Integer h : {50, 500}) {
        const Recorded r = record(makeParams(kLinearGradient, 0, 1, 3), 0, 0, 200, h);
        const std::vector<Call> b = r.bands();
        ASSERT_EQ(b.size(), 131u) << h;
        EXPECT_DOUBLE_EQ(b.back().x1, 260);
        EXPECT_NEAR(b.back().x2, 200, 1e-4); // L + p - D
        EXPECT_EQ(r.segments()[0].pen, 2);
    }
}

TEST(LinearGradient, SlantedBandsKeepTheirLengthAndAreClippedAtTheStartEdge)
{
    // A rectangle at (30, 20), 200 x 100; slant magnitude 2.  Band p joins
    // the two sides the gradient runs along, its ends D apart along it.
    // The bands keep their full length and the surface clips them at the
    // start edge, so that a thick pen is cut straight along the edge
    // (shortened bands left notches there).
    const double L = 30, T = 20, W = 200, H = 100;
    for (Integer rotation : {1, -1}) {
        for (Integer slant : {-2, 2}) {
            SCOPED_TRACE(testing::Message() << "rotation " << rotation << " slant " << slant);
            const Recorded r =
                record(makeParams(kLinearGradient, 0, rotation, slant), 30, 20, 200, 100);
            const bool alongWidth = rotation == 1;
            const double X = alongWidth ? W : H, D = X * 0.2;

            // The clip: from the start edge on, open on every other side, in
            // force from before the first band until after the last.
            const std::vector<Call>& calls = r.surface.calls();
            ASSERT_GE(calls.size(), 2u);
            const Call& clip = calls.front();
            ASSERT_EQ(clip.kind, CallKind::SetClip);
            EXPECT_EQ(calls.back().kind, CallKind::ClearClip);
            EXPECT_DOUBLE_EQ(alongWidth ? clip.x1 : clip.y1, alongWidth ? L : T);
            EXPECT_LE(alongWidth ? clip.y1 : clip.x1, (alongWidth ? T : L) - 1000);
            EXPECT_GE(std::min(clip.x2, clip.y2), L + W + X + D + 1000);

            // Len = X + D is below 256, so the step is one pixel.
            const std::vector<Call> b = r.bands();
            ASSERT_EQ(b.size(), static_cast<std::size_t>(X + D + 1));
            for (std::size_t i = 0; i < b.size(); ++i) {
                const double p = static_cast<double>(i);
                // The end on the top (or left) side and the one on the
                // opposite side lie at p and p - D; which one lags depends on
                // the slant's sign and the direction.
                const bool firstLags = alongWidth == (slant < 0);
                const double first = firstLags ? p - D : p, second = firstLags ? p : p - D;
                EXPECT_NEAR(b[i].x1, alongWidth ? L + first : L, 1e-4) << i;
                EXPECT_NEAR(b[i].y1, alongWidth ? T : T + first, 1e-4) << i;
                EXPECT_NEAR(b[i].x2, alongWidth ? L + second : L + W, 1e-4) << i;
                EXPECT_NEAR(b[i].y2, alongWidth ? T + H : T + second, 1e-4) << i;
            }
        }
    }
}

TEST(LinearGradient, LargeSlantedImagesDoNotOverflow)
{
    // 16384 x 16384 with slant 10 would overflow 16 bits; in 32 bits the
    // gradient is 32768 long and both segments are drawn in full.
    for (Integer rotation : {1, -1}) {
        for (Integer slant : {10, -10}) {
            SCOPED_TRACE(testing::Message() << "rotation " << rotation << " slant " << slant);
            const Recorded r =
                record(makeParams(kLinearGradient, 10, rotation, slant), 0, 0, 16384, 16384);
            EXPECT_EQ(briefs(r),
                      (std::vector<Brief>{{128, 129, kRed, kGreen}, {128, 129, kGreen, kBlue}}));
            const Call last = r.bands().back();
            EXPECT_DOUBLE_EQ(
                rotation == 1 ? std::max(last.x1, last.x2) : std::max(last.y1, last.y2), 32768);
        }
    }
}
