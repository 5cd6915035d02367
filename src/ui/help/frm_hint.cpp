// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/help/frm_hint.h"

#include "editing/app_state.h"
#include "editing/hints.h"
#include "ui/common/window_tools.h"

#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace ombrix
{

namespace
{

// The lamp in its three states: lit, dimming and dark.
QPixmap lamp(int frame, double ratio)
{
    // In device pixels, so that it stays sharp on a scaled screen.
    QPixmap pm(toDevice(32, ratio), toDevice(40, ratio));
    pm.setDevicePixelRatio(ratio);
    pm.fill(Qt::transparent);
    QPainter g(&pm);
    g.setRenderHint(QPainter::Antialiasing, true);
    const QColor glass[] = {QColor(255, 230, 60), QColor(230, 190, 90), QColor(200, 200, 200)};
    if (frame == 0) {
        g.setBrush(QColor(255, 240, 120, 90));
        g.setPen(Qt::NoPen);
        g.drawEllipse(QRectF(0, 0, 32, 32));
    }
    g.setPen(QPen(QColor(90, 80, 40), 1.2));
    g.setBrush(glass[frame]);
    g.drawEllipse(QRectF(6, 4, 20, 20));
    g.setBrush(QColor(150, 150, 160));
    g.drawRect(QRectF(11, 24, 10, 9));
    g.drawLine(QPointF(11, 27), QPointF(21, 27));
    g.drawLine(QPointF(11, 30), QPointF(21, 30));
    return pm;
}

} // namespace

FrmHint::FrmHint(AppState& state, QWidget* parent) : QDialog(parent), state_(state)
{
    setWindowTitle(" Hint");
    setModal(true);
    const int index = state.hintIndex;

    Label1 = new QLabel(this);
    Label1->setText(QString::fromStdString(hintText(index)).replace("\r\n", "\n"));
    Label1->move(16, 16);
    Label1->adjustSize();

    imgMain_ = new QLabel(this);
    imgMain_->setPixmap(lamp(0, deviceRatio(this)));
    imgMain_->adjustSize();

    chkShow_ = new QCheckBox(" Do not show this massage any more. ", this);
    chkShow_->adjustSize();
    chkShow_->setEnabled(hintSwitchable(index));
    connect(chkShow_, &QCheckBox::clicked, this, [this](bool checked) {
        const int i = std::clamp<int>(state_.hintIndex, 0, kHintCount - 1);
        state_.v().pnShowTip[static_cast<size_t>(i)] = static_cast<Integer>(checked ? 0 : 1);
    });

    cmdOK_ = new QPushButton("Noted", this);
    cmdOK_->adjustSize();
    cmdOK_->setDefault(true);
    connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);

    // The lamp sits 18 pixels right of the text and the button stays
    // centred, however long the hint's lines are.
    imgMain_->move(Label1->x() + Label1->width() + 18, Label1->y() + 3);
    chkShow_->move(Label1->x() - 1, Label1->y() + Label1->height() + 10);
    const int w = imgMain_->width() + imgMain_->x() + 28;
    cmdOK_->move((w - cmdOK_->width()) / 2, chkShow_->y() + chkShow_->height() + 16);
    const int h = cmdOK_->y() + cmdOK_->height() + 16;
    setFixedSize(w, h);
    centreOnScreen(this);

    Timer1 = new QTimer(this);
    Timer1->setInterval(70);
    connect(Timer1, &QTimer::timeout, this, &FrmHint::Timer1_Timer);
    Timer1->start();
}

void FrmHint::Timer1_Timer()
{
    ++ticks_;
    if (ticks_ == 3)
        frame_ = 1;
    else if (ticks_ == 6)
        frame_ = 2;
    else if (ticks_ >= 8) {
        frame_ = 0;
        ticks_ = 0;
    } else
        return;
    imgMain_->setPixmap(lamp(frame_, deviceRatio(this)));
}

FrmHelp::FrmHelp(QWidget* owner) : QWidget(owner, Qt::Window)
{
    setObjectName("frmHelp");
    setWindowTitle(" Ombrix Help");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    browser_ = new QTextBrowser(this);
    browser_->setOpenLinks(false);
    browser_->setAccessibleName("Help page");
    // The pages link each other as "topic:N".
    connect(browser_, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        if (url.scheme() == "topic")
            showTopic(url.path().toInt());
    });
    layout->addWidget(browser_);
    // Closed by Escape, as every dialog of the program is.
    new QShortcut(QKeySequence::Cancel, this, this, &QWidget::close);
    resize(460, 520);
}

void FrmHelp::showTopic(int context)
{
    topic_ = context;
    browser_->setHtml(QString::fromStdString(helpPage(context)));
}

QString FrmHelp::pageText() const
{
    return browser_->toPlainText();
}

} // namespace ombrix
