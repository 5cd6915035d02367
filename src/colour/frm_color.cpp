#include "colour/frm_color.h"

#include "main/frm_main.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QSlider>
#include <QWindow>

namespace ombrix
{

namespace
{
constexpr int kMargin = 4;     // window edge to controls
constexpr int kStrip = 12;     // the title strip
constexpr int kPaletteW = 100; // 12 x 22 cells of 8 x 6 pixels and a 2-pixel margin
constexpr int kPaletteH = 137;
constexpr int kCellW = 8;
constexpr int kCellH = 6;
constexpr int kCellMargin = 2;
constexpr int kWindowW = kPaletteW + 2 * kMargin;
constexpr int kFoldedH = 228; // everything but the cell-number row
} // namespace

// The palette picture with its mark, darkened while the colour in edit
// does not take part in the pattern.
class PalettePicture : public QWidget
{
public:
    PalettePicture(FrmColor& owner, const Palette& palette, QWidget* parent)
        : QWidget(parent), mOwner(owner), mPalette(palette)
    {
        setFixedSize(kPaletteW, kPaletteH);
        setCursor(Qt::PointingHandCursor);
    }
    Integer markCol = static_cast<Integer>(kNoCell);
    Integer markRow = 0;
    bool covered = false;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter g(this);
        g.fillRect(rect(), palette().color(QPalette::Window));
        for (int r = 0; r < kPaletteRows; ++r)
            for (int c = 0; c < kPaletteColumns; ++c) {
                Long red = 0, green = 0, blue = 0;
                mPalette.mGetPaletteColor(static_cast<Integer>(c), static_cast<Integer>(r), red,
                                          green, blue);
                if (red == kNoCell)
                    continue;
                g.fillRect(
                    kCellMargin + kCellW * c, kCellMargin + kCellH * r, kCellW, kCellH,
                    QColor(static_cast<int>(red), static_cast<int>(green), static_cast<int>(blue)));
            }
        if (Palette::isCell(markCol, markRow)) {
            const num::Rgb m = mPalette.markColour(markCol, markRow);
            g.setPen(QColor(num::redOf(m), num::greenOf(m), num::blueOf(m)));
            g.drawRect(kCellMargin + kCellW * markCol, kCellMargin + kCellH * markRow, kCellW - 1,
                       kCellH - 1);
        }
        if (covered)
            g.fillRect(rect(), QColor(0, 0, 0, 150));
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton)
            mOwner.picPalette_Click(e->position().toPoint().x(), e->position().toPoint().y());
    }

private:
    FrmColor& mOwner;
    const Palette& mPalette;
};

// The swatch: the colour in edit; a click folds or unfolds the window.
class Swatch : public QWidget
{
public:
    Swatch(FrmColor& owner, QWidget* parent) : QWidget(parent), mOwner(owner)
    {
        setFixedSize(kPaletteW, FrmColor::kSwatchHeight);
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter g(this);
        g.fillRect(rect(), mOwner.swatch());
        g.setPen(Qt::black);
        g.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton)
            mOwner.picColor_Click();
    }

private:
    FrmColor& mOwner;
};

