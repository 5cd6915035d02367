// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/colour/frm_rainbow.h"

#include "editing/app_state.h"
#include "render/engine.h"
#include "ui/common/main_services.h"
#include "ui/common/window_tools.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>

namespace ombrix
{

namespace
{

// A strip of the rainbow of `mode` as the renderers draw it: the last few
// fractions have no entry of their own and keep the colour before them.
// Drawn in device pixels (`ratio` per logical one), so that it stays sharp on
// a scaled screen.
QPixmap rainbowPicture(Integer mode, int logicalWidth, int logicalHeight, double ratio)
{
    const int width = toDevice(logicalWidth, ratio), height = toDevice(logicalHeight, ratio);
    QImage img(width, height, QImage::Format_RGB32);
    Long r = 0, g = 0, b = 0;
    for (int x = 0; x < width; ++x) {
        mRainbowColor(mode, static_cast<Single>(x) / static_cast<Single>(width - 1), r, g, b);
        mClampRGB(r, g, b);
        for (int y = 0; y < height; ++y)
            img.setPixel(x, y, qRgb(static_cast<int>(r), static_cast<int>(g), static_cast<int>(b)));
    }
    QPixmap pm = QPixmap::fromImage(img);
    pm.setDevicePixelRatio(ratio);
    return pm;
}

// A palette picture that reports the button it was released with.
class PalettePick : public QLabel
{
public:
    PalettePick(FrmRainbow& owner, int index, QWidget* parent)
        : QLabel(parent), owner_(owner), index_(index)
    {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }

protected:
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        owner_.picColor_MouseUp(index_, e->button());
    }

private:
    FrmRainbow& owner_;
    int index_;
};

} // namespace

FrmRainbow::FrmRainbow(AppState& state, MainServices& host, QWidget* owner)
    : QWidget(owner, Qt::Popup), state_(state), host_(host)
{
    setObjectName("frmRainbow");
    setFixedSize(190, 84);
    setAutoFillBackground(true);
    for (int i = 0; i < 2; ++i) {
        auto* o = new QRadioButton(this);
        o->setGeometry(8, 8 + i * 26, 20, 20);
        o->setObjectName(QString("optPallette%1").arg(i));
        connect(o, &QRadioButton::clicked, this, [this, i] { optPallette_Click(i); });
        optPallette_[static_cast<size_t>(i)] = o;
        auto* pic = new PalettePick(*this, i, this);
        pic->setGeometry(30, 8 + i * 26, 150, 20);
        picColor_[static_cast<size_t>(i)] = pic;
    }
    chkInverse_ = new QCheckBox("Inverse", this);
    chkInverse_->setObjectName("chkInverse");
    chkInverse_->setGeometry(8, 60, 120, 20);
    connect(chkInverse_, &QCheckBox::clicked, this, [this] { chkInverse_Click(); });
}

void FrmRainbow::Form_Load(const QPoint& at, bool ticked)
{
    loading_ = true;
    ticked_ = ticked;
    move(at);
    keepOnScreen(this);
    ImageParams& p = state_.p();
    p.deriveRainbowChoices();
    chkInverse_->setChecked(p.pnRainbowInverse == 1);
    showPictures();
    optPallette_[static_cast<size_t>(p.pnRainbowPalette == 0 ? 0 : 1)]->setChecked(true);
    loading_ = false;
    optPallette_Click(p.pnRainbowPalette == 0 ? 0 : 1);
}

void FrmRainbow::showPictures()
{
    const bool inverse = chkInverse_->isChecked();
    for (int k = 0; k < 2; ++k) {
        // Palette 0 is rainbow 3 (4 inverted), palette 1 is rainbow 1 (2).
        const auto mode = static_cast<Integer>(3 - 2 * k + (inverse ? 1 : 0));
        picColor_[static_cast<size_t>(k)]->setPixmap(
            rainbowPicture(mode, 146, 16, deviceRatio(this)));
    }
}

void FrmRainbow::recompute()
{
    ImageParams& p = state_.p();
    p.pnRainbow = p.rainbowMode(ticked_);
    host_.mDrawPreview();
}

void FrmRainbow::optPallette_Click(int index)
{
    if (loading_)
        return;
    optPallette_[static_cast<size_t>(index)]->setChecked(true);
    state_.p().pnRainbowPalette = static_cast<Integer>(index);
    recompute();
}

void FrmRainbow::chkInverse_Click()
{
    showPictures();
    state_.p().pnRainbowInverse = chkInverse_->isChecked() ? 1 : 0;
    recompute();
}

void FrmRainbow::picColor_MouseUp(int index, Qt::MouseButton button)
{
    if (button == Qt::RightButton) {
        state_.flags.pbRainbowWinShown = false;
        close();
        return;
    }
    optPallette_Click(index);
}

void FrmRainbow::mousePressEvent(QMouseEvent* e)
{
    // A popup sees presses outside itself too: those close it, like a
    // right click on its background.
    if (e->button() == Qt::RightButton || !rect().contains(e->position().toPoint())) {
        state_.flags.pbRainbowWinShown = false;
        close();
        return;
    }
    QWidget::mousePressEvent(e);
}

void FrmRainbow::paintEvent(QPaintEvent*)
{
    // A drop-down has no frame of its own: a raised edge sets it off from
    // the main window beneath.
    QPainter g(this);
    g.setPen(palette().color(QPalette::Light));
    g.drawLine(0, 0, width() - 1, 0);
    g.drawLine(0, 0, 0, height() - 1);
    g.setPen(palette().color(QPalette::Shadow));
    g.drawLine(width() - 1, 0, width() - 1, height() - 1);
    g.drawLine(0, height() - 1, width() - 1, height() - 1);
}

void FrmRainbow::closeEvent(QCloseEvent* e)
{
    state_.flags.pbRainbowWinShown = false;
    QWidget::closeEvent(e);
}

} // namespace ombrix
