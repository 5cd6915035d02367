// The render dispatch and what every renderer shares: the choice of
// renderer, quiet ends on errors, the band limit per segment, the colour
// ramp, the rainbow palettes and the progress report.
#include "support/render_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

using namespace ombrix;
using namespace ombrix::test;

namespace
{

// A drawing through the dispatch, which swallows the renderers' errors.
Recorded dispatch(const ImageParams& p, Integer L, Integer T, Integer W, Integer H)
{
    Recorded r;
    RenderContext ctx(p);
    mDrawPattern(ctx, r.surface, L, T, W, H);
    return r;
}

} // namespace

// ---------------------------------------------------------------------------
// Render dispatch

TEST(RenderDispatch, EachIndexReachesItsRenderer)
{
    // The band figure and whether a colour-2 background comes first tell
    // the renderers apart; the clearcut variants draw one segment.
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
            EXPECT_EQ(c.kind, e.band) << static_cast<int>(c.kind);
        EXPECT_EQ(r.segments().size(), e.segments);
        // The dispatch never clears the surface itself.
        EXPECT_TRUE(r.surface.ofKind(CallKind::Cls).empty());
        EXPECT_TRUE(r.surface.ofKind(CallKind::SetBackColor).empty());
    }
    // An index outside 0..11 draws nothing.
    for (Integer pattern : {-1, 12, 13, 100, -32768, 32767})
        EXPECT_TRUE(dispatch(makeParams(pattern, 10), 0, 0, 200, 100).surface.calls().empty())
            << pattern;
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
            EXPECT_EQ(r.surface.calls()[0].colour, num::rgb(12, 34, 56));
        }
    }
}

TEST(RenderDispatch, ErrorsInsideARendererEndItQuietly)
{
    // A zero width divides by zero in the ellipse, rectangle and diamond
    // (H / W); the renderer itself raises it before drawing anything, and
    // no pattern lets an error out of the dispatch.
    RecordingSurface none(10, 10);
    const ImageParams ellipse = makeParams(kShadedEllipse, 10);
    RenderContext ectx(ellipse);
    EXPECT_THROW(mDrawEllipse(ectx, none, 0, 0, 0, 50), ArithmeticError);
    EXPECT_TRUE(none.calls().empty());
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

TEST(RenderDispatch, EmptySegmentIsSkippedAndTheRestDrawn)
{
    // Hump 1 on a 9-pixel linear gradient: the first segment is 0.45 pixels
    // long and has no bands; the second is still drawn in full, positions
    // 0..round(8.55) from 0.45 on.
    const Recorded lin = record(makeParams(kLinearGradient, 1), 0, 0, 9, 20);
    EXPECT_EQ(briefs(lin), (std::vector<Brief>{{-1, 10, kGreen, kBlue}}));
    EXPECT_NEAR(lin.bands().at(0).x1, 0.45, 1e-6);

    // Crossing pleats with hump 1 on a 9-pixel-high area: the horizontal
    // first-segment fan is skipped, the three other loops (Ax = 5, Bx = 95,
    // By = 8.55) are drawn.
    const Recorded pl = record(makeParams(kCrossingPleats, 1), 0, 0, 100, 9);
    EXPECT_EQ(briefs(pl), (std::vector<Brief>{{-1, 6}, {-1, 96}, {-1, 10}}));
    EXPECT_NEAR(pl.segments().at(2).bands.at(0).y1, 0.45, 1e-6);

    // A circle whose first segment is 0.45 pixels still gets its rings.
    const Recorded ci = record(makeParams(kShadedCircle, 1), 0, 0, 18, 18);
    EXPECT_EQ(briefs(ci), (std::vector<Brief>{{-1, 10}}));
    EXPECT_NEAR(ci.bands().at(0).r, 0.45, 1e-6);
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
                        for (Integer ver : sliders) {
                            if ((!usesSlant && slant != 0) || (!usesVertical && ver != 0))
                                continue;
                            ImageParams p = makeParams(pattern, hump, rotation, slant, ver);
                            p.pnRainbow = static_cast<Integer>(hump % 5);
                            RecordingSurface s(sz.w, sz.h);
                            s.setKeepCalls(false);
                            RenderContext ctx(p);
                            ctx.pbFullSize = true;
                            ++drawings;
                            std::string error;
                            try {
                                mDispatchPattern(ctx, s, 0, 0, sz.w, sz.h);
                            } catch (const std::exception& e) {
                                error = e.what();
                            }
                            if (!error.empty() || s.maxBandsPerPen() > 256 || s.sawNonFinite())
                                ADD_FAILURE() << kPatternNames[pattern] << " " << sz.w << "x"
                                              << sz.h << " hump " << hump << " rotation "
                                              << rotation << " sliders " << slant << "," << ver
                                              << ": " << s.maxBandsPerPen() << " figures " << error;
                        }
                    }
                }
            }
        }
    }
    EXPECT_GT(drawings, 10000u);
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
    EXPECT_EQ(briefs(r), (std::vector<Brief>{{-1, 101, num::rgb(255, 0, 7), num::rgb(0, 255, 7)},
                                             {-1, 101, num::rgb(0, 255, 7), num::rgb(255, 0, 7)}}));
    for (const Call& c : r.bands()) {
        EXPECT_EQ(num::blueOf(c.colour), 7) << RgbText{c.colour};
        EXPECT_LE(num::redOf(c.colour) + num::greenOf(c.colour), 256) << RgbText{c.colour};
    }
}

