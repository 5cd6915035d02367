// The linear gradient: band positions, steps and pens, colours at the
// segment ends, slant and the clipping at the start edge.
#include "support/render_fixture.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace ombrix;
using namespace ombrix::test;

TEST(LinearGradient, StraightHumpTenOnTwoHundredPixels)
{
    const Recorded r = record(makeParams(kLinearGradient, 10), 0, 0, 200, 50);
    const auto segs = r.segments();
    ASSERT_EQ(segs.size(), 2u);
    for (const RecordedSegment& seg : segs) {
        EXPECT_EQ(seg.pen, 2);
        ASSERT_EQ(seg.bands.size(), 101u);
    }
    for (int i = 0; i <= 100; ++i) {
        const Call& a = segs[0].bands[i];
        const Call& b = segs[1].bands[i];
        EXPECT_EQ(a.kind, CallKind::Line);
        EXPECT_DOUBLE_EQ(a.x1, i);
        EXPECT_DOUBLE_EQ(a.x2, i);
        EXPECT_DOUBLE_EQ(a.y1, 0);
        EXPECT_DOUBLE_EQ(a.y2, 50);
        EXPECT_DOUBLE_EQ(b.x1, 100 + i);
        EXPECT_DOUBLE_EQ(b.x2, 100 + i);
    }
    EXPECT_EQ(segs[0].bands.front().colour, kRed);
    EXPECT_EQ(segs[0].bands.back().colour, kGreen); // x = 100
    EXPECT_EQ(segs[1].bands.front().colour, kGreen);
    EXPECT_EQ(segs[1].bands.back().colour, kBlue); // the right edge
    EXPECT_LE(colourDistance(segs[0].bands[50].colour, rgbOf(128, 128, 0)), 1);
}

TEST(LinearGradient, ThreeHundredPixelSegmentStepsByTwo)
{
    const Recorded r = record(makeParams(kLinearGradient, 0), 0, 0, 300, 40);
    const auto segs = r.segments();
    ASSERT_EQ(segs.size(), 1u);
    EXPECT_EQ(segs[0].pen, 2); // floor(300 / 128)
    ASSERT_EQ(segs[0].bands.size(), 151u);
    for (int i = 0; i <= 150; ++i) {
        EXPECT_DOUBLE_EQ(segs[0].bands[i].x1, 2 * i);
        EXPECT_EQ(segs[0].bands[i].pen, 2);
    }
}

TEST(LinearGradient, ThousandPixelSegmentStepsBySeven)
{
    const Recorded r = record(makeParams(kLinearGradient, 0), 0, 0, 1000, 40);
    const auto segs = r.segments();
    ASSERT_EQ(segs.size(), 1u);
    EXPECT_EQ(segs[0].pen, 7);
    // 0, 7, ..., 994, and one more band at the segment's end so that the
    // far edge is reached.
    ASSERT_EQ(segs[0].bands.size(), 144u);
    for (int i = 0; i <= 142; ++i)
        EXPECT_DOUBLE_EQ(segs[0].bands[i].x1, 7 * i);
    EXPECT_DOUBLE_EQ(segs[0].bands.back().x1, 1000);
    EXPECT_EQ(segs[0].bands.back().colour, kBlue);
}

TEST(LinearGradient, PenIsAtLeastTwo)
{
    struct Case {
        Integer w;
        Long pen;
    };
    for (const Case c : {Case{10, 2}, Case{127, 2}, Case{383, 2}, Case{512, 4}, Case{639, 4},
                         Case{2000, 15}, Case{16384, 128}}) {
        const Recorded r = record(makeParams(kLinearGradient, 0), 0, 0, c.w, 10);
        ASSERT_EQ(r.segments().size(), 1u);
        EXPECT_EQ(r.segments()[0].pen, c.pen) << c.w;
    }
}