FrmColor::FrmColor(FrmMain& main)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), mMain(main),
      mState(main.state())
{
    setObjectName("frmColor");
    setWindowTitle("Color");
    setFixedWidth(kWindowW);
    setFixedHeight(kFoldedH);

    picPalette = new PalettePicture(*this, mState.palette, this);
    picPalette->move(kMargin, kStrip + 2);
    picColor = new Swatch(*this, this);
    picColor->move(kMargin, kStrip + 2 + kPaletteH + 2);

    const char* const names[] = {"R", "G", "B"};
    for (int i = 0; i < 3; ++i) {
        const int y = picColor->y() + kSwatchHeight + 4 + i * 20;
        auto* name = new QLabel(names[i], this);
        name->setGeometry(kMargin, y, 10, 18);
        auto* s = new QSlider(Qt::Horizontal, this);
        s->setRange(0, 255);
        s->setPageStep(16);
        s->setGeometry(kMargin + 10, y, 64, 18);
        auto* l = new QLabel("0", this);
        l->setGeometry(kMargin + 76, y, 24, 18);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        connect(s, &QSlider::sliderMoved, l, [l](int v) { l->setNum(v); });
        connect(s, &QSlider::valueChanged, this, [this, i](int v) { sliColor_Change(i, v); });
        mSliders[static_cast<size_t>(i)] = s;
        mLabels[static_cast<size_t>(i)] = l;
    }
    mLabel1 = new QLabel(this);
    mLabel1->setGeometry(kMargin, kFoldedH - 1, kPaletteW, FrmColor::kSwatchHeight + 1);
    QFont small = mLabel1->font();
    small.setPointSizeF(6.5);
    mLabel1->setFont(small);
}

FrmColor::~FrmColor() = default;

void FrmColor::paintEvent(QPaintEvent*)
{
    QPainter g(this);
    g.fillRect(rect(), palette().color(QPalette::Window));
    const bool active = isActiveWindow();
    g.fillRect(
        0, 0, width(), kStrip,
        palette().color(active ? QPalette::Active : QPalette::Inactive, QPalette::Highlight));
    g.setPen(QColor(90, 90, 90));
    g.drawRect(rect().adjusted(0, 0, -1, -1));
    // The close image.
    const QRect box(width() - 11, 1, 10, 10);
    g.fillRect(box, palette().color(QPalette::Button));
    g.setPen(Qt::black);
    g.drawRect(box.adjusted(0, 0, -1, -1));
    g.drawLine(box.left() + 2, box.top() + 2, box.right() - 2, box.bottom() - 2);
    g.drawLine(box.right() - 2, box.top() + 2, box.left() + 2, box.bottom() - 2);
}

void FrmColor::changeEvent(QEvent* e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::ActivationChange)
        update(0, 0, width(), kStrip);
}

void FrmColor::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    const QPoint p = e->position().toPoint();
    if (QRect(width() - 11, 1, 10, 10).contains(p))
        return; // the close image acts on release
    QWindow* handle = windowHandle();
    if (handle != nullptr && handle->startSystemMove())
        return;
    mManualDrag = true;
    mDragOffset = e->globalPosition().toPoint() - pos();
}

void FrmColor::mouseMoveEvent(QMouseEvent* e)
{
    if (mManualDrag)
        move(e->globalPosition().toPoint() - mDragOffset);
}

void FrmColor::mouseReleaseEvent(QMouseEvent* e)
{
    if (mManualDrag) {
        mManualDrag = false;
        keepOnScreen(this);
        return;
    }
    if (e->button() == Qt::LeftButton &&
        QRect(width() - 11, 1, 10, 10).contains(e->position().toPoint()))
        imgHide_Click();
}

void FrmColor::closeEvent(QCloseEvent* e)
{
    const SharedValues& v = mState.v();
    mState.colorWinLeft = static_cast<Single>(x() * v.Tppx);
    mState.colorWinTop = static_cast<Single>(y() * v.Tppy);
    QWidget::closeEvent(e);
}

void FrmColor::imgHide_Click()
{
    mState.flags.pbColorWinShown = false;
    close();
}

Long& FrmColor::targetComponent(int component)
{
    ImageParams& p = mState.p();
    const SharedValues& v = mState.v();
    const auto k = static_cast<size_t>(component);
    switch (v.pnColorTarget) {
    case 1:
        return p.plBorderColor[static_cast<size_t>(
            std::clamp<int>(v.pnBorderIndex, 0, kBorders - 1))][k];
    case 2:
        return p
            .plTextColor[static_cast<size_t>(std::clamp<int>(v.pnTextIndex, 0, kTextSlots - 1))][k];
    default:
        return p.plColor[static_cast<size_t>(std::clamp<int>(v.pnColorIndex, 0, kColors - 1))][k];
    }
}

