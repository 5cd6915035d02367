#include "render/span_surface.h"

#include "render/qimage_surface.h"
#include "render/raster_geometry.h"

#include <sys/mman.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>
#include <thread>

namespace ombrix
{

using raster::clipSegment;
using raster::kFar;
using raster::kPi;
using raster::kSolidHole;
using raster::px;

namespace
{

// Beyond this many waiting figures they are drawn, so that a long run of
// figures holds little memory.  A pattern has at most a few hundred.
constexpr std::size_t kMaxWaiting = 4096;
// Likewise for the sides of the waiting rings' edges (a ring the size of
// a large picture has a few hundred; one far larger, up to some thousands).
constexpr std::size_t kMaxEdgeSides = std::size_t{1} << 18;

// Rows are shared between two threads only from this many pixels on; below
// it starting a thread costs more than it saves.
constexpr long kParallelPixels = 1L << 20;

std::atomic<bool> gParallel{true};

// Pictures from this size on get memory of their own, asked for in huge
// pages where the system gives them: the first touch of a 33 MB picture
// otherwise takes some eight thousand page faults.
constexpr std::size_t kOwnMapping = std::size_t{8} << 20;
constexpr std::size_t kHugePage = std::size_t{2} << 20;

struct Mapping {
    void* base;
    std::size_t length;
};

void releaseMapping(void* info)
{
    auto* m = static_cast<Mapping*>(info);
    munmap(m->base, m->length);
    delete m;
}

QImage newPicture(int width, int height)
{
    if (width <= 0 || height <= 0)
        return {};
    const std::size_t perLine = static_cast<std::size_t>(width) * 4;
    const std::size_t bytes = perLine * static_cast<std::size_t>(height);
    if (bytes < kOwnMapping)
        return QImage(width, height, QImage::Format_RGB32);
    const std::size_t length = (bytes + kHugePage - 1) / kHugePage * kHugePage + kHugePage;
    void* base = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (base == MAP_FAILED)
        return {}; // out of memory, as QImage itself reports it
    const auto start = reinterpret_cast<std::uintptr_t>(base);
    const std::uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
#ifdef MADV_HUGEPAGE
    madvise(reinterpret_cast<void*>(aligned), length - (aligned - start), MADV_HUGEPAGE);
#endif
    auto* info = new Mapping{base, length};
    QImage picture(reinterpret_cast<uchar*>(aligned), width, height,
                   static_cast<qsizetype>(perLine), QImage::Format_RGB32, releaseMapping, info);
    if (picture.isNull())
        releaseMapping(info);
    return picture;
}

// Which pixels a figure covers: those whose centre lies inside it, the
// centre taken a hair left of and above the pixel's own, so that an edge
// running exactly through centres gives its pixels to one side only (the
// figure's right and bottom edges keep them, the left and top ones do not),
// as the reference's rasteriser does.  Bands laid side by side then neither
// overlap nor leave a line between them.
constexpr double kNudge = -1.0 / 4096;

// Without the library's floor and ceil, which are calls on the baseline
// instruction set and the most frequent ones here.
inline long firstIn(double lo)
{
    const double v = std::clamp(lo - kNudge, -kFar, kFar);
    const long i = static_cast<long>(v);
    return i + (v > static_cast<double>(i));
}
inline long lastIn(double hi)
{
    const double v = std::clamp(hi - kNudge, -kFar, kFar);
    const long i = static_cast<long>(v);
    return i - (v < static_cast<double>(i));
}

// Copies a finished row to the picture with stores that bypass the cache
// (the picture is far larger than the cache, and a row is not read again
// while drawing).
inline void writeThrough(QRgb* dst, const QRgb* src, long n)
{
    long i = 0;
#if defined(__SSE2__)
    for (; i < n && (reinterpret_cast<std::uintptr_t>(dst + i) & 15) != 0; ++i)
        dst[i] = src[i];
    for (; i + 4 <= n; i += 4)
        _mm_stream_si128(reinterpret_cast<__m128i*>(dst + i),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i)));
#endif
    for (; i < n; ++i)
        dst[i] = src[i];
}

inline void fillSpan(QRgb* row, long from, long to, long left, long right, QRgb colour)
{
    from = std::max(from, left);
    to = std::min(to, right);
    if (from <= to)
        std::fill(row + from, row + to + 1, colour);
}

// A half-plane a x + b + c y >= 0 as a limit on each row: a lower (kind 1)
// or upper (-1) limit m y + n on x, or, where its edge runs along the rows,
// a limit on the row itself (2: y >= n, -2: y <= n), none at all (0) or no
// row at all (3).  Worked out once per figure, so that a row takes only a
// multiplication and an addition.
void toBound(double a, double b, double c, double bound[3])
{
    constexpr double kFlat = 1e-9;
    if (a > kFlat || a < -kFlat) {
        bound[0] = -c / a;
        bound[1] = -b / a;
        bound[2] = a > 0 ? 1 : -1;
    } else if (c > kFlat || c < -kFlat) {
        bound[0] = 0;
        bound[1] = -b / c;
        bound[2] = c > 0 ? 2 : -2;
    } else {
        bound[0] = bound[1] = 0;
        bound[2] = b >= -kFlat ? 0 : 3;
    }
}

