// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/span_rows.h"

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

namespace ombrix::span
{

namespace
{

// Rows are shared between two threads only from this many pixels on; below
// it starting a thread costs more than it saves.  Rows are written past the
// cache from the same size on.
constexpr long kParallelPixels = 1L << 20;

std::atomic<bool> gParallel{true};

constexpr double kInf = std::numeric_limits<double>::infinity();

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

// Fills the pixels whose nudged centres lie within lo..hi, within the
// figure's columns.
inline void fillSpan(QRgb* row, double lo, double hi, const Figure& f)
{
    const long from = std::max(firstIn(lo), f.left);
    const long to = std::min(lastIn(hi), f.right);
    if (from <= to)
        std::fill(row + from, row + to + 1, f.colour);
}

// The points of row fy within the pen's half-width of the segment: the
// band along it, and a round end where the row meets one.
inline void capsuleRow(QRgb* row, double fy, const Figure& f, const Capsule& c)
{
    const double r = c.radius;
    double lo = kInf, hi = -kInf;
    auto cap = [&](double x, double y) {
        const double dy = fy - y;
        if (dy <= r && dy >= -r) {
            const double h = std::sqrt(r * r - dy * dy);
            lo = std::min(lo, x - h);
            hi = std::max(hi, x + h);
        }
    };
    cap(c.x1, c.y1);
    cap(c.x2, c.y2);
    if (fy >= c.bandTop && fy <= c.bandBottom) {
        const double mlo = std::max(c.lower[0].at(fy), c.lower[1].at(fy));
        const double mhi = std::min(c.upper[0].at(fy), c.upper[1].at(fy));
        if (mlo <= mhi) {
            lo = std::min(lo, mlo);
            hi = std::max(hi, mhi);
        }
    }
    if (lo <= hi)
        fillSpan(row, lo, hi, f);
}

// The ring's band on row fy: left and right of the hole, or across the
// row where the row passes above or below the hole; within the wedges of
// an arc.  `at` holds the sides its outer and inner edge took the row
// before (RingEdges::halfWidth).
inline void ringRow(QRgb* row, double fy, const Figure& f, const Ring& ring, const Waiting& waiting,
                    int at[2])
{
    const double dy = fy - ring.cy;
    if (dy > ring.outer.ry || dy < -ring.outer.ry)
        return;
    const double cx = ring.cx;
    const RingEdges& edges = waiting.edges;
    const double outer =
        ring.outer.table >= 0
            ? edges.halfWidth(ring.outer.table, at[0], dy)
            : std::sqrt(std::max(0.0, ring.outer.rx2 - dy * dy * ring.outer.ratio));
    double lo[2] = {cx - outer, 1}, hi[2] = {cx + outer, 0};
    if (dy < ring.inner.ry && dy > -ring.inner.ry) {
        const double inner =
            ring.inner.table >= 0
                ? edges.halfWidth(ring.inner.table, at[1], dy)
                : std::sqrt(std::max(0.0, ring.inner.rx2 - dy * dy * ring.inner.ratio));
        hi[0] = cx - inner;
        lo[1] = cx + inner;
        hi[1] = cx + outer;
    }
    if (ring.wedges == 0) {
        for (int k = 0; k < 2; ++k)
            if (lo[k] <= hi[k])
                fillSpan(row, lo[k], hi[k], f);
        return;
    }
    for (int w = 0; w < ring.wedges; ++w) {
        const Wedge& wedge = waiting.wedges[static_cast<std::size_t>(ring.firstWedge + w)];
        double wlo = -kInf, whi = kInf;
        wedge.from.apply(fy, wlo, whi);
        wedge.to.apply(fy, wlo, whi);
        for (int k = 0; k < 2; ++k) {
            const double a = std::max(lo[k], wlo), b = std::min(hi[k], whi);
            if (a <= b)
                fillSpan(row, a, b, f);
        }
    }
}

// Where row fy crosses the quadrilateral's sides.
inline void quadRow(QRgb* row, double fy, const Figure& f, const Quad& q)
{
    double lo = kInf, hi = -kInf;
    for (int i = 0; i < 4; ++i) {
        const double x1 = q.x[i], y1 = q.y[i];
        const double x2 = q.x[(i + 1) % 4], y2 = q.y[(i + 1) % 4];
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
        fillSpan(row, lo, hi, f);
}

void drawRowRange(uchar* bits, qsizetype perLine, long width, const Waiting& waiting, long first,
                  long last, bool bypassCache)
{
    const std::vector<Figure>& figures = waiting.figures;
    // The round patterns and the diamonds start with a box over the whole
    // picture; on its rows the clear would only be written over.
    const Figure* cover = nullptr;
    if (!figures.empty() && std::holds_alternative<Block>(figures.front().shape) &&
        figures.front().left == 0 && figures.front().right == width - 1)
        cover = &figures.front();
    // A large picture's rows are drawn in a buffer of one row, which stays
    // in the cache, and each finished row goes to the picture once, past
    // the cache: the picture's memory is then written, never read.
    const bool buffered = bypassCache && width * (last - first + 1) >= kParallelPixels;
    std::vector<QRgb> buffer(buffered ? static_cast<std::size_t>(width) : 0);
    // The side of each ring's outer and inner edge its last row took, -1
    // before its first row.
    std::vector<int> sideAt(2 * figures.size(), -1);
    for (long y = first; y <= last; ++y) {
        QRgb* const picture = reinterpret_cast<QRgb*>(bits + y * perLine);
        QRgb* const row = buffered ? buffer.data() : picture;
        if (waiting.clear) {
            if (!(cover != nullptr && y >= cover->top && y <= cover->bottom))
                std::fill(row, row + width, waiting.clearColour);
        } else if (buffered) {
            std::copy(picture, picture + width, row);
        }
        const double fy = y + kNudge;
        for (std::size_t i = 0; i < figures.size(); ++i) {
            const Figure& f = figures[i];
            if (y < f.top || y > f.bottom)
                continue;
            // A switch on the kind, so that the kinds are one jump away.
            switch (f.shape.index()) {
            case 1:
                capsuleRow(row, fy, f, *std::get_if<Capsule>(&f.shape));
                break;
            case 2:
                ringRow(row, fy, f, *std::get_if<Ring>(&f.shape), waiting, &sideAt[2 * i]);
                break;
            case 3:
                quadRow(row, fy, f, *std::get_if<Quad>(&f.shape));
                break;
            default:
                std::fill(row + f.left, row + f.right + 1, f.colour);
                break;
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

} // namespace

void setParallel(bool on)
{
    gParallel = on;
}

void drawRows(QImage& picture, const Waiting& waiting, long first, long last, bool wholePicture)
{
    uchar* bits = picture.bits(); // a shared picture is copied here, once
    const qsizetype perLine = picture.bytesPerLine();
    const long width = picture.width();
    const long pixels = (last - first + 1) * width;
    if (gParallel && pixels >= kParallelPixels && std::thread::hardware_concurrency() > 1) {
        // The rows are independent once the figures are known: the lower
        // half is drawn on a second thread.
        const long middle = first + (last - first) / 2;
        try {
            std::thread lower([&] {
                drawRowRange(bits, perLine, width, waiting, middle + 1, last, wholePicture);
            });
            drawRowRange(bits, perLine, width, waiting, first, middle, wholePicture);
            lower.join();
            return;
        } catch (const std::system_error&) {
            // No thread to be had: the rows are drawn here alone.
        }
    }
    drawRowRange(bits, perLine, width, waiting, first, last, wholePicture);
}

} // namespace ombrix::span
