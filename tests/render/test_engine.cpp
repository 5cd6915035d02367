// The render dispatch and what every renderer shares: the choice of
// renderer, quiet ends on errors, the band limit per segment, the colour
// ramp, the rainbow palettes and the progress report.
#include "render/engine.h"
#include "support/recording_surface.h"
#include "support/render_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

using namespace ombrix;
using namespace ombrix::test;

namespace
{

Recorded dispatch(const ImageParams& p, Integer L, Integer T, Integer W, Integer H)
{
    Recorded r;
    RenderContext ctx(p);
    r.surface.watchProgress(&ctx.pfProgress);
    mDrawPattern(ctx, r.surface, L, T, W, H);
    r.finalProgress = ctx.pfProgress;
    return r;
}

} // namespace

// ---------------------------------------------------------------------------
// Render dispatch

TEST(RenderDispatch, EachIndexReachesItsRenderer)
{
    // The first figure kind and whether a colour-2 background comes first
    // tell the renderers apart; the clearcut variants draw one segment.
    struct Expect {
        Integer pattern;
        CallKind band;
        bool filledFirst;
        std::size_t segments;
    };
    const Expect table[] = {
        {kLinearGradient, CallKind::Line, false, 2},
        {kShadedEllipse, CallKind::Ellipse, true, 2},
        {kClearcutEllipse, CallKind::Ellipse, true, 1},
        {kShadedRectangle, CallKind::Box, false, 2},
        {kCrossingPleats, CallKind::Line, false, 4},
        {kShadedCircle, CallKind::Circle, true, 2},
        {kClearcutCircle, CallKind::Circle, true, 1},
        {kSandglass, CallKind::Line, false, 2},
        {kShadedSemicircle, CallKind::Arc, false, 2},
        {kShadedDiamond, CallKind::Line, true, 2},
        {kClearcutDiamond, CallKind::Line, true, 1},
    };
    for (const Expect& e : table) {
        SCOPED_TRACE(kPatternNames[e.pattern]);
        const Recorded r = dispatch(makeParams(e.pattern, 10), 0, 0, 200, 100);
        ASSERT_FALSE(r.surface.calls().empty());
        EXPECT_EQ(r.surface.calls().front().kind == CallKind::FillBox, e.filledFirst);
        const std::vector<Call> bands = r.bands();
        ASSERT_FALSE(bands.empty());
        for (const Call& c : bands)
            EXPECT_EQ(c.kind, e.band) << callKindName(c.kind);
        EXPECT_EQ(r.segments().size(), e.segments);
        // The dispatch never clears the surface itself.
        EXPECT_TRUE(r.surface.ofKind(CallKind::Cls).empty());
        EXPECT_TRUE(r.surface.ofKind(CallKind::SetBackColor).empty());
    }
}

TEST(RenderDispatch, PlainBackgroundSetsOnlyTheBackColour)
{
    for (Integer hump : {0, 7, 20}) {
        for (Integer rainbow : {0, 3}) {
            ImageParams p = makeParams(kPlainBackground, hump);
            p.pnRainbow = rainbow;
            p.plColor[2] = {12, 34, 56};
            const Recorded r = dispatch(p, 17, 9, 40, 30);
            ASSERT_EQ(r.surface.calls().size(), 1u);
            EXPECT_EQ(r.surface.calls()[0].kind, CallKind::SetBackColor);
            EXPECT_EQ(r.surface.calls()[0].colour, rgbOf(12, 34, 56));
        }
    }
}

TEST(RenderDispatch, OutOfRangePatternDrawsNothing)
{
    for (Integer pattern : {-1, 12, 13, 100, -32768, 32767}) {
        const Recorded r = dispatch(makeParams(pattern, 10), 0, 0, 200, 100);
        EXPECT_TRUE(r.surface.calls().empty()) << pattern;
    }
}

