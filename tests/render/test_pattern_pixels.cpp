// The twelve patterns drawn on the real QImage surface: where the three
// colours lie, that the rectangle is covered without gaps between bands,
// both draw styles, thin lines, repetition at full size and complete
// drawings at large sizes.
//
// Colour 0 is red, 1 green, 2 blue and the surface starts white, so a white
// pixel is one no band reached.
#include "render/drivers.h"
#include "support/render_fixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <vector>

using namespace ombrix;
using namespace ombrix::test;

namespace
{

constexpr DrawStyle kStyles[] = {DrawStyle::InsideSolid, DrawStyle::Solid};

// Where a pattern starts in colour 0, the first few bands are painted over
// by the next ones (their pens are wider than the step, so that the bands
// close up): the pixel shows the colour a few ramp steps on.
constexpr int kCentreTolerance = 40;

const char* styleName(DrawStyle s)
{
    return s == DrawStyle::Solid ? "Solid" : "InsideSolid";
}

QImageSurface whiteSurface(int w, int h, DrawStyle style = DrawStyle::InsideSolid)
{
    QImageSurface s(w, h, style);
    s.setBackColor(kWhite);
    return s;
}

QImage drawn(const ImageParams& p, int w, int h, DrawStyle style = DrawStyle::InsideSolid)
{
    QImageSurface s = whiteSurface(w, h, style);
    RenderContext ctx(p);
    mDrawPattern(ctx, s, 0, 0, static_cast<Integer>(w), static_cast<Integer>(h));
    return s.image();
}

// Pixels of the rectangle showing the given colour (by default the
// surface's white).
int pixelsOf(const QImage& img, QRect r = QRect(), num::Rgb colour = kWhite)
{
    if (r.isNull())
        r = img.rect();
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += pixelAt(img, x, y) == colour;
    return n;
}

::testing::AssertionResult near(const QImage& img, int x, int y, num::Rgb want, int tol)
{
    const num::Rgb got = pixelAt(img, x, y);
    if (colourDistance(got, want) <= tol)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel (" << x << "," << y << ") is " << RgbText{got}
                                         << ", want " << RgbText{want} << " within " << tol;
}

int red(num::Rgb c)
{
    return num::redOf(c);
}
int blue(num::Rgb c)
{
    return num::blueOf(c);
}

// Walks the pixels from (x0, y0) to (x1, y1) and checks that the channel
// never moves against `direction` (+1 rising, -1 falling) by more than
// `slack` levels from the extreme reached so far: a gap between bands
// shows as a jump back to the background or the colour beneath.
struct Ray {
    int x0, y0, x1, y1;
    int (*channel)(num::Rgb);
    int direction, slack;
};

::testing::AssertionResult monotone(const QImage& img, const Ray& ray)
{
    const int steps = std::max(std::abs(ray.x1 - ray.x0), std::abs(ray.y1 - ray.y0));
    int best = ray.direction > 0 ? -1 : 256;
    for (int i = 0; i <= steps; ++i) {
        const int x = ray.x0 + (ray.x1 - ray.x0) * i / std::max(steps, 1);
        const int y = ray.y0 + (ray.y1 - ray.y0) * i / std::max(steps, 1);
        const int v = ray.channel(pixelAt(img, x, y));
        if (ray.direction * (best - v) > ray.slack)
            return ::testing::AssertionFailure()
                   << "at (" << x << "," << y << ") the channel is " << v << " after " << best;
        best = ray.direction > 0 ? std::max(best, v) : std::min(best, v);
    }
    return ::testing::AssertionSuccess();
}

struct Probe {
    int x, y;
    num::Rgb colour;
    int tol;
};

} // namespace

// ---------------------------------------------------------------------------
// The surface itself

