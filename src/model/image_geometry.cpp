// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/image_geometry.h"

#include <algorithm>
#include <cmath>

namespace ombrix
{

namespace
{

int storedSide(Long twips, int allowance, int fallback, int most)
{
    if (twips <= 0)
        return fallback;
    const double pixels =
        num::roundHalfEven((static_cast<double>(std::min<Long>(twips, kMaxStoredTwips)) -
                            allowance * kFileTwipsPerPixel) /
                           kFileTwipsPerPixel);
    return static_cast<int>(std::clamp(pixels, 1.0, static_cast<double>(most)));
}

Long storedTwips(int side, int allowance, int most)
{
    return static_cast<Long>(std::clamp(side, 1, most) + allowance) * kFileTwipsPerPixel;
}

Integer placeTwips(long long pixels)
{
    return num::clampInteger(pixels * kFileTwipsPerPixel);
}

} // namespace

ImageSize storedImageSize(const ImageParams& p)
{
    return {
        storedSide(p.pnImageWidth, kFrameAllowanceWidth, kDefaultImageWidth, kMaxStoredImageWidth),
        storedSide(p.pnImageHeight, kFrameAllowanceHeight, kDefaultImageHeight,
                   kMaxStoredImageHeight)};
}

void storeImageSize(ImageParams& p, ImageSize size)
{
    p.pnImageWidth = storedTwips(size.width, kFrameAllowanceWidth, kMaxStoredImageWidth);
    p.pnImageHeight = storedTwips(size.height, kFrameAllowanceHeight, kMaxStoredImageHeight);
}

void storeImagePlace(ImageParams& p, int left, int top)
{
    p.pnImageLeft = placeTwips(left);
    p.pnImageTop = placeTwips(top);
}

int storedImageLeft(const ImageParams& p)
{
    return static_cast<int>(
        num::roundHalfEven(static_cast<double>(p.pnImageLeft) / kFileTwipsPerPixel));
}

int storedImageTop(const ImageParams& p)
{
    return static_cast<int>(
        num::roundHalfEven(static_cast<double>(p.pnImageTop) / kFileTwipsPerPixel));
}

void storeNewImageGeometry(ImageParams& p, ImageSize size, ScreenArea screen)
{
    storeImageSize(p, size);
    const ImageSize held = storedImageSize(p);
    int left = kDefaultImageLeft;
    int top = kDefaultImageTop;
    if (screen.width > 0 && screen.height > 0) {
        const int outerWidth = held.width + kFrameAllowanceWidth;
        const int outerHeight = held.height + kFrameAllowanceHeight;
        // In from the right and bottom edges first, then never past the top
        // left: a window larger than the screen keeps its title bar on it.
        left = std::max(screen.left,
                        std::min(screen.left + left, screen.left + screen.width - outerWidth));
        top = std::max(screen.top,
                       std::min(screen.top + top, screen.top + screen.height - outerHeight));
    }
    storeImagePlace(p, left, top);
}

double heldScale(double scale)
{
    if (!(scale >= kMinDrawScale)) // also a NaN
        return kMinDrawScale;
    return std::min(scale, kMaxDrawScale);
}

int toDeviceLength(double logical, double scale)
{
    return static_cast<int>(std::lround(logical * heldScale(scale)));
}

ImageSize deviceImageSize(ImageSize logical, double scale)
{
    return {std::max(1, toDeviceLength(logical.width, scale)),
            std::max(1, toDeviceLength(logical.height, scale))};
}

} // namespace ombrix