TEST(RenderDispatch, ErrorInsideRendererEndsItQuietly)
{
    // A surface call that fails half-way ends the renderer; the dispatch
    // returns normally and the calls made before the failure stay.
    for (Integer pattern = 0; pattern < kPatterns; ++pattern) {
        SCOPED_TRACE(kPatternNames[pattern]);
        const ImageParams p = makeParams(pattern, 10, 1, 3, -2);
        const Recorded full = dispatch(p, 5, 5, 200, 120);
        const std::size_t total = full.surface.callCount();
        ASSERT_GT(total, 0u);
        for (std::size_t failAt : {std::size_t{0}, total / 2, total - 1}) {
            RecordingSurface s(200, 120);
            s.failFromCall(failAt);
            RenderContext ctx(p);
            EXPECT_NO_THROW(mDrawPattern(ctx, s, 5, 5, 200, 120));
            // A clip set for the drawing is lifted also when it fails.
            EXPECT_FALSE(s.clipped());
            std::size_t made = s.calls().size();
            if (made > 0 && s.calls().back().kind == CallKind::ClearClip)
                --made;
            ASSERT_EQ(made, failAt);
            for (std::size_t i = 0; i < failAt; ++i) {
                EXPECT_EQ(s.calls()[i].kind, full.surface.calls()[i].kind);
                EXPECT_EQ(s.calls()[i].colour, full.surface.calls()[i].colour);
                EXPECT_DOUBLE_EQ(s.calls()[i].x1, full.surface.calls()[i].x1);
            }
        }
    }
}

TEST(RenderDispatch, ArithmeticErrorEndsRendererQuietly)
{
    // A zero width divides by zero in the ellipse, rectangle and diamond
    // (H / W); no pattern lets an error out of the dispatch.
    for (Integer pattern = 0; pattern < kPatterns; ++pattern) {
        for (Integer w : {0, 1}) {
            for (Integer h : {0, 1}) {
                RecordingSurface s(10, 10);
                const ImageParams params = makeParams(pattern, 10, 1, 4, 4);
                RenderContext ctx(params);
                EXPECT_NO_THROW(mDrawPattern(ctx, s, 0, 0, w, h)) << pattern;
            }
        }
    }
    // The renderer itself does raise it, before drawing anything.
    RecordingSurface s(10, 10);
    const ImageParams params = makeParams(kShadedEllipse, 10);
    RenderContext ctx(params);
    EXPECT_THROW(mDrawEllipse(ctx, s, 0, 0, 0, 50), ArithmeticError);
    EXPECT_TRUE(s.calls().empty());
}

TEST(RenderDispatch, EmptySegmentIsSkippedAndTheRestDrawn)
{
    // Hump 1 on a 9-pixel linear gradient: the first segment is 0.45 pixels
    // long and has no bands; the second is still drawn in full.
    const Recorded lin = record(makeParams(kLinearGradient, 1), 0, 0, 9, 20);
    ASSERT_EQ(lin.segments().size(), 1u);
    const std::vector<Call> bands = lin.segments()[0].bands;
    ASSERT_EQ(bands.size(), 10u); // round(8.55) = 9: positions 0..9
    EXPECT_NEAR(bands.front().x1, 0.45, 1e-6);
    EXPECT_EQ(bands.front().colour, kGreen);
    EXPECT_EQ(bands.back().colour, kBlue);

    // Crossing pleats with hump 1 on a 9-pixel-high area: the horizontal
    // first-segment fan is skipped, the three other loops are drawn.
    const Recorded pl = record(makeParams(kCrossingPleats, 1), 0, 0, 100, 9);
    const auto segs = pl.segments();
    ASSERT_EQ(segs.size(), 3u);
    EXPECT_EQ(segs[0].bands.size(), 6u);  // Ax = 5
    EXPECT_EQ(segs[1].bands.size(), 96u); // Bx = 95
    EXPECT_EQ(segs[2].bands.size(), 10u); // By = 8.55
    EXPECT_NEAR(segs[2].bands.front().y1, 0.45, 1e-6);

    // A circle whose first segment is 0.45 pixels still gets its rings.
    const Recorded ci = record(makeParams(kShadedCircle, 1), 0, 0, 18, 18);
    ASSERT_EQ(ci.segments().size(), 1u);
    EXPECT_EQ(ci.segments()[0].bands.size(), 10u);
    EXPECT_NEAR(ci.segments()[0].bands.front().r, 0.45, 1e-6);
}

