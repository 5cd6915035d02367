// Circles, ellipses and the semicircle: centres, radii, aspect, the origin
// drift and its limits, pens and the clearcut variants.
#include "support/render_fixture.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace ombrix;
using namespace ombrix::test;

namespace
{

// The drift per unit of radius that a drawing used: the first ring sits at
// the focal point cx + A * ox, and ring p at focal - p * ox.
struct Drift {
    double ox, oy;
};

Drift driftOf(const RecordedSegment& first, double cx, double cy, double A)
{
    return {(first.bands.front().x1 - cx) / A, (first.bands.front().y1 - cy) / A};
}

} // namespace

// ---------------------------------------------------------------------------
// Circle

TEST(RoundPatterns, ShadedCircleHumpTen)
{
    // 200 x 100: R = 50, A = B = 25, centre (L + 100, T + 49).
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

    const auto segs = r.segments();
    ASSERT_EQ(segs.size(), 2u);
    ASSERT_EQ(segs[0].bands.size(), 26u);
    ASSERT_EQ(segs[1].bands.size(), 26u);
    EXPECT_EQ(segs[0].pen, 3); // 25 / 25 + 1 = 2, raised to 3
    EXPECT_EQ(segs[1].pen, 2);
    for (int i = 0; i <= 25; ++i) {
        const Call& a = segs[0].bands[i];
        const Call& b = segs[1].bands[i];
        EXPECT_EQ(a.kind, CallKind::Circle);
        EXPECT_DOUBLE_EQ(a.x1, 110);
        EXPECT_DOUBLE_EQ(a.y1, 69);
        EXPECT_DOUBLE_EQ(a.r, i);
        EXPECT_DOUBLE_EQ(b.x1, 110);
        EXPECT_DOUBLE_EQ(b.y1, 69);
        EXPECT_DOUBLE_EQ(b.r, 25 + i);
    }
    EXPECT_EQ(segs[0].bands.front().colour, kRed);  // the centre
    EXPECT_EQ(segs[0].bands.back().colour, kGreen); // radius 25
    EXPECT_EQ(segs[1].bands.back().colour, kBlue);  // radius 50
}

