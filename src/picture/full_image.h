// SPDX-License-Identifier: GPL-3.0-or-later
// The finished full-size image as the image window shows it: one tile drawn,
// copied by the repetitions, the borders drawn and the texts printed in.
#pragma once

#include "model/image_params.h"

#include <QImage>

#include <functional>

namespace ombrix
{

constexpr int kMaxImageSide = 16384;

struct FullImageOptions {
    int width = 260; // picture size in pixels, 1..kMaxImageSide
    int height = 200;
    // The picture's resolution: 96 x the scale it is drawn at.  The record
    // holds logical pixels (scale 1); at a larger scale the same design is
    // drawn larger, texts, fonts and borders with it (width and height are
    // then the device size, deviceImageSize of the logical one).
    double dpi = 96.0;
    bool printTexts = true;
    std::function<void(Single)> progressBar; // 0..100 while the tile is drawn
};

// Returns the picture, or a null image when the size is impossible or the
// memory for it cannot be had.
QImage renderFullImage(const ImageParams& p, const FullImageOptions& options);

// Whether the picture gets any text printed in: only then does drawing it
// need fonts (a Gui application).
bool printsTexts(const ImageParams& p, const FullImageOptions& options);

} // namespace ombrix
