// SPDX-License-Identifier: GPL-3.0-or-later
// One table per renderer, recorded without rasterising: segments, pens,
// band positions, colours and progress.  A line's or box's values are its
// two ends or corners, a diamond band's those of its first line (from the
// left vertex to the top one), a ring's its centre, radius and aspect, an
// arc's its centre, radius and start angle.
#include "support/render_fixture.h"

using namespace ombrix;
using namespace ombrix::test;

TEST(Renderers, LinearGradient)
{
    // Two segments of 100, step 1, drawn in place; progress p / 200.  (The
    // middle band's green is 127.4999 in floating point.)
    check(params(kLinearGradient, 10), 40, 30, 200, 60,
          {{2, 101, kRed, kGreen, 0.5}, {2, 101, kGreen, kBlue, 1}}, {40, 30, 40, 90},
          {240, 30, 240, 90},
          {{50, {90, 30, 90, 90}, num::rgb(128, 127, 0)}, {101, {140, 30, 140, 90}}});
    check(params(kLinearGradient, 10, -1), 40, 30, 60, 200,
          {{2, 101, kRed, kGreen, 0.5}, {2, 101, kGreen, kBlue, 1}}, {40, 30, 100, 30},
          {40, 230, 100, 230});
    // A = 102.5: the first segment ends at round(A) = 102, the second's
    // bands sit at 102.5 + j.
    check(params(kLinearGradient, 10), 0, 0, 205, 10, {{2, 103, kRed}, {2, 103, kGreen}}, {}, {},
          {{102, {102, 0, 102, 10}}, {103, {102.5, 0, 102.5, 10}}, {104, {103.5, 0, 103.5, 10}}});
    // Hump 1 on 9 pixels: the first segment (0.45) has no bands and is
    // skipped; the second is drawn from 0.45 on.
    check(params(kLinearGradient, 1), 0, 0, 9, 20, {{2, 10, kGreen, kBlue}}, {0.45, 0, 0.45, 20});
    // Slant 3: D = 60 whatever the height, so the bands run on to 260.
    check(params(kLinearGradient, 0, 1, 3), 0, 0, 200, 500, {{2, 131, kGreen, kBlue}},
          {0, 0, -60, 500}, {260, 0, 200, 500});
    // Slant 2 at (30, 20): the bands keep their full length (the surface
    // clips them at the start edge); their ends lie p and p - D along the
    // gradient, the sign and the direction telling which one lags.
    check(params(kLinearGradient, 0, 1, -2), 30, 20, 200, 100, {{2, 241}}, {-10, 20, 30, 120},
          {230, 20, 270, 120});
    check(params(kLinearGradient, 0, 1, 2), 30, 20, 200, 100, {{2, 241}}, {30, 20, -10, 120},
          {270, 20, 230, 120});
    check(params(kLinearGradient, 0, -1, -2), 30, 20, 200, 100, {{2, 121}}, {30, 20, 230, 0},
          {30, 140, 230, 120});
    check(params(kLinearGradient, 0, -1, 2), 30, 20, 200, 100, {{2, 121}}, {30, 0, 230, 20},
          {30, 120, 230, 140});
    // 16384 x 16384 with slant 10 overflows 16 bits: Len = 32768.
    check(params(kLinearGradient, 10, -1, 10), 0, 0, 16384, 16384,
          {{128, 129, kRed, kGreen}, {128, 129, kGreen, kBlue}}, {}, {0, 16384, 16384, 32768});
    // The rainbow runs over the whole length (p / Len): on 128 pixels band
    // p is step p, and past step 125 the bands keep the last colour; hump
    // 10 reaches half the palette at the middle colour.
    const num::Rgb late = num::rgb(255, 0, 12);
    check(params(kLinearGradient, 20, 1, 0, 0, 1), 0, 0, 128, 10, {{2, 129, kRed, late}}, {}, {},
          {{21, {}, num::rgb(255, 255, 0)}, {84, {}, kBlue}, {125, {}, late}, {126, {}, late}});
    check(params(kLinearGradient, 10, 1, 0, 0, 1), 0, 0, 256, 10,
          {{2, 129, kRed, num::rgb(0, 243, 255)}, {2, 129, kGreen, kBlue}});
    // Each channel runs on its segment's own increment and halves go to
    // even (2.5, 3.75, 7.5, 12.5).
    ImageParams dim = params(kLinearGradient, 10);
    dim.plColor = {Colour{0, 0, 0}, Colour{200, 0, 0}, Colour{0, 0, 0}};
    check(dim, 0, 0, 320, 10, {{2, 161}, {2, 161}}, {}, {},
          {{2, {}, num::rgb(2, 0, 0)},
           {3, {}, num::rgb(4, 0, 0)},
           {6, {}, num::rgb(8, 0, 0)},
           {10, {}, num::rgb(12, 0, 0)}});
    // One segment over the whole width: at most 128 steps, the step round(S)
    // \ 128 from 128 pixels on, the pen S / 128 but at least 2, and one more
    // band at the end when the step does not divide the length.
    const int steps[][3] = {{10, 2, 11},   {127, 2, 128},  {128, 2, 129},
                            {300, 2, 151}, {1000, 7, 144}, {16384, 128, 129}}; // width, pen, bands
    for (const auto& [w, pen, bands] : steps)
        check(params(kLinearGradient, 0), 0, 0, Integer(w), 10,
              {{pen, std::size_t(bands), kGreen, kBlue}}, {0, 0, 0, 10},
              {double(w), 0, double(w), 10});
    check(params(kLinearGradient, 20), 0, 0, 100, 10, {{2, 101, kRed, kGreen}}, {0, 0, 0, 10},
          {100, 0, 100, 10});
    // A = 767.5 rounds up to 768 = 6 x 128: the pen is the step, 6, where
    // the floor of S / n = 5.996 left a line of background between bands.
    check(params(kLinearGradient, 10), 0, 0, 1535, 10, {{6, 129}, {6, 129}});
}

