// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/picture/frm_picture.h"

#include "editing/app_state.h"
#include "model/image_geometry.h"
#include "picture/borders.h"
#include "picture/image_window.h"
#include "picture/text_labels.h"
#include "picture/texts.h"
#include "ui/common/main_services.h"

#include <QApplication>
#include <QKeyEvent>
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

// One text label (`lblText`): transparent, as large as its caption, the
// caption drawn in the image's device pixels from the slot's exact position,
// which may lie between two logical pixels on a scaled screen.
class FrmPicture::TextLabel : public QWidget
{
public:
    TextLabel(FrmPicture& owner, QWidget* parent, int index)
        : QWidget(parent), owner_(owner), index_(index)
    {
        setObjectName(QString("lblText%1").arg(index));
        setAttribute(Qt::WA_TranslucentBackground);
        setMouseTracking(true);
    }

    // Shows `caption` with its top left at `pos` on the picture (device px).
    void showCaption(const QString& caption, const QFont& font, const QColor& colour, QPoint pos)
    {
        caption_ = caption;
        font_ = font;
        colour_ = colour;
        const double r = deviceRatio(this);
        const int lx = static_cast<int>(std::floor(pos.x() / r));
        const int ly = static_cast<int>(std::floor(pos.y() / r));
        inset_ = QPoint(pos.x() - static_cast<int>(std::lround(lx * r)),
                        pos.y() - static_cast<int>(std::lround(ly * r)));
        const QSize box = captionSize(font, caption);
        setGeometry(lx, ly, std::max(1, toLogicalCeil(box.width() + inset_.x(), r)),
                    std::max(1, toLogicalCeil(box.height() + inset_.y(), r)));
        setVisible(!caption.isEmpty());
        update();
    }
    void clearCaption()
    {
        caption_.clear();
        hide();
    }
    const QString& caption() const { return caption_; }
    // Where the caption's top left lies inside the label, device px.
    QPoint inset() const { return inset_; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter g(this);
        // Device pixels one to one, as the export draws them.
        const double r = deviceRatio(this);
        g.scale(1.0 / r, 1.0 / r);
        g.setFont(font_);
        g.setPen(colour_);
        g.drawText(QRect(inset_.x(), inset_.y(), 1 << 20, 1 << 20),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, caption_);
    }
    void mousePressEvent(QMouseEvent* e) override { owner_.lblText_MouseDown(index_, e); }
    void mouseMoveEvent(QMouseEvent* e) override { owner_.lblText_MouseMove(index_, e); }
    void mouseReleaseEvent(QMouseEvent* e) override { owner_.lblText_MouseUp(index_, e); }

private:
    FrmPicture& owner_;
    int index_;
    QString caption_;
    QFont font_;
    QColor colour_;
    QPoint inset_;
};

namespace
{
// How often a compositor's stale size is answered before its size is taken.
constexpr int kReasks = 3;
// How long after a size asked from code a different size is taken for the
// compositor's stale answer rather than the user's drag.
constexpr qint64 kAnswerMs = 2000;
} // namespace

