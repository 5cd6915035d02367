// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/text_labels.h"

#include <QFontMetrics>

#include <algorithm>
#include <cmath>

namespace ombrix
{

int mVacantTextSetIndex(const ImageParams& p)
{
    for (int k = 0; k < kTextSets; ++k) {
        const int t = 3 * k;
        if (p.psText[t].empty() && p.psText[t + 1].empty() && p.psText[t + 2].empty())
            return k;
    }
    return kTextSets;
}

std::string labelCaption(const std::string& text)
{
    if (!text.empty() && text.back() == ' ')
        return text;
    return text + ' ';
}

QSize captionSize(const QFont& font, const QString& caption)
{
    const QFontMetrics fm(font);
    return {fm.horizontalAdvance(caption), fm.height()};
}

Integer clampPosition(double value)
{
    if (std::isnan(value))
        return 0;
    return static_cast<Integer>(std::clamp(num::roundHalfEven(value), -32768.0, 32767.0));
}

QPoint addedTextPosition(TextAlign align, int x, int y, int w, int h)
{
    const double dx = align == TextAlign::Left ? 0.0 : align == TextAlign::Centre ? w / 2.0 : w;
    // Each quotient goes to the nearest whole pixel (halves to even) before
    // it is taken from the click point.
    return {clampPosition(x - num::roundHalfEven(dx)),
            clampPosition(y - num::roundHalfEven(h / 2.0))};
}

QPoint modifiedTextPosition(TextAlign align, QPoint old, QSize now, QSize before)
{
    const double grow = now.width() - before.width();
    const double dx = align == TextAlign::Left     ? 0.0
                      : align == TextAlign::Centre ? grow / 2.0
                                                   : grow;
    const double dy = (now.height() - before.height()) / 2.0;
    return {clampPosition(old.x() - num::roundHalfEven(dx)),
            clampPosition(old.y() - num::roundHalfEven(dy))};
}

void placeTextSet(ImageParams& p, int k, double left, double top)
{
    const int t = 3 * k;
    const Integer l = clampPosition(left), tp = clampPosition(top);
    p.pnTextLeft[t] = l;
    p.pnTextTop[t] = tp;
    // One offset serves both axes: the copies lie on the diagonal.
    const Integer offsets[2] = {p.pnHighlightOffset[k], p.pnShadowOffset[k]};
    for (int c = 0; c < 2; ++c) {
        p.pnTextLeft[t + 1 + c] = clampPosition(static_cast<double>(l) + offsets[c]);
        p.pnTextTop[t + 1 + c] = clampPosition(static_cast<double>(tp) + offsets[c]);
    }
}

void nudgeTextSet(ImageParams& p, int k, int dx, int dy)
{
    for (int t = 3 * k; t < 3 * k + 3; ++t) {
        p.pnTextLeft[t] = clampPosition(static_cast<double>(p.pnTextLeft[t]) + dx);
        p.pnTextTop[t] = clampPosition(static_cast<double>(p.pnTextTop[t]) + dy);
    }
}

int nudgeStep(bool shift, bool ctrl, bool alt)
{
    if (shift && !ctrl && !alt)
        return 2;
    if (shift && ctrl && !alt)
        return 5;
    return 1;
}

TextSetWork mReceivePublicVal(const ImageParams& p, int k)
{
    TextSetWork w;
    const int t = 3 * k;
    for (int j = 0; j < 3; ++j) {
        w.text[j] = p.psText[t + j];
        w.font[j] = p.psTextFont[t + j];
        w.size[j] = p.pnTextSize[t + j];
        w.style[j] = p.pnTextStyle[t + j];
        w.savedColours[j] = p.plTextColor[t + j];
    }
    w.highlightOffset = num::clampInteger(p.pnTextLeft[t + 1] - p.pnTextLeft[t]);
    w.shadowOffset = num::clampInteger(p.pnTextLeft[t + 2] - p.pnTextLeft[t]);
    return w;
}

void applyTextSet(ImageParams& p, int k, const TextSetWork& w, QPoint mainPos)
{
    const int t = 3 * k;
    p.pnHighlightOffset[k] = w.highlightOffset;
    p.pnShadowOffset[k] = w.shadowOffset;
    placeTextSet(p, k, mainPos.x(), mainPos.y());
    for (int j = 0; j < 3; ++j) {
        p.psText[t + j] = w.text[j];
        p.psTextFont[t + j] = w.font[j];
        p.pnTextSize[t + j] = w.size[j];
        p.pnTextStyle[t + j] = w.style[j];
    }
    if (w.highlightOffset == 0 && w.shadowOffset == 0)
        p.plTextColor[t + 1] = p.plTextColor[t + 2] = p.plTextColor[t];
}

void restoreTextColours(ImageParams& p, int k, const TextSetWork& w)
{
    for (int j = 0; j < 3; ++j)
        p.plTextColor[3 * k + j] = w.savedColours[j];
}

void mRemoveTextSet(ImageParams& p, int k)
{
    for (int t = 3 * k; t < 3 * k + 3; ++t) {
        // The fifth style switch is not the dialog's: it stays as it was.
        const Integer fifth = p.pnTextStyle[t][4];
        p.resetTextSlot(t);
        p.pnTextStyle[t][4] = fifth;
    }
    p.pnHighlightOffset[k] = 0;
    p.pnShadowOffset[k] = 0;
}

Integer fontSizeFromText(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || std::isnan(value))
        return 18;
    const double size = num::roundHalfEven(value);
    return size < 6 || size > 200 ? Integer{18} : static_cast<Integer>(size);
}

bool anyTextShown(const ImageParams& p)
{
    return std::any_of(p.psText.begin(), p.psText.end(), [](const std::string& s) {
        return s.find_first_not_of(' ') != std::string::npos;
    });
}

} // namespace ombrix
