// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/colour/frm_color.h"

#include "editing/app_state.h"
#include "ui/common/main_services.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QSlider>

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
        : QWidget(parent), owner_(owner), palette_(palette)
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
                palette_.mGetPaletteColor(static_cast<Integer>(c), static_cast<Integer>(r), red,
                                          green, blue);
                if (red == kNoCell)
                    continue;
                g.fillRect(
                    kCellMargin + kCellW * c, kCellMargin + kCellH * r, kCellW, kCellH,
                    QColor(static_cast<int>(red), static_cast<int>(green), static_cast<int>(blue)));
            }
        if (Palette::isCell(markCol, markRow)) {
            const num::Rgb m = palette_.markColour(markCol, markRow);
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
            owner_.picPalette_Click(e->position().toPoint().x(), e->position().toPoint().y());
    }

private:
    FrmColor& owner_;
    const Palette& palette_;
};

// The swatch: the colour in edit; a click folds or unfolds the window.
class Swatch : public QWidget
{
public:
    Swatch(FrmColor& owner, QWidget* parent) : QWidget(parent), owner_(owner)
    {
        setFixedSize(kPaletteW, FrmColor::kSwatchHeight);
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter g(this);
        g.fillRect(rect(), owner_.swatchColour());
        g.setPen(Qt::black);
        g.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton)
            owner_.picColor_Click();
    }

private:
    FrmColor& owner_;
};

FrmColor::FrmColor(AppState& state, MainServices& host, QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), state_(state),
      host_(host), dragger_(this)
{
    setObjectName("frmColor");
    setWindowTitle("Color");
    setFixedWidth(kWindowW);
    setFixedHeight(kFoldedH);

    picPalette = new PalettePicture(*this, state_.palette, this);
    picPalette->move(kMargin, kStrip + 2);
    picColor = new Swatch(*this, this);
    picColor->move(kMargin, kStrip + 2 + kPaletteH + 2);

    const char* const names[] = {"R", "G", "B"};
    // What a screen reader says for the sliders the letters label.
    const char* const kComponentNames[] = {"Red", "Green", "Blue"};
    for (int i = 0; i < 3; ++i) {
        const int y = picColor->y() + kSwatchHeight + 4 + i * 20;
        auto* name = new QLabel(names[i], this);
        name->setGeometry(kMargin, y, 10, 18);
        auto* s = new QSlider(Qt::Horizontal, this);
        s->setObjectName(QString("sliColor%1").arg(i));
        s->setAccessibleName(kComponentNames[i]);
        s->setRange(0, 255);
        s->setPageStep(16);
        s->setGeometry(kMargin + 10, y, 64, 18);
        auto* l = new QLabel("0", this);
        l->setGeometry(kMargin + 76, y, 24, 18);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        connect(s, &QSlider::sliderMoved, l, [l](int v) { l->setNum(v); });
        connect(s, &QSlider::valueChanged, this, [this, i](int v) { sliColor_Change(i, v); });
        sliColor_[static_cast<size_t>(i)] = s;
        lblColor_[static_cast<size_t>(i)] = l;
    }
    Label1 = new QLabel(this);
    Label1->setGeometry(kMargin, kFoldedH - 1, kPaletteW, FrmColor::kSwatchHeight + 1);
    QFont small = Label1->font();
    small.setPointSizeF(6.5);
    Label1->setFont(small);
    Label1->hide(); // in the part a click on the swatch unfolds
}

FrmColor::~FrmColor() = default;

QRect FrmColor::closeRect() const
{
    return {width() - 11, 1, 10, 10};
}

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
    // The close image, sunk and its cross moved by a pixel while pressed.
    const QRect box = closeRect();
    const int d = closePressed_ ? 1 : 0;
    g.fillRect(box, palette().color(closePressed_ ? QPalette::Mid : QPalette::Button));
    g.setPen(palette().color(closePressed_ ? QPalette::Dark : QPalette::Light));
    g.drawLine(box.topLeft(), box.topRight());
    g.drawLine(box.topLeft(), box.bottomLeft());
    g.setPen(palette().color(closePressed_ ? QPalette::Light : QPalette::Shadow));
    g.drawLine(box.bottomLeft(), box.bottomRight());
    g.drawLine(box.topRight(), box.bottomRight());
    g.setPen(Qt::black);
    g.drawLine(box.left() + 2 + d, box.top() + 2 + d, box.right() - 2 + d, box.bottom() - 2 + d);
    g.drawLine(box.right() - 2 + d, box.top() + 2 + d, box.left() + 2 + d, box.bottom() - 2 + d);
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
    if (closeRect().contains(e->position().toPoint())) {
        closePressed_ = true; // the close image acts on release
        update(closeRect());
        return;
    }
    dragger_.press(e);
}