// Narrows [lo, hi] to what the bound leaves of row y (empty: lo > hi).
inline void applyBound(const double bound[3], double y, double& lo, double& hi)
{
    const double at = bound[0] * y + bound[1];
    switch (static_cast<int>(bound[2])) {
    case 1:
        lo = std::max(lo, at);
        break;
    case -1:
        hi = std::min(hi, at);
        break;
    case 2:
        if (y < bound[1])
            hi = -std::numeric_limits<double>::infinity();
        break;
    case -2:
        if (y > bound[1])
            hi = -std::numeric_limits<double>::infinity();
        break;
    case 3:
        hi = -std::numeric_limits<double>::infinity();
        break;
    default:
        break;
    }
}

} // namespace

SpanSurface::SpanSurface(int width, int height, DrawStyle style) : style_(style)
{
    resize(width, height);
}

void SpanSurface::setParallel(bool on)
{
    gParallel = on;
}

void SpanSurface::resize(int width, int height)
{
    dropFigures();
    image_ = QImage(); // the old picture goes before the new one is made
    image_ = newPicture(width, height);
    cls();
}

QImage& SpanSurface::image()
{
    render();
    return image_;
}

const QImage& SpanSurface::image() const
{
    render();
    return image_;
}

const QImage& SpanSurface::imageRows(long rows) const
{
    renderTop(rows);
    return image_;
}

QImage& SpanSurface::imageForOverwrite()
{
    dropFigures();
    return image_;
}

SpanSurface::Area SpanSurface::drawable() const
{
    Area a{0, 0, static_cast<long>(image_.width()) - 1, static_cast<long>(image_.height()) - 1};
    if (clipped_) {
        a.left = std::max(a.left, clip_.left);
        a.top = std::max(a.top, clip_.top);
        a.right = std::min(a.right, clip_.right);
        a.bottom = std::min(a.bottom, clip_.bottom);
    }
    return a;
}

void SpanSurface::setClipRect(double x1, double y1, double x2, double y2)
{
    clip_ = raster::pixelBox(x1, y1, x2, y2);
    clipped_ = true;
}

void SpanSurface::setDrawWidth(Long width)
{
    if (width < 1 || width > 32767)
        throw SurfaceError("invalid pen width");
    drawWidth_ = width;
}

void SpanSurface::setBackColor(num::Rgb colour)
{
    backColor_ = colour;
    cls();
}

void SpanSurface::cls()
{
    fill(backColor_);
    curX_ = curY_ = 0.0;
}

void SpanSurface::fill(num::Rgb colour)
{
    dropFigures();
    clearWaiting_ = !image_.isNull();
    clearColour_ = colour;
}

void SpanSurface::add(const Figure& f)
{
    if (f.top > f.bottom || f.left > f.right)
        return;
    if (doneRows_ > 0)
        render(); // what waits is drawn in full before anything is added
    figures_.push_back(f);
    if (figures_.size() >= kMaxWaiting || edgeSides_.size() >= kMaxEdgeSides)
        render();
}

void SpanSurface::addRect(long left, long top, long right, long bottom, num::Rgb colour)
{
    const Area area = drawable();
    Figure f;
    f.kind = Figure::Rect;
    f.colour = toQRgb(colour);
    f.left = std::max(left, area.left);
    f.top = std::max(top, area.top);
    f.right = std::min(right, area.right);
    f.bottom = std::min(bottom, area.bottom);
    add(f);
}

void SpanSurface::thinLine(long x1, long y1, long x2, long y2, num::Rgb colour)
{
    // One pixel wide, Bresenham, leaving out the last pixel as the window
    // system's lines do.  Drawn at once, over what waits.
    render();
    const QRgb value = toQRgb(colour);
    const long dx = std::labs(x2 - x1), dy = -std::labs(y2 - y1);
    const long sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
    long err = dx + dy;
    const Area a = drawable();
    while (!(x1 == x2 && y1 == y2)) {
        if (x1 >= a.left && x1 <= a.right && y1 >= a.top && y1 <= a.bottom)
            reinterpret_cast<QRgb*>(image_.scanLine(static_cast<int>(y1)))[x1] = value;
        const long e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x1 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y1 += sy;
        }
    }
}

