// SPDX-License-Identifier: GPL-3.0-or-later
// The render dispatch and what every renderer shares: the choice of
// renderer, which errors end a drawing quietly, the band limit per segment,
// the rainbow palettes and the progress report.
#include "render/drivers.h"
#include "support/render_fixture.h"

#include <stdexcept>

using namespace ombrix;
using namespace ombrix::test;

namespace
{

// A drawing through the dispatch, which ends quietly on the engine's errors.
RecordingSurface dispatch(const ImageParams& p, Integer W, Integer H, std::size_t failFrom = -1,
                          std::exception_ptr error = nullptr)
{
    RecordingSurface s(W, H);
    s.failFrom = failFrom;
    s.error = error;
    RenderContext ctx(p);
    mDrawPattern(ctx, s, 5, 5, W, H);
    return s;
}

} // namespace

TEST(RenderDispatch, IndicesOutsideThePatternsDrawNothingAndPlainBackgroundOnlyClears)
{
    for (Integer pattern : {-1, 12, -32768, 32767})
        EXPECT_EQ(dispatch(params(pattern, 10), 200, 100).count, 0u) << pattern;
    ImageParams p = params(kPlainBackground, 20, 1, 0, 0, 3);
    p.plColor[2] = {12, 34, 56};
    const RecordingSurface s = dispatch(p, 40, 30);
    EXPECT_TRUE(s.count == 1 && s.cleared && s.back == num::rgb(12, 34, 56));
}

TEST(RenderDispatch, OnlyTheEnginesOwnErrorsEndADrawingQuietly)
{
    // A zero width divides by zero in the ellipse before anything is drawn.
    RecordingSurface none(10, 10);
    const ImageParams ellipse = params(kShadedEllipse, 10);
    RenderContext ectx(ellipse);
    EXPECT_THROW(mDrawEllipse(ectx, none, 0, 0, 0, 50), ArithmeticError);
    EXPECT_EQ(none.count, 0u);
    // A surface call failing half-way ends the renderer; the figures drawn
    // before stay and a clip set for the drawing is lifted.  An error of any
    // other kind is a fault of the program, not of the drawing: it leaves
    // the dispatch and the preview instead of leaving a blank picture.
    const auto foreign = std::make_exception_ptr(std::out_of_range("a programming error"));
    for (Integer pattern = 0; pattern < kPatterns; ++pattern) {
        SCOPED_TRACE(kPatternNames[pattern]);
        const ImageParams p = params(pattern, 10, 1, 3, -2);
        for (const auto& [w, h] : {std::pair{0, 0}, {0, 1}, {1, 0}, {1, 1}})
            EXPECT_NO_THROW(dispatch(p, Integer(w), Integer(h)));
        const RecordingSurface full = dispatch(p, 200, 120);
        for (std::size_t failAt : {std::size_t{0}, full.count / 2, full.count - 1}) {
            const RecordingSurface s = dispatch(p, 200, 120, failAt);
            EXPECT_TRUE(s.count == failAt && !s.clipped);
            ASSERT_LE(s.calls.size(), full.calls.size());
            for (std::size_t i = 0; i < s.calls.size(); ++i)
                EXPECT_EQ(s.calls[i].colour, full.calls[i].colour);
            EXPECT_THROW(dispatch(p, 200, 120, failAt, foreign), std::out_of_range);
        }
        RecordingSurface preview(150, 110);
        preview.failFrom = 1;
        preview.error = foreign;
        RenderContext ctx(p);
        EXPECT_THROW(mDrawPreview(ctx, preview), std::out_of_range);
    }
}

