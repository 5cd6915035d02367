// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/commands.h"

#include "io/param_file.h"
#include "ui/common/prompter.h"
#include "ui/picture/frm_picture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace ombrix
{

namespace
{

// The parameter files' filter: Ombrix's files first, then every file.
const char* const kParamFilter = "Ombrix Image Parameter Files (*.obp);;All Files (*)";

// Paths travel as the system's file-name bytes; Qt's dialogs speak QString.
std::string toPath(const QString& name)
{
    return QFile::encodeName(name).toStdString();
}

QString fromPath(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

bool blank(const std::string& text)
{
    return text.find_first_not_of(' ') == std::string::npos;
}

} // namespace

Commands::Commands(AppState& state, CommandHost& host, Prompter& prompter)
    : state_(state), host_(host), prompter_(prompter)
{
}

void Commands::mShowImage()
{
    AppState& s = state_;
    if (!s.flags.pbTextEnabled)
        host_.setButtonEnabled(ToolButton::Text, true);
    s.flags.pbTextEnabled = true;
    s.flags.pbTextsInPicture = false;
    host_.closeRainbowWindow();

    FrmPicture& picture = host_.picture();
    picture.clearPicture();
    picture.clearTextLabels();
    host_.mDrawPreview();

    s.flags.pbPictureShown = true;
    if (!host_.minimized())
        picture.showWindow();
    QApplication::processEvents();

    picture.mDrawFullSize();
    picture.mSetTextLabels();
    picture.drawBorders();

    host_.mSetupPattern(0);
    if (s.flags.pbBorderDlgShown)
        host_.restoreBorderDialog();
    mUpdateGradtxtButton();
}

void Commands::showCommand()
{
    mShowImage();
    state_.history.mPushShot(state_.p());
    if (!state_.flags.pbBorderDlgShown && !state_.flags.pbTextDlgShown)
        host_.bringToFront();
}

void Commands::mUndo()
{
    walkHistory(true);
}

void Commands::mRedo()
{
    walkHistory(false);
}

void Commands::walkHistory(bool back)
{
    AppState& s = state_;
    if (!(back ? s.history.stepBack() : s.history.stepForward()))
        return;
    FrmPicture& picture = host_.picture();
    picture.hidePicture(true);
    s.history.mRestoreShot(s.p());
    // The window takes the shot's size; its resize stores nothing and takes
    // no shot of its own.
    s.flags.pbSizingPicture = true;
    picture.showStoredSize();
    mShowImage();
    if (!s.flags.pbBorderDlgShown && !s.flags.pbTextDlgShown)
        host_.bringToFront();
    picture.hidePicture(false);
    s.flags.pbSizingPicture = false;
}

void Commands::mRotate()
{
    ImageParams& p = state_.p();
    p.pnRotation = static_cast<Integer>(-p.pnRotation);
    host_.mDrawPreview();
    host_.mSetupPattern(0);
}

void Commands::about()
{
    host_.closeRainbowWindow();
    prompter_.ask(host_.dialogParent(), " About Ombrix",
                  QString("Ombrix %1\nGradient images for your desktop.").arg(OMBRIX_VERSION),
                  Buttons::Ok, Icon::Information);
}

void Commands::help()
{
    host_.closeRainbowWindow();
    host_.showHelp(0);
}

QString Commands::startFolder(const std::string& remembered)
{
    const QString folder = fromPath(remembered);
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        return folder;
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && QFileInfo(pictures).isDir())
        return pictures;
    return QDir::homePath();
}

bool Commands::saveParams()
{
    const QString current = fromPath(state_.files.psParamFile);
    if (current.isEmpty() || !QFileInfo(current).isFile())
        return mSaveParam();
    host_.closeRainbowWindow();
    return writeParams(current);
}

bool Commands::mSaveParam()
{
    AppState& s = state_;
    host_.closeRainbowWindow();
    Settings& settings = s.settings;
    const QString folder = startFolder(settings.psSavePath);
    const QString suggested = fromPath(s.files.psParamTitle);
    const QString chosen = prompter_.saveFileName(
        host_.dialogParent(), " Save Parameter Settings As",
        suggested.isEmpty() ? folder : QDir(folder).filePath(suggested), kParamFilter);
    if (chosen.isEmpty())
        return false;
    // A name without any extension gets the parameter files' own.
    QString path = chosen;
    if (QFileInfo(path).suffix().isEmpty()) {
        path += ".obp";
        // The dialog asked only about the name as typed.
        if (QFileInfo::exists(path) &&
            prompter_.ask(host_.dialogParent(), " Save Parameter Settings As",
                          QString("%1 already exists.\nDo you want to replace it?")
                              .arg(QFileInfo(path).fileName()),
                          Buttons::YesNo, Icon::Exclamation) != Answer::Yes)
            return false;
    }

    return writeParams(path);
}

bool Commands::writeParams(const QString& path)
{
    AppState& s = state_;
    Settings& settings = s.settings;
    // The file keeps the image window's place and size as they are now.
    if (s.flags.pbPictureShown)
        host_.picture().storeGeometry();
    const ParamFileResult r = SaveData(toPath(path), s.p());
    if (!r.ok) {
        // Nothing was saved: say why, and keep the image (and the program).
        prompter_.ask(host_.dialogParent(), " Ombrix",
                      QString::fromStdString(r.checkpoint + "\n" + r.message), Buttons::Ok,
                      Icon::Critical);
        return false;
    }
    const QFileInfo saved(path);
    settings.psSavePath = toPath(saved.absolutePath());
    s.files.psSaveFile = toPath(saved.absoluteFilePath());
    s.files.psParamFile = s.files.psSaveFile;
    s.files.psParamTitle = toPath(saved.fileName());
    host_.setFileTitle(saved.fileName());
    s.flags.pbParamSaved = true;
    return true;
}

void Commands::mUpdateGradtxtButton()
{
    bool anyText = false;
    for (const std::string& text : state_.p().psText)
        anyText = anyText || !blank(text);
    host_.setButtonEnabled(ToolButton::Gradtxt, anyText);
}

} // namespace ombrix
