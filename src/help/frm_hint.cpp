#include "help/frm_hint.h"

#include "help/hints.h"
#include "main/app_state.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>

namespace ombrix
{

namespace
{

// The lamp in its three states: lit, dimming and dark.
QPixmap lamp(int frame)
{
    QPixmap pm(32, 40);
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

FrmHint::FrmHint(AppState& state, QWidget* parent) : QDialog(parent), mState(state)
{
    setWindowTitle(" Hint");
    setModal(true);
    const int index = state.hintIndex;

    Label1 = new QLabel(this);
    Label1->setText(QString::fromStdString(hintText(index)).replace("\r\n", "\n"));
    Label1->move(16, 16);
    Label1->adjustSize();

    mImgMain = new QLabel(this);
    mImgMain->setPixmap(lamp(0));
    mImgMain->adjustSize();

    mChkShow = new QCheckBox(" Do not show this massage any more. ", this);
    mChkShow->adjustSize();
    mChkShow->setEnabled(hintSwitchable(index));
    connect(mChkShow, &QCheckBox::clicked, this, [this](bool checked) {
        const int i = std::clamp<int>(mState.hintIndex, 0, kHintCount - 1);
        mState.v().pnShowTip[static_cast<size_t>(i)] = static_cast<Integer>(checked ? 0 : 1);
    });

    mCmdOK = new QPushButton("Noted", this);
    mCmdOK->adjustSize();
    mCmdOK->setDefault(true);
    connect(mCmdOK, &QPushButton::clicked, this, &QDialog::accept);

    // The lamp sits 18 pixels right of the text and the button stays
    // centred, however long the hint's lines are.
    mImgMain->move(Label1->x() + Label1->width() + 18, Label1->y() + 3);
    mChkShow->move(Label1->x() - 1, Label1->y() + Label1->height() + 10);
    const int w = mImgMain->width() + mImgMain->x() + 28;
    mCmdOK->move((w - mCmdOK->width()) / 2, mChkShow->y() + mChkShow->height() + 16);
    const int h = mCmdOK->y() + mCmdOK->height() + 16;
    setFixedSize(w, h);
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        const QRect g = s->availableGeometry();
        move(g.x() + (g.width() - w) / 2, g.y() + (g.height() - h) / 2);
    }

    Timer1 = new QTimer(this);
    Timer1->setInterval(70);
    connect(Timer1, &QTimer::timeout, this, &FrmHint::Timer1_Timer);
    Timer1->start();
}

void FrmHint::Timer1_Timer()
{
    ++mTicks;
    if (mTicks == 3)
        mFrame = 1;
    else if (mTicks == 6)
        mFrame = 2;
    else if (mTicks >= 8) {
        mFrame = 0;
        mTicks = 0;
    } else
        return;
    mImgMain->setPixmap(lamp(mFrame));
}

FrmHelp::FrmHelp(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName("frmHelp");
    setWindowTitle(" Ombrix Help");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    mBrowser = new QTextBrowser(this);
    mBrowser->setOpenLinks(false);
    layout->addWidget(mBrowser);
    resize(560, 520);
}

void FrmHelp::showTopic(int context)
{
    mTopic = context;
    mBrowser->setHtml(QString::fromStdString(helpPage(context)));
}

QString FrmHelp::pageText() const
{
    return mBrowser->toPlainText();
}

} // namespace ombrix
