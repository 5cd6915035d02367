// SPDX-License-Identifier: GPL-3.0-or-later
// The rainbow palette window: a drop-down under the rainbow box where one
// of two rainbows and its direction are chosen; it closes when it loses
// the focus.
#pragma once

#include <QWidget>

#include <array>

class QCheckBox;
class QLabel;
class QRadioButton;

namespace ombrix
{

struct AppState;
class MainServices;

class FrmRainbow : public QWidget
{
    Q_OBJECT
public:
    // A popup placed from the main window (`owner`): Wayland places a popup
    // only relative to its parent window.
    FrmRainbow(AppState& state, MainServices& host, QWidget* owner = nullptr);

    // Opens with its top left at `at` (screen pixels, under the rainbow box);
    // `ticked` is the state of the rainbow box, which the window's choices
    // keep.
    void Form_Load(const QPoint& at, bool ticked);
    void optPallette_Click(int index);
    void chkInverse_Click();
    void picColor_MouseUp(int index, Qt::MouseButton button);

    QRadioButton* optPallette(int i) const { return optPallette_.at(static_cast<size_t>(i)); }
    QCheckBox* chkInverse() const { return chkInverse_; }

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void recompute();
    void showPictures();

    AppState& state_;
    MainServices& host_;
    std::array<QRadioButton*, 2> optPallette_{};
    std::array<QLabel*, 2> picColor_{};
    QCheckBox* chkInverse_ = nullptr;
    bool ticked_ = false;
    bool loading_ = false;
};

} // namespace ombrix
