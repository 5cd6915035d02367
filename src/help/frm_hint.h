// The hint dialog: a short piece of advice with a blinking lamp and a
// switch that keeps it from showing again.
#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QTimer;
class QTextBrowser;

namespace ombrix
{

struct AppState;

class FrmHint : public QDialog
{
    Q_OBJECT
public:
    FrmHint(AppState& state, QWidget* parent);

    QLabel* label1() const { return Label1; }
    QCheckBox* chkShow() const { return mChkShow; }
    QPushButton* cmdOK() const { return mCmdOK; }
    QLabel* imgMain() const { return mImgMain; }
    int lampFrame() const { return mFrame; } // 0 full, 1 half, 2 empty
    void Timer1_Timer();

private:
    AppState& mState;
    QLabel* Label1 = nullptr;
    QCheckBox* mChkShow = nullptr;
    QPushButton* mCmdOK = nullptr;
    QLabel* mImgMain = nullptr;
    QTimer* Timer1 = nullptr;
    int mTicks = 0;
    int mFrame = 0;
};

// The help window of the program's own, showing one help page.
class FrmHelp : public QWidget
{
    Q_OBJECT
public:
    explicit FrmHelp(QWidget* parent);
    void showTopic(int context);
    int topic() const { return mTopic; }
    QString pageText() const;

private:
    QTextBrowser* mBrowser = nullptr;
    int mTopic = -1;
};

} // namespace ombrix
