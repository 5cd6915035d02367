// SPDX-License-Identifier: GPL-3.0-or-later
// The four edge borders, drawn onto the full-size picture after the pattern.
#pragma once

#include "model/image_params.h"
#include "render/surface.h"

namespace ombrix
{

// Border b: 0 top, 1 left, 2 bottom, 3 right.  Each is drawn as
// pnBorderSize(b) one-pixel lines along its edge, outermost first, each
// running the full length of its inset rectangle; neighbouring borders meet
// on the diagonal of their corner square, so the corners are mitred.  A
// width of 0 or below draws nothing; a failing line is left out.  Widths
// are logical pixels: on a picture drawn at `scale` (the screen's device
// pixels per logical pixel) each border is its width times the scale,
// rounded, so it covers the same part of the image at any scale.
void mDrawBorders(Surface& picShow, const ImageParams& p, double scale = 1.0);

} // namespace ombrix
