// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/file_commands.h"

#include "io/image_export.h"
#include "io/param_file.h"
#include "ui/common/prompter.h"
#include "ui/main/commands.h"
#include "ui/main/frm_dim.h"
#include "ui/main/frm_quality.h"
#include "ui/picture/frm_picture.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace ombrix
{

const char* const kImageFilter = "JPEG - JFIF Compliant (*.jpg *.jpeg);;"
                                 "BMP - Windows or OS/2 Bitmap (*.bmp);;"
                                 "PNG - Portable Network Graphics (*.png)";

namespace
{

const char* const kOpenFilter = "Ombrix Image Parameter Files (*.obp);;All Files (*)";

QString fromPath(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string toPath(const QString& name)
{
    return QFile::encodeName(name).toStdString();
}

// The folder a dialog starts in, with the file it offers when there is one.
QString startIn(const std::string& folder, const std::string& name)
{
    const QString dir = Commands::startFolder(folder);
    return name.empty() ? dir : QDir(dir).filePath(fromPath(name));
}

} // namespace

QString imageSuffixOf(const QString& fileName)
{
    const QString suffix = QFileInfo(fileName.trimmed()).suffix().toLower();
    for (const char* known : {"jpg", "jpeg", "bmp", "png"})
        if (suffix == known)
            return suffix;
    return QString();
}

QString imageSuffixOfType(const QString& filterEntry)
{
    if (filterEntry.startsWith("BMP"))
        return "bmp";
    if (filterEntry.startsWith("PNG"))
        return "png";
    return "jpg";
}

FileCommands::FileCommands(AppState& state, CommandHost& host, Prompter& prompter,
                           Commands& commands)
    : state_(state), host_(host), prompter_(prompter), commands_(commands)
{
}

FileCommands::~FileCommands()
{
    delete frmDim.data();
}

void FileCommands::report(const QString& text)
{
    prompter_.ask(host_.dialogParent(), " Ombrix", text, Buttons::Ok, Icon::Critical);
}

bool FileCommands::mayReplace(const QString& path, const QString& title)
{
    if (!QFileInfo::exists(path))
        return true;
    return prompter_.ask(host_.dialogParent(), title,
                         QString("%1 already exists.\nDo you want to replace it?")
                             .arg(QFileInfo(path).fileName()),
                         Buttons::YesNo, Icon::Exclamation) == Answer::Yes;
}

void FileCommands::mOpen()
{
    const QString chosen = prompter_.openFileName(
        host_.dialogParent(), " Open Parameter Settings File",
        startIn(state_.settings.psReadPath, state_.files.psReadTitle), kOpenFilter);
    if (!chosen.isEmpty())
        openFile(chosen);
}

bool FileCommands::openFile(const QString& path)
{
    return openFile(toPath(path));
}

bool FileCommands::openFile(const std::string& path)
{
    AppState& s = state_;
    // Read into a copy: a file that cannot be read leaves the image, the
    // caption, the history and the image window as they were.
    ImageParams next = s.p();
    const ParamFileResult r = ReadData(path, next);
    if (!r.ok) {
        report(QString::fromStdString(r.checkpoint + "\n" + r.message));
        return false;
    }

    const QFileInfo file(fromPath(path));
    s.files.psReadFile = path;
    s.files.psParamFile = path;
    s.files.psReadTitle = toPath(file.fileName());
    s.files.psParamTitle = s.files.psReadTitle;
    s.settings.psReadPath = toPath(file.absolutePath());
    host_.setFileTitle(file.fileName());

    s.flags.pbOpening = true;
    FrmPicture& picture = host_.picture();
    picture.hidePicture(true);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    s.p() = next;

    // The window takes the file's place and size; its resize draws neither
    // borders nor a shot of its own, and stores nothing.
    s.flags.pbSizingPicture = true;
    picture.placeStored();
    picture.showStoredSize();
    commands_.mShowImage();
    // The size as the window took it: a file without a size (older
    // `params` files store none) or with more repetitions than its size
    // holds says so from now on, so that Undo comes back to this very size.
    picture.storeGeometry();
    // The opened file is where the history starts: nothing before it can be
    // undone, as after start-up.
    s.history.reset(s.p());
    host_.setButtonEnabled(ToolButton::Undo, false);
    host_.setButtonEnabled(ToolButton::Redo, false);
    if (!s.flags.pbBorderDlgShown && !s.flags.pbTextDlgShown)
        host_.bringToFront();
    s.flags.pbOpening = false;
    picture.hidePicture(false);
    s.flags.pbSizingPicture = false;
    return true;
}

bool FileCommands::mSave()
{
    AppState& s = state_;
    host_.closeRainbowWindow();
    QString type;
    const QString chosen =
        prompter_.saveFileNameOfType(host_.dialogParent(), " Save Image As",
                                     startIn(s.settings.psSavePath, {}), kImageFilter, type);
    if (chosen.isEmpty())
        return false;
    // The name's own extension chooses the type; a name without one of
    // them gets the extension of the type chosen in the dialog.
    QString path = chosen;
    if (imageSuffixOf(path).isEmpty()) {
        path += "." + imageSuffixOfType(type);
        if (!mayReplace(path, " Save Image As"))
            return false;
    }
    return saveImageTo(path);
}

bool FileCommands::saveImageTo(const QString& path)
{
    AppState& s = state_;
    const QImage image = host_.picture().exportImage();
    if (image.isNull()) {
        report(QString("Cannot save \"%1\": not enough memory for the image.")
                   .arg(QFileInfo(path).fileName()));
        return false;
    }
    const ExportResult r = saveImage(image, toPath(path), s.settings.plQualityValue);
    if (!r.ok) {
        report(QString::fromStdString(r.message));
        return false;
    }
    const QFileInfo saved(path);
    s.files.psSaveFile = toPath(saved.absoluteFilePath());
    s.files.psImageTitle = toPath(saved.fileName());
    s.settings.psSavePath = toPath(saved.absolutePath());
    return true;
}

bool FileCommands::mCopy()
{
    const QImage image = host_.picture().exportImage();
    if (image.isNull()) {
        report("Cannot copy the image: not enough memory for it.");
        return false;
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    // Under X11 the program keeps the image and hands it out, converted to
    // what the asking program wants (PNG, BMP, ...), for as long as it runs.
    clipboard->setImage(image);
    return true;
}

void FileCommands::showQualityDialog()
{
    FrmQuality dialog(
        state_.settings.plQualityValue, [this](int topic) { host_.showHelp(topic); },
        host_.dialogParent());
    const SharedValues& v = state_.v();
    dialog.move(1800 / v.Tppx, 1500 / v.Tppy);
    dialog.exec();
}

void FileCommands::showSizeDialog(bool resize)
{
    pbResizeMode = resize;
    // Its fields are filled anew each time it is shown.
    delete frmDim.data();
    frmDim = new FrmDim(state_, host_, prompter_, *this);
    frmDim->Form_Load();
    frmDim->show();
    frmDim->raise();
    frmDim->activateWindow();
}

} // namespace ombrix
