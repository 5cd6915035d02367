// The patterns drawn on the real QImage surface: the surface's figures in
// both draw styles, coverage without gaps or pinholes, where the colours
// lie, repetition at full size and complete drawings at large sizes.
// Colour 0 is red, 1 green, 2 blue and the surface starts white, so a white
// pixel is one no band reached.
#include "render/drivers.h"
#include "support/render_fixture.h"

#include <QImage>

#include <random>

using namespace ombrix;
using namespace ombrix::test;

namespace
{

constexpr DrawStyle kStyles[] = {DrawStyle::InsideSolid, DrawStyle::Solid};

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
    mDispatchPattern(ctx, s, 0, 0, Integer(w), Integer(h));
    return s.image();
}

num::Rgb pixelAt(const QImage& img, int x, int y)
{
    return fromQRgb(reinterpret_cast<const QRgb*>(img.constScanLine(y))[x]);
}

// Pixels of the rectangle (by default the whole picture) showing `colour`.
int pixelsOf(const QImage& img, QRect r = QRect(), num::Rgb colour = kWhite)
{
    r = r.isNull() ? img.rect() : r;
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += pixelAt(img, x, y) == colour;
    return n;
}

// The largest difference of the pixel from `want` in one channel.
int off(const QImage& img, QPoint p, num::Rgb want)
{
    const num::Rgb c = pixelAt(img, p.x(), p.y());
    return std::max({std::abs(num::redOf(c) - num::redOf(want)),
                     std::abs(num::greenOf(c) - num::greenOf(want)),
                     std::abs(num::blueOf(c) - num::blueOf(want))});
}

// Whether red never rises and blue never falls by more than 24 levels from
// a to b: a gap between bands shows as a jump back to the colour beneath.
bool monotone(const QImage& img, QPoint a, QPoint b)
{
    const int steps = std::max({std::abs(b.x() - a.x()), std::abs(b.y() - a.y()), 1});
    int lowRed = 256, highBlue = -1;
    for (int i = 0; i <= steps; ++i) {
        const QPoint p = a + (b - a) * i / steps;
        const num::Rgb c = pixelAt(img, p.x(), p.y());
        if (num::redOf(c) > lowRed + 24 || num::blueOf(c) < highBlue - 24)
            return false;
        lowRed = std::min(lowRed, num::redOf(c));
        highBlue = std::max(highBlue, num::blueOf(c));
    }
    return true;
}

// Pixels inside a round pattern's outermost figure, less its last band,
// that still show the colour-2 fill: where no band reached.
int uncoveredInside(const ImageParams& p, int w, int h, DrawStyle style)
{
    const QImage img = drawn(p, w, h, style);
    const std::vector<RecordedSegment> segs = record(p, 0, 0, Integer(w), Integer(h)).segments();
    if (segs.empty() || segs.back().bands.empty())
        return 0;
    const Call& f = segs.back().bands.back();
    const bool diamond = f.kind == CallKind::Line; // from its left vertex to its top one
    const double cx = diamond ? f.v[2] : f.v[0], cy = f.v[1], margin = segs.back().pen + 2.5;
    double ax = diamond ? f.v[2] - f.v[0] : f.v[2], ay = diamond ? f.v[1] - f.v[3] : f.v[2];
    if (f.kind == CallKind::Ellipse && f.v[3] < 1)
        ay *= f.v[3]; // the radius is the horizontal semi-axis
    else if (f.kind == CallKind::Ellipse)
        ax /= f.v[3];
    // The band's inner edge: a diamond's sides move in by the margin along
    // their normals, so its sharp tips recede further.
    const double d = std::hypot(ax, ay);
    const double inX = diamond ? margin * d / ay : margin, inY = diamond ? margin * d / ax : margin;
    ax -= inX;
    ay -= inY;
    const num::Rgb fill = num::rgb(p.plColor[2][0], p.plColor[2][1], p.plColor[2][2]);
    int n = 0;
    for (int y = std::max(0, int(cy - ay));
         ax > 0 && ay > 0 && y <= std::min(h - 1, int(cy + ay) + 1); ++y)
        for (int x = std::max(0, int(cx - ax)); x <= std::min(w - 1, int(cx + ax) + 1); ++x) {
            const double dx = std::fabs(x - cx) / ax, dy = std::fabs(y - cy) / ay;
            n += (diamond ? dx + dy < 1 : dx * dx + dy * dy < 1) && pixelAt(img, x, y) == fill;
        }
    return n;
}

} // namespace

