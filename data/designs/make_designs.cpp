// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the sample designs that are installed with the program, through the
// program's own record and parameter file writer, so that they are exactly
// what a user would get by saving these images.
// Usage: ombrix_make_designs FOLDER
#include "io/param_file.h"
#include "model/image_geometry.h"
#include "model/image_params.h"
#include "picture/text_labels.h"

#include <QPoint>

#include <cstdio>
#include <string>

namespace
{

using namespace ombrix;

enum Style { Plain = 0, Bold = 1, Italic = 2, BoldItalic = 3 };

// A text set as the text properties dialog's OK writes it: the text, its
// size and style, the colours of the text, highlight and shadow, their
// offsets, and the place of the text's top left in the image.
void addText(ImageParams& p, int set, const char* text, int size, Style style, Colour colour,
             Colour highlight, Colour shadow, Integer highlightOffset, Integer shadowOffset,
             int left, int top)
{
    TextSetWork w;
    for (int j = 0; j < 3; ++j) {
        w.text[j] = text;
        w.font[j] = "Arial";
        w.size[j] = static_cast<Integer>(size);
        w.style[j] = {};
        w.style[j][0] = (style & Bold) != 0 ? 1 : 0;
        w.style[j][1] = (style & Italic) != 0 ? 1 : 0;
    }
    w.highlightOffset = highlightOffset;
    w.shadowOffset = shadowOffset;
    const int slot = 3 * set;
    p.plTextColor[slot] = colour;
    p.plTextColor[slot + 1] = highlight;
    p.plTextColor[slot + 2] = shadow;
    applyTextSet(p, set, w, QPoint(left, top));
}

ImageModel startFrom(int preset)
{
    ImageModel m;
    m.mSetDefaults(preset);
    m.params.pnRotation = 1;
    m.params.pnHorRep = 1;
    m.params.pnVerRep = 1;
    return m;
}

ImageParams dawn()
{
    ImageModel m = startFrom(3);
    ImageParams& p = m.params;
    storeNewImageGeometry(p, {640, 400});
    p.pnPattern = kLinearGradient;
    p.pnRotation = -1;
    p.pnHump = 8;
    p.plColor = {Colour{25, 25, 112}, Colour{255, 140, 80}, Colour{255, 236, 179}};
    addText(p, 0, "Good Morning", 40, Bold, Colour{255, 255, 255}, Colour{255, 220, 160},
            Colour{60, 30, 60}, -1, 3, 170, 150);
    return p;
}

ImageParams oceanRings()
{
    ImageModel m = startFrom(3);
    ImageParams& p = m.params;
    storeNewImageGeometry(p, {600, 400});
    p.pnPattern = kShadedCircle;
    p.pnHump = 12;
    p.plColor = {Colour{0, 30, 80}, Colour{0, 150, 200}, Colour{220, 250, 255}};
    for (int b = 0; b < kBorders; ++b) {
        p.pnBorderSize[b] = 12;
        p.plBorderColor[b] = Colour{0, 20, 50};
    }
    return p;
}

ImageParams rainbowPleats()
{
    ImageModel m = startFrom(1);
    ImageParams& p = m.params;
    storeNewImageGeometry(p, {640, 360});
    p.pnPattern = kCrossingPleats;
    p.pnHorRep = 2;
    p.pnRainbow = 1;
    p.deriveRainbowChoices();
    return p;
}

ImageParams framedDiamond()
{
    ImageModel m = startFrom(3);
    ImageParams& p = m.params;
    storeNewImageGeometry(p, {500, 500});
    p.pnPattern = kShadedDiamond;
    p.pnHump = 6;
    p.plColor = {Colour{40, 0, 60}, Colour{200, 60, 160}, Colour{255, 230, 250}};
    const Colour gold{212, 175, 55};
    for (int b = 0; b < kBorders; ++b) {
        p.pnBorderSize[b] = 24;
        p.plBorderColor[b] = gold;
    }
    addText(p, 0, "Ombrix", 56, Bold, Colour{255, 255, 255}, Colour{255, 255, 255},
            Colour{40, 0, 60}, 0, 4, 125, 200);
    return p;
}

ImageParams nightTitle()
{
    ImageModel m = startFrom(3);
    ImageParams& p = m.params;
    storeNewImageGeometry(p, {720, 405});
    p.pnPattern = kShadedEllipse;
    p.pnHump = 14;
    p.plColor = {Colour{150, 190, 255}, Colour{30, 40, 110}, Colour{0, 0, 0}};
    addText(p, 0, "STARLIGHT", 60, Bold, Colour{250, 250, 210}, Colour{255, 255, 255},
            Colour{0, 0, 30}, -2, 4, 165, 140);
    addText(p, 1, "a gradient by night", 22, Italic, Colour{200, 210, 255}, Colour{200, 210, 255},
            Colour{200, 210, 255}, 0, 0, 255, 250);
    return p;
}

ImageParams sandglassTiles()
{
    ImageModel m = startFrom(3);
    ImageParams& p = m.params;
    storeNewImageGeometry(p, {600, 400});
    p.pnPattern = kSandglass;
    p.pnHorRep = 3;
    p.pnVerRep = 2;
    p.pnHump = 10;
    p.plColor = {Colour{20, 80, 40}, Colour{240, 240, 200}, Colour{120, 170, 60}};
    p.pnBorderSize = {6, 6, 6, 6};
    for (Colour& c : p.plBorderColor)
        c = Colour{250, 250, 240};
    return p;
}

ImageParams sunsetPostcard()
{
    ImageModel m = startFrom(3);
    ImageParams& p = m.params;
    storeNewImageGeometry(p, {640, 427});
    p.pnPattern = kShadedSemicircle;
    p.pnHump = 9;
    p.plColor = {Colour{90, 0, 60}, Colour{255, 94, 58}, Colour{255, 219, 88}};
    p.pnBorderSize = {0, 0, 40, 0};
    p.plBorderColor[2] = Colour{30, 10, 30};
    addText(p, 0, "Greetings from the Coast", 30, BoldItalic, Colour{255, 255, 255},
            Colour{255, 200, 120}, Colour{60, 0, 40}, -1, 2, 130, 60);
    addText(p, 1, "ombrix", 14, Plain, Colour{255, 230, 200}, Colour{255, 230, 200},
            Colour{255, 230, 200}, 0, 0, 560, 398);
    return p;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    const struct {
        const char* name;
        ImageParams params;
    } designs[] = {
        {"dawn", dawn()},
        {"ocean-rings", oceanRings()},
        {"rainbow-pleats", rainbowPleats()},
        {"framed-diamond", framedDiamond()},
        {"night-title", nightTitle()},
        {"sandglass-tiles", sandglassTiles()},
        {"sunset-postcard", sunsetPostcard()},
    };
    for (const auto& d : designs) {
        const ParamFileResult saved = SaveData(folder + "/" + d.name + ".obp", d.params);
        if (!saved.ok) {
            std::fprintf(stderr, "%s\n", saved.message.c_str());
            return 1;
        }
    }
    return 0;
}
