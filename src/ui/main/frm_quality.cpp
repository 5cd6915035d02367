// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/frm_quality.h"
#include "ui/common/window_tools.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>

namespace ombrix
{

namespace
{

QString qualityCaption(int value)
{
    return QString("Quality = %1").arg(value);
}

} // namespace

FrmQuality::FrmQuality(Long& quality, std::function<void(int)> help, QWidget* parent)
    : QDialog(parent), quality_(quality), help_(std::move(help))
{
    setObjectName("frmQuality");
    setWindowTitle(" Set JPEG Image Quality");
    setModal(true);

    auto* rows = new QVBoxLayout(this);
    rows->setSizeConstraint(QLayout::SetFixedSize);
    fraQuality = new QGroupBox(this);
    fraQuality->setObjectName("fraQuality");
    auto* grid = new QGridLayout(fraQuality);
    sliQuality = new QSlider(Qt::Horizontal, fraQuality);
    sliQuality->setObjectName("sliQuality");
    sliQuality->setRange(10, 100);
    sliQuality->setSingleStep(1);
    sliQuality->setPageStep(10);
    sliQuality->setTickInterval(10);
    sliQuality->setTickPosition(QSlider::TicksBelow);
    sliQuality->setMinimumWidth(240);
    auto* low = new QLabel("Low", fraQuality);
    low->setObjectName("lblLow");
    auto* high = new QLabel("High", fraQuality);
    high->setObjectName("lblHigh");
    grid->addWidget(sliQuality, 0, 0, 1, 2);
    grid->addWidget(low, 1, 0, Qt::AlignLeft);
    grid->addWidget(high, 1, 1, Qt::AlignRight);
    rows->addWidget(fraQuality);

    auto* buttons = new QHBoxLayout;
    const auto [cmdOK, cmdCancel, cmdHelp] = makeDialogButtons(this);
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdHelp);
    rows->addLayout(buttons);

    connect(sliQuality, &QSlider::valueChanged, this, &FrmQuality::sliQuality_Change);
    connect(cmdOK, &QPushButton::clicked, this, &FrmQuality::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdHelp, &QPushButton::clicked, this, &FrmQuality::cmdHelp_Click);

    // A stored value outside the slider's range is shown at its nearest end.
    const int value = static_cast<int>(std::clamp<Long>(quality_, 10, 100));
    sliQuality->setValue(value);
    sliQuality_Change(value);
}

void FrmQuality::sliQuality_Change(int value)
{
    fraQuality->setTitle(qualityCaption(value));
}

void FrmQuality::cmdOK_Click()
{
    quality_ = sliQuality->value();
    accept();
}

void FrmQuality::cmdHelp_Click()
{
    if (help_)
        help_(13);
}

} // namespace ombrix
