// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing the text slots into the picture's pixels, as the image window's
// labels show them, so that an exported or copied image carries its texts.
#pragma once

#include "model/image_params.h"

#include <QFont>
#include <QImage>

namespace ombrix
{

// The font of text slot t, sized for a screen of `dpi` dots per inch (the
// labels show pnTextSize points at the screen's logical resolution).
QFont textFont(const ImageParams& p, int t, double dpi);
// The same from the slot's values, for a text not yet in the record.
QFont textFont(const std::string& name, Integer size, const std::array<Integer, kTextStyles>& style,
               double dpi);

// Draws every non-empty text, from slot 47 down to 0 so that slot 0 lies on
// top, at its left and top, in its font, styles and colour.  Only the
// characters are drawn; the picture shows through around them.  The record
// holds logical pixels (96 dpi); a picture drawn at `dpi` takes every
// position times dpi / 96 (textPositionAt) and fonts sized for that dpi, so
// the texts lie on the same part of the image at any scale.
void mPrintTexts(QImage& picture, const ImageParams& p, double dpi = 96.0);

// Where a logical text position lies on a picture drawn at `dpi`.
int textPositionAt(Integer logical, double dpi);

} // namespace ombrix
