// SPDX-License-Identifier: GPL-3.0-or-later
// The JPEG quality dialog: a slider from 10 ("Low") to 100 ("High") in a
// frame whose caption follows it; OK keeps the value in the settings.
#pragma once

#include "model/numeric.h"

#include <QDialog>

#include <functional>

class QGroupBox;
class QSlider;

namespace ombrix
{

class FrmQuality : public QDialog
{
    Q_OBJECT
public:
    // `help` opens the help at a topic; the value is read from and written
    // back to `quality` (10..100).
    FrmQuality(Long& quality, std::function<void(int)> help, QWidget* parent);

    void sliQuality_Change(int value);
    void cmdOK_Click();
    void cmdHelp_Click();

private:
    Long& quality_;
    std::function<void(int)> help_;
    QGroupBox* fraQuality = nullptr;
    QSlider* sliQuality = nullptr;
};

} // namespace ombrix
