// The sandglass and the crossing pleats: fans of lines through the centre,
// their order, pens, colours and progress.
#include "support/render_fixture.h"

#include <gtest/gtest.h>

using namespace ombrix;
using namespace ombrix::test;

namespace
{

// Checks that band i of a fan is the line k = base + i (step 1): a
// vertical fan joins (L + k, T) to (L + W - k, T + H), a horizontal one
// (L, T + k) to (L + W, T + H - k).
void expectFan(const std::vector<Call>& bands, bool vertical, double L, double T, double W,
               double H, double base)
{
    for (std::size_t i = 0; i < bands.size(); ++i) {
        const double k = base + static_cast<double>(i);
        EXPECT_NEAR(bands[i].x1, vertical ? L + k : L, 1e-4) << i;
        EXPECT_NEAR(bands[i].y1, vertical ? T : T + k, 1e-4) << i;
        EXPECT_NEAR(bands[i].x2, vertical ? L + W - k : L + W, 1e-4) << i;
        EXPECT_NEAR(bands[i].y2, vertical ? T + H : T + H - k, 1e-4) << i;
    }
}

} // namespace

TEST(Fans, SandglassFanRunsAlongTheChosenSide)
{
    // 200 x 100 at (10, 5), hump 10: along the width two vertical fans of
    // 100, along the height two horizontal fans of 50.
    for (Integer rotation : {1, -1}) {
        SCOPED_TRACE(rotation);
        const Recorded r = record(makeParams(kSandglass, 10, rotation), 10, 5, 200, 100);
        const std::size_t n = rotation == 1 ? 101 : 51;
        EXPECT_EQ(briefs(r), (std::vector<Brief>{{2, n, kRed, kGreen}, {2, n, kGreen, kBlue}}));
        const auto segs = r.segments();
        ASSERT_EQ(segs.size(), 2u);
        expectFan(segs[0].bands, rotation == 1, 10, 5, 200, 100, 0);
        expectFan(segs[1].bands, rotation == 1, 10, 5, 200, 100, n - 1.0);
        // No background fill without the first rainbow palette.
        EXPECT_TRUE(r.surface.ofKind(CallKind::FillBox).empty());
    }
}

TEST(Fans, PenWidthIsStepPlusOneAtLeastTwo)
{
    struct Case {
        Integer w;
        Long pen;
    };
    // Hump 0: one segment of the whole width.
    for (const Case c :
         {Case{20, 2}, Case{127, 2}, Case{300, 3}, Case{500, 4}, Case{1000, 8}, Case{16384, 129}}) {
        const Recorded r = record(makeParams(kSandglass, 0), 0, 0, c.w, 50);
        ASSERT_EQ(r.segments().size(), 1u);
        EXPECT_EQ(r.segments()[0].pen, c.pen) << c.w;
        EXPECT_LE(r.bands().size(), 256u);
    }
}

TEST(Fans, SandglassFillsTheWedgesOnlyForTheFirstPalette)
{
    for (Integer rainbow = 0; rainbow <= 4; ++rainbow) {
        ImageParams p = makeParams(kSandglass, 10);
        p.pnRainbow = rainbow;
        const Recorded r = record(p, 10, 5, 200, 100);
        const std::vector<Call> fills = r.surface.ofKind(CallKind::FillBox);
        if (rainbow != 1) {
            EXPECT_TRUE(fills.empty()) << rainbow;
            continue;
        }
        ASSERT_EQ(fills.size(), 1u);
        EXPECT_EQ(r.surface.calls().front().kind, CallKind::FillBox); // before any band
        EXPECT_DOUBLE_EQ(fills[0].x1, 10);
        EXPECT_DOUBLE_EQ(fills[0].y1, 5);
        EXPECT_DOUBLE_EQ(fills[0].x2, 210);
        EXPECT_DOUBLE_EQ(fills[0].y2, 105);
        EXPECT_EQ(fills[0].colour, kBlue);
    }
}

TEST(Fans, SandglassRainbowRunsOverTheFirstSegment)
{
    // The fraction is p / A: at p = 21 of A = 64 the step is 42 (green),
    // not 21 (yellow) as a fraction of the whole width would give.
    ImageParams p = makeParams(kSandglass, 10);
    p.pnRainbow = 1;
    const Recorded r = record(p, 0, 0, 128, 50);
    EXPECT_EQ(briefs(r), (std::vector<Brief>{{-1, 65, kRed}, {-1, 65, kGreen, kBlue}}));
    EXPECT_EQ(r.segments().at(0).bands.at(21).colour, kGreen);
}

