// Circles, ellipses and the semicircle: centres, radii, aspect, the origin
// drift and its limits, pens and the clearcut variants.
#include "support/render_fixture.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace ombrix;
using namespace ombrix::test;

namespace
{

const double kPi = 4 * std::atan(1.0);

// The drift per unit of radius that a drawing used: the first ring sits at
// the focal point cx + A * ox, and ring p at focal - p * ox.
struct Drift {
    double ox, oy;
};

Drift driftOf(const Recorded& r, double cx, double cy, double A)
{
    const Call first = r.bands().at(0);
    return {(first.x1 - cx) / A, (first.y1 - cy) / A};
}

} // namespace

// ---------------------------------------------------------------------------
// Circle

TEST(RoundPatterns, ShadedCircleHumpTen)
{
    // 200 x 100 at (10, 20): R = 50, A = B = 25, centre (L + 100, T + 49),
    // on a background of colour 2.
    const Recorded r = record(makeParams(kShadedCircle, 10), 10, 20, 200, 100);
    const std::vector<Call>& calls = r.surface.calls();
    ASSERT_FALSE(calls.empty());
    const Call& fill = calls.front();
    ASSERT_EQ(fill.kind, CallKind::FillBox);
    EXPECT_DOUBLE_EQ(fill.x1, 10);
    EXPECT_DOUBLE_EQ(fill.y1, 20);
    EXPECT_DOUBLE_EQ(fill.x2, 210);
    EXPECT_DOUBLE_EQ(fill.y2, 120);
    EXPECT_EQ(fill.colour, kBlue);

    // First pen 25 / 25 + 1 = 2, raised to 3.
    EXPECT_EQ(briefs(r), (std::vector<Brief>{{3, 26, kRed, kGreen}, {2, 26, kGreen, kBlue}}));
    const std::vector<Call> b = r.bands();
    ASSERT_EQ(b.size(), 52u);
    for (std::size_t i = 0; i < b.size(); ++i) {
        EXPECT_EQ(b[i].kind, CallKind::Circle);
        EXPECT_DOUBLE_EQ(b[i].x1, 110);
        EXPECT_DOUBLE_EQ(b[i].y1, 69);
        EXPECT_DOUBLE_EQ(b[i].r, i <= 25 ? i : i - 1.0) << i;
    }
}

TEST(RoundPatterns, CircleFocalPointDriftsWithTheSliders)
{
    // 400 x 400, hump 10: A = 100.  The focal point moves by A x 0.045 per
    // horizontal step and A x 0.04 per vertical step; the rings slide back
    // to the centre by the time their radius reaches A.
    const double cx = 200, cy = 199, A = 100;
    for (Integer s : {-10, -3, 0, 1, 4, 10}) {
        for (Integer v : {-10, -5, 0, 2, 10}) {
            SCOPED_TRACE(testing::Message() << s << "," << v);
            const Recorded r = record(makeParams(kShadedCircle, 10, 1, s, v), 0, 0, 400, 400);
            const auto segs = r.segments();
            ASSERT_EQ(segs.size(), 2u);
            const Drift d = driftOf(r, cx, cy, A);
            EXPECT_NEAR(d.ox, s * 0.045, 1e-6);
            EXPECT_NEAR(d.oy, v * 0.04, 1e-6);
            for (std::size_t p = 0; p < segs[0].bands.size(); ++p) {
                EXPECT_NEAR(segs[0].bands[p].x1, cx + (A - p) * d.ox, 1e-4);
                EXPECT_NEAR(segs[0].bands[p].y1, cy + (A - p) * d.oy, 1e-4);
            }
            EXPECT_NEAR(segs[0].bands.back().x1, cx, 1e-4);
            EXPECT_NEAR(segs[0].bands.back().y1, cy, 1e-4);
            // The second segment's rings are centred.
            for (const Call& c : segs[1].bands) {
                EXPECT_DOUBLE_EQ(c.x1, cx);
                EXPECT_DOUBLE_EQ(c.y1, cy);
            }
        }
    }
}