FrmPicture::FrmPicture(AppState& state, MainServices& host, QWidget* owner)
    : QWidget(owner, Qt::Window), state_(state), host_(host), dragger_(this)
{
    setObjectName("frmPicture");
    setWindowTitle(" Ombrix");
    picShow = new PictureView(*this);
    picShow->setGeometry(0, 0, 260, 200);

    for (int t = 0; t < kTextSlots; ++t) {
        auto* l = new TextLabel(*this, picShow, t);
        l->hide();
        lblText[static_cast<size_t>(t)] = l;
    }
    setFocusPolicy(Qt::StrongFocus);
    // Label 0 frontmost: a main text in front of its copies, lower sets in
    // front of higher ones.
    for (int t = kTextSlots - 1; t >= 0; --t)
        lblText[static_cast<size_t>(t)]->raise();

    lblSize = new QLabel(picShow);
    lblSize->setObjectName("lblSize");
    QFont f("Arial");
    f.setPointSizeF(8.25);
    lblSize->setFont(f);
    // White on a dark, half-transparent backing: readable on a light
    // pattern as on a dark one.
    lblSize->setStyleSheet("color: white; background: rgba(0, 0, 0, 128); padding: 0px 2px;");
    lblSize->move(4, 2);
    lblSize->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void FrmPicture::Form_Load()
{
    const ImageParams& p = state_.p();
    move(storedImageLeft(p), storedImageTop(p));
    resize(kDefaultImageWidth, kDefaultImageHeight);
    mSetTextLabels();
    state_.history.reset(state_.p());
    Form_Resize();
}

void FrmPicture::showWindow()
{
    show();
    keepOnScreen(this);
}

QSize FrmPicture::deviceSize() const
{
    const ImageSize d = deviceImageSize({width(), height()}, deviceRatio(this));
    return {d.width, d.height};
}

void FrmPicture::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    // A Wayland compositor may answer a size asked from code with a
    // configure still carrying the size it knew before (sway does when focus
    // moves as the size dialog closes); the size asked for stands then.
    if (asked_.isValid() && size() != asked_ && askedAt_.isValid() &&
        askedAt_.elapsed() < kAnswerMs) {
        if (reasked_ < kReasks) {
            // Asked again once Qt has finished with this configure: asked
            // inside it, the new size is only sent with the next frame, and
            // none comes when nothing else is drawn, so the compositor keeps
            // the stale size while the program believes in the new one. A
            // fresh frame carries the size asked for.
            ++reasked_;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (!asked_.isValid() || size() == asked_)
                        return;
                    resize(asked_);
                    update();
                },
                Qt::QueuedConnection);
            return;
        }
        // It holds its own size: the image takes it, and the user learns why
        // the image is not the size asked for.
        const ImageSize a = deviceImageSize({asked_.width(), asked_.height()}, deviceRatio(this));
        asked_ = QSize();
        QMetaObject::invokeMethod(
            this, [this, a] { host_.imageSizeRefused(QSize(a.width, a.height), deviceSize()); },
            Qt::QueuedConnection);
    }
    picShow->setGeometry(0, 0, width(), height());
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
    storeImagePlace(state_.p(), x(), y());
}

void FrmPicture::applyMinimumSize()
{
    // Each repetition keeps at least its minimum tile, counted in the
    // screen's device pixels.
    const double r = deviceRatio(this);
    const PixelSize min = minimumPictureSize(state_.p(), state_.v().pnMinRepPixels);
    setMinimumSize(std::max(1, toLogicalCeil(min.width, r)),
                   std::max(1, toLogicalCeil(min.height, r)));
}

void FrmPicture::setClientSize(int width, int height)
{
    // The minimum of the record in force, not of the one drawn last: an
    // undone state with fewer repetitions may be smaller than that allowed.
    applyMinimumSize();
    // Known before the resize, whose events compare with it.
    asked_ = QSize(width, height).expandedTo(minimumSize()).boundedTo(maximumSize());
    askedAt_.start();
    reasked_ = 0;
    resize(width, height);
    if (size() != drawnSize_)
        Form_Resize();
    // Counted from the end of the drawing, which a busy machine makes long,
    // since the compositor's answer waits for the event loop.
    askedAt_.start();
}

void FrmPicture::showStoredSize()
{
    const ImageSize size = storedImageSize(state_.p());
    setClientSize(size.width, size.height);
}

void FrmPicture::placeStored()
{
    const ImageParams& p = state_.p();
    move(storedImageLeft(p), storedImageTop(p));
    if (isVisible())
        keepOnScreen(this);
}

void FrmPicture::storeGeometry()
{
    // The image's size, with the one fixed allowance every reader of the
    // file takes off again; the frame this window manager drew is not in it.
    ImageParams& p = state_.p();
    storeImageSize(p, {width(), height()});
    storeImagePlace(p, x(), y());
}

