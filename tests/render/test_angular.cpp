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

TEST(AngularPatterns, RectangleOuterPartKeepsTheAreaProportions)
{
    // Hump 0: only the outer part, Bo = R, half the longer side.  Box p is
    // inset by p along the longer side and by p times the ratio of the
    // sides along the shorter one, from colour 2 at the edge to colour 1.
    struct Case {
        Integer L, T, W, H;
    };
    for (const Case c : {Case{10, 20, 200, 100}, Case{0, 0, 100, 200}}) {
        SCOPED_TRACE(testing::Message() << c.W << "x" << c.H);
        const Recorded r = record(makeParams(kShadedRectangle, 0), c.L, c.T, c.W, c.H);
        EXPECT_EQ(briefs(r), (std::vector<Brief>{{2, 101, kBlue, kGreen}}));
        const double longer = std::max(c.W, c.H);
        const std::vector<Call> b = r.bands();
        for (std::size_t i = 0; i < b.size(); ++i) {
            const double dx = i * c.W / longer, dy = i * c.H / longer;
            EXPECT_EQ(b[i].kind, CallKind::Box);
            EXPECT_DOUBLE_EQ(b[i].x1, c.L + dx) << i;
            EXPECT_DOUBLE_EQ(b[i].y1, c.T + dy) << i;
            EXPECT_DOUBLE_EQ(b[i].x2, c.L + c.W - 1 - dx) << i;
            EXPECT_DOUBLE_EQ(b[i].y2, c.T + c.H - 1 - dy) << i;
        }
    }
}

TEST(AngularPatterns, RectangleInnerPartRunsDownwards)
{
    // Hump 20: only the inner part, Ai = 100; the innermost box comes
    // first in colour 0 and the boxes grow out to colour 1 at the edge.
    const Recorded r = record(makeParams(kShadedRectangle, 20), 0, 0, 200, 100);
    EXPECT_EQ(briefs(r), (std::vector<Brief>{{2, 101, kRed, kGreen}})); // pen 100 / 100 + 1
    const std::vector<Call> b = r.bands();
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double u = 100.0 - i;
        EXPECT_DOUBLE_EQ(b[i].x1, u);
        EXPECT_DOUBLE_EQ(b[i].y1, 0.5 * u);
        EXPECT_DOUBLE_EQ(b[i].x2, 199 - u);
        EXPECT_DOUBLE_EQ(b[i].y2, 99 - 0.5 * u);
    }
    const std::vector<Single> prog = progressAfterBands(r);
    EXPECT_FLOAT_EQ(prog.front(), 0.0f);
    EXPECT_FLOAT_EQ(prog[50], 0.5f);
    EXPECT_FLOAT_EQ(prog.back(), 1.0f);
}

TEST(AngularPatterns, RectangleDrawsItsOuterPartFirst)
{
    // Hump 10: Bo = Ai = 50.  The inner part ends on the box where the
    // outer part stopped.
    const Recorded r = record(makeParams(kShadedRectangle, 10), 0, 0, 200, 100);
    EXPECT_EQ(briefs(r), (std::vector<Brief>{{-1, 51, kBlue, kGreen}, {-1, 51, kRed, kGreen}}));
    const auto segs = r.segments();
    ASSERT_EQ(segs.size(), 2u);
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
    struct Case {
        Integer W, H;
        double sx, sy;
    };
    for (const Case c : {Case{200, 100, 1, 0.5}, Case{100, 200, 0.5, 1}}) {
        SCOPED_TRACE(testing::Message() << c.W << "x" << c.H);
        const Recorded r = record(makeParams(kShadedRectangle, 20, 1, 4, -2), 0, 0, c.W, c.H);
        const std::vector<Call> b = r.bands();
        ASSERT_EQ(b.size(), 101u);
        for (std::size_t i = 0; i < b.size(); ++i) {
            const double u = 100.0 - i;
            EXPECT_NEAR(centreX(b[i]) - (c.W - 1) / 2.0, c.sx * 0.2 * u, 1e-4) << i;
            EXPECT_NEAR(centreY(b[i]) - (c.H - 1) / 2.0, c.sy * -0.1 * u, 1e-4) << i;
        }
    }
    // The innermost box on 200 x 100: (120, 45) to (119, 44).
    const Call inner =
        record(makeParams(kShadedRectangle, 20, 1, 4, -2), 0, 0, 200, 100).bands()[0];
    EXPECT_NEAR(inner.x1, 120, 1e-4);
    EXPECT_NEAR(inner.y1, 45, 1e-4);
    EXPECT_NEAR(inner.x2, 119, 1e-4);
    EXPECT_NEAR(inner.y2, 44, 1e-4);
}

