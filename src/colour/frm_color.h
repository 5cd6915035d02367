// The colour picker: an always-on-top tool window that edits one colour at
// a time from the fixed palette and three component sliders.
#pragma once

#include "model/numeric.h"

#include <QWidget>

#include <array>

class QLabel;
class QSlider;

namespace ombrix
{

class FrmMain;
struct AppState;
class PalettePicture;

class FrmColor : public QWidget
{
    Q_OBJECT
public:
    explicit FrmColor(FrmMain& main);
    ~FrmColor() override;

    // Sliders, swatch and mark from the current target's colour.
    void loadTarget();
    void mMarkPaletteCell(Integer nCol, Integer nRow);
    void setPaletteCover(bool usable);
    void setSlidersEnabled(bool on);
    void setSwatch(Long r, Long g, Long b);

    // A click on the palette picture at (x, y) pixels.
    void picPalette_Click(int x, int y);
    void picColor_Click();
    void imgHide_Click();
    void sliColor_Change(int component, int value);

    QSlider* sliColor(int i) const { return mSliders.at(static_cast<size_t>(i)); }
    QLabel* lblColor(int i) const { return mLabels.at(static_cast<size_t>(i)); }
    QLabel* label1() const { return mLabel1; }
    QColor swatch() const { return mSwatchColour; }
    bool paletteCovered() const;
    Integer markedColumn() const;
    Integer markedRow() const;

    static constexpr int kSwatchHeight = 9;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void changeEvent(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    Long& targetComponent(int component);

    FrmMain& mMain;
    AppState& mState;
    PalettePicture* picPalette = nullptr;
    QWidget* picColor = nullptr;
    QLabel* mLabel1 = nullptr;
    std::array<QSlider*, 3> mSliders{};
    std::array<QLabel*, 3> mLabels{};
    QColor mSwatchColour;
    int mCollapseSign = -1;
    bool mLoading = false;
    QPoint mDragOffset;
    bool mManualDrag = false;
};

} // namespace ombrix
