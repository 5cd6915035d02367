// The shaded rectangle and the diamonds: box proportions and order, the
// inner part drawn inwards out, diamond outlines, origin limits and pens.
#include "support/render_fixture.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace ombrix;
using namespace ombrix::test;

namespace
{

double centreX(const Call& c)
{
    return (c.x1 + c.x2) / 2;
}
double centreY(const Call& c)
{
    return (c.y1 + c.y2) / 2;
}

} // namespace

// ---------------------------------------------------------------------------
// Rectangle

TEST(AngularPatterns, RectangleOnALandscapeAreaKeepsItsProportions)
{
    // 200 x 100 at (10, 20), hump 0: only the outer part, Bo = R = 100.
    const Recorded r = record(makeParams(kShadedRectangle, 0), 10, 20, 200, 100);
    const auto segs = r.segments();
    ASSERT_EQ(segs.size(), 1u);
    EXPECT_EQ(segs[0].pen, 2);
    const std::vector<Call>& b = segs[0].bands;
    ASSERT_EQ(b.size(), 101u);
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double p = static_cast<double>(i);
        EXPECT_EQ(b[i].kind, CallKind::Box);
        // One pixel per step across, H / W = 0.5 down.
        EXPECT_DOUBLE_EQ(b[i].x1, 10 + p);
        EXPECT_DOUBLE_EQ(b[i].y1, 20 + p * 0.5);
        EXPECT_DOUBLE_EQ(b[i].x2, 209 - p);
        EXPECT_DOUBLE_EQ(b[i].y2, 119 - p * 0.5);
        // Every box is centred and has the area's proportions.
        EXPECT_DOUBLE_EQ(centreX(b[i]), 109.5);
        EXPECT_DOUBLE_EQ(centreY(b[i]), 69.5);
        EXPECT_DOUBLE_EQ((b[i].x2 - b[i].x1 + 1) * 0.5, b[i].y2 - b[i].y1 + 1);
    }
    EXPECT_EQ(b.front().colour, kBlue); // the edge
    EXPECT_EQ(b.back().colour, kGreen); // the middle
}

TEST(AngularPatterns, RectangleOnAPortraitArea)
{
    // 100 x 200: R = 100 (half the longer side), q = 2.
    const Recorded r = record(makeParams(kShadedRectangle, 0), 0, 0, 100, 200);
    const std::vector<Call> b = r.bands();
    ASSERT_EQ(b.size(), 101u);
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double p = static_cast<double>(i);
        EXPECT_DOUBLE_EQ(b[i].x1, p / 2);
        EXPECT_DOUBLE_EQ(b[i].y1, p);
        EXPECT_DOUBLE_EQ(b[i].x2, 99 - p / 2);
        EXPECT_DOUBLE_EQ(b[i].y2, 199 - p);
        EXPECT_DOUBLE_EQ((b[i].x2 - b[i].x1 + 1) * 2, b[i].y2 - b[i].y1 + 1);
    }
}

TEST(AngularPatterns, RectangleInnerPartRunsDownwards)
{
    // Hump 20: only the inner part, Ai = 100; the innermost box comes
    // first in colour 0 and the boxes grow out to colour 1 at the edge.
    const Recorded r = record(makeParams(kShadedRectangle, 20), 0, 0, 200, 100);
    const auto segs = r.segments();
    ASSERT_EQ(segs.size(), 1u);
    EXPECT_EQ(segs[0].pen, 2); // 100 / 100 + 1
    const std::vector<Call>& b = segs[0].bands;
    ASSERT_EQ(b.size(), 101u);
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double u = 100.0 - i;
        EXPECT_DOUBLE_EQ(b[i].x1, u);
        EXPECT_DOUBLE_EQ(b[i].y1, 0.5 * u);
        EXPECT_DOUBLE_EQ(b[i].x2, 199 - u);
        EXPECT_DOUBLE_EQ(b[i].y2, 99 - 0.5 * u);
    }
    EXPECT_EQ(b.front().colour, kRed);
    EXPECT_EQ(b.back().colour, kGreen);
    const std::vector<Single> prog = progressAfterBands(r);
    EXPECT_FLOAT_EQ(prog.front(), 0.0f);
    EXPECT_FLOAT_EQ(prog[50], 0.5f);
    EXPECT_FLOAT_EQ(prog.back(), 1.0f);
}