void FrmPicture::Form_Resize()
{
    ++resizeRuns_;
    AppState& s = state_;
    ImageParams& p = s.p();

    applyMinimumSize();
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
    mDrawBorders(pics_.picShow, state_.p(), deviceRatio(this));
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
    for (TextLabel* l : lblText)
        l->clearCaption();
}

void FrmPicture::pictureChanged()
{
    picShow->update();
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
    // An empty label would still show its backing.
    lblSize->setVisible(!text.isEmpty());
}

bool FrmPicture::sizeLabelShown() const
{
    return !lblSize->text().isEmpty();
}

bool FrmPicture::leftPress(const QMouseEvent* e)
{
    if (state_.flags.pbTextDlgShown)
        return false;
    if (e->button() == Qt::RightButton)
        host_.popupImageMenu(e->globalPosition().toPoint());
    return e->button() == Qt::LeftButton;
}

void FrmPicture::picShow_MouseDown(QMouseEvent* e)
{
    if (!leftPress(e))
        return;
    if (state_.flags.pbTextMode) {
        // Logical pixels, as the record holds positions.
        newText_ = QPoint(clampPosition(e->position().x()), clampPosition(e->position().y()));
        textPress_ = true;
    } else {
        dragger_.press(e);
    }
}

void FrmPicture::picShow_MouseMove(QMouseEvent* e)
{
    const bool textCursor = state_.flags.pbTextMode && !state_.flags.pbTextDlgShown;
    picShow->setCursor(textCursor ? Qt::CrossCursor : Qt::ArrowCursor);
    dragger_.move(e);
}

void FrmPicture::picShow_MouseUp(QMouseEvent* e)
{
    dragger_.release(e);
    // A click in text mode adds a set at the point pressed.
    const bool click = textPress_ && e->button() == Qt::LeftButton;
    textPress_ = false;
    if (click && state_.flags.pbTextMode && !state_.flags.pbTextDlgShown)
        emit textSpaceClicked();
}

void FrmPicture::picShow_DblClick()
{
    if (!state_.flags.pbTextDlgShown)
        host_.toggleImageSize();
}

QString FrmPicture::textCaption(int t) const
{
    return lblText[static_cast<size_t>(t)]->caption();
}

QRect FrmPicture::textLabelRect(int t) const
{
    const TextLabel* l = lblText[static_cast<size_t>(t)];
    const double r = deviceRatio(this);
    return {toDevice(l->x(), r), toDevice(l->y(), r), toDevice(l->width(), r),
            toDevice(l->height(), r)};
}

void FrmPicture::placeTextLabels(int k)
{
    const ImageParams& p = state_.p();
    const double dpi = 96.0 * deviceRatio(this);
    // The record's positions are logical pixels; the captions lie where the
    // exported picture prints them, in device pixels.
    for (int t = 3 * k; t < 3 * k + 3; ++t) {
        const Colour& c = p.plTextColor[static_cast<size_t>(t)];
        lblText[static_cast<size_t>(t)]->showCaption(
            QString::fromStdString(labelCaption(p.psText[static_cast<size_t>(t)])),
            textFont(p, t, dpi),
            QColor(static_cast<int>(c[0] & 255), static_cast<int>(c[1] & 255),
                   static_cast<int>(c[2] & 255)),
            QPoint(textPositionAt(p.pnTextLeft[static_cast<size_t>(t)], dpi),
                   textPositionAt(p.pnTextTop[static_cast<size_t>(t)], dpi)));
    }
}

void FrmPicture::mSetTextLabels()
{
    for (int k = 0; k < kTextSets; ++k)
        placeTextLabels(k);
}

