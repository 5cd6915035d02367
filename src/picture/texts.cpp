// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/texts.h"

#include "model/image_geometry.h"
#include "render/qimage_surface.h"

#include <QPainter>
#include <QString>

#include <algorithm>
#include <cmath>

namespace ombrix
{

QFont textFont(const ImageParams& p, int t, double dpi)
{
    return textFont(p.psTextFont[t], p.pnTextSize[t], p.pnTextStyle[t], dpi);
}

QFont textFont(const std::string& name, Integer size, const std::array<Integer, kTextStyles>& style,
               double dpi)
{
    // A font the machine lacks is drawn with Qt's fallback; the record keeps
    // its name, so a file saved here still names it.
    QFont font(QString::fromStdString(name));
    // The size is checked on every read, but a record built in memory may
    // still hold anything; a zero or negative pixel size would be ignored.
    const int points = size >= 1 ? size : 18;
    font.setPixelSize(std::max(1, static_cast<int>(num::roundHalfEven(points * dpi / 72.0))));
    font.setBold(style[0] == 1);
    font.setItalic(style[1] == 1);
    font.setUnderline(style[2] == 1);
    font.setStrikeOut(style[3] == 1);
    return font;
}

int textPositionAt(Integer logical, double dpi)
{
    return toDeviceLength(logical, dpi / 96.0);
}

void mPrintTexts(QImage& picture, const ImageParams& p, double dpi)
{
    if (picture.isNull())
        return;
    QPainter painter(&picture);
    for (int t = kTextSlots - 1; t >= 0; --t) {
        if (p.psText[t].empty())
            continue;
        const Colour& c = p.plTextColor[t];
        painter.setFont(textFont(p, t, dpi));
        painter.setPen(QColor(toQRgb(num::rgb(c[0], c[1], c[2]))));
        // A rectangle far larger than any text: the text is laid out from its
        // top left corner exactly as a label places its caption.
        const QRect area(textPositionAt(p.pnTextLeft[t], dpi), textPositionAt(p.pnTextTop[t], dpi),
                         1 << 20, 1 << 20);
        painter.drawText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                         QString::fromStdString(p.psText[t]));
    }
}

} // namespace ombrix
