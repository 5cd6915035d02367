// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's own small widgets: the preview box, a colour box and the
// two sliding pattern panels.  They know nothing of the main window; it
// hands them what to show and is called back when they are clicked.
#pragma once

#include "model/image_params.h"

#include <QFrame>
#include <QTimer>

#include <array>
#include <functional>

class QImage;
class QLabel;
class QRadioButton;

namespace ombrix
{

// The preview (`picPreview`): shows a picture of the preview's size in
// device pixels, so that it stays sharp on a scaled screen.
class PreviewBox : public QWidget
{
public:
    explicit PreviewBox(QWidget* parent);
    void setPicture(const QImage* picture) { picture_ = picture; }
    std::function<void()> clicked;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    const QImage* picture_ = nullptr;
};

// A colour box (`picColor`): a sunken square painted with one colour.
class ColourBox : public QFrame
{
public:
    explicit ColourBox(QWidget* parent);
    void setColour(const QColor& c);
    QColor colour() const { return colour_; }
    std::function<void()> clicked;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    QColor colour_;
};

// The twelve pattern options on two panels.  The back panel
// (`picPatternBack`) holds patterns 6..11; the front panel
// (`picPatternFore`) holds 0..5 and covers it.  The front panel opens to a
// strip at the right edge with its handle (`imgOpen`, `imgShut`), or slides
// with the mouse: polled every 15 ms while the mouse moves (`tmrMove`), it
// snaps shut within 5 pixels of the closed place.
class PatternPanels : public QWidget
{
public:
    explicit PatternPanels(QWidget* parent);

    // Called with the option's index when an option is clicked.
    std::function<void(int)> patternClicked;

    QRadioButton* optPattern(int index) const { return optPattern_[static_cast<size_t>(index)]; }
    // Sets option `index` and clears every other one: the two panels are
    // separate groups, which Qt would keep apart.
    void checkOnly(int index);
    bool frontPanelOpen() const;

    void imgOpen_Click();
    void imgShut_Click();
    void picPatternFore_MouseDown(const QPoint& globalPos);
    void picPatternFore_MouseMove(const QPoint& globalPos);
    void picPatternFore_MouseUp();
    void tmrMove_Timer();

protected:
    bool eventFilter(QObject* o, QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    class FrontPanel;
    void placeFront(int left, int width);

    QWidget* picPatternBack = nullptr;
    FrontPanel* picPatternFore = nullptr;
    QLabel* imgOpen = nullptr;
    QLabel* imgShut = nullptr;
    QTimer tmrMove;
    std::array<QRadioButton*, kPatterns> optPattern_{};
    int optionWidth_ = 0;
    int optionHeight_ = 0;

    // The drag: the cursor's x and the front panel's left at the press, and
    // the cursor's x at the last tick, in pixels.
    bool dragging_ = false;
    int pressX_ = 0;
    int pressLeft_ = 0;
    int lastX_ = 0;
};

} // namespace ombrix
