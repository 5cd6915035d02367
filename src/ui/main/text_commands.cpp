// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/text_commands.h"

#include "picture/gradient_text.h"
#include "picture/text_labels.h"
#include "ui/common/prompter.h"
#include "ui/common/window_tools.h"
#include "ui/main/commands.h"
#include "ui/picture/frm_picture.h"
#include "ui/text/frm_border.h"
#include "ui/text/frm_text_prop.h"

#include <QApplication>

namespace ombrix
{

namespace
{

// The buttons the text properties dialog switches off while it is open, so
// that nothing replaces the record under it.
constexpr ToolButton kLockedByTextDialog[] = {ToolButton::Open, ToolButton::Save, ToolButton::Redo,
                                              ToolButton::Undo, ToolButton::Borders};

} // namespace

TextCommands::TextCommands(AppState& state, CommandHost& host, Prompter& prompter)
    : state_(state), host_(host), prompter_(prompter)
{
}

TextCommands::~TextCommands()
{
    // The main window is going: the dialogs end without telling it.
    for (QWidget* w : {static_cast<QWidget*>(textDlg_), static_cast<QWidget*>(borderDlg_)})
        if (w != nullptr) {
            w->disconnect(this);
            delete w;
        }
}

FrmTextProp* TextCommands::textDialog() const
{
    return textDlg_;
}

FrmBorder* TextCommands::borderDialog() const
{
    return borderDlg_;
}

void TextCommands::attach(FrmPicture& picture)
{
    connect(&picture, &FrmPicture::textSpaceClicked, this, &TextCommands::picShow_Click);
    connect(&picture, &FrmPicture::textLabelClicked, this, &TextCommands::lblText_Click);
    // The picker may go on editing a text colour after the dialog closed:
    // the labels follow, so that they keep showing what output draws.
    connect(&host_.colourEvents(), &ColourEvents::edited, this, [this](ColourTarget target) {
        if (target == ColourTarget::TextSlot && textDlg_ == nullptr &&
            !state_.flags.pbTextsInPicture)
            host_.picture().mSetTextLabels();
    });
}

void TextCommands::textCommand()
{
    AppFlags& f = state_.flags;
    f.pbTextMode = !f.pbTextMode;
    host_.setButtonChecked(ToolButton::Text, f.pbTextMode);
    if (!f.pbTextMode && textDlg_ != nullptr)
        textDlg_->close();
}

void TextCommands::picShow_Click()
{
    AppFlags& f = state_.flags;
    if (!f.pbTextMode || f.pbTextDlgShown)
        return;
    const int k = mVacantTextSetIndex(state_.p());
    if (k < kTextSets) {
        state_.v().pnTextSetIndex = static_cast<Integer>(k);
        openTextDialog(true);
        return;
    }
    prompter_.ask(host_.dialogParent(), " Ombrix",
                  QString("You can add up to %1 text sets.").arg(kTextSets), Buttons::Ok,
                  Icon::Exclamation);
    host_.setButtonChecked(ToolButton::Text, false);
    pbAddText = false;
    f.pbTextMode = false;
}

void TextCommands::lblText_Click(int k)
{
    AppFlags& f = state_.flags;
    if (!f.pbTextMode || f.pbTextDlgShown)
        return;
    state_.v().pnTextSetIndex = static_cast<Integer>(std::clamp(k, 0, kTextSets - 1));
    openTextDialog(false);
}

void TextCommands::openTextDialog(bool add)
{
    pbAddText = add;
    FrmPicture& picture = host_.picture();
    auto* dlg = new FrmTextProp(state_, host_, add, picture.newTextPoint(), host_.dialogParent());
    textDlg_ = dlg;
    connect(dlg, &FrmTextProp::colourPickerWanted, this, [this] { host_.showColourPicker(); });
    connect(dlg, &FrmTextProp::helpWanted, this, [this] {
        host_.showHelp(10);
        host_.closeColourPicker();
    });
    connect(dlg, &FrmTextProp::textsChanged, this, &TextCommands::textsChanged);
    connect(dlg, &FrmTextProp::closed, this, &TextCommands::textDialogClosed);
    host_.setButtonChecked(ToolButton::Text, true);
    for (ToolButton b : kLockedByTextDialog)
        host_.setButtonEnabled(b, false);
    dlg->Form_Load();
    dlg->show();
    keepOnScreen(dlg);
    dlg->raise();
    dlg->activateWindow();
}

void TextCommands::textsChanged()
{
    host_.picture().mSetTextLabels();
    state_.history.mPushShot(state_.p());
    host_.setButtonEnabled(ToolButton::Gradtxt, anyTextShown(state_.p()));
}

void TextCommands::textDialogClosed()
{
    AppFlags& f = state_.flags;
    f.pbTextMode = false;
    f.pbTextDlgShown = false;
    pbAddText = false;
    host_.setButtonChecked(ToolButton::Text, false);
    host_.setButtonEnabled(ToolButton::Undo, state_.history.canUndo());
    host_.setButtonEnabled(ToolButton::Redo, state_.history.canRedo());
    for (ToolButton b : {ToolButton::Open, ToolButton::Save, ToolButton::Borders})
        host_.setButtonEnabled(b, true);
}

void TextCommands::mMakeGradientText()
{
    AppState& s = state_;
    // The texts cannot be edited in the filled picture: text mode ends.
    if (s.flags.pbTextMode)
        textCommand();
    FrmPicture& picture = host_.picture();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool filled = ombrix::mMakeGradientText(picture.pictures().picShow.image(), s.p(),
                                                  96.0 * deviceRatio(&picture));
    QApplication::restoreOverrideCursor();
    if (!filled) {
        prompter_.ask(host_.dialogParent(), " Ombrix",
                      "Not enough memory to fill the texts with the gradient.", Buttons::Ok,
                      Icon::Exclamation);
        return;
    }
    s.flags.pbTextsInPicture = true;
    picture.clearTextLabels();
    picture.pictureChanged();
    host_.setButtonEnabled(ToolButton::Text, false);
    if (s.flags.pbTextEnabled) {
        host_.mShowHint(1);
        s.flags.pbTextEnabled = false;
    }
}

void TextCommands::bordersCommand()
{
    host_.closeRainbowWindow();
    state_.flags.pbBorderDlgShown = true;
    showBorderDialog();
}

void TextCommands::showBorderDialog()
{
    if (borderDlg_ == nullptr) {
        auto* dlg = new FrmBorder(state_, host_.dialogParent());
        dlg->setAttribute(Qt::WA_DeleteOnClose);
        borderDlg_ = dlg;
        connect(dlg, &FrmBorder::colourPickerWanted, this, [this] { host_.showColourPicker(); });
        connect(dlg, &FrmBorder::helpWanted, this, [this] {
            host_.showHelp(11);
            host_.closeColourPicker();
        });
        connect(dlg, &FrmBorder::bordersApplied, this, [this] {
            host_.picture().drawBorders();
            state_.history.mPushShot(state_.p());
        });
        dlg->Form_Load(host_.dialogParent());
    }
    borderDlg_->showWidths();
    borderDlg_->show();
    keepOnScreen(borderDlg_);
    borderDlg_->raise();
}

void TextCommands::restoreBorderDialog()
{
    if (state_.flags.pbBorderDlgShown && !state_.flags.pbTextMode)
        showBorderDialog();
}

void TextCommands::watch()
{
    if (state_.flags.pbTextMode && borderDlg_ != nullptr)
        borderDlg_->unload();
}

void TextCommands::hideDialogs()
{
    if (borderDlg_ != nullptr)
        borderDlg_->unload();
    if (textDlg_ != nullptr)
        textDlg_->hide();
}

void TextCommands::restoreDialogs()
{
    restoreBorderDialog();
    if (textDlg_ != nullptr)
        textDlg_->show();
}

void TextCommands::closeDialogs()
{
    if (textDlg_ != nullptr)
        textDlg_->close();
    if (borderDlg_ != nullptr)
        borderDlg_->unload();
}

} // namespace ombrix
