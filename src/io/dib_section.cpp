// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/dib_section.h"

namespace ombrix
{

bool cDIBSection::Create(Long lWidth, Long lHeight)
{
    ClearUp();
    if (lWidth < 1 || lHeight < 1)
        return false;
    // Sizes are computed in 64 bits, so no width can overflow the row length.
    const std::uint64_t row = (3 * static_cast<std::uint64_t>(lWidth) + 3) & ~std::uint64_t{3};
    const std::uint64_t bytes = row * static_cast<std::uint64_t>(lHeight);
    if (bytes > kMaxBytes)
        return false;
    bits_.reset(static_cast<std::uint8_t*>(std::calloc(static_cast<std::size_t>(bytes), 1)));
    if (!bits_)
        return false;
    header_ = BitmapInfoHeader{};
    header_.biWidth = lWidth;
    header_.biHeight = lHeight;
    header_.biSizeImage = static_cast<std::uint32_t>(bytes);
    return true;
}

void cDIBSection::CreateFromPicture(const QImage& picture)
{
    if (picture.isNull() || !Create(picture.width(), picture.height()))
        return;
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    const Long w = Width(), h = Height(), stride = BytesPerScanLine();
    for (Long y = 0; y < h; ++y) {
        const QRgb* src = reinterpret_cast<const QRgb*>(rgb.constScanLine(static_cast<int>(y)));
        std::uint8_t* dst = bits_.get() + static_cast<std::size_t>(h - 1 - y) * stride;
        for (Long x = 0; x < w; ++x) {
            dst[3 * x] = static_cast<std::uint8_t>(qBlue(src[x]));
            dst[3 * x + 1] = static_cast<std::uint8_t>(qGreen(src[x]));
            dst[3 * x + 2] = static_cast<std::uint8_t>(qRed(src[x]));
        }
    }
}

void cDIBSection::ClearUp()
{
    bits_.reset();
    header_ = BitmapInfoHeader{};
}

QImage cDIBSection::toImage() const
{
    if (empty())
        return {};
    QImage img(Width(), Height(), QImage::Format_RGB32);
    const Long w = Width(), h = Height(), stride = BytesPerScanLine();
    for (Long y = 0; y < h; ++y) {
        QRgb* dst = reinterpret_cast<QRgb*>(img.scanLine(static_cast<int>(y)));
        const std::uint8_t* src = bits_.get() + static_cast<std::size_t>(h - 1 - y) * stride;
        for (Long x = 0; x < w; ++x)
            dst[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
    }
    return img;
}

} // namespace ombrix
