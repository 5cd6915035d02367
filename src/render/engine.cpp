// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/engine.h"

#include <algorithm>

namespace ombrix
{

void RenderContext::mShowProgress()
{
    if (!pbFullSize)
        return;
    if (pfProgress < 0.0f || pfProgress > 0.9f)
        pfProgress = 0.0f;
    if (progressBar)
        progressBar(pfProgress * 100.0f);
}

void mDispatchPattern(RenderContext& ctx, Surface& s, Integer left, Integer top, Integer width,
                      Integer height)
{
    switch (ctx.p.pnPattern) {
    case kLinearGradient:
        return mDrawLinear(ctx, s, left, top, width, height);
    case kShadedEllipse:
    case kClearcutEllipse:
        return mDrawEllipse(ctx, s, left, top, width, height);
    case kShadedRectangle:
        return mDrawRectangle(ctx, s, left, top, width, height);
    case kCrossingPleats:
        return mDrawPleats(ctx, s, left, top, width, height);
    case kPlainBackground:
        return mPlainBackground(ctx, s);
    case kShadedCircle:
    case kClearcutCircle:
        return mDrawCircle(ctx, s, left, top, width, height);
    case kSandglass:
        return mDrawSandglass(ctx, s, left, top, width, height);
    case kShadedSemicircle:
        return mDrawSemicircle(ctx, s, left, top, width, height);
    case kShadedDiamond:
    case kClearcutDiamond:
        return mDrawDiamond(ctx, s, left, top, width, height);
    default:
        return;
    }
}

void mDrawPattern(RenderContext& ctx, Surface& s, Integer left, Integer top, Integer width,
                  Integer height)
{
    try {
        mDispatchPattern(ctx, s, left, top, width, height);
    } catch (const ArithmeticError&) {
        // A run-time error ends the renderer; the bands drawn so far stay.
    } catch (const SurfaceError&) {
    }
}

void mPlainBackground(RenderContext& ctx, Surface& s)
{
    const Colour& c = ctx.p.plColor[2];
    s.setBackColor(num::rgb(c[0], c[1], c[2]));
}

namespace
{

// Palettes P (modes 1, 2) and Q (modes 3, 4), seven colours each.
constexpr Long kRainbowP[7][3] = {{255, 0, 0}, {255, 255, 0}, {0, 255, 0}, {0, 255, 255},
                                  {0, 0, 255}, {255, 0, 255}, {255, 0, 0}};
constexpr Long kRainbowQ[7][3] = {{255, 0, 0}, {255, 128, 0}, {255, 255, 0}, {0, 128, 0},
                                  {0, 0, 255}, {0, 0, 128},   {128, 0, 128}};

} // namespace

void mRainbowColor(Integer rainbowMode, Single f, Long& red, Long& green, Long& blue)
{
    const Long(*table)[3] = (rainbowMode == 3 || rainbowMode == 4) ? kRainbowQ : kRainbowP;
    const bool reversed = rainbowMode == 2 || rainbowMode == 4;
    auto entry = [&](int k, int j) { return table[reversed ? 6 - k : k][j]; };
    const Integer q = num::cint(static_cast<double>(f) * 128.0);
    for (int k = 0; k <= 5; ++k) {
        if (21 * k <= q && q < 21 * (k + 1)) {
            Long c[3];
            for (int j = 0; j < 3; ++j) {
                const Long product =
                    static_cast<Long>(q - 21 * k) * (entry(k + 1, j) - entry(k, j));
                c[j] = num::clng(static_cast<double>(product) / 21.0 + entry(k, j));
            }
            mClampRGB(c[0], c[1], c[2]);
            red = c[0];
            green = c[1];
            blue = c[2];
            return;
        }
    }
}

Segment::Segment(double S)
{
    end = num::clng(S);
    n = S < 128.0 ? end : 128;
    if (n <= 0) {
        n = 0; // no bands: the segment is skipped, not an error
        return;
    }
    st = num::idiv(end, n);
    perBand = S / n;
}

std::vector<Long> Segment::positions(Long last) const
{
    std::vector<Long> out;
    if (n == 0 || last < 0)
        return out;
    out.reserve(static_cast<std::size_t>(last / st) + 2);
    for (Long pos = 0; pos <= last; pos += st)
        out.push_back(pos);
    if (out.back() != last)
        out.push_back(last);
    return out;
}

std::vector<Long> Segment::positionsDown() const
{
    std::vector<Long> out = positions(end);
    for (Long& pos : out)
        pos = end - pos;
    return out;
}

Long Segment::pen(double k, double add, double minimum) const
{
    // The pen covers the step.  A length just short of a multiple of the
    // band count rounds up to it, so S / n lies a hair below the step and
    // the floor came out one pixel narrower than meant: bands with a pen of
    // S / n left a line of background between every two of them, and those
    // with a pen one wider than S / n (the fans) met edge to edge and left
    // pinholes.
    double w = std::max(perBand, static_cast<double>(st)) * k + add;
    if (w < minimum)
        w = minimum;
    return num::floorLong(w);
}

Ramp::Ramp(const ImageParams& p, int from, int to, double S)
{
    for (int j = 0; j < 3; ++j) {
        start_[j] = p.plColor[from][j];
        const Long diff = p.plColor[to][j] - p.plColor[from][j];
        dc_[j] = num::fdiv(static_cast<double>(diff), S);
    }
}

num::Rgb Ramp::at(double position) const
{
    Long c[3];
    for (int j = 0; j < 3; ++j)
        c[j] = num::clng(position * dc_[j] + start_[j]);
    mClampRGB(c[0], c[1], c[2]);
    return num::rgb(c[0], c[1], c[2]);
}

num::Rgb FirstSegmentColour::at(double position, double fraction)
{
    if (mode_ == 0)
        return ramp_.at(position);
    mRainbowColor(mode_, static_cast<Single>(fraction), r_, g_, b_);
    return num::rgb(r_, g_, b_);
}

} // namespace ombrix
