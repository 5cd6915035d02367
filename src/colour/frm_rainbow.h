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

class FrmMain;
struct AppState;

class FrmRainbow : public QWidget
{
    Q_OBJECT
public:
    explicit FrmRainbow(FrmMain& main);

    void Form_Load();
    void optPallette_Click(int index);
    void chkInverse_Click();
    void picColor_MouseUp(int index, Qt::MouseButton button);

    QRadioButton* optPallette(int i) const { return mOpt.at(static_cast<size_t>(i)); }
    QCheckBox* chkInverse() const { return mInverse; }

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void recompute();
    void showPictures();

    FrmMain& mMain;
    AppState& mState;
    std::array<QRadioButton*, 2> mOpt{};
    std::array<QLabel*, 2> mPic{};
    QCheckBox* mInverse = nullptr;
    bool mLoading = false;
};

} // namespace ombrix
