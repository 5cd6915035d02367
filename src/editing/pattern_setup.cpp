// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/pattern_setup.h"

namespace ombrix
{

const char* const kTipHumpSlider = "Move this slider to change the mid color position.";
const char* const kTipHorRepSlider =
    "Move this slider to choose a number of horizontal repetition.";
const char* const kTipVerRepSlider = "Move this slider to choose a number of vertical repetition.";
const char* const kTipHorizontalSlant = "Move this slider to change the horizontal slant.";
const char* const kTipVerticalSlant = "Move this slider to change the vertical slant.";
const char* const kTipHorizontalOrigin =
    "Move this slider to change the gradient origin horizontally.";
const char* const kTipVerticalOrigin = "Move this slider to change the gradient origin vertically.";

namespace
{

std::string str(Integer n)
{
    return (n >= 0 ? " " : "") + std::to_string(n);
}

bool oneOf(Integer v, std::initializer_list<Integer> set)
{
    for (Integer s : set)
        if (v == s)
            return true;
    return false;
}

} // namespace

std::string repeatCaption(Integer horRep, Integer verRep)
{
    return str(horRep) + " \u00d7" + str(verRep);
}

bool colourBoxInUse(const ImageParams& p, int index)
{
    const Integer pat = p.pnPattern;
    if (p.pnRainbow == 0 && pat != kPlainBackground)
        return true;
    if (pat == kPlainBackground && index == 2)
        return true;
    return p.pnRainbow != 0 && index == 2 &&
           !oneOf(pat, {kLinearGradient, kShadedRectangle, kCrossingPleats, kShadedSemicircle});
}

PatternControls mSetupPatternState(ImageParams& p)
{
    PatternControls c;
    const Integer pat = p.pnPattern;
    c.slantTooltips = pat == kLinearGradient;

    if (oneOf(pat, {kShadedRectangle, kCrossingPleats, kPlainBackground, kShadedCircle,
                    kClearcutCircle})) {
        c.rotateEnabled = false;
    } else {
        c.rotateEnabled = true;
        c.rotatePressed = p.pnRotation == -1;
    }

    if (pat == kLinearGradient) {
        c.horizontalEnabled = p.pnRotation == 1;
        c.verticalEnabled = !c.horizontalEnabled;
        c.horizontalValue = p.pnSlantRate;
        c.verticalValue = static_cast<Integer>(-p.pnSlantRate);
    } else if (oneOf(pat, {kCrossingPleats, kPlainBackground, kSandglass, kShadedSemicircle})) {
        // The sliders show 0, but the record keeps its values: the parameter
        // file stores them, and another pattern chosen later uses them again.
        c.horizontalEnabled = c.verticalEnabled = false;
        c.horizontalValue = c.verticalValue = 0;
    } else {
        c.horizontalEnabled = c.verticalEnabled = true;
        c.horizontalValue = p.pnSlantRate;
        c.verticalValue = p.pnVerOrgOffset;
    }

    c.horRepValue = p.pnHorRep;
    c.verRepValue = static_cast<Integer>(7 - p.pnVerRep);

    const auto lockHump = [&] {
        c.humpEnabled = false;
        p.pnHump = 20;
    };
    if (pat == kPlainBackground) {
        lockHump();
        c.boldLabel = 2;
        c.pickerShown = true;
        c.colourIndex = 2;
    } else if (p.pnRainbow == 0) {
        c.rainbowBox = RainbowBox::Cleared;
        c.boldLabel = 0;
        c.pickerShown = true;
        c.colourIndex = 0;
    } else if (oneOf(pat,
                     {kLinearGradient, kShadedRectangle, kCrossingPleats, kShadedSemicircle})) {
        c.rainbowBox = RainbowBox::Set;
        lockHump();
    } else if (pat == kSandglass) {
        c.rainbowBox = RainbowBox::Set;
        lockHump();
        c.boldLabel = 2;
        c.pickerShown = true;
        c.colourIndex = 2;
    } else {
        c.rainbowBox = RainbowBox::Set;
        c.boldLabel = 2;
        c.pickerShown = true;
        c.colourIndex = 2;
    }
    c.humpValue = p.pnHump;
    return c;
}

} // namespace ombrix
