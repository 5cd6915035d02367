// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/main_widgets.h"

#include "ui/common/desktop_habits.h"

#include <QCursor>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>

#include <algorithm>

namespace ombrix
{

namespace
{

bool releasedInside(const QWidget* w, const QMouseEvent* e)
{
    return e->button() == Qt::LeftButton && w->rect().contains(e->position().toPoint());
}

// Space or Enter on a focused box does what a click does, so that the boxes
// are reached with Tab and used without a mouse; a screen reader's Press
// arrives the same way (ui/common/desktop_habits).
bool activationKey(const QKeyEvent* e)
{
    return e->modifiers() == Qt::NoModifier &&
           (e->key() == Qt::Key_Space || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter);
}

void makeKeyboardClickable(QWidget* w)
{
    w->setFocusPolicy(Qt::StrongFocus);
    makePressable(w);
}

void paintFocus(QWidget* w)
{
    if (!w->hasFocus())
        return;
    QPainter g(w);
    g.setPen(QPen(w->palette().color(QPalette::Highlight), 2, Qt::DotLine));
    g.drawRect(w->rect().adjusted(1, 1, -1, -1));
}

} // namespace

PreviewBox::PreviewBox(QWidget* parent) : QWidget(parent)
{
    setObjectName("picPreview");
    setToolTip("Click here to preview the image.");
    setAttribute(Qt::WA_OpaquePaintEvent);
    makeKeyboardClickable(this);
}

void PreviewBox::paintEvent(QPaintEvent*)
{
    QPainter g(this);
    if (picture_ == nullptr || picture_->isNull()) {
        g.fillRect(rect(), Qt::black);
        return;
    }
    // The picture has the box's size in device pixels: drawn into the box's
    // logical rectangle it maps pixel for pixel.
    g.drawImage(QRectF(rect()), *picture_);
    g.end();
    paintFocus(this);
}

void PreviewBox::mouseReleaseEvent(QMouseEvent* e)
{
    if (releasedInside(this, e) && clicked)
        clicked();
}

void PreviewBox::keyPressEvent(QKeyEvent* e)
{
    if (activationKey(e) && clicked)
        clicked();
    else
        QWidget::keyPressEvent(e);
}

ColourBox::ColourBox(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setCursor(Qt::PointingHandCursor);
    makeKeyboardClickable(this);
}

void ColourBox::setColour(const QColor& c)
{
    colour_ = c;
    update();
}

void ColourBox::paintEvent(QPaintEvent* e)
{
    QPainter g(this);
    g.fillRect(contentsRect(), colour_);
    g.end();
    QFrame::paintEvent(e);
    paintFocus(this);
}

void ColourBox::mouseReleaseEvent(QMouseEvent* e)
{
    if (releasedInside(this, e) && clicked)
        clicked();
}

void ColourBox::keyPressEvent(QKeyEvent* e)
{
    if (activationKey(e) && clicked)
        clicked();
    else
        QFrame::keyPressEvent(e);
}

// ---------------------------------------------------------------------------
// The pattern panels

namespace
{
constexpr int kHandleWidth = 14;
constexpr int kHandleHeight = 40;
constexpr int kMargin = 8; // panel edge to the options
constexpr int kSnap = 5;   // pixels from the closed place that snap it shut
constexpr int kRowGap = 9; // between two options, at the least
} // namespace

// The front panel: hands presses, moves and releases to the panels, and
// draws the highlight line down its left edge once it is moved aside.
class PatternPanels::FrontPanel : public QWidget
{
public:
    FrontPanel(PatternPanels& owner, QWidget* parent) : QWidget(parent), owner_(owner)
    {
        setObjectName("picPatternFore");
        setAutoFillBackground(true);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (!owner_.frontPanelOpen())
            return;
        QPainter g(this);
        g.setPen(palette().color(QPalette::Light));
        g.drawLine(0, 0, 0, height() - 1);
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton)
            owner_.picPatternFore_MouseDown(e->globalPosition().toPoint());
    }
    void mouseMoveEvent(QMouseEvent* e) override
    {
        owner_.picPatternFore_MouseMove(e->globalPosition().toPoint());
    }
    void mouseReleaseEvent(QMouseEvent*) override { owner_.picPatternFore_MouseUp(); }

private:
    PatternPanels& owner_;
};

