// SPDX-License-Identifier: GPL-3.0-or-later
// The "Text", "Gradtxt" and "Borders" commands and the two dialogs they
// lead to: text mode, the text properties dialog opened from the image
// window, the gradient fill of the texts, and the borders dialog.
#pragma once

#include "editing/app_state.h"

#include <QObject>
#include <QPointer>

namespace ombrix
{

class CommandHost;
class FrmBorder;
class FrmPicture;
class FrmTextProp;
class Prompter;

class TextCommands : public QObject
{
    Q_OBJECT
public:
    TextCommands(AppState& state, CommandHost& host, Prompter& prompter);
    ~TextCommands() override;

    // Connects the image window's text-mode clicks.
    void attach(FrmPicture& picture);

    // "Text": text mode on or off; off closes the text properties dialog.
    void textCommand();
    // "Borders": the borders dialog, modeless.
    void bordersCommand();
    // "Gradtxt": the texts filled with the picture's own gradient.
    void mMakeGradientText();

    // The borders dialog again after a redraw, while its flag is set.
    void restoreBorderDialog();

    // The toolbar watch's part: no borders dialog in text mode.
    void watch();
    // Minimising hides the two dialogs, restoring brings back what was open.
    void hideDialogs();
    void restoreDialogs();
    // The program ends.
    void closeDialogs();

    FrmTextProp* textDialog() const;
    FrmBorder* borderDialog() const;

    // The image window's text-mode clicks: on empty space, on set k.
    void picShow_Click();
    void lblText_Click(int k);

private:
    void openTextDialog(bool add);
    void textDialogClosed();
    void textsChanged();
    void showBorderDialog();

    AppState& state_;
    CommandHost& host_;
    Prompter& prompter_;
    QPointer<FrmTextProp> textDlg_;
    QPointer<FrmBorder> borderDlg_;
    bool pbAddText = false;
};

} // namespace ombrix