TEST(PatternPixels, ThickBoxLiesInsideItsCornersOrCentredOnItsPath)
{
    // A box from (10, 10) to (50, 40) with pen 5: inside its corners on the
    // image window's pictures, centred on its path in the preview.  `in`
    // and `out` are the first and last painted pixel of each side.
    struct Case {
        DrawStyle style;
        int in, out;
    };
    for (const Case c : {Case{DrawStyle::InsideSolid, 0, 4}, Case{DrawStyle::Solid, -2, 2}}) {
        SCOPED_TRACE(styleName(c.style));
        QImageSurface s = whiteSurface(80, 60, c.style);
        s.setDrawWidth(5);
        s.box(10, 10, 50, 40, kRed);
        const QImage& img = s.image();
        for (int d : {c.in, c.out}) {
            EXPECT_EQ(pixelAt(img, 10 + d, 25), kRed) << d;
            EXPECT_EQ(pixelAt(img, 50 - d, 25), kRed) << d;
            EXPECT_EQ(pixelAt(img, 30, 10 + d), kRed) << d;
            EXPECT_EQ(pixelAt(img, 30, 40 - d), kRed) << d;
        }
        for (int d : {c.in - 1, c.out + 1}) {
            EXPECT_EQ(pixelAt(img, 10 + d, 25), kWhite) << d;
            EXPECT_EQ(pixelAt(img, 50 - d, 25), kWhite) << d;
            EXPECT_EQ(pixelAt(img, 30, 10 + d), kWhite) << d;
            EXPECT_EQ(pixelAt(img, 30, 40 - d), kWhite) << d;
        }
    }
}

TEST(PatternPixels, ThickRoundOutlinesByStyle)
{
    // Pen 6 around (50, 50): inside the radius on the image window's
    // pictures, centred on it in the preview.  The coloured run along each
    // axis, as distances from the centre, shows the radius there: a circle
    // of 20; ellipses of 20 across (aspect 0.5, r the horizontal semi-axis)
    // or 20 down (aspect 2, r the vertical one); the left half of a circle
    // (an arc from pi / 2 to 3 pi / 2).  0: nothing on that side.
    const double pi = 4 * std::atan(1.0);
    struct Figure {
        const char* name;
        std::function<void(Surface&)> draw;
        int right, left, down, up;
    };
    const Figure figures[] = {
        {"circle", [](Surface& s) { s.circle(50, 50, 20, kRed); }, 20, 20, 20, 20},
        {"wide ellipse", [](Surface& s) { s.ellipse(50, 50, 20, kRed, 0.5); }, 20, 20, 10, 10},
        {"tall ellipse", [](Surface& s) { s.ellipse(50, 50, 20, kRed, 2.0); }, 10, 10, 20, 20},
        {"left arc", [&](Surface& s) { s.arc(50, 50, 20, kRed, pi / 2, 3 * pi / 2); }, 0, 20, -1,
         -1},
    };
    for (const Figure& f : figures) {
        for (DrawStyle style : kStyles) {
            SCOPED_TRACE(testing::Message() << f.name << ", " << styleName(style));
            QImageSurface s = whiteSurface(101, 101, style);
            s.setDrawWidth(6);
            f.draw(s);
            const QImage& img = s.image();
            EXPECT_EQ(pixelAt(img, 50, 50), kWhite);
            const int dirs[4][3] = {
                {1, 0, f.right}, {-1, 0, f.left}, {0, 1, f.down}, {0, -1, f.up}};
            for (const auto& d : dirs) {
                if (d[2] < 0)
                    continue; // an arc's end: no clear run
                SCOPED_TRACE(testing::Message() << d[0] << "," << d[1]);
                int inner = -1, outer = -1;
                for (int r = 0; r <= 40; ++r) {
                    if (pixelAt(img, 50 + d[0] * r, 50 + d[1] * r) == kRed) {
                        if (inner < 0)
                            inner = r;
                        outer = r;
                    }
                }
                const int R = d[2];
                if (R == 0) {
                    EXPECT_EQ(outer, -1);
                    continue;
                }
                const bool inside = style == DrawStyle::InsideSolid;
                EXPECT_GE(outer, inside ? R : R + 2);
                EXPECT_LE(outer, inside ? R : R + 3);
                EXPECT_GE(inner, inside ? R - 6 : R - 3);
                EXPECT_LE(inner, inside ? R - 4 : R - 2);
            }
        }
    }
}

