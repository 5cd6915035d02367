// SPDX-License-Identifier: GPL-3.0-or-later
// The render dispatch and what every pattern renderer shares: segments and
// bands, the colour ramp, the rainbow palettes and the progress report.
#pragma once

#include "model/image_params.h"
#include "render/surface.h"

#include <functional>
#include <vector>

namespace ombrix
{

// What one drawing reads and reports.  The renderers read the image
// parameters and never write them.
struct RenderContext {
    explicit RenderContext(const ImageParams& params) : p(params) {}

    const ImageParams& p;
    bool pbFullSize = false; // only a full-size drawing shows progress
    Single pfProgress = 0.0f;
    // Receives the progress bar's value (pfProgress * 100) during a
    // full-size drawing; the main window connects its progress bar here.
    std::function<void(Single)> progressBar;

    // Shows pfProgress; a value below 0 or above 0.9 is replaced by 0 first.
    void mShowProgress();
};

// Draws the current pattern into the rectangle of the surface.  Any run-time
// error inside the renderer ends that renderer quietly; what was drawn stays.
// An index outside 0..11 draws nothing.  The surface is not cleared first.
void mDrawPattern(RenderContext& ctx, Surface& s, Integer left, Integer top, Integer width,
                  Integer height);

// The same dispatch with errors propagating, for callers that must see them.
void mDispatchPattern(RenderContext& ctx, Surface& s, Integer left, Integer top, Integer width,
                      Integer height);

// The nine renderers.  Same contract as mDrawPattern, but errors propagate.
void mDrawLinear(RenderContext& ctx, Surface& s, Integer L, Integer T, Integer W, Integer H);
void mDrawEllipse(RenderContext& ctx, Surface& s, Integer L, Integer T, Integer W, Integer H);
void mDrawRectangle(RenderContext& ctx, Surface& s, Integer L, Integer T, Integer W, Integer H);
void mDrawPleats(RenderContext& ctx, Surface& s, Integer L, Integer T, Integer W, Integer H);
void mPlainBackground(RenderContext& ctx, Surface& s);
void mDrawCircle(RenderContext& ctx, Surface& s, Integer L, Integer T, Integer W, Integer H);
void mDrawSandglass(RenderContext& ctx, Surface& s, Integer L, Integer T, Integer W, Integer H);
void mDrawSemicircle(RenderContext& ctx, Surface& s, Integer L, Integer T, Integer W, Integer H);
void mDrawDiamond(RenderContext& ctx, Surface& s, Integer L, Integer T, Integer W, Integer H);

// One diamond outline of half-size `size` around (x, y): four lines, each
// continuing from the end of the last.
void mDiamondOutline(Surface& s, double x, double y, double size, num::Rgb colour, double aspect);

// Keeps each component in 0..255.
inline void mClampRGB(Long& r, Long& g, Long& b)
{
    num::clampRgb(r, g, b);
}

// The rainbow palette colour for fraction f, for rainbow mode 1..4.  A
// fraction whose step lies outside 0..125 leaves red, green and blue as they
// were on entry (the previous band's colour).
void mRainbowColor(Integer rainbowMode, Single f, Long& red, Long& green, Long& blue);

// The bands of one segment of length S.  At most 128 steps however long the
// segment, so a segment never has more than 256 figures.
struct Segment {
    Long n = 0;         // band count rule: round(S) below 128, else 128
    Long st = 0;        // step between band positions
    Long end = 0;       // round(S): the last position drawn
    double perBand = 0; // S / n, the basis of every pen-width rule

    explicit Segment(double S);
    // A segment shorter than half a pixel has no bands at all.
    bool empty() const { return n == 0; }

    // Band positions 0, st, 2 st, ... up to `last` (normally `end`).  When
    // the step does not divide `last`, one more band is drawn at `last`
    // itself, so that the segment reaches its end and leaves no gap before
    // the next segment's first band.
    std::vector<Long> positions(Long last) const;
    std::vector<Long> positions() const { return positions(end); }
    // The same positions from `end` down to 0, for segments drawn inwards
    // out; 0 is always included.
    std::vector<Long> positionsDown() const;
    // floor(max(max(perBand, st) * k + add, minimum)).  A minimum of 0
    // means none.
    Long pen(double k, double add, double minimum) const;
};

// The colour ramp of one segment, from colour row entry `from` to `to` over
// the length S.  The increments are computed once per segment.
class Ramp
{
public:
    Ramp(const ImageParams& p, int from, int to, double S);
    num::Rgb at(double position) const;

private:
    double dc_[3];
    Long start_[3];
};

// The first segment's colour source: the ramp, or the rainbow when one is
// chosen.  Keeps the last rainbow colour for fractions past the palette.
class FirstSegmentColour
{
public:
    FirstSegmentColour(const ImageParams& p, int from, int to, double S)
        : ramp_(p, from, to, S), mode_(p.pnRainbow)
    {
    }
    num::Rgb at(double position, double fraction);
    // A rainbow fraction outside the palette keeps the colour of the band
    // drawn before; when another segment was drawn first, that is its
    // last band's colour.
    void carryOver(num::Rgb previous)
    {
        r_ = num::redOf(previous);
        g_ = num::greenOf(previous);
        b_ = num::blueOf(previous);
    }

private:
    Ramp ramp_;
    Integer mode_;
    Long r_ = 0, g_ = 0, b_ = 0;
};

} // namespace ombrix
