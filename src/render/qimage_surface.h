// SPDX-License-Identifier: GPL-3.0-or-later
// The production drawing surface: a QImage painted with QPainter, with
// antialiasing off, so that every band is one solid colour.
#pragma once

#include "render/raster_geometry.h"
#include "render/surface.h"

#include <QImage>

namespace ombrix
{

class QImageSurface final : public Surface
{
public:
    explicit QImageSurface(int width = 0, int height = 0, DrawStyle style = DrawStyle::InsideSolid);

    // A new picture of that size, cleared to the background colour.
    void resize(int width, int height);

    QImage& image() { return image_; }
    const QImage& image() const { return image_; }
    void setDrawStyle(DrawStyle style) override { style_ = style; }
    DrawStyle drawStyle() const override { return style_; }
    int width() const { return image_.width(); }
    int height() const { return image_.height(); }

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

    double scaleLeft() const override { return 0.0; }
    double scaleTop() const override { return 0.0; }
    double scaleWidth() const override { return image_.width(); }
    double scaleHeight() const override { return image_.height(); }

private:
    void thinLine(long x1, long y1, long x2, long y2, num::Rgb colour);
    // The pixel rectangle that figures may touch: the picture, within the clip.
    QRect drawable() const;
    void beginPainter(class QPainter& p) const;
    void extendPastEdges(double& ax, double& ay, double& bx, double& by) const;
    void fillRect(long left, long top, long right, long bottom, num::Rgb colour);
    void outline(double x, double y, double rx, double ry, num::Rgb colour, bool isArc,
                 double start, double sweep);
    void carryArcEnds(class QPainter& p, double cx, double cy, const raster::RingBand& band,
                      double start, double sweep);

    QImage image_;
    DrawStyle style_;
    Long drawWidth_ = 1;
    num::Rgb backColor_ = 0;
    double curX_ = 0.0;
    double curY_ = 0.0;
    bool clipped_ = false;
    QRect clip_;
};

// The packed colour as the QImage's pixel value.
inline QRgb toQRgb(num::Rgb c)
{
    return qRgb(num::redOf(c), num::greenOf(c), num::blueOf(c));
}
inline num::Rgb fromQRgb(QRgb c)
{
    return num::rgb(qRed(c), qGreen(c), qBlue(c));
}

} // namespace ombrix
