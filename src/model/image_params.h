// SPDX-License-Identifier: GPL-3.0-or-later
// The image parameters: everything that defines an image.  An image is never
// kept as pixels; it is drawn again from this record whenever it is shown.
// The record is what a parameter file holds, what one undo shot copies and
// what the four presets set.  Plain C++: no Qt, no screen.
#pragma once

#include "model/numeric.h"

#include <array>
#include <string>
#include <tuple>

namespace ombrix
{

constexpr int kColours = 3;    // colour row: 0 left/centre, 1 middle, 2 right/brim
constexpr int kTextSlots = 48; // 16 text sets of main text, highlight, shadow
constexpr int kTextSets = 16;
constexpr int kTextStyles = 5; // bold, italic, underline, strikethrough, and a fifth switch
constexpr int kBorders = 4;    // top, left, bottom, right
constexpr int kPatterns = 12;

using Colour = std::array<Long, 3>; // red, green, blue, each 0..255

// Pattern indices, as stored in pnPattern.
enum Pattern : Integer {
    kLinearGradient = 0,
    kShadedEllipse = 1,
    kClearcutEllipse = 2,
    kShadedRectangle = 3,
    kCrossingPleats = 4,
    kPlainBackground = 5,
    kShadedCircle = 6,
    kClearcutCircle = 7,
    kSandglass = 8,
    kShadedSemicircle = 9,
    kShadedDiamond = 10,
    kClearcutDiamond = 11,
};

// Short caption of each pattern's option button, and its full name (tooltip).
extern const std::array<const char*, kPatterns> kPatternCaptions;
extern const std::array<const char*, kPatterns> kPatternNames;

struct ImageParams {
    // Image window geometry, in twips.  Width and height are never negative
    // and are kept as unsigned 16-bit values in parameter files, so they are
    // held here in a wider type than the other Integer fields.
    Integer pnImageLeft = 0;
    Integer pnImageTop = 0;
    Long pnImageWidth = 0;  // 0..65535
    Long pnImageHeight = 0; // 0..65535

    Integer pnPattern = kShadedEllipse; // 0..11
    Integer pnRotation = 1;             // +1 along the width, -1 along the height
    Integer pnSlantRate = 0;            // horizontal slider, -10..10
    Integer pnVerOrgOffset = 0;         // vertical slider, -10..10
    Integer pnHump = 10;                // mid colour position in twentieths, 0..20
    Integer pnHorRep = 1;               // 1..10
    Integer pnVerRep = 1;               // 1..6
    Integer pnRainbow = 0;              // 0 colour row, 1..4 rainbow palettes
    Integer pnRainbowPalette = 1;       // option index in the rainbow window, 0 or 1
    Integer pnRainbowInverse = 0;       // 1 when the rainbow runs in reverse

    std::array<Colour, kColours> plColor{};

    // Text slots; slot 3k is the main text of set k, 3k+1 its highlight,
    // 3k+2 its shadow.  Texts are held as UTF-8.
    std::array<std::string, kTextSlots> psText{};
    std::array<std::string, kTextSlots> psTextFont{};
    std::array<Integer, kTextSlots> pnTextSize{};
    std::array<Integer, kTextSlots> pnTextLeft{};
    std::array<Integer, kTextSlots> pnTextTop{};
    std::array<std::array<Integer, kTextStyles>, kTextSlots> pnTextStyle{};
    std::array<Colour, kTextSlots> plTextColor{};

    // Derived per text set, never stored: highlight and shadow offsets from
    // the main text's left edge (one offset serves both axes).
    std::array<Integer, kTextSets> pnHighlightOffset{};
    std::array<Integer, kTextSets> pnShadowOffset{};

    std::array<Integer, kBorders> pnBorderSize{}; // 0..100, 0 = no border
    std::array<Colour, kBorders> plBorderColor{};

    // Forces out-of-range colour, text and border fields to safe values
    // (pattern, repetition, slant, hump, rainbow and positions are not tested).
    void mCheckParams();

    // Splits the packed slant (pnVerOrgOffset * 100 + pnSlantRate, as read from
    // a parameter file into pnSlantRate) back into the two slider values.
    void mGetSlant();

