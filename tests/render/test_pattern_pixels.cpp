// SPDX-License-Identifier: GPL-3.0-or-later
// The patterns on the span surface: figures in both draw styles, coverage
// without gaps or pinholes, the linear gradient's start edge, the sandglass's
// wedges and the tiles of repetitions.  Colours 0, 1, 2 are red, green and
// blue on a white surface, so a white pixel is one no band reached.
#include "render/drivers.h"
#include "render/qimage_surface.h"
#include "support/render_fixture.h"

#include <QImage>

#include <random>

using namespace ombrix;
using namespace ombrix::test;

namespace
{

constexpr DrawStyle kStyles[] = {DrawStyle::InsideSolid, DrawStyle::Solid};

// Pixels no band reached: white ones, and those inside a round pattern's
// outermost figure, less its last band, that still show the colour-2 fill.
int gaps(const ImageParams& p, int w, int h, DrawStyle style)
{
    const QImage img = drawn(p, w, h, style);
    int n = pixelsOf(img);
    const RecordingSurface rec = record(p, 0, 0, Integer(w), Integer(h));
    if (!fillsFirst(p) || rec.bands.empty())
        return n;
    const Call& f = rec.bands.back();
    const bool diamond = f.kind == CallKind::Line; // from its left vertex to its top one
    const double cx = diamond ? f.v[2] : f.v[0], cy = f.v[1], margin = rec.pens.back().pen + 2.5;
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
    for (int y = std::max(0, int(cy - ay));
         ax > 0 && ay > 0 && y <= std::min(h - 1, int(cy + ay) + 1); ++y)
        for (int x = std::max(0, int(cx - ax)); x <= std::min(w - 1, int(cx + ax) + 1); ++x) {
            const double dx = std::fabs(x - cx) / ax, dy = std::fabs(y - cy) / ay;
            n += (diamond ? dx + dy < 1 : dx * dx + dy * dy < 1) && pixelAt(img, x, y) == kBlue;
        }
    return n;
}

} // namespace

template <class S> class SurfacePixels : public testing::Test
{
};
using BothSurfaces = testing::Types<SpanSurface, QImageSurface>;
TYPED_TEST_SUITE(SurfacePixels, BothSurfaces);

