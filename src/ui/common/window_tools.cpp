// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/common/window_tools.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QVariant>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cmath>

namespace ombrix
{

Integer twipsPerPixel(int logicalDpi)
{
    if (logicalDpi <= 0)
        return 15;
    return num::cint(1440.0 / logicalDpi);
}

double deviceRatio(const QWidget* w)
{
    const double r = w != nullptr ? w->devicePixelRatioF() : 1.0;
    return r > 0 ? r : 1.0;
}

int toDevice(int logical, double ratio)
{
    return static_cast<int>(std::lround(logical * ratio));
}

int toLogicalCeil(int device, double ratio)
{
    // A hair below the exact quotient still rounds up to it.
    return static_cast<int>(std::ceil(device / ratio - 1e-9));
}

namespace
{

QRect availableArea(const QWidget* w)
{
    QScreen* screen = w->screen() != nullptr ? w->screen() : QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect();
}

// Moves the window so that its frame's top left lands on `frameTopLeft`.
void moveFrameTo(QWidget* w, const QPoint& frameTopLeft)
{
    w->move(w->pos() + frameTopLeft - framedGeometry(w).topLeft());
}

} // namespace

void keepOnScreen(QWidget* w)
{
    if (w == nullptr)
        return;
    QScreen* screen = w->screen() != nullptr ? w->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect avail = screen->availableVirtualGeometry();
    const QRect frame = framedGeometry(w);
    // Keep a strip of the top edge reachable, where a window is grabbed.
    constexpr int kKeep = 48;
    const int x =
        std::clamp(frame.x(), avail.left() - frame.width() + kKeep, avail.right() - kKeep);
    const int y = std::clamp(frame.y(), avail.top(), std::max(avail.top(), avail.bottom() - kKeep));
    if (x != frame.x() || y != frame.y())
        moveFrameTo(w, {x, y});
}

bool TitleBarKeeper::eventFilter(QObject* o, QEvent* e)
{
    const QEvent::Type type = e->type();
    if (type != QEvent::Show && type != QEvent::Move && type != QEvent::Resize)
        return false;
    auto* w = qobject_cast<QWidget*>(o);
    if (w == nullptr || !w->isWindow() || !w->isVisible())
        return false;
    const Qt::WindowType kind = w->windowType();
    if (kind != Qt::Window && kind != Qt::Dialog && kind != Qt::Tool)
        return false;
    const QMargins frame = frameMargins(w);
    const QVariant noted = w->property("ombrixFrame");
    const QRect now(frame.left(), frame.top(), frame.right(), frame.bottom());
    if (type != QEvent::Show && noted.isValid() && noted.toRect() == now)
        return false;
    w->setProperty("ombrixFrame", now);
    // After the event: the window manager may still be placing it.
    QPointer<QWidget> guard(w);
    QMetaObject::invokeMethod(
        w,
        [guard] {
            if (guard != nullptr && guard->isVisible())
                keepOnScreen(guard);
        },
        Qt::QueuedConnection);
    return false;
}

void centreOnScreen(QWidget* w)
{
    const QRect area = availableArea(w);
    if (area.isEmpty())
        return;
    const QRect frame = framedGeometry(w);
    moveFrameTo(w, {area.x() + (area.width() - frame.width()) / 2,
                    area.y() + (area.height() - frame.height()) / 2});
}

std::optional<QPoint> placeClearOf(const QRect& frame, int besideWidth, const QRect& other,
                                   const QRect& area)
{
    if (!frame.intersects(other))
        return std::nullopt;
    constexpr int kGap = 8;
    const int room = area.right() - other.right() - besideWidth;
    if (room >= frame.width())
        return QPoint(other.right() + 1 + (room - frame.width()) / 2, frame.top());
    const QPoint below(frame.left(), other.bottom() + 1 + kGap);
    if (below.y() + frame.height() <= area.bottom() + 1)
        return below;
    return std::nullopt;
}

bool moveClearOf(QWidget* w, const QWidget* other, QWidget* companion)
{
    if (w == nullptr || other == nullptr || !other->isVisible())
        return false;
    const QRect frame = framedGeometry(w);
    const int besideWidth = companion != nullptr ? framedGeometry(companion).width() : 0;
    const std::optional<QPoint> place =
        placeClearOf(frame, besideWidth, framedGeometry(other), availableArea(w));
    if (!place)
        return false;
    const QPoint shift = *place - frame.topLeft();
    moveFrameTo(w, *place);
    if (companion != nullptr)
        companion->move(companion->pos() + shift);
    return true;
}

void placeBeside(QWidget* w, const QWidget* anchor)
{
    const QRect area = availableArea(anchor);
    const QRect frame = framedGeometry(w);
    const QRect beside = framedGeometry(anchor);
    const int top = std::clamp(beside.top(), area.top(),
                               std::max(area.top(), area.bottom() + 1 - frame.height()));
    const int roomRight = area.right() - beside.right();
    const int roomLeft = beside.left() - area.left();
    int left = 0;
    if (roomLeft >= frame.width())
        left = beside.left() - frame.width();
    else if (roomRight >= frame.width())
        left = beside.right() + 1;
    else // no side has room: the roomier one, covering as little as it can
        left = roomRight >= roomLeft ? area.right() + 1 - frame.width() : area.left();
    moveFrameTo(w, {left, top});
}

namespace
{
std::optional<QMargins> gStandInFrame;
} // namespace

void setStandInFrame(std::optional<QMargins> frame)
{
    gStandInFrame = frame;
}

QMargins frameMargins(const QWidget* w)
{
    if (w == nullptr || !w->isWindow() || !w->isVisible())
        return {};
    if (gStandInFrame)
        return *gStandInFrame;
    const QRect frame = w->frameGeometry();
    const QRect client = w->geometry();
    return {client.left() - frame.left(), client.top() - frame.top(),
            frame.right() - client.right(), frame.bottom() - client.bottom()};
}

QRect framedGeometry(const QWidget* w)
{
    return w->geometry().marginsAdded(frameMargins(w));
}

bool frameExtent(const QWidget* w, int& width, int& height)
{
    const QMargins m = frameMargins(w);
    if (m.isNull())
        return false;
    width = m.left() + m.right();
    height = m.top() + m.bottom();
    return true;
}

void WindowDragger::press(const QMouseEvent* e)
{
    state_ = State::Pressed;
    pressGlobal_ = e->globalPosition().toPoint();
    pressWindowPos_ = window_->pos();
}

bool WindowDragger::move(const QMouseEvent* e)
{
    if (!(e->buttons() & Qt::LeftButton)) {
        state_ = State::Idle;
        return false;
    }
    const QPoint delta = e->globalPosition().toPoint() - pressGlobal_;
    switch (state_) {
    case State::Idle:
        return false;
    case State::Pressed:
        if (delta.manhattanLength() < QApplication::startDragDistance())
            return true;
        if (QWindow* handle = window_->windowHandle();
            handle != nullptr && handle->startSystemMove()) {
            state_ = State::System; // the window manager has the pointer now
            return true;
        }
        state_ = State::Following;
        [[fallthrough]];
    case State::Following:
        window_->move(pressWindowPos_ + delta);
        return true;
    case State::System:
        return true;
    }
    return false;
}

bool WindowDragger::release(const QMouseEvent*)
{
    const bool followed = state_ == State::Following;
    state_ = State::Idle;
    if (followed)
        keepOnScreen(window_);
    return followed;
}

DialogButtons makeDialogButtons(QWidget* parent, const QString& cancelCaption)
{
    const auto named = [parent](const QString& caption, const char* name) {
        auto* b = new QPushButton(caption, parent);
        b->setObjectName(name);
        return b;
    };
    DialogButtons b{named("OK", "cmdOK"), named(cancelCaption, "cmdCancel"),
                    named("&Help", "cmdHelp")};
    b.ok->setDefault(true);
    b.cancel->setAutoDefault(true);
    return b;
}

bool clickForDialogKey(const QKeyEvent* e, QPushButton* ok, QPushButton* cancel)
{
    if (e->modifiers() & ~Qt::KeypadModifier)
        return false;
    QAbstractButton* target = nullptr;
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        // Enter on a focused button (Remove, Help, a style box, Color) is
        // that button's; OK is the dialog's answer only when no button has
        // the focus.
        auto* focused = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
        const bool inDialog =
            focused != nullptr && ok != nullptr && focused->window() == ok->window();
        target = inDialog && focused->isEnabled() ? focused : ok;
    } else if (e->key() == Qt::Key_Escape) {
        target = cancel;
    }
    if (target == nullptr || !target->isEnabled())
        return false;
    target->click();
    return true;
}

} // namespace ombrix