TEST(AngularPatterns, RectangleDrawsItsOuterPartFirst)
{
    const Recorded r = record(makeParams(kShadedRectangle, 10), 0, 0, 200, 100);
    const auto segs = r.segments();
    ASSERT_EQ(segs.size(), 2u);
    ASSERT_EQ(segs[0].bands.size(), 51u); // Bo = 50
    ASSERT_EQ(segs[1].bands.size(), 51u); // Ai = 50
    EXPECT_EQ(segs[0].bands.front().colour, kBlue);
    EXPECT_EQ(segs[0].bands.back().colour, kGreen);
    EXPECT_EQ(segs[1].bands.front().colour, kRed); // innermost box
    EXPECT_EQ(segs[1].bands.back().colour, kGreen);
    // The inner part ends on the box where the outer part stopped.
    const Call& outerLast = segs[0].bands.back();
    const Call& innerLast = segs[1].bands.back();
    EXPECT_DOUBLE_EQ(innerLast.x1, outerLast.x1);
    EXPECT_DOUBLE_EQ(innerLast.y1, outerLast.y1);
    EXPECT_DOUBLE_EQ(innerLast.x2, outerLast.x2);
    EXPECT_DOUBLE_EQ(innerLast.y2, outerLast.y2);
    const std::vector<Single> prog = progressAfterBands(r);
    EXPECT_NEAR(prog[50], 0.5, 1e-6); // end of the outer part
    EXPECT_NEAR(prog[51], 0.5, 1e-6); // innermost box: (A + B - Ai) / (A + B)
    EXPECT_NEAR(prog.back(), 1.0, 1e-6);
}

TEST(AngularPatterns, RectangleInnerBoxMovesWithTheSliders)
{
    // ox = 4 x 0.05 = 0.2, oy = -2 x 0.05 = -0.1; box u is off centre by
    // (ox u, oy u) scaled to the area's proportions.
    const Recorded land = record(makeParams(kShadedRectangle, 20, 1, 4, -2), 0, 0, 200, 100);
    const std::vector<Call> b = land.bands();
    ASSERT_EQ(b.size(), 101u);
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double u = 100.0 - i;
        EXPECT_NEAR(centreX(b[i]) - 99.5, 0.2 * u, 1e-4) << i;
        EXPECT_NEAR(centreY(b[i]) - 49.5, 0.5 * -0.1 * u, 1e-4) << i;
    }
    // The innermost box: (120, 45) to (119, 44).
    EXPECT_NEAR(b[0].x1, 120, 1e-4);
    EXPECT_NEAR(b[0].y1, 45, 1e-4);
    EXPECT_NEAR(b[0].x2, 119, 1e-4);
    EXPECT_NEAR(b[0].y2, 44, 1e-4);

    const Recorded port = record(makeParams(kShadedRectangle, 20, 1, 4, -2), 0, 0, 100, 200);
    const std::vector<Call> pb = port.bands();
    ASSERT_EQ(pb.size(), 101u);
    for (std::size_t i = 0; i < pb.size(); ++i) {
        const double u = 100.0 - i;
        EXPECT_NEAR(centreX(pb[i]) - 49.5, 0.2 * u / 2, 1e-4) << i;
        EXPECT_NEAR(centreY(pb[i]) - 99.5, -0.1 * u, 1e-4) << i;
    }
}

