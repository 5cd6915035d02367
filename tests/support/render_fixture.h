// Shared set-up of the renderer tests: image parameters with three strongly
// distinct colours, a recorded drawing with its errors propagating, and the
// check of one row of a renderer's table: its segments in brief, its first
// and last band and any band worth a look.
#pragma once

#include "render/engine.h"
#include "support/recording_surface.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <ostream>

namespace ombrix::test
{

// Colour 0 red, colour 1 green, colour 2 blue: every ramp between two of
// them keeps one channel at 0, so a band tells where it came from.
constexpr num::Rgb kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kWhite = 0xFFFFFF;
constexpr num::Rgb kAny = 0xFFFFFFFFu;                           // any colour
constexpr double kNo = std::numeric_limits<double>::quiet_NaN(); // any value

inline ImageParams params(Integer pattern, Integer hump, Integer rotation = 1, Integer slant = 0,
                          Integer verOffset = 0, Integer rainbow = 0)
{
    ImageParams p;
    p.pnPattern = pattern;
    p.pnHump = hump;
    p.pnRotation = rotation;
    p.pnSlantRate = slant;
    p.pnVerOrgOffset = verOffset;
    p.pnRainbow = rainbow;
    p.plColor = {Colour{255, 0, 0}, Colour{0, 255, 0}, Colour{0, 0, 255}};
    return p;
}

inline RecordingSurface record(const ImageParams& p, Integer L, Integer T, Integer W, Integer H)
{
    RecordingSurface s(W, H);
    RenderContext ctx(p);
    s.watchProgress(&ctx.pfProgress);
    mDispatchPattern(ctx, s, L, T, W, H);
    s.finish();
    s.watchProgress(nullptr);
    return s;
}

// One segment in brief: its pen (-1: any), its number of bands, the colours
// (packed, kAny: any) of its first and last band and the progress its last
// band leaves behind.
struct Brief {
    Long pen;
    std::size_t bands;
    num::Rgb first = kAny, last = kAny;
    double progress = kNo;
};
inline bool operator==(const Brief& a, const Brief& b)
{
    auto same = [](num::Rgb x, num::Rgb y) { return x == kAny || y == kAny || x == y; };
    return (a.pen == -1 || b.pen == -1 || a.pen == b.pen) && a.bands == b.bands &&
           same(a.first, b.first) && same(a.last, b.last) &&
           !(std::fabs(a.progress - b.progress) > 1e-6);
}
inline std::ostream& operator<<(std::ostream& os, const Brief& b)
{
    return os << "{pen " << b.pen << ", " << b.bands << " bands, " << std::hex << b.first << " to "
              << b.last << std::dec << ", progress " << b.progress << "}";
}

// A band's values (Call::v); those left out are not checked.
struct Fig {
    double v[4] = {kNo, kNo, kNo, kNo};
};
struct Look {
    std::size_t band; // counted over the whole drawing
    Fig v;
    num::Rgb colour = kAny;
};

inline void expectFig(const Call& c, const Fig& want)
{
    for (int k = 0; k < 4; ++k)
        EXPECT_FALSE(std::fabs(c.v[k] - want.v[k]) > 1e-4)
            << k << ": " << c.v[k] << ", want " << want.v[k];
}

// One row of a renderer's table.  Round patterns and diamonds also fill
// their rectangle with colour 2 first, the sandglass only with the first
// rainbow palette, and no renderer changes the surface's draw style.
inline void check(const ImageParams& p, Integer L, Integer T, Integer W, Integer H,
                  const std::vector<Brief>& want, const Fig& first = {}, const Fig& last = {},
                  const std::vector<Look>& looks = {})
{
    SCOPED_TRACE(testing::Message()
                 << kPatternNames[p.pnPattern] << " hump " << p.pnHump << " rotation "
                 << p.pnRotation << " sliders " << p.pnSlantRate << "," << p.pnVerOrgOffset
                 << " rainbow " << p.pnRainbow << " at " << L << "," << T << " " << W << "x" << H);
    const RecordingSurface s = record(p, L, T, W, H);
    std::vector<Brief> got;
    for (const RecordedSegment& g : s.segments())
        got.push_back({g.pen, g.bands.size(), g.bands.empty() ? kAny : g.bands.front().colour,
                       g.bands.empty() ? kAny : g.bands.back().colour,
                       g.bands.empty() ? kNo : g.bands.back().progress});
    EXPECT_EQ(got, want);
    EXPECT_FALSE(s.cleared()); // the callers clear where they need it
    const std::vector<Call> bands = s.bands();
    ASSERT_FALSE(bands.empty());
    expectFig(bands.front(), first);
    expectFig(bands.back(), last);
    for (const Look& l : looks) {
        ASSERT_LT(l.band, bands.size());
        expectFig(bands[l.band], l.v);
        EXPECT_TRUE(l.colour == kAny || bands[l.band].colour == l.colour)
            << "band " << l.band << ": " << std::hex << bands[l.band].colour << ", want "
            << l.colour;
    }
    const bool round = p.pnPattern == kShadedEllipse || p.pnPattern == kClearcutEllipse ||
                       p.pnPattern == kShadedCircle || p.pnPattern == kClearcutCircle ||
                       p.pnPattern == kShadedDiamond || p.pnPattern == kClearcutDiamond;
    const Call& fill = s.calls().front();
    EXPECT_EQ(fill.kind == CallKind::FillBox,
              round || (p.pnPattern == kSandglass && p.pnRainbow == 1));
    if (fill.kind == CallKind::FillBox) {
        expectFig(fill, {{double(L), double(T), double(L + W), double(T + H)}});
        EXPECT_EQ(fill.colour, kBlue);
    }
    for (const Call& b : bands) {
        EXPECT_EQ(b.style, DrawStyle::InsideSolid);
        if (b.kind == CallKind::Arc) { // the semicircle's are half circles
            EXPECT_NEAR(b.end - b.v[3], 4 * std::atan(1.0), 1e-12);
        }
    }
}

} // namespace ombrix::test