void FrmColor::mouseMoveEvent(QMouseEvent* e)
{
    if (!closePressed_)
        dragger_.move(e);
}

void FrmColor::mouseReleaseEvent(QMouseEvent* e)
{
    if (closePressed_) {
        closePressed_ = false;
        update(closeRect());
        if (e->button() == Qt::LeftButton && closeRect().contains(e->position().toPoint()))
            imgHide_Click();
        return;
    }
    dragger_.release(e);
}

void FrmColor::closeEvent(QCloseEvent* e)
{
    const SharedValues& v = state_.v();
    state_.colourWinLeft = static_cast<Single>(x() * v.Tppx);
    state_.colourWinTop = static_cast<Single>(y() * v.Tppy);
    QWidget::closeEvent(e);
}

void FrmColor::imgHide_Click()
{
    state_.flags.pbColorWinShown = false;
    close();
}

void FrmColor::display(const Colour& c)
{
    const bool wasLoading = loading_;
    loading_ = true;
    for (size_t i = 0; i < 3; ++i) {
        sliColor_[i]->setValue(static_cast<int>(c[i]));
        lblColor_[i]->setNum(static_cast<int>(c[i]));
    }
    setSwatch(c[0], c[1], c[2]);
    Integer col = 0, row = 0;
    state_.palette.mFindPaletteColor(c[0], c[1], c[2], col, row);
    mMarkPaletteCell(col, row);
    loading_ = wasLoading;
}

void FrmColor::loadTarget()
{
    display(state_.model.targetColour());
    setPaletteCover(state_.flags.pbPaletteEnabled);
}

void FrmColor::showColour(const Colour& c)
{
    display(c);
}

void FrmColor::setSwatch(Long r, Long g, Long b)
{
    swatch_ = QColor(static_cast<int>(r), static_cast<int>(g), static_cast<int>(b));
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
    for (QSlider* s : sliColor_)
        s->setEnabled(on);
}

void FrmColor::picPalette_Click(int x, int y)
{
    if (!state_.flags.pbPaletteEnabled)
        return;
    const int col = std::clamp((x - kCellMargin) / kCellW, 0, kPaletteColumns - 1);
    const int row = std::clamp((y - kCellMargin) / kCellH, 0, kPaletteRows - 1);
    Label1->setText(QString("%1, %2").arg(col).arg(row));
    Long r = 0, g = 0, b = 0;
    state_.palette.mGetPaletteColor(static_cast<Integer>(col), static_cast<Integer>(row), r, g, b);
    if (r == kNoCell)
        return;
    // The whole colour is stored before anything is redrawn.
    const Colour picked = {r, g, b};
    display(picked);
    state_.model.targetColour() = picked;
    host_.colourEdited();
}

void FrmColor::sliColor_Change(int component, int value)
{
    if (loading_)
        return;
    Colour& target = state_.model.targetColour();
    target[static_cast<size_t>(component)] = value;
    Integer col = 0, row = 0;
    state_.palette.mFindPaletteColor(target[0], target[1], target[2], col, row);
    mMarkPaletteCell(col, row);
    lblColor_[static_cast<size_t>(component)]->setNum(value);
    setSwatch(target[0], target[1], target[2]);
    host_.colourEdited();
}

void FrmColor::picColor_Click()
{
    setFixedHeight(height() - (kSwatchHeight + 1) * collapseSign_);
    collapseSign_ = -collapseSign_;
    Label1->setVisible(collapseSign_ == 1);
    for (size_t i = 0; i < 3; ++i)
        lblColor_[i]->setNum(sliColor_[i]->value());
}

} // namespace ombrix
