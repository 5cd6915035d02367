// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/gradient_text.h"

#include "picture/texts.h"

#include <cstdint>

namespace ombrix
{

bool xorPictures(QImage& picture, const QImage& other)
{
    if (picture.size() != other.size() || picture.isNull())
        return false;
    if (picture.format() != QImage::Format_RGB32 && picture.format() != QImage::Format_ARGB32)
        picture = picture.convertToFormat(QImage::Format_RGB32);
    const QImage src =
        other.format() == picture.format() ? other : other.convertToFormat(picture.format());
    // Alpha stays opaque: only red, green and blue are combined.
    const std::uint32_t keep = picture.format() == QImage::Format_RGB32 ? 0xff000000u : 0u;
    for (int y = 0; y < picture.height(); ++y) {
        auto* d = reinterpret_cast<std::uint32_t*>(picture.scanLine(y));
        const auto* s = reinterpret_cast<const std::uint32_t*>(src.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            d[x] = ((d[x] ^ s[x]) & 0x00ffffffu) | keep | (d[x] & 0xff000000u & ~keep);
    }
    return true;
}

bool mMakeGradientText(QImage& picture, const ImageParams& p, double dpi)
{
    if (picture.isNull())
        return false;
    const QImage withoutTexts = picture.copy();
    if (withoutTexts.isNull())
        return false;
    mPrintTexts(picture, p, dpi);
    return xorPictures(picture, withoutTexts);
}

} // namespace ombrix
