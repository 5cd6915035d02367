// SPDX-License-Identifier: GPL-3.0-or-later
// Texts filled with the image's own gradient: the texts are drawn into the
// picture and the result is combined with the picture as it was by
// exclusive-or, so that everything the texts did not touch turns black and a
// black text shows the gradient beneath it.  Shared by the image window's
// "Gradtxt" command and the command line's --gradient-text.
#pragma once

#include "model/image_params.h"

#include <QImage>

namespace ombrix
{

// Every pixel of `picture` becomes picture ^ other, per colour component;
// both must be the same size (else nothing changes and false comes back).
bool xorPictures(QImage& picture, const QImage& other);

// The whole command on a picture: keeps a copy without the texts, prints
// the texts (at `dpi`, as the labels show them) and combines the two.  Run
// again on its own result, it draws the texts once more and combines again,
// which gives the pattern's pixels back under every text pixel drawn alike
// in both passes.  False when the memory for the copy cannot be had; the
// picture is then unchanged.
bool mMakeGradientText(QImage& picture, const ImageParams& p, double dpi);

} // namespace ombrix