TEST(RoundPatterns, CircleHumpZeroAndTwenty)
{
    // Hump 0: the second segment alone, centred even with sliders set.
    const Recorded zero = record(makeParams(kShadedCircle, 0, 1, 5, 5), 0, 0, 200, 100);
    EXPECT_EQ(briefs(zero), (std::vector<Brief>{{-1, 51, kGreen, kBlue}}));
    const std::vector<Call> z = zero.bands();
    ASSERT_EQ(z.size(), 51u);
    EXPECT_DOUBLE_EQ(z.front().r, 0);
    EXPECT_DOUBLE_EQ(z.back().r, 50);
    EXPECT_DOUBLE_EQ(z.front().x1, 100);

    const Recorded twenty = record(makeParams(kShadedCircle, 20), 0, 0, 200, 100);
    EXPECT_EQ(briefs(twenty), (std::vector<Brief>{{-1, 51, kRed, kGreen}}));
    EXPECT_DOUBLE_EQ(twenty.bands().back().r, 50);
}

TEST(RoundPatterns, FirstPenGrowsWithTheDrift)
{
    // 3.906 pixels per band (A = B = 500, 128 bands).  Circle (2000 x 2000):
    // k = |drift| + 1, at least 3.  Ellipse (2000 x 1000): k = sqrt(max((|ox|
    // + 1)^2 + oy^2, (|oy| + 1)^2 + ox^2)) plus 2, no minimum.  The second
    // segment's pen has no drift factor.
    struct Case {
        Integer pattern, w, h, s, v;
        Long first, second;
    };
    const Case cases[] = {
        {kShadedCircle, 2000, 2000, 0, 0, 4, 3},   {kShadedCircle, 2000, 2000, 10, 10, 7, 3},
        {kShadedCircle, 2000, 2000, -10, 0, 6, 3}, {kShadedEllipse, 2000, 1000, 0, 0, 5, 4},
        {kShadedEllipse, 2000, 1000, 3, 0, 7, 4},  {kShadedEllipse, 2000, 1000, -3, 0, 7, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << kPatternNames[c.pattern] << " " << c.s << "," << c.v);
        const Recorded r = record(makeParams(c.pattern, 10, 1, c.s, c.v), 0, 0, c.w, c.h);
        const auto segs = r.segments();
        ASSERT_EQ(segs.size(), 2u);
        EXPECT_EQ(segs[0].pen, c.first);
        EXPECT_EQ(segs[1].pen, c.second);
    }
}

TEST(RoundPatterns, ClearcutVariantsDrawTheFirstSegmentOnly)
{
    // 200 x 100, hump 10: the circle's rings reach A = 25, the ellipse's
    // stop one pixel short of A = 50; progress runs to 1 over that segment.
    struct Case {
        Integer pattern;
        double A;
        std::size_t bands;
    };
    for (const Case c : {Case{kClearcutCircle, 25, 26}, Case{kClearcutEllipse, 50, 50}}) {
        SCOPED_TRACE(kPatternNames[c.pattern]);
        const Recorded r = record(makeParams(c.pattern, 10), 0, 0, 200, 100);
        EXPECT_EQ(briefs(r), (std::vector<Brief>{{-1, c.bands, kRed}}));
        EXPECT_EQ(r.surface.calls().front().kind, CallKind::FillBox);
        for (const Call& b : r.bands())
            EXPECT_LE(b.r, c.A);
        const std::vector<Single> prog = progressAfterBands(r);
        for (std::size_t p = 0; p < prog.size(); ++p)
            EXPECT_NEAR(prog[p], p / c.A, 1e-6) << p;
    }
    // The shaded circle with the same hump stops half-way at that radius.
    const Recorded shaded = record(makeParams(kShadedCircle, 10), 0, 0, 200, 100);
    EXPECT_NEAR(progressAfterBands(shaded)[25], 0.5, 1e-6);
}

// ---------------------------------------------------------------------------
// Ellipse