void SpanSurface::line(double x1, double y1, double x2, double y2, num::Rgb colour)
{
    curX_ = x2;
    curY_ = y2;
    if (image_.isNull())
        return;
    double ax = x1, ay = y1, bx = x2, by = y2;
    if (drawWidth_ == 1) {
        if (raster::thinLineEnds(ax, ay, bx, by))
            thinLine(px(ax), px(ay), px(bx), px(by), colour);
        return;
    }
    const double margin = drawWidth_ + 2.0;
    if (!clipSegment(ax, ay, bx, by, -margin, -margin, image_.width() + margin,
                     image_.height() + margin))
        return;
    const Area area = drawable();
    raster::extendPastEdges(ax, ay, bx, by, drawWidth_, area.left, area.top, area.right,
                            area.bottom);
    // Slanted lines a pixel wider than the pen, as on the reference surface:
    // bands laid side by side a pen apart then leave no pixel between them.
    const double pen = ax == bx || ay == by ? drawWidth_ : drawWidth_ + 1.0;
    const double r = pen / 2.0;
    Figure f;
    f.kind = Figure::Capsule;
    f.colour = toQRgb(colour);
    const double length = std::hypot(bx - ax, by - ay);
    f.v[0] = ax;
    f.v[1] = ay;
    f.v[2] = bx;
    f.v[3] = by;
    f.v[4] = r;
    f.wedges = 0;
    if (length > 0) {
        // The band between the round ends: 0 <= t <= length along the
        // segment, |d| <= r across it.  Sorted into two lower and two upper
        // limits on x (half[0], half[1] and half[2], half[3]) and a range of
        // rows (v[5], v[6]) where the band's edges run along the rows, so
        // that a row takes no branch.
        const double ux = (bx - ax) / length, uy = (by - ay) / length;
        double bounds[4][3];
        toBound(ux, -uy * ay - ux * ax, uy, bounds[0]);
        toBound(-ux, length + uy * ay + ux * ax, -uy, bounds[1]);
        toBound(-uy, r - ux * ay + uy * ax, ux, bounds[2]);
        toBound(uy, r + ux * ay - uy * ax, -ux, bounds[3]);
        constexpr double kInf = std::numeric_limits<double>::infinity();
        double* lower[2] = {f.half[0], f.half[1]};
        double* upper[2] = {f.half[2], f.half[3]};
        for (int k = 0; k < 2; ++k) {
            lower[k][0] = upper[k][0] = 0;
            lower[k][1] = -kInf;
            upper[k][1] = kInf;
        }
        f.v[5] = -kInf;
        f.v[6] = kInf;
        int lowers = 0, uppers = 0;
        bool none = false;
        for (const double* b : bounds) {
            switch (static_cast<int>(b[2])) {
            case 1:
                std::copy(b, b + 2, lower[std::min(lowers++, 1)]);
                break;
            case -1:
                std::copy(b, b + 2, upper[std::min(uppers++, 1)]);
                break;
            case 2:
                f.v[5] = std::max(f.v[5], b[1]);
                break;
            case -2:
                f.v[6] = std::min(f.v[6], b[1]);
                break;
            case 3:
                none = true;
                break;
            default:
                break;
            }
        }
        f.wedges = none ? 0 : 1;
    }
    f.top = std::max(area.top, firstIn(std::min(ay, by) - r));
    f.bottom = std::min(area.bottom, lastIn(std::max(ay, by) + r));
    f.left = area.left;
    f.right = area.right;
    add(f);
}

void SpanSurface::lineTo(double x2, double y2, num::Rgb colour)
{
    line(curX_, curY_, x2, y2, colour);
}

void SpanSurface::fillBox(double x1, double y1, double x2, double y2, num::Rgb colour)
{
    const Area a = raster::pixelBox(x1, y1, x2, y2);
    addRect(a.left, a.top, a.right, a.bottom, colour);
    curX_ = x2;
    curY_ = y2;
}

void SpanSurface::box(double x1, double y1, double x2, double y2, num::Rgb colour)
{
    curX_ = x2;
    curY_ = y2;
    Area bands[4];
    const int n = raster::boxOutline(raster::pixelBox(x1, y1, x2, y2), drawWidth_,
                                     style_ == DrawStyle::Solid, bands);
    for (int i = 0; i < n; ++i)
        addRect(bands[i].left, bands[i].top, bands[i].right, bands[i].bottom, colour);
}

