// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/image_window.h"

#include <algorithm>

namespace ombrix
{

std::string imageSizeText(long width, long height)
{
    return " " + std::to_string(width) + "W \u00d7 " + std::to_string(height) + "H ";
}

bool roomForSizeLabel(int width, int height)
{
    return width > 199 && height > 79;
}

bool aspectHintDue(Integer pattern, int width, int height)
{
    if (pattern == kLinearGradient || pattern == kPlainBackground || height <= 0)
        return false;
    // A Single ratio against Single limits: exactly 5 and the Single nearest
    // 0.2 give no hint.
    const Single ratio = static_cast<Single>(width) / static_cast<Single>(height);
    return ratio > 5.0f || ratio < 0.2f;
}

PixelSize minimumPictureSize(const ImageParams& p, Integer minRepPixels)
{
    // Repetition counts from a damaged file may be anything; a count below 1
    // draws nothing and needs no room.
    const auto side = [&](Integer reps) { return std::max(0, int{minRepPixels} * reps); };
    return {side(p.pnHorRep), side(p.pnVerRep)};
}

} // namespace ombrix
