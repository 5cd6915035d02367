#include "picture/frm_picture.h"

#include "main/frm_main.h"
#include "picture/borders.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace ombrix
{

// The visible picture: paints picShow's pixels and hands mouse input to
// the window's handlers.
class PictureView : public QWidget
{
public:
    PictureView(FrmPicture& owner, QWidget* parent) : QWidget(parent), mOwner(owner)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent* e) override
    {
        QPainter g(this);
        g.fillRect(e->rect(), Qt::black);
        g.drawImage(0, 0, mOwner.mPics.picShow.image());
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        mOwner.picShow_MouseDown(e->button(), e->position().toPoint(),
                                 e->globalPosition().toPoint());
    }
    void mouseMoveEvent(QMouseEvent* e) override
    {
        if (mManualDrag)
            mOwner.move(e->globalPosition().toPoint() - mGrab);
    }
    void mouseReleaseEvent(QMouseEvent*) override
    {
        if (mManualDrag) {
            mManualDrag = false;
            keepOnScreen(&mOwner);
        }
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton)
            mOwner.picShow_DblClick();
    }

public:
    bool mManualDrag = false;
    QPoint mGrab;

private:
    FrmPicture& mOwner;
};

FrmPicture::FrmPicture(FrmMain& main)
    : QWidget(nullptr, Qt::Window), mMain(main), mState(main.state())
{
    setObjectName("frmPicture");
    setWindowTitle(" Ombrix");
    mPicShow = new PictureView(*this, this);
    mPicShow->setGeometry(0, 0, 260, 200);
    mPicShow->setMouseTracking(false);

    for (int t = 0; t < kTextSlots; ++t) {
        auto* l = new QLabel(mPicShow);
        l->setAttribute(Qt::WA_TranslucentBackground);
        l->hide();
        mLblText[static_cast<size_t>(t)] = l;
    }
    // Label 0 frontmost: a main text in front of its copies, lower sets in
    // front of higher ones.
    for (int t = kTextSlots - 1; t >= 0; --t)
        mLblText[static_cast<size_t>(t)]->raise();

    mLblSize = new QLabel(mPicShow);
    QFont f("Arial");
    f.setPointSizeF(8.25);
    mLblSize->setFont(f);
    mLblSize->setStyleSheet("color: white; background: transparent;");
    mLblSize->move(4, 2);
    mLblSize->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void FrmPicture::Form_Load()
{
    const SharedValues& v = mState.v();
    const ImageParams& p = mState.p();
    move(p.pnImageLeft / v.Tppx, p.pnImageTop / v.Tppy);
    resize(260, 200);
    for (int t = 0; t < kTextSlots; ++t) {
        QLabel* l = mLblText[static_cast<size_t>(t)];
        const auto i = static_cast<size_t>(t);
        l->move(p.pnTextLeft[i], p.pnTextTop[i]);
        l->setText(QString::fromStdString(p.psText[i]));
        l->setVisible(!p.psText[i].empty());
    }
    mPics.resize(260, 200);
    RenderContext ctx(p);
    mDrawPattern(ctx, mPics.picSrc, 0, 0, 260, 200);
    mState.history.pnShots = 0;
    mState.history.pnShotPointer = 0;
    Form_Resize();
}

void FrmPicture::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    mPicShow->setGeometry(0, 0, width(), height());
    if (size() == mDrawnSize || mResizePending)
        return;
    // Coalesced: a drag of the frame sends many sizes; the image is drawn
    // once the event queue has caught up, at the size it then has.
    mResizePending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (mResizePending)
                Form_Resize();
        },
        Qt::QueuedConnection);
}

void FrmPicture::moveEvent(QMoveEvent* e)
{
    QWidget::moveEvent(e);
    const SharedValues& v = mState.v();
    try {
        mState.p().pnImageLeft = num::cint(static_cast<double>(x()) * v.Tppx);
        mState.p().pnImageTop = num::cint(static_cast<double>(y()) * v.Tppy);
    } catch (const ArithmeticError&) {
        // Far off the 16-bit range: keep the last position that fitted.
    }
}

void FrmPicture::setClientSize(int width, int height)
{
    resize(width, height);
    if (size() != mDrawnSize)
        Form_Resize();
}

void FrmPicture::setOuterTwips(Long width, Long height)
{
    const SharedValues& v = mState.v();
    const int w = static_cast<int>((width - mState.frameWidth) / v.Tppx);
    const int h = static_cast<int>((height - mState.frameHeight) / v.Tppy);
    if (w > 0 && h > 0)
        setClientSize(w, h);
}

