#include "picture/frm_picture.h"

#include "main/app_state.h"
#include "main/ui_main_services.h"
#include "picture/borders.h"
#include "picture/image_window.h"
#include "picture/texts.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace ombrix
{

// The visible picture (`picShow`): paints the full-size picture pixel for
// pixel and hands the mouse to the window's handlers.
class FrmPicture::PictureView : public QWidget
{
public:
    PictureView(FrmPicture& owner) : QWidget(&owner), owner_(owner)
    {
        setObjectName("picShow");
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent* e) override
    {
        QPainter g(this);
        g.fillRect(e->rect(), Qt::black);
        const QImage& image = owner_.pics_.picShow.image();
        // The picture holds the screen's device pixels: drawn into the
        // logical rectangle of the same size it maps one to one.
        const double r = deviceRatio(this);
        g.drawImage(QRectF(0, 0, image.width() / r, image.height() / r), image);
    }
    void mousePressEvent(QMouseEvent* e) override { owner_.picShow_MouseDown(e); }
    void mouseMoveEvent(QMouseEvent* e) override { owner_.picShow_MouseMove(e); }
    void mouseReleaseEvent(QMouseEvent* e) override { owner_.picShow_MouseUp(e); }
    void mouseDoubleClickEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton)
            owner_.picShow_DblClick();
    }

private:
    FrmPicture& owner_;
};

FrmPicture::FrmPicture(AppState& state, MainServices& host)
    : QWidget(nullptr, Qt::Window), state_(state), host_(host), dragger_(this)
{
    setObjectName("frmPicture");
    setWindowTitle(" Ombrix");
    picShow = new PictureView(*this);
    picShow->setGeometry(0, 0, 260, 200);

    for (int t = 0; t < kTextSlots; ++t) {
        auto* l = new QLabel(picShow);
        l->setObjectName(QString("lblText%1").arg(t));
        l->setAttribute(Qt::WA_TranslucentBackground);
        l->hide();
        lblText[static_cast<size_t>(t)] = l;
    }
    // Label 0 frontmost: a main text in front of its copies, lower sets in
    // front of higher ones.
    for (int t = kTextSlots - 1; t >= 0; --t)
        lblText[static_cast<size_t>(t)]->raise();

    lblSize = new QLabel(picShow);
    lblSize->setObjectName("lblSize");
    QFont f("Arial");
    f.setPointSizeF(8.25);
    lblSize->setFont(f);
    lblSize->setStyleSheet("color: white; background: transparent;");
    lblSize->move(4, 2);
    lblSize->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void FrmPicture::Form_Load()
{
    const SharedValues& v = state_.v();
    const ImageParams& p = state_.p();
    move(p.pnImageLeft / v.Tppx, p.pnImageTop / v.Tppy);
    resize(260, 200);
    // Text positions are the picture's pixels; the labels lie in the
    // window's logical ones.
    const double r = deviceRatio(this);
    for (size_t t = 0; t < kTextSlots; ++t) {
        QLabel* l = lblText[t];
        l->move(static_cast<int>(std::lround(p.pnTextLeft[t] / r)),
                static_cast<int>(std::lround(p.pnTextTop[t] / r)));
        l->setText(QString::fromStdString(p.psText[t]));
        l->setVisible(!p.psText[t].empty());
    }
    state_.history.pnShots = 0;
    state_.history.pnShotPointer = 0;
    Form_Resize();
}

void FrmPicture::showWindow()
{
    show();
    keepOnScreen(this);
}

QSize FrmPicture::deviceSize() const
{
    const double r = deviceRatio(this);
    return {toDevice(width(), r), toDevice(height(), r)};
}

void FrmPicture::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    picShow->setGeometry(0, 0, width(), height());
    noteFrame();
    if (size() == drawnSize_ || resizePending_)
        return;
    // Coalesced: a drag of the frame sends many sizes; the image is drawn
    // once the event queue has caught up, at the size it then has.
    resizePending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            resizePending_ = false;
            // A resize from code may have drawn this size already.
            if (size() != drawnSize_)
                Form_Resize();
        },
        Qt::QueuedConnection);
}

void FrmPicture::moveEvent(QMoveEvent* e)
{
    QWidget::moveEvent(e);
    noteFrame();
    const SharedValues& v = state_.v();
    try {
        state_.p().pnImageLeft = num::cint(static_cast<double>(x()) * v.Tppx);
        state_.p().pnImageTop = num::cint(static_cast<double>(y()) * v.Tppy);
    } catch (const ArithmeticError&) {
        // Far off the Integer range: keep the last place that fitted.
    }
}

void FrmPicture::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    noteFrame();
}

void FrmPicture::noteFrame()
{
    // A window manager frames a window a moment after it is shown; from then
    // on the frame is known and every size the record keeps includes it.
    int w = 0, h = 0;
    if (!frameExtent(this, w, h))
        return;
    const SharedValues& v = state_.v();
    state_.frameWidth = static_cast<Single>(w * v.Tppx);
    state_.frameHeight = static_cast<Single>(h * v.Tppy);
}

void FrmPicture::setClientSize(int width, int height)
{
    resize(width, height);
    if (size() != drawnSize_)
        Form_Resize();
}

void FrmPicture::setOuterTwips(Long width, Long height)
{
    const SharedValues& v = state_.v();
    const int w = static_cast<int>((width - state_.frameWidth) / v.Tppx);
    const int h = static_cast<int>((height - state_.frameHeight) / v.Tppy);
    if (w > 0 && h > 0)
        setClientSize(w, h);
}

