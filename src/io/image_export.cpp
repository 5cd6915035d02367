#include "io/image_export.h"

#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>
#include <QString>

#include <turbojpeg.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace ombrix
{

namespace
{

ExportResult failure(const std::string& message)
{
    return {false, message};
}

// Writes the bytes whole or not at all; an existing file stays until the
// new one is complete.
ExportResult writeWhole(const std::string& fileName, const void* data, std::size_t size)
{
    const QString name = QString::fromStdString(fileName);
    if (QFileInfo(name).isDir())
        return failure("it is a folder");
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly))
        return failure(file.errorString().toStdString());
    if (file.write(static_cast<const char*>(data), static_cast<qint64>(size)) !=
        static_cast<qint64>(size)) {
        file.cancelWriting();
        return failure(file.errorString().toStdString());
    }
    if (!file.commit())
        return failure(file.errorString().toStdString());
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
        return failure("there is no picture to write");
    quality = std::clamp<Long>(quality, 10, 100);
    std::unique_ptr<void, int (*)(tjhandle)> tj(tjInitCompress(), tjDestroy);
    if (!tj)
        return failure("the JPEG encoder could not be started");
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
        return failure(std::string("the JPEG encoder failed: ") + tjGetErrorStr2(tj.get()));
    return writeWhole(fileName, jpeg, size);
}

ExportResult writeBmpFile(const cDIBSection& dib, const std::string& fileName)
{
    if (dib.empty())
        return failure("there is no picture to write");
    const BitmapInfoHeader& h = dib.header();
    const std::uint64_t total = 54 + static_cast<std::uint64_t>(h.biSizeImage);
    if (total > 0xFFFFFFFFu)
        return failure("the picture is too large for a bitmap file");
    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(total));
    out.push_back('B');
    out.push_back('M');
    put32(out, static_cast<std::uint32_t>(total));
    put32(out, 0);  // two reserved words
    put32(out, 54); // pixels follow both headers
    put32(out, h.biSize);
    put32(out, static_cast<std::uint32_t>(h.biWidth));
    put32(out, static_cast<std::uint32_t>(h.biHeight));
    put16(out, h.biPlanes);
    put16(out, h.biBitCount);
    put32(out, h.biCompression);
    put32(out, h.biSizeImage);
    put32(out, static_cast<std::uint32_t>(h.biXPelsPerMeter));
    put32(out, static_cast<std::uint32_t>(h.biYPelsPerMeter));
    put32(out, h.biClrUsed);
    put32(out, h.biClrImportant);
    out.insert(out.end(), dib.DIBSectionBitsPtr(), dib.DIBSectionBitsPtr() + h.biSizeImage);
    return writeWhole(fileName, out.data(), out.size());
}

ExportResult writePngFile(const QImage& image, const std::string& fileName)
{
    if (image.isNull())
        return failure("there is no picture to write");
    const QString name = QString::fromStdString(fileName);
    if (QFileInfo(name).isDir())
        return failure("it is a folder");
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly))
        return failure(file.errorString().toStdString());
    QImageWriter writer(&file, "png");
    if (!writer.write(image)) {
        file.cancelWriting();
        return failure(writer.errorString().toStdString());
    }
    if (!file.commit())
        return failure(file.errorString().toStdString());
    return {true, {}};
}

ExportResult saveImage(const QImage& image, const std::string& fileName, Long quality)
{
    const QString suffix = QFileInfo(QString::fromStdString(fileName)).suffix().toLower();
    if (suffix == "png")
        return writePngFile(image, fileName);
    if (suffix == "jpg" || suffix == "jpeg" || suffix == "bmp") {
        cDIBSection dib;
        dib.CreateFromPicture(image);
        if (dib.empty())
            return failure("not enough memory for the picture's bitmap");
        return suffix == "bmp" ? writeBmpFile(dib, fileName)
                               : WriteJpegFile(dib, fileName, quality);
    }
    return failure("unknown image type '." + suffix.toStdString() +
                   "' (use .png, .jpg, .jpeg or .bmp)");
}

} // namespace ombrix