TEST(SurfacePixels, ThickOutlinesLieInsideOrAreCentredByStyle)
{
    // A box from (10, 10) to (50, 40) with pen 5: the first and last painted
    // pixel of each side, inside its corners or centred on its path.
    for (const auto& [style, in, out] :
         {std::tuple{DrawStyle::InsideSolid, 0, 4}, {DrawStyle::Solid, -2, 2}}) {
        QImageSurface s = whiteSurface(80, 60, style);
        s.setDrawWidth(5);
        s.box(10, 10, 50, 40, kRed);
        for (int d = in - 1; d <= out + 1; ++d)
            for (const QPoint& p :
                 {QPoint(10 + d, 25), QPoint(50 - d, 25), QPoint(30, 10 + d), QPoint(30, 40 - d)})
                EXPECT_EQ(pixelAt(s.image(), p.x(), p.y()), d < in || d > out ? kWhite : kRed)
                    << int(style) << d;
    }
    // Pen 6 around (50, 50): the painted run along each axis shows the
    // radius there: a circle of 20, ellipses of 20 across or down, the left
    // half of a circle (0: nothing on that side, -1: not measured).
    const double pi = 4 * std::atan(1.0);
    for (int figure = 0; figure < 4; ++figure)
        for (DrawStyle style : kStyles) {
            QImageSurface s = whiteSurface(101, 101, style);
            s.setDrawWidth(6);
            const int radii[4][4] = {
                {20, 20, 20, 20}, {20, 20, 10, 10}, {10, 10, 20, 20}, {0, 20, -1, -1}};
            if (figure == 0)
                s.circle(50, 50, 20, kRed);
            else if (figure < 3)
                s.ellipse(50, 50, 20, kRed, figure == 1 ? 0.5 : 2.0);
            else
                s.arc(50, 50, 20, kRed, pi / 2, 3 * pi / 2);
            EXPECT_EQ(pixelAt(s.image(), 50, 50), kWhite);
            const int dirs[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
            for (int d = 0; d < 4; ++d) {
                int inner = -1, outer = -1;
                for (int r = 0; r <= 40; ++r)
                    if (pixelAt(s.image(), 50 + dirs[d][0] * r, 50 + dirs[d][1] * r) == kRed) {
                        inner = inner < 0 ? r : inner;
                        outer = r;
                    }
                const int R = radii[figure][d];
                const bool inside = style == DrawStyle::InsideSolid;
                EXPECT_TRUE(R < 0 || (R == 0 && outer < 0) ||
                            (outer >= (inside ? R : R + 2) && outer <= (inside ? R : R + 3) &&
                             inner >= (inside ? R - 6 : R - 3) &&
                             inner <= (inside ? R - 4 : R - 2)))
                    << "figure " << figure << " style " << int(style) << " direction " << d << ": "
                    << inner << ".." << outer;
            }
        }
}

TEST(SurfacePixels, ThickLinesKeepTheirWidthUpToThePictureEdge)
{
    // A band running out through the edge is as wide in the edge row as
    // elsewhere (a round cap there left pinholes between bands side by
    // side); a line along an edge, or ending inside, is not lengthened.
    for (Long pen = 2; pen <= 8; ++pen) {
        QImageSurface s = whiteSurface(40, 40);
        s.setDrawWidth(pen);
        s.line(20, 0, 20, 30, kRed);  // out through the top
        s.line(30, 25, 39, 25, kRed); // out through the right
        s.line(12, 39, 20, 39, kRed); // along the bottom
        for (const QRect& r : {QRect(10, 0, 21, 1), QRect(10, 15, 21, 1), QRect(39, 15, 1, 21),
                               QRect(34, 15, 1, 21)})
            EXPECT_EQ(pixelsOf(s.image(), r, kRed), pen) << pen;
        EXPECT_EQ(pixelAt(s.image(), 12 - pen, 39), kWhite) << pen;
        EXPECT_EQ(pixelAt(s.image(), 20 + pen, 39), kWhite) << pen;
    }
}

TEST(PatternPixels, EachPatternCoversItsRectangleAndRunsThroughItsColours)
{
    // Hump 10 on 200 x 100 (100 x 200 along the height), both styles: every
    // pixel painted; colour 0 where the pattern starts (within a few ramp
    // steps: the first bands are painted over), colour 2 at the far ends,
    // red only falling and blue only rising on the way.  The semicircle's
    // start edge is first reached by the arc whose centre lies its radius
    // on, 50 / 125 of the way to colour 1.
    for (Integer pattern = 0; pattern < kPatterns; ++pattern)
        for (Integer rotation : {1, -1})
            for (DrawStyle style : kStyles) {
                if (pattern == kSandglass || pattern == kPlainBackground)
                    continue;
                SCOPED_TRACE(testing::Message()
                             << kPatternNames[pattern] << " " << rotation << " " << int(style));
                const bool across = rotation == 1, edge = pattern == kLinearGradient,
                           arcs = pattern == kShadedSemicircle;
                const int w = across ? 200 : 100, h = across ? 100 : 200;
                const QImage img = drawn(params(pattern, 10, rotation), w, h, style);
                EXPECT_EQ(pixelsOf(img), 0);
                if (pattern == kCrossingPleats)
                    continue; // its colours lie along the diagonals: see the fan table
                const QPoint start = !(edge || arcs) ? QPoint(w / 2, h / 2 - 1)
                                     : across        ? QPoint(0, h / 2)
                                                     : QPoint(w / 2, 0);
                EXPECT_LE(off(img, start, arcs ? num::rgb(153, 102, 0) : kRed), edge   ? 6
                                                                                : arcs ? 12
                                                                                       : 40);
                const std::vector<QPoint> ends =
                    !(edge || arcs)
                        ? std::vector<QPoint>{{w - 1, h / 2 - 1},
                                              {w / 2, h - 1},
                                              {w - 1, h - 1},
                                              {0, 0}}
                        : std::vector<QPoint>{across ? QPoint(w - 1, h / 2) : QPoint(w / 2, h - 1)};
                for (const QPoint& end : ends) {
                    EXPECT_LE(off(img, end, kBlue), 24) << end.x() << "," << end.y();
                    EXPECT_TRUE(monotone(img, start, end)) << end.x() << "," << end.y();
                }
            }
}

TEST(PatternPixels, LinearGradientCoversItsAreaUpToTheStartEdgeAndNoFurther)
{
    // Slanted bands drawn into a rectangle inside a larger picture are cut
    // along the start edge without notches, and nothing lies before it.
    for (Integer rotation : {1, -1})
        for (Integer slant : {-6, -1, 3, 10}) {
            QImageSurface s = whiteSurface(300, 200);
            const ImageParams p = params(kLinearGradient, 10, rotation, slant);
            RenderContext ctx(p);
            mDrawPattern(ctx, s, 40, 30, 200, 120);
            const QRect before = rotation == 1 ? QRect(0, 0, 40, 200) : QRect(0, 0, 300, 30);
            EXPECT_EQ(pixelsOf(s.image(), QRect(40, 30, 200, 120)), 0) << rotation << " " << slant;
            EXPECT_EQ(pixelsOf(s.image(), before), before.width() * before.height())
                << rotation << " " << slant;
            const QPoint start(rotation == 1 || slant < 0 ? 40 : 239,
                               rotation == 1 && slant < 0 ? 149 : 30);
            EXPECT_LE(off(s.image(), start, kRed), 12) << rotation << " " << slant;
        }
    // Step 2 and pen 2: bands exactly side by side up to the edge they end on.
    EXPECT_EQ(pixelsOf(drawn(params(kLinearGradient, 0), 300, 10)), 0);
    EXPECT_EQ(pixelsOf(drawn(params(kLinearGradient, 0, -1), 10, 300)), 0);
}

TEST(PatternPixels, BandsCloseUpWhereTheirPenIsTheirStep)
{
    // Segments just short of a multiple of 128 got pens a pixel narrower than
    // their step: a line of background after every band (linear, rectangle,
    // semicircle) or pinholes where the fans' lines met edge to edge.  And
    // slanted bands a pen apart left pinholes along their shared edges.
    const std::array<Integer, 6> rows[] = {
        {kLinearGradient, 1535, 96, 10, 1, 0},  {kShadedRectangle, 1535, 96, 0, 1, 0},
        {kCrossingPleats, 1780, 341, 15, 1, 0}, {kShadedSemicircle, 1177, 717, 10, 1, 0},
        {kLinearGradient, 876, 493, 8, -1, 1},  {kLinearGradient, 1576, 263, 14, -1, 5}};
    for (const auto& [pattern, w, h, hump, rotation, slant] : rows)
        for (DrawStyle style : kStyles)
            EXPECT_EQ(pixelsOf(drawn(params(pattern, hump, rotation, slant), w, h, style)), 0)
                << kPatternNames[pattern] << " " << w << "x" << h << " style " << int(style);
}

TEST(PatternPixels, SandglassLeavesTheOtherWedgesUncovered)
{
    for (DrawStyle style : kStyles) {
        const QImage img = drawn(params(kSandglass, 10), 200, 100, style);
        EXPECT_LE(off(img, {100, 5}, kGreen), 12);
        EXPECT_LE(off(img, {20, 0}, num::rgb(204, 51, 0)), 8); // line k meets the top at x = k
        EXPECT_LE(off(img, {180, 0}, num::rgb(0, 51, 204)), 8);
        int holes = 0; // inside the top and bottom wedges
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 200; ++x)
                holes += std::fabs(x - 99.5) < 2 * std::fabs(y - 49.5) - 2 &&
                         pixelAt(img, x, y) == kWhite;
        EXPECT_EQ(holes, 0);
        EXPECT_EQ(pixelsOf(img, QRect(0, 45, 6, 10)) + pixelsOf(img, QRect(194, 45, 6, 10)), 120);
        const QImage v = drawn(params(kSandglass, 10, -1), 200, 100, style);
        EXPECT_LE(off(v, {5, 50}, kGreen), 12);
        EXPECT_EQ(pixelAt(v, 100, 3), kWhite);
    }
}