TEST(ColourRamp, EachChannelRunsOnItsSegmentsOwnIncrement)
{
    // A linear gradient 10 pixels high; the band at `position` of segment
    // `segment` (step 1 throughout).  Increments are taken per segment over
    // its own length, per channel up or down, and halves round to even.
    struct Case {
        std::array<Colour, 3> colours;
        Integer hump, w;
        std::size_t segment, position;
        num::Rgb want;
    };
    const std::array<Colour, 3> rgb = {Colour{255, 0, 0}, Colour{0, 255, 0}, Colour{0, 0, 255}};
    const std::array<Colour, 3> mixed = {Colour{10, 200, 100}, Colour{110, 0, 100}, Colour{}};
    const std::array<Colour, 3> dim = {Colour{0, 0, 0}, Colour{200, 0, 0}, Colour{0, 0, 0}};
    const Case cases[] = {
        // Hump 5 on 200 pixels: segments of 50 and 150.
        {rgb, 5, 200, 0, 0, kRed},
        {rgb, 5, 200, 0, 10, num::rgb(204, 51, 0)}, // 10 x 255 / 50
        {rgb, 5, 200, 0, 50, kGreen},
        {rgb, 5, 200, 1, 30, num::rgb(0, 204, 51)}, // 30 x 255 / 150
        {rgb, 5, 200, 1, 150, kBlue},
        {mixed, 20, 100, 0, 50, num::rgb(60, 100, 100)},
        {mixed, 20, 100, 0, 100, num::rgb(110, 0, 100)},
        // 200 over 160 pixels is 1.25 per pixel: 2.5, 3.75, 7.5 and 12.5.
        {dim, 10, 320, 0, 2, num::rgb(2, 0, 0)},
        {dim, 10, 320, 0, 3, num::rgb(4, 0, 0)},
        {dim, 10, 320, 0, 6, num::rgb(8, 0, 0)},
        {dim, 10, 320, 0, 10, num::rgb(12, 0, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "hump " << c.hump << " width " << c.w << " segment "
                                        << c.segment << " position " << c.position);
        ImageParams p = makeParams(kLinearGradient, c.hump);
        p.plColor = c.colours;
        const Recorded r = record(p, 0, 0, c.w, 10);
        const Call band = r.segments().at(c.segment).bands.at(c.position);
        EXPECT_EQ(band.colour, c.want) << RgbText{band.colour};
    }
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

} // namespace

TEST(Rainbow, EachModeRunsThroughItsPalette)
{
    // Steps 0, 21, ..., 105 are the palette's stops; step 125 is the last
    // before the palette ends, on its way to the seventh colour.  Mode 2
    // runs the first palette backwards from red, mode 4 the second one
    // backwards from purple.
    struct Case {
        Integer mode;
        std::array<num::Rgb, 6> stops;
        num::Rgb last;
    };
    const Case cases[] = {
        {1,
         {num::rgb(255, 0, 0), num::rgb(255, 255, 0), num::rgb(0, 255, 0), num::rgb(0, 255, 255),
          num::rgb(0, 0, 255), num::rgb(255, 0, 255)},
         num::rgb(255, 0, 12)},
        {2,
         {num::rgb(255, 0, 0), num::rgb(255, 0, 255), num::rgb(0, 0, 255), num::rgb(0, 255, 255),
          num::rgb(0, 255, 0), num::rgb(255, 255, 0)},
         num::rgb(255, 12, 0)},
        {3,
         {num::rgb(255, 0, 0), num::rgb(255, 128, 0), num::rgb(255, 255, 0), num::rgb(0, 128, 0),
          num::rgb(0, 0, 255), num::rgb(0, 0, 128)},
         num::rgb(122, 0, 128)},
        {4,
         {num::rgb(128, 0, 128), num::rgb(0, 0, 128), num::rgb(0, 0, 255), num::rgb(0, 128, 0),
          num::rgb(255, 255, 0), num::rgb(255, 128, 0)},
         num::rgb(255, 6, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        for (int k = 0; k < 6; ++k)
            EXPECT_EQ(rainbowAt(c.mode, 21 * k), c.stops[k]) << "stop " << k;
        EXPECT_EQ(rainbowAt(c.mode, 125), c.last);
    }
    // Between the stops: 10 of 21 steps from red to yellow.
    EXPECT_EQ(rainbowAt(1, 10), num::rgb(255, 121, 0));
}

TEST(Rainbow, StepsOutsideThePaletteKeepThePreviousColour)
{
    const num::Rgb previous = num::rgb(11, 22, 33);
    for (Integer mode = 1; mode <= 4; ++mode) {
        for (int q : {126, 127, 128, 200, -1, -13})
            EXPECT_EQ(rainbowAt(mode, q, previous), previous) << mode << " " << q;
        EXPECT_NE(rainbowAt(mode, 125, previous), previous);
        EXPECT_NE(rainbowAt(mode, 0, previous), previous);
    }
}

TEST(Rainbow, LinearGradientSpreadsThePaletteOverTheFirstSegmentsWholeLength)
{
    // Hump 20 on 128 pixels: fraction p / 128, so the band at p is step p;
    // past step 125 the bands keep the last colour.
    ImageParams p = makeParams(kLinearGradient, 20);
    p.pnRainbow = 1;
    const std::vector<Call> b = record(p, 0, 0, 128, 10).bands();
    ASSERT_EQ(b.size(), 129u);
    EXPECT_EQ(b[0].colour, kRed);
    EXPECT_EQ(b[21].colour, num::rgb(255, 255, 0));
    EXPECT_EQ(b[84].colour, kBlue);
    EXPECT_EQ(b[126].colour, b[125].colour);
    EXPECT_EQ(b[128].colour, b[125].colour);
    // Hump 10 on 256 pixels: the rainbow reaches half the palette at the
    // middle colour's position; the second segment is the plain ramp.
    p.pnHump = 10;
    EXPECT_EQ(briefs(record(p, 0, 0, 256, 10)),
              (std::vector<Brief>{{-1, 129, kRed, rainbowAt(1, 64)}, {-1, 129, kGreen, kBlue}}));
}

// ---------------------------------------------------------------------------
// Progress

TEST(Progress, BarShowsPercentUpToNinetyAndZeroOutsideThat)
{
    // A value below 0 or above 0.9 is stored back as 0 before it is shown.
    ImageParams p;
    RenderContext ctx(p);
    ctx.pbFullSize = true;
    std::vector<Single> shown;
    ctx.progressBar = [&](Single v) { shown.push_back(v); };
    struct Case {
        Single value, stored, bar;
    };
    const Case cases[] = {{0.0f, 0.0f, 0.0f},  {0.25f, 0.25f, 25.0f}, {0.5f, 0.5f, 50.0f},
                          {0.9f, 0.9f, 90.0f}, {0.9001f, 0, 0},       {0.95f, 0, 0},
                          {1.0f, 0, 0},        {-0.01f, 0, 0},        {-5.0f, 0, 0}};
    for (const Case& c : cases) {
        shown.clear();
        ctx.pfProgress = c.value;
        ctx.mShowProgress();
        EXPECT_EQ(ctx.pfProgress, c.stored) << c.value;
        ASSERT_EQ(shown.size(), 1u) << c.value;
        EXPECT_FLOAT_EQ(shown[0], c.bar) << c.value;
    }
    // Without a progress bar connected nothing happens but the reset.
    RenderContext bare(p);
    bare.pbFullSize = true;
    bare.pfProgress = 2.0f;
    EXPECT_NO_THROW(bare.mShowProgress());
    EXPECT_EQ(bare.pfProgress, 0.0f);
}

TEST(Progress, FollowsEachBandOfAFullSizeDrawingOnly)
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
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const double fraction = (i <= 100 ? i : i - 1.0) / 200.0;
        EXPECT_NEAR(shown[i], fraction > 0.9 ? 0.0 : fraction * 100, 1e-3) << i;
    }
    // Other drawings (previews) show nothing, whatever the pattern.
    for (Integer pattern = 0; pattern < kPatterns; ++pattern) {
        shown.clear();
        const ImageParams p = makeParams(pattern, 10);
        RenderContext preview(p);
        preview.progressBar = [&](Single v) { shown.push_back(v); };
        mDrawPattern(preview, s, 0, 0, 200, 100);
        EXPECT_TRUE(shown.empty()) << kPatternNames[pattern];
    }
}