namespace
{

// A cubic Bézier curve: x and y of its four control points.
struct Cubic {
    double x[4], y[4];
    void at(double t, double& px, double& py) const
    {
        const double s = 1 - t, a = s * s * s, b = 3 * s * s * t, c = 3 * s * t * t, d = t * t * t;
        px = a * x[0] + b * x[1] + c * x[2] + d * x[3];
        py = a * y[0] + b * y[1] + c * y[2] + d * y[3];
    }
    // Halves at t = 1/2 (de Casteljau).
    void split(Cubic& first, Cubic& second) const
    {
        const double* const v[2] = {x, y};
        double* const f[2] = {first.x, first.y};
        double* const g[2] = {second.x, second.y};
        for (int k = 0; k < 2; ++k) {
            const double* p = v[k];
            const double p01 = (p[0] + p[1]) / 2, p12 = (p[1] + p[2]) / 2, p23 = (p[2] + p[3]) / 2;
            const double p012 = (p01 + p12) / 2, p123 = (p12 + p23) / 2, mid = (p012 + p123) / 2;
            f[k][0] = p[0], f[k][1] = p01, f[k][2] = p012, f[k][3] = mid;
            g[k][0] = mid, g[k][1] = p123, g[k][2] = p23, g[k][3] = p[3];
        }
    }
};

// The curve at `offset` from c as the reference's stroker makes it: each
// side of the control polygon moved along its normal (outwards for a
// positive offset on a counter-clockwise curve), the inner control points
// where the moved sides meet.
Cubic offsetCubic(const Cubic& c, double offset)
{
    Cubic o;
    double nx[3], ny[3];
    for (int i = 0; i < 3; ++i) {
        const double ex = c.x[i + 1] - c.x[i], ey = c.y[i + 1] - c.y[i];
        const double len = std::hypot(ex, ey);
        nx[i] = len > 0 ? ey / len : 0;
        ny[i] = len > 0 ? -ex / len : 0;
    }
    o.x[0] = c.x[0] + offset * nx[0];
    o.y[0] = c.y[0] + offset * ny[0];
    for (int i = 1; i < 3; ++i) {
        const double r = 1 + nx[i - 1] * nx[i] + ny[i - 1] * ny[i];
        const double k = r > 1e-12 ? offset / r : offset;
        o.x[i] = c.x[i] + k * (r > 1e-12 ? nx[i - 1] + nx[i] : nx[i - 1]);
        o.y[i] = c.y[i] + k * (r > 1e-12 ? ny[i - 1] + ny[i] : ny[i - 1]);
    }
    o.x[3] = c.x[3] + offset * nx[2];
    o.y[3] = c.y[3] + offset * ny[2];
    return o;
}

// Whether the moved curve keeps its distance from the original closely
// enough at a quarter, half and three quarters of the way; where it does
// not, the stroker halves the curve and moves each half.  As measured on the
// reference the limits are absolute, not relative to the pen: the squared
// distance may be off by half the offset (the distance by about a quarter
// of a pixel), the point slide along the curve by half a pixel (taken
// against the normal's length measured along the axes).  Thin pens thus
// keep the moved quadrant whole; from a pen of about ten pixels on, it is
// halved, and wider pens halve it again.  `slack` widens both limits.
bool offsetHolds(const Cubic& c, const Cubic& o, double offset, double slack)
{
    const double o2 = offset * offset, off = std::fabs(offset);
    for (const double t : {0.25, 0.5, 0.75}) {
        double x1, y1, x2, y2;
        c.at(t, x1, y1);
        o.at(t, x2, y2);
        const double d2 = (x1 - x2) * (x1 - x2) + (y1 - y2) * (y1 - y2);
        if (std::fabs(d2 - o2) > 0.5 * off * slack)
            return false;
        // The stroker's normal: the control polygon's sides weighted
        // (1 - t)², t (1 - t), t², turned a quarter (the derivative's
        // direction but for the middle side's weight).
        const double s = 1 - t, wa = s * s, wb = t * s, wc = t * t;
        const double nx = (c.y[1] - c.y[0]) * wa + (c.y[2] - c.y[1]) * wb + (c.y[3] - c.y[2]) * wc;
        const double ny =
            -((c.x[1] - c.x[0]) * wa + (c.x[2] - c.x[1]) * wb + (c.x[3] - c.x[2]) * wc);
        const double l = std::fabs(nx) + std::fabs(ny);
        if (l > 0 && std::fabs(nx * (y1 - y2) - ny * (x1 - x2)) / l > 0.5 * slack)
            return false;
    }
    return true;
}

// Adds the points of the polygon the reference's rasteriser puts in
// place of c (its first point left out): c halved until its inner control
// points lie close enough to the chord, by a measure along the axes (a
// quarter of a pixel, times the chord's length along the axes), at most
// nine times.
void flatten(const Cubic& c, std::vector<double>& points)
{
    constexpr double threshold = 0.25;
    Cubic stack[10];
    int levels[10];
    stack[0] = c;
    levels[0] = 9;
    int top = 0;
    while (top >= 0) {
        Cubic& b = stack[top];
        const double dx = b.x[3] - b.x[0], dy = b.y[3] - b.y[0];
        double l = std::fabs(dx) + std::fabs(dy), d;
        if (l > 1) {
            d = std::fabs(dx * (b.y[0] - b.y[1]) - dy * (b.x[0] - b.x[1])) +
                std::fabs(dx * (b.y[0] - b.y[2]) - dy * (b.x[0] - b.x[2]));
        } else {
            d = std::fabs(b.x[0] - b.x[1]) + std::fabs(b.y[0] - b.y[1]) +
                std::fabs(b.x[0] - b.x[2]) + std::fabs(b.y[0] - b.y[2]);
            l = 1;
        }
        if (d < threshold * l || levels[top] == 0) {
            points.push_back(b.x[3]);
            points.push_back(b.y[3]);
            --top;
        } else {
            const Cubic whole = b;
            whole.split(stack[top + 1], stack[top]);
            levels[top + 1] = --levels[top];
            ++top;
        }
    }
}

// The half-width of an edge on the row dy from its centre, given the side
// the edge's previous row took (at, an index into `sides`); updates it.
// From one row to the next the side mostly stays or moves on by one.  The
// first side starts at 0, and the last is followed by one that starts
// nowhere, so the search stays within the edge.
template <class Side> inline double edgeFrom(const Side* sides, int& at, double dy)
{
    const double y = std::fabs(dy);
    int k = at;
    while (sides[k + 1].y <= y)
        ++k;
    while (sides[k].y > y)
        --k;
    at = k;
    return std::max(0.0, sides[k].x + (y - sides[k].y) * sides[k].slope);
}

} // namespace

