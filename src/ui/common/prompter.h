// SPDX-License-Identifier: GPL-3.0-or-later
// Every message box and file dialog of the program goes through this one
// interface, so that tests can answer them without a person at the screen.
#pragma once

#include <QString>

class QMessageBox;
class QWidget;

namespace ombrix
{

enum class Answer { Ok, Yes, No, Cancel };
enum class Buttons { Ok, YesNo, YesNoCancel };
enum class Icon { None, Information, Question, Exclamation, Critical };

class Prompter
{
public:
    virtual ~Prompter() = default;
    virtual Answer ask(QWidget* parent, const QString& title, const QString& text, Buttons buttons,
                       Icon icon) = 0;
    // The chosen file, or an empty string when the dialog was cancelled.
    virtual QString saveFileName(QWidget* parent, const QString& caption, const QString& folder,
                                 const QString& filter) = 0;
    // The chosen file to open, or an empty string when the dialog was
    // cancelled.  `folder` may name a file to preselect.
    virtual QString openFileName(QWidget* parent, const QString& caption, const QString& folder,
                                 const QString& filter) = 0;
    // A save dialog that also says which of the filter's entries the user
    // chose; `selectedFilter` holds the entry to start with and, on return,
    // the one chosen.
    virtual QString saveFileNameOfType(QWidget* parent, const QString& caption,
                                       const QString& folder, const QString& filter,
                                       QString& selectedFilter) = 0;
};

// Readies a message box for any window manager: a title bar with a close
// box only (a message box is neither minimised nor maximised), and a box
// wide enough that its whole title shows beside the title bar's buttons.
void prepareMessageBox(QMessageBox& box);
// The width that shows `title` whole on a title bar, buttons included.
int titleBarWidth(const QString& title);

// The production answers: QMessageBox and QFileDialog.
class QtPrompter final : public Prompter
{
public:
    Answer ask(QWidget* parent, const QString& title, const QString& text, Buttons buttons,
               Icon icon) override;
    QString saveFileName(QWidget* parent, const QString& caption, const QString& folder,
                         const QString& filter) override;
    QString openFileName(QWidget* parent, const QString& caption, const QString& folder,
                         const QString& filter) override;
    QString saveFileNameOfType(QWidget* parent, const QString& caption, const QString& folder,
                               const QString& filter, QString& selectedFilter) override;
};

} // namespace ombrix