TEST(AngularPatterns, RectanglePensWithAndWithoutTheDriftFactor)
{
    // 2000 x 1000: R = 1000, 128 bands of 7.8125.
    struct Case {
        Integer hump, s, v;
        Long pen;
    };
    // Outer part: 7.8 -> 7.  Inner part: 7.8 x k + 1, k = |drift| + 1:
    // 8.8 -> 8 without sliders, x 1.2236 + 1 = 10.56 -> 10 with (4, -2).
    for (const Case c : {Case{0, 4, -2, 7}, Case{20, 0, 0, 8}, Case{20, 4, -2, 10}}) {
        const Recorded r =
            record(makeParams(kShadedRectangle, c.hump, 1, c.s, c.v), 0, 0, 2000, 1000);
        ASSERT_EQ(r.segments().size(), 1u);
        EXPECT_EQ(r.segments()[0].pen, c.pen) << c.hump << " " << c.s;
    }
}

TEST(AngularPatterns, RectangleInnerPartReachesItsOuterBoxWithAnUnevenStep)
{
    // Ai = 1000 with step 7: u = 1000, 993, ..., 6 and then 0, so the inner
    // part closes up with the box of depth Bo.
    const Recorded r = record(makeParams(kShadedRectangle, 20), 0, 0, 2000, 1000);
    const std::vector<Call> b = r.bands();
    ASSERT_EQ(b.size(), 144u);
    EXPECT_DOUBLE_EQ(b[0].x1, 1000);
    EXPECT_DOUBLE_EQ(b[1].x1, 993);
    EXPECT_DOUBLE_EQ(b[142].x1, 6);
    EXPECT_DOUBLE_EQ(b[143].x1, 0);
    EXPECT_EQ(b[143].colour, kGreen);
}

TEST(AngularPatterns, RectangleRainbowRunsOverTheInnerPart)
{
    // Hump 20 on 256 x 128: Ai = 128, fraction u / Ai, so the box at u = 21
    // is step 21 and the outermost (u = 0) is step 0.
    ImageParams p = makeParams(kShadedRectangle, 20);
    p.pnRainbow = 1;
    const Recorded r = record(p, 0, 0, 256, 128);
    const std::vector<Call> b = r.bands();
    ASSERT_EQ(b.size(), 129u);
    EXPECT_EQ(b[128 - 21].colour, rgbOf(255, 255, 0));
    EXPECT_EQ(b.back().colour, kRed);
    // The outer part never takes the rainbow.
    p.pnHump = 10;
    const Recorded both = record(p, 0, 0, 256, 128);
    const auto segs = both.segments();
    ASSERT_EQ(segs.size(), 2u);
    EXPECT_EQ(segs[0].bands.front().colour, kBlue);
    EXPECT_EQ(segs[0].bands.back().colour, kGreen);
}

TEST(AngularPatterns, RectangleRainbowPastThePaletteKeepsThePreviousBandColour)
{
    // Hump 10 on 200 x 100: the inner part starts at u = Ai = 50, fraction
    // 1, step 128: outside the palette, so the innermost box keeps the
    // colour of the band before it, the outer part's last box (colour 1).
    ImageParams p = makeParams(kShadedRectangle, 10);
    p.pnRainbow = 1;
    const Recorded r = record(p, 0, 0, 200, 100);
    const auto segs = r.segments();
    ASSERT_EQ(segs.size(), 2u);
    const num::Rgb previous = segs[0].bands.back().colour;
    ASSERT_EQ(previous, kGreen);
    const num::Rgb innermost = segs[1].bands.front().colour;
    EXPECT_EQ(innermost, previous) << RgbText{innermost} << " vs " << RgbText{previous};
}

// ---------------------------------------------------------------------------
// Diamonds

