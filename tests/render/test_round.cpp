// Circles, ellipses and the semicircle.  A ring's values are its centre,
// radius and aspect; an arc's its centre, radius and start angle.
#include "support/render_fixture.h"

using namespace ombrix;
using namespace ombrix::test;

TEST(RoundPatterns, Circles)
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
    check(params(kShadedCircle, 10, 1, -10, 0), 0, 0, 2000, 2000, {{6, 168}, {3, 168}});
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
              {{40, {200 + 60 * ox, 199 + 60 * oy, 40, kNo}},
               {100, {200, 199, 100, kNo}},
               {101, {200, 199, 100, kNo}}});
    }
}

TEST(RoundPatterns, Ellipses)
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
    check(params(kShadedEllipse, 0), 0, 0, 120, 120, {{2, 61}}, {}, {kNo, kNo, 60, 1});
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

TEST(RoundPatterns, Semicircle)
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