TEST(RenderDispatch, NoSegmentEverExceeds256Figures)
{
    // Every renderer, called directly so that an overflow would show, at
    // sizes up to 16384 x 16384, with every hump and a sample of sliders.
    struct Size {
        Integer w, h;
    };
    const Size sizes[] = {{1, 1},      {3, 2},      {127, 255},     {256, 129},   {4000, 2500},
                          {16384, 64}, {64, 16384}, {16384, 16384}, {16383, 9999}};
    const Integer sliders[] = {-10, -3, 0, 4, 10};
    std::size_t drawings = 0;
    for (Integer pattern = 0; pattern < kPatterns; ++pattern) {
        const bool usesSlant = pattern != kCrossingPleats && pattern != kSandglass &&
                               pattern != kShadedSemicircle && pattern != kPlainBackground;
        const bool usesVertical = usesSlant && pattern != kLinearGradient;
        for (const Size& sz : sizes) {
            for (Integer hump = 0; hump <= 20; ++hump) {
                for (Integer rotation : {1, -1}) {
                    for (Integer slant : sliders) {
                        if (!usesSlant && slant != 0)
                            continue;
                        for (Integer ver : sliders) {
                            if (!usesVertical && ver != 0)
                                continue;
                            ImageParams p = makeParams(pattern, hump, rotation, slant, ver);
                            p.pnRainbow = static_cast<Integer>(hump % 5);
                            RecordingSurface s(sz.w, sz.h);
                            s.setKeepCalls(false);
                            RenderContext ctx(p);
                            ctx.pbFullSize = true;
                            ++drawings;
                            try {
                                callRenderer(ctx, s, 0, 0, sz.w, sz.h);
                            } catch (const std::exception& e) {
                                ADD_FAILURE()
                                    << kPatternNames[pattern] << " " << sz.w << "x" << sz.h
                                    << " hump " << hump << " rotation " << rotation << " sliders "
                                    << slant << "," << ver << ": " << e.what();
                                continue;
                            }
                            if (s.maxBandsPerPen() > 256 || s.sawNonFinite())
                                ADD_FAILURE()
                                    << kPatternNames[pattern] << " " << sz.w << "x" << sz.h
                                    << " hump " << hump << " sliders " << slant << "," << ver
                                    << ": " << s.maxBandsPerPen() << " figures";
                        }
                    }
                }
            }
        }
    }
    EXPECT_GT(drawings, 10000u);
}

TEST(RenderDispatch, LongSegmentsUseTheirWholeBudget)
{
    // Between 129 and 256 bands for a segment of 128 pixels or more: the
    // limit is reached, not merely respected.
    for (Integer w : {128, 255, 256, 383, 16384}) {
        const Recorded r = record(makeParams(kLinearGradient, 0), 0, 0, w, 10);
        ASSERT_EQ(r.segments().size(), 1u);
        const std::size_t n = r.segments()[0].bands.size();
        EXPECT_GE(n, 129u) << w;
        EXPECT_LE(n, 256u) << w;
    }
    const Recorded r255 = record(makeParams(kLinearGradient, 0), 0, 0, 255, 10);
    EXPECT_EQ(r255.segments()[0].bands.size(), 256u);
    // 383 pixels: step 2 up to 382, and the band at 383 that closes the
    // segment.
    const Recorded r383 = record(makeParams(kLinearGradient, 0), 0, 0, 383, 10);
    const std::vector<Call> b = r383.bands();
    ASSERT_EQ(b.size(), 193u);
    EXPECT_DOUBLE_EQ(b[191].x1, 382);
    EXPECT_DOUBLE_EQ(b[192].x1, 383);
}

// ---------------------------------------------------------------------------
// Colour ramp