TEST(PatternPixels, RoundPatternsLeaveNoHoleInsideTheirFigures)
{
    // Preset 3's circles left background at their centre, where the first
    // rings' pen is wider than their radius (6 pixels at 1920 x 1080 and
    // 3840 x 2160, 1 at the other sizes); with the middle colour at the
    // centre one pixel stayed at the centre of even-sized pictures; the
    // diamond's segments left a line between them on the side away from a
    // moved origin; rings whose step equals their pen left pinholes.
    const DrawStyle in = DrawStyle::InsideSolid, centred = DrawStyle::Solid;
    auto expectCovered = [](const ImageParams& p, int w, int h, DrawStyle style) {
        EXPECT_EQ(uncoveredInside(p, w, h, style), 0)
            << kPatternNames[p.pnPattern] << " " << w << "x" << h << " hump " << p.pnHump
            << " rotation " << p.pnRotation << " sliders " << p.pnSlantRate << ","
            << p.pnVerOrgOffset << " style " << int(style);
    };
    ImageModel preset3;
    preset3.mSetDefaults(3);
    for (Integer pattern : {kShadedCircle, kClearcutCircle})
        for (const auto& [w, h] :
             {std::pair{1366, 768}, {1920, 1080}, {2560, 1440}, {3840, 2160}}) {
            preset3.params.pnPattern = pattern;
            expectCovered(preset3.params, w, h, in);
        }
    for (Integer pattern : {kShadedCircle, kShadedEllipse})
        for (DrawStyle style : kStyles) {
            expectCovered(params(pattern, 0), 1920, 1080, style);
            expectCovered(params(pattern, 8, 1, 2, -2), 1920, 1080, style);
        }
    expectCovered(params(kShadedDiamond, 1, -1, 0, 10), 1366, 768, in);
    expectCovered(params(kShadedDiamond, 1, -1, 0, -10), 1366, 768, centred);
    expectCovered(params(kShadedDiamond, 13, 1, -7, -8), 386, 335, centred);
    // And a seeded set: every round pattern, 20 to 620 pixels, any hump,
    // sliders mostly at their ends, both orientations and styles.
    std::mt19937 rng(20240611);
    const Integer round[] = {kShadedEllipse,  kClearcutEllipse, kShadedCircle,
                             kClearcutCircle, kShadedDiamond,   kClearcutDiamond};
    auto slider = [&] {
        return Integer(rng() % 3 ? (rng() % 2 ? 10 : -10) : int(rng() % 21) - 10);
    };
    for (int i = 0; i < 60; ++i) {
        ImageParams p = params(round[rng() % 6], 0);
        p.pnHump = Integer(rng() % 21);
        p.pnRotation = rng() % 2 ? 1 : -1;
        p.pnSlantRate = slider();
        p.pnVerOrgOffset = slider();
        const int w = 20 + int(rng() % 600), h = 20 + int(rng() % 600);
        expectCovered(p, w, h, rng() % 2 ? in : centred);
    }
}

