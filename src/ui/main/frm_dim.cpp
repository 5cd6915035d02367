// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/frm_dim.h"

#include "editing/app_state.h"
#include "ui/common/prompter.h"
#include "ui/common/window_tools.h"
#include "ui/main/commands.h"
#include "ui/main/file_commands.h"
#include "ui/picture/frm_picture.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace ombrix
{

namespace
{

std::string text(const QLineEdit* field)
{
    return field->text().toStdString();
}

QLineEdit* field(const char* name, const char* tooltip, QWidget* parent)
{
    auto* f = new QLineEdit(parent);
    f->setObjectName(name);
    if (tooltip != nullptr)
        f->setToolTip(tooltip);
    f->setMaxLength(12);
    f->setFixedWidth(f->fontMetrics().horizontalAdvance("0000000") + 12);
    return f;
}

} // namespace

FrmDim::FrmDim(AppState& state, CommandHost& host, Prompter& prompter, FileCommands& files)
    : QDialog(host.dialogParent()), state_(state), host_(host), prompter_(prompter), files_(files)
{
    setObjectName("frmDim");
    setAttribute(Qt::WA_DeleteOnClose);
    auto* rows = new QVBoxLayout(this);
    rows->setSizeConstraint(QLayout::SetFixedSize);

    auto* fraPixel = new QGroupBox("Pixel size", this);
    fraPixel->setObjectName("fraPixel");
    auto* grid = new QGridLayout(fraPixel);
    txtWidth = field("txtWidth", "Enter the image width in pixels", fraPixel);
    txtHeight = field("txtHeight", "Enter the image hight in pixels", fraPixel);
    grid->addWidget(new QLabel(" Width", fraPixel), 0, 0);
    grid->addWidget(txtWidth, 0, 1);
    grid->addWidget(new QLabel("Height", fraPixel), 1, 0);
    grid->addWidget(txtHeight, 1, 1);
    rows->addWidget(fraPixel);

    auto* ratio = new QHBoxLayout;
    chkAspect = new QCheckBox("Maintain aspect ratio of", this);
    chkAspect->setObjectName("chkAspect");
    txtAspect = field("txtAspect", nullptr, this);
    ratio->addWidget(chkAspect);
    ratio->addWidget(txtAspect);
    ratio->addWidget(new QLabel("to 1", this));
    ratio->addStretch();
    rows->addLayout(ratio);

    auto* buttons = new QHBoxLayout;
    const auto [cmdOK, cmdCancel, cmdHelp] = makeDialogButtons(this);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdHelp);
    rows->addLayout(buttons);

    txtWidth->installEventFilter(this);
    txtHeight->installEventFilter(this);
    connect(chkAspect, &QCheckBox::clicked, this, &FrmDim::chkAspect_Click);
    connect(txtAspect, &QLineEdit::textChanged, this, &FrmDim::txtAspect_Change);
    connect(txtWidth, &QLineEdit::textChanged, this, &FrmDim::txtWidth_Change);
    connect(txtHeight, &QLineEdit::textChanged, this, &FrmDim::txtHeight_Change);
    connect(cmdOK, &QPushButton::clicked, this, &FrmDim::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::close);
    connect(cmdHelp, &QPushButton::clicked, this, &FrmDim::cmdHelp_Click);
}

void FrmDim::Form_Load()
{
    const SharedValues& v = state_.v();
    move(500 / v.Tppx, 500 / v.Tppy);
    // The fields are filled with the ratio switched off, so that they show
    // the image's own size and neither drives the other.
    pbWidthFocus = false;
    const bool keep = files_.pbKeepAspect;
    files_.pbKeepAspect = false;
    txtAspect->setText(QString::fromStdString(files_.psAspect));
    txtHeight->setText(QString::number(state_.pnPixelHeight));
    txtWidth->setText(QString::number(state_.pnPixelWidth));
    files_.pbKeepAspect = keep;
    chkAspect->setChecked(keep);
    setWindowTitle(files_.pbResizeMode ? " Resize" : " New Image");
    txtAspect->setEnabled(keep);
}