TEST(AngularPatterns, DiamondOutlineIsFourContinuedLines)
{
    struct Case {
        double aspect, dx, dy;
    };
    for (const Case c : {Case{0.5, 10, 5}, Case{2.0, 5, 10}, Case{1.0, 10, 10}}) {
        RecordingSurface s;
        mDiamondOutline(s, 50, 40, 10, kRed, c.aspect);
        const std::vector<Call>& calls = s.calls();
        ASSERT_EQ(calls.size(), 4u);
        EXPECT_EQ(calls[0].kind, CallKind::Line);
        EXPECT_DOUBLE_EQ(calls[0].x1, 50 - c.dx);
        EXPECT_DOUBLE_EQ(calls[0].y1, 40);
        EXPECT_DOUBLE_EQ(calls[0].x2, 50);
        EXPECT_DOUBLE_EQ(calls[0].y2, 40 - c.dy);
        const double ends[3][2] = {{50 + c.dx, 40}, {50, 40 + c.dy}, {50 - c.dx, 40}};
        for (int i = 0; i < 3; ++i) {
            const Call& l = calls[1 + i];
            EXPECT_EQ(l.kind, CallKind::LineTo);
            EXPECT_DOUBLE_EQ(l.x1, calls[i].x2); // continues from the last end
            EXPECT_DOUBLE_EQ(l.y1, calls[i].y2);
            EXPECT_DOUBLE_EQ(l.x2, ends[i][0]);
            EXPECT_DOUBLE_EQ(l.y2, ends[i][1]);
        }
        for (const Call& l : calls)
            EXPECT_EQ(l.colour, kRed);
    }
}

TEST(AngularPatterns, ShadedDiamondGeometry)
{
    // 200 x 100, rotation 1: q = 0.5, R = 100, A = B = 50, centre (100, 49).
    const Recorded r = record(makeParams(kShadedDiamond, 10), 0, 0, 200, 100);
    ASSERT_EQ(r.surface.calls().front().kind, CallKind::FillBox);
    EXPECT_EQ(r.surface.calls().front().colour, kBlue);
    const auto segs = r.segments();
    ASSERT_EQ(segs.size(), 2u);
    // The first segment stops two pixels short: 0 .. round(A - 2) = 48.
    ASSERT_EQ(segs[0].bands.size(), 49u);
    ASSERT_EQ(segs[1].bands.size(), 51u);
    EXPECT_EQ(segs[0].lineCalls, 4 * segs[0].bands.size());
    EXPECT_EQ(segs[1].lineCalls, 4 * segs[1].bands.size());
    EXPECT_EQ(segs[0].pen, 3); // A / n + 2
    EXPECT_EQ(segs[1].pen, 2);
    for (std::size_t i = 0; i < segs[0].bands.size(); ++i) {
        const Call& c = segs[0].bands[i];
        EXPECT_DOUBLE_EQ(c.x1, 100.0 - i); // left vertex: size i
        EXPECT_DOUBLE_EQ(c.y1, 49);
        EXPECT_DOUBLE_EQ(c.y2, 49 - 0.5 * i); // top vertex
    }
    // The outermost diamond reaches the left and right sides and spans the
    // height.
    const Call& outer = segs[1].bands.back();
    EXPECT_DOUBLE_EQ(outer.x1, 0);
    EXPECT_DOUBLE_EQ(outer.x2, 100);
    EXPECT_DOUBLE_EQ(outer.y2, -1);
    EXPECT_EQ(segs[0].bands.front().colour, kRed);
    EXPECT_EQ(segs[1].bands.front().colour, kGreen);
    EXPECT_EQ(outer.colour, kBlue);
}

TEST(AngularPatterns, DiamondAlongTheHeightIsNarrowerOnALandscapeArea)
{
    const Recorded r = record(makeParams(kShadedDiamond, 0, -1), 0, 0, 200, 100);
    const std::vector<Call> b = r.bands();
    ASSERT_EQ(b.size(), 51u); // R = 50
    const Call& outer = b.back();
    EXPECT_DOUBLE_EQ(outer.x1, 100 - 25); // half-width R / q = 25
    EXPECT_DOUBLE_EQ(outer.y2, 49 - 50);  // half-height R = 50
}