TEST(LinearGradient, RotationMinusOneRunsDownwards)
{
    const Recorded r = record(makeParams(kLinearGradient, 10, -1), 7, 11, 50, 200);
    const auto segs = r.segments();
    ASSERT_EQ(segs.size(), 2u);
    ASSERT_EQ(segs[0].bands.size(), 101u);
    for (int i = 0; i <= 100; ++i) {
        const Call& a = segs[0].bands[i];
        EXPECT_DOUBLE_EQ(a.x1, 7);
        EXPECT_DOUBLE_EQ(a.x2, 57);
        EXPECT_DOUBLE_EQ(a.y1, 11 + i);
        EXPECT_DOUBLE_EQ(a.y2, 11 + i);
    }
    EXPECT_DOUBLE_EQ(segs[1].bands.back().y1, 211);
    EXPECT_EQ(segs[0].bands.front().colour, kRed);
    EXPECT_EQ(segs[1].bands.back().colour, kBlue);
}

TEST(LinearGradient, HumpZeroAndTwentyDrawOneSegment)
{
    const Recorded zero = record(makeParams(kLinearGradient, 0), 0, 0, 100, 10);
    ASSERT_EQ(zero.segments().size(), 1u);
    EXPECT_EQ(zero.bands().front().colour, kGreen);
    EXPECT_EQ(zero.bands().back().colour, kBlue);
    EXPECT_EQ(zero.bands().size(), 101u);

    const Recorded twenty = record(makeParams(kLinearGradient, 20), 0, 0, 100, 10);
    ASSERT_EQ(twenty.segments().size(), 1u);
    EXPECT_EQ(twenty.bands().front().colour, kRed);
    EXPECT_EQ(twenty.bands().back().colour, kGreen);
    EXPECT_EQ(twenty.bands().size(), 101u);
}

TEST(LinearGradient, NotAtTheOriginIsDrawnInPlace)
{
    const Recorded r = record(makeParams(kLinearGradient, 10), 40, 30, 100, 60);
    const std::vector<Call> b = r.bands();
    ASSERT_FALSE(b.empty());
    EXPECT_DOUBLE_EQ(b.front().x1, 40);
    EXPECT_DOUBLE_EQ(b.front().y1, 30);
    EXPECT_DOUBLE_EQ(b.front().y2, 90);
    EXPECT_DOUBLE_EQ(b.back().x1, 140);
}

TEST(LinearGradient, SlantOffsetGrowsWithTheExtentNotTheCrossSize)
{
    // Slant 3 on a width of 200: D = 60 whatever the height, so the bands
    // run from 0 to Len = 260 (hump 0: one segment, step 2).
    for (Integer h : {50, 500}) {
        const Recorded r = record(makeParams(kLinearGradient, 0, 1, 3), 0, 0, 200, h);
        const std::vector<Call> b = r.bands();
        ASSERT_EQ(b.size(), 131u) << h;
        EXPECT_DOUBLE_EQ(b.back().x1, 260);
        EXPECT_NEAR(b.back().x2, 200, 1e-4); // L + p - D
        EXPECT_EQ(r.segments()[0].pen, 2);
    }
}

