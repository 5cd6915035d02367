#include "colour/frm_rainbow.h"

#include "main/frm_main.h"
#include "render/engine.h"

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
QPixmap rainbowPicture(Integer mode, int width, int height)
{
    QImage img(width, height, QImage::Format_RGB32);
    Long r = 0, g = 0, b = 0;
    for (int x = 0; x < width; ++x) {
        mRainbowColor(mode, static_cast<Single>(x) / static_cast<Single>(width - 1), r, g, b);
        mClampRGB(r, g, b);
        for (int y = 0; y < height; ++y)
            img.setPixel(x, y, qRgb(static_cast<int>(r), static_cast<int>(g), static_cast<int>(b)));
    }
    return QPixmap::fromImage(img);
}

// A palette picture that reports the button it was released with.
class PalettePick : public QLabel
{
public:
    PalettePick(FrmRainbow& owner, int index, QWidget* parent)
        : QLabel(parent), mOwner(owner), mIndex(index)
    {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }

protected:
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        mOwner.picColor_MouseUp(mIndex, e->button());
    }

private:
    FrmRainbow& mOwner;
    int mIndex;
};

} // namespace

FrmRainbow::FrmRainbow(FrmMain& main)
    : QWidget(nullptr, Qt::Popup), mMain(main), mState(main.state())
{
    setObjectName("frmRainbow");
    setFixedSize(190, 84);
    setAutoFillBackground(true);
    for (int i = 0; i < 2; ++i) {
        auto* o = new QRadioButton(this);
        o->setGeometry(8, 8 + i * 26, 20, 20);
        connect(o, &QRadioButton::clicked, this, [this, i] { optPallette_Click(i); });
        mOpt[static_cast<size_t>(i)] = o;
        auto* pic = new PalettePick(*this, i, this);
        pic->setGeometry(30, 8 + i * 26, 150, 20);
        mPic[static_cast<size_t>(i)] = pic;
    }
    mInverse = new QCheckBox("Inverse", this);
    mInverse->setGeometry(8, 60, 120, 20);
    connect(mInverse, &QCheckBox::clicked, this, [this] { chkInverse_Click(); });
}

void FrmRainbow::Form_Load()
{
    mLoading = true;
    const QRect box(mMain.rainbowBox()->mapToGlobal(QPoint(0, 0)), mMain.rainbowBox()->size());
    move(mMain.frameGeometry().x(), box.bottom() + 1);
    keepOnScreen(this);
    ImageParams& p = mState.p();
    p.deriveRainbowChoices();
    mInverse->setChecked(p.pnRainbowInverse == 1);
    showPictures();
    mOpt[static_cast<size_t>(p.pnRainbowPalette == 0 ? 0 : 1)]->setChecked(true);
    mLoading = false;
    optPallette_Click(p.pnRainbowPalette == 0 ? 0 : 1);
}

void FrmRainbow::showPictures()
{
    const bool inverse = mInverse->isChecked();
    for (int k = 0; k < 2; ++k) {
        // Palette 0 is rainbow 3 (4 inverted), palette 1 is rainbow 1 (2).
        const auto mode = static_cast<Integer>(3 - 2 * k + (inverse ? 1 : 0));
        mPic[static_cast<size_t>(k)]->setPixmap(rainbowPicture(mode, 146, 16));
    }
}

void FrmRainbow::recompute()
{
    ImageParams& p = mState.p();
    p.pnRainbow = p.rainbowMode(mMain.rainbowBox()->isChecked());
    mState.flags.pbFullSize = false;
    mMain.mDrawPreview();
}

void FrmRainbow::optPallette_Click(int index)
{
    if (mLoading)
        return;
    mOpt[static_cast<size_t>(index)]->setChecked(true);
    mState.p().pnRainbowPalette = static_cast<Integer>(index);
    recompute();
}

void FrmRainbow::chkInverse_Click()
{
    showPictures();
    mState.p().pnRainbowInverse = mInverse->isChecked() ? 1 : 0;
    recompute();
}

void FrmRainbow::picColor_MouseUp(int index, Qt::MouseButton button)
{
    if (button == Qt::RightButton) {
        mState.flags.pbRainbowWinShown = false;
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
        mState.flags.pbRainbowWinShown = false;
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
    mState.flags.pbRainbowWinShown = false;
    QWidget::closeEvent(e);
}

} // namespace ombrix
