// SPDX-License-Identifier: GPL-3.0-or-later
// The parameter file (".obp"): everything that defines an image, as a flat
// little-endian record stream with no header, no version and no padding.
//
// Layout, in file order (offsets of the fixed part; strings make the rest
// move):
//
//   Image record, 22 bytes, offset 0
//     0  int16   pnImageLeft   (twips)
//     2  int16   pnImageTop    (twips)
//     4  uint16  pnImageWidth  (twips; never negative, so unsigned)
//     6  uint16  pnImageHeight (twips; never negative, so unsigned)
//     8  int16   pnPattern
//    10  int16   pnRotation
//    12  int16   packed slant = pnVerOrgOffset * 100 + pnSlantRate
//    14  int16   pnHump
//    16  int16   pnHorRep
//    18  int16   pnVerRep
//    20  int16   pnRainbow
//   Colour records, 3 x 12 bytes, offset 22: int32 red, green, blue
//   Text records, 48, offset 58, each 30 bytes plus its two strings:
//          string  psText      (int16 byte count, then Windows-1252 bytes)
//          string  psTextFont
//          int16   pnTextSize
//          int32   red, green, blue of plTextColor
//          int16   bold, italic, underline, strikethrough (pnTextStyle 0..3)
//          int16   pnTextLeft
//          int16   pnTextTop
//   Border records, 4 x 14 bytes, right after text 47:
//          int16   pnBorderSize, then int32 red, green, blue
//
// Nothing follows the last border record; a reader ignores any bytes there.
// The fifth style switch and the derived text-set offsets are not stored.
// A file whose texts are all empty and whose fonts are all "Arial" is 1794
// bytes long.
#pragma once

#include "model/image_params.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ombrix
{

namespace obp
{
constexpr std::size_t kImageRecordSize = 22;
constexpr std::size_t kColourRecordSize = 12;
constexpr std::size_t kTextRecordFixedSize = 30; // both length words included
constexpr std::size_t kBorderRecordSize = 14;
constexpr std::size_t kMaxStringBytes = 32767; // a stored length is a signed int16

// A file of 96 empty strings, and one where every string has its largest size.
constexpr std::size_t kMinFileSize = kImageRecordSize + kColours * kColourRecordSize +
                                     kTextSlots * kTextRecordFixedSize +
                                     kBorders * kBorderRecordSize;
constexpr std::size_t kMaxFileSize = kMinFileSize + 2 * kTextSlots * kMaxStringBytes;
} // namespace obp

// The outcome of a read or a write.  `checkpoint` is the text of the step
// under way when it ended ("MARD01".."MARD12" for reads, with the number
// lines behind "MARD08" and "MARD10"; "Error at SaveData 001".."012" for
// writes); `message` is one English line saying what went wrong, empty on
// success; ReadData and SaveData name the file in it and give the system's
// reason ("cannot write "sky.obp": No space left on device").  Records are
// counted from 0 in messages (text records 0..47, border records 0..3,
// colour records 0..2).
struct ParamFileResult {
    bool ok = false;
    std::string checkpoint;
    std::string message;
};

// Decodes the bytes of a parameter file into `params`.  All or nothing: on any
// failure `params` keeps every value it had.  On success the record holds the
// file's values with the slant unpacked (mGetSlant), the rainbow choices
// derived (a mode outside 0..4 leaves them), a text of exactly one blank made
// empty, the text-set offsets recomputed and every range repaired
// (mCheckParams).  The fifth style switch keeps its current value.
ParamFileResult decodeParams(const std::uint8_t* data, std::size_t size, ImageParams& params);

// Reads the file at `path` (the system's file-name bytes, see safe_file.h)
// and decodes it as above.  At most obp::kMaxFileSize bytes are read,
// whatever the file's length.
ParamFileResult ReadData(const std::string& path, ImageParams& params);

// The exact bytes of the parameter file of `params`.  Window width and height
// are clamped to 0..65535, the packed slant to the int16 range; texts are
// written in Windows-1252 ('?' for what it cannot hold), each cut to 32767
// bytes.
std::vector<std::uint8_t> encodeParams(const ImageParams& params);

// Writes the parameter file of `params` to `path` (file-name bytes) through a
// SafeFile: the file then holds exactly the new content, or, when anything
// fails, the old file is left untouched and nothing is left beside it.
ParamFileResult SaveData(const std::string& path, const ImageParams& params);

// The part of `path` up to and including its last "/"; the program folder
// when `path` holds no "/".
std::string mGetFolder(const std::string& path, const std::string& programFolder);

} // namespace ombrix
