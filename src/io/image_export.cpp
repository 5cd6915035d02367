// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/image_export.h"

#include "io/safe_file.h"

#include <turbojpeg.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <vector>

namespace ombrix
{

namespace
{

ExportResult failure(const std::string& fileName, const std::string& why)
{
    return {false, "cannot write " + displayPath(fileName) + ": " + why};
}

// Writes the bytes whole or not at all; an existing file stays until the
// new one is complete.
ExportResult writeWhole(const std::string& fileName, const void* data, std::size_t size)
{
    const std::string error = writeWholeFile(fileName, data, size);
    if (!error.empty())
        return failure(fileName, error);
    return {true, {}};
}

void put16(std::vector<std::uint8_t>& out, std::uint16_t v)
{
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
}

// The 54 bytes before a 24-bit bitmap's pixels: the file header and the
// information header.
std::vector<std::uint8_t> bmpHead(const BitmapInfoHeader& h)
{
    std::vector<std::uint8_t> head;
    head.push_back('B');
    head.push_back('M');
    put32(head, static_cast<std::uint32_t>(54 + static_cast<std::uint64_t>(h.biSizeImage)));
    put32(head, 0);  // two reserved words
    put32(head, 54); // pixels follow both headers
    put32(head, h.biSize);
    put32(head, static_cast<std::uint32_t>(h.biWidth));
    put32(head, static_cast<std::uint32_t>(h.biHeight));
    put16(head, h.biPlanes);
    put16(head, h.biBitCount);
    put32(head, h.biCompression);
    put32(head, h.biSizeImage);
    put32(head, static_cast<std::uint32_t>(h.biXPelsPerMeter));
    put32(head, static_cast<std::uint32_t>(h.biYPelsPerMeter));
    put32(head, h.biClrUsed);
    put32(head, h.biClrImportant);
    return head;
}

// The picture as 32-bit pixels, blue, green, red and a fourth byte in memory
// order: the program's own pictures as they are, any other kind converted.
QImage rgb32(const QImage& image)
{
    if (image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32)
        return image;
    return image.convertToFormat(QImage::Format_RGB32);
}

int subsamplingFor(Long quality)
{
    // Full chroma at the highest quality, so that thin bands keep their
    // colours; 4:2:0 below it, where size matters more.
    return quality >= 100 ? TJSAMP_444 : TJSAMP_420;
}

ExportResult compressJpeg(const unsigned char* pixels, int width, int pitch, int height, int format,
                          int flags, const std::string& fileName, Long quality)
{
    quality = std::clamp<Long>(quality, 10, 100);
    std::unique_ptr<void, int (*)(tjhandle)> tj(tjInitCompress(), tjDestroy);
    if (!tj)
        return failure(fileName, "the JPEG encoder could not be started");
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    const int rc = tjCompress2(tj.get(), pixels, width, pitch, height, format, &jpeg, &size,
                               subsamplingFor(quality), static_cast<int>(quality), flags);
    std::unique_ptr<unsigned char, void (*)(unsigned char*)> owned(jpeg, tjFree);
    if (rc != 0)
        return failure(fileName,
                       std::string("the JPEG encoder failed: ") + tjGetErrorStr2(tj.get()));
    return writeWhole(fileName, jpeg, size);
}

// PNG: chunks of length, type, data and a CRC of type and data.
void putChunk(std::vector<std::uint8_t>& out, const char* type, const std::uint8_t* data,
              std::size_t size)
{
    for (int i = 3; i >= 0; --i)
        out.push_back(static_cast<std::uint8_t>((size >> (8 * i)) & 0xFF));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data, data + size);
    const uLong crc = crc32(0L, out.data() + start, static_cast<uInt>(size + 4));
    for (int i = 3; i >= 0; --i)
        out.push_back(static_cast<std::uint8_t>((crc >> (8 * i)) & 0xFF));
}

// The filter of one PNG row: of "sub" (each byte less the one a pixel to
// its left) and "up" (less the byte above), the one whose differences are
// smaller in sum, which is the one that compresses better.  A gradient's
// bands make one of them nearly all zeros.
void filterRow(const std::uint8_t* row, const std::uint8_t* above, std::size_t bytes,
               std::uint8_t* out)
{
    unsigned long sub = 0, up = 0;
    if (above != nullptr)
        for (std::size_t i = 3; i < bytes; ++i) {
            // Differences as signed bytes, by size.
            const std::uint8_t s = static_cast<std::uint8_t>(row[i] - row[i - 3]);
            const std::uint8_t u = static_cast<std::uint8_t>(row[i] - above[i]);
            sub += s < 128 ? s : 256u - s;
            up += u < 128 ? u : 256u - u;
        }
    std::uint8_t* o = out + 1;
    if (above != nullptr && up < sub) {
        out[0] = 2;
        for (std::size_t i = 0; i < bytes; ++i)
            o[i] = static_cast<std::uint8_t>(row[i] - above[i]);
    } else {
        out[0] = 1;
        for (std::size_t i = 0; i < bytes && i < 3; ++i)
            o[i] = row[i];
        for (std::size_t i = 3; i < bytes; ++i)
            o[i] = static_cast<std::uint8_t>(row[i] - row[i - 3]);
    }
}

} // namespace