bool FrmDim::eventFilter(QObject* o, QEvent* e)
{
    if (e->type() == QEvent::FocusIn) {
        if (o == txtWidth)
            txtWidth_GotFocus();
        else if (o == txtHeight)
            txtHeight_GotFocus();
    }
    return QDialog::eventFilter(o, e);
}

void FrmDim::chkAspect_Click()
{
    files_.pbKeepAspect = chkAspect->isChecked();
    txtAspect->setEnabled(files_.pbKeepAspect);
    if (files_.pbKeepAspect && !txtWidth->text().trimmed().isEmpty()) {
        if (const auto h = ombrix::heightForWidth(text(txtWidth), text(txtAspect)))
            txtHeight->setText(QString::fromStdString(*h));
    }
}

void FrmDim::txtAspect_Change()
{
    if (!files_.pbKeepAspect)
        return;
    if (const auto h = ombrix::heightForWidth(text(txtWidth), text(txtAspect)))
        txtHeight->setText(QString::fromStdString(*h));
}

void FrmDim::txtWidth_Change()
{
    if (!files_.pbKeepAspect || !pbWidthFocus)
        return;
    if (const auto h = ombrix::heightForWidth(text(txtWidth), text(txtAspect)))
        txtHeight->setText(QString::fromStdString(*h));
}

void FrmDim::txtHeight_Change()
{
    if (!files_.pbKeepAspect || pbWidthFocus)
        return;
    txtWidth->setText(QString::fromStdString(widthForHeight(text(txtHeight), text(txtAspect))));
}

SizeLimits FrmDim::limits(const ImageParams& p) const
{
    SizeLimits l;
    FrmPicture& picture = host_.picture();
    const QScreen* screen = picture.screen();
    const double r = deviceRatio(&picture);
    const QSize logical = screen != nullptr ? screen->size() : QSize(1024, 768);
    l.screenWidth = toDevice(logical.width(), r);
    l.screenHeight = toDevice(logical.height(), r);
    l.horRep = p.pnHorRep;
    l.verRep = p.pnVerRep;
    l.minRepPixels = state_.v().pnMinRepPixels;
    return l;
}

bool FrmDim::cmdOK_Click()
{
    AppState& s = state_;
    const bool newImage = !files_.pbResizeMode;
    // A new image is checked against the blank preset's repetitions, but
    // the preset replaces the image only once the size is accepted: a
    // refused New leaves the image and the controls as they were.
    ImageModel blank = s.model;
    if (newImage)
        blank.mSetDefaults(0);
    const SizeCheck c =
        checkImageSize(text(txtWidth), text(txtHeight), limits(newImage ? blank.params : s.p()));
    if (!c.ok) {
        prompter_.ask(this, " Invalid Image Size)", QString::fromStdString(c.message), Buttons::Ok,
                      Icon::Exclamation);
        return false;
    }
    files_.psAspect = txtAspect->text().trimmed().toStdString();
    if (newImage) {
        s.model = blank;
        host_.setButtonEnabled(ToolButton::Gradtxt, false);
        // A new image is no file's: the caption says so until it is saved.
        host_.setFileTitle("Untitled");
        s.files.psParamTitle.clear();
    }

    FrmPicture& picture = host_.picture();
    s.flags.pbSizingPicture = true;
    host_.setButtonEnabled(ToolButton::Undo, true);
    // The picture holds device pixels; the window is sized in logical ones.
    const double r = deviceRatio(&picture);
    picture.setClientSize(toLogicalCeil(c.width, r), toLogicalCeil(c.height, r));
    picture.storeGeometry();
    host_.mShowImageSize();
    if (newImage) {
        picture.clearPicture();
        picture.clearTextLabels();
        host_.mSetupPattern(0);
        host_.mDrawPreview();
    }
    s.history.mPushShot(s.p());
    host_.mDrawPreview();
    s.flags.pbSizingPicture = false;
    close();
    return true;
}

void FrmDim::cmdHelp_Click()
{
    host_.showHelp(9);
}

} // namespace ombrix
