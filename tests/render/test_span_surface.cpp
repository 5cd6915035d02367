// The span surface against the QPainter reference: every pattern drawn on
// both, at several sizes and shapes and a seeded sample of parameter sets.
// Both start from a colour no pattern uses, so a pixel still showing it is
// one no figure reached.
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

// Green 254 with next to no red and blue: in no ramp of the colours below
// and no rainbow palette.
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

template <class S> QImage draw(const Case& c)
{
    S s(c.width, c.height, c.style);
    s.setBackColor(kUnreached);
    const ImageParams p = caseParams(c);
    RenderContext ctx(p);
    mDrawPattern(ctx, s, 0, 0, Integer(c.width), Integer(c.height));
    return s.image();
}

int channelStep(num::Rgb a, num::Rgb b)
{
    return std::max({std::abs(num::redOf(a) - num::redOf(b)),
                     std::abs(num::greenOf(a) - num::greenOf(b)),
                     std::abs(num::blueOf(a) - num::blueOf(b))});
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
    const QImage want = draw<QImageSurface>(c), got = draw<SpanSurface>(c);
    ASSERT_EQ(got.size(), want.size());
    // The sandglass leaves wedges of its rectangle bare (unless the first
    // palette fills them): there only pixels inside what the reference
    // covers count, not those on the edge of a wedge.
    const bool wedges = c.pattern == kSandglass && c.rainbow != 1;
    auto bare = [&](const QImage& img, int x, int y) {
        return fromQRgb(img.pixel(x, y)) == kUnreached;
    };
    auto inside = [&](int x, int y) {
        for (int v = std::max(0, y - 1); v <= std::min(c.height - 1, y + 1); ++v)
            for (int u = std::max(0, x - 1); u <= std::min(c.width - 1, x + 1); ++u)
                if (bare(want, u, v))
                    return false;
        return true;
    };
    const int step = bandStep(c);
    auto besideInReference = [&](int x, int y, num::Rgb colour) {
        for (int v = std::max(0, y - kNear); v <= std::min(c.height - 1, y + kNear); ++v)
            for (int u = std::max(0, x - kNear); u <= std::min(c.width - 1, x + kNear); ++u)
                if (channelStep(fromQRgb(want.pixel(u, v)), colour) <= step)
                    return true;
        return false;
    };
    long same = 0, far = 0, holes = 0;
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) {
            const num::Rgb a = fromQRgb(want.pixel(x, y)), b = fromQRgb(got.pixel(x, y));
            same += a == b;
            holes += b == kUnreached && (!wedges || inside(x, y));
            far += a != b && b != kUnreached && !besideInReference(x, y, b);
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
    // The straight figures come out as on the reference but for pixels
    // whose centre lies within a hair of an edge.  The reference draws a
    // curve as a polygon of its own approximation, up to about a third of a
    // pixel off the true curve the span surface follows, so the round
    // patterns differ on more of their band edges (most in the smallest
    // pictures, where every other pixel is an edge pixel, and on very flat
    // ellipses); those pixels take the next band's colour.
    for (Integer pattern = 0; pattern < kPatterns; ++pattern) {
        const Tally& t = tally[pattern];
        const bool round = pattern == kShadedEllipse || pattern == kClearcutEllipse ||
                           pattern == kShadedCircle || pattern == kClearcutCircle ||
                           pattern == kShadedSemicircle;
        EXPECT_GE(t.same * 100, t.all * (round ? 90 : 99))
            << kPatternNames[pattern] << ": " << t.same << " of " << t.all << " pixels the same";
    }
}

TEST(SpanSurface, WaitingFiguresAreDrawnInOrderWhenThePictureIsRead)
{
    // Figures wait until the picture is read; a clear drops those before
    // it; a thin line is drawn at once over what waits; the last figure
    // covers the earlier ones; a copy of the surface draws its own.
    SpanSurface s(20, 10);
    s.setBackColor(kWhite);
    s.setDrawWidth(3);
    s.fillBox(0, 0, 19, 9, kRed);
    s.box(2, 1, 17, 8, kGreen);
    s.setDrawWidth(1);
    s.line(0, 5, 19, 5, kBlue); // one pixel wide, its last pixel left out
    const QImage& img = s.image();
    EXPECT_EQ(fromQRgb(img.pixel(0, 0)), kRed);
    EXPECT_EQ(fromQRgb(img.pixel(2, 2)), kGreen);
    EXPECT_EQ(fromQRgb(img.pixel(9, 5)), kBlue);
    EXPECT_EQ(fromQRgb(img.pixel(19, 5)), kRed);
    EXPECT_EQ(fromQRgb(img.pixel(9, 4)), kRed); // inside the box's band of 3

    s.setDrawWidth(4);
    s.circle(10, 5, 3, kBlue);
    SpanSurface copy = s;
    s.cls();
    EXPECT_EQ(fromQRgb(s.image().pixel(10, 2)), kWhite);
    EXPECT_EQ(fromQRgb(copy.image().pixel(10, 2)), kBlue);
}
