// The shaded rectangle and the diamonds.  A box's values are its two
// corners; a diamond band's those of its first line, from the left vertex
// to the top one.
#include "support/render_fixture.h"

using namespace ombrix;
using namespace ombrix::test;

TEST(AngularPatterns, Rectangle)
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
    // inner pen is Ai x k / n + 1 with k = |drift| + 1.
    check(params(kShadedRectangle, 20), 0, 0, 2000, 1000, {{8, 144, kRed, kGreen}},
          {1000, 500, 999, 499}, {0, 0, 1999, 999},
          {{1, {993, kNo, kNo, kNo}}, {142, {6, kNo, kNo, kNo}}});
    check(params(kShadedRectangle, 0, 1, 4, -2), 0, 0, 2000, 1000, {{7, 144}});
    check(params(kShadedRectangle, 20, 1, 4, -2), 0, 0, 2000, 1000, {{10, 144}});
    // The rainbow runs over the inner part (u / Ai), never the outer one;
    // past the palette the innermost box keeps the colour of the box before
    // it, the outer part's last, not black.
    check(params(kShadedRectangle, 20, 1, 0, 0, 1), 0, 0, 256, 128, {{2, 129, kAny, kRed}}, {}, {},
          {{128 - 21, {}, num::rgb(255, 255, 0)}});
    check(params(kShadedRectangle, 10, 1, 0, 0, 1), 0, 0, 256, 128,
          {{2, 65, kBlue, kGreen}, {2, 65}});
    check(params(kShadedRectangle, 10, 1, 0, 0, 1), 0, 0, 200, 100,
          {{2, 51, kBlue, kGreen}, {2, 51, kGreen}});
}

TEST(AngularPatterns, Diamonds)
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
    struct Origin {
        Integer w, h, s, v;
        double ox, oy;
    };
    const Origin origins[] = {{200, 200, 3, 4, 0.3, 0.4},
                              {200, 200, 7, 7, 0.35, 0.35},
                              {200, 200, -8, 6, -0.4, 0.3},
                              {200, 200, 0, 9, 0.0, 0.63},
                              {200, 100, 7, 7, 0.35, 0.175}};
    for (const Origin& o : origins) {
        const double x = o.w / 2.0 + 50 * o.ox, y = o.h / 2.0 - 1 + 50 * o.oy;
        check(params(kShadedDiamond, 10, 1, o.s, o.v), 0, 0, o.w, o.h, {{-1, 51}, {-1, 51}},
              {x, y, x, y});
    }
    for (Integer s = -10; s <= 10; ++s)
        for (Integer v = -10; v <= 10; ++v) {
            const Call f = record(params(kShadedDiamond, 10, 1, s, v), 0, 0, 200, 200).bands()[0];
            EXPECT_LE(std::fabs(f.v[0] - 100) + std::fabs(f.v[1] - 99), 0.7 * 50 + 1e-4)
                << s << "," << v;
        }
    // Each outline: left vertex to top, right, bottom and back, each line
    // continuing from the last one's end; aspect below 1 flattens it.
    for (const auto& [aspect, dx, dy] : {std::tuple{0.5, 10.0, 5.0}, {2.0, 5.0, 10.0}}) {
        RecordingSurface s;
        mDiamondOutline(s, 50, 40, 10, kRed, aspect);
        ASSERT_EQ(s.calls().size(), 4u);
        const double p[5][2] = {
            {50 - dx, 40}, {50, 40 - dy}, {50 + dx, 40}, {50, 40 + dy}, {50 - dx, 40}};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(s.calls()[i].kind, i == 0 ? CallKind::Line : CallKind::LineTo);
            expectFig(s.calls()[i], {p[i][0], p[i][1], p[i + 1][0], p[i + 1][1]});
        }
    }
}