PatternPanels::PatternPanels(QWidget* parent) : QWidget(parent)
{
    picPatternBack = new QWidget(this);
    picPatternBack->setObjectName("picPatternBack");
    picPatternBack->setAutoFillBackground(true);
    picPatternFore = new FrontPanel(*this, this);

    for (int i = 0; i < kPatterns; ++i) {
        QWidget* panel = i < 6 ? static_cast<QWidget*>(picPatternFore) : picPatternBack;
        auto* r = new QRadioButton(kPatternCaptions[static_cast<size_t>(i)], panel);
        r->setObjectName(QString("optPattern%1").arg(i));
        r->setToolTip(kPatternNames[static_cast<size_t>(i)]);
        r->setAutoExclusive(true);
        connect(r, &QRadioButton::clicked, this, [this, i] {
            if (patternClicked)
                patternClicked(i);
        });
        optionWidth_ = std::max(optionWidth_, r->sizeHint().width());
        optionHeight_ = std::max(optionHeight_, r->sizeHint().height());
        optPattern_[static_cast<size_t>(i)] = r;
    }

    // Room for the longest caption beside the strip the open front panel
    // leaves, so that no option of the back panel runs under it.  The
    // height follows the frame; the options spread over it.
    const int strip = kHandleWidth + 4;
    setFixedWidth(kMargin + optionWidth_ + kMargin + strip + 2);
    setMinimumHeight(2 * kMargin + 6 * (optionHeight_ + kRowGap));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);

    imgOpen = new QLabel("\u00bb", picPatternFore);
    imgOpen->setObjectName("imgOpen");
    imgOpen->setToolTip("Click here to open the front panel.");
    imgShut = new QLabel("\u00ab", picPatternFore);
    imgShut->setObjectName("imgShut");
    imgShut->setToolTip("Click here to close the front panel.");
    for (QLabel* img : {imgOpen, imgShut}) {
        img->setAlignment(Qt::AlignCenter);
        img->setFixedSize(kHandleWidth, kHandleHeight);
        img->setFrameStyle(QFrame::Panel | QFrame::Raised);
        img->setCursor(Qt::PointingHandCursor);
        img->installEventFilter(this);
        makeKeyboardClickable(img);
    }

    tmrMove.setInterval(15);
    connect(&tmrMove, &QTimer::timeout, this, [this] { tmrMove_Timer(); });
}

void PatternPanels::resizeEvent(QResizeEvent*)
{
    const bool open = frontPanelOpen();
    picPatternBack->setGeometry(0, 0, width(), height());
    const int row = (height() - 2 * kMargin) / 6;
    for (int i = 0; i < kPatterns; ++i)
        optPattern_[static_cast<size_t>(i)]->setGeometry(
            kMargin, kMargin + (i % 6) * row + (row - optionHeight_) / 2, optionWidth_,
            optionHeight_);
    if (open)
        imgOpen_Click();
    else
        imgShut_Click();
}

void PatternPanels::checkOnly(int index)
{
    for (int i = 0; i < kPatterns; ++i) {
        QRadioButton* r = optPattern_[static_cast<size_t>(i)];
        r->setAutoExclusive(false);
        r->setChecked(i == index);
        r->setAutoExclusive(true);
    }
}

bool PatternPanels::frontPanelOpen() const
{
    return picPatternFore->x() > picPatternBack->x() + 1;
}