    // The packed slant that a parameter file stores.  Computed in 32 bits;
    // the caller narrows it to the stored Integer.
    Long packedSlant() const { return static_cast<Long>(pnVerOrgOffset) * 100 + pnSlantRate; }

    // Derives pnRainbowPalette and pnRainbowInverse from a stored pnRainbow;
    // a value outside 0..4 leaves both unchanged.
    void deriveRainbowChoices();

    // The rainbow mode for the current palette choices with the rainbow check
    // box ticked (true) or clear (false).
    Integer rainbowMode(bool checked) const
    {
        return checked ? static_cast<Integer>(3 - 2 * pnRainbowPalette + pnRainbowInverse)
                       : Integer{0};
    }

    // Recomputes the per-set highlight and shadow offsets from the positions.
    void recomputeTextOffsets();

    // Resets text slot t to the preset values of its role.
    void resetTextSlot(int t);

    bool operator==(const ImageParams& o) const;
    bool operator!=(const ImageParams& o) const { return !(*this == o); }
};

// Every field of the record, in declaration order, for whole-record work
// such as comparison.  The structured binding has to name each field, so a
// field added to the record and not here fails to compile.
inline auto recordFields(const ImageParams& p)
{
    const auto& [pnImageLeft, pnImageTop, pnImageWidth, pnImageHeight, pnPattern, pnRotation,
                 pnSlantRate, pnVerOrgOffset, pnHump, pnHorRep, pnVerRep, pnRainbow,
                 pnRainbowPalette, pnRainbowInverse, plColor, psText, psTextFont, pnTextSize,
                 pnTextLeft, pnTextTop, pnTextStyle, plTextColor, pnHighlightOffset, pnShadowOffset,
                 pnBorderSize, plBorderColor] = p;
    return std::tie(pnImageLeft, pnImageTop, pnImageWidth, pnImageHeight, pnPattern, pnRotation,
                    pnSlantRate, pnVerOrgOffset, pnHump, pnHorRep, pnVerRep, pnRainbow,
                    pnRainbowPalette, pnRainbowInverse, plColor, psText, psTextFont, pnTextSize,
                    pnTextLeft, pnTextTop, pnTextStyle, plTextColor, pnHighlightOffset,
                    pnShadowOffset, pnBorderSize, plBorderColor);
}

inline bool ImageParams::operator==(const ImageParams& o) const
{
    return recordFields(*this) == recordFields(o);
}

// What the colour picker edits: a colour box of the colour row, a border or
// a text slot.
enum class ColourTarget : Integer { ColourBox = 0, Border = 1, TextSlot = 2 };

// Values shared by the windows that are not part of an image.
struct SharedValues {
    Integer Tppx = 15; // twips per screen pixel (15 at 96 DPI)
    Integer Tppy = 15;
    Integer pnMinRepPixels = 12; // smallest tile kept by the image window
    Integer pnColorIndex = 0;    // colour box edited by the colour picker
    ColourTarget pnColorTarget = ColourTarget::ColourBox;
    Integer pnBorderIndex = 0;
    Integer pnTextSetIndex = 0;
    Integer pnTextIndex = 0;
    Integer pnCaptionHeight = 0;
    std::array<Integer, 6> pnShowTip{1, 1, 1, 1, 1, 1};
};

// The one image of a run, with the shared editing values beside it.  Owned by
// the application and handed to whoever needs it; tests build their own.
struct ImageModel {
    ImageParams params;
    SharedValues shared;

    // Sets the record to preset 0 (new image), 1, 2 or 3 (start-up).  An
    // argument outside 0..3 keeps pattern, colours, repetition, slant, hump
    // and rainbow, but texts and borders are always reset.  Window geometry,
    // pnRotation and the undo history are never touched.
    void mSetDefaults(int nPreset);

    // The colour the picker edits: pnColorTarget with its index (colour box
    // pnColorIndex, border pnBorderIndex or text slot pnTextIndex), an index
    // out of range held to the nearest one.
    Colour& targetColour();
};

} // namespace ombrix
