// SPDX-License-Identifier: GPL-3.0-or-later
// The drawing surface the program draws on: every figure is turned into
// spans, one run of pixels per row, and the figures are drawn row by row.
// This file and span_surface.cpp turn the calls into figures
// (span_figures.h); ring_edges.* builds the edges of stroked outlines,
// span_rows.* draws the rows, picture_memory.* holds a large picture.
//
// The figures (thick lines, box outlines and filled boxes, circle and
// ellipse outlines, arcs) are collected as they come and drawn together,
// each row of the picture taking every figure that touches it in the order
// they were drawn, so that later figures still cover earlier ones and each
// row is written once while it sits in the cache.  A clear waits in the same
// way and costs nothing when the figures then cover the row.  Reading the
// picture (image()) or finish() draws whatever is waiting.
//
// The geometry is that of QImageSurface, the QPainter reference, figure for
// figure: integer coordinates are pixel centres, a pixel belongs to a figure
// when its centre lies inside the figure's outline.  A stroked circle or
// ellipse takes the polygon the reference fills in its place, so that
// only pixels within a hair of an edge may come out differently.
#pragma once

#include "render/raster_geometry.h"
#include "render/ring_edges.h"
#include "render/span_figures.h"
#include "render/surface.h"

#include <QImage>

#include <vector>

namespace ombrix
{

class SpanSurface final : public Surface
{
public:
    explicit SpanSurface(int width = 0, int height = 0, DrawStyle style = DrawStyle::InsideSolid);

    // A new picture of that size, cleared to the background colour (the
    // clear itself waits for the first drawing or reading).
    void resize(int width, int height);

    // The picture with every figure drawn so far.
    QImage& image();
    const QImage& image() const;
    // The picture with every figure drawn so far in its first `rows` rows,
    // for a caller that reads no further; the rest waits.
    const QImage& imageRows(long rows) const;
    // The picture for a caller that is about to write every one of its
    // pixels: a waiting clear or figure is dropped instead of drawn.
    QImage& imageForOverwrite();
    int width() const { return image_.width(); }
    int height() const { return image_.height(); }

    // Clears the picture to `colour` without making it the background
    // colour; like a clear it waits until it is needed.
    void fill(num::Rgb colour);
    // Makes `colour` the background colour without clearing the picture.
    void keepBackColor(num::Rgb colour) { backColor_ = colour; }

    void setDrawStyle(DrawStyle style) override { style_ = style; }
    DrawStyle drawStyle() const override { return style_; }

    void line(double x1, double y1, double x2, double y2, num::Rgb colour) override;
    void lineTo(double x2, double y2, num::Rgb colour) override;
    void box(double x1, double y1, double x2, double y2, num::Rgb colour) override;
    void fillBox(double x1, double y1, double x2, double y2, num::Rgb colour) override;
    void circle(double x, double y, double r, num::Rgb colour) override;
    void arc(double x, double y, double r, num::Rgb colour, double start, double end) override;
    void ellipse(double x, double y, double r, num::Rgb colour, double aspect) override;

    void setClipRect(double x1, double y1, double x2, double y2) override;
    void clearClip() override { clipped_ = false; }

    void setDrawWidth(Long width) override;
    Long drawWidth() const override { return drawWidth_; }
    void setBackColor(num::Rgb colour) override;
    num::Rgb backColor() const override { return backColor_; }
    void cls() override;
    void finish() override { render(); }

    double scaleLeft() const override { return 0.0; }
    double scaleTop() const override { return 0.0; }
    double scaleWidth() const override { return image_.width(); }
    double scaleHeight() const override { return image_.height(); }

    // Whether a large picture's rows are shared between two threads (on by
    // default; the benchmarks compare both).
    static void setParallel(bool on);

private:
    // Inclusive; empty when left > right.
    using Area = raster::PixelRect;
    Area drawable() const;
    void add(const span::Figure& f);
    void addRect(long left, long top, long right, long bottom, num::Rgb colour);
    void thinLine(long x1, long y1, long x2, long y2, num::Rgb colour);
    void outline(double x, double y, double rx, double ry, num::Rgb colour, bool isArc,
                 double start, double sweep);
    void arcWedges(span::Ring& ring, double start, double sweep);
    void dropFigures() const
    {
        figures_.clear();
        edges_.clear();
        wedges_.clear();
        clearWaiting_ = false;
        doneRows_ = 0;
    }
    // Draws the waiting clear and figures into the picture.
    void render() const { renderTop(image_.height()); }
    void renderTop(long rows) const;

    mutable QImage image_;
    DrawStyle style_;
    Long drawWidth_ = 1;
    num::Rgb backColor_ = 0;
    double curX_ = 0.0;
    double curY_ = 0.0;
    bool clipped_ = false;
    Area clip_{0, 0, -1, -1};
    mutable bool clearWaiting_ = false;
    mutable num::Rgb clearColour_ = 0;
    mutable std::vector<span::Figure> figures_;
    mutable span::RingEdges edges_;           // the edges of the waiting rings
    mutable std::vector<span::Wedge> wedges_; // the wedges of the waiting arcs
    // The rows above this one already show what waits (imageRows).
    mutable long doneRows_ = 0;
};

} // namespace ombrix
