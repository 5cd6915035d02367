// The sandglass and the crossing pleats: fans of lines through the centre,
// their order, pens, colours and progress.
#include "support/render_fixture.h"

#include <gtest/gtest.h>

using namespace ombrix;
using namespace ombrix::test;

namespace
{

// Checks that band i of a vertical fan is the line k = base + i (step 1).
void expectVerticalFan(const std::vector<Call>& bands, double L, double T, double W, double H,
                       double base)
{
    for (std::size_t i = 0; i < bands.size(); ++i) {
        const double k = base + static_cast<double>(i);
        EXPECT_NEAR(bands[i].x1, L + k, 1e-4) << i;
        EXPECT_DOUBLE_EQ(bands[i].y1, T) << i;
        EXPECT_NEAR(bands[i].x2, L + W - k, 1e-4) << i;
        EXPECT_DOUBLE_EQ(bands[i].y2, T + H) << i;
    }
}

void expectHorizontalFan(const std::vector<Call>& bands, double L, double T, double W, double H,
                         double base)
{
    for (std::size_t i = 0; i < bands.size(); ++i) {
        const double k = base + static_cast<double>(i);
        EXPECT_DOUBLE_EQ(bands[i].x1, L) << i;
        EXPECT_NEAR(bands[i].y1, T + k, 1e-4) << i;
        EXPECT_DOUBLE_EQ(bands[i].x2, L + W) << i;
        EXPECT_NEAR(bands[i].y2, T + H - k, 1e-4) << i;
    }
}

} // namespace

TEST(Fans, SandglassVerticalFanAlongTheWidth)
{
    const Recorded r = record(makeParams(kSandglass, 10), 10, 5, 200, 100);
    const auto segs = r.segments();
    ASSERT_EQ(segs.size(), 2u);
    ASSERT_EQ(segs[0].bands.size(), 101u);
    ASSERT_EQ(segs[1].bands.size(), 101u);
    expectVerticalFan(segs[0].bands, 10, 5, 200, 100, 0);
    expectVerticalFan(segs[1].bands, 10, 5, 200, 100, 100);
    EXPECT_EQ(segs[0].pen, 2); // 100 / 100 + 1
    EXPECT_EQ(segs[1].pen, 2);
    EXPECT_EQ(segs[0].bands.front().colour, kRed);
    EXPECT_EQ(segs[0].bands.back().colour, kGreen);
    EXPECT_EQ(segs[1].bands.front().colour, kGreen);
    EXPECT_EQ(segs[1].bands.back().colour, kBlue);
    // No background fill without the first rainbow palette.
    EXPECT_TRUE(r.surface.ofKind(CallKind::FillBox).empty());
}

TEST(Fans, SandglassHorizontalFanForRotationMinusOne)
{
    const Recorded r = record(makeParams(kSandglass, 10, -1), 10, 5, 200, 100);
    const auto segs = r.segments();
    ASSERT_EQ(segs.size(), 2u);
    ASSERT_EQ(segs[0].bands.size(), 51u); // the extent is the height
    ASSERT_EQ(segs[1].bands.size(), 51u);
    expectHorizontalFan(segs[0].bands, 10, 5, 200, 100, 0);
    expectHorizontalFan(segs[1].bands, 10, 5, 200, 100, 50);
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
    const auto segs = r.segments();
    ASSERT_EQ(segs.size(), 2u);
    ASSERT_EQ(segs[0].bands.size(), 65u);
    EXPECT_EQ(segs[0].bands[0].colour, kRed);
    EXPECT_EQ(segs[0].bands[21].colour, kGreen);
    EXPECT_EQ(segs[1].bands.front().colour, kGreen); // the ramp again
    EXPECT_EQ(segs[1].bands.back().colour, kBlue);
}