TEST(ColourRamp, OvershootByRoundingStaysInRange)
{
    // W = 199, hump 10: both segments are 99.5 long but run to position
    // round(99.5) = 100, one step past their end: 100 x 255 / 99.5 = 256.3.
    ImageParams p = makeParams(kLinearGradient, 10);
    p.plColor = {Colour{255, 0, 7}, Colour{0, 255, 7}, Colour{255, 0, 7}};
    const Recorded r = record(p, 0, 0, 199, 10);
    const auto segs = r.segments();
    ASSERT_EQ(segs.size(), 2u);
    ASSERT_EQ(segs[0].bands.size(), 101u);
    EXPECT_EQ(segs[0].bands.back().colour, rgbOf(0, 255, 7));
    EXPECT_EQ(segs[1].bands.back().colour, rgbOf(255, 0, 7));
    for (const Call& c : r.bands()) {
        EXPECT_EQ(num::blueOf(c.colour), 7) << RgbText{c.colour};
        EXPECT_EQ(num::redOf(c.colour) + num::greenOf(c.colour) <= 256, true) << RgbText{c.colour};
    }
}

TEST(ColourRamp, IncrementsAreTakenPerSegment)
{
    // Hump 5 on 200 pixels: the first segment is 50 long, the second 150,
    // and each spreads its own two colours over its own length.
    const Recorded r = record(makeParams(kLinearGradient, 5), 0, 0, 200, 10);
    const auto segs = r.segments();
    ASSERT_EQ(segs.size(), 2u);
    ASSERT_EQ(segs[0].bands.size(), 51u);
    ASSERT_EQ(segs[1].bands.size(), 151u);
    EXPECT_EQ(segs[0].bands[0].colour, kRed);
    EXPECT_EQ(segs[0].bands[50].colour, kGreen);
    EXPECT_EQ(segs[0].bands[10].colour, rgbOf(204, 51, 0)); // 10 x 255 / 50
    EXPECT_EQ(segs[1].bands[0].colour, kGreen);
    EXPECT_EQ(segs[1].bands[30].colour, rgbOf(0, 204, 51)); // 30 x 255 / 150
    EXPECT_EQ(segs[1].bands[150].colour, kBlue);
}

TEST(ColourRamp, HalvesRoundToEven)
{
    // 200 over 160 pixels is 1.25 per pixel: positions 2, 6 and 10 give
    // exactly 2.5, 7.5 and 12.5.
    ImageParams p = makeParams(kLinearGradient, 10);
    p.plColor = {Colour{0, 0, 0}, Colour{200, 0, 0}, Colour{0, 0, 0}};
    const Recorded r = record(p, 0, 0, 320, 10);
    const std::vector<Call> first = r.segments().at(0).bands;
    ASSERT_EQ(first.size(), 161u);
    EXPECT_EQ(num::redOf(first[2].colour), 2);
    EXPECT_EQ(num::redOf(first[6].colour), 8);
    EXPECT_EQ(num::redOf(first[10].colour), 12);
    EXPECT_EQ(num::redOf(first[3].colour), 4); // 3.75
}

TEST(ColourRamp, ComponentsAreIndependent)
{
    // Each channel runs on its own increment, up or down.
    ImageParams p = makeParams(kLinearGradient, 20);
    p.plColor = {Colour{10, 200, 100}, Colour{110, 0, 100}, Colour{0, 0, 0}};
    const Recorded r = record(p, 0, 0, 100, 10);
    const std::vector<Call> b = r.segments().at(0).bands;
    ASSERT_EQ(b.size(), 101u);
    EXPECT_EQ(b[0].colour, rgbOf(10, 200, 100));
    EXPECT_EQ(b[50].colour, rgbOf(60, 100, 100));
    EXPECT_EQ(b[100].colour, rgbOf(110, 0, 100));
}

// ---------------------------------------------------------------------------
// Rainbow palettes

namespace
{

num::Rgb rainbowAt(Integer mode, int q, num::Rgb previous = 0)
{
    Long r = num::redOf(previous), g = num::greenOf(previous), b = num::blueOf(previous);
    mRainbowColor(mode, static_cast<Single>(q / 128.0), r, g, b);
    return num::rgb(r, g, b);
}

std::array<num::Rgb, 6> stops(Integer mode)
{
    std::array<num::Rgb, 6> out{};
    for (int k = 0; k < 6; ++k)
        out[k] = rainbowAt(mode, 21 * k);
    return out;
}

} // namespace