TEST(AngularPatterns, RectangleInnerPartReachesItsOuterBoxWithAnUnevenStep)
{
    // 2000 x 1000, Ai = 1000 with step 7: u = 1000, 993, ..., 6 and then 0,
    // so the inner part closes up with the box of depth Bo.
    const Recorded r = record(makeParams(kShadedRectangle, 20), 0, 0, 2000, 1000);
    EXPECT_EQ(briefs(r), (std::vector<Brief>{{-1, 144, kRed, kGreen}}));
    const std::vector<Call> b = r.bands();
    EXPECT_DOUBLE_EQ(b[0].x1, 1000);
    EXPECT_DOUBLE_EQ(b[1].x1, 993);
    EXPECT_DOUBLE_EQ(b[142].x1, 6);
    EXPECT_DOUBLE_EQ(b[143].x1, 0);
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
    EXPECT_EQ(b[128 - 21].colour, num::rgb(255, 255, 0));
    EXPECT_EQ(b.back().colour, kRed);
    // The outer part never takes the rainbow.
    p.pnHump = 10;
    EXPECT_EQ(briefs(record(p, 0, 0, 256, 128)).at(0), (Brief{-1, 65, kBlue, kGreen}));
}

TEST(AngularPatterns, RectangleRainbowPastThePaletteKeepsThePreviousBandColour)
{
    // Hump 10 on 200 x 100: the inner part starts at u = Ai = 50, fraction
    // 1, step 128: outside the palette, so the innermost box keeps the
    // colour of the band before it, the outer part's last box (colour 1),
    // instead of black.
    ImageParams p = makeParams(kShadedRectangle, 10);
    p.pnRainbow = 1;
    EXPECT_EQ(briefs(record(p, 0, 0, 200, 100)),
              (std::vector<Brief>{{-1, 51, kBlue, kGreen}, {-1, 51, kGreen}}));
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
        // Top, right, bottom and back to the left vertex, each line
        // continuing from the last one's end.
        const double ends[4][2] = {
            {50, 40 - c.dy}, {50 + c.dx, 40}, {50, 40 + c.dy}, {50 - c.dx, 40}};
        for (int i = 0; i < 4; ++i) {
            const Call& l = calls[i];
            EXPECT_EQ(l.kind, i == 0 ? CallKind::Line : CallKind::LineTo);
            if (i > 0) {
                EXPECT_DOUBLE_EQ(l.x1, calls[i - 1].x2);
                EXPECT_DOUBLE_EQ(l.y1, calls[i - 1].y2);
            }
            EXPECT_DOUBLE_EQ(l.x2, ends[i][0]) << i;
            EXPECT_DOUBLE_EQ(l.y2, ends[i][1]) << i;
            EXPECT_EQ(l.colour, kRed);
        }
    }
}

TEST(AngularPatterns, ShadedDiamondGeometry)
{
    // 200 x 100, rotation 1: q = 0.5, R = 100, A = B = 50, centre (100, 49),
    // on a background of colour 2.  The shaded diamond's first segment runs
    // to round(A) = 50; its pen is A / n + 2.
    const Recorded r = record(makeParams(kShadedDiamond, 10), 0, 0, 200, 100);
    ASSERT_EQ(r.surface.calls().front().kind, CallKind::FillBox);
    EXPECT_EQ(r.surface.calls().front().colour, kBlue);
    EXPECT_EQ(briefs(r), (std::vector<Brief>{{3, 51, kRed, kGreen}, {2, 51, kGreen, kBlue}}));
    const auto segs = r.segments();
    ASSERT_EQ(segs.size(), 2u);
    EXPECT_EQ(segs[0].lineCalls, 4 * segs[0].bands.size());
    EXPECT_EQ(segs[1].lineCalls, 4 * segs[1].bands.size());
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

    // Along the height on the same area: R = 50, half-width R / q = 25.
    const Recorded v = record(makeParams(kShadedDiamond, 0, -1), 0, 0, 200, 100);
    ASSERT_EQ(v.bands().size(), 51u);
    EXPECT_DOUBLE_EQ(v.bands().back().x1, 100 - 25);
    EXPECT_DOUBLE_EQ(v.bands().back().y2, 49 - 50);
}

