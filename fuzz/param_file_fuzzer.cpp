// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer entry point for the parameter file reader.
//
// Properties checked on every input:
//   - decoding never crashes and never reads outside the input;
//   - a failed decode leaves the record exactly as it was and says why;
//   - a successful decode encodes to a file that decodes to the same record;
//   - the input taken as UTF-8 text converts to Windows-1252 bytes that come
//     back unchanged through UTF-8.
#include "io/cp1252.h"
#include "io/param_file.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

using namespace ombrix;

namespace
{

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "property violated: %s\n", what);
    std::abort();
}

// A starting record with non-default values everywhere a decode might forget
// to write or might write where it should not.
ImageParams startingRecord()
{
    ImageModel m;
    m.mSetDefaults(2);
    ImageParams& p = m.params;
    p.pnImageLeft = 111;
    p.pnImageTop = -222;
    p.pnImageWidth = 33333;
    p.pnImageHeight = 4444;
    p.pnRotation = -1;
    p.pnRainbowPalette = 0;
    p.pnRainbowInverse = 1;
    for (int t = 0; t < kTextSlots; ++t) {
        p.psText[t] = "before";
        p.pnTextStyle[t] = {1, 1, 0, 1, 1};
        p.pnTextLeft[t] = static_cast<Integer>(t * 7);
    }
    p.pnBorderSize = {3, 4, 5, 6};
    p.recomputeTextOffsets();
    return p;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Nothing past the largest valid file is ever read; a little more keeps
    // "bytes after the last record" in reach.
    if (size > obp::kMaxFileSize + 64)
        return 0;

    static const ImageParams start = startingRecord();
    ImageParams p = start;
    const ParamFileResult r = decodeParams(data, size, p);
    if (!r.ok) {
        if (p != start || p.pnTextStyle != start.pnTextStyle)
            fail("a failed decode changed the record");
        if (r.checkpoint.empty() || r.message.empty())
            fail("a failed decode did not say where or why");
    } else {
        const std::vector<std::uint8_t> again = encodeParams(p);
        ImageParams q = p;
        const ParamFileResult r2 = decodeParams(again.data(), again.size(), q);
        if (!r2.ok)
            fail("the encoding of a decoded record does not decode");
        if (q != p)
            fail("the encoding of a decoded record decodes to another record");
    }

    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string bytes = utf8ToCp1252(text);
    if (utf8ToCp1252(cp1252ToUtf8(bytes)) != bytes)
        fail("Windows-1252 bytes did not survive the trip through UTF-8");
    return 0;
}