TEST(PatternPixels, ThinLinesLeaveOutTheirLastPixel)
{
    QImageSurface s = whiteSurface(20, 20);
    s.setDrawWidth(1);
    s.line(2, 3, 8, 3, kRed);
    for (int x = 2; x <= 7; ++x)
        EXPECT_EQ(pixelAt(s.image(), x, 3), kRed) << x;
    EXPECT_EQ(pixelAt(s.image(), 8, 3), kWhite);
    s.line(10, 10, 15, 15, kGreen);
    EXPECT_EQ(pixelAt(s.image(), 10, 10), kGreen);
    EXPECT_EQ(pixelAt(s.image(), 14, 14), kGreen);
    EXPECT_EQ(pixelAt(s.image(), 15, 15), kWhite);
    // A continued line starts on the pixel the last one left out.
    s.lineTo(15, 18, kBlue);
    EXPECT_EQ(pixelAt(s.image(), 15, 15), kBlue);
    EXPECT_EQ(pixelAt(s.image(), 15, 17), kBlue);
    EXPECT_EQ(pixelAt(s.image(), 15, 18), kWhite);
    // A thick line is centred on its path and keeps both ends.
    s.setDrawWidth(3);
    s.line(2, 12, 6, 12, kBlue);
    for (int y : {11, 12, 13})
        EXPECT_EQ(pixelAt(s.image(), 4, y), kBlue) << y;
    EXPECT_EQ(pixelAt(s.image(), 4, 10), kWhite);
    EXPECT_EQ(pixelAt(s.image(), 6, 12), kBlue);
}

TEST(PatternPixels, ThickLinesKeepTheirWidthUpToThePictureEdge)
{
    // A band that runs out through the picture's edge must be as wide in the
    // edge row as elsewhere, or bands laid side by side leave pinholes along
    // that edge.  A line along an edge, or ending inside, keeps its round
    // cap and is not lengthened.
    for (Long pen = 2; pen <= 8; ++pen) {
        SCOPED_TRACE(pen);
        QImageSurface s = whiteSurface(40, 40);
        s.setDrawWidth(pen);
        s.line(20, 0, 20, 30, kRed);  // out through the top
        s.line(30, 25, 39, 25, kRed); // out through the right
        s.line(12, 39, 20, 39, kRed); // along the bottom
        EXPECT_EQ(pixelsOf(s.image(), QRect(10, 0, 21, 1), kRed), pen);
        EXPECT_EQ(pixelsOf(s.image(), QRect(10, 15, 21, 1), kRed), pen);
        EXPECT_EQ(pixelsOf(s.image(), QRect(39, 15, 1, 21), kRed), pen);
        EXPECT_EQ(pixelsOf(s.image(), QRect(34, 15, 1, 21), kRed), pen);
        // The line along the bottom is not carried on beyond its ends.
        EXPECT_EQ(pixelAt(s.image(), 12 - pen, 39), kWhite);
        EXPECT_EQ(pixelAt(s.image(), 20 + pen, 39), kWhite);
    }
}

// ---------------------------------------------------------------------------
// The patterns

