// SPDX-License-Identifier: GPL-3.0-or-later
// Windows-1252, the single-byte code page in which parameter files store
// their texts and font names.  In memory every text is UTF-8.
//
// The conversion is lossless for every byte of a file: the five bytes that
// Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1
// control characters of the same value, so any byte string read from a file
// becomes UTF-8 and converts back to the very same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ombrix
{

// The Unicode code point of one Windows-1252 byte.
char32_t cp1252ToCodePoint(std::uint8_t byte);

// The Windows-1252 byte of a code point, or -1 when the code page cannot hold it.
int codePointToCp1252(char32_t cp);

// Windows-1252 bytes to UTF-8.  Never fails.
std::string cp1252ToUtf8(std::string_view bytes);

// UTF-8 to Windows-1252 bytes.  A character the code page cannot hold becomes
// '?', and so does every byte of a malformed UTF-8 sequence.
std::string utf8ToCp1252(std::string_view utf8);

} // namespace ombrix