TEST(Fans, PleatsDrawFourLoopsInOrder)
{
    // 200 x 100 at (3, 4), hump 10: Ax = Bx = 100, Ay = By = 50.  First
    // loops from colour 0 to 1, second ones from 1 to 2, each over its own
    // length; progress is proportional to the loop lengths.
    const Recorded r = record(makeParams(kCrossingPleats, 10), 3, 4, 200, 100);
    EXPECT_EQ(briefs(r), (std::vector<Brief>{{2, 101, kRed, kGreen},
                                             {2, 51, kRed, kGreen},
                                             {2, 101, kGreen, kBlue},
                                             {2, 51, kGreen, kBlue}}));
    const auto segs = r.segments();
    ASSERT_EQ(segs.size(), 4u);
    expectFan(segs[0].bands, true, 3, 4, 200, 100, 0);
    expectFan(segs[1].bands, false, 3, 4, 200, 100, 0);
    expectFan(segs[2].bands, true, 3, 4, 200, 100, 100);
    expectFan(segs[3].bands, false, 3, 4, 200, 100, 50);
    EXPECT_LE(colourDistance(segs[1].bands[25].colour, num::rgb(128, 128, 0)), 1);

    const std::vector<Single> prog = progressAfterBands(r);
    ASSERT_EQ(prog.size(), 101u + 51u + 101u + 51u);
    const double before[4] = {0, 100, 150, 250};
    std::size_t i = 0;
    for (int loop = 0; loop < 4; ++loop)
        for (std::size_t j = 0; j < segs[loop].bands.size(); ++j, ++i)
            EXPECT_NEAR(prog[i], (before[loop] + j) / 300.0, 1e-6) << "loop " << loop << ", " << j;
    EXPECT_FLOAT_EQ(r.finalProgress, 1.0f);
}

TEST(Fans, PleatsHumpZeroAndTwentyDrawTwoLoops)
{
    const Recorded zero = record(makeParams(kCrossingPleats, 0), 0, 0, 200, 100);
    EXPECT_EQ(briefs(zero), (std::vector<Brief>{{2, 201, kGreen, kBlue}, {2, 101, kGreen, kBlue}}));
    const auto segs = zero.segments();
    ASSERT_EQ(segs.size(), 2u);
    expectFan(segs[0].bands, true, 0, 0, 200, 100, 0);
    expectFan(segs[1].bands, false, 0, 0, 200, 100, 0);

    const Recorded twenty = record(makeParams(kCrossingPleats, 20), 0, 0, 200, 100);
    EXPECT_EQ(briefs(twenty), (std::vector<Brief>{{2, 201, kRed, kGreen}, {2, 101, kRed, kGreen}}));
}

TEST(Fans, PleatsRainbowFractionOfEachFirstLoop)
{
    ImageParams p = makeParams(kCrossingPleats, 20);
    p.pnRainbow = 3;
    const Recorded r = record(p, 0, 0, 128, 64);
    const auto segs = r.segments();
    ASSERT_EQ(segs.size(), 2u);
    // Vertical: p / 128, so band 21 is step 21; horizontal: p / 64, so
    // band 21 is step 42.
    EXPECT_EQ(segs[0].bands[21].colour, num::rgb(255, 128, 0));
    EXPECT_EQ(segs[1].bands[21].colour, num::rgb(255, 255, 0));
}

TEST(Fans, PleatsLargeHumpProductDoesNotOverflow)
{
    // 2000 x 20 = 40000 does not fit 16 bits.  Ax = 2000: step 15 up to
    // 1995, then the closing band at 2000; Ay = 16384: step 128.
    const Recorded r = record(makeParams(kCrossingPleats, 20), 0, 0, 2000, 16384);
    EXPECT_EQ(briefs(r), (std::vector<Brief>{{-1, 135, kRed, kGreen}, {-1, 129, kRed, kGreen}}));
    const auto segs = r.segments();
    ASSERT_EQ(segs.size(), 2u);
    EXPECT_DOUBLE_EQ(segs[0].bands[133].x1, 1995);
    EXPECT_DOUBLE_EQ(segs[0].bands[134].x1, 2000);
    EXPECT_DOUBLE_EQ(segs[1].bands.back().y1, 16384);
}
