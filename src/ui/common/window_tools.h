// SPDX-License-Identifier: GPL-3.0-or-later
// Small services every window of the program uses: screen placement, the
// twips of the record, the device pixels of a scaled screen and moving a
// window by its client area.
#pragma once

#include "model/numeric.h"

#include <QMargins>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>

#include <optional>

class QKeyEvent;
class QMouseEvent;
class QPushButton;
class QWidget;

namespace ombrix
{

// Twips per pixel from the screen's logical DPI (15 at 96 DPI).  Window
// geometry is kept in twips of logical pixels, so that a parameter file
// means the same window on a scaled screen.
Integer twipsPerPixel(int logicalDpi);

// The screen's device pixels per logical pixel for the widget (2 on a
// screen scaled by 2), and a logical length in device pixels.
double deviceRatio(const QWidget* w);
int toDevice(int logical, double ratio);
// The logical length that holds at least `device` device pixels.
int toLogicalCeil(int device, double ratio);

// Keeps at least part of a top-level window on one of the screens, whatever
// the window manager did with it: a strip of its top edge stays reachable.
void keepOnScreen(QWidget* w);
// Keeps the title bar of every window of the program on a screen: each
// top-level window is checked when it is shown and again when the window
// manager frames it (its frame changes), which is when a title bar placed
// from a stored position (say -1, -20) would first hang off the top.  A
// move by the user, which leaves the frame alone, is never undone.
// Installed once on the application.
class TitleBarKeeper : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* o, QEvent* e) override;
};

// Centres a top-level window on its screen's available area.
void centreOnScreen(QWidget* w);
// Puts a top-level window beside `anchor` where the screen has room for it,
// left of it first (the colour picker keeps the main window's right), then
// right of it, else on the roomier side covering as little of it as it can;
// top edges aligned.
void placeBeside(QWidget* w, const QWidget* anchor);

// Where a window with frame `frame` goes so that it leaves `other` (a frame)
// uncovered: centred in the room right of `other`, with `besideWidth` kept
// free at its right for a window that sits there, else a little below `other`;
// within `area`.  Nothing when it does not cover `other` or no place has
// room.
std::optional<QPoint> placeClearOf(const QRect& frame, int besideWidth, const QRect& other,
                                   const QRect& area);
// Moves the shown window `w` there (placeClearOf) and `companion`, the window
// at its edge, by as much; true when they moved.
bool moveClearOf(QWidget* w, const QWidget* other, QWidget* companion);

// What a shown window's frame adds to its client area, in pixels, once the
// window manager has framed it; false while it has not (or never will,
// as under a bare X server, where the answer 0 is left to the caller).
// Each window measures its own frame, and only to place itself or a
// window beside it: no image size depends on a frame.
bool frameExtent(const QWidget* w, int& width, int& height);
// The frame around a window's client area, per side (none while unknown).
QMargins frameMargins(const QWidget* w);
// The window with its frame, in screen coordinates.
QRect framedGeometry(const QWidget* w);
// Tests stand in for a window manager: every shown top-level window is
// taken to have this frame (std::nullopt: the real one again).
void setStandInFrame(std::optional<QMargins> frame);

// A dialog's OK, Cancel (or Close) and Help buttons, named as tests find
// them.  OK is the default; Enter on a focused Cancel clicks it, also in a
// dialog that is a plain window.  The caller lays them out.
struct DialogButtons {
    QPushButton* ok;
    QPushButton* cancel;
    QPushButton* help;
};
DialogButtons makeDialogButtons(QWidget* parent, const QString& cancelCaption = "Cancel");
// Enter clicks the focused button, or OK when no button has the focus, and
// Escape clicks Cancel, in a dialog that is a plain window, as a modal
// dialog does on its own.  True when the key was used.
bool clickForDialogKey(const QKeyEvent* e, QPushButton* ok, QPushButton* cancel);

// Moves a window by a press on its client area, as if its caption were
// grabbed.  A plain click moves nothing: the window manager is asked to take
// over only once the pointer has moved a few pixels with the button held,
// and where it will not, the window follows the pointer until the button is
// released.
class WindowDragger
{
public:
    explicit WindowDragger(QWidget* window) : window_(window) {}

    void press(const QMouseEvent* e);
    // True while the press is (or may become) a move.
    bool move(const QMouseEvent* e);
    // True when the release ended a move the window followed itself.
    bool release(const QMouseEvent* e);
    bool moving() const { return state_ == State::System || state_ == State::Following; }

private:
    enum class State { Idle, Pressed, System, Following };
    QWidget* window_;
    State state_ = State::Idle;
    QPoint pressGlobal_;
    QPoint pressWindowPos_;
};

} // namespace ombrix