TEST(Renderers, ShadedRectangle)
{
    // Hump 0: the outer part alone from colour 2 at the edge, each box inset
    // by p along the longer side and p times the ratio along the other.
    check(params(kShadedRectangle, 0), 10, 20, 200, 100, {{2, 101, kBlue, kGreen}},
          {10, 20, 209, 119}, {110, 70, 109, 69}, {{40, {50, 40, 169, 99}}});
    check(params(kShadedRectangle, 0), 0, 0, 100, 200, {{2, 101, kBlue, kGreen}}, {0, 0, 99, 199},
          {50, 100, 49, 99});
    // Hump 20: the inner part alone, from the innermost box out.
    check(params(kShadedRectangle, 20), 0, 0, 200, 100, {{2, 101, kRed, kGreen, 1}},
          {100, 50, 99, 49}, {0, 0, 199, 99}, {{50, {50, 25, 149, 74}}});
    // Hump 10: the outer part first; the inner one ends on its last box.
    check(params(kShadedRectangle, 10), 0, 0, 200, 100,
          {{2, 51, kBlue, kGreen, 0.5}, {2, 51, kRed, kGreen, 1}}, {0, 0, 199, 99},
          {50, 25, 149, 74}, {{50, {50, 25, 149, 74}}, {51, {100, 50, 99, 49}}});
    // Sliders (4, -2): box u is off centre by (0.2 u, -0.1 u) in the area's
    // proportions.
    check(params(kShadedRectangle, 20, 1, 4, -2), 0, 0, 200, 100, {{-1, 101}}, {120, 45, 119, 44},
          {0, 0, 199, 99}, {{50, {60, 22.5, 159, 71.5}}});
    check(params(kShadedRectangle, 20, 1, 4, -2), 0, 0, 100, 200, {{-1, 101}}, {60, 90, 59, 89},
          {0, 0, 99, 199});
    // Step 7 does not divide Ai = 1000: u = 1000, 993, ..., 6, then 0.  The
    // inner pen is Ai x k / n + 1 with k = |drift| + 1, the outer one's Bo /
    // n whatever the sliders.
    check(params(kShadedRectangle, 20), 0, 0, 2000, 1000, {{8, 144, kRed, kGreen}},
          {1000, 500, 999, 499}, {0, 0, 1999, 999},
          {{1, {993, kNo, kNo, kNo}}, {142, {6, kNo, kNo, kNo}}});
    check(params(kShadedRectangle, 20, 1, 4, -2), 0, 0, 2000, 1000, {{10, 144}});
    check(params(kShadedRectangle, 0, 1, 4, -2), 0, 0, 2000, 1000, {{7, 144}});
    // The rainbow runs over the inner part (u / Ai), never the outer one;
    // past the palette the innermost box keeps the colour of the box before
    // it, the outer part's last, not black.
    check(params(kShadedRectangle, 20, 1, 0, 0, 1), 0, 0, 256, 128, {{2, 129, kAny, kRed}}, {}, {},
          {{128 - 21, {}, num::rgb(255, 255, 0)}});
    check(params(kShadedRectangle, 10, 1, 0, 0, 1), 0, 0, 200, 100,
          {{2, 51, kBlue, kGreen}, {2, 51, kGreen}});
}

