// SPDX-License-Identifier: GPL-3.0-or-later
// How a record's stored window geometry means one image size, and back.
//
// A parameter file keeps the image window's place and outer size in twips.
// What the outer size adds to the image must not depend on the window
// manager that drew the frame, nor on the scale of the screen, nor on
// whether there is a window at all: the desktop program, `render`,
// `wallpaper` and `params` all go through these functions, so one file means
// one image everywhere.
//
// The rules:
// - Sizes are logical pixels, as at scale 1 (96 dpi), written at
//   kFileTwipsPerPixel twips each, whatever the screen's resolution.
// - The outer size is the image plus one fixed frame allowance,
//   kFrameAllowanceWidth x kFrameAllowanceHeight logical pixels: the frame
//   openbox draws in its stock theme, a common frame, so that a reader that
//   takes the stored size for a window's outer size gets about the right
//   window, and files that earlier builds wrote under openbox keep their
//   size exactly.  A window's real frame is used only to place it; it never
//   changes the size a file stores or reads back.
// - Reading is total: a stored side of 0 (files of `params` from earlier
//   builds) gives the fresh window's 260 x 200; a side that leaves less than
//   one pixel gives 1; no side exceeds kMaxStoredImageWidth/Height, the most
//   the unsigned 16-bit field can carry.
// - On a screen scaled by S the image is drawn at deviceImageSize(size, S):
//   each side times S, rounded to the nearest pixel (halves away from zero,
//   as Qt sizes a scaled window).
#pragma once

#include "model/image_params.h"

namespace ombrix
{

constexpr int kFileTwipsPerPixel = 15;
constexpr int kFrameAllowanceWidth = 2;
constexpr int kFrameAllowanceHeight = 25;
constexpr int kDefaultImageWidth = 260;
constexpr int kDefaultImageHeight = 200;
// Where a fresh image window opens, in logical pixels from the screen's top
// left: 30 pixels in, at the top.
constexpr int kDefaultImageLeft = 30;
constexpr int kDefaultImageTop = 0;
constexpr long kMaxStoredTwips = 65535;
constexpr int kMaxStoredImageWidth = static_cast<int>(
    (kMaxStoredTwips - kFrameAllowanceWidth * kFileTwipsPerPixel) / kFileTwipsPerPixel); // 4367
constexpr int kMaxStoredImageHeight = static_cast<int>(
    (kMaxStoredTwips - kFrameAllowanceHeight * kFileTwipsPerPixel) / kFileTwipsPerPixel); // 4344
// The scales a picture may be drawn at (the command line's --scale).
constexpr double kMinDrawScale = 1.0;
constexpr double kMaxDrawScale = 4.0;

struct ImageSize {
    int width = kDefaultImageWidth;
    int height = kDefaultImageHeight;
    friend bool operator==(ImageSize a, ImageSize b)
    {
        return a.width == b.width && a.height == b.height;
    }
    friend bool operator!=(ImageSize a, ImageSize b) { return !(a == b); }
};

// The image size, in logical pixels, that the record's stored outer size
// gives (see the rules above).
ImageSize storedImageSize(const ImageParams& p);

// Writes the outer size for an image of `size` logical pixels into the
// record; sides are held to 1..kMaxStoredImageWidth/Height first.  Reading
// it back with storedImageSize gives the held size exactly.
void storeImageSize(ImageParams& p, ImageSize size);

// The window's place in the record, from logical pixels (the top left of
// its frame); held to the Integer range.
void storeImagePlace(ImageParams& p, int left, int top);
// The place the record holds, in logical pixels.
int storedImageLeft(const ImageParams& p);
int storedImageTop(const ImageParams& p);

// A screen's usable area in logical pixels.
struct ScreenArea {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The whole geometry of a new record of `size` (as `params --out` writes
// it): the size as storeImageSize stores it, and the place where a fresh
// image window opens, moved in where needed so that the window (image and
// allowance) lies on `screen`, or at least its top left when it is larger.
// An empty screen area (no screen known) keeps the fresh window's place.
void storeNewImageGeometry(ImageParams& p, ImageSize size, ScreenArea screen = {});

// The picture's size in device pixels at `scale` (1 to 4; anything else
// counts as 1): each side times the scale, rounded, at least 1.
ImageSize deviceImageSize(ImageSize logical, double scale);
// One logical length at `scale`, rounded as the sides are.
int toDeviceLength(double logical, double scale);
// The scale itself, held to kMinDrawScale..kMaxDrawScale (1 for anything
// that is not a number).
double heldScale(double scale);

} // namespace ombrix