TEST(LinearGradient, ClippingAtTheStartEdgeInAllFourCases)
{
    // A rectangle at (30, 20), 200 x 100; slant magnitude 2.  The part of a
    // band that lies before the start edge is cut off there; what remains is
    // the band from the edge on, along the band's own line.  The bands keep
    // their full length and the surface clips them at the start edge, so
    // that a thick pen is cut straight along the edge.
    const double L = 30, T = 20, W = 200, H = 100;
    struct Case {
        Integer rotation, slant;
    };
    for (const Case c : {Case{1, -2}, Case{1, 2}, Case{-1, -2}, Case{-1, 2}}) {
        SCOPED_TRACE(testing::Message() << "rotation " << c.rotation << " slant " << c.slant);
        const Recorded r =
            record(makeParams(kLinearGradient, 0, c.rotation, c.slant), 30, 20, 200, 100);
        const bool alongWidth = c.rotation == 1;
        const double X = alongWidth ? W : H;
        const double D = X * 0.2;
        const double kx = W / D, ky = H / D;

        // The clip: from the start edge on, open on every other side, in
        // force from before the first band until after the last.
        const std::vector<Call>& calls = r.surface.calls();
        ASSERT_GE(calls.size(), 2u);
        const Call& clip = calls.front();
        ASSERT_EQ(clip.kind, CallKind::SetClip);
        EXPECT_EQ(calls.back().kind, CallKind::ClearClip);
        if (alongWidth) {
            EXPECT_DOUBLE_EQ(clip.x1, L);
            EXPECT_LE(clip.y1, T - 1000);
            EXPECT_GE(clip.y2, T + H + 1000);
        } else {
            EXPECT_DOUBLE_EQ(clip.y1, T);
            EXPECT_LE(clip.x1, L - 1000);
            EXPECT_GE(clip.x2, L + W + 1000);
        }
        EXPECT_GE(std::min(clip.x2, clip.y2), L + W + X + D + 1000);

        const std::vector<Call> b = r.bands();
        // Len = X + D is below 256, so the step is one pixel.
        ASSERT_EQ(b.size(), static_cast<std::size_t>(X + D + 1));
        int clipped = 0;
        for (std::size_t i = 0; i < b.size(); ++i) {
            const double p = static_cast<double>(i);
            // The band as the geometry defines it, cut at the start edge.
            double x1, y1, x2, y2;
            if (alongWidth && c.slant < 0) {
                x1 = L + p - D, y1 = T, x2 = L + p, y2 = T + H;
                if (x1 < L)
                    x1 = L, y1 = T + H - p * ky;
            } else if (alongWidth) {
                x1 = L + p, y1 = T, x2 = L + p - D, y2 = T + H;
                if (x2 < L)
                    x2 = L, y2 = T + p * ky;
            } else if (c.slant < 0) {
                x1 = L, y1 = T + p, x2 = L + W, y2 = T + p - D;
                if (y2 < T)
                    x2 = L + p * kx, y2 = T;
            } else {
                x1 = L, y1 = T + p - D, x2 = L + W, y2 = T + p;
                if (y1 < T)
                    x1 = L + W - p * kx, y1 = T;
            }
            clipped += p < D;
            // The recorded band, cut by the clip's start edge.
            double ax = b[i].x1, ay = b[i].y1, bx = b[i].x2, by = b[i].y2;
            auto cut = [&](double& ex, double& ey, double ox, double oy) {
                if (alongWidth && ex < L) {
                    ey = ey + (oy - ey) * (L - ex) / (ox - ex);
                    ex = L;
                } else if (!alongWidth && ey < T) {
                    ex = ex + (ox - ex) * (T - ey) / (oy - ey);
                    ey = T;
                }
            };
            cut(ax, ay, b[i].x2, b[i].y2);
            cut(bx, by, b[i].x1, b[i].y1);
            EXPECT_NEAR(ax, x1, 1e-4) << i;
            EXPECT_NEAR(ay, y1, 1e-4) << i;
            EXPECT_NEAR(bx, x2, 1e-4) << i;
            EXPECT_NEAR(by, y2, 1e-4) << i;
        }
        EXPECT_EQ(clipped, alongWidth ? 40 : 20);
    }
}

