// SPDX-License-Identifier: GPL-3.0-or-later
// What the main window's controls show for the current image parameters:
// the pattern-dependent part of the pattern setup, computed without widgets
// so that every case of it can be checked on its own.
#pragma once

#include "model/image_params.h"

#include <string>

namespace ombrix
{

enum class RainbowBox { Unchanged, Cleared, Set };

struct PatternControls {
    bool slantTooltips = false; // pattern 0: the sliders are slants, not origins
    bool rotateEnabled = false;
    bool rotatePressed = false;
    bool horizontalEnabled = false;
    bool verticalEnabled = false;
    Integer horizontalValue = 0;
    Integer verticalValue = 0;
    Integer horRepValue = 1;
    Integer verRepValue = 6; // inverted: 7 - pnVerRep
    RainbowBox rainbowBox = RainbowBox::Unchanged;
    bool humpEnabled = true;
    Integer humpValue = 10;
    int boldLabel = -1;       // colour box label in bold, -1 none
    bool pickerShown = false; // false: the colour picker is closed
    int colourIndex = -1;     // colour the picker edits, -1 unchanged
};

// Works out the controls for p; sets pnHump to 20 where the mid colour
// slider is locked (Plain Background, and the rainbow patterns without a
// middle colour).
PatternControls mSetupPatternState(ImageParams& p);

// Whether colour box `index` takes part in drawing the current pattern.
bool colourBoxInUse(const ImageParams& p, int index);

// " 2 × 3": each count with the leading blank of a positive number.
std::string repeatCaption(Integer horRep, Integer verRep);

extern const char* const kTipHumpSlider;
extern const char* const kTipHorRepSlider;
extern const char* const kTipVerRepSlider;
extern const char* const kTipHorizontalSlant;
extern const char* const kTipVerticalSlant;
extern const char* const kTipHorizontalOrigin;
extern const char* const kTipVerticalOrigin;

} // namespace ombrix
