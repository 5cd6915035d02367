// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/params_json.h"

#include <cstdio>
#include <sstream>

namespace ombrix
{

std::string jsonString(const std::string& text)
{
    std::string out = "\"";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += ch; // UTF-8 passes through unchanged
            }
        }
    }
    return out + "\"";
}

namespace
{

std::string rgbArray(const Colour& c)
{
    std::ostringstream s;
    s << '[' << c[0] << ", " << c[1] << ", " << c[2] << ']';
    return s.str();
}

} // namespace

std::string paramsToJson(const ImageParams& p)
{
    // Every field of the record, named in declaration order, so that a field
    // added to ImageParams stops this from compiling until the JSON view has
    // been given it.  The text-set offsets are derived from the positions and
    // are left out on purpose.
    [[maybe_unused]] const auto& [pnImageLeft, pnImageTop, pnImageWidth, pnImageHeight, pnPattern,
                                  pnRotation, pnSlantRate, pnVerOrgOffset, pnHump, pnHorRep,
                                  pnVerRep, pnRainbow, pnRainbowPalette, pnRainbowInverse, plColor,
                                  psText, psTextFont, pnTextSize, pnTextLeft, pnTextTop,
                                  pnTextStyle, plTextColor, pnHighlightOffset, pnShadowOffset,
                                  pnBorderSize, plBorderColor] = p;
    std::ostringstream s;
    s << "{\n";
    auto field = [&](const char* name, long value) {
        s << "  \"" << name << "\": " << value << ",\n";
    };
    field("pnImageLeft", pnImageLeft);
    field("pnImageTop", pnImageTop);
    field("pnImageWidth", pnImageWidth);
    field("pnImageHeight", pnImageHeight);
    field("pnPattern", pnPattern);
    field("pnRotation", pnRotation);
    field("pnSlantRate", pnSlantRate);
    field("pnVerOrgOffset", pnVerOrgOffset);
    field("pnHump", pnHump);
    field("pnHorRep", pnHorRep);
    field("pnVerRep", pnVerRep);
    field("pnRainbow", pnRainbow);
    field("pnRainbowPalette", pnRainbowPalette);
    field("pnRainbowInverse", pnRainbowInverse);
    s << "  \"plColor\": [" << rgbArray(plColor[0]) << ", " << rgbArray(plColor[1]) << ", "
      << rgbArray(plColor[2]) << "],\n";
    s << "  \"texts\": [\n";
    for (int t = 0; t < kTextSlots; ++t) {
        const auto& st = pnTextStyle[t];
        s << "    {\"psText\": " << jsonString(psText[t])
          << ", \"psTextFont\": " << jsonString(psTextFont[t])
          << ", \"pnTextSize\": " << pnTextSize[t] << ", \"pnTextLeft\": " << pnTextLeft[t]
          << ", \"pnTextTop\": " << pnTextTop[t] << ", \"pnTextStyle\": [" << st[0] << ", " << st[1]
          << ", " << st[2] << ", " << st[3] << ", " << st[4]
          << "], \"plTextColor\": " << rgbArray(plTextColor[t]) << '}'
          << (t + 1 < kTextSlots ? ",\n" : "\n");
    }
    s << "  ],\n  \"borders\": [\n";
    for (int b = 0; b < kBorders; ++b)
        s << "    {\"pnBorderSize\": " << pnBorderSize[b]
          << ", \"plBorderColor\": " << rgbArray(plBorderColor[b]) << '}'
          << (b + 1 < kBorders ? ",\n" : "\n");
    s << "  ]\n}\n";
    return s.str();
}

} // namespace ombrix
