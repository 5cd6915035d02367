// SPDX-License-Identifier: GPL-3.0-or-later
// The span surface against the QPainter reference: every pattern drawn on
// both, at several sizes and shapes and a seeded sample of parameter sets.
#include "render/drivers.h"
#include "render/qimage_surface.h"
#include "support/render_fixture.h"

#include <QImage>

#include <algorithm>
#include <random>

using namespace ombrix;
using namespace ombrix::test;

namespace
{

// Both surfaces start from it, so a pixel still showing it is one no figure
// reached: green 254 with next to no red and blue, in no ramp of the colours
// below and no rainbow palette.
constexpr num::Rgb kUnreached = 0x03FE01;

struct Case {
    Integer pattern, hump, rotation, slant, verOffset, rainbow;
    int width, height;
    DrawStyle style;
};

std::ostream& operator<<(std::ostream& os, const Case& c)
{
    return os << kPatternNames[c.pattern] << " " << c.width << "x" << c.height << " hump " << c.hump
              << " rotation " << c.rotation << " sliders " << c.slant << "," << c.verOffset
              << " rainbow " << c.rainbow << " style " << int(c.style);
}

ImageParams caseParams(const Case& c)
{
    ImageParams p = params(c.pattern, c.hump, c.rotation, c.slant, c.verOffset, c.rainbow);
    // Colours that change in every channel, none of them magenta.
    p.plColor = {Colour{250, 40, 10}, Colour{20, 200, 90}, Colour{10, 60, 230}};
    return p;
}

// The largest change in one channel from one band to the next, and from
// the fill the round patterns and diamonds start with to their outermost
// band, which a clearcut figure shows against the fill.
int bandStep(const Case& c)
{
    const RecordingSurface rec = record(caseParams(c), 0, 0, Integer(c.width), Integer(c.height));
    std::vector<num::Rgb> colours;
    for (const Call& call : rec.calls)
        if (call.kind != CallKind::LineTo)
            colours.push_back(call.colour);
    int step = 0;
    for (std::size_t i = 1; i < colours.size(); ++i)
        step = std::max(step, channelStep(colours[i - 1], colours[i]));
    if (!rec.calls.empty() && rec.calls.front().kind == CallKind::FillBox)
        step = std::max(step, channelStep(colours.front(), colours.back()));
    return step;
}

// How far (in pixels across or down) an edge may lie from the reference's:
// on the flat stretches of a thin band a small shift moves it far along.
constexpr int kNear = 2;

// The pixels of one pattern over all its cases: how many, and how many the
// same on both surfaces.
struct Tally {
    long all = 0, same = 0;
};

// The pixels of every case are the reference's wherever the two surfaces
// agree; elsewhere an edge lies a pixel or two further or nearer, so the
// pixel is within one band's colour step of a pixel the reference shows
// beside it; and no pixel the reference's figures cover is left bare.
void compare(const Case& c, Tally& tally)
{
    SCOPED_TRACE(testing::Message() << c);
    const ImageParams p = caseParams(c);
    const QImage want = drawn<QImageSurface>(p, c.width, c.height, c.style, kUnreached),
                 got = drawn(p, c.width, c.height, c.style, kUnreached);
    ASSERT_EQ(got.size(), want.size());
    // The sandglass leaves wedges of its rectangle bare (unless the first
    // palette fills them): there only pixels inside what the reference
    // covers count, not those on the edge of a wedge.
    const bool wedges = c.pattern == kSandglass && c.rainbow != 1;
    // Whether a pixel of the reference within r of (x, y) passes `test`.
    auto near = [&](int x, int y, int r, auto test) {
        for (int v = std::max(0, y - r); v <= std::min(c.height - 1, y + r); ++v)
            for (int u = std::max(0, x - r); u <= std::min(c.width - 1, x + r); ++u)
                if (test(pixelAt(want, u, v)))
                    return true;
        return false;
    };
    const int step = bandStep(c);
    long same = 0, far = 0, holes = 0;
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) {
            const num::Rgb a = pixelAt(want, x, y), b = pixelAt(got, x, y);
            same += a == b;
            holes += b == kUnreached &&
                     (!wedges || !near(x, y, 1, [](num::Rgb k) { return k == kUnreached; }));
            far += a != b && b != kUnreached &&
                   !near(x, y, kNear, [&](num::Rgb k) { return channelStep(k, b) <= step; });
        }
    EXPECT_EQ(far, 0) << "pixels more than a band's step (" << step << ") off the reference";
    EXPECT_EQ(holes, 0) << "pixels no figure reached";
    tally.all += static_cast<long>(c.width) * c.height;
    tally.same += same;
}

} // namespace

