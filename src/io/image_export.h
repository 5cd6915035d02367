// Writing the finished picture: JPEG through TurboJPEG, standard 24-bit
// Windows bitmaps, and PNG.  Every writer writes the whole file or nothing
// (through a SafeFile: beside the target, renamed over it) and reports a
// failure.  File names are the system's file-name bytes (safe_file.h).
#pragma once

#include "io/dib_section.h"

#include <QImage>

#include <string>

namespace ombrix
{

struct ExportResult {
    bool ok = false;
    // One line naming the file and what went wrong ("cannot write "sky.png":
    // File too large"); empty on success.
    std::string message;
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
