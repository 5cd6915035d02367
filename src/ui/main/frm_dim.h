// SPDX-License-Identifier: GPL-3.0-or-later
// The image size dialog, for New and Resize: width and height in the
// screen's device pixels, and an optional ratio that the field being typed in
// keeps.  Not modal; on OK it sizes the image window itself.
#pragma once

#include "editing/image_size_rules.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace ombrix
{

struct AppState;
struct ImageParams;
class CommandHost;
class FileCommands;
class Prompter;

class FrmDim : public QDialog
{
    Q_OBJECT
public:
    FrmDim(AppState& state, CommandHost& host, Prompter& prompter, FileCommands& files);

    void Form_Load();
    void chkAspect_Click();
    void txtAspect_Change();
    void txtWidth_Change();
    void txtHeight_Change();
    void txtWidth_GotFocus() { pbWidthFocus = true; }
    void txtHeight_GotFocus() { pbWidthFocus = false; }
    // False when a check failed (the user has been told which).
    bool cmdOK_Click();
    void cmdHelp_Click();

    // The limits OK checks against, for the screen the image window is on.
    // The repetitions are those of `p`, the image the size is for.
    SizeLimits limits(const ImageParams& p) const;

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    AppState& state_;
    CommandHost& host_;
    Prompter& prompter_;
    FileCommands& files_;
    QLineEdit* txtWidth = nullptr;
    QLineEdit* txtHeight = nullptr;
    QLineEdit* txtAspect = nullptr;
    QCheckBox* chkAspect = nullptr;
    bool pbWidthFocus = false;
};

} // namespace ombrix