TEST(Renderers, Diamonds)
{
    // q = 0.5, R = 100, A = B = 50, centre (100, 49) on colour 2.
    check(params(kShadedDiamond, 10), 0, 0, 200, 100,
          {{3, 51, kRed, kGreen, 0.5}, {2, 51, kGreen, kBlue, 1}}, {100, 49, 100, 49},
          {0, 49, 100, -1}, {{10, {90, 49, 100, 44}}});
    check(params(kShadedDiamond, 0, -1), 0, 0, 200, 100, {{2, 51, kGreen, kBlue}}, {},
          {75, 49, 100, -1});
    check(params(kShadedDiamond, 10), 0, 0, 2000, 1000, {{5, 168}, {3, 168}});
    check(params(kShadedDiamond, 10, 1, 4), 0, 0, 2000, 1000, {{7, 168}, {3, 168}});
    // Clearcut: the first segment alone, stopping two pixels short of A
    // (round(49.75) = 50, 48, round(-0.5) = 0); progress p / A.
    check(params(kClearcutDiamond, 10), 0, 0, 207, 100, {{-1, 51, kRed}});
    check(params(kClearcutDiamond, 10), 0, 0, 200, 100, {{3, 49, kRed, kAny, 0.96}}, {},
          {52, 49, 100, 25});
    check(params(kClearcutDiamond, 10), 0, 0, 6, 100, {{-1, 1, kRed}});
    // The origin is kept within |ox| + |oy| = 0.7, along its direction (or
    // scaled by 0.7 without a horizontal slant), before the orientation
    // scales it; the first outline (size 0) is the focal point.
    const double origins[][6] = {{200, 200, 3, 4, 0.3, 0.4},
                                 {200, 200, 7, 7, 0.35, 0.35},
                                 {200, 200, -8, 6, -0.4, 0.3},
                                 {200, 200, 0, 9, 0.0, 0.63},
                                 {200, 100, 7, 7, 0.35, 0.175}}; // size, sliders, origin
    for (const auto& [w, h, s, v, ox, oy] : origins) {
        const double x = w / 2 + 50 * ox, y = h / 2 - 1 + 50 * oy;
        check(params(kShadedDiamond, 10, 1, Integer(s), Integer(v)), 0, 0, Integer(w), Integer(h),
              {{-1, 51}, {-1, 51}}, {x, y, x, y});
    }
    // Each outline: left vertex to top, right, bottom and back, each line
    // continuing from the last one's end; aspect below 1 flattens it.
    for (const auto& [aspect, dx, dy] : {std::tuple{0.5, 10.0, 5.0}, {2.0, 5.0, 10.0}}) {
        RecordingSurface s;
        mDiamondOutline(s, 50, 40, 10, kRed, aspect);
        ASSERT_EQ(s.calls.size(), 4u);
        expectFig(s.calls[0], {{50 - dx, 40, 50, 40 - dy}});
        const double ends[3][2] = {{50 + dx, 40}, {50, 40 + dy}, {50 - dx, 40}};
        for (int i = 1; i < 4; ++i) {
            EXPECT_EQ(s.calls[i].kind, CallKind::LineTo);
            expectFig(s.calls[i], {{ends[i - 1][0], ends[i - 1][1]}});
        }
    }
}