TEST(Fans, PleatsDrawFourLoopsInOrder)
{
    // 200 x 100, hump 10: Ax = Bx = 100, Ay = By = 50.
    const Recorded r = record(makeParams(kCrossingPleats, 10), 3, 4, 200, 100);
    const auto segs = r.segments();
    ASSERT_EQ(segs.size(), 4u);
    ASSERT_EQ(segs[0].bands.size(), 101u);
    ASSERT_EQ(segs[1].bands.size(), 51u);
    ASSERT_EQ(segs[2].bands.size(), 101u);
    ASSERT_EQ(segs[3].bands.size(), 51u);
    expectVerticalFan(segs[0].bands, 3, 4, 200, 100, 0);
    expectHorizontalFan(segs[1].bands, 3, 4, 200, 100, 0);
    expectVerticalFan(segs[2].bands, 3, 4, 200, 100, 100);
    expectHorizontalFan(segs[3].bands, 3, 4, 200, 100, 50);
    for (const RecordedSegment& s : segs)
        EXPECT_EQ(s.pen, 2);
    // First segments from colour 0 to 1, second ones from 1 to 2, each over
    // its own length.
    EXPECT_EQ(segs[0].bands.front().colour, kRed);
    EXPECT_EQ(segs[0].bands.back().colour, kGreen);
    EXPECT_EQ(segs[1].bands.front().colour, kRed);
    EXPECT_EQ(segs[1].bands.back().colour, kGreen);
    EXPECT_LE(colourDistance(segs[1].bands[25].colour, rgbOf(128, 128, 0)), 1);
    EXPECT_EQ(segs[2].bands.front().colour, kGreen);
    EXPECT_EQ(segs[2].bands.back().colour, kBlue);
    EXPECT_EQ(segs[3].bands.front().colour, kGreen);
    EXPECT_EQ(segs[3].bands.back().colour, kBlue);
}

TEST(Fans, PleatsProgressIsProportionalToTheLoopLengths)
{
    const Recorded r = record(makeParams(kCrossingPleats, 10), 0, 0, 200, 100);
    const std::vector<Single> prog = progressAfterBands(r);
    ASSERT_EQ(prog.size(), 101u + 51u + 101u + 51u);
    std::size_t i = 0;
    for (int p = 0; p <= 100; ++p, ++i)
        EXPECT_NEAR(prog[i], p / 300.0, 1e-6) << "loop 1, " << p;
    for (int p = 0; p <= 50; ++p, ++i)
        EXPECT_NEAR(prog[i], (100 + p) / 300.0, 1e-6) << "loop 2, " << p;
    for (int j = 0; j <= 100; ++j, ++i)
        EXPECT_NEAR(prog[i], (150 + j) / 300.0, 1e-6) << "loop 3, " << j;
    for (int j = 0; j <= 50; ++j, ++i)
        EXPECT_NEAR(prog[i], (250 + j) / 300.0, 1e-6) << "loop 4, " << j;
    EXPECT_FLOAT_EQ(r.finalProgress, 1.0f);
}

TEST(Fans, PleatsHumpZeroAndTwentyDrawTwoLoops)
{
    const Recorded zero = record(makeParams(kCrossingPleats, 0), 0, 0, 200, 100);
    auto segs = zero.segments();
    ASSERT_EQ(segs.size(), 2u);
    expectVerticalFan(segs[0].bands, 0, 0, 200, 100, 0);
    expectHorizontalFan(segs[1].bands, 0, 0, 200, 100, 0);
    EXPECT_EQ(segs[0].bands.front().colour, kGreen);
    EXPECT_EQ(segs[1].bands.back().colour, kBlue);

    const Recorded twenty = record(makeParams(kCrossingPleats, 20), 0, 0, 200, 100);
    segs = twenty.segments();
    ASSERT_EQ(segs.size(), 2u);
    EXPECT_EQ(segs[0].bands.size(), 201u);
    EXPECT_EQ(segs[1].bands.size(), 101u);
    EXPECT_EQ(segs[0].bands.front().colour, kRed);
    EXPECT_EQ(segs[1].bands.back().colour, kGreen);
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
    EXPECT_EQ(segs[0].bands[21].colour, rgbOf(255, 128, 0));
    EXPECT_EQ(segs[1].bands[21].colour, rgbOf(255, 255, 0));
}

TEST(Fans, PleatsLargeHumpProductDoesNotOverflow)
{
    // 2000 x 20 = 40000 does not fit 16 bits.
    const ImageParams p = makeParams(kCrossingPleats, 20);
    RenderContext ctx(p);
    RecordingSurface s(2000, 16384);
    ASSERT_NO_THROW(mDrawPleats(ctx, s, 0, 0, 2000, 16384));
    const auto segs = s.segments();
    ASSERT_EQ(segs.size(), 2u);
    // Ax = 2000: step 15 up to 1995, then the closing band at 2000.
    ASSERT_EQ(segs[0].bands.size(), 135u);
    EXPECT_DOUBLE_EQ(segs[0].bands[133].x1, 1995);
    EXPECT_DOUBLE_EQ(segs[0].bands[134].x1, 2000);
    EXPECT_EQ(segs[0].bands.back().colour, kGreen);
    ASSERT_EQ(segs[1].bands.size(), 129u); // Ay = 16384: step 128
    EXPECT_DOUBLE_EQ(segs[1].bands.back().y1, 16384);
}
