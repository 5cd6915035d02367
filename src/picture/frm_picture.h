// The image window: the image at its real size in screen pixels, redrawn
// from the record whenever the window is resized.
#pragma once

#include "model/image_params.h"
#include "render/drivers.h"

#include <QWidget>

#include <array>

class QLabel;

namespace ombrix
{

class FrmMain;
struct AppState;

class FrmPicture : public QWidget
{
    Q_OBJECT
public:
    explicit FrmPicture(FrmMain& main);

    void Form_Load();
    // The resize handler: sizes the pictures, redraws preview and full size
    // with the progress bar moving, takes a shot and gives the aspect hint.
    void Form_Resize();

    // Sets the client area, in pixels, and runs the resize handler at once.
    void setClientSize(int width, int height);
    // The outer size in twips, as the record keeps it.
    void setOuterTwips(Long width, Long height);

    void drawFullSize();
    void clearPicture();
    void clearTextLabels();

    FullSizePictures& pictures() { return mPics; }
    QWidget* picShow() const { return mPicShow; }
    QLabel* lblSize() const { return mLblSize; }
    QLabel* lblText(int t) const { return mLblText.at(static_cast<size_t>(t)); }
    int resizeRuns() const { return mResizeRuns; }

    void picShow_MouseDown(Qt::MouseButton button, const QPoint& local, const QPoint& global);
    void picShow_DblClick();

protected:
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;

private:
    void dragWindow(const QPoint& global);

    FrmMain& mMain;
    AppState& mState;
    FullSizePictures mPics;
    QWidget* mPicShow = nullptr;
    QLabel* mLblSize = nullptr;
    std::array<QLabel*, kTextSlots> mLblText{};
    QSize mDrawnSize;
    bool mResizePending = false;
    int mResizeRuns = 0;

    friend class PictureView;
};

} // namespace ombrix