TEST(AngularPatterns, DiamondOriginIsKeptWithinSevenTenths)
{
    // Hump 10: A = R / 2.  The first outline (size 0) starts at the focal
    // point.  A drift with |ox| + |oy| above 0.7 is pulled back along its
    // direction, or scaled by 0.7 without a horizontal slant; the
    // orientation scaling (oy times q = 0.5 on 200 x 100) comes after.
    struct Case {
        Integer w, h, s, v;
        double ox, oy;
    };
    const Case cases[] = {
        {200, 200, 2, 2, 0.2, 0.2},    {200, 200, 3, 4, 0.3, 0.4},
        {200, 200, 7, 7, 0.35, 0.35},  {200, 200, 5, 5, 0.35, 0.35},
        {200, 200, -8, 6, -0.4, 0.3},  {200, 200, 10, -10, 0.35, -0.35},
        {200, 200, 0, 9, 0.0, 0.63},   {200, 200, 0, 5, 0.0, 0.5},
        {200, 100, 7, 7, 0.35, 0.175},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " " << c.s << "," << c.v);
        const Recorded r = record(makeParams(kShadedDiamond, 10, 1, c.s, c.v), 0, 0, c.w, c.h);
        ASSERT_EQ(r.segments().size(), 2u);
        const Call focal = r.bands().front();
        EXPECT_NEAR((focal.x1 - c.w / 2.0) / 50, c.ox, 1e-5);
        EXPECT_NEAR((focal.y1 - (c.h / 2.0 - 1)) / 50, c.oy, 1e-5);
    }
    // No slider pair gets past the limit.
    for (Integer s = -10; s <= 10; ++s) {
        for (Integer v = -10; v <= 10; ++v) {
            const Call focal =
                record(makeParams(kShadedDiamond, 10, 1, s, v), 0, 0, 200, 200).bands().front();
            EXPECT_LE(std::fabs(focal.x1 - 100) + std::fabs(focal.y1 - 99), 0.7 * 50 + 1e-4)
                << s << "," << v;
        }
    }
}

TEST(AngularPatterns, ClearcutDiamondDrawsTheFirstSegmentOnly)
{
    // The positions stop two pixels short of A: A = 51.75 gives round(49.75)
    // = 50, A = 50 gives 48 and A = 1.5 gives round(-0.5) = 0.
    struct Case {
        Integer w;
        std::size_t bands;
    };
    for (const Case c : {Case{207, 51}, Case{200, 49}, Case{6, 1}}) {
        const Recorded r = record(makeParams(kClearcutDiamond, 10), 0, 0, c.w, 100);
        EXPECT_EQ(briefs(r), (std::vector<Brief>{{-1, c.bands, kRed}})) << c.w;
        EXPECT_EQ(r.surface.calls().front().kind, CallKind::FillBox);
    }
    // Progress runs over that segment alone: p / A.
    const Recorded r = record(makeParams(kClearcutDiamond, 10), 0, 0, 200, 100);
    const std::vector<Single> prog = progressAfterBands(r);
    ASSERT_EQ(prog.size(), 49u);
    for (std::size_t p = 0; p < prog.size(); ++p)
        EXPECT_NEAR(prog[p], p / 50.0, 1e-6);
}

TEST(AngularPatterns, PensWithAndWithoutTheDriftFactor)
{
    // Rectangle on 2000 x 1000: R = 1000, 128 bands of 7.8125.  Outer part
    // 7.8 -> 7; inner part 7.8 x k + 1 with k = |drift| + 1: 8.8 -> 8
    // without sliders, 7.8 x 1.2236 + 1 = 10.56 -> 10 with (4, -2).
    // Diamond on 2000 x 1000, hump 10: 3.906 per band, first pen 3.9 x k + 2,
    // the second B / n, at least 2.
    struct Case {
        Integer pattern, hump, s, v;
        Long first, second;
    };
    const Case cases[] = {
        {kShadedRectangle, 0, 4, -2, 7, -1},   {kShadedRectangle, 20, 0, 0, 8, -1},
        {kShadedRectangle, 20, 4, -2, 10, -1}, {kShadedDiamond, 10, 0, 0, 5, 3},
        {kShadedDiamond, 10, 4, 0, 7, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << kPatternNames[c.pattern] << " hump " << c.hump << " " << c.s << "," << c.v);
        const Recorded r = record(makeParams(c.pattern, c.hump, 1, c.s, c.v), 0, 0, 2000, 1000);
        const auto segs = r.segments();
        ASSERT_EQ(segs.size(), c.second < 0 ? 1u : 2u);
        EXPECT_EQ(segs[0].pen, c.first);
        if (c.second >= 0) {
            EXPECT_EQ(segs[1].pen, c.second);
        }
    }
}
