// SPDX-License-Identifier: GPL-3.0-or-later
// The two drivers that put the pattern on screen: the preview, one tile
// stretched over the small preview box, and the full-size image, one tile
// drawn off-screen and block-copied once per repetition.
#pragma once

#include "render/engine.h"
#include "render/span_surface.h"

namespace ombrix
{

// Clears the preview and draws the pattern over its whole scale area.
void mDrawPreview(RenderContext& ctx, Surface& preview);

// The full-size pictures of the image window: the off-screen source on
// which one tile is drawn, and the visible picture the tiles are copied to.
struct FullSizePictures {
    SpanSurface picSrc{0, 0, DrawStyle::InsideSolid};
    SpanSurface picShow{0, 0, DrawStyle::InsideSolid};

    // Both pictures at the image's size in pixels, cleared.
    void resize(int width, int height);
};

// The tiling step: one tile of round(pixelWidth / pnHorRep) by
// round(pixelHeight / pnVerRep), as drawn at the top left of the cleared
// picSrc, copied over picShow at every tile position.  The pattern is drawn
// once however often it repeats.  Repetition counts below 1 draw nothing.
// Errors end the tiling quietly.  The tile is in fact drawn straight into
// picShow's top left and copied from there, which leaves picShow exactly as
// the copies from picSrc would; picSrc keeps only its background colour.
void mTileImage(RenderContext& ctx, FullSizePictures& pics, Integer pixelWidth,
                Integer pixelHeight);

// Clears picSrc and tiles the image (making the window large enough for the
// repetitions is the image window's own step).
void mDrawFullSize(RenderContext& ctx, FullSizePictures& pics, Integer pixelWidth,
                   Integer pixelHeight);

} // namespace ombrix
