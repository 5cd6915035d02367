// SPDX-License-Identifier: GPL-3.0-or-later
// The text properties dialog (" Text Properties"): adds, changes or removes
// one text set.  It edits a private copy of the set; only OK and Remove
// write the record, while the colour picker edits the set's colours in the
// record directly (Cancel puts them back).
#pragma once

#include "model/image_params.h"
#include "picture/text_labels.h"

#include <QImage>
#include <QWidget>

#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QToolButton;

namespace ombrix
{

struct AppState;
class MainServices;

class FrmTextProp : public QWidget
{
    Q_OBJECT
public:
    // Opens on set pnTextSetIndex; `add` places a new set at `newText`
    // (device pixels of the image) on OK.
    FrmTextProp(AppState& state, MainServices& host, bool add, QPoint newText,
                QWidget* parent = nullptr);

    // Fills the controls from the record and points the picker at the main
    // colour (the caller shows the picker on colourPickerWanted).
    void Form_Load();

    void txtText_Change(const QString& text);
    void mSetFontName(const QString& name);
    void mSetFontSize(const QString& text);
    void chkStyle_Click(int s);
    void sliHighlight_Change(int value);
    void sliShadow_Change(int value);
    void chkHighlight_Click();
    void chkShadow_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdRemove_Click();
    void cmdHelp_Click();

    const TextSetWork& work() const { return work_; }
    bool adding() const { return add_; }
    // The sample's main text (`lblSample`), in the image's device pixels.
    QSize sampleSize() const;
    QRect sampleRect(int role) const;
    int changeWhat() const { return mnChangeWhat; }
    // The picture under the sample, as last drawn.
    const QImage& sampleImage() const { return pattern_; }

    // The installed font families, read once per run, each family once
    // (fontconfig names a family once per foundry that ships it).
    static const QStringList& fontList();
    static QStringList familiesOnce(const QStringList& families);

signals:
    // The record's set was written (OK or Remove): labels, shot, buttons.
    void textsChanged();
    // The picker is to show the colour of pnTextIndex.
    void colourPickerWanted();
    void helpWanted();
    // The dialog closed, whichever way.
    void closed();

protected:
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    class SamplePicture;
    void mSetSampleProp();
    void mCenterSample();
    // Which colour the picker edits: `copy` (1 highlight, 2 shadow) while
    // `box` is ticked, else the main text.
    void pickCopy(const QCheckBox* box, QCheckBox* other, int copy);
    void mLockFontControls();
    void mChangeColor();
    void showSwatches();
    QFont sampleFont(int j) const;
    // The main text's size in the record's logical pixels, where a set is
    // placed whatever the screen's scale.
    QSize placementSize() const;

    AppState& state_;
    MainServices& host_;
    bool add_;
    QPoint newText_;
    int k_ = 0;
    TextSetWork work_;
    int mnChangeWhat = 0;
    QSize sampleAtOpen_;
    bool loading_ = false;
    bool done_ = false;
    bool changed_ = false; // OK or Remove wrote the record
    QImage pattern_;
    QPoint sampleOrigin_; // lblSample's top left in the sample, device px

    QLineEdit* txtText = nullptr;
    QComboBox* cboFonts = nullptr;
    QComboBox* cboSize = nullptr;
    QWidget* picColor = nullptr;
    QWidget* picHighlightColor = nullptr;
    QWidget* picShadowColor = nullptr;
    std::array<QToolButton*, 4> chkStyle{};
    QRadioButton* optAlignLeft = nullptr;
    QRadioButton* optAlignCenter = nullptr;
    QRadioButton* optAlignRight = nullptr;
    QCheckBox* chkHighlight = nullptr;
    QCheckBox* chkShadow = nullptr;
    QSlider* sliHighlight = nullptr;
    QSlider* sliShadow = nullptr;
    SamplePicture* picSample = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdRemove = nullptr;
    QPushButton* cmdHelp = nullptr;
};

} // namespace ombrix
