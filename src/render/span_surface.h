// The drawing surface the program draws on: every figure is turned into
// spans, one run of pixels per row, and the figures are drawn row by row.
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
    // One figure waiting to be drawn, already limited to the rows and
    // columns it may touch (the picture within the clip of its time).
    struct Figure {
        enum Kind : unsigned char {
            Rect,    // the whole of rows top..bottom, columns left..right
            Capsule, // a thick line: v = x1, y1, x2, y2, half the pen; when
                     // `wedges` is 1, the band between its ends in half[]
                     // and v[5], v[6] (span_surface.cpp, line())
            Ring,    // v = cx, cy, then for the outer and the inner edge rx²,
                     // rx² / ry², ry (inner ry 0: no hole); within `wedges`
                     // wedges when it is an arc; an edge with a table in
                     // edges_ (outerEdge, innerEdge) takes its width from it
            Quad,    // a convex quadrilateral: v = four corners x, y
        };
        Kind kind = Rect;
        int wedges = 0;
        QRgb colour = 0;
        long top = 0, bottom = -1, left = 0, right = -1;
        double v[8] = {};
        // Half-planes as limits on each row (span_surface.cpp, toBound);
        // wedge k is the pair 2k, 2k + 1.
        double half[4][3] = {};
        int outerEdge = -1, innerEdge = -1;
    };
    // One edge of a stroked outline, in the quadrant where x and y grow: a
    // polygon from (x, 0) to (0, top), its sides in edgeSides_ from `first`
    // on (`count` of them, y growing, then one that starts nowhere), with
    // the side at which each of kEdgeSteps even steps of y starts, where a
    // row's search for its side begins when the row before had none
    // (span_surface.cpp, addEdge and renderRows).
    static constexpr int kEdgeSteps = 32;
    struct EdgeSide {
        double y, x, slope; // where it starts; dx / dy along it
    };
    struct EdgeTable {
        double rx = 0, ry = 0, offset = 0; // the edge's ellipse and distance
        double steps = 0;                  // kEdgeSteps / top
        int first = 0, count = 0;          // its sides in edgeSides_
        unsigned short start[kEdgeSteps] = {};
    };
    int addEdge(double rx, double ry, double offset);
    Area drawable() const;
    void add(const Figure& f);
    void addRect(long left, long top, long right, long bottom, num::Rgb colour);
    void thinLine(long x1, long y1, long x2, long y2, num::Rgb colour);
    void extendPastEdges(double& ax, double& ay, double& bx, double& by) const;
    void outline(double x, double y, double rx, double ry, num::Rgb colour, bool isArc,
                 double start, double span);
    void dropFigures() const
    {
        figures_.clear();
        edges_.clear();
        edgeSides_.clear();
        clearWaiting_ = false;
        doneRows_ = 0;
    }
    // Draws the waiting clear and figures into the picture.
    void render() const { renderTop(image_.height()); }
    void renderTop(long rows) const;
    void renderRows(uchar* bits, long first, long last, bool bypassCache) const;

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
    mutable std::vector<Figure> figures_;
    mutable std::vector<EdgeTable> edges_;
    mutable std::vector<EdgeSide> edgeSides_;
    std::vector<double> edgePoints_; // addEdge's own, kept for its memory
    // The rows above this one already show what waits (imageRows).
    mutable long doneRows_ = 0;
};

} // namespace ombrix