TEST(Renderers, Fans)
{
    // The sandglass along the width draws two vertical fans of 100, along
    // the height two horizontal fans of 50: a vertical fan's line k joins
    // (L + k, T) to (L + W - k, T + H), a horizontal one's (L, T + k) to
    // (L + W, T + H - k).  The other wedges stay as they were.
    check(params(kSandglass, 10), 10, 5, 200, 100,
          {{2, 101, kRed, kGreen, 0.5}, {2, 101, kGreen, kBlue, 1}}, {10, 5, 210, 105},
          {210, 5, 10, 105}, {{100, {110, 5, 110, 105}}});
    check(params(kSandglass, 10, -1), 10, 5, 200, 100,
          {{2, 51, kRed, kGreen, 0.5}, {2, 51, kGreen, kBlue, 1}}, {10, 5, 210, 105},
          {10, 105, 210, 5}, {{50, {10, 55, 210, 55}}});
    // The pen is S / n + 1, at least 2.
    const int pens[][3] = {{20, 2, 21}, {300, 3, 151}, {1000, 8, 144}, {16384, 129, 129}};
    for (const auto& [w, pen, bands] : pens)
        check(params(kSandglass, 0), 0, 0, Integer(w), 50,
              {{pen, std::size_t(bands), kGreen, kBlue}});
    // A = 767.5 rounds up to 6 x 128: the pen is the step plus one, not 6.
    check(params(kSandglass, 10), 0, 0, 1535, 50, {{7, 129}, {7, 129}});
    // Only the first rainbow palette fills the wedges with colour 2 first.
    // The rainbow runs over the first segment (p / A: band 21 of A = 64 is
    // step 42, green).
    check(params(kSandglass, 10, 1, 0, 0, 1), 0, 0, 128, 50,
          {{2, 65, kRed}, {2, 65, kGreen, kBlue}}, {}, {}, {{21, {}, kGreen}});
    for (Integer rainbow : {2, 3, 4})
        check(params(kSandglass, 10, 1, 0, 0, rainbow), 10, 5, 200, 100, {{2, 101}, {2, 101}});
    // The pleats: four loops in order, each over its own length; progress in
    // proportion to the loop lengths (100, 50, 100, 50).
    check(params(kCrossingPleats, 10), 3, 4, 200, 100,
          {{2, 101, kRed, kGreen, 1 / 3.0},
           {2, 51, kRed, kGreen, 0.5},
           {2, 101, kGreen, kBlue, 5 / 6.0},
           {2, 51, kGreen, kBlue, 1}},
          {3, 4, 203, 104}, {3, 104, 203, 4},
          {{101, {3, 4, 203, 104}},
           {126, {3, 29, 203, 79}, num::rgb(128, 127, 0)},
           {152, {103, 4, 103, 104}},
           {253, {3, 54, 203, 54}}});
    check(params(kCrossingPleats, 0), 0, 0, 200, 100,
          {{2, 201, kGreen, kBlue}, {2, 101, kGreen, kBlue}}, {0, 0, 200, 100}, {0, 100, 200, 0},
          {{200, {200, 0, 0, 100}}, {201, {0, 0, 200, 100}}});
    // Rainbow: vertical p / 128 (band 21 is step 21), horizontal p / 64
    // (band 21 is step 42).
    check(params(kCrossingPleats, 20, 1, 0, 0, 3), 0, 0, 128, 64, {{2, 129}, {2, 65}}, {}, {},
          {{21, {}, num::rgb(255, 128, 0)}, {150, {}, num::rgb(255, 255, 0)}});
    // 2000 x 20 does not fit 16 bits: Ax = 2000 (step 15, then the closing
    // band at 2000), Ay = 16384 (step 128).
    check(params(kCrossingPleats, 20), 0, 0, 2000, 16384,
          {{-1, 135, kRed, kGreen}, {-1, 129, kRed, kGreen}}, {}, {0, 16384, 2000, 0},
          {{133, {1995, 0, 5, 16384}}, {134, {2000, 0, 0, 16384}}});
    // Hump 1 on 9 pixels of height: the horizontal first loop (0.45) has no
    // bands and is skipped; the others are drawn, the last from 0.45 on.
    check(params(kCrossingPleats, 1), 0, 0, 100, 9, {{2, 6}, {2, 96}, {2, 10}}, {}, {},
          {{102, {0, 0.45, 100, 8.55}}});
}

