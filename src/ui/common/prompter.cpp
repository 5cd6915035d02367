// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/common/prompter.h"

#include "ui/common/desktop_habits.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <QUrl>

namespace ombrix
{

int titleBarWidth(const QString& title)
{
    // Window managers draw titles in a bold face, often a little larger
    // than the program's; the buttons and the icon beside it take about
    // five of the title font's line heights.
    QFont font = QApplication::font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.1);
    const QFontMetrics fm(font);
    return fm.horizontalAdvance(title) + 5 * fm.height() + 16;
}

void prepareMessageBox(QMessageBox& box)
{
    // Said outright rather than left to the defaults: the window manager is
    // told (Motif hints) that the box is neither minimised nor maximised.
    box.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                       Qt::WindowCloseButtonHint);
    // QMessageBox sizes itself to its text; a spacer across its grid holds
    // it at least as wide as its title needs.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(titleBarWidth(box.windowTitle()), 0, QSizePolicy::Minimum,
                                      QSizePolicy::Expanding),
                      grid->rowCount(), 0, 1, grid->columnCount());
}

Answer QtPrompter::ask(QWidget* parent, const QString& title, const QString& text, Buttons buttons,
                       Icon icon)
{
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case Icon::None:
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case Icon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    prepareMessageBox(box);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
}

QString QtPrompter::saveFileName(QWidget* parent, const QString& caption, const QString& folder,
                                 const QString& filter)
{
    return QFileDialog::getSaveFileName(parent, caption, folder, filter);
}

QString QtPrompter::openFileName(QWidget* parent, const QString& caption, const QString& folder,
                                 const QString& filter)
{
    // The sample designs are a place in the dialog's side bar, beside the
    // desktop's own (where the desktop's dialog has no side bar of Qt's, the
    // designs are found under /usr/share/ombrix/designs).
    QFileDialog dialog(parent, caption, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    QList<QUrl> places = dialog.sidebarUrls();
    for (const QString& designs : sampleDesignFolders())
        if (!places.contains(QUrl::fromLocalFile(designs)))
            places << QUrl::fromLocalFile(designs);
    dialog.setSidebarUrls(places);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

QString QtPrompter::saveFileNameOfType(QWidget* parent, const QString& caption,
                                       const QString& folder, const QString& filter,
                                       QString& selectedFilter)
{
    return QFileDialog::getSaveFileName(parent, caption, folder, filter, &selectedFilter);
}

} // namespace ombrix