void FrmPicture::Form_Resize()
{
    mResizePending = false;
    ++mResizeRuns;
    AppState& s = mState;
    ImageParams& p = s.p();
    const SharedValues& v = s.v();

    // Each repetition keeps at least its minimum tile.
    const WindowSize min = minimumWindowSize(p, v, s.frameWidth, s.frameHeight);
    setMinimumSize(static_cast<int>((min.width - s.frameWidth) / v.Tppx),
                   static_cast<int>((min.height - s.frameHeight) / v.Tppy));
    if (width() < minimumWidth() || height() < minimumHeight())
        resize(std::max(width(), minimumWidth()), std::max(height(), minimumHeight()));

    const int w = width(), h = height();
    mDrawnSize = size();
    mPicShow->setGeometry(0, 0, w, h);
    mPics.resize(w, h);
    s.pnPixelWidth = static_cast<Integer>(std::min(w, 32767));
    s.pnPixelHeight = static_cast<Integer>(std::min(h, 32767));
    mMain.mShowImageSize();

    s.flags.pbFullSize = false;
    mMain.mDrawPreview();
    s.flags.pbFullSize = true;
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    drawFullSize();
    s.flags.pbFullSize = false;

    if (!s.flags.pbOpening) {
        mDrawBorders(mPics.picShow, p);
        mPicShow->update();
    }
    if (!s.flags.pbSizingPicture) {
        const auto outer = [](double pixels, Integer tpp, Single frame) {
            return static_cast<Long>(
                std::clamp(num::roundHalfEven(pixels * tpp + frame), 0.0, 65535.0));
        };
        p.pnImageWidth = outer(w, v.Tppx, s.frameWidth);
        p.pnImageHeight = outer(h, v.Tppy, s.frameHeight);
        if (!s.flags.pbOpening)
            s.history.mPushShot(p);
    }

    if (p.pnPattern != kLinearGradient && p.pnPattern != kPlainBackground && !s.flags.pbOpening) {
        const Single fAsp = static_cast<Single>(w) / static_cast<Single>(h);
        if (fAsp > 5.0f || fAsp < 0.2f) {
            s.flags.pbAspectHintToggle = !s.flags.pbAspectHintToggle;
            if (s.flags.pbAspectHintToggle)
                mMain.mShowHint(0);
        }
    }
}

void FrmPicture::drawFullSize()
{
    RenderContext ctx(mState.p());
    ctx.pbFullSize = true;
    ctx.progressBar = [this](Single value) { mMain.setProgress(value); };
    const int w = mPics.picShow.width(), h = mPics.picShow.height();
    if (w != width() || h != height())
        mPics.resize(width(), height());
    mDrawFullSize(ctx, mPics, static_cast<Integer>(std::min(width(), 32767)),
                  static_cast<Integer>(std::min(height(), 32767)));
    mPicShow->update();
}

void FrmPicture::clearPicture()
{
    mPics.picShow.cls();
    mPicShow->update();
}

void FrmPicture::clearTextLabels()
{
    for (QLabel* l : mLblText) {
        l->clear();
        l->hide();
    }
}

void FrmPicture::picShow_MouseDown(Qt::MouseButton button, const QPoint&, const QPoint& global)
{
    if (mState.flags.pbTextDlgShown)
        return;
    if (button == Qt::RightButton) {
        mMain.popupImageMenu(global);
        return;
    }
    if (button != Qt::LeftButton || mState.flags.pbTextMode)
        return;
    dragWindow(global);
}

void FrmPicture::dragWindow(const QPoint& global)
{
    // The window manager moves the window as if its caption were grabbed;
    // where there is none, the window follows the mouse itself.
    QWindow* handle = windowHandle();
    if (handle != nullptr && handle->startSystemMove())
        return;
    auto* view = static_cast<PictureView*>(mPicShow);
    view->mManualDrag = true;
    view->mGrab = global - pos();
}

void FrmPicture::picShow_DblClick()
{
    if (mState.flags.pbTextDlgShown)
        return;
    if (!mLblSize->text().isEmpty()) {
        mLblSize->setText(QString());
        mMain.menuItem(3)->setText("Show Image Size");
    } else {
        mMain.mShowImageSize();
        mMain.menuItem(3)->setText("Hide Image Size");
    }
}

} // namespace ombrix