TEST(PatternPixels, SemicircleCoversTheWholePicture)
{
    // Arcs inside their radius left a dotted row of background along the
    // top edge (3840 x 2160, 1908 x 484, 1028 x 60), and on very flat
    // pictures the arcs' flat ends left a gap every few columns.
    std::vector<std::array<int, 4>> rows = {
        // width, height, rotation, hump
        {1000, 3, 1, 0},    {3, 1000, -1, 0},   {1000, 10, 1, 10},  {10, 1000, -1, 10},
        {640, 2, 1, 20},    {2, 640, -1, 20},   {4096, 128, 1, 0},  {128, 4096, -1, 10},
        {16384, 64, 1, 10}, {3840, 2160, 1, 0}, {1908, 484, 1, 20}, {1028, 60, 1, 0},
        {200, 100, 1, 10},  {1, 1, 1, 10},      {1, 866, 1, 0},     {1105, 3, -1, 10}};
    std::mt19937 rng(7);
    for (int i = 0; i < 24; ++i) {
        const int w = 1 + int(rng() % 2000), h = 1 + int(rng() % 600),
                  rotation = rng() % 2 ? 1 : -1;
        rows.push_back({w, h, rotation, int(rng() % 21)});
    }
    for (const auto& [w, h, rotation, hump] : rows)
        for (DrawStyle style : kStyles)
            EXPECT_EQ(pixelsOf(drawn(params(kShadedSemicircle, Integer(hump), Integer(rotation)), w,
                                     h, style)),
                      0)
                << w << "x" << h << " rotation " << rotation << " hump " << hump << " style "
                << int(style);
}

