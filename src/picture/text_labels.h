// SPDX-License-Identifier: GPL-3.0-or-later
// The rules of the 48 text labels and of the text sets they show, as plain
// functions over the record: which set is free, what a label's caption is,
// where an added or changed set goes, how a drag or a nudge moves a set.
// Positions are the record's logical pixels (as at scale 1) throughout; the
// windows convert to device pixels only where they draw.
#pragma once

#include "model/image_params.h"

#include <QFont>
#include <QPoint>
#include <QSize>
#include <QString>

#include <array>
#include <string>

namespace ombrix
{

// Which point of a text stays where it is when the set is placed or resized.
enum class TextAlign { Left, Centre, Right };

// The first set whose three slots all hold the empty string; kTextSets when
// every set is in use (a set with only a highlight text is in use).
int mVacantTextSetIndex(const ImageParams& p);

// A label's caption: the text with one space appended unless it already
// ends in one, so the last letter of an italic text stays inside the label.
std::string labelCaption(const std::string& text);

// The box a caption takes in a font: its advance and the font's line height,
// in the font's pixels.
QSize captionSize(const QFont& font, const QString& caption);

// A position held to the record's 16-bit range: a text pushed past it stops
// at the edge rather than wrapping round or failing.
Integer clampPosition(double value);

// Where a new set's main text goes when the user clicked (x, y) and the
// sample is w x h: the click becomes the text's left end, middle or right
// end, vertically centred.
QPoint addedTextPosition(TextAlign align, int x, int y, int w, int h);

// The main text's new top left after its size changed from `before` to
// `now`: the left end, middle or right end and the vertical middle stay.
QPoint modifiedTextPosition(TextAlign align, QPoint old, QSize now, QSize before);

// Puts set k's main text at (left, top) and its copies at their offsets on
// the diagonal, in the record.  Every position is held to the 16-bit range.
void placeTextSet(ImageParams& p, int k, double left, double top);

// Moves the three slots of set k by (dx, dy), each held to the range.
void nudgeTextSet(ImageParams& p, int k, int dx, int dy);

// The arrow keys' step: 2 with Shift alone, 5 with Shift and Ctrl, else 1.
int nudgeStep(bool shift, bool ctrl, bool alt);

// The text properties dialog's private copy of one set, filled when the
// dialog opens.  Colours are not in it: the colour picker edits them in the
// record, and `savedColours` is what Cancel writes back.
struct TextSetWork {
    std::array<std::string, 3> text;
    std::array<std::string, 3> font;
    std::array<Integer, 3> size{};
    std::array<std::array<Integer, kTextStyles>, 3> style{};
    std::array<Colour, 3> savedColours{};
    Integer highlightOffset = 0;
    Integer shadowOffset = 0;
};

TextSetWork mReceivePublicVal(const ImageParams& p, int k);

// OK's writing: the main text at `mainPos`, the offsets, the copies at them,
// texts, fonts, sizes and styles; with both offsets 0 the copies take the
// main text's colour (they would only hide it otherwise).
void applyTextSet(ImageParams& p, int k, const TextSetWork& w, QPoint mainPos);

// Cancel's writing: the colours as they were when the dialog opened.
void restoreTextColours(ImageParams& p, int k, const TextSetWork& w);

// Makes set k vacant: every slot at its preset, both offsets 0.
void mRemoveTextSet(ImageParams& p, int k);

// The size box's text as a font size: a number below 6 or above 200, or no
// number at all, gives 18.
Integer fontSizeFromText(const QString& text);

// True when some slot holds a text that is not blank.
bool anyTextShown(const ImageParams& p);

} // namespace ombrix
