// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing the span surface's waiting figures into the picture, row by row:
// each row takes every figure that touches it, in the order they were
// drawn, and is written once while it sits in the cache.
#pragma once

#include "render/ring_edges.h"
#include "render/span_figures.h"

#include <QImage>

#include <vector>

namespace ombrix::span
{

// What waits to be drawn: a clear (when `clear` is set) and the figures.
struct Waiting {
    const std::vector<Figure>& figures;
    const RingEdges& edges;
    const std::vector<Wedge>& wedges;
    bool clear = false;
    QRgb clearColour = 0;
};

// Draws rows first..last of the picture (RGB32; a shared picture is copied
// here, once).  `wholePicture` says the rows go on being drawn to the end,
// rather than only the first ones about to be read: a large picture's rows
// are then written past the cache, and shared between two threads.
void drawRows(QImage& picture, const Waiting& waiting, long first, long last, bool wholePicture);

// Whether a large picture's rows are shared between two threads (on by
// default; the benchmarks compare both).
void setParallel(bool on);

} // namespace ombrix::span
