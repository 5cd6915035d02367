// The linear gradient: band positions, steps and pens, colours, slant, the
// rainbow over the whole length and 32-bit sums on large images.  A band's
// values are its two ends.
#include "support/render_fixture.h"

using namespace ombrix;
using namespace ombrix::test;

namespace
{

ImageParams withColours(ImageParams p, std::array<Colour, 3> colours)
{
    p.plColor = colours;
    return p;
}

} // namespace

TEST(LinearGradient, Cases)
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
    check(params(kLinearGradient, 0, 1, 3), 0, 0, 200, 50, {{2, 131, kGreen, kBlue}},
          {0, 0, -60, 50}, {260, 0, 200, 50});
    check(params(kLinearGradient, 0, 1, 3), 0, 0, 200, 500, {{2, 131}}, {0, 0, -60, 500},
          {260, 0, 200, 500});
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
    const std::vector<Brief> large = {{128, 129, kRed, kGreen}, {128, 129, kGreen, kBlue}};
    const Integer big = 16384;
    check(params(kLinearGradient, 10, 1, 10), 0, 0, big, big, large, {}, {32768, 0, 16384, 16384});
    check(params(kLinearGradient, 10, 1, -10), 0, 0, big, big, large, {}, {16384, 0, 32768, 16384});
    check(params(kLinearGradient, 10, -1, 10), 0, 0, big, big, large, {}, {0, 16384, 16384, 32768});
    check(params(kLinearGradient, 10, -1, -10), 0, 0, big, big, large, {},
          {0, 32768, 16384, 16384});
    // The rainbow runs over the whole length (p / Len): on 128 pixels band
    // p is step p, and past step 125 the bands keep the last colour; hump
    // 10 reaches half the palette at the middle colour.
    const num::Rgb late = num::rgb(255, 0, 12);
    check(params(kLinearGradient, 20, 1, 0, 0, 1), 0, 0, 128, 10, {{2, 129, kRed, late}}, {}, {},
          {{21, {}, num::rgb(255, 255, 0)}, {84, {}, kBlue}, {125, {}, late}, {126, {}, late}});
    check(params(kLinearGradient, 10, 1, 0, 0, 1), 0, 0, 256, 10,
          {{2, 129, kRed, num::rgb(0, 243, 255)}, {2, 129, kGreen, kBlue}});
    // The colour ramp: W = 199 runs both segments to round(99.5) = 100, one
    // step past their end, where 256.3 is kept to 255; each channel runs on
    // its segment's own increment, halves to even (2.5, 3.75, 7.5, 12.5).
    const std::array<Colour, 3> over = {Colour{255, 0, 7}, Colour{0, 255, 7}, Colour{255, 0, 7}};
    const std::array<Colour, 3> dim = {Colour{0, 0, 0}, Colour{200, 0, 0}, Colour{0, 0, 0}};
    check(withColours(params(kLinearGradient, 10), over), 0, 0, 199, 10,
          {{2, 101, num::rgb(255, 0, 7), num::rgb(0, 255, 7)},
           {2, 101, num::rgb(0, 255, 7), num::rgb(255, 0, 7)}});
    check(params(kLinearGradient, 5), 0, 0, 200, 10,
          {{2, 51, kRed, kGreen}, {2, 151, kGreen, kBlue}}, {}, {},
          {{10, {}, num::rgb(204, 51, 0)}, {81, {}, num::rgb(0, 204, 51)}});
    check(withColours(params(kLinearGradient, 10), dim), 0, 0, 320, 10, {{2, 161}, {2, 161}}, {},
          {},
          {{2, {}, num::rgb(2, 0, 0)},
           {3, {}, num::rgb(4, 0, 0)},
           {6, {}, num::rgb(8, 0, 0)},
           {10, {}, num::rgb(12, 0, 0)}});
    // One segment over the whole width: at most 128 steps, the step round(S)
    // \ 128 from 128 pixels on, the pen S / 128 but at least 2, and one more
    // band at the end when the step does not divide the length.
    struct Steps {
        Integer hump, w;
        Long step;
        Brief brief;
    };
    const Steps steps[] = {{0, 10, 1, {2, 11, kGreen, kBlue}},
                           {20, 100, 1, {2, 101, kRed, kGreen}},
                           {0, 127, 1, {2, 128}},
                           {0, 128, 1, {2, 129}},
                           {0, 256, 2, {2, 129}},
                           {0, 300, 2, {2, 151}},
                           {0, 383, 2, {2, 193}},
                           {0, 1000, 7, {7, 144}},
                           {0, 16384, 128, {128, 129}}};
    // A = 767.5 rounds up to 768 = 6 x 128: the pen is the step, 6, where
    // the floor of S / n = 5.996 left a line of background between bands.
    check(params(kLinearGradient, 10), 0, 0, 1535, 10, {{6, 129}, {6, 129}});
    for (const Steps& s : steps) {
        const double step = s.step, w = s.w, beforeLast = step * (s.brief.bands - 2);
        check(params(kLinearGradient, s.hump), 0, 0, s.w, 10, {s.brief}, {0, 0, 0, 10},
              {w, 0, w, 10},
              {{1, {step, 0, step, 10}}, {s.brief.bands - 2, {beforeLast, 0, beforeLast, 10}}});
    }
}
