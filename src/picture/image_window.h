// SPDX-License-Identifier: GPL-3.0-or-later
// The image window's rules that need no window: the size display, whether
// the size label has room, when the aspect hint is due and how large the
// picture must be for its repetitions.  Sizes are the picture's pixels (the
// screen's device pixels) unless said otherwise.
#pragma once

#include "model/image_params.h"

#include <string>

namespace ombrix
{

// " 260W × 200H ", as the status bar and the size label show it.
std::string imageSizeText(long width, long height);

// The size label is shown on a picture more than 199 wide and 79 high (in
// the window's own units, where the label's font is measured).
bool roomForSizeLabel(int width, int height);

// A very wide or very tall picture may show flaws: the hint is due for a
// ratio of width to height above 5 or below 0.2, except for the patterns
// without rings or corners (Linear Gradient, Plain Background).
bool aspectHintDue(Integer pattern, int width, int height);

// The smallest picture that gives each repetition at least minRepPixels
// pixels across and down.
struct PixelSize {
    int width = 0;
    int height = 0;
};
PixelSize minimumPictureSize(const ImageParams& p, Integer minRepPixels);

} // namespace ombrix