TEST(PatternPixels, EachPatternCoversItsRectangleWithoutGaps)
{
    // Hump 10 on 200 x 100 (100 x 200 along the height), in both draw
    // styles: every pixel is painted; colour 0 lies where the pattern starts
    // (its centre, or the start edge) and colour 2 at its far end; and on
    // the way red only falls and blue only rises, so that a gap between
    // bands, showing the background or the colour beneath, stands out.
    for (Integer pattern = 0; pattern < kPatterns; ++pattern) {
        if (pattern == kSandglass || pattern == kPlainBackground)
            continue; // their own tests below
        for (Integer rotation : {1, -1}) {
            const bool across = rotation == 1;
            const int w = across ? 200 : 100, h = across ? 100 : 200;
            for (DrawStyle style : kStyles) {
                SCOPED_TRACE(testing::Message() << kPatternNames[pattern] << ", rotation "
                                                << rotation << ", " << styleName(style));
                const QImage img = drawn(makeParams(pattern, 10, rotation), w, h, style);
                EXPECT_EQ(pixelsOf(img), 0);
                if (pattern == kCrossingPleats)
                    continue; // colours along its diagonals: see the fan tests
                // Where the pattern starts, and the points it runs out to.
                const bool fromEdge = pattern == kLinearGradient || pattern == kShadedSemicircle;
                const QPoint start = !fromEdge ? QPoint(w / 2, h / 2 - 1)
                                     : across  ? QPoint(0, h / 2)
                                               : QPoint(w / 2, 0);
                const std::vector<QPoint> ends = !fromEdge ? std::vector<QPoint>{{w - 1, h / 2 - 1},
                                                                                 {w / 2, h - 1},
                                                                                 {w - 1, h - 1},
                                                                                 {0, 0}}
                                                 : across  ? std::vector<QPoint>{{w - 1, h / 2}}
                                                           : std::vector<QPoint>{{w / 2, h - 1}};
                // The semicircle's start edge is first reached by the arc whose
                // centre lies its radius (50) on, 50 / 125 of the way to colour 1.
                const bool semicircle = pattern == kShadedSemicircle;
                EXPECT_TRUE(near(img, start.x(), start.y(),
                                 semicircle ? num::rgb(153, 102, 0) : kRed,
                                 pattern == kLinearGradient ? 6
                                 : semicircle               ? 12
                                                            : kCentreTolerance));
                for (const QPoint& end : ends) {
                    SCOPED_TRACE(testing::Message() << "towards " << end.x() << "," << end.y());
                    EXPECT_TRUE(near(img, end.x(), end.y(), kBlue, 24));
                    EXPECT_TRUE(
                        monotone(img, {start.x(), start.y(), end.x(), end.y(), red, -1, 24}));
                    EXPECT_TRUE(
                        monotone(img, {start.x(), start.y(), end.x(), end.y(), blue, +1, 24}));
                }
            }
        }
    }
}

TEST(PatternPixels, SlantedLinearGradientCoversTheAreaAndStopsAtTheStartEdge)
{
    // Drawn into a rectangle inside a larger picture: the area is covered
    // without notches along the start edge, and nothing lies before it.
    for (Integer rotation : {1, -1}) {
        for (Integer slant : {-6, -1, 3, 10}) {
            SCOPED_TRACE(testing::Message() << "rotation " << rotation << " slant " << slant);
            QImageSurface s = whiteSurface(300, 200);
            const ImageParams p = makeParams(kLinearGradient, 10, rotation, slant);
            RenderContext ctx(p);
            mDrawPattern(ctx, s, 40, 30, 200, 120);
            const QImage& img = s.image();
            EXPECT_EQ(pixelsOf(img, QRect(40, 30, 200, 120)), 0);
            // Nothing before the start edge.
            const QRect before = rotation == 1 ? QRect(0, 0, 40, 200) : QRect(0, 0, 300, 30);
            EXPECT_EQ(pixelsOf(img, before), before.width() * before.height());
            // The gradient starts in colour 0 at the start corner the
            // bands leave first.
            const int sx = rotation == 1 ? 40 : (slant < 0 ? 40 : 239);
            const int sy = rotation == 1 ? (slant < 0 ? 149 : 30) : 30;
            EXPECT_TRUE(near(img, sx, sy, kRed, 12));
        }
    }
}

TEST(PatternPixels, LinearBandsCoverTheStartEdgeWhenTheStepIsTheirWidth)
{
    // 300 pixels: step 2 and pen 2, bands exactly side by side.  Along the
    // width the bands end on the top edge, along the height on the left.
    const QImage across = drawn(makeParams(kLinearGradient, 0), 300, 10);
    const QImage down = drawn(makeParams(kLinearGradient, 0, -1), 10, 300);
    const int onEdges = pixelsOf(across, QRect(0, 0, 300, 1)) + pixelsOf(down, QRect(0, 0, 1, 300));
    EXPECT_EQ(pixelsOf(across) + pixelsOf(down), 0) << onEdges << " of them on the start edge";
}

