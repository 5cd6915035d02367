// SPDX-License-Identifier: GPL-3.0-or-later
// The colour picker: an always-on-top tool window that edits one colour at
// a time from the fixed palette and three component sliders.
#pragma once

#include "model/image_params.h"
#include "ui/common/window_tools.h"

#include <QWidget>

#include <array>

class QLabel;
class QSlider;

namespace ombrix
{

struct AppState;
class MainServices;
class PalettePicture;

class FrmColor : public QWidget
{
    Q_OBJECT
public:
    // `owner` (the main window) becomes its transient parent: compositors
    // keep the picker above it and tiling ones float it.
    FrmColor(AppState& state, MainServices& host, QWidget* owner = nullptr);
    ~FrmColor() override;

    // Sliders, swatch and mark from the current target's colour.
    void loadTarget();
    // Shows a colour that cannot be edited now (a colour box the pattern
    // does not use): swatch, sliders, numbers and mark agree, nothing is
    // stored.
    void showColour(const Colour& c);
    void mMarkPaletteCell(Integer nCol, Integer nRow);
    void setPaletteCover(bool usable);
    void setSlidersEnabled(bool on);
    void setSwatch(Long r, Long g, Long b);

    // A click on the palette picture at (x, y) pixels.
    void picPalette_Click(int x, int y);
    void picColor_Click();
    void imgHide_Click();
    void sliColor_Change(int component, int value);

    QSlider* sliColor(int i) const { return sliColor_.at(static_cast<size_t>(i)); }
    QLabel* lblColor(int i) const { return lblColor_.at(static_cast<size_t>(i)); }
    QLabel* cellLabel() const { return Label1; }
    QColor swatchColour() const { return swatch_; }
    bool paletteCovered() const;
    Integer markedColumn() const;
    Integer markedRow() const;
    // The close image shows its pressed picture while the button is down.
    bool closePressed() const { return closePressed_; }

    static constexpr int kSwatchHeight = 9;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void changeEvent(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    // Sliders, numbers, swatch and mark for a colour, storing nothing.
    void display(const Colour& c);
    QRect closeRect() const;

    AppState& state_;
    MainServices& host_;
    PalettePicture* picPalette = nullptr;
    QWidget* picColor = nullptr;
    QLabel* Label1 = nullptr;
    std::array<QSlider*, 3> sliColor_{};
    std::array<QLabel*, 3> lblColor_{};
    QColor swatch_;
    int collapseSign_ = -1;
    bool loading_ = false;
    bool closePressed_ = false;
    WindowDragger dragger_;
};

} // namespace ombrix
