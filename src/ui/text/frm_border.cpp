// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/text/frm_border.h"

#include "editing/app_state.h"
#include "ui/common/window_tools.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace ombrix
{

int borderWidthFromText(const QString& text)
{
    bool ok = false;
    const int w = text.trimmed().toInt(&ok);
    return ok && w >= 0 && w <= 100 ? w : 0;
}

FrmBorder::FrmBorder(AppState& state, QWidget* parent) : QWidget(parent, Qt::Tool), state_(state)
{
    setObjectName("frmBorder");
    setWindowTitle(" Add Borders");

    const char* names[4] = {"Top", "Left", "Bottom", "Right"};
    const char* fieldTips[4] = {
        "Enter the top border width in pixels. ", "Enter the left border width in pixels. ",
        "Enter the bottom border width in pixels. ", "Enter the right border width in pixels."};
    const char* colourTips[4] = {"Click here to choose a color for the top border.",
                                 "Click here to choose a color for the left border.",
                                 "Click here to choose a color for the bottom border.",
                                 "Click here to choose a color for the right border."};
    // The parameter file keeps 0 to 100: anything else is refused as typed,
    // never stored.  A leading space stands for the blank sign.
    const QRegularExpression widths("^ *(100|[1-9]?[0-9])?$");
    auto* frame = new QGroupBox("Border size");
    auto* g = new QGridLayout(frame);
    for (int b = 0; b < 4; ++b) {
        auto* field = new QLineEdit;
        field->setObjectName(QString("txtBorder%1").arg(b));
        field->setToolTip(fieldTips[b]);
        field->setValidator(new QRegularExpressionValidator(widths, field));
        field->setFixedWidth(48);
        field->installEventFilter(this);
        auto* colour = new QPushButton("Color");
        colour->setObjectName(QString("cmdColor%1").arg(b));
        colour->setToolTip(colourTips[b]);
        g->addWidget(new QLabel(names[b]), b, 0);
        g->addWidget(field, b, 1);
        g->addWidget(colour, b, 2);
        txtBorder_[static_cast<size_t>(b)] = field;
        cmdColor[static_cast<size_t>(b)] = colour;
        connect(field, &QLineEdit::textChanged, this, [this, b] { txtBorder_Change(b); });
        connect(colour, &QPushButton::clicked, this, [this, b] { cmdColor_Click(b); });
    }
    const DialogButtons dialogButtons = makeDialogButtons(this, "Close");
    cmdOK = dialogButtons.ok;
    cmdCancel = dialogButtons.cancel;
    cmdHelp = dialogButtons.help;
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdHelp);
    auto* top = new QVBoxLayout(this);
    top->addWidget(frame);
    top->addLayout(buttons);
    connect(cmdOK, &QPushButton::clicked, this, &FrmBorder::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &FrmBorder::cmdCancel_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &FrmBorder::cmdHelp_Click);
}

void FrmBorder::showWidths()
{
    const ImageParams& p = state_.p();
    for (int b = 0; b < 4; ++b) {
        const Integer w = p.pnBorderSize[static_cast<size_t>(b)];
        const QSignalBlocker quiet(txtBorder(b));
        txtBorder(b)->setText((w >= 0 ? " " : "") + QString::number(w));
    }
}

void FrmBorder::Form_Load(const QWidget* mainWindow)
{
    showWidths();
    adjustSize();
    // Beside the main window rather than over its top right corner, where
    // it would hide the toolbar's Text, Gradtxt and Help buttons.
    if (mainWindow != nullptr)
        placeBeside(this, mainWindow);
}

void FrmBorder::txtBorder_Change(int b)
{
    state_.p().pnBorderSize[static_cast<size_t>(b)] =
        static_cast<Integer>(borderWidthFromText(txtBorder(b)->text()));
}

void FrmBorder::txtBorder_Click(int b)
{
    cmdColor_Click(b);
    txtBorder(b)->setFocus();
}

void FrmBorder::cmdColor_Click(int b)
{
    SharedValues& v = state_.v();
    v.pnColorTarget = ColourTarget::Border;
    v.pnBorderIndex = static_cast<Integer>(b);
    state_.flags.pbColorWinShown = true;
    emit colourPickerWanted();
}

void FrmBorder::cmdOK_Click()
{
    int sum = 0;
    for (int b = 0; b < 4; ++b) {
        txtBorder_Change(b);
        sum += state_.p().pnBorderSize[static_cast<size_t>(b)];
    }
    if (sum != 0)
        emit bordersApplied();
}

void FrmBorder::cmdCancel_Click()
{
    state_.flags.pbBorderDlgShown = false;
    close();
}

void FrmBorder::cmdHelp_Click()
{
    emit helpWanted();
}

void FrmBorder::unload()
{
    unloading_ = true;
    close();
    unloading_ = false;
}

void FrmBorder::closeEvent(QCloseEvent* e)
{
    // The close box ends the dialog for good; the program's own unloading
    // keeps the flag, so that the dialog comes back.
    if (!unloading_)
        state_.flags.pbBorderDlgShown = false;
    QWidget::closeEvent(e);
}

bool FrmBorder::eventFilter(QObject* o, QEvent* e)
{
    if (e->type() == QEvent::MouseButtonPress) {
        for (int b = 0; b < 4; ++b)
            if (o == txtBorder(b))
                txtBorder_Click(b);
    }
    return QWidget::eventFilter(o, e);
}

void FrmBorder::keyPressEvent(QKeyEvent* e)
{
    if (!clickForDialogKey(e, cmdOK, cmdCancel))
        QWidget::keyPressEvent(e);
}

} // namespace ombrix