TYPED_TEST(SurfacePixels, ThickOutlinesLieInsideOrAreCentredByStyle)
{
    // Pen 6 around (50, 50): the painted run from the centre along each axis
    // (right, left, down, up) ends at the figure's edge inside-solid and
    // straddles it centred; a box's band is exactly its pen wide.  A box of
    // 20 x 15 to each side, a circle of 20, ellipses of 20 across or down,
    // the left half of a circle (0: nothing on that side, -1: not measured,
    // as the arc's ends are carried on).
    const int radii[5][4] = {
        {20, 20, 15, 15}, {20, 20, 20, 20}, {20, 20, 10, 10}, {10, 10, 20, 20}, {0, 20, -1, -1}};
    const int dirs[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    const double pi = 4 * std::atan(1.0);
    for (int figure = 0; figure < 5; ++figure)
        for (DrawStyle style : kStyles) {
            TypeParam s = blankSurface<TypeParam>(101, 101, style);
            s.setDrawWidth(6);
            if (figure == 0)
                s.box(30, 35, 70, 65, kRed);
            else if (figure == 1)
                s.circle(50, 50, 20, kRed);
            else if (figure < 4)
                s.ellipse(50, 50, 20, kRed, figure == 2 ? 0.5 : 2.0);
            else
                s.arc(50, 50, 20, kRed, pi / 2, 3 * pi / 2);
            for (int d = 0; d < 4; ++d) {
                int inner = -1, outer = -1;
                for (int r = 0; r <= 40; ++r)
                    if (pixelAt(s.image(), 50 + dirs[d][0] * r, 50 + dirs[d][1] * r) == kRed) {
                        inner = inner < 0 ? r : inner;
                        outer = r;
                    }
                const int R = radii[figure][d];
                const bool in = style == DrawStyle::InsideSolid;
                EXPECT_TRUE(R < 0 || (R == 0 && outer < 0) ||
                            (outer >= (in ? R : R + 2) && outer <= (in ? R : R + 3) &&
                             inner >= (in ? R - 6 : R - 3) && inner <= (in ? R - 4 : R - 2) &&
                             (figure > 0 || outer - inner == 5)))
                    << "figure " << figure << " style " << int(style) << " direction " << d << ": "
                    << inner << ".." << outer;
            }
        }
    // A ring whose pen fills it, however small, paints the pixel at its
    // centre.
    TypeParam dot = blankSurface<TypeParam>(10, 10);
    dot.setDrawWidth(2);
    dot.circle(4.5, 4.5, 0.2, kRed);
    EXPECT_EQ(pixelAt(dot.image(), 4, 4), kRed);
}

TYPED_TEST(SurfacePixels, ThickLinesKeepTheirWidthUpToThePictureEdge)
{
    // A band running out through the edge is as wide in the edge row as
    // elsewhere (a round cap there left pinholes between bands side by
    // side); a line along an edge, or ending inside, is not lengthened.
    for (Long pen = 2; pen <= 8; ++pen) {
        TypeParam s = blankSurface<TypeParam>(40, 40);
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

TEST(PatternPixels, BandsLeaveNoGapsInEitherStyle)
{
    // Every pattern but the sandglass covers its rectangle, and no round
    // pattern shows its fill between its figures, along the width and the
    // height, at the largest sizes and where gaps were once found: segments
    // just short of a multiple of 128 (pens a pixel narrower than the step);
    // slanted bands a pen apart; step 2 with pen 2; preset 3's circles
    // (first rings' pen wider than their radius, the centre pixel of even
    // sizes); rings whose step equals their pen; the diamond's segments on
    // the side away from a moved origin; the semicircle's arcs along the top
    // edge (3840 x 2160, 1908 x 484, 1028 x 60) and on very flat pictures.
    std::vector<std::array<int, 7>> rows = {
        // pattern, width, height, hump, rotation, sliders
        {kLinearGradient, 1535, 96, 10, 1, 0, 0},     {kShadedRectangle, 1535, 96, 0, 1, 0, 0},
        {kCrossingPleats, 1780, 341, 15, 1, 0, 0},    {kShadedSemicircle, 1177, 717, 10, 1, 0, 0},
        {kLinearGradient, 876, 493, 8, -1, 1, 0},     {kLinearGradient, 1576, 263, 14, -1, 5, 0},
        {kLinearGradient, 300, 10, 0, 1, 0, 0},       {kLinearGradient, 10, 300, 0, -1, 0, 0},
        {kShadedCircle, 1366, 768, 18, 1, -3, -3},    {kClearcutCircle, 1920, 1080, 18, 1, -3, -3},
        {kShadedCircle, 2560, 1440, 18, 1, -3, -3},   {kClearcutCircle, 3840, 2160, 18, 1, -3, -3},
        {kShadedCircle, 1920, 1080, 0, 1, 0, 0},      {kShadedCircle, 1920, 1080, 8, 1, 2, -2},
        {kShadedEllipse, 1920, 1080, 0, 1, 0, 0},     {kShadedEllipse, 1920, 1080, 8, 1, 2, -2},
        {kShadedDiamond, 1366, 768, 1, -1, 0, 10},    {kShadedDiamond, 1366, 768, 1, -1, 0, -10},
        {kShadedDiamond, 386, 335, 13, 1, -7, -8},    {kShadedSemicircle, 1000, 3, 0, 1, 0, 0},
        {kShadedSemicircle, 3, 1000, 0, -1, 0, 0},    {kShadedSemicircle, 1000, 10, 10, 1, 0, 0},
        {kShadedSemicircle, 10, 1000, 10, -1, 0, 0},  {kShadedSemicircle, 640, 2, 20, 1, 0, 0},
        {kShadedSemicircle, 2, 640, 20, -1, 0, 0},    {kShadedSemicircle, 4096, 128, 0, 1, 0, 0},
        {kShadedSemicircle, 128, 4096, 10, -1, 0, 0}, {kShadedSemicircle, 3840, 2160, 0, 1, 0, 0},
        {kShadedSemicircle, 1908, 484, 20, 1, 0, 0},  {kShadedSemicircle, 1028, 60, 0, 1, 0, 0},
        {kShadedSemicircle, 1, 1, 10, 1, 0, 0},       {kShadedSemicircle, 1, 866, 0, 1, 0, 0},
        {kShadedSemicircle, 1105, 3, 10, -1, 0, 0}};
    for (Integer pattern = 0; pattern < kPatterns; ++pattern)
        for (const auto& [w, h, rotation] :
             {std::tuple{200, 100, 1}, {100, 200, -1}, {16384, 64, 1}, {64, 16384, 1}})
            if (pattern != kSandglass)
                rows.push_back({pattern, w, h, 10, rotation, w > 200 ? 3 : 0, w > 200 ? -2 : 0});
    // And seeded sets: the semicircle up to 2000 x 600; every round pattern,
    // 20 to 620 pixels, sliders mostly at their ends.
    std::mt19937 rng(7);
    for (int i = 0; i < 24; ++i) {
        const int w = 1 + int(rng() % 2000), h = 1 + int(rng() % 600),
                  rotation = rng() % 2 ? 1 : -1;
        rows.push_back({kShadedSemicircle, w, h, int(rng() % 21), rotation, 0, 0});
    }
    rng.seed(20240611);
    const Integer round[] = {kShadedEllipse,  kClearcutEllipse, kShadedCircle,
                             kClearcutCircle, kShadedDiamond,   kClearcutDiamond};
    auto slider = [&] { return rng() % 3 ? (rng() % 2 ? 10 : -10) : int(rng() % 21) - 10; };
    for (int i = 0; i < 60; ++i) {
        const int pattern = round[rng() % 6], hump = int(rng() % 21), rotation = rng() % 2 ? 1 : -1,
                  s = slider(), v = slider();
        const int w = 20 + int(rng() % 600), h = 20 + int(rng() % 600);
        rows.push_back({pattern, w, h, hump, rotation, s, v});
    }
    for (const auto& [pattern, w, h, hump, rotation, s, v] : rows)
        for (DrawStyle style : kStyles)
            EXPECT_EQ(gaps(params(Integer(pattern), Integer(hump), Integer(rotation), Integer(s),
                                  Integer(v)),
                           w, h, style),
                      0)
                << kPatternNames[pattern] << " " << w << "x" << h << " hump " << hump
                << " rotation " << rotation << " sliders " << s << "," << v << " style "
                << int(style);
}

TEST(PatternPixels, LinearGradientCoversItsAreaUpToTheStartEdgeAndNoFurther)
{
    // Slanted bands drawn into a rectangle inside a larger picture are cut
    // along the start edge without notches, and nothing lies before it.
    for (Integer rotation : {1, -1})
        for (Integer slant : {-6, -1, 3, 10}) {
            SCOPED_TRACE(testing::Message() << rotation << " " << slant);
            SpanSurface s = blankSurface(300, 200);
            const ImageParams p = params(kLinearGradient, 10, rotation, slant);
            RenderContext ctx(p);
            mDrawPattern(ctx, s, 40, 30, 200, 120);
            const QRect before = rotation == 1 ? QRect(0, 0, 40, 200) : QRect(0, 0, 300, 30);
            EXPECT_EQ(pixelsOf(s.image(), QRect(40, 30, 200, 120)), 0);
            EXPECT_EQ(pixelsOf(s.image(), before), before.width() * before.height());
            const QPoint start(rotation == 1 || slant < 0 ? 40 : 239,
                               rotation == 1 && slant < 0 ? 149 : 30);
            EXPECT_LE(channelStep(pixelAt(s.image(), start.x(), start.y()), kRed), 12);
        }
}

TEST(PatternPixels, SandglassCoversItsOwnWedgesOnly)
{
    for (DrawStyle style : kStyles) {
        const QImage img = drawn(params(kSandglass, 10), 200, 100, style);
        EXPECT_LE(channelStep(pixelAt(img, 100, 5), kGreen), 12);
        EXPECT_LE(channelStep(pixelAt(img, 20, 0), num::rgb(204, 51, 0)),
                  8);  // line k meets the top at x = k
        int holes = 0; // inside the top and bottom wedges
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 200; ++x)
                holes += std::fabs(x - 99.5) < 2 * std::fabs(y - 49.5) - 2 &&
                         pixelAt(img, x, y) == kWhite;
        EXPECT_EQ(holes, 0);
        EXPECT_EQ(pixelsOf(img, QRect(0, 45, 6, 10)) + pixelsOf(img, QRect(194, 45, 6, 10)), 120);
    }
}

TEST(PatternPixels, TilingLeavesThePictureAsCopiesFromAFullSourceWould)
{
    // The copies of mTileImage done the plain way: the pattern on a cleared
    // picture of the full size, its top-left block copied to every tile
    // position, column by column, each copy cw x ch.  Sizes the repetition
    // divides and does not; tiles of a pixel; the plain background, which
    // sets the source's background colour.
    const int rows[][5] = {{kShadedCircle, 300, 200, 3, 2},   {kShadedCircle, 301, 203, 3, 2},
                           {kCrossingPleats, 1000, 7, 20, 1}, {kLinearGradient, 97, 61, 4, 5},
                           {kPlainBackground, 50, 40, 2, 2},  {kShadedDiamond, 17, 250, 1, 12},
                           {kSandglass, 240, 130, 3, 3},      {kShadedEllipse, 120, 80, 1, 1}};
    for (const auto& [pattern, w, h, across, down] : rows) {
        SCOPED_TRACE(testing::Message() << kPatternNames[pattern] << " " << w << "x" << h);
        ImageParams p = params(Integer(pattern), 10, 1, 3, 2);
        p.pnHorRep = Integer(across);
        p.pnVerRep = Integer(down);
        FullSizePictures pics;
        pics.resize(w, h);
        pics.picSrc.setBackColor(kWhite);
        pics.picShow.setBackColor(kRed);
        RenderContext ctx(p);
        mDrawFullSize(ctx, pics, Integer(w), Integer(h));

        SpanSurface src = blankSurface(w, h);
        RenderContext ctx2(p);
        mDrawPattern(ctx2, src, 0, 0, Integer(num::cint(double(w) / across)),
                     Integer(num::cint(double(h) / down)));
        QImage want(w, h, QImage::Format_RGB32);
        for (int i = 0; i < across; ++i)
            for (int j = 0; j < down; ++j) {
                const int x = i * num::cint(double(w) / across),
                          y = j * num::cint(double(h) / down);
                for (int v = y; v < h; ++v)
                    for (int u = x; u < w; ++u)
                        want.setPixel(u, v, src.image().pixel(u - x, v - y));
            }
        EXPECT_EQ(pics.picShow.image(), want);
        EXPECT_EQ(pics.picSrc.backColor(), src.backColor());
        EXPECT_EQ(pics.picShow.backColor(), kRed);
    }
}