TEST(RoundPatterns, ShadedEllipseAlongTheWidth)
{
    // 200 x 100, rotation 1: q = 0.5, R = 100, A = B = 50, on a background
    // of colour 2.  The first segment stops one pixel short: 0 .. round(A -
    // 1) = 49; its pen is A / n + 2, the second's B / n + 1.
    const Recorded r = record(makeParams(kShadedEllipse, 10), 0, 0, 200, 100);
    ASSERT_EQ(r.surface.calls().front().kind, CallKind::FillBox);
    EXPECT_EQ(r.surface.calls().front().colour, kBlue);
    EXPECT_EQ(briefs(r), (std::vector<Brief>{{3, 50, kRed}, {2, 51, kGreen, kBlue}}));
    const std::vector<Call> b = r.bands();
    ASSERT_EQ(b.size(), 101u);
    for (std::size_t i = 0; i < b.size(); ++i) {
        EXPECT_EQ(b[i].kind, CallKind::Ellipse);
        EXPECT_DOUBLE_EQ(b[i].x1, 100);
        EXPECT_DOUBLE_EQ(b[i].y1, 49);
        EXPECT_DOUBLE_EQ(b[i].r, static_cast<double>(i)); // 0..49, then 50..100
        EXPECT_FLOAT_EQ(static_cast<float>(b[i].aspect), 0.5f);
    }
}

TEST(RoundPatterns, EllipseShapeByOrientation)
{
    struct Case {
        Integer rotation, w, h;
        double aspect, R;
    };
    // Rotation 1: the radius is the horizontal semi-axis and q <= 1;
    // rotation -1: the vertical semi-axis and q >= 1.
    for (const Case c :
         {Case{1, 200, 100, 0.5, 100}, Case{1, 100, 200, 0.5, 50}, Case{-1, 100, 200, 2.0, 100},
          Case{-1, 200, 100, 2.0, 50}, Case{1, 120, 120, 1.0, 60}}) {
        const Recorded r = record(makeParams(kShadedEllipse, 0, c.rotation), 0, 0, c.w, c.h);
        const std::vector<Call> b = r.bands();
        ASSERT_FALSE(b.empty());
        EXPECT_FLOAT_EQ(static_cast<float>(b.back().aspect), static_cast<float>(c.aspect))
            << c.rotation << " " << c.w << "x" << c.h;
        EXPECT_DOUBLE_EQ(b.back().r, c.R);
    }
}

TEST(RoundPatterns, EllipseOriginIsKeptWithinSixTenthsOfTheRadius)
{
    // Hump 10: A = R / 2.  A drift (s, v) / 10 longer than 0.6 is pulled
    // back along its direction as measured on the area's proportions, or
    // scaled by 0.6 without a horizontal slant; the orientation scaling
    // (oy times q along the width, ox over q along the height) comes after.
    const double r2 = 1 / std::sqrt(2.0), h83 = std::hypot(0.8, 0.3);
    struct Case {
        Integer rotation, w, h, s, v;
        double ox, oy;
    };
    const Case cases[] = {
        {1, 200, 200, 3, 4, 0.3, 0.4}, // inside: unchanged
        {1, 200, 200, 6, 0, 0.6, 0.0}, // on the limit: unchanged
        {1, 200, 200, 7, 7, 0.6 * r2, 0.6 * r2},
        {1, 200, 200, -8, 3, -0.6 * 0.8 / h83, 0.6 * 0.3 / h83},
        {1, 200, 200, 0, 7, 0.0, 0.42},
        {1, 200, 200, 0, -10, 0.0, -0.6},
        {1, 200, 200, 10, -10, 0.6 * r2, -0.6 * r2},
        {1, 200, 100, 7, 7, 0.6 * r2, 0.5 * 0.6 * r2},
        {-1, 200, 100, 7, 7, 0.6 * r2 / 2, 0.6 * r2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.rotation << " " << c.w << "x" << c.h << " " << c.s << "," << c.v);
        const Recorded r =
            record(makeParams(kShadedEllipse, 10, c.rotation, c.s, c.v), 0, 0, c.w, c.h);
        ASSERT_EQ(r.segments().size(), 2u);
        const double A = (c.rotation == 1 ? c.w : c.h) / 4.0;
        const Drift d = driftOf(r, c.w / 2.0, c.h / 2.0 - 1, A);
        EXPECT_NEAR(d.ox, c.ox, 1e-5);
        EXPECT_NEAR(d.oy, c.oy, 1e-5);
    }
}

