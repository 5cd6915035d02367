// SPDX-License-Identifier: GPL-3.0-or-later
// A 24-bit device-independent bitmap held in one plain memory block: rows
// bottom-up, each row blue, green, red per pixel, padded to 4 bytes.  This
// is the layout the JPEG encoder and the BMP writer take as it is.
#pragma once

#include "model/numeric.h"

#include <QImage>

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace ombrix
{

// The bitmap information header that describes the block (40 bytes on disk).
struct BitmapInfoHeader {
    std::uint32_t biSize = 40;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0; // positive: rows stored bottom-up
    std::uint16_t biPlanes = 1;
    std::uint16_t biBitCount = 24;
    std::uint32_t biCompression = 0;
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;
};

class cDIBSection
{
public:
    // The largest block held: far beyond a 16384 x 16384 picture's 805 MB.
    static constexpr std::uint64_t kMaxBytes = std::uint64_t{1} << 31;

    cDIBSection() = default;
    cDIBSection(const cDIBSection&) = delete;
    cDIBSection& operator=(const cDIBSection&) = delete;
    cDIBSection(cDIBSection&&) = default;
    cDIBSection& operator=(cDIBSection&&) = default;
    ~cDIBSection() { ClearUp(); }

    // Releases what the object holds, then makes a block of that size
    // (zeroed).  False, and empty, for sizes below 1 or beyond kMaxBytes.
    bool Create(Long lWidth, Long lHeight);
    // Fills the block from a picture of any format; a failure leaves it empty.
    void CreateFromPicture(const QImage& picture);
    void ClearUp();

    // The length of a row of `width` pixels, padded to a multiple of 4 bytes.
    static Long paddedRowBytes(Long width) { return (3 * width + 3) & ~3; }
    Long BytesPerScanLine() const { return paddedRowBytes(header_.biWidth); }
    Long Width() const { return header_.biWidth; }
    Long Height() const { return header_.biHeight; }
    const std::uint8_t* DIBSectionBitsPtr() const { return bits_.get(); }
    std::uint8_t* DIBSectionBitsPtr() { return bits_.get(); }
    const BitmapInfoHeader& header() const { return header_; }
    bool empty() const { return bits_ == nullptr; }

    // The block as a picture again.
    QImage toImage() const;

private:
    struct Free {
        void operator()(std::uint8_t* p) const { std::free(p); }
    };
    BitmapInfoHeader header_;
    // Zeroed by the system as its pages are first touched, not byte by
    // byte up front.
    std::unique_ptr<std::uint8_t[], Free> bits_;
};

} // namespace ombrix
