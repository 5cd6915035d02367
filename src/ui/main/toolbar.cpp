// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/toolbar.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace ombrix
{

namespace
{

// Icons are drawn rather than shipped, on a 24 x 24 grid.
const QColor kInk(40, 40, 60);
const QColor kBlue(70, 130, 210);

QLinearGradient sample()
{
    QLinearGradient grad(0, 0, 24, 24);
    grad.setColorAt(0, QColor(255, 120, 40));
    grad.setColorAt(0.5, QColor(255, 230, 90));
    grad.setColorAt(1, QColor(60, 110, 230));
    return grad;
}

void arrow(QPainter& g, bool left)
{
    QPainterPath path;
    const qreal s = left ? 1 : -1, c = 12;
    path.moveTo(c - s * 8, 12);
    path.lineTo(c - s * 1, 5);
    path.lineTo(c - s * 1, 9);
    path.lineTo(c + s * 8, 9);
    path.lineTo(c + s * 8, 15);
    path.lineTo(c - s * 1, 15);
    path.lineTo(c - s * 1, 19);
    path.closeSubpath();
    g.fillPath(path, kBlue);
    g.drawPath(path);
}

void paintNew(QPainter& g)
{
    QPainterPath page;
    page.moveTo(5, 2);
    page.lineTo(15, 2);
    page.lineTo(19, 6);
    page.lineTo(19, 22);
    page.lineTo(5, 22);
    page.closeSubpath();
    g.fillPath(page, Qt::white);
    g.drawPath(page);
}

void paintOpen(QPainter& g)
{
    g.fillRect(QRectF(2, 7, 20, 14), QColor(240, 200, 90));
    g.drawRect(QRectF(2, 7, 20, 14));
    g.drawLine(QPointF(2, 7), QPointF(8, 4));
    g.drawLine(QPointF(8, 4), QPointF(12, 7));
}

void paintSave(QPainter& g)
{
    g.fillRect(QRectF(3, 3, 18, 18), QColor(70, 100, 170));
    g.fillRect(QRectF(7, 3, 10, 7), Qt::white);
    g.fillRect(QRectF(6, 14, 12, 7), QColor(220, 220, 230));
    g.drawRect(QRectF(3, 3, 18, 18));
}

void paintCopy(QPainter& g)
{
    g.fillRect(QRectF(3, 3, 12, 14), Qt::white);
    g.drawRect(QRectF(3, 3, 12, 14));
    g.fillRect(QRectF(9, 8, 12, 14), sample());
    g.drawRect(QRectF(9, 8, 12, 14));
}

void paintUndo(QPainter& g)
{
    arrow(g, true);
}

void paintRedo(QPainter& g)
{
    arrow(g, false);
}

void paintShow(QPainter& g)
{
    g.fillRect(QRectF(2, 3, 20, 14), sample());
    g.drawRect(QRectF(2, 3, 20, 14));
    g.drawLine(QPointF(12, 17), QPointF(12, 21));
    g.drawLine(QPointF(7, 21), QPointF(17, 21));
}

void paintResize(QPainter& g)
{
    g.drawRect(QRectF(3, 9, 12, 12));
    g.drawLine(QPointF(10, 14), QPointF(21, 3));
    g.drawLine(QPointF(21, 3), QPointF(15, 3));
    g.drawLine(QPointF(21, 3), QPointF(21, 9));
}

void paintRotate(QPainter& g)
{
    g.setPen(QPen(kBlue, 3));
    g.drawArc(QRectF(4, 4, 16, 16), 90 * 16, 270 * 16);
    QPainterPath head;
    head.moveTo(12, 0);
    head.lineTo(17, 4);
    head.lineTo(12, 8);
    head.closeSubpath();
    g.fillPath(head, kBlue);
}

void paintBorders(QPainter& g)
{
    g.fillRect(QRectF(2, 2, 20, 20), QColor(170, 60, 60));
    g.fillRect(QRectF(6, 6, 12, 12), sample());
}

void paintText(QPainter& g)
{
    g.setFont(QFont("Liberation Serif", 15, QFont::Bold));
    g.drawText(QRectF(0, 0, 24, 24), Qt::AlignCenter, "A");
}

void paintGradtxt(QPainter& g)
{
    QPainterPath path;
    path.addText(3, 20, QFont("Liberation Sans", 16, QFont::Black), "G");
    g.fillPath(path, sample());
    g.drawPath(path);
}

void paintWallpaper(QPainter& g)
{
    g.fillRect(QRectF(2, 3, 20, 16), QColor(90, 150, 220));
    QPainterPath hill;
    hill.moveTo(2, 19);
    hill.lineTo(9, 10);
    hill.lineTo(14, 15);
    hill.lineTo(17, 12);
    hill.lineTo(22, 19);
    hill.closeSubpath();
    g.fillPath(hill, QColor(60, 150, 70));
    g.drawRect(QRectF(2, 3, 20, 16));
}

void paintAbout(QPainter& g)
{
    g.setBrush(kBlue);
    g.drawEllipse(QRectF(3, 3, 18, 18));
    g.setPen(Qt::white);
    g.setFont(QFont("Liberation Serif", 12, QFont::Bold));
    g.drawText(QRectF(3, 3, 18, 18), Qt::AlignCenter, "i");
}

void paintHelp(QPainter& g)
{
    g.setBrush(QColor(250, 210, 60));
    g.drawEllipse(QRectF(3, 3, 18, 18));
    g.setFont(QFont("Liberation Sans", 12, QFont::Bold));
    g.drawText(QRectF(3, 3, 18, 18), Qt::AlignCenter, "?");
}

} // namespace

// Buttons whose commands come with later work are listed as not available;
// the toolbar shows them greyed out.
constexpr std::array<ToolbarRow, 15> kToolbar = {{
    {ToolButton::New, "New", "New Image", paintNew, false, false, true},
    {ToolButton::Open, "Open", "Open Parameter Settings File", paintOpen, false, false, true},
    {ToolButton::Save, "Save", "Save", paintSave, false, true, true},
    {ToolButton::Copy, "Copy", "Copy Image", paintCopy, false, true, true},
    {ToolButton::Undo, "Undo", "Undo", paintUndo, false, false, true},
    {ToolButton::Redo, "Redo", "Redo", paintRedo, false, true, true},
    {ToolButton::Show, "Show", "Show Image on Main Screen", paintShow, false, true, true},
    {ToolButton::Resize, "Resize", "Resize", paintResize, false, false, true},
    {ToolButton::Rotate, "Rotate", "Rotate Image by 90 Degrees", paintRotate, true, true, true},
    {ToolButton::Borders, "Borders", "Add Borders", paintBorders, false, false, true},
    {ToolButton::Text, "Text", "Text", paintText, true, false, true},
    {ToolButton::Gradtxt, "Gradtxt", "Fill Text with Gradient Pattern", paintGradtxt, false, false,
     true},
    {ToolButton::Wallpaper, "Wallpaper", "Set Wallpaper", paintWallpaper, false, true, true},
    {ToolButton::About, "About", "About Ombrix", paintAbout, false, false, true},
    {ToolButton::Help, "Help", "Help", paintHelp, false, false, true},
}};

namespace
{
constexpr bool inButtonOrder(const std::array<ToolbarRow, 15>& rows)
{
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (static_cast<std::size_t>(rows[i].button) != i)
            return false;
    return true;
}
static_assert(inButtonOrder(kToolbar), "the rows follow ToolButton, one row per button");
} // namespace

const ToolbarRow& toolbarRow(ToolButton button)
{
    return kToolbar[static_cast<std::size_t>(button)];
}

QIcon toolbarIcon(const ToolbarRow& row)
{
    QIcon icon;
    for (const qreal scale : {1.0, 2.0}) {
        QPixmap pm(static_cast<int>(24 * scale), static_cast<int>(24 * scale));
        pm.setDevicePixelRatio(scale);
        pm.fill(Qt::transparent);
        QPainter g(&pm);
        g.setRenderHint(QPainter::Antialiasing, true);
        g.setPen(QPen(kInk, 1.5));
        row.paintIcon(g);
        g.end();
        icon.addPixmap(pm);
    }
    return icon;
}

} // namespace ombrix
