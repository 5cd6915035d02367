// Shared set-up of the renderer tests: image parameters with three strongly
// distinct colours, a recorded drawing of one renderer called directly (so
// that its errors reach the test instead of being swallowed by the
// dispatch), a brief of its segments and colour helpers.
#pragma once

#include "render/engine.h"
#include "render/qimage_surface.h"
#include "support/recording_surface.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

namespace ombrix::test
{

// Colour 0 red, colour 1 green, colour 2 blue: every ramp between two of
// them keeps one channel at 0, so a band tells where it came from.
constexpr num::Rgb kRed = 0x0000FF;
constexpr num::Rgb kGreen = 0x00FF00;
constexpr num::Rgb kBlue = 0xFF0000;
constexpr num::Rgb kWhite = 0xFFFFFF;

inline ImageParams makeParams(Integer pattern, Integer hump, Integer rotation = 1,
                              Integer slant = 0, Integer verOffset = 0)
{
    ImageParams p;
    p.pnPattern = pattern;
    p.pnHump = hump;
    p.pnRotation = rotation;
    p.pnSlantRate = slant;
    p.pnVerOrgOffset = verOffset;
    p.pnRainbow = 0;
    p.plColor = {Colour{255, 0, 0}, Colour{0, 255, 0}, Colour{0, 0, 255}};
    return p;
}

// Records one drawing of the renderer, with its progress watched.
struct Recorded {
    RecordingSurface surface;
    Single finalProgress = 0;

    std::vector<RecordedSegment> segments() const { return surface.segments(); }
    std::vector<Call> bands() const { return surface.bands(); }
};

inline Recorded record(const ImageParams& p, Integer L, Integer T, Integer W, Integer H)
{
    Recorded r;
    RenderContext ctx(p);
    r.surface.watchProgress(&ctx.pfProgress);
    mDispatchPattern(ctx, r.surface, L, T, W, H);
    r.finalProgress = ctx.pfProgress;
    return r;
}

// The progress value each band left behind, in band order: the value
// watched at the next call after the band (its continued lines aside), or
// the drawing's final value after the last band.
inline std::vector<Single> progressAfterBands(const Recorded& r)
{
    const std::vector<Call>& calls = r.surface.calls();
    std::vector<Single> out;
    for (std::size_t i = 0; i < calls.size(); ++i) {
        if (!calls[i].isBand())
            continue;
        Single v = r.finalProgress;
        for (std::size_t j = i + 1; j < calls.size(); ++j)
            if (calls[j].kind != CallKind::LineTo) {
                v = calls[j].progress;
                break;
            }
        out.push_back(v);
    }
    return out;
}

struct RgbText {
    num::Rgb c;
};
inline std::ostream& operator<<(std::ostream& os, RgbText t)
{
    if (t.c == 0xFFFFFFFFu)
        return os << "any";
    return os << "(" << num::redOf(t.c) << "," << num::greenOf(t.c) << "," << num::blueOf(t.c)
              << ")";
}

// One segment in brief: its pen, its number of bands and the colours of its
// first and last band.  kAny (or a pen of -1) matches whatever was drawn.
constexpr num::Rgb kAny = 0xFFFFFFFFu;
struct Brief {
    Long pen;
    std::size_t bands;
    num::Rgb first = kAny, last = kAny;
};
inline bool operator==(const Brief& a, const Brief& b)
{
    auto same = [](num::Rgb x, num::Rgb y) { return x == kAny || y == kAny || x == y; };
    return (a.pen == -1 || b.pen == -1 || a.pen == b.pen) && a.bands == b.bands &&
           same(a.first, b.first) && same(a.last, b.last);
}
inline std::ostream& operator<<(std::ostream& os, const Brief& b)
{
    return os << "{pen " << b.pen << ", " << b.bands << " bands, " << RgbText{b.first} << " to "
              << RgbText{b.last} << "}";
}

inline std::vector<Brief> briefs(const Recorded& r)
{
    std::vector<Brief> out;
    for (const RecordedSegment& s : r.segments())
        out.push_back({s.pen, s.bands.size(), s.bands.empty() ? kAny : s.bands.front().colour,
                       s.bands.empty() ? kAny : s.bands.back().colour});
    return out;
}

// Largest per-channel difference of two colours.
inline int colourDistance(num::Rgb a, num::Rgb b)
{
    return std::max({std::abs(num::redOf(a) - num::redOf(b)),
                     std::abs(num::greenOf(a) - num::greenOf(b)),
                     std::abs(num::blueOf(a) - num::blueOf(b))});
}

inline num::Rgb pixelAt(const QImage& img, int x, int y)
{
    return fromQRgb(img.pixel(x, y));
}

} // namespace ombrix::test
