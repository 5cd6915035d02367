#include "io/image_export.h"

#include "io/safe_file.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageWriter>

#include <turbojpeg.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>

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

} // namespace

ExportResult WriteJpegFile(const cDIBSection& dib, const std::string& fileName, Long quality)
{
    if (dib.empty())
        return failure(fileName, "there is no picture to write");
    quality = std::clamp<Long>(quality, 10, 100);
    std::unique_ptr<void, int (*)(tjhandle)> tj(tjInitCompress(), tjDestroy);
    if (!tj)
        return failure(fileName, "the JPEG encoder could not be started");
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    // Full chroma at the highest quality, so that thin bands keep their
    // colours; 4:2:0 below it, where size matters more.
    const int subsampling = quality >= 100 ? TJSAMP_444 : TJSAMP_420;
    const int rc =
        tjCompress2(tj.get(), dib.DIBSectionBitsPtr(), dib.Width(), dib.BytesPerScanLine(),
                    dib.Height(), TJPF_BGR, &jpeg, &size, subsampling, quality, TJFLAG_BOTTOMUP);
    std::unique_ptr<unsigned char, void (*)(unsigned char*)> owned(jpeg, tjFree);
    if (rc != 0)
        return failure(fileName,
                       std::string("the JPEG encoder failed: ") + tjGetErrorStr2(tj.get()));
    return writeWhole(fileName, jpeg, size);
}

ExportResult writeBmpFile(const cDIBSection& dib, const std::string& fileName)
{
    if (dib.empty())
        return failure(fileName, "there is no picture to write");
    const BitmapInfoHeader& h = dib.header();
    const std::uint64_t total = 54 + static_cast<std::uint64_t>(h.biSizeImage);
    if (total > 0xFFFFFFFFu)
        return failure(fileName, "the picture is too large for a bitmap file");
    std::vector<std::uint8_t> head;
    head.push_back('B');
    head.push_back('M');
    put32(head, static_cast<std::uint32_t>(total));
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
    // The block is written as it is, after the headers, without a copy.
    SafeFile file(fileName);
    if (!file.open() || !file.write(head.data(), head.size()) ||
        !file.write(dib.DIBSectionBitsPtr(), h.biSizeImage) || !file.commit())
        return failure(fileName, file.error());
    return {true, {}};
}

ExportResult writePngFile(const QImage& image, const std::string& fileName)
{
    if (image.isNull())
        return failure(fileName, "there is no picture to write");
    // Encoded in memory, so that the file itself goes through the one writer
    // that checks every step and takes its name as the system's bytes.
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image))
        return failure(fileName, writer.errorString().toStdString());
    return writeWhole(fileName, png.constData(), static_cast<std::size_t>(png.size()));
}

ExportResult saveImage(const QImage& image, const std::string& fileName, Long quality)
{
    // The extension is what follows the last dot of the name, in any case.
    const std::string name = fileName.substr(fileName.rfind('/') + 1);
    const std::size_t dot = name.rfind('.');
    std::string suffix = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (suffix == "png")
        return writePngFile(image, fileName);
    if (suffix == "jpg" || suffix == "jpeg" || suffix == "bmp") {
        cDIBSection dib;
        dib.CreateFromPicture(image);
        if (dib.empty())
            return failure(fileName, "not enough memory for the picture's bitmap");
        return suffix == "bmp" ? writeBmpFile(dib, fileName)
                               : WriteJpegFile(dib, fileName, quality);
    }
    return failure(fileName, "unknown image type (use .png, .jpg, .jpeg or .bmp)");
}

} // namespace ombrix