// The reference draws an ellipse as four cubic Bézier curves, one per
// quadrant (inner control points at 0.5522847498 of the radii), and a pen of
// width w along it as the curves its stroker puts at w / 2 on either side
// (offsetCubic, halved where offsetHolds says so), each filled as a polygon
// (flatten) with pixel centres taken as elsewhere.  Those edges are neither
// the ellipses with radii rx ± w / 2, ry ± w / 2 nor the true curves at
// that distance: around 45 degrees a thin band comes out up to a tenth of
// the pen narrower, on a flat ellipse the edges bulge away from those
// ellipses between the axes, and the polygon's sides cut up to about a
// tenth of a pixel inwards.  On pictures of bands a pixel or two apart,
// where most pixels lie on an edge, those tenths decided up to seven
// pixels in a hundred, so the span surface builds the same polygon for
// each edge.  An arc takes the same quadrants; the reference cuts an arc
// that starts or ends off an axis from them before moving the pieces,
// which moves those pieces by a hair (the semicircle's half turns start
// on an axis).
//
// An edge is symmetric about both axes: one quadrant's polygon is kept,
// from (rx + offset, 0) up to (0, ry + offset), as its sides, each with its
// slope, so that a row's half-width takes a multiplication once its side
// is known; rows drawn one after another find it from the row before
// (edgeFrom).  Returns the table's index, or -1 where the curve is no edge of the band:
// an inner curve that folds over itself, the pen being wider than the
// ellipse is curved at the ends of its long axis.
int SpanSurface::addEdge(double rx, double ry, double offset)
{
    const double a = rx + offset, top = ry + offset;
    const double small = std::min(rx, ry), large = std::max(rx, ry);
    if (a <= 0 || top <= 0 || -offset >= small * small / large)
        return -1;
    // Arcs laid one after another along a sweep (the semicircle) share
    // their radius and pen, and so their edges.
    for (std::size_t i = edges_.size(); i > 0 && i + 4 > edges_.size(); --i) {
        const EdgeTable& e = edges_[i - 1];
        if (e.rx == rx && e.ry == ry && e.offset == offset)
            return static_cast<int>(i - 1);
    }
    // The quadrant from (rx, 0) to (0, ry), y upwards, moved, and halved
    // until each piece holds.
    constexpr double kappa = 0.5522847498;
    const Cubic quadrant{{rx, rx, kappa * rx, 0}, {0, kappa * ry, ry, ry}};
    // The stroker makes at most fifteen pieces with at most ten on its
    // stack: where halving would go beyond, it starts again with limits half
    // as wide again, and after five such starts it takes what it has, the
    // waiting halves included as they are.
    constexpr int maxPieces = 15, maxStack = 10;
    Cubic pieces[maxPieces + maxStack];
    Cubic stack[maxStack + 1];
    int count = 0;
    double slack = 1;
    for (int start = 0;; ++start) {
        count = 0;
        int sp = 0;
        stack[0] = quadrant;
        bool again = false;
        while (sp >= 0) {
            if (sp + 1 == maxStack || count == maxPieces - (sp + 1)) {
                again = true;
                break;
            }
            const Cubic o = offsetCubic(stack[sp], offset);
            if (offsetHolds(stack[sp], o, offset, slack)) {
                pieces[count++] = o;
                --sp;
            } else {
                const Cubic whole = stack[sp];
                whole.split(stack[sp + 1], stack[sp]);
                ++sp;
            }
        }
        if (!again)
            break;
        if (start == 5) {
            for (; sp >= 0; --sp)
                pieces[count++] = offsetCubic(stack[sp], offset);
            break;
        }
        slack *= 1.5;
    }
    // The polygon the reference fills, from (rx + offset, 0) upwards, as
    // its sides.
    std::vector<double>& points = edgePoints_;
    points.assign({pieces[0].x[0], pieces[0].y[0]});
    for (int p = 0; p < count; ++p)
        flatten(pieces[p], points);
    EdgeTable table;
    table.rx = rx;
    table.ry = ry;
    table.offset = offset;
    table.steps = kEdgeSteps / top;
    table.first = static_cast<int>(edgeSides_.size());
    for (std::size_t i = 0; i + 3 < points.size(); i += 2) {
        const double x0 = points[i], y0 = points[i + 1], x1 = points[i + 2], y1 = points[i + 3];
        // A side along the row (none but at the very top) counts by its
        // outer end.
        edgeSides_.push_back(y1 > y0 ? EdgeSide{y0, x0, (x1 - x0) / (y1 - y0)}
                                     : EdgeSide{y0, std::max(x0, x1), 0.0});
    }
    table.count = static_cast<int>(edgeSides_.size()) - table.first;
    edgeSides_.push_back({std::numeric_limits<double>::infinity(), 0.0, 0.0});
    const EdgeSide* sides = edgeSides_.data() + table.first;
    // Each step of y starts at the last side starting at or below it.
    int k = 0;
    for (int i = 0; i < kEdgeSteps; ++i) {
        const double y = i / table.steps;
        while (k + 1 < table.count && sides[k + 1].y <= y)
            ++k;
        table.start[i] = static_cast<unsigned short>(k);
    }
    edges_.push_back(table);
    return static_cast<int>(edges_.size()) - 1;
}