TEST(RoundPatterns, CircleFocalPointDriftsWithTheSliders)
{
    // 400 x 400, hump 10: A = 100.  The focal point moves by A x 0.045 per
    // horizontal step and A x 0.04 per vertical step; the rings slide back
    // to the centre by the time their radius reaches A.
    const double cx = 200, cy = 199, A = 100;
    for (Integer s : {-10, -3, 0, 1, 4, 10}) {
        for (Integer v : {-10, -5, 0, 2, 10}) {
            const Recorded r = record(makeParams(kShadedCircle, 10, 1, s, v), 0, 0, 400, 400);
            const auto segs = r.segments();
            ASSERT_EQ(segs.size(), 2u);
            const Drift d = driftOf(segs[0], cx, cy, A);
            EXPECT_NEAR(d.ox, s * 0.045, 1e-6) << s << "," << v;
            EXPECT_NEAR(d.oy, v * 0.04, 1e-6) << s << "," << v;
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

TEST(RoundPatterns, CirclePenGrowsWithTheDrift)
{
    // 2000 x 2000, hump 10: A = 500, 128 bands, 3.906 pixels per band.
    struct Case {
        Integer s, v;
        Long pen;
    };
    // k = |drift| + 1: (0, 0) -> 1, (10, 10) -> 1.602, (-10, 0) -> 1.45.
    for (const Case c : {Case{0, 0, 4}, Case{10, 10, 7}, Case{-10, 0, 6}}) {
        const Recorded r = record(makeParams(kShadedCircle, 10, 1, c.s, c.v), 0, 0, 2000, 2000);
        ASSERT_EQ(r.segments().size(), 2u);
        EXPECT_EQ(r.segments()[0].pen, c.pen) << c.s << "," << c.v;
        EXPECT_EQ(r.segments()[1].pen, 3); // 500 / 128 = 3.9, no drift factor
    }
}

TEST(RoundPatterns, ClearcutCircleDrawsTheFirstSegmentOnly)
{
    const Recorded r = record(makeParams(kClearcutCircle, 10), 0, 0, 200, 100);
    const auto segs = r.segments();
    ASSERT_EQ(segs.size(), 1u);
    ASSERT_EQ(segs[0].bands.size(), 26u);
    for (const Call& c : segs[0].bands)
        EXPECT_LE(c.r, 25.0); // nothing beyond radius A
    EXPECT_EQ(segs[0].bands.back().colour, kGreen);
    // Progress runs to 1 over the first segment alone.
    const std::vector<Single> prog = progressAfterBands(r);
    for (std::size_t p = 0; p < prog.size(); ++p)
        EXPECT_NEAR(prog[p], p / 25.0, 1e-6);
    EXPECT_FLOAT_EQ(r.finalProgress, 1.0f);

    // The shaded circle with the same hump stops half-way at that radius.
    const Recorded shaded = record(makeParams(kShadedCircle, 10), 0, 0, 200, 100);
    EXPECT_NEAR(progressAfterBands(shaded)[25], 0.5, 1e-6);
}

TEST(RoundPatterns, CircleHumpZeroAndTwenty)
{
    const Recorded zero = record(makeParams(kShadedCircle, 0, 1, 5, 5), 0, 0, 200, 100);
    ASSERT_EQ(zero.segments().size(), 1u);
    const std::vector<Call> z = zero.bands();
    ASSERT_EQ(z.size(), 51u);
    EXPECT_DOUBLE_EQ(z.front().r, 0);
    EXPECT_DOUBLE_EQ(z.back().r, 50);
    EXPECT_DOUBLE_EQ(z.front().x1, 100); // centred: no first segment, no drift
    EXPECT_EQ(z.front().colour, kGreen);

    const Recorded twenty = record(makeParams(kShadedCircle, 20), 0, 0, 200, 100);
    ASSERT_EQ(twenty.segments().size(), 1u);
    EXPECT_EQ(twenty.bands().back().colour, kGreen);
    EXPECT_DOUBLE_EQ(twenty.bands().back().r, 50);
}

// ---------------------------------------------------------------------------
// Ellipse

TEST(RoundPatterns, ShadedEllipseAlongTheWidth)
{
    // 200 x 100, rotation 1: q = 0.5, R = 100, A = B = 50.
    const Recorded r = record(makeParams(kShadedEllipse, 10), 0, 0, 200, 100);
    ASSERT_EQ(r.surface.calls().front().kind, CallKind::FillBox);
    EXPECT_EQ(r.surface.calls().front().colour, kBlue);
    const auto segs = r.segments();
    ASSERT_EQ(segs.size(), 2u);
    // The first segment stops one pixel short: 0 .. round(A - 1) = 49.
    ASSERT_EQ(segs[0].bands.size(), 50u);
    ASSERT_EQ(segs[1].bands.size(), 51u);
    EXPECT_EQ(segs[0].pen, 3); // A / n + 2
    EXPECT_EQ(segs[1].pen, 2); // B / n + 1
    for (std::size_t i = 0; i < segs[0].bands.size(); ++i) {
        const Call& c = segs[0].bands[i];
        EXPECT_EQ(c.kind, CallKind::Ellipse);
        EXPECT_DOUBLE_EQ(c.x1, 100);
        EXPECT_DOUBLE_EQ(c.y1, 49);
        EXPECT_DOUBLE_EQ(c.r, static_cast<double>(i));
        EXPECT_FLOAT_EQ(static_cast<float>(c.aspect), 0.5f);
    }
    for (std::size_t j = 0; j < segs[1].bands.size(); ++j)
        EXPECT_DOUBLE_EQ(segs[1].bands[j].r, 50.0 + j);
    EXPECT_EQ(segs[0].bands.front().colour, kRed);
    EXPECT_EQ(segs[1].bands.front().colour, kGreen);
    EXPECT_EQ(segs[1].bands.back().colour, kBlue);
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
    // 200 x 200 so that the orientation scaling leaves the drift alone
    // (q = 1); hump 10: A = 50.
    const double cx = 100, cy = 99, A = 50;
    struct Case {
        Integer s, v;
        double ox, oy;
    };
    const Case cases[] = {
        {3, 4, 0.3, 0.4},                                   // inside: unchanged
        {6, 0, 0.6, 0.0},                                   // on the limit: unchanged
        {7, 7, 0.6 / std::sqrt(2.0), 0.6 / std::sqrt(2.0)}, // pulled back along its direction
        {-8, 3, -0.6 * 0.8 / std::hypot(0.8, 0.3), 0.6 * 0.3 / std::hypot(0.8, 0.3)},
        {0, 7, 0.0, 0.42}, // no horizontal slant: scaled by 0.6
        {0, -10, 0.0, -0.6},
        {10, -10, 0.6 / std::sqrt(2.0), -0.6 / std::sqrt(2.0)},
    };
    for (const Case& c : cases) {
        const Recorded r = record(makeParams(kShadedEllipse, 10, 1, c.s, c.v), 0, 0, 200, 200);
        const auto segs = r.segments();
        ASSERT_EQ(segs.size(), 2u);
        const Drift d = driftOf(segs[0], cx, cy, A);
        EXPECT_NEAR(d.ox, c.ox, 1e-5) << c.s << "," << c.v;
        EXPECT_NEAR(d.oy, c.oy, 1e-5) << c.s << "," << c.v;
    }
}

TEST(RoundPatterns, EllipseLimitUsesTheAreaProportionsBeforeTheOrientation)
{
    // On 200 x 100 (a = H / W = 0.5) the pulled-back drift keeps its
    // direction and length 0.6; rotation 1 then scales oy by q = 0.5.
    const double cx = 100, cy = 49, A = 50;
    const Recorded r = record(makeParams(kShadedEllipse, 10, 1, 7, 7), 0, 0, 200, 100);
    const Drift d = driftOf(r.segments().at(0), cx, cy, A);
    EXPECT_NEAR(d.ox, 0.6 / std::sqrt(2.0), 1e-5);
    EXPECT_NEAR(d.oy, 0.5 * 0.6 / std::sqrt(2.0), 1e-5);

    // Rotation -1 on the same area: q = 2, ox is divided by it.
    const Recorded v = record(makeParams(kShadedEllipse, 10, -1, 7, 7), 0, 0, 200, 100);
    const Drift dv = driftOf(v.segments().at(0), cx, cy, 25); // R = 50, A = 25
    EXPECT_NEAR(dv.ox, 0.6 / std::sqrt(2.0) / 2, 1e-5);
    EXPECT_NEAR(dv.oy, 0.6 / std::sqrt(2.0), 1e-5);
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

TEST(RoundPatterns, EllipsePenUsesTheDriftFactorAndNoMinimum)
{
    // 2000 x 1000, hump 10: A = B = 500, 3.906 pixels per band.
    struct Case {
        Integer s, v;
        Long first;
    };
    // k = sqrt(max((|ox| + 1)^2 + oy^2, (|oy| + 1)^2 + ox^2)): 1 -> 5,
    // (3, 0) -> 1.3 -> 7.08.
    for (const Case c : {Case{0, 0, 5}, Case{3, 0, 7}, Case{-3, 0, 7}}) {
        const Recorded r = record(makeParams(kShadedEllipse, 10, 1, c.s, c.v), 0, 0, 2000, 1000);
        const auto segs = r.segments();
        ASSERT_EQ(segs.size(), 2u);
        EXPECT_EQ(segs[0].pen, c.first) << c.s;
        EXPECT_EQ(segs[1].pen, 4); // 3.906 + 1
    }
}

TEST(RoundPatterns, ClearcutEllipseProgressRunsOverTheFirstSegment)
{
    const Recorded r = record(makeParams(kClearcutEllipse, 10), 0, 0, 200, 100);
    const auto segs = r.segments();
    ASSERT_EQ(segs.size(), 1u);
    const std::vector<Single> prog = progressAfterBands(r);
    ASSERT_EQ(prog.size(), 50u);
    for (std::size_t p = 0; p < prog.size(); ++p)
        EXPECT_NEAR(prog[p], p / 50.0, 1e-6);
    for (const Call& c : segs[0].bands)
        EXPECT_LT(c.r, 50.0);
}

// ---------------------------------------------------------------------------
// Semicircle

TEST(RoundPatterns, SemicircleLeftHalvesMoveRight)
{
    // 200 x 100: Len = 200 + 50 = 250, hump 10: A = B = 125.
    const double pi = 4 * std::atan(1.0);
    const Recorded r = record(makeParams(kShadedSemicircle, 10), 10, 20, 200, 100);
    EXPECT_TRUE(r.surface.ofKind(CallKind::FillBox).empty()); // nothing filled first
    const auto segs = r.segments();
    ASSERT_EQ(segs.size(), 2u);
    ASSERT_EQ(segs[0].bands.size(), 126u);
    ASSERT_EQ(segs[1].bands.size(), 126u);
    EXPECT_EQ(segs[0].pen, 2);
    EXPECT_EQ(segs[1].pen, 2);
    for (std::size_t i = 0; i < 126; ++i) {
        for (int k = 0; k < 2; ++k) {
            const Call& c = segs[k].bands[i];
            EXPECT_EQ(c.kind, CallKind::Arc);
            EXPECT_DOUBLE_EQ(c.x1, 10 + 125.0 * k + i);
            EXPECT_DOUBLE_EQ(c.y1, 70);
            EXPECT_DOUBLE_EQ(c.r, 50);
            EXPECT_DOUBLE_EQ(c.start, pi / 2);
            EXPECT_DOUBLE_EQ(c.end, 3 * pi / 2);
            // Centred on their path even on an inside-solid surface.
            EXPECT_EQ(c.style, DrawStyle::Solid);
        }
    }
    // The surface gets its own style back.
    EXPECT_EQ(r.surface.drawStyle(), DrawStyle::InsideSolid);
    EXPECT_EQ(segs[0].bands.front().colour, kRed);
    EXPECT_EQ(segs[1].bands.front().colour, kGreen);
    EXPECT_EQ(segs[1].bands.back().colour, kBlue);
}

TEST(RoundPatterns, SemicircleUpperHalvesMoveDown)
{
    const double pi = 4 * std::atan(1.0);
    const Recorded r = record(makeParams(kShadedSemicircle, 0, -1), 10, 20, 200, 100);
    const std::vector<Call> b = r.bands();
    ASSERT_EQ(b.size(), 251u); // Len = 250, step 1
    for (std::size_t j = 0; j < b.size(); ++j) {
        EXPECT_DOUBLE_EQ(b[j].x1, 110);
        EXPECT_DOUBLE_EQ(b[j].y1, 20.0 + j);
        EXPECT_DOUBLE_EQ(b[j].r, 100);
        EXPECT_DOUBLE_EQ(b[j].start, 0);
        EXPECT_DOUBLE_EQ(b[j].end, pi);
    }
    EXPECT_EQ(b.front().colour, kGreen); // hump 0: colour 1 to colour 2 only
    EXPECT_EQ(b.back().colour, kBlue);
}

TEST(RoundPatterns, SemicircleLengthOnPortraitAreas)
{
    // H > W: Len = H + W / 2 = 350; hump 20: one segment of 350, step 2.
    const Recorded r = record(makeParams(kShadedSemicircle, 20), 0, 0, 100, 300);
    const auto segs = r.segments();
    ASSERT_EQ(segs.size(), 1u);
    EXPECT_DOUBLE_EQ(segs[0].bands.back().x1, 350);
    EXPECT_EQ(segs[0].bands.size(), 176u);
    EXPECT_EQ(segs[0].bands.back().colour, kGreen);
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
    EXPECT_EQ(segs[0].bands[42].colour, rgbOf(255, 255, 0));
    EXPECT_EQ(segs[1].bands.front().colour, kGreen);
}