TEST(PatternPixels, PlainBackgroundPaintsTheWholeSurface)
{
    QImageSurface s = whiteSurface(100, 80);
    s.setDrawWidth(3);
    s.line(0, 0, 99, 79, kRed);
    const ImageParams p = makeParams(kPlainBackground, 10);
    RenderContext ctx(p);
    mDrawPattern(ctx, s, 10, 10, 20, 20); // the rectangle is ignored
    EXPECT_EQ(pixelsOf(s.image(), QRect(), kBlue), 100 * 80);
    EXPECT_EQ(s.backColor(), kBlue);
}

TEST(PatternPixels, SandglassLeavesTheSideWedgesUncovered)
{
    for (DrawStyle style : kStyles) {
        SCOPED_TRACE(styleName(style));
        const QImage img = drawn(makeParams(kSandglass, 10), 200, 100, style);
        EXPECT_TRUE(near(img, 100, 5, kGreen, 12));
        EXPECT_TRUE(near(img, 100, 94, kGreen, 12));
        // Along the top edge the fan line k meets it at x = k.
        EXPECT_TRUE(near(img, 20, 0, num::rgb(204, 51, 0), 8));
        EXPECT_TRUE(near(img, 180, 0, num::rgb(0, 51, 204), 8));
        EXPECT_EQ(pixelAt(img, 5, 50), kWhite);
        EXPECT_EQ(pixelAt(img, 194, 50), kWhite);
        // The top and bottom wedges are covered completely.
        for (int y = 0; y < 100; ++y) {
            const double half = 100.0 * std::fabs(y - 49.5) / 50.0; // wedge half-width
            for (int x = 0; x < 200; ++x)
                if (std::fabs(x - 99.5) < half - 2) {
                    ASSERT_NE(pixelAt(img, x, y), kWhite) << x << "," << y;
                }
        }
        // Along the height the other wedges carry the gradient.
        const QImage v = drawn(makeParams(kSandglass, 10, -1), 200, 100, style);
        EXPECT_TRUE(near(v, 5, 50, kGreen, 12));
        EXPECT_EQ(pixelAt(v, 100, 3), kWhite);
    }
}

TEST(PatternPixels, SemicircleCoversTheWholeArea)
{
    // The arcs' rims reach the two edges along the sweep only at their top
    // and bottom points; there each arc covers about sqrt(radius x pen)
    // pixels of the edge row, which reaches the next arc as long as the
    // radius is at least the step: up to a width of about 63 heights.
    // 4096 x 128 along the width is close to that limit (step 32, radius 64).
    struct Case {
        int w, h;
        Integer rotation, hump;
    };
    for (const Case c : {Case{200, 100, 1, 10}, Case{1000, 100, 1, 0}, Case{1920, 1080, -1, 10},
                         Case{3840, 2160, 1, 0}, Case{4096, 128, 1, 10}, Case{90, 2000, -1, 3}}) {
        const QImage img = drawn(makeParams(kShadedSemicircle, c.hump, c.rotation), c.w, c.h);
        EXPECT_EQ(pixelsOf(img), 0) << c.w << "x" << c.h << " rotation " << c.rotation;
    }
}

TEST(PatternPixels, RingsWhoseStepIsTheirPenLeaveNoPinholes)
{
    // Full HD, hump 8: the outer rings of the circle step by 2 with a pen of
    // 2, and the inner ones drift towards the origin.  Curves approximated
    // by the stroker used to leave thousands of background pixels between
    // such rings; none may show inside the disc.
    for (Integer pattern : {kShadedCircle, kShadedEllipse}) {
        SCOPED_TRACE(kPatternNames[pattern]);
        const QImage img = drawn(makeParams(pattern, 8, 1, 2, -2), 1920, 1080);
        EXPECT_EQ(pixelsOf(img, QRect(720, 300, 480, 480), kBlue), 0);
    }
}