void SpanSurface::outline(double x, double y, double rx, double ry, num::Rgb colour, bool isArc,
                          double start, double span)
{
    if (image_.isNull())
        return;
    // What waits is drawn in full before anything is added (as in add()),
    // here before the ring's edges join those of the waiting figures.
    if (doneRows_ > 0)
        render();
    // The same ring as on the reference surface: fractional centre and
    // radii, a pen one pixel wider than DrawWidth on the inner side, so that
    // a ring and the next smaller one overlap instead of leaving pinholes.
    const double cx = x, cy = y;
    rx = std::fabs(rx);
    ry = std::fabs(ry);
    const double w = drawWidth_ + 1.0;
    const double reach = std::max(rx, ry) + w;
    if (cx + reach < 0 || cy + reach < 0 || cx - reach > image_.width() ||
        cy - reach > image_.height() || reach > kFar)
        return;
    double prx = rx, pry = ry;
    if (style_ == DrawStyle::InsideSolid) {
        prx = rx + 0.5 - w / 2.0;
        pry = ry + 0.5 - w / 2.0;
    }
    const double outerX = prx + w / 2.0, outerY = pry + w / 2.0;
    // Thicker than the figure, or a hole of at most the centre pixel: the
    // figure is filled solid, its centre pixel included.
    const bool solid = std::min(prx, pry) <= 0.0 || std::max(prx, pry) - w / 2.0 < kSolidHole;
    const Area area = drawable();
    const QRgb value = toQRgb(colour);

    Figure ring;
    ring.kind = Figure::Ring;
    ring.colour = value;
    ring.v[0] = cx;
    ring.v[1] = cy;
    ring.top = std::max(area.top, firstIn(cy - outerY));
    ring.bottom = std::min(area.bottom, lastIn(cy + outerY));
    ring.left = area.left;
    ring.right = area.right;
    if (ring.top > ring.bottom || ring.left > ring.right)
        return;
    // The band between the outline's outer and inner edge, each taken as
    // an ellipse; without a hole where the pen closes it.
    ring.v[2] = outerX * outerX;
    ring.v[3] = ring.v[2] / (outerY * outerY);
    ring.v[4] = outerY;
    if (!solid && prx - w / 2.0 > 0 && pry - w / 2.0 > 0) {
        const double ix = prx - w / 2.0, iy = pry - w / 2.0;
        ring.v[5] = ix * ix;
        ring.v[6] = ring.v[5] / (iy * iy);
        ring.v[7] = iy;
    }
    // A stroked outline's edges are those the reference's stroker makes
    // (addEdge); a figure filled solid is the ellipse itself.
    if (!solid) {
        ring.outerEdge = addEdge(prx, pry, w / 2.0);
        if (ring.v[7] > 0)
            ring.innerEdge = addEdge(prx, pry, -w / 2.0);
    }
    if (isArc) {
        // The arc's own angles are held to a sixteenth of a degree, as the
        // reference draws them.
        const double a0 = std::round(start * 16) / 16 * kPi / 180;
        const double sweep = std::round(span * 16) / 16 * kPi / 180;
        if (sweep < 2 * kPi) {
            // A sweep beyond half a turn is two wedges, each convex.
            ring.wedges = sweep > kPi ? 2 : 1;
            const double piece = sweep / ring.wedges;
            for (int k = 0; k < ring.wedges; ++k) {
                const double from = a0 + k * piece, to = from + piece;
                // Counter-clockwise of the ray at `from`, clockwise of the
                // one at `to` (y grows downwards on the picture).
                toBound(-std::sin(from), std::cos(from) * cy + std::sin(from) * cx, -std::cos(from),
                        ring.half[2 * k]);
                toBound(std::sin(to), -cx * std::sin(to) - cy * std::cos(to), std::cos(to),
                        ring.half[2 * k + 1]);
            }
        }
    }
    add(ring);
    if (isArc) {
        // A thick arc ends flat; each end is carried on along the tangent,
        // away from the arc, by one pen width, so that arcs laid one after
        // another along a sweep meet (as on the reference surface).
        const double inner = solid ? 0.0 : prx - w / 2.0;
        for (const double degrees : {start, start + span}) {
            const double a = degrees * kPi / 180.0;
            const double ux = std::cos(a), uy = -std::sin(a);
            const double sign = degrees == start ? 1.0 : -1.0;
            const double dx = sign * std::sin(a) * w, dy = sign * std::cos(a) * w;
            Figure q;
            q.kind = Figure::Quad;
            q.colour = value;
            const double in[2] = {cx + inner * ux, cy + inner * uy};
            const double out[2] = {cx + outerX * ux, cy + outerX * uy};
            const double corners[8] = {in[0],       in[1],       out[0],     out[1],
                                       out[0] + dx, out[1] + dy, in[0] + dx, in[1] + dy};
            std::copy(corners, corners + 8, q.v);
            double lo = corners[1], hi = corners[1];
            for (int i = 3; i < 8; i += 2) {
                lo = std::min(lo, corners[i]);
                hi = std::max(hi, corners[i]);
            }
            q.top = std::max(area.top, firstIn(lo));
            q.bottom = std::min(area.bottom, lastIn(hi));
            q.left = area.left;
            q.right = area.right;
            add(q);
        }
    }
    if (solid) {
        const long px0 = px(cx), py0 = px(cy);
        addRect(px0, py0, px0, py0, colour);
    }
}

