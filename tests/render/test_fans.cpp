// The sandglass and the crossing pleats: fans of lines through the centre.
// A vertical fan's line k joins (L + k, T) to (L + W - k, T + H), a
// horizontal one's (L, T + k) to (L + W, T + H - k).
#include "support/render_fixture.h"

using namespace ombrix;
using namespace ombrix::test;

TEST(Fans, Cases)
{
    // Along the width two vertical fans of 100, along the height two
    // horizontal fans of 50; the other wedges stay as they were.
    const std::vector<Brief> across = {{2, 101, kRed, kGreen, 0.5}, {2, 101, kGreen, kBlue, 1}};
    check(params(kSandglass, 10), 10, 5, 200, 100, across, {10, 5, 210, 105}, {210, 5, 10, 105},
          {{100, {110, 5, 110, 105}}});
    check(params(kSandglass, 10, -1), 10, 5, 200, 100,
          {{2, 51, kRed, kGreen, 0.5}, {2, 51, kGreen, kBlue, 1}}, {10, 5, 210, 105},
          {10, 105, 210, 5}, {{50, {10, 55, 210, 55}}});
    // The pen is S / n + 1, at least 2.
    const std::pair<Integer, Brief> pens[] = {{20, {2, 21, kGreen, kBlue}},
                                              {127, {2, 128}},
                                              {300, {3, 151}},
                                              {500, {4, 168}},
                                              {1000, {8, 144}},
                                              {16384, {129, 129}}};
    for (const auto& [w, brief] : pens)
        check(params(kSandglass, 0), 0, 0, w, 50, {brief});
    // A = 767.5 rounds up to 6 x 128: the pen is the step plus one, not 6.
    check(params(kSandglass, 10), 0, 0, 1535, 50, {{7, 129}, {7, 129}});
    // Only the first rainbow palette fills the wedges with colour 2 first.
    // The rainbow runs over the first segment (p / A: band 21 of A = 64 is
    // step 42, green).
    check(params(kSandglass, 10, 1, 0, 0, 1), 0, 0, 128, 50,
          {{2, 65, kRed}, {2, 65, kGreen, kBlue}}, {}, {}, {{21, {}, kGreen}});
    for (Integer rainbow : {2, 3, 4})
        check(params(kSandglass, 10, 1, 0, 0, rainbow), 10, 5, 200, 100, {{2, 101}, {2, 101}});
    // Four loops in order, each over its own length; progress in proportion
    // to the loop lengths (100, 50, 100, 50).
    check(params(kCrossingPleats, 10), 3, 4, 200, 100,
          {{2, 101, kRed, kGreen, 1 / 3.0},
           {2, 51, kRed, kGreen, 0.5},
           {2, 101, kGreen, kBlue, 5 / 6.0},
           {2, 51, kGreen, kBlue, 1}},
          {3, 4, 203, 104}, {3, 104, 203, 4},
          {{100, {103, 4, 103, 104}},
           {101, {3, 4, 203, 104}},
           {126, {3, 29, 203, 79}, num::rgb(128, 127, 0)},
           {152, {103, 4, 103, 104}},
           {252, {203, 4, 3, 104}},
           {253, {3, 54, 203, 54}}});
    check(params(kCrossingPleats, 0), 0, 0, 200, 100,
          {{2, 201, kGreen, kBlue}, {2, 101, kGreen, kBlue}}, {0, 0, 200, 100}, {0, 100, 200, 0},
          {{200, {200, 0, 0, 100}}, {201, {0, 0, 200, 100}}});
    check(params(kCrossingPleats, 20), 0, 0, 200, 100,
          {{2, 201, kRed, kGreen}, {2, 101, kRed, kGreen}});
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
