// SPDX-License-Identifier: GPL-3.0-or-later
// The drawing surface that every renderer and driver draws on.
//
// A surface is a persistent picture measured in pixels with a pen width, a
// background colour and a current point.  Renderers see only this interface;
// the QImage implementation is the one adapter at the Qt boundary.
#pragma once

#include "model/numeric.h"

namespace ombrix
{

// How a thick outline of a closed figure (box, circle, ellipse, arc) lies on
// its path.  Lines are always centred on their path.
enum class DrawStyle {
    Solid,       // centred on the path (the preview, the text sample)
    InsideSolid, // inside the box or radius (the image window's pictures)
};

// A surface call that cannot be carried out (an invalid pen width, say).
class SurfaceError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class Surface
{
public:
    virtual ~Surface() = default;

    // A straight line in the current pen width; (x2, y2) becomes the current
    // point.  A one-pixel line leaves out its last pixel.
    virtual void line(double x1, double y1, double x2, double y2, num::Rgb colour) = 0;
    // A line from the current point to (x2, y2).
    virtual void lineTo(double x2, double y2, num::Rgb colour) = 0;
    // The outline of the axis-parallel box whose corner pixels are the two
    // points (both included), in the pen width.
    virtual void box(double x1, double y1, double x2, double y2, num::Rgb colour) = 0;
    // The box with those corners filled solid.
    virtual void fillBox(double x1, double y1, double x2, double y2, num::Rgb colour) = 0;
    // The outline of a circle of radius r around (x, y).
    virtual void circle(double x, double y, double r, num::Rgb colour) = 0;
    // The arc from start to end (radians, counter-clockwise as seen on the
    // screen from the positive x direction, so pi/2 points up).
    virtual void arc(double x, double y, double r, num::Rgb colour, double start, double end) = 0;
    // The outline of an ellipse; aspect = height / width.  Below 1 the radius
    // is the horizontal semi-axis, otherwise the vertical one.
    virtual void ellipse(double x, double y, double r, num::Rgb colour, double aspect) = 0;

    // Limits the following figures to the pixels from (x1, y1) to (x2, y2),
    // both included; clearClip() lifts the limit.  The surface's own edges
    // always clip.
    virtual void setClipRect(double x1, double y1, double x2, double y2) = 0;
    virtual void clearClip() = 0;

    // How the following thick outlines lie on their path.
    virtual void setDrawStyle(DrawStyle style) = 0;
    virtual DrawStyle drawStyle() const = 0;
    // Pen width in pixels for the following figures; at least 1.
    virtual void setDrawWidth(Long width) = 0;
    virtual Long drawWidth() const = 0;
    // Writing the background colour clears the whole surface to it.
    virtual void setBackColor(num::Rgb colour) = 0;
    virtual num::Rgb backColor() const = 0;
    // Clears to the background colour and resets the current point.
    virtual void cls() = 0;
    // Completes on the picture every figure drawn so far.  A surface may
    // hold figures back to draw them together; this is called when a
    // drawing ends, before anyone looks at the picture.
    virtual void finish() {}

    // The drawing rectangle in the surface's own units (pixels).
    virtual double scaleLeft() const = 0;
    virtual double scaleTop() const = 0;
    virtual double scaleWidth() const = 0;
    virtual double scaleHeight() const = 0;
};

// Lifts a surface's clip when a drawing ends, also when it ends early.
class ClipGuard
{
public:
    ClipGuard(Surface& s, double x1, double y1, double x2, double y2) : s_(s)
    {
        s_.setClipRect(x1, y1, x2, y2);
    }
    ~ClipGuard() { s_.clearClip(); }
    ClipGuard(const ClipGuard&) = delete;
    ClipGuard& operator=(const ClipGuard&) = delete;

private:
    Surface& s_;
};

} // namespace ombrix
