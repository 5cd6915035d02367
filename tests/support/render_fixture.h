// SPDX-License-Identifier: GPL-3.0-or-later
// Shared set-up of the renderer tests: a surface that records the figures
// the engine draws, image parameters whose colours tell the bands apart, the
// check of one row of a renderer's table, and the reading of drawn pixels.
#pragma once

#include "render/engine.h"
#include "render/qimage_surface.h"
#include "render/span_surface.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QRect>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <limits>
#include <ostream>
#include <vector>

namespace ombrix::test
{

// Colour 0 red, colour 1 green, colour 2 blue: every ramp between two of
// them keeps one channel at 0, so a band tells where it came from.
constexpr num::Rgb kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kWhite = 0xFFFFFF;
constexpr num::Rgb kAny = 0xFFFFFFFFu;                           // any colour
constexpr double kNo = std::numeric_limits<double>::quiet_NaN(); // any value

enum class CallKind { Line, LineTo, Box, FillBox, Circle, Arc, Ellipse };

// Line and boxes: the two points; LineTo: its end.  Circle, ellipse and arc:
// the centre, the radius, and the aspect (ellipse) or start angle (arc).
struct Call {
    CallKind kind;
    double v[4];
    num::Rgb colour;
    double end; // arc: end angle
};

// One segment in brief, as drawn or as wanted: its pen (-1: any), its number
// of bands, the colours of its first and last band and the progress the
// last one leaves behind.  A renderer sets the pen once per segment.
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

// A surface that records every call, the bands (figures drawn once a pen is
// set, less a diamond's continued lines and filled boxes) and each pen's
// segment in brief.
class RecordingSurface : public Surface
{
public:
    std::vector<Call> calls, bands;
    std::vector<Brief> pens;
    std::size_t count = 0; // surface calls of every kind
    bool clipped = false, cleared = false, styled = false;
    num::Rgb back = 0xFFFFFF;
    // The drawing's progress: each pen's segment takes the value it holds
    // when the next pen is set (record() notes the last one's).
    const Single* progress = nullptr;
    // Call number failFrom (0-based) and every later one throw `error`, by
    // default a SurfaceError.  Lifting the clip never fails: it runs while
    // unwinding.
    std::size_t failFrom = std::size_t(-1);
    std::exception_ptr error;

    explicit RecordingSurface(double width = 200, double height = 100) : w_(width), h_(height) {}