void SpanSurface::circle(double x, double y, double r, num::Rgb colour)
{
    outline(x, y, r, r, colour, false, 0, 0);
}

void SpanSurface::ellipse(double x, double y, double r, num::Rgb colour, double aspect)
{
    double rx = 0, ry = 0;
    raster::ellipseRadii(r, aspect, rx, ry);
    outline(x, y, rx, ry, colour, false, 0, 0);
}

void SpanSurface::arc(double x, double y, double r, num::Rgb colour, double start, double end)
{
    double from = 0, sweep = 0;
    raster::arcDegrees(start, end, from, sweep);
    outline(x, y, r, r, colour, true, from, sweep);
}

void SpanSurface::renderTop(long rows) const
{
    if (image_.isNull()) {
        dropFigures();
        return;
    }
    if (!clearWaiting_ && figures_.empty())
        return;
    long first = 0, last = image_.height() - 1;
    if (!clearWaiting_) {
        first = last;
        last = 0;
        for (const Figure& f : figures_) {
            first = std::min(first, f.top);
            last = std::max(last, f.bottom);
        }
    }
    first = std::max(first, doneRows_);
    last = std::min(last, rows - 1);
    if (first <= last) {
        uchar* bits = image_.bits(); // a shared picture is copied here, once
        // Only part of the picture is wanted when its first rows are about
        // to be read (imageRows): those are kept in the cache.
        const bool whole = rows >= image_.height();
        const long pixels = (last - first + 1) * static_cast<long>(image_.width());
        bool done = false;
        if (gParallel && pixels >= kParallelPixels && std::thread::hardware_concurrency() > 1) {
            // The rows are independent once the figures are known: the
            // lower half is drawn on a second thread.
            const long middle = first + (last - first) / 2;
            try {
                std::thread lower([&] { renderRows(bits, middle + 1, last, whole); });
                renderRows(bits, first, middle, whole);
                lower.join();
                done = true;
            } catch (const std::system_error&) {
                // No thread to be had: the rows are drawn here alone.
            }
        }
        if (!done)
            renderRows(bits, first, last, whole);
    }
    if (rows >= image_.height())
        dropFigures();
    else
        doneRows_ = std::max(doneRows_, rows);
}