void FrmPicture::storeGeometry()
{
    noteFrame();
    const SharedValues& v = state_.v();
    ImageParams& p = state_.p();
    // The record keeps the outer size as an unsigned 16-bit number.
    const auto outer = [](double pixels, Integer tpp, Single frame) {
        return static_cast<Long>(
            std::clamp(num::roundHalfEven(pixels * tpp + frame), 0.0, 65535.0));
    };
    p.pnImageWidth = outer(width(), v.Tppx, state_.frameWidth);
    p.pnImageHeight = outer(height(), v.Tppy, state_.frameHeight);
    p.pnImageLeft = num::clampInteger(std::lround(static_cast<double>(x()) * v.Tppx));
    p.pnImageTop = num::clampInteger(std::lround(static_cast<double>(y()) * v.Tppy));
}

void FrmPicture::Form_Resize()
{
    ++resizeRuns_;
    AppState& s = state_;
    ImageParams& p = s.p();

    // Each repetition keeps at least its minimum tile, counted in the
    // screen's device pixels.
    const double r = deviceRatio(this);
    const PixelSize min = minimumPictureSize(p, s.v().pnMinRepPixels);
    setMinimumSize(std::max(1, toLogicalCeil(min.width, r)),
                   std::max(1, toLogicalCeil(min.height, r)));
    if (width() < minimumWidth() || height() < minimumHeight())
        resize(std::max(width(), minimumWidth()), std::max(height(), minimumHeight()));

    drawnSize_ = size();
    picShow->setGeometry(0, 0, width(), height());
    const QSize px = deviceSize();
    pics_.resize(px.width(), px.height());
    s.pnPixelWidth = num::clampInteger(px.width());
    s.pnPixelHeight = num::clampInteger(px.height());
    host_.mShowImageSize();

    host_.mDrawPreview();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    drawTiles();

    if (!s.flags.pbOpening)
        drawBorders();
    if (!s.flags.pbSizingPicture) {
        storeGeometry();
        // A window widened for the repetitions takes no shot of its own: the
        // command that asked for it does.
        if (!s.flags.pbOpening && !growing_)
            s.history.mPushShot(p);
    }

    if (!s.flags.pbOpening && aspectHintDue(p.pnPattern, px.width(), px.height())) {
        s.flags.pbAspectHintToggle = !s.flags.pbAspectHintToggle;
        if (s.flags.pbAspectHintToggle)
            host_.mShowHint(0);
    }
}

bool FrmPicture::growForRepetitions()
{
    const double r = deviceRatio(this);
    const PixelSize min = minimumPictureSize(state_.p(), state_.v().pnMinRepPixels);
    const int w = std::max(1, toLogicalCeil(min.width, r));
    const int h = std::max(1, toLogicalCeil(min.height, r));
    if (width() >= w && height() >= h)
        return false;
    growing_ = true;
    setClientSize(std::max(width(), w), std::max(height(), h));
    growing_ = false;
    return true;
}

void FrmPicture::mDrawFullSize()
{
    if (!growForRepetitions())
        drawTiles();
}

void FrmPicture::drawTiles()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    RenderContext ctx(state_.p());
    ctx.pbFullSize = true;
    ctx.progressBar = [this](Single value) { host_.mShowProgress(value); };
    const QSize px = deviceSize();
    if (pics_.picShow.width() != px.width() || pics_.picShow.height() != px.height())
        pics_.resize(px.width(), px.height());
    ombrix::mDrawFullSize(ctx, pics_, num::clampInteger(px.width()),
                          num::clampInteger(px.height()));
    // The bar drops back to 0 only past 90 %; a drawing that ends below that
    // would leave it standing as if the drawing had stalled.
    host_.mShowProgress(0);
    picShow->update();
    QApplication::restoreOverrideCursor();
}

void FrmPicture::drawBorders()
{
    mDrawBorders(pics_.picShow, state_.p());
    picShow->update();
}

QImage FrmPicture::exportImage() const
{
    QImage out = pics_.picShow.image().copy();
    if (out.isNull())
        return out;
    if (!state_.flags.pbTextsInPicture)
        mPrintTexts(out, state_.p(), 96.0 * deviceRatio(this));
    return out;
}

void FrmPicture::clearPicture()
{
    pics_.picShow.cls();
    picShow->update();
}

void FrmPicture::clearTextLabels()
{
    for (QLabel* l : lblText) {
        l->clear();
        l->hide();
    }
}

void FrmPicture::hidePicture(bool hidden)
{
    picShow->setVisible(!hidden);
}

bool FrmPicture::roomForSizeLabel() const
{
    return ombrix::roomForSizeLabel(width(), height());
}

void FrmPicture::setSizeLabel(const QString& text)
{
    lblSize->setText(text);
    lblSize->adjustSize();
}

bool FrmPicture::sizeLabelShown() const
{
    return !lblSize->text().isEmpty();
}

void FrmPicture::picShow_MouseDown(QMouseEvent* e)
{
    if (state_.flags.pbTextDlgShown)
        return;
    if (e->button() == Qt::RightButton) {
        host_.popupImageMenu(e->globalPosition().toPoint());
        return;
    }
    if (e->button() == Qt::LeftButton && !state_.flags.pbTextMode)
        dragger_.press(e);
}

void FrmPicture::picShow_MouseMove(QMouseEvent* e)
{
    dragger_.move(e);
}

void FrmPicture::picShow_MouseUp(QMouseEvent* e)
{
    dragger_.release(e);
}

void FrmPicture::picShow_DblClick()
{
    if (!state_.flags.pbTextDlgShown)
        host_.toggleImageSize();
}

} // namespace ombrix
