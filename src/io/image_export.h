// SPDX-License-Identifier: GPL-3.0-or-later
// Writing the finished picture: JPEG through TurboJPEG, standard 24-bit
// Windows bitmaps, and PNG through zlib.  Every writer writes the whole file or nothing
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
// The same from the picture's own rows, without a block in between.
ExportResult writeJpegImage(const QImage& image, const std::string& fileName, Long quality);
// A standard 24-bit Windows bitmap of the block.
ExportResult writeBmpFile(const cDIBSection& dib, const std::string& fileName);
// The same bitmap made from the picture's rows as they are written.
ExportResult writeBmpFile(const QImage& image, const std::string& fileName);
// 8-bit RGB, compressed for speed (the picture's fourth byte is not kept).
ExportResult writePngFile(const QImage& image, const std::string& fileName);

enum class ImageType { Unknown, Png, Jpeg, Bmp };
// The type a file name's extension chooses, ignoring case: .png, .jpg or
// .jpeg, .bmp; anything else is Unknown.
ImageType imageTypeOf(const std::string& fileName);

// Chooses the format by the extension, ignoring case: .png, .jpg or .jpeg,
// .bmp; anything else is refused.
ExportResult saveImage(const QImage& image, const std::string& fileName, Long quality);

} // namespace ombrix
