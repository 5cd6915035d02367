// SPDX-License-Identifier: GPL-3.0-or-later
// The image window: the image at its real size, in the screen's device
// pixels, redrawn from the record whenever the window is resized.
#pragma once

#include "model/image_params.h"
#include "render/drivers.h"
#include "ui/common/window_tools.h"

#include <QElapsedTimer>
#include <QWidget>

#include <array>

class QLabel;

namespace ombrix
{

struct AppState;
class MainServices;

class FrmPicture : public QWidget
{
    Q_OBJECT
public:
    // `owner`: the main window, its transient parent (floated by tiling
    // compositors, so it keeps the size asked for).
    FrmPicture(AppState& state, MainServices& host, QWidget* owner = nullptr);

    void Form_Load();
    // The resize handler: sizes the pictures, redraws preview and full size
    // with the progress bar moving, draws the borders, keeps the size, takes
    // a shot and gives the aspect hint.
    void Form_Resize();

    // Shows the window, kept reachable on the screen.
    void showWindow();
    // Sets the client area, in logical pixels, and runs the resize handler.
    void setClientSize(int width, int height);
    // Takes the size the record stores (storedImageSize): the same image
    // whatever frame this window manager draws and at any scale.
    void showStoredSize();
    // Moves the window to the place the record stores, kept on a screen.
    void placeStored();
    // Stores the window's place and image size in the record (with the
    // fixed frame allowance of the file, never the frame drawn here).
    void storeGeometry();

    // The full-size image: the window is first made large enough for the
    // repetitions (its resize then draws the image), else the image is
    // drawn at the window's size.
    void mDrawFullSize();
    void drawBorders();
    void clearPicture();
    void clearTextLabels();
    // Repaints the picture after its pixels were changed in place.
    void pictureChanged();
    // Hides the picture while the window is resized from code.
    void hidePicture(bool hidden);

    // The size label: shown only where the picture has room for it.
    bool roomForSizeLabel() const;
    void setSizeLabel(const QString& text);
    bool sizeLabelShown() const;

    // The image as it leaves the program (saved, copied, made the wallpaper):
    // a copy of the shown picture with the texts drawn in, unless the picture
    // already holds them (gradient text).  The window itself is not touched,
    // so it looks the same afterwards whatever the caller does with the copy.
    // A null image when the memory for the copy cannot be had.
    QImage exportImage() const;

    FullSizePictures& pictures() { return pics_; }
    int resizeRuns() const { return resizeRuns_; }

    // The picture's handlers.  The size label lets the mouse through to the
    // picture, so its press and double click do what the picture's do.
    void picShow_MouseDown(QMouseEvent* e);
    void picShow_MouseMove(QMouseEvent* e);
    void picShow_MouseUp(QMouseEvent* e);
    void picShow_DblClick();

    // The text labels.  Label t shows slot t; the record's logical
    // positions are drawn at the image's device pixels, so a label shows
    // exactly what an exported image holds at the same place.
    class TextLabel;
    // Shows all 48 slots on the labels (captions with their trailing space).
    void mSetTextLabels();
    // Shows the three labels of set k where the record has them.
    void placeTextLabels(int k);
    TextLabel* textLabel(int t) const { return lblText[static_cast<size_t>(t)]; }
    QString textCaption(int t) const;
    // The label's rectangle on the picture, in device pixels.
    QRect textLabelRect(int t) const;
    // Where the user last pressed in text mode, in logical pixels.
    QPoint newTextPoint() const { return newText_; }
    void lblText_MouseDown(int index, QMouseEvent* e);
    void lblText_MouseMove(int index, QMouseEvent* e);
    void lblText_MouseUp(int index, QMouseEvent* e);
    void picShow_KeyDown(QKeyEvent* e);

signals:
    // In text mode: a click on empty image space (add a set at newTextPoint)
    // or on a label of set k (edit it).
    void textSpaceClicked();
    void textLabelClicked(int k);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;

private:
    // A press the window acts on: none while the text dialog is open; the
    // right button opens the menu.  True for the left button.
    bool leftPress(const QMouseEvent* e);
    class PictureView;
    // Grows the window to what the repetitions need; true when it did.
    bool growForRepetitions();
    void drawTiles();
    // The picture's size in device pixels for the window's client area.
    QSize deviceSize() const;
    // The smallest client area the record's repetitions allow.
    void applyMinimumSize();

    AppState& state_;
    MainServices& host_;
    FullSizePictures pics_;
    PictureView* picShow = nullptr;
    QLabel* lblSize = nullptr;
    std::array<TextLabel*, kTextSlots> lblText{};
    // A set being dragged: the grab point inside the pressed label, device px.
    int dragSet_ = -1;
    QPoint anchor_;
    bool dragMoved_ = false;
    QPoint newText_{0, 0};
    bool textPress_ = false;
    WindowDragger dragger_;
    QSize drawnSize_;
    bool resizePending_ = false;
    // The size code asked for last, and how often a compositor's older size
    // has been answered with it again (see resizeEvent).
    QSize asked_;
    QElapsedTimer askedAt_;
    int reasked_ = 0;
    bool growing_ = false;
    int resizeRuns_ = 0;
};

} // namespace ombrix