ExportResult WriteJpegFile(const cDIBSection& dib, const std::string& fileName, Long quality)
{
    if (dib.empty())
        return failure(fileName, "there is no picture to write");
    return compressJpeg(dib.DIBSectionBitsPtr(), dib.Width(), dib.BytesPerScanLine(), dib.Height(),
                        TJPF_BGR, TJFLAG_BOTTOMUP, fileName, quality);
}

ExportResult writeJpegImage(const QImage& image, const std::string& fileName, Long quality)
{
    if (image.isNull())
        return failure(fileName, "there is no picture to write");
    // The encoder reads the picture's own rows: no copy of the picture.
    const QImage rows = rgb32(image);
    return compressJpeg(rows.constBits(), rows.width(), static_cast<int>(rows.bytesPerLine()),
                        rows.height(), TJPF_BGRX, 0, fileName, quality);
}

ExportResult writeBmpFile(const cDIBSection& dib, const std::string& fileName)
{
    if (dib.empty())
        return failure(fileName, "there is no picture to write");
    const BitmapInfoHeader& h = dib.header();
    if (54 + static_cast<std::uint64_t>(h.biSizeImage) > 0xFFFFFFFFu)
        return failure(fileName, "the picture is too large for a bitmap file");
    const std::vector<std::uint8_t> head = bmpHead(h);
    // The block is written as it is, after the headers, without a copy.
    SafeFile file(fileName);
    if (!file.open() || !file.write(head.data(), head.size()) ||
        !file.write(dib.DIBSectionBitsPtr(), h.biSizeImage) || !file.commit())
        return failure(fileName, file.error());
    return {true, {}};
}

ExportResult writeBmpFile(const QImage& image, const std::string& fileName)
{
    if (image.isNull())
        return failure(fileName, "there is no picture to write");
    const QImage rows = rgb32(image);
    const Long w = rows.width(), h = rows.height();
    const std::uint64_t stride = static_cast<std::uint64_t>(cDIBSection::paddedRowBytes(w));
    BitmapInfoHeader info;
    info.biWidth = w;
    info.biHeight = h;
    const std::uint64_t bytes = stride * static_cast<std::uint64_t>(h);
    if (54 + bytes > 0xFFFFFFFFu)
        return failure(fileName, "the picture is too large for a bitmap file");
    info.biSizeImage = static_cast<std::uint32_t>(bytes);
    const std::vector<std::uint8_t> head = bmpHead(info);
    SafeFile file(fileName);
    if (!file.open() || !file.write(head.data(), head.size()))
        return failure(fileName, file.error());
    // The file's rows, bottom-up, blue, green, red, each padded to 4 bytes,
    // are made from the picture's rows a batch at a time: no block of the
    // whole picture in between.
    const std::size_t perBatch = std::max<std::size_t>(1, (std::size_t{1} << 20) / stride);
    std::vector<std::uint8_t> batch(perBatch * stride, 0);
    for (Long y = h - 1; y >= 0;) {
        std::size_t n = 0;
        for (; n < perBatch && y >= 0; ++n, --y) {
            const QRgb* src = reinterpret_cast<const QRgb*>(rows.constScanLine(y));
            std::uint8_t* dst = batch.data() + n * stride;
            for (Long x = 0; x < w; ++x) {
                dst[3 * x] = static_cast<std::uint8_t>(qBlue(src[x]));
                dst[3 * x + 1] = static_cast<std::uint8_t>(qGreen(src[x]));
                dst[3 * x + 2] = static_cast<std::uint8_t>(qRed(src[x]));
            }
        }
        if (!file.write(batch.data(), n * stride))
            return failure(fileName, file.error());
    }
    if (!file.commit())
        return failure(fileName, file.error());
    return {true, {}};
}