TEST(PatternPixels, RepetitionsCopyIdenticalTiles)
{
    // 3 x 2 repetitions on 300 x 200: one 100 x 100 tile, copied to x = 0,
    // 100, 200 and y = 0, 100.
    for (Integer pattern : {kShadedCircle, kLinearGradient, kCrossingPleats}) {
        ImageParams p = params(pattern, 10, 1, 3, 2);
        p.pnHorRep = 3;
        p.pnVerRep = 2;
        FullSizePictures pics;
        pics.resize(300, 200);
        RenderContext ctx(p);
        mDrawFullSize(ctx, pics, 300, 200);
        const QImage tile = pics.picSrc.image().copy(0, 0, 100, 100);
        EXPECT_EQ(pixelsOf(tile), 0);
        EXPECT_NE(tile.pixel(50, 49), tile.pixel(0, 0)) << kPatternNames[pattern];
        for (int x : {0, 100, 200})
            for (int y : {0, 100})
                EXPECT_EQ(pics.picShow.image().copy(x, y, 100, 100), tile)
                    << kPatternNames[pattern] << x << "," << y;
    }
}

TEST(PatternPixels, EveryPatternDrawsCompletelyAtLargeSizes)
{
    // Drawn with errors propagating, so that an early end shows; spot checks
    // across the picture find it all painted.
    for (const auto& [w, h] : {std::pair{4000, 2500}, {16384, 64}, {64, 16384}}) {
        QImageSurface img(w, h, DrawStyle::InsideSolid);
        for (Integer pattern = 0; pattern < kPatterns; ++pattern) {
            img.setBackColor(kWhite);
            const ImageParams p = params(pattern, 10, 1, 3, -2);
            RenderContext ctx(p);
            ASSERT_NO_THROW(mDispatchPattern(ctx, img, 0, 0, Integer(w), Integer(h)))
                << kPatternNames[pattern];
            for (int i = 0; i <= 8 && pattern != kSandglass; ++i)
                for (int j = 0; j <= 8; ++j)
                    EXPECT_NE(pixelAt(img.image(), (w - 1) * i / 8, (h - 1) * j / 8), kWhite)
                        << kPatternNames[pattern] << " " << w << "x" << h << " " << i << "," << j;
        }
    }
}