// ---------------------------------------------------------------------------
// Full size

TEST(PatternPixels, RepetitionsCopyIdenticalTiles)
{
    // 3 x 2 repetitions on 300 x 200: one 100 x 100 tile, copied to
    // x = 0, 100, 200 and y = 0, 100.
    for (Integer pattern : {kShadedCircle, kLinearGradient, kCrossingPleats}) {
        SCOPED_TRACE(kPatternNames[pattern]);
        ImageParams p = makeParams(pattern, 10, 1, 3, 2);
        p.pnHorRep = 3;
        p.pnVerRep = 2;
        FullSizePictures pics;
        pics.resize(300, 200);
        RenderContext ctx(p);
        mDrawFullSize(ctx, pics, 300, 200);
        const QImage tile = pics.picSrc.image().copy(0, 0, 100, 100);
        EXPECT_EQ(pixelsOf(tile), 0);
        EXPECT_NE(tile.pixel(50, 49), tile.pixel(0, 0)); // a real pattern
        for (int x : {0, 100, 200})
            for (int y : {0, 100})
                EXPECT_EQ(pics.picShow.image().copy(x, y, 100, 100), tile) << x << "," << y;
    }
}

TEST(PatternPixels, EveryPatternDrawsCompletelyAtLargeSizes)
{
    // Each drawing is recorded while it is painted, and compared with a
    // drawing recorded alone: the same figures means no early end.
    struct Size {
        int w, h;
    };
    for (const Size sz : {Size{4000, 2500}, Size{16384, 64}, Size{64, 16384}}) {
        QImageSurface img(sz.w, sz.h, DrawStyle::InsideSolid);
        const Integer w = static_cast<Integer>(sz.w), h = static_cast<Integer>(sz.h);
        for (Integer pattern = 0; pattern < kPatterns; ++pattern) {
            SCOPED_TRACE(testing::Message()
                         << kPatternNames[pattern] << " " << sz.w << "x" << sz.h);
            const ImageParams p = makeParams(pattern, 10, 1, 3, -2);
            img.setBackColor(kWhite);
            RecordingSurface tee(sz.w, sz.h);
            tee.forwardTo(&img);
            RenderContext ctx(p);
            const auto t0 = std::chrono::steady_clock::now();
            mDrawPattern(ctx, tee, 0, 0, w, h);
            const std::chrono::duration<double, std::milli> ms =
                std::chrono::steady_clock::now() - t0;
            RecordingSurface alone(sz.w, sz.h);
            RenderContext ctx2(p);
            ASSERT_NO_THROW(mDispatchPattern(ctx2, alone, 0, 0, w, h));
            ASSERT_EQ(tee.callCount(), alone.callCount());
            // The semicircle's geometry leaves gaps where its step is wider
            // than the arcs' radius (see SemicircleCoversTheWholeArea).
            const bool gapsExpected = pattern == kShadedSemicircle && sz.w > 64 * sz.h;
            if (pattern != kSandglass && !gapsExpected) {
                // Spot checks across the picture: all painted.
                for (int i = 0; i <= 8; ++i)
                    for (int j = 0; j <= 8; ++j)
                        ASSERT_NE(pixelAt(img.image(), (sz.w - 1) * i / 8, (sz.h - 1) * j / 8),
                                  kWhite)
                            << i << "," << j;
            }
            // The last band of a two-segment pattern is colour 2.
            const std::vector<Call> b = alone.bands();
            if (!b.empty() && pattern != kClearcutEllipse && pattern != kClearcutCircle &&
                pattern != kClearcutDiamond && pattern != kShadedRectangle) {
                EXPECT_EQ(b.back().colour, kBlue);
            }
            EXPECT_LT(ms.count(), 300.0);
        }
    }
}