TEST(RoundPatterns, EllipsePositionsStopOnePixelShort)
{
    struct Case {
        Integer w;
        std::size_t bands;
        double last;
    };
    // W = 207: A = 51.75, round(A - 1) = 51.  W = 206: A = 51.5,
    // round(50.5) = 50 (halves to even).  W = 2000: A = 500, step 3 up to
    // 498, then the closing ellipse at 499.
    for (const Case c : {Case{207, 52, 51}, Case{206, 51, 50}, Case{2000, 168, 499}}) {
        const Recorded r = record(makeParams(kClearcutEllipse, 10), 0, 0, c.w, 100);
        const auto segs = r.segments();
        ASSERT_EQ(segs.size(), 1u);
        EXPECT_EQ(segs[0].bands.size(), c.bands) << c.w;
        EXPECT_DOUBLE_EQ(segs[0].bands.back().r, c.last) << c.w;
    }
}

// ---------------------------------------------------------------------------
// Semicircle

TEST(RoundPatterns, SemicircleHalvesMoveAlongTheArea)
{
    // 200 x 100 at (10, 20): Len = 200 + 50 = 250.  Along the width, left
    // halves of radius 50 move right (hump 10: A = B = 125); along the
    // height, upper halves of radius 100 move down (hump 0: colour 1 to 2
    // only).  Nothing is filled first.
    for (Integer rotation : {1, -1}) {
        SCOPED_TRACE(rotation);
        const bool across = rotation == 1;
        const Recorded r =
            record(makeParams(kShadedSemicircle, across ? 10 : 0, rotation), 10, 20, 200, 100);
        EXPECT_TRUE(r.surface.ofKind(CallKind::FillBox).empty());
        EXPECT_EQ(briefs(r),
                  across ? (std::vector<Brief>{{2, 126, kRed, kGreen}, {2, 126, kGreen, kBlue}})
                         : (std::vector<Brief>{{2, 251, kGreen, kBlue}}));
        const std::vector<Call> b = r.bands();
        for (std::size_t i = 0; i < b.size(); ++i) {
            const double pos = across && i >= 126 ? i - 1.0 : i;
            EXPECT_EQ(b[i].kind, CallKind::Arc);
            EXPECT_DOUBLE_EQ(b[i].x1, across ? 10 + pos : 110) << i;
            EXPECT_DOUBLE_EQ(b[i].y1, across ? 70 : 20 + pos) << i;
            EXPECT_DOUBLE_EQ(b[i].r, across ? 50 : 100);
            EXPECT_DOUBLE_EQ(b[i].start, across ? kPi / 2 : 0);
            EXPECT_DOUBLE_EQ(b[i].end, across ? 3 * kPi / 2 : kPi);
            EXPECT_EQ(b[i].style, DrawStyle::InsideSolid);
        }
        // The surface gets its own style back.
        EXPECT_EQ(r.surface.drawStyle(), DrawStyle::InsideSolid);
    }
}

TEST(RoundPatterns, SemicircleLengthOnPortraitAreas)
{
    // H > W: Len = H + W / 2 = 350; hump 20: one segment of 350, step 2.
    const Recorded r = record(makeParams(kShadedSemicircle, 20), 0, 0, 100, 300);
    EXPECT_EQ(briefs(r), (std::vector<Brief>{{-1, 176, kRed, kGreen}}));
    EXPECT_DOUBLE_EQ(r.bands().back().x1, 350);
}

TEST(RoundPatterns, SemicircleRainbowFractionOfTheWholeLength)
{
    // 192 x 128: Len = 192 + 64 = 256, hump 10: A = 128.  The fraction is
    // p / Len, so band 42 is step 21 (yellow), not 42 as p / A would give.
    ImageParams p = makeParams(kShadedSemicircle, 10);
    p.pnRainbow = 1;
    const Recorded r = record(p, 0, 0, 192, 128);
    const auto segs = r.segments();
    ASSERT_EQ(segs.size(), 2u);
    EXPECT_EQ(segs[0].bands[42].colour, num::rgb(255, 255, 0));
    EXPECT_EQ(segs[1].bands.front().colour, kGreen);
}