TEST(SpanSurface, DrawsEveryPatternAsTheReferenceDoes)
{
    // Every pattern at three shapes in both draw styles with the hump at
    // its ends and in the middle, the sliders at their ends, each rainbow.
    std::vector<Case> cases;
    const int shapes[3][2] = {{320, 180}, {150, 333}, {97, 97}};
    for (Integer pattern = 0; pattern < kPatterns; ++pattern)
        for (const auto& [w, h] : shapes)
            for (Integer hump : {0, 1, 10, 19, 20})
                for (DrawStyle style : {DrawStyle::InsideSolid, DrawStyle::Solid})
                    cases.push_back({pattern, hump, Integer(w > h ? 1 : -1), Integer(hump - 10),
                                     Integer(10 - hump), Integer(hump % 5), w, h, style});
    // And a seeded sample of everything, up to 640 x 400.
    std::mt19937 rng(12);
    auto slider = [&] {
        return Integer(rng() % 3 ? (rng() % 2 ? 10 : -10) : int(rng() % 21) - 10);
    };
    for (int i = 0; i < 120; ++i)
        cases.push_back({Integer(rng() % kPatterns), Integer(rng() % 21),
                         Integer(rng() % 2 ? 1 : -1), slider(), slider(), Integer(rng() % 5),
                         4 + int(rng() % 636), 4 + int(rng() % 396),
                         rng() % 2 ? DrawStyle::InsideSolid : DrawStyle::Solid});
    Tally tally[kPatterns];
    for (const Case& c : cases)
        compare(c, tally[c.pattern]);
    // Every figure comes out as on the reference but for pixels whose
    // centre lies within a hair of an edge; a curve's edge is the
    // reference's own polygon (StrokedOutlinesTakeTheReferenceEdges).
    for (Integer pattern = 0; pattern < kPatterns; ++pattern) {
        const Tally& t = tally[pattern];
        EXPECT_GE(t.same * 100, t.all * 99)
            << kPatternNames[pattern] << ": " << t.same << " of " << t.all << " pixels the same";
    }
}

TEST(SpanSurface, StrokedOutlinesTakeTheReferenceEdges)
{
    // One outline at a time, white on black: circles and flat ellipses, thin
    // pens (kept whole by the reference's stroker) and wide ones (its offset
    // curves halved once or twice), a hole that closes, half-turn arcs, and
    // rings added after the first rows were read.
    struct Ring {
        double r, aspect;
        int pen;
        DrawStyle style;
        bool arc;
    };
    const Ring rings[] = {{7.3, 1.0, 1, DrawStyle::Solid, false},
                          {55.5, 1.0, 2, DrawStyle::InsideSolid, false},
                          {150.2, 1.0, 13, DrawStyle::Solid, false},
                          {150.2, 1.0, 40, DrawStyle::Solid, false},
                          {400.0, 1.0, 1, DrawStyle::InsideSolid, false},
                          {150.2, 0.5625, 5, DrawStyle::Solid, false},
                          {400.0, 0.5625, 40, DrawStyle::Solid, false},
                          {400.0, 0.3, 13, DrawStyle::InsideSolid, false},
                          {80.25, 0.45, 2, DrawStyle::Solid, false},
                          {30.0, 0.2, 12, DrawStyle::Solid, false},
                          {20.0, 1.0, 30, DrawStyle::Solid, false},
                          {120.0, 1.0, 3, DrawStyle::Solid, true},
                          {90.5, 1.0, 17, DrawStyle::InsideSolid, true}};
    constexpr double kHalfPi = 1.57079632679489661923;
    for (const Ring& ring : rings) {
        SCOPED_TRACE(testing::Message() << "radius " << ring.r << " aspect " << ring.aspect
                                        << " pen " << ring.pen << " style " << int(ring.style));
        const double cx = ring.r + ring.pen + 3.3, cy = ring.r * ring.aspect + ring.pen + 2.7;
        const int w = int(2 * cx) + 2, h = int(2 * cy) + 2;
        QImageSurface want(w, h, ring.style);
        SpanSurface got(w, h, ring.style);
        for (Surface* s : {static_cast<Surface*>(&want), static_cast<Surface*>(&got)}) {
            s->setBackColor(0);
            s->setDrawWidth(ring.pen);
            s->fillBox(0, 0, w - 1, 1, kBlue);
            // The first rows are read before the ring comes, as a caller
            // reading a picture as it is drawn does.
            if (s == &got)
                (void)got.imageRows(2);
            if (ring.arc) // half turns, as the semicircle draws them
                s->arc(cx, cy, ring.r, kWhite, ring.pen % 2 ? kHalfPi : 0,
                       ring.pen % 2 ? 3 * kHalfPi : 2 * kHalfPi);
            else
                s->ellipse(cx, cy, ring.r, kWhite, ring.aspect);
        }
        const QImage& a = want.image();
        const QImage& b = got.image();
        long lit = 0, differ = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                lit += pixelAt(a, x, y) == kWhite;
                differ += a.pixel(x, y) != b.pixel(x, y);
            }
        EXPECT_GT(lit, 0);
        EXPECT_LE(differ, 8 + lit / 1000) << differ << " of " << lit << " ring pixels differ";
    }
}

TEST(SpanSurface, WaitingFiguresAreDrawnInOrderWhenThePictureIsRead)
{
    // Figures wait until the picture is read; a clear drops those before
    // it; a thin line is drawn at once over what waits; the last figure
    // covers the earlier ones; a copy of the surface draws its own.
    SpanSurface s = blankSurface(20, 10);
    s.setDrawWidth(3);
    s.fillBox(0, 0, 19, 9, kRed);
    s.box(2, 1, 17, 8, kGreen);
    s.setDrawWidth(1);
    s.line(0, 5, 19, 5, kBlue); // one pixel wide, its last pixel left out
    const QImage& img = s.image();
    EXPECT_EQ(pixelAt(img, 0, 0), kRed);
    EXPECT_EQ(pixelAt(img, 2, 2), kGreen);
    EXPECT_EQ(pixelAt(img, 9, 5), kBlue);
    EXPECT_EQ(pixelAt(img, 19, 5), kRed);
    EXPECT_EQ(pixelAt(img, 9, 4), kRed); // inside the box's band of 3

    s.setDrawWidth(4);
    s.circle(10, 5, 3, kBlue);
    SpanSurface copy = s;
    s.cls();
    EXPECT_EQ(pixelAt(s.image(), 10, 2), kWhite);
    EXPECT_EQ(pixelAt(copy.image(), 10, 2), kBlue);
}