TEST(LinearGradient, OppositeSlantsAreMirrorImages)
{
    // Slant -s drawn upside down is slant +s (along the width), and left to
    // right mirrored along the height.
    const double T = 20, H = 100, L = 30, W = 200;
    for (Integer s : {1, 4, 10}) {
        const auto neg =
            record(makeParams(kLinearGradient, 7, 1, static_cast<Integer>(-s)), 30, 20, 200, 100)
                .bands();
        const auto pos = record(makeParams(kLinearGradient, 7, 1, s), 30, 20, 200, 100).bands();
        ASSERT_EQ(neg.size(), pos.size());
        for (std::size_t i = 0; i < neg.size(); ++i) {
            EXPECT_NEAR(neg[i].x1, pos[i].x2, 1e-4);
            EXPECT_NEAR(2 * T + H - neg[i].y1, pos[i].y2, 1e-4);
            EXPECT_NEAR(neg[i].x2, pos[i].x1, 1e-4);
            EXPECT_NEAR(2 * T + H - neg[i].y2, pos[i].y1, 1e-4);
            EXPECT_EQ(neg[i].colour, pos[i].colour);
        }
        const auto negV =
            record(makeParams(kLinearGradient, 7, -1, static_cast<Integer>(-s)), 30, 20, 200, 100)
                .bands();
        const auto posV = record(makeParams(kLinearGradient, 7, -1, s), 30, 20, 200, 100).bands();
        ASSERT_EQ(negV.size(), posV.size());
        for (std::size_t i = 0; i < negV.size(); ++i) {
            EXPECT_NEAR(2 * L + W - negV[i].x1, posV[i].x2, 1e-4);
            EXPECT_NEAR(negV[i].y1, posV[i].y2, 1e-4);
            EXPECT_NEAR(2 * L + W - negV[i].x2, posV[i].x1, 1e-4);
            EXPECT_NEAR(negV[i].y2, posV[i].y1, 1e-4);
        }
    }
}

TEST(LinearGradient, SecondSegmentStartsAtTheUnroundedMiddle)
{
    // W = 205, hump 10: A = 102.5, so the second segment's bands sit at
    // 102.5 + j, not at a rounded position.
    const Recorded r = record(makeParams(kLinearGradient, 10), 0, 0, 205, 10);
    const auto segs = r.segments();
    ASSERT_EQ(segs.size(), 2u);
    EXPECT_DOUBLE_EQ(segs[0].bands.back().x1, 102); // round(102.5) = 102
    EXPECT_DOUBLE_EQ(segs[1].bands.front().x1, 102.5);
    EXPECT_DOUBLE_EQ(segs[1].bands[1].x1, 103.5);
}

TEST(LinearGradient, ProgressRunsOverBothSegments)
{
    const Recorded r = record(makeParams(kLinearGradient, 5), 0, 0, 400, 10);
    const std::vector<Single> prog = progressAfterBands(r);
    const std::vector<Call> b = r.bands();
    ASSERT_EQ(prog.size(), b.size());
    EXPECT_FLOAT_EQ(prog.front(), 0.0f);
    EXPECT_FLOAT_EQ(prog.back(), 1.0f);
    for (std::size_t i = 0; i < b.size(); ++i)
        EXPECT_NEAR(prog[i], b[i].x1 / 400.0, 1e-6) << i;
}

TEST(LinearGradient, LargeSlantedImagesDoNotOverflow)
{
    // 16384 x 10 would overflow 16 bits; in 32 bits the gradient is 32768
    // long and both segments are drawn in full.
    for (Integer rotation : {1, -1}) {
        for (Integer slant : {10, -10}) {
            RecordingSurface s(16384, 16384);
            const ImageParams params = makeParams(kLinearGradient, 10, rotation, slant);
            RenderContext ctx(params);
            ASSERT_NO_THROW(mDrawLinear(ctx, s, 0, 0, 16384, 16384));
            const auto segs = s.segments();
            ASSERT_EQ(segs.size(), 2u);
            EXPECT_EQ(segs[0].bands.size(), 129u); // A = 16384: step 128
            EXPECT_EQ(segs[1].bands.size(), 129u);
            EXPECT_EQ(segs[0].pen, 128);
            const Call& last = segs[1].bands.back();
            const double lastPos =
                rotation == 1 ? std::max(last.x1, last.x2) : std::max(last.y1, last.y2);
            EXPECT_DOUBLE_EQ(lastPos, 32768);
            EXPECT_EQ(last.colour, kBlue);
        }
    }
}
