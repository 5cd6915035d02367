#include "ui/common/prompter.h"

#include "ui/common/desktop_habits.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

namespace ombrix
{

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