TEST(Rainbow, ModeOneRunsThroughTheFirstPalette)
{
    const std::array<num::Rgb, 6> want = {rgbOf(255, 0, 0), rgbOf(255, 255, 0),
                                          rgbOf(0, 255, 0), rgbOf(0, 255, 255),
                                          rgbOf(0, 0, 255), rgbOf(255, 0, 255)};
    EXPECT_EQ(stops(1), want);
    // Between the stops: 10 of 21 steps from red to yellow.
    EXPECT_EQ(rainbowAt(1, 10), rgbOf(255, 121, 0));
    // The last step before the palette ends: nearly back at red.
    EXPECT_EQ(rainbowAt(1, 125), rgbOf(255, 0, 12));
}

TEST(Rainbow, ModeTwoRunsBackwardsFromRedThroughMagenta)
{
    // red, magenta, blue, cyan, green, yellow and towards red again.
    const std::array<num::Rgb, 6> want = {rgbOf(255, 0, 0), rgbOf(255, 0, 255),
                                          rgbOf(0, 0, 255), rgbOf(0, 255, 255),
                                          rgbOf(0, 255, 0), rgbOf(255, 255, 0)};
    EXPECT_EQ(stops(2), want);
    EXPECT_EQ(rainbowAt(2, 125), rgbOf(255, 12, 0));
}

TEST(Rainbow, ModeThreeRunsThroughTheSecondPalette)
{
    const std::array<num::Rgb, 6> want = {rgbOf(255, 0, 0), rgbOf(255, 128, 0), rgbOf(255, 255, 0),
                                          rgbOf(0, 128, 0), rgbOf(0, 0, 255),   rgbOf(0, 0, 128)};
    EXPECT_EQ(stops(3), want);
    EXPECT_EQ(rainbowAt(3, 125), rgbOf(122, 0, 128)); // towards purple
}

TEST(Rainbow, ModeFourStartsAtPurpleAndEndsAtRed)
{
    const std::array<num::Rgb, 6> want = {rgbOf(128, 0, 128), rgbOf(0, 0, 128),
                                          rgbOf(0, 0, 255),   rgbOf(0, 128, 0),
                                          rgbOf(255, 255, 0), rgbOf(255, 128, 0)};
    EXPECT_EQ(stops(4), want);
    EXPECT_EQ(rainbowAt(4, 125), rgbOf(255, 6, 0));
}

TEST(Rainbow, StepsOutsideThePaletteKeepThePreviousColour)
{
    const num::Rgb previous = rgbOf(11, 22, 33);
    for (Integer mode = 1; mode <= 4; ++mode) {
        for (int q : {126, 127, 128, 200, -1, -13})
            EXPECT_EQ(rainbowAt(mode, q, previous), previous) << mode << " " << q;
        EXPECT_NE(rainbowAt(mode, 125, previous), previous);
        EXPECT_NE(rainbowAt(mode, 0, previous), previous);
    }
}

TEST(Rainbow, LinearGradientSpreadsThePaletteOverTheWholeLength)
{
    // Hump 20 on 128 pixels: fraction p / 128, so the band at p is step p.
    ImageParams p = makeParams(kLinearGradient, 20);
    p.pnRainbow = 1;
    const Recorded r = record(p, 0, 0, 128, 10);
    const std::vector<Call> b = r.segments().at(0).bands;
    ASSERT_EQ(b.size(), 129u);
    EXPECT_EQ(b[0].colour, kRed);
    EXPECT_EQ(b[21].colour, rgbOf(255, 255, 0));
    EXPECT_EQ(b[84].colour, kBlue);
    EXPECT_EQ(b[126].colour, b[125].colour);
    EXPECT_EQ(b[128].colour, b[125].colour);
}

