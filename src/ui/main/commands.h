// SPDX-License-Identifier: GPL-3.0-or-later
// The commands of the toolbar and the menus, as procedures over the shared
// state and the main window's services.  The main window dispatches its
// buttons here; the commands reach the windows only through CommandHost.
#pragma once

#include "editing/app_state.h"
#include "ui/common/main_services.h"
#include "ui/main/toolbar.h"

#include <QString>

class QWidget;

namespace ombrix
{

class FrmPicture;
class Prompter;

// What the commands need from the main window beyond what every window gets.
class CommandHost : public MainServices
{
public:
    // The image window, loaded the first time it is asked for.
    virtual FrmPicture& picture() = 0;
    virtual void mSetupPattern(int nMode) = 0;
    virtual void closeRainbowWindow() = 0;
    // Enables a toolbar button; one whose command is not built stays off.
    virtual void setButtonEnabled(ToolButton button, bool on) = 0;
    virtual bool minimized() const = 0;
    // Shows the main window and gives it the focus.
    virtual void bringToFront() = 0;
    // The program's help at topic `context` (0 the index).
    virtual void showHelp(int context) = 0;
    // The caption's file part: " Ombrix - NAME".
    virtual void setFileTitle(const QString& title) = 0;
    // The window a dialog of a command belongs to.
    virtual QWidget* dialogParent() = 0;
    // The colour picker, shown on the current target's colour, or closed.
    virtual void showColourPicker() = 0;
    virtual void closeColourPicker() = 0;
    // Shows a checkable toolbar button pressed or raised.
    virtual void setButtonChecked(ToolButton button, bool on) = 0;
    // Brings the borders dialog back after a redraw while its flag is set.
    virtual void restoreBorderDialog() = 0;
};

class Commands
{
public:
    Commands(AppState& state, CommandHost& host, Prompter& prompter);

    // Preview, image window, full-size image, borders and the controls,
    // drawn again from the record.
    void mShowImage();
    // The Show button: everything drawn again, then a shot.
    void showCommand();
    void mUndo();
    void mRedo();
    // Turns the pattern by 90 degrees.
    void mRotate();
    void about();
    void help();
    // The parameter file save dialog, then the save.  True when the file was
    // written; false when the dialog was cancelled or the file could not be
    // written (the user has been told why).
    bool mSaveParam();
    // Save (Ctrl+S): over the parameter file the image was last read from or
    // saved to, without a dialog; with none, as mSaveParam.
    bool saveParams();
    // "Gradtxt" is usable when some text slot holds more than blanks.
    void mUpdateGradtxtButton();

    // The folder a file dialog starts in: the remembered one while it
    // exists, else the user's pictures, else home.
    static QString startFolder(const std::string& remembered);

private:
    void walkHistory(bool back);
    bool writeParams(const QString& path);

    AppState& state_;
    CommandHost& host_;
    Prompter& prompter_;
};

} // namespace ombrix