TEST(AngularPatterns, DiamondOriginIsKeptWithinSevenTenths)
{
    // 200 x 200: q = 1, hump 10: A = 50.  The first outline (size 0) starts
    // at the focal point.
    const double cx = 100, cy = 99, A = 50;
    struct Case {
        Integer s, v;
        double ox, oy;
    };
    const Case cases[] = {
        {2, 2, 0.2, 0.2},   {3, 4, 0.3, 0.4},       {7, 7, 0.35, 0.35}, {5, 5, 0.35, 0.35},
        {-8, 6, -0.4, 0.3}, {10, -10, 0.35, -0.35}, {0, 9, 0.0, 0.63},  {0, 5, 0.0, 0.5},
    };
    for (const Case& c : cases) {
        const Recorded r = record(makeParams(kShadedDiamond, 10, 1, c.s, c.v), 0, 0, 200, 200);
        const auto segs = r.segments();
        ASSERT_EQ(segs.size(), 2u);
        const Call& focal = segs[0].bands.front();
        EXPECT_NEAR((focal.x1 - cx) / A, c.ox, 1e-5) << c.s << "," << c.v;
        EXPECT_NEAR((focal.y1 - cy) / A, c.oy, 1e-5) << c.s << "," << c.v;
    }
    // No slider pair gets past the limit.
    for (Integer s = -10; s <= 10; ++s) {
        for (Integer v = -10; v <= 10; ++v) {
            const Recorded r = record(makeParams(kShadedDiamond, 10, 1, s, v), 0, 0, 200, 200);
            const Call focal = r.bands().front();
            EXPECT_LE(std::fabs(focal.x1 - cx) + std::fabs(focal.y1 - cy), 0.7 * A + 1e-4)
                << s << "," << v;
        }
    }
}

TEST(AngularPatterns, DiamondLimitComesBeforeTheOrientationScaling)
{
    // 200 x 100, rotation 1: q = 0.5 scales oy after the limit.
    const Recorded r = record(makeParams(kShadedDiamond, 10, 1, 7, 7), 0, 0, 200, 100);
    const Call focal = r.bands().front();
    EXPECT_NEAR((focal.x1 - 100) / 50, 0.35, 1e-5);
    EXPECT_NEAR((focal.y1 - 49) / 50, 0.175, 1e-5);
}

TEST(AngularPatterns, DiamondPositionsStopTwoPixelsShort)
{
    struct Case {
        Integer w;
        std::size_t bands;
    };
    // A = 51.75: round(49.75) = 50; A = 50: 48; A = 1.5: round(-0.5) = 0.
    for (const Case c : {Case{207, 51}, Case{200, 49}, Case{6, 1}}) {
        const Recorded r = record(makeParams(kClearcutDiamond, 10), 0, 0, c.w, 100);
        const auto segs = r.segments();
        ASSERT_EQ(segs.size(), 1u) << c.w;
        EXPECT_EQ(segs[0].bands.size(), c.bands) << c.w;
    }
}

TEST(AngularPatterns, ClearcutDiamondDrawsTheFirstSegmentOnly)
{
    const Recorded r = record(makeParams(kClearcutDiamond, 10), 0, 0, 200, 100);
    const auto segs = r.segments();
    ASSERT_EQ(segs.size(), 1u);
    ASSERT_EQ(r.surface.calls().front().kind, CallKind::FillBox);
    const std::vector<Single> prog = progressAfterBands(r);
    ASSERT_EQ(prog.size(), 49u);
    for (std::size_t p = 0; p < prog.size(); ++p)
        EXPECT_NEAR(prog[p], p / 50.0, 1e-6); // p / A
    for (const Call& c : segs[0].bands)
        EXPECT_GE(c.x1, 100 - 50); // half-width at most A
}

TEST(AngularPatterns, DiamondPenUsesTheDriftFactorPlusTwo)
{
    // 2000 x 1000, hump 10: A = B = 500, 3.906 per band.
    struct Case {
        Integer s;
        Long first;
    };
    for (const Case c : {Case{0, 5}, Case{4, 7}}) {
        const Recorded r = record(makeParams(kShadedDiamond, 10, 1, c.s, 0), 0, 0, 2000, 1000);
        const auto segs = r.segments();
        ASSERT_EQ(segs.size(), 2u);
        EXPECT_EQ(segs[0].pen, c.first) << c.s;
        EXPECT_EQ(segs[1].pen, 3); // B / n, at least 2
    }
}
