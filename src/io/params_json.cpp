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
    std::ostringstream s;
    s << "{\n";
    auto field = [&](const char* name, long value) {
        s << "  \"" << name << "\": " << value << ",\n";
    };
    field("pnImageLeft", p.pnImageLeft);
    field("pnImageTop", p.pnImageTop);
    field("pnImageWidth", p.pnImageWidth);
    field("pnImageHeight", p.pnImageHeight);
    field("pnPattern", p.pnPattern);
    field("pnRotation", p.pnRotation);
    field("pnSlantRate", p.pnSlantRate);
    field("pnVerOrgOffset", p.pnVerOrgOffset);
    field("pnHump", p.pnHump);
    field("pnHorRep", p.pnHorRep);
    field("pnVerRep", p.pnVerRep);
    field("pnRainbow", p.pnRainbow);
    field("pnRainbowPalette", p.pnRainbowPalette);
    field("pnRainbowInverse", p.pnRainbowInverse);
    s << "  \"plColor\": [" << rgbArray(p.plColor[0]) << ", " << rgbArray(p.plColor[1]) << ", "
      << rgbArray(p.plColor[2]) << "],\n";
    s << "  \"texts\": [\n";
    for (int t = 0; t < kTextSlots; ++t) {
        const auto& st = p.pnTextStyle[t];
        s << "    {\"psText\": " << jsonString(p.psText[t])
          << ", \"psTextFont\": " << jsonString(p.psTextFont[t])
          << ", \"pnTextSize\": " << p.pnTextSize[t] << ", \"pnTextLeft\": " << p.pnTextLeft[t]
          << ", \"pnTextTop\": " << p.pnTextTop[t] << ", \"pnTextStyle\": [" << st[0] << ", "
          << st[1] << ", " << st[2] << ", " << st[3] << ", " << st[4]
          << "], \"plTextColor\": " << rgbArray(p.plTextColor[t]) << '}'
          << (t + 1 < kTextSlots ? ",\n" : "\n");
    }
    s << "  ],\n  \"borders\": [\n";
    for (int b = 0; b < kBorders; ++b)
        s << "    {\"pnBorderSize\": " << p.pnBorderSize[b]
          << ", \"plBorderColor\": " << rgbArray(p.plBorderColor[b]) << '}'
          << (b + 1 < kBorders ? ",\n" : "\n");
    s << "  ]\n}\n";
    return s.str();
}

} // namespace ombrix
