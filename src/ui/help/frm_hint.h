// SPDX-License-Identifier: GPL-3.0-or-later
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

    QLabel* messageLabel() const { return Label1; }
    QCheckBox* chkShow() const { return chkShow_; }
    QPushButton* cmdOK() const { return cmdOK_; }
    QLabel* imgMain() const { return imgMain_; }
    int lampFrame() const { return frame_; } // 0 full, 1 half, 2 empty
    void Timer1_Timer();

private:
    AppState& state_;
    QLabel* Label1 = nullptr;
    QCheckBox* chkShow_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QLabel* imgMain_ = nullptr;
    QTimer* Timer1 = nullptr;
    int ticks_ = 0;
    int frame_ = 0;
};

// The help window of the program's own, showing one help page.  It belongs
// to the window whose help was asked for and stays above it.
class FrmHelp : public QWidget
{
    Q_OBJECT
public:
    explicit FrmHelp(QWidget* owner);
    void showTopic(int context);
    int topic() const { return topic_; }
    QString pageText() const;

private:
    QTextBrowser* browser_ = nullptr;
    int topic_ = -1;
};

} // namespace ombrix
