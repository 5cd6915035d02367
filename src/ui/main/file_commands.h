// SPDX-License-Identifier: GPL-3.0-or-later
// The commands that bring files in and images out: open a parameter file,
// save the image (JPEG, BMP or PNG), copy it, set the JPEG quality, and the
// image size dialog for New and Resize.  Procedures over the shared state;
// the windows are reached through CommandHost, every question and file
// dialog through the Prompter.
#pragma once

#include "editing/app_state.h"
#include "ui/main/frm_dim.h"

#include <QPointer>
#include <QString>

#include <string>

namespace ombrix
{

class CommandHost;
class Commands;
class Prompter;

// The file types the image save dialog offers, in its order.
extern const char* const kImageFilter;

// What a name's extension says about the image file type: ".jpg", ".jpeg",
// ".bmp" or ".png" in any letter case, else nothing (an empty string).
QString imageSuffixOf(const QString& fileName);
// The extension of the dialog's chosen type ("jpg", "bmp" or "png").
QString imageSuffixOfType(const QString& filterEntry);

class FileCommands
{
public:
    FileCommands(AppState& state, CommandHost& host, Prompter& prompter, Commands& commands);
    ~FileCommands();

    // The Open command: the open dialog, then openFile.
    void mOpen();
    // Reads the parameter file and shows it: the image window moved and
    // sized to the file's geometry, everything drawn, a shot, the caption.
    // A file that cannot be read is reported and changes nothing; false then.
    bool openFile(const std::string& path);
    bool openFile(const QString& path);

    // Save Image As: the dialog, then the image with its texts written as
    // the name's type.  True when a file was written.
    bool mSave();
    // Writes the image as it leaves the program to `path` and reports a
    // failure; the shown picture is not touched.
    bool saveImageTo(const QString& path);
    // Copy Image: the image with its texts on the clipboard.
    bool mCopy();
    // The JPEG quality dialog, modal.
    void showQualityDialog();

    // New (resize false) and Resize: the image size dialog, not modal; the
    // image menu's "Resize..." shows it for the command chosen last.
    void showSizeDialog(bool resize);
    void showSizeDialogAgain() { showSizeDialog(pbResizeMode); }
    FrmDim* sizeDialog() const { return frmDim; }

    // Kept between openings of the size dialog for the rest of the run.
    bool pbResizeMode = false;
    bool pbKeepAspect = false;
    std::string psAspect = "1";

private:
    // Asks before a name the program completed replaces an existing file
    // (the dialog asked only about the name the user typed).
    bool mayReplace(const QString& path, const QString& title);
    void report(const QString& text);

    AppState& state_;
    CommandHost& host_;
    Prompter& prompter_;
    Commands& commands_;
    QPointer<FrmDim> frmDim;
};

} // namespace ombrix