void PatternPanels::placeFront(int left, int width)
{
    picPatternFore->setGeometry(left, picPatternBack->y(), width, picPatternBack->height());
    const int x = width - kHandleWidth - 2;
    const int y = (picPatternFore->height() - kHandleHeight) / 2;
    imgOpen->move(x, y);
    imgShut->move(x, y);
    const bool open = frontPanelOpen();
    imgOpen->setVisible(!open);
    imgShut->setVisible(open);
    // Options that would be cut by the moved panel are hidden with it, so
    // that no half of a caption shows in the strip.
    for (int i = 0; i < 6; ++i)
        optPattern_[static_cast<size_t>(i)]->setVisible(!open);
    // Tab reaches only the options that can be seen: the back panel's while
    // the front panel is open.
    for (int i = 6; i < kPatterns; ++i)
        optPattern_[static_cast<size_t>(i)]->setFocusPolicy(open ? Qt::StrongFocus : Qt::NoFocus);
    if (open && imgOpen->hasFocus())
        imgShut->setFocus();
    else if (!open && imgShut->hasFocus())
        imgOpen->setFocus();
    picPatternFore->update();
}

void PatternPanels::imgOpen_Click()
{
    const int w = kHandleWidth + 4;
    placeFront(picPatternBack->x() + picPatternBack->width() - 1 - w, w);
}

void PatternPanels::imgShut_Click()
{
    placeFront(picPatternBack->x() + 1, picPatternBack->width() - 2);
}

void PatternPanels::picPatternFore_MouseDown(const QPoint& globalPos)
{
    dragging_ = true;
    pressX_ = globalPos.x();
    pressLeft_ = picPatternFore->x();
    lastX_ = pressX_;
}

void PatternPanels::picPatternFore_MouseMove(const QPoint& globalPos)
{
    const QRect area(picPatternBack->mapToGlobal(QPoint(0, 0)), picPatternBack->size());
    const bool inside = globalPos.x() > area.left() && globalPos.x() < area.right() &&
                        globalPos.y() > area.top() && globalPos.y() < area.bottom();
    if (dragging_ && inside && globalPos.x() != pressX_)
        tmrMove.start();
    else
        tmrMove.stop();
}

void PatternPanels::picPatternFore_MouseUp()
{
    dragging_ = false;
    tmrMove.stop();
}

void PatternPanels::tmrMove_Timer()
{
    const int cx = QCursor::pos().x();
    if (cx == lastX_)
        tmrMove.stop(); // the tick still completes
    lastX_ = cx;
    const int backLeft = picPatternBack->x(), backWidth = picPatternBack->width();
    const int edge = pressLeft_ + (cx - pressX_);
    const int closedLeft = backLeft + 1;
    const int openLimit = backLeft + backWidth - kHandleWidth - 4;
    if (edge < closedLeft || edge > openLimit)
        return;
    if (edge <= backLeft + kSnap)
        imgShut_Click();
    else
        placeFront(edge, backLeft + backWidth - edge - 2);
}

bool PatternPanels::eventFilter(QObject* o, QEvent* e)
{
    if (e->type() == QEvent::MouseButtonRelease && (o == imgOpen || o == imgShut)) {
        // The press reached the panel beneath (a handle takes none), which
        // began a drag; the release on the handle ends it as a click.
        picPatternFore_MouseUp();
        if (o == imgOpen)
            imgOpen_Click();
        else
            imgShut_Click();
        return true;
    }
    if ((e->type() == QEvent::FocusIn || e->type() == QEvent::FocusOut) &&
        (o == imgOpen || o == imgShut)) {
        // A focused handle looks pressed in.
        static_cast<QLabel*>(o)->setFrameShadow(e->type() == QEvent::FocusIn ? QFrame::Sunken
                                                                             : QFrame::Raised);
        return false;
    }
    if (e->type() == QEvent::KeyPress && (o == imgOpen || o == imgShut) &&
        activationKey(static_cast<QKeyEvent*>(e))) {
        if (o == imgOpen)
            imgOpen_Click();
        else
            imgShut_Click();
        return true;
    }
    return QWidget::eventFilter(o, e);
}

} // namespace ombrix