void FrmColor::loadTarget()
{
    mLoading = true;
    const Long r = targetComponent(0), g = targetComponent(1), b = targetComponent(2);
    for (int i = 0; i < 3; ++i) {
        const Long c = targetComponent(i);
        mSliders[static_cast<size_t>(i)]->setValue(static_cast<int>(c));
        mLabels[static_cast<size_t>(i)]->setNum(static_cast<int>(c));
    }
    setSwatch(r, g, b);
    Integer col = 0, row = 0;
    mState.palette.mFindPaletteColor(r, g, b, col, row);
    mMarkPaletteCell(col, row);
    setPaletteCover(mState.flags.pbPaletteEnabled);
    mLoading = false;
}

void FrmColor::setSwatch(Long r, Long g, Long b)
{
    mSwatchColour = QColor(static_cast<int>(r), static_cast<int>(g), static_cast<int>(b));
    picColor->update();
}

void FrmColor::mMarkPaletteCell(Integer nCol, Integer nRow)
{
    picPalette->markCol = nCol;
    picPalette->markRow = nRow;
    picPalette->update();
}

void FrmColor::setPaletteCover(bool usable)
{
    picPalette->covered = !usable;
    picColor->setEnabled(usable);
    picPalette->update();
}

bool FrmColor::paletteCovered() const
{
    return picPalette->covered;
}

Integer FrmColor::markedColumn() const
{
    return picPalette->markCol;
}

Integer FrmColor::markedRow() const
{
    return picPalette->markRow;
}

void FrmColor::setSlidersEnabled(bool on)
{
    for (QSlider* s : mSliders)
        s->setEnabled(on);
}

void FrmColor::picPalette_Click(int x, int y)
{
    if (!mState.flags.pbPaletteEnabled)
        return;
    const int col = std::clamp((x - kCellMargin) / kCellW, 0, kPaletteColumns - 1);
    const int row = std::clamp((y - kCellMargin) / kCellH, 0, kPaletteRows - 1);
    mLabel1->setText(QString("%1, %2").arg(col).arg(row));
    Long r = 0, g = 0, b = 0;
    mState.palette.mGetPaletteColor(static_cast<Integer>(col), static_cast<Integer>(row), r, g, b);
    if (r == kNoCell)
        return;
    setSwatch(r, g, b);
    mMarkPaletteCell(static_cast<Integer>(col), static_cast<Integer>(row));
    // Each slider stores its component and redraws; the record gets the
    // whole colour before the last redraw.
    const Long rgb[3] = {r, g, b};
    for (int i = 0; i < 3; ++i) {
        QSignalBlocker block(mSliders[static_cast<size_t>(i)]);
        mSliders[static_cast<size_t>(i)]->setValue(static_cast<int>(rgb[i]));
        mLabels[static_cast<size_t>(i)]->setNum(static_cast<int>(rgb[i]));
        targetComponent(i) = rgb[i];
    }
    mMain.colourChanged(0);
}

void FrmColor::sliColor_Change(int component, int value)
{
    if (mLoading)
        return;
    const Long r = component == 0 ? value : mSliders[0]->value();
    const Long g = component == 1 ? value : mSliders[1]->value();
    const Long b = component == 2 ? value : mSliders[2]->value();
    Integer col = 0, row = 0;
    mState.palette.mFindPaletteColor(r, g, b, col, row);
    mMarkPaletteCell(col, row);
    mLabels[static_cast<size_t>(component)]->setNum(value);
    setSwatch(r, g, b);
    targetComponent(component) = value;
    mMain.colourChanged(component);
}

void FrmColor::picColor_Click()
{
    setFixedHeight(height() - (kSwatchHeight + 1) * mCollapseSign);
    mCollapseSign = -mCollapseSign;
    for (int i = 0; i < 3; ++i)
        mLabels[static_cast<size_t>(i)]->setNum(mSliders[static_cast<size_t>(i)]->value());
}

} // namespace ombrix