void FrmPicture::lblText_MouseDown(int index, QMouseEvent* e)
{
    if (!leftPress(e))
        return;
    SharedValues& v = state_.v();
    // A press on a highlight or shadow label selects its set.
    v.pnTextSetIndex = static_cast<Integer>(index / 3);
    v.pnTextIndex = static_cast<Integer>(3 * v.pnTextSetIndex);
    setFocus();
    textPress_ = state_.flags.pbTextMode;
    if (state_.flags.pbTextMode)
        return;
    // The grab point inside the pressed label, from its caption's corner.
    const double r = deviceRatio(this);
    const TextLabel* l = lblText[static_cast<size_t>(index)];
    dragSet_ = v.pnTextSetIndex;
    anchor_ = QPoint(static_cast<int>(std::lround(e->position().x() * r)),
                     static_cast<int>(std::lround(e->position().y() * r))) -
              l->inset();
    dragMoved_ = false;
}

void FrmPicture::lblText_MouseMove(int index, QMouseEvent* e)
{
    const bool moveCursor = !state_.flags.pbTextMode && !state_.flags.pbTextDlgShown;
    lblText[static_cast<size_t>(index)]->setCursor(moveCursor ? Qt::SizeAllCursor
                                                              : Qt::ArrowCursor);
    if (dragSet_ < 0 || !(e->buttons() & Qt::LeftButton))
        return;
    // The main label follows the pointer at the grab offset, its copies at
    // their offsets; the record takes the place only at the drop.
    const double r = deviceRatio(this);
    const QPointF at = picShow->mapFromGlobal(e->globalPosition()) * r;
    ImageParams moved = state_.p();
    placeTextSet(moved, dragSet_, (std::round(at.x()) - anchor_.x()) / r,
                 (std::round(at.y()) - anchor_.y()) / r);
    const int t = 3 * dragSet_;
    if (moved.pnTextLeft[t] == state_.p().pnTextLeft[t] &&
        moved.pnTextTop[t] == state_.p().pnTextTop[t] && !dragMoved_)
        return;
    dragMoved_ = true;
    ImageParams& p = state_.p();
    for (int j = t; j < t + 3; ++j) {
        p.pnTextLeft[j] = moved.pnTextLeft[j];
        p.pnTextTop[j] = moved.pnTextTop[j];
    }
    placeTextLabels(dragSet_);
}

void FrmPicture::lblText_MouseUp(int index, QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    if (dragSet_ >= 0) {
        lblText_MouseMove(index, e);
        // One shot per drop; a click that moved nothing takes none.
        if (dragMoved_)
            state_.history.mPushShot(state_.p());
        dragSet_ = -1;
        dragMoved_ = false;
        return;
    }
    const bool click = textPress_;
    textPress_ = false;
    if (click && state_.flags.pbTextMode && !state_.flags.pbTextDlgShown)
        emit textLabelClicked(index / 3);
}

void FrmPicture::keyPressEvent(QKeyEvent* e)
{
    picShow_KeyDown(e);
    if (!e->isAccepted())
        QWidget::keyPressEvent(e);
}

void FrmPicture::picShow_KeyDown(QKeyEvent* e)
{
    // Once the texts are pixels of the picture (gradient text) the labels
    // stay empty until the next Show: a nudge would bring a caption back
    // over its own filled letters.
    if (state_.flags.pbTextDlgShown || state_.flags.pbTextsInPicture) {
        e->ignore();
        return;
    }
    const Qt::KeyboardModifiers m = e->modifiers();
    const int step = nudgeStep(m & Qt::ShiftModifier, m & Qt::ControlModifier, m & Qt::AltModifier);
    int dx = 0, dy = 0;
    switch (e->key()) {
    case Qt::Key_Right:
        dx = step;
        break;
    case Qt::Key_Left:
        dx = -step;
        break;
    case Qt::Key_Up:
        dy = -step;
        break;
    case Qt::Key_Down:
        dy = step;
        break;
    default:
        e->ignore();
        return;
    }
    const int k = std::clamp<int>(state_.v().pnTextSetIndex, 0, kTextSets - 1);
    nudgeTextSet(state_.p(), k, dx, dy);
    placeTextLabels(k);
    e->accept();
}

} // namespace ombrix
