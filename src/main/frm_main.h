// The main window: pattern panels, colour boxes, sliders, preview, toolbar
// and status bar.  A thin layer over the image record and the engine: each
// control writes its field and asks for the redraw it needs.
#pragma once

#include "main/app_state.h"
#include "main/pattern_setup.h"
#include "render/qimage_surface.h"

#include <QMainWindow>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class QAction;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QProgressBar;
class QRadioButton;
class QSettings;
class QSlider;
class QTimer;
class QToolBar;

namespace ombrix
{

class FrmPicture;
class FrmColor;
class FrmRainbow;
class FrmHelp;
class Prompter;
class PatternPanel;
class PreviewBox;
class ColourBox;

struct MainOptions {
    Prompter* prompter = nullptr;                             // required
    std::function<std::unique_ptr<QSettings>()> openSettings; // the per-user store
    QString programFolder;                                    // with one trailing "/"
};

class FrmMain : public QMainWindow
{
    Q_OBJECT
public:
    FrmMain(AppState& state, MainOptions options);
    ~FrmMain() override;

    // The start-up sequence: settings, layout, preset 3, the first Show,
    // the colour picker, the first shot and the toolbar watch.
    void Form_Load();

    AppState& state() { return mState; }

    // Commands and procedures the other windows call.
    void mDrawPreview();
    void mShowImage();
    void mShowImageSize();
    void mSetupPattern(int nMode);
    void mUndo();
    void mRedo();
    void mRotate();
    void showCommand();
    void showHelp(int context);
    void mShowHint(int n);
    void popupImageMenu(const QPoint& globalPos);
    void setProgress(Single value);
    void tmrWatch_Timer();

    void optPattern_Click(int index);
    void chkRainbow_Click();
    void showRainbowWindow();
    void picColor_Click(int index);
    void picPreview_Click();
    void colourChanged(int component); // from the colour picker

    void mSetPaletteCover(bool bUsable);
    void mMarkColor(Long r, Long g, Long b);
    void showColorWindow();
    void closeColorWindow();
    void closeRainbowWindow();

    // The front panel over patterns 6..11.
    void imgOpen_Click();
    void imgShut_Click();
    bool frontPanelOpen() const;

    QAction* button(const QString& key) const;
    QSlider* slider(const QString& name) const;
    QCheckBox* rainbowBox() const { return chkRainbow; }
    QRadioButton* optPattern(int i) const { return mOptPattern.at(static_cast<size_t>(i)); }
    QLabel* colourLabel(int i) const { return mColorLabel.at(static_cast<size_t>(i)); }
    QLabel* lblRepeat() const { return mLblRepeat; }
    QLabel* statusPanel(int i) const { return mPanels.at(static_cast<size_t>(i - 1)); }
    QProgressBar* progressBar() const { return ProgressBar1; }
    QMenu* imageMenu() const { return mnuMenu; }
    QAction* menuItem(int i) const { return mnuMenuArray.at(static_cast<size_t>(i)); }
    FrmPicture* picture() const { return frmPicture; }
    FrmColor* colorWindow() const { return frmColor; }
    FrmRainbow* rainbowWindow() const { return frmRainbow; }
    FrmHelp* helpWindow() const { return frmHelp; }
    const QImageSurface& previewSurface() const { return mPreview; }
    QWidget* previewBox() const;
    int previewDraws() const { return mPreviewDraws; }

    void mnuMenuArray_Click(int index);

signals:
    // The program ends: the exit questions let the main window close.
    void closed();

protected:
    bool eventFilter(QObject* o, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void buildToolbar();
    void buildControls();
    void buildStatusBar();
    void mArrangeMain();
    void dispatch(const QString& key);
    void sliderChanged(const QString& name, int value);
    bool saveParametersForExit();
    void paintColourBoxes();
    void walkHistory(bool back);
    QString caption() const;

    AppState& mState;
    MainOptions mOptions;
    QString mTitle = "Untitled";

    QToolBar* Toolbar1 = nullptr;
    std::vector<std::pair<QString, QAction*>> mButtons;
    QGroupBox* fraPatterns = nullptr;
    PatternPanel* picPatternBack = nullptr;
    PatternPanel* picPatternFore = nullptr;
    QLabel* imgOpen = nullptr;
    QLabel* imgShut = nullptr;
    std::array<QRadioButton*, kPatterns> mOptPattern{};
    std::array<ColourBox*, 3> mColorBox{};
    std::array<QLabel*, 3> mColorLabel{};
    QCheckBox* chkRainbow = nullptr;
    QSlider* sliHump = nullptr;
    QSlider* sliHorRep = nullptr;
    QSlider* sliVerRep = nullptr;
    QSlider* sliHorizontal = nullptr;
    QSlider* sliVertical = nullptr;
    QLabel* mLblRepeat = nullptr;
    PreviewBox* picPreview = nullptr;
    std::array<QLabel*, 4> mPanels{};
    QProgressBar* ProgressBar1 = nullptr;
    QTimer* tmrWatch = nullptr;
    QMenu* mnuMenu = nullptr;
    std::array<QAction*, 4> mnuMenuArray{};

    FrmPicture* frmPicture = nullptr;
    FrmColor* frmColor = nullptr;
    FrmRainbow* frmRainbow = nullptr;
    FrmHelp* frmHelp = nullptr;

    QImageSurface mPreview{150, 110, DrawStyle::Solid};
    int mPreviewDraws = 0;
    bool mSettingUp = false; // controls are being written from the record
    bool mClosing = false;

    friend class PatternPanel;
};

// Keeps at least part of a top-level window on one of the screens, whatever
// the window manager did with it.
void keepOnScreen(QWidget* w);

// Twips per pixel from the screen's logical DPI (15 at 96 DPI).
Integer twipsPerPixel(int logicalDpi);

} // namespace ombrix