void SpanSurface::renderRows(uchar* bits, long first, long last, bool bypassCache) const
{
    const qsizetype perLine = image_.bytesPerLine();
    const long width = image_.width();
    const QRgb clear = toQRgb(clearColour_);
    // The round patterns and the diamonds start with a box over the whole
    // picture; on its rows the clear would only be written over.
    const Figure* cover = nullptr;
    if (!figures_.empty() && figures_.front().kind == Figure::Rect && figures_.front().left == 0 &&
        figures_.front().right == width - 1)
        cover = &figures_.front();
    // A large picture's rows are drawn in a buffer of one row, which stays
    // in the cache, and each finished row goes to the picture once, past
    // the cache: the picture's memory is then written, never read.
    const bool buffered = bypassCache && width * (last - first + 1) >= kParallelPixels;
    std::vector<QRgb> buffer(buffered ? static_cast<std::size_t>(width) : 0);
    // The side of each ring's outer and inner edge its last row took (an
    // index into edgeSides_), -1 before its first row.
    std::vector<int> sideAt(2 * figures_.size(), -1);
    const EdgeSide* const sides = edgeSides_.data();
    auto edge = [&](int table, int& at, double dy) {
        if (at < 0) {
            const EdgeTable& e = edges_[table];
            const int step = std::min(static_cast<int>(std::fabs(dy) * e.steps), kEdgeSteps - 1);
            at = e.first + e.start[step];
        }
        return edgeFrom(sides, at, dy);
    };
    for (long y = first; y <= last; ++y) {
        QRgb* const picture = reinterpret_cast<QRgb*>(bits + y * perLine);
        QRgb* const row = buffered ? buffer.data() : picture;
        if (clearWaiting_) {
            if (!(cover != nullptr && y >= cover->top && y <= cover->bottom))
                std::fill(row, row + width, clear);
        } else if (buffered) {
            std::copy(picture, picture + width, row);
        }
        const double fy = y + kNudge;
        for (const Figure& f : figures_) {
            if (y < f.top || y > f.bottom)
                continue;
            switch (f.kind) {
            case Figure::Rect:
                std::fill(row + f.left, row + f.right + 1, f.colour);
                break;
            case Figure::Capsule: {
                // The points within the pen's half-width of the segment: the
                // band along it, and a round end where the row meets one.
                const double r = f.v[4];
                double lo = std::numeric_limits<double>::infinity(), hi = -lo;
                for (int end = 0; end < 2; ++end) {
                    const double dy = fy - f.v[2 * end + 1];
                    if (dy <= r && dy >= -r) {
                        const double h = std::sqrt(r * r - dy * dy);
                        lo = std::min(lo, f.v[2 * end] - h);
                        hi = std::max(hi, f.v[2 * end] + h);
                    }
                }
                if (f.wedges && fy >= f.v[5] && fy <= f.v[6]) {
                    const double mlo = std::max(f.half[0][0] * fy + f.half[0][1],
                                                f.half[1][0] * fy + f.half[1][1]);
                    const double mhi = std::min(f.half[2][0] * fy + f.half[2][1],
                                                f.half[3][0] * fy + f.half[3][1]);
                    if (mlo <= mhi) {
                        lo = std::min(lo, mlo);
                        hi = std::max(hi, mhi);
                    }
                }
                if (lo <= hi)
                    fillSpan(row, firstIn(lo), lastIn(hi), f.left, f.right, f.colour);
                break;
            }
            case Figure::Ring: {
                const double dy = fy - f.v[1];
                if (dy > f.v[4] || dy < -f.v[4])
                    break;
                const double cx = f.v[0];
                double outer, inner = 0;
                int* const at = &sideAt[2 * static_cast<std::size_t>(&f - figures_.data())];
                if (f.outerEdge >= 0) {
                    outer = edge(f.outerEdge, at[0], dy);
                } else {
                    outer = std::sqrt(std::max(0.0, f.v[2] - dy * dy * f.v[3]));
                }
                double lo[2] = {cx - outer, 1}, hi[2] = {cx + outer, 0};
                if (dy < f.v[7] && dy > -f.v[7]) {
                    if (f.innerEdge >= 0) {
                        inner = edge(f.innerEdge, at[1], dy);
                    } else {
                        inner = std::sqrt(std::max(0.0, f.v[5] - dy * dy * f.v[6]));
                    }
                    hi[0] = cx - inner;
                    lo[1] = cx + inner;
                    hi[1] = cx + outer;
                }
                const struct {
                    const double* lo;
                    const double* hi;
                } runs{lo, hi};
                if (f.wedges == 0) {
                    for (int k = 0; k < 2; ++k)
                        if (runs.lo[k] <= runs.hi[k])
                            fillSpan(row, firstIn(runs.lo[k]), lastIn(runs.hi[k]), f.left, f.right,
                                     f.colour);
                    break;
                }
                for (int w = 0; w < f.wedges; ++w) {
                    double lo = -std::numeric_limits<double>::infinity(), hi = -lo;
                    applyBound(f.half[2 * w], fy, lo, hi);
                    applyBound(f.half[2 * w + 1], fy, lo, hi);
                    for (int k = 0; k < 2; ++k) {
                        const double a = std::max(runs.lo[k], lo), b = std::min(runs.hi[k], hi);
                        if (a <= b)
                            fillSpan(row, firstIn(a), lastIn(b), f.left, f.right, f.colour);
                    }
                }
                break;
            }
            case Figure::Quad: {
                double lo = std::numeric_limits<double>::infinity(), hi = -lo;
                for (int i = 0; i < 4; ++i) {
                    const double x1 = f.v[2 * i], y1 = f.v[2 * i + 1];
                    const double x2 = f.v[(2 * i + 2) % 8], y2 = f.v[(2 * i + 3) % 8];
                    if ((fy < y1 && fy < y2) || (fy > y1 && fy > y2))
                        continue;
                    if (y1 == y2) {
                        lo = std::min({lo, x1, x2});
                        hi = std::max({hi, x1, x2});
                    } else {
                        const double x = x1 + (fy - y1) * (x2 - x1) / (y2 - y1);
                        lo = std::min(lo, x);
                        hi = std::max(hi, x);
                    }
                }
                if (lo <= hi)
                    fillSpan(row, firstIn(lo), lastIn(hi), f.left, f.right, f.colour);
                break;
            }
            }
        }
        if (buffered)
            writeThrough(picture, row, width);
    }
#if defined(__SSE2__)
    if (buffered)
        _mm_sfence(); // the rows are in memory before the picture is read
#endif
}

} // namespace ombrix