TEST(Renderers, Circles)
{
    // R = 50, A = B = 25, centre (L + 100, T + 49) on colour 2; the first
    // pen A / n + 1 is raised to 3.
    check(params(kShadedCircle, 10), 10, 20, 200, 100,
          {{3, 26, kRed, kGreen, 0.5}, {2, 26, kGreen, kBlue, 1}}, {110, 69, 0, kNo},
          {110, 69, 50, kNo}, {{25, {110, 69, 25, kNo}}, {26, {110, 69, 25, kNo}}});
    // Hump 0: the second segment alone, centred even with sliders set.
    check(params(kShadedCircle, 0, 1, 5, 5), 0, 0, 200, 100, {{2, 51, kGreen, kBlue}},
          {100, 49, 0, kNo}, {100, 49, 50, kNo});
    check(params(kShadedCircle, 20), 0, 0, 200, 100, {{3, 51, kRed, kGreen}}, {},
          {100, 49, 50, kNo});
    // A first segment of 0.45 pixels has no bands; the second is drawn.
    check(params(kShadedCircle, 1), 0, 0, 18, 18, {{2, 10}}, {9, 8, 0.45, kNo});
    // The first pen grows with the drift: A x k / n + 1 with k = |drift| + 1,
    // at least 3; the second's is B / n, at least 2.
    check(params(kShadedCircle, 10), 0, 0, 2000, 2000, {{4, 168}, {3, 168}});
    check(params(kShadedCircle, 10, 1, 10, 10), 0, 0, 2000, 2000, {{7, 168}, {3, 168}});
    // Clearcut: the first segment alone, progress p / A.
    check(params(kClearcutCircle, 10), 0, 0, 200, 100, {{3, 26, kRed, kGreen, 1}}, {},
          {100, 49, 25, kNo});
    // The focal point moves A x 0.045 per horizontal and A x 0.04 per
    // vertical slider step (400 x 400, A = 100, centre (200, 199)); the
    // rings slide back to the centre by radius A.
    for (const auto& [s, v] : {std::pair{-10, -10}, {4, 2}, {10, 10}, {0, -5}}) {
        const double ox = s * 0.045, oy = v * 0.04;
        check(params(kShadedCircle, 10, 1, Integer(s), Integer(v)), 0, 0, 400, 400,
              {{3, 101, kRed, kGreen}, {2, 101, kGreen, kBlue}},
              {200 + 100 * ox, 199 + 100 * oy, 0, kNo}, {200, 199, 200, kNo},
              {{40, {200 + 60 * ox, 199 + 60 * oy, 40, kNo}}, {101, {200, 199, 100, kNo}}});
    }
}