TEST(Rainbow, CoversOnlyTheFirstSegment)
{
    // Hump 10 on 256 pixels: the rainbow reaches half the palette at the
    // middle colour's position; the second segment is the plain ramp.
    ImageParams p = makeParams(kLinearGradient, 10);
    p.pnRainbow = 1;
    const Recorded r = record(p, 0, 0, 256, 10);
    const auto segs = r.segments();
    ASSERT_EQ(segs.size(), 2u);
    EXPECT_EQ(segs[0].bands.back().colour, rainbowAt(1, 64));
    EXPECT_EQ(segs[1].bands.front().colour, kGreen);
    EXPECT_EQ(segs[1].bands.back().colour, kBlue);
}

// ---------------------------------------------------------------------------
// Progress

TEST(Progress, ShownOnlyDuringFullSizeDrawing)
{
    for (Integer pattern = 0; pattern < kPatterns; ++pattern) {
        int shown = 0;
        RecordingSurface s;
        const ImageParams params = makeParams(pattern, 10);
        RenderContext ctx(params);
        ctx.progressBar = [&](Single) { ++shown; };
        mDrawPattern(ctx, s, 0, 0, 200, 100);
        EXPECT_EQ(shown, 0) << kPatternNames[pattern];
    }
}

TEST(Progress, BarReceivesHundredTimesTheFraction)
{
    ImageParams p;
    RenderContext ctx(p);
    ctx.pbFullSize = true;
    std::vector<Single> shown;
    ctx.progressBar = [&](Single v) { shown.push_back(v); };
    for (Single f : {0.0f, 0.25f, 0.5f, 0.9f}) {
        ctx.pfProgress = f;
        ctx.mShowProgress();
        EXPECT_EQ(ctx.pfProgress, f);
    }
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_FLOAT_EQ(shown[0], 0.0f);
    EXPECT_FLOAT_EQ(shown[1], 25.0f);
    EXPECT_FLOAT_EQ(shown[2], 50.0f);
    EXPECT_FLOAT_EQ(shown[3], 90.0f);
}

TEST(Progress, ValuesAboveNinetyPercentOrBelowZeroDropToZero)
{
    ImageParams p;
    RenderContext ctx(p);
    ctx.pbFullSize = true;
    std::vector<Single> shown;
    ctx.progressBar = [&](Single v) { shown.push_back(v); };
    for (Single f : {0.9001f, 0.95f, 1.0f, -0.01f, -5.0f}) {
        ctx.pfProgress = f;
        ctx.mShowProgress();
        EXPECT_EQ(ctx.pfProgress, 0.0f) << f; // stored back
    }
    for (Single v : shown)
        EXPECT_EQ(v, 0.0f);
    EXPECT_EQ(shown.size(), 5u);
    // Without a progress bar connected nothing happens but the reset.
    RenderContext bare(p);
    bare.pbFullSize = true;
    bare.pfProgress = 2.0f;
    EXPECT_NO_THROW(bare.mShowProgress());
    EXPECT_EQ(bare.pfProgress, 0.0f);
}

TEST(Progress, FollowsEachBandOfAFullSizeDrawing)
{
    // Linear, hump 10 on 200 pixels: 202 bands, the bar at 100 x p / 200
    // until 90 % and at 0 from then on.
    RecordingSurface s;
    const ImageParams params = makeParams(kLinearGradient, 10);
    RenderContext ctx(params);
    ctx.pbFullSize = true;
    std::vector<Single> shown;
    ctx.progressBar = [&](Single v) { shown.push_back(v); };
    mDrawPattern(ctx, s, 0, 0, 200, 50);
    ASSERT_EQ(shown.size(), 202u);
    ASSERT_EQ(s.bands().size(), 202u);
    for (std::size_t i = 0; i <= 100; ++i)
        EXPECT_NEAR(shown[i], i * 0.5, 1e-4) << i;
    for (std::size_t j = 0; j <= 100; ++j) {
        const double expect = (100.0 + j) / 200.0;
        EXPECT_NEAR(shown[101 + j], expect > 0.9 ? 0.0 : expect * 100, 1e-3) << j;
    }
    EXPECT_EQ(shown.back(), 0.0f);
}
