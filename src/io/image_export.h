// Writing the finished picture: JPEG through TurboJPEG, standard 24-bit
// Windows bitmaps, and PNG.  Every writer writes the whole file or nothing
// (beside the target, renamed over it) and reports a failure.
#pragma once

#include "io/dib_section.h"

#include <QImage>

#include <string>

namespace ombrix
{

struct ExportResult {
    bool ok = false;
    std::string message; // one line saying what went wrong; empty on success
};

// Encodes the block's bottom-up BGR rows as JPEG; quality is held to 10..100.
ExportResult WriteJpegFile(const cDIBSection& dib, const std::string& fileName, Long quality);
// A standard 24-bit Windows bitmap of the block.
ExportResult writeBmpFile(const cDIBSection& dib, const std::string& fileName);
ExportResult writePngFile(const QImage& image, const std::string& fileName);

// Chooses the format by the extension, ignoring case: .png, .jpg or .jpeg,
// .bmp; anything else is refused.
ExportResult saveImage(const QImage& image, const std::string& fileName, Long quality);

} // namespace ombrix