    using K = CallKind;
    using Rgb = num::Rgb;
    void line(double a, double b, double c, double d, Rgb k) override
    {
        add(K::Line, a, b, c, d, k);
    }
    void lineTo(double c, double d, Rgb k) override { add(K::LineTo, c, d, 0, 0, k); }
    void box(double a, double b, double c, double d, Rgb k) override { add(K::Box, a, b, c, d, k); }
    void fillBox(double a, double b, double c, double d, Rgb k) override
    {
        add(K::FillBox, a, b, c, d, k);
    }
    void circle(double x, double y, double r, Rgb k) override { add(K::Circle, x, y, r, 0, k); }
    void arc(double x, double y, double r, Rgb k, double a, double e) override
    {
        add(K::Arc, x, y, r, a, k, e);
    }
    void ellipse(double x, double y, double r, Rgb k, double q) override
    {
        add(K::Ellipse, x, y, r, q, k);
    }
    void setClipRect(double, double, double, double) override { clipped = enter(); }
    void clearClip() override { clipped = false; }
    void setDrawStyle(DrawStyle) override { styled = true; }
    DrawStyle drawStyle() const override { return DrawStyle::InsideSolid; }
    void setDrawWidth(Long width) override
    {
        enter();
        if (progress && !pens.empty())
            pens.back().progress = *progress;
        pens.push_back({width, 0});
    }
    Long drawWidth() const override { return pens.empty() ? 1 : pens.back().pen; }
    void setBackColor(Rgb c) override { cleared = enter(), back = c; }
    Rgb backColor() const override { return back; }
    void cls() override { cleared = enter(); }
    double scaleLeft() const override { return 0; }
    double scaleTop() const override { return 0; }
    double scaleWidth() const override { return w_; }
    double scaleHeight() const override { return h_; }

private:
    bool enter()
    {
        if (count >= failFrom)
            error ? std::rethrow_exception(error) : throw SurfaceError("told to fail");
        return ++count;
    }
    void add(K kind, double a, double b, double c, double d, Rgb colour, double end = 0)
    {
        enter();
        calls.push_back({kind, {a, b, c, d}, colour, end});
        if (kind == K::LineTo || kind == K::FillBox || pens.empty())
            return;
        bands.push_back(calls.back());
        Brief& pen = pens.back();
        pen.first = pen.bands++ ? pen.first : colour;
        pen.last = colour;
    }
    double w_, h_;
};

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

// A drawing through the dispatch with its errors propagating.
inline RecordingSurface record(const ImageParams& p, Integer L, Integer T, Integer W, Integer H)
{
    RecordingSurface s(W, H);
    RenderContext ctx(p);
    s.progress = &ctx.pfProgress;
    mDispatchPattern(ctx, s, L, T, W, H);
    if (!s.pens.empty())
        s.pens.back().progress = ctx.pfProgress;
    s.progress = nullptr;
    return s;
}

// A figure's values (Call::v), those left out not checked.
struct Fig {
    double v[4] = {kNo, kNo, kNo, kNo};
};
struct Look {
    std::size_t band; // counted over the whole drawing
    Fig v;
    num::Rgb colour = kAny;
};
inline void expectFig(const Call& c, const Fig& want, num::Rgb colour = kAny)
{
    for (int k = 0; k < 4; ++k)
        EXPECT_FALSE(std::fabs(c.v[k] - want.v[k]) > 1e-4)
            << k << ": " << c.v[k] << ", want " << want.v[k];
    EXPECT_TRUE(colour == kAny || c.colour == colour)
        << std::hex << c.colour << ", want " << colour;
}

// Whether the pattern is round (or a diamond) and fills its rectangle with
// colour 2 before its first figure.
inline bool fillsFirst(const ImageParams& p)
{
    const Integer k = p.pnPattern;
    return k == kShadedEllipse || k == kClearcutEllipse || k == kShadedCircle ||
           k == kClearcutCircle || k == kShadedDiamond || k == kClearcutDiamond;
}

// One row of a renderer's table: its segments in brief, its first and last
// band and any band worth a look.  Round patterns and diamonds fill their
// rectangle with colour 2 first, the sandglass only with the first rainbow
// palette; no renderer clears the surface or changes its draw style.
inline void check(const ImageParams& p, Integer L, Integer T, Integer W, Integer H,
                  const std::vector<Brief>& want, const Fig& first = {}, const Fig& last = {},
                  const std::vector<Look>& looks = {})
{
    SCOPED_TRACE(testing::Message()
                 << kPatternNames[p.pnPattern] << " hump " << p.pnHump << " rotation "
                 << p.pnRotation << " sliders " << p.pnSlantRate << "," << p.pnVerOrgOffset
                 << " rainbow " << p.pnRainbow << " at " << L << "," << T << " " << W << "x" << H);
    const RecordingSurface s = record(p, L, T, W, H);
    EXPECT_EQ(s.pens, want);
    EXPECT_FALSE(s.cleared || s.styled);
    ASSERT_FALSE(s.bands.empty());
    expectFig(s.bands.front(), first);
    expectFig(s.bands.back(), last);
    for (const Look& l : looks) {
        ASSERT_LT(l.band, s.bands.size());
        SCOPED_TRACE(testing::Message() << "band " << l.band);
        expectFig(s.bands[l.band], l.v, l.colour);
    }
    const bool fills = fillsFirst(p) || (p.pnPattern == kSandglass && p.pnRainbow == 1);
    ASSERT_EQ(s.calls.front().kind == CallKind::FillBox, fills);
    if (fills)
        expectFig(s.calls.front(), {{double(L), double(T), double(L + W), double(T + H)}}, kBlue);
    for (const Call& b : s.bands) // the semicircle's arcs are half circles
        EXPECT_TRUE(b.kind != CallKind::Arc ||
                    std::fabs(b.end - b.v[3] - 4 * std::atan(1.0)) < 1e-12);
}

// A picture of surface S cleared to `back`.
template <class S = SpanSurface>
S blankSurface(int w, int h, DrawStyle style = DrawStyle::InsideSolid, num::Rgb back = kWhite)
{
    S s(w, h, style);
    s.setBackColor(back);
    return s;
}

// The pattern drawn over a whole such picture, the engine's errors
// propagating.
template <class S = SpanSurface>
QImage drawn(const ImageParams& p, int w, int h, DrawStyle style = DrawStyle::InsideSolid,
             num::Rgb back = kWhite)
{
    S s = blankSurface<S>(w, h, style, back);
    RenderContext ctx(p);
    mDispatchPattern(ctx, s, 0, 0, Integer(w), Integer(h));
    return s.image();
}

inline num::Rgb pixelAt(const QImage& img, int x, int y)
{
    return fromQRgb(reinterpret_cast<const QRgb*>(img.constScanLine(y))[x]);
}

// Pixels of the rectangle (by default the whole picture) showing `colour`.
inline int pixelsOf(const QImage& img, QRect r = QRect(), num::Rgb colour = kWhite)
{
    r = r.isNull() ? img.rect() : r;
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += pixelAt(img, x, y) == colour;
    return n;
}

// A picture whose every pixel differs from its neighbours, so that a row or
// column mix-up shows, with runs of one colour as a gradient has them.
inline QImage mottled(int w, int h, QImage::Format format = QImage::Format_RGB32)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb((x * 37 + y) & 255, (y * 3 / 2) & 255, (x / 5 + 91) & 255));
    return img.convertToFormat(format);
}

// The largest difference of two colours in one channel.
inline int channelStep(num::Rgb a, num::Rgb b)
{
    return std::max({std::abs(num::redOf(a) - num::redOf(b)),
                     std::abs(num::greenOf(a) - num::greenOf(b)),
                     std::abs(num::blueOf(a) - num::blueOf(b))});
}

} // namespace ombrix::test
