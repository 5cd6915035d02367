// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/image_params.h"

#include <algorithm>

namespace ombrix
{

const std::array<const char*, kPatterns> kPatternCaptions = {
    "Linear Gradient", "Shaded Ellipse",    "Clearcut Ellipse", "Rectangle",
    "Crossing Pleats", "Background",        "Shaded Circle",    "Clearcut Circle",
    "Sandglass",       "Shaded Semicircle", "Shaded Diamond",   "Clearcut Diamond",
};

const std::array<const char*, kPatterns> kPatternNames = {
    "Linear Gradient", "Shaded Ellipse",    "Clearcut Ellipse", "Shaded Rectangle",
    "Crossing Pleats", "Plain Background",  "Shaded Circle",    "Clearcut Circle",
    "Sandglass",       "Shaded Semicircle", "Shaded Diamond",   "Clearcut Diamond",
};

namespace
{

bool inByteRange(Long v)
{
    return v >= 0 && v <= 255;
}

void checkColour(Colour& c)
{
    for (Long& v : c)
        if (!inByteRange(v))
            v = 0;
}

// Preset text colour of a slot by its role in the set.
Colour roleColour(int t)
{
    switch (t % 3) {
    case 1:
        return {255, 255, 255}; // highlight
    case 2:
        return {64, 64, 64}; // shadow
    default:
        return {0, 0, 0}; // main text
    }
}

} // namespace

void ImageParams::mCheckParams()
{
    for (Colour& c : plColor)
        checkColour(c);
    for (int t = 0; t < kTextSlots; ++t) {
        if (pnTextSize[t] < 6 || pnTextSize[t] > 200)
            pnTextSize[t] = 18;
        checkColour(plTextColor[t]);
        for (int s = 0; s < 4; ++s) // the fifth switch is not tested
            if (pnTextStyle[t][s] != 0 && pnTextStyle[t][s] != 1)
                pnTextStyle[t][s] = 0;
    }
    for (int b = 0; b < kBorders; ++b) {
        if (pnBorderSize[b] < 0 || pnBorderSize[b] > 100)
            pnBorderSize[b] = 0;
        checkColour(plBorderColor[b]);
    }
}

void ImageParams::mGetSlant()
{
    // The quotient is rounded, not truncated: -605 gives -6 and -5.
    const Integer ver = num::cint(static_cast<double>(pnSlantRate) / 100.0);
    pnVerOrgOffset = ver;
    pnSlantRate = static_cast<Integer>(pnSlantRate - 100 * ver); // |result| <= 50
}

void ImageParams::deriveRainbowChoices()
{
    switch (pnRainbow) {
    case 0:
    case 1:
        pnRainbowPalette = 1;
        pnRainbowInverse = 0;
        break;
    case 2:
        pnRainbowPalette = 1;
        pnRainbowInverse = 1;
        break;
    case 3:
        pnRainbowPalette = 0;
        pnRainbowInverse = 0;
        break;
    case 4:
        pnRainbowPalette = 0;
        pnRainbowInverse = 1;
        break;
    default:
        break;
    }
}

void ImageParams::recomputeTextOffsets()
{
    for (int k = 0; k < kTextSets; ++k) {
        const int t = 3 * k;
        // Positions far apart are held to the Integer range, not wrapped.
        pnHighlightOffset[k] = num::clampInteger(pnTextLeft[t + 1] - pnTextLeft[t]);
        pnShadowOffset[k] = num::clampInteger(pnTextLeft[t + 2] - pnTextLeft[t]);
    }
}

void ImageParams::resetTextSlot(int t)
{
    psText[t].clear();
    psTextFont[t] = "Arial";
    pnTextSize[t] = 18;
    pnTextLeft[t] = -50;
    pnTextTop[t] = -50;
    pnTextStyle[t].fill(0);
    plTextColor[t] = roleColour(t);
}

void ImageModel::mSetDefaults(int nPreset)
{
    shared.pnColorTarget = ColourTarget::ColourBox;
    shared.pnShowTip[0] = 1;

    struct Preset {
        std::array<Colour, kColours> colours;
        Integer pattern, horRep, verRep, hump, slant, verOffset;
    };
    static const Preset presets[4] = {
        {{{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}}, kPlainBackground, 1, 1, 20, 0, 0},
        {{{{255, 104, 192}, {32, 0, 112}, {0, 216, 208}}}, kCrossingPleats, 1, 1, 10, 0, 0},
        {{{{224, 176, 255}, {0, 0, 176}, {0, 0, 0}}}, kShadedEllipse, 3, 3, 18, -5, -6},
        {{{{176, 224, 255}, {0, 0, 80}, {0, 0, 0}}}, kShadedEllipse, 3, 3, 18, -3, -3},
    };
    if (nPreset >= 0 && nPreset <= 3) {
        const Preset& p = presets[nPreset];
        ImageParams& r = params;
        r.plColor = p.colours;
        r.pnPattern = p.pattern;
        r.pnHorRep = p.horRep;
        r.pnVerRep = p.verRep;
        r.pnHump = p.hump;
        r.pnSlantRate = p.slant;
        r.pnVerOrgOffset = p.verOffset;
        r.pnRainbow = 0;
        r.pnRainbowPalette = 1;
        r.pnRainbowInverse = 0;
    }

    shared.pnColorIndex = 0;
    for (int t = 0; t < kTextSlots; ++t) {
        params.resetTextSlot(t);
        params.pnTextStyle[t][4] = 0;
    }
    shared.pnBorderIndex = 0;
    params.pnBorderSize.fill(0);
    for (Colour& c : params.plBorderColor)
        c = {0, 0, 0};
}

Colour& ImageModel::targetColour()
{
    const auto at = [](auto& list, Integer index) -> Colour& {
        const auto last = static_cast<Integer>(list.size() - 1);
        return list[static_cast<std::size_t>(std::clamp<Integer>(index, 0, last))];
    };
    switch (shared.pnColorTarget) {
    case ColourTarget::Border:
        return at(params.plBorderColor, shared.pnBorderIndex);
    case ColourTarget::TextSlot:
        return at(params.plTextColor, shared.pnTextIndex);
    case ColourTarget::ColourBox:
        break;
    }
    return at(params.plColor, shared.pnColorIndex);
}

} // namespace ombrix
