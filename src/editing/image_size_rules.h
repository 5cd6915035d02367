// SPDX-License-Identifier: GPL-3.0-or-later
// The image size dialog's arithmetic, without a window: reading a number the
// way the dialog's fields are read, keeping the ratio of width to height, and
// the six checks of OK with their messages.  Sizes are the screen's device
// pixels, so a screen scaled by 2 offers its full resolution.
#pragma once

#include "model/numeric.h"

#include <optional>
#include <string>

namespace ombrix
{

// The number a field starts with (blanks before it skipped): "12px" reads 12,
// "1.5" 1.5, "abc" and "" read 0.  Never throws; anything past the range of
// a double reads as 0 as well.
double leadingNumber(const std::string& text);

// A whole number of pixels as the fields show it: rounded half to even,
// without blanks, and held to a range a field can sensibly show.
std::string pixelText(double value);

// The height the width and ratio fields give, or nothing when the ratio reads
// as 0 (the height field then stays as it is).
std::optional<std::string> heightForWidth(const std::string& width, const std::string& ratio);
// The width the height and ratio fields give (a ratio of 0 gives "0", which
// the checks of OK then refuse).
std::string widthForHeight(const std::string& height, const std::string& ratio);

// What OK checks the fields against.
struct SizeLimits {
    int screenWidth = 0; // the screen in device pixels
    int screenHeight = 0;
    Integer horRep = 1;
    Integer verRep = 1;
    Integer minRepPixels = 12; // device pixels each repetition needs at least
};

struct SizeCheck {
    bool ok = false;
    std::string message; // the first check that failed; empty when ok
    Integer width = 0;   // the accepted size, rounded, when ok
    Integer height = 0;
};

// The six checks in their order: "Enter image width.", "Enter image height.",
// "The image width is too large.", "The image height is too large.", "The image
// width is too small.", "The image height is too small.".  The largest size is
// the screen less 50 pixels each way, compared in single precision.
SizeCheck checkImageSize(const std::string& width, const std::string& height,
                         const SizeLimits& limits);

} // namespace ombrix