TEST(Renderers, Ellipses)
{
    // Along the width: q = 0.5, R = 100; the first segment stops one pixel
    // short (0 .. 49), its pen A / n + 2, the second's B / n + 1.
    check(params(kShadedEllipse, 10), 0, 0, 200, 100, {{3, 50, kRed}, {2, 51, kGreen, kBlue}},
          {100, 49, 0, 0.5}, {100, 49, 100, 0.5},
          {{49, {100, 49, 49, 0.5}}, {50, {100, 49, 50, 0.5}}});
    check(params(kClearcutEllipse, 10), 0, 0, 200, 100, {{3, 50, kRed, kAny, 0.98}}, {},
          {kNo, kNo, 49, kNo});
    // Rotation 1: the radius is the horizontal semi-axis, q <= 1; rotation
    // -1 the vertical one, q >= 1.
    check(params(kShadedEllipse, 0), 0, 0, 200, 100, {{2, 101}}, {}, {kNo, kNo, 100, 0.5});
    check(params(kShadedEllipse, 0), 0, 0, 100, 200, {{2, 51}}, {}, {kNo, kNo, 50, 0.5});
    check(params(kShadedEllipse, 0, -1), 0, 0, 100, 200, {{2, 101}}, {}, {kNo, kNo, 100, 2});
    check(params(kShadedEllipse, 0, -1), 0, 0, 200, 100, {{2, 51}}, {}, {kNo, kNo, 50, 2});
    // round(A - 1): 51 for A = 51.75, 50 for A = 51.5 (halves to even); for
    // A = 500 step 3 up to 498, then the closing ellipse at 499.
    check(params(kClearcutEllipse, 10), 0, 0, 207, 100, {{-1, 52}}, {}, {kNo, kNo, 51, kNo});
    check(params(kClearcutEllipse, 10), 0, 0, 206, 100, {{-1, 51}}, {}, {kNo, kNo, 50, kNo});
    check(params(kClearcutEllipse, 10), 0, 0, 2000, 100, {{-1, 168}}, {}, {kNo, kNo, 499, kNo});
    // The first pen A / n x k + 2, k = sqrt(max((|ox| + 1)^2 + oy^2, ...)).
    check(params(kShadedEllipse, 10), 0, 0, 2000, 1000, {{5, 168}, {4, 168}});
    check(params(kShadedEllipse, 10, 1, 3), 0, 0, 2000, 1000, {{7, 168}, {4, 168}});
    check(params(kShadedEllipse, 10, 1, -3), 0, 0, 2000, 1000, {{7, 168}, {4, 168}});
    // The origin is kept within 0.6 of the radius, along its direction as
    // measured on the area's proportions (or scaled by 0.6 without a
    // horizontal slant), before the orientation scales it.
    const double r2 = 0.6 / std::sqrt(2.0), h83 = std::hypot(0.8, 0.3);
    struct Origin {
        Integer rotation, w, h, s, v;
        double ox, oy;
    };
    const Origin origins[] = {
        {1, 200, 200, 3, 4, 0.3, 0.4},    {1, 200, 200, 7, 7, r2, r2},
        {1, 200, 200, 0, -10, 0.0, -0.6}, {1, 200, 200, -8, 3, -0.48 / h83, 0.18 / h83},
        {1, 200, 100, 7, 7, r2, r2 / 2},  {-1, 200, 100, 7, 7, r2 / 2, r2}};
    for (const Origin& o : origins) {
        const double A = (o.rotation == 1 ? o.w : o.h) / 4.0;
        check(params(kShadedEllipse, 10, o.rotation, o.s, o.v), 0, 0, o.w, o.h,
              {{-1, std::size_t(A)}, {-1, std::size_t(A) + 1}},
              {o.w / 2.0 + A * o.ox, o.h / 2.0 - 1 + A * o.oy, 0, kNo});
    }
}

TEST(Renderers, Semicircle)
{
    // Len = W + H / 2 = 250: left halves of radius 50 move right, or upper
    // halves of radius 100 move down; nothing is filled first.
    const double pi = 4 * std::atan(1.0);
    check(params(kShadedSemicircle, 10), 10, 20, 200, 100,
          {{2, 126, kRed, kGreen, 0.5}, {2, 126, kGreen, kBlue, 1}}, {10, 70, 50, pi / 2},
          {260, 70, 50, pi / 2}, {{125, {135, 70, 50, pi / 2}}, {126, {135, 70, 50, pi / 2}}});
    check(params(kShadedSemicircle, 0, -1), 10, 20, 200, 100, {{2, 251, kGreen, kBlue}},
          {110, 20, 100, 0}, {110, 270, 100, 0});
    check(params(kShadedSemicircle, 20), 0, 0, 100, 300, {{-1, 176, kRed, kGreen}}, {},
          {350, 150, 150, kNo});
    // The rainbow runs over the whole length: band 42 of 256 is step 21.
    check(params(kShadedSemicircle, 10, 1, 0, 0, 1), 0, 0, 192, 128, {{2, 129}, {2, 129, kGreen}},
          {}, {}, {{42, {}, num::rgb(255, 255, 0)}});
}
