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
    double dpi = 96.0; // screen resolution the text sizes refer to
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