ExportResult writePngFile(const QImage& image, const std::string& fileName)
{
    if (image.isNull())
        return failure(fileName, "there is no picture to write");
    const QImage rows = rgb32(image);
    const std::uint32_t w = static_cast<std::uint32_t>(rows.width());
    const std::uint32_t h = static_cast<std::uint32_t>(rows.height());
    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    // Width, height, 8 bits per sample, colour type 2 (red, green, blue),
    // deflate, adaptive filters, no interlace.
    const std::uint8_t ihdr[13] = {std::uint8_t(w >> 24),
                                   std::uint8_t(w >> 16),
                                   std::uint8_t(w >> 8),
                                   std::uint8_t(w),
                                   std::uint8_t(h >> 24),
                                   std::uint8_t(h >> 16),
                                   std::uint8_t(h >> 8),
                                   std::uint8_t(h),
                                   8,
                                   2,
                                   0,
                                   0,
                                   0};
    putChunk(out, "IHDR", ihdr, sizeof ihdr);

    // Level 3 of 9: on a 3840 x 2160 gradient its deflate takes less than
    // half the time of the default level 6 (which Qt's writer used) for a
    // file under twice the size; levels 1 and 2 are hardly faster and give
    // files twice or three times as large again.
    z_stream z{};
    if (deflateInit2(&z, 3, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return failure(fileName, "the PNG encoder could not be started");
    std::unique_ptr<z_stream, int (*)(z_stream*)> guard(&z, deflateEnd);
    SafeFile file(fileName);
    if (!file.open() || !file.write(out.data(), out.size()))
        return failure(fileName, file.error());
    const std::size_t rowBytes = 3 * static_cast<std::size_t>(w);
    std::vector<std::uint8_t> rgb(rowBytes), previous(rowBytes), filtered(rowBytes + 1);
    std::vector<std::uint8_t> idat(std::size_t{1} << 18);
    // Hands the compressed bytes on as IDAT chunks whenever the buffer fills
    // (and at the end); false when the file cannot take them.
    auto drain = [&](int flush) {
        do {
            z.next_out = idat.data();
            z.avail_out = static_cast<uInt>(idat.size());
            if (deflate(&z, flush) == Z_STREAM_ERROR)
                return false;
            const std::size_t made = idat.size() - z.avail_out;
            if (made > 0) {
                out.clear();
                putChunk(out, "IDAT", idat.data(), made);
                if (!file.write(out.data(), out.size()))
                    return false;
            }
        } while (z.avail_out == 0);
        return true;
    };
    for (std::uint32_t y = 0; y < h; ++y) {
        const QRgb* src = reinterpret_cast<const QRgb*>(rows.constScanLine(static_cast<int>(y)));
        for (std::uint32_t x = 0; x < w; ++x) {
            rgb[3 * x] = static_cast<std::uint8_t>(qRed(src[x]));
            rgb[3 * x + 1] = static_cast<std::uint8_t>(qGreen(src[x]));
            rgb[3 * x + 2] = static_cast<std::uint8_t>(qBlue(src[x]));
        }
        filterRow(rgb.data(), y > 0 ? previous.data() : nullptr, rowBytes, filtered.data());
        std::swap(rgb, previous);
        z.next_in = filtered.data();
        z.avail_in = static_cast<uInt>(filtered.size());
        if (!drain(Z_NO_FLUSH))
            return failure(fileName,
                           file.error().empty() ? "the PNG encoder failed" : file.error());
    }
    if (!drain(Z_FINISH))
        return failure(fileName, file.error().empty() ? "the PNG encoder failed" : file.error());
    out.clear();
    putChunk(out, "IEND", nullptr, 0);
    if (!file.write(out.data(), out.size()) || !file.commit())
        return failure(fileName, file.error());
    return {true, {}};
}

ImageType imageTypeOf(const std::string& fileName)
{
    // The extension is what follows the last dot of the name, in any case.
    const std::string name = fileName.substr(fileName.rfind('/') + 1);
    const std::size_t dot = name.rfind('.');
    std::string suffix = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (suffix == "png")
        return ImageType::Png;
    if (suffix == "jpg" || suffix == "jpeg")
        return ImageType::Jpeg;
    if (suffix == "bmp")
        return ImageType::Bmp;
    return ImageType::Unknown;
}

ExportResult saveImage(const QImage& image, const std::string& fileName, Long quality)
{
    switch (imageTypeOf(fileName)) {
    case ImageType::Png:
        return writePngFile(image, fileName);
    case ImageType::Jpeg:
        return writeJpegImage(image, fileName, quality);
    case ImageType::Bmp:
        return writeBmpFile(image, fileName);
    case ImageType::Unknown:
        break;
    }
    return failure(fileName, "unknown image type (use .png, .jpg, .jpeg or .bmp)");
}

} // namespace ombrix