TEST(RenderDispatch, NoSegmentEverExceeds256Figures)
{
    // Every renderer at sizes up to 16384 x 16384, every hump, both
    // orientations and a sample of sliders: no error (every sum is 32-bit),
    // no non-finite value and at most 256 figures per segment.
    const std::pair<Integer, Integer> sizes[] = {{1, 1},       {3, 2},         {127, 255},
                                                 {256, 129},   {16384, 64},    {64, 16384},
                                                 {4000, 2500}, {16384, 16384}, {16383, 9999}};
    for (Integer pattern = 0; pattern < kPatterns; ++pattern)
        for (const auto& [w, h] : sizes)
            for (Integer hump = 0; hump <= 20; ++hump)
                for (Integer rotation : {1, -1})
                    for (Integer s : {-10, -3, 0, 4, 10})
                        for (Integer v : {-10, -3, 0, 4, 10}) {
                            const ImageParams p = params(pattern, hump, rotation, s, v, hump % 5);
                            RecordingSurface rec;
                            ASSERT_NO_THROW(rec = record(p, 0, 0, w, h)) << w << "x" << h;
                            bool fits = true;
                            for (const Brief& pen : rec.pens)
                                fits = fits && pen.bands <= 256;
                            for (const Call& c : rec.calls)
                                fits = fits && std::isfinite(c.v[0] + c.v[1] + c.v[2] + c.v[3]);
                            EXPECT_TRUE(fits)
                                << kPatternNames[pattern] << " " << w << "x" << h << " hump "
                                << hump << " rotation " << rotation << " sliders " << s << "," << v;
                        }
}

TEST(Rainbow, EachModeRunsThroughItsPaletteAndKeepsTheColourPastIt)
{
    // Steps 21 and 105 are stops of the palette, run backwards in modes 2
    // and 4; 10 is half-way from red to yellow, 125 the last step before
    // the palette ends; past it a band keeps the colour of the one before.
    const num::Rgb want[4][4] = {
        {num::rgb(255, 255, 0), num::rgb(255, 0, 255), num::rgb(255, 121, 0), num::rgb(255, 0, 12)},
        {num::rgb(255, 0, 255), num::rgb(255, 255, 0), num::rgb(255, 0, 121), num::rgb(255, 12, 0)},
        {num::rgb(255, 128, 0), num::rgb(0, 0, 128), num::rgb(255, 61, 0), num::rgb(122, 0, 128)},
        {num::rgb(0, 0, 128), num::rgb(255, 128, 0), num::rgb(67, 0, 128), num::rgb(255, 6, 0)}};
    auto at = [](Integer mode, int q) {
        Long r = 11, g = 22, b = 33; // the previous band's colour
        mRainbowColor(mode, static_cast<Single>(q / 128.0), r, g, b);
        return num::rgb(r, g, b);
    };
    const int steps[4] = {21, 105, 10, 125};
    for (Integer mode = 1; mode <= 4; ++mode) {
        EXPECT_EQ(at(mode, 0), mode == 4 ? num::rgb(128, 0, 128) : num::rgb(255, 0, 0)) << mode;
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(at(mode, steps[k]), want[mode - 1][k]) << mode << " " << k;
        for (int q : {126, 127, 128, 200, -1, -13})
            EXPECT_EQ(at(mode, q), num::rgb(11, 22, 33)) << mode << " " << q;
    }
}

TEST(Progress, FollowsEachBandOfAFullSizeDrawingUpToNinetyPercent)
{
    // A value below 0 or above 0.9 is stored back as 0 before it is shown.
    const ImageParams p = params(kLinearGradient, 10);
    RenderContext ctx(p);
    ctx.pbFullSize = true;
    std::vector<Single> shown;
    ctx.progressBar = [&](Single v) { shown.push_back(v); };
    ctx.pfProgress = -0.01f;
    ctx.mShowProgress();
    EXPECT_TRUE(ctx.pfProgress == 0 && shown == std::vector<Single>{0});
    // Linear, hump 10 on 200 pixels: 202 bands, the bar at p / 2 percent
    // until 90 % and at 0 from then on.  A preview shows nothing.
    shown.clear();
    RecordingSurface s;
    mDrawPattern(ctx, s, 0, 0, 200, 50);
    ASSERT_EQ(shown.size(), 202u);
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const double fraction = (i <= 100 ? i : i - 1.0) / 200.0;
        EXPECT_NEAR(shown[i], fraction > 0.9 ? 0.0 : fraction * 100, 1e-3) << i;
    }
    shown.clear();
    for (Integer pattern = 0; pattern < kPatterns; ++pattern) {
        const ImageParams q = params(pattern, 10);
        RenderContext preview(q);
        preview.progressBar = ctx.progressBar;
        mDrawPattern(preview, s, 0, 0, 200, 100);
    }
    EXPECT_TRUE(shown.empty());
}
