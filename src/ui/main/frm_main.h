// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: pattern panels, colour boxes, sliders, preview, toolbar
// and status bar.  It holds the controls and their handlers; the commands
// live in Commands, the helper widgets in ui_main_widgets, the toolbar's
// table in ui_toolbar.  The other windows know it only as MainServices.
#pragma once

#include "editing/app_state.h"
#include "render/span_surface.h"
#include "ui/common/main_services.h"
#include "ui/main/commands.h"
#include "ui/main/file_commands.h"
#include "ui/main/text_commands.h"
#include "ui/main/toolbar.h"
#include "ui/main/wallpaper_commands.h"

#include <QList>
#include <QMainWindow>
#include <QString>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QMenu;
class QProgressBar;
class QSettings;
class QSlider;
class QTimer;

namespace ombrix
{

class FrmPicture;
class FrmColor;
class FrmRainbow;
class FrmHelp;
class Prompter;
class PatternPanels;
class PreviewBox;
class ColourBox;

struct MainOptions {
    Prompter* prompter = nullptr;                             // required
    std::function<std::unique_ptr<QSettings>()> openSettings; // the per-user store
};

// The items of the image window's popup menu (`mnuMenuArray`).
enum class MenuItem { Resize = 0, Separator = 1, HideScreen = 2, ImageSize = 3 };

class FrmMain : public QMainWindow, public CommandHost
{
    Q_OBJECT
public:
    FrmMain(AppState& state, MainOptions options);
    ~FrmMain() override;

    // The start-up: settings, layout, preset 3, the first Show, the colour
    // picker, the first shot and the toolbar watch.
    void Form_Load();

    // The controls' handlers.
    void optPattern_Click(int index);
    void chkRainbow_Click();
    void chkRainbow_MouseDown(Qt::MouseButton button);
    void sliHump_Change(int value);
    void sliHorRep_Change(int value);
    void sliVerRep_Change(int value);
    void sliHorizontal_Change(int value);
    void sliVertical_Change(int value);
    void picPreview_Click();
    void picColor_Click(int index);
    void Toolbar1_ButtonClick(ToolButton button);
    void mnuMenuArray_Click(MenuItem item);
    void tmrWatch_Timer();

    // Brings the controls in line with the record (nMode 1: from the
    // rainbow box, which is left alone).
    void mSetupPattern(int nMode) override;

    // What every other window gets.
    void mShowHint(int n) override;
    void mShowImageSize() override;
    void toggleImageSize() override;
    void imageSizeRefused(QSize asked, QSize kept) override;
    void mShowProgress(Single percent) override;
    void mDrawPreview() override;
    void popupImageMenu(const QPoint& globalPos) override;
    void colourEdited() override;
    ColourEvents& colourEvents() override { return colourEvents_; }

    // What the commands get besides.
    FrmPicture& picture() override;
    void closeRainbowWindow() override;
    void setButtonEnabled(ToolButton button, bool on) override;
    bool minimized() const override { return isMinimized(); }
    void bringToFront() override;
    void showHelp(int context) override;
    void setFileTitle(const QString& title) override;
    QWidget* dialogParent() override { return this; }
    void showColourPicker() override;
    void closeColourPicker() override { closeColourWindow(); }
    void setButtonChecked(ToolButton button, bool on) override;
    void restoreBorderDialog() override { textCommands_.restoreBorderDialog(); }
    TextCommands& textCommands() { return textCommands_; }

    Commands& commands() { return commands_; }
    FileCommands& fileCommands() { return files_; }
    WallpaperCommands& wallpaper() { return wallpaper_; }
    QAction* button(ToolButton b) const { return buttons_[static_cast<size_t>(b)]; }
    QAction* menuItem(MenuItem item) const { return mnuMenuArray[static_cast<size_t>(item)]; }
    PatternPanels* patternPanels() const { return panels_; }
    FrmPicture* pictureWindow() const { return frmPicture; }
    FrmColor* colourWindow() const { return frmColor; }
    FrmRainbow* rainbowWindow() const { return frmRainbow; }
    FrmHelp* helpWindow() const { return frmHelp; }
    const QImage& previewPicture() const { return preview_.image(); }
    int previewDraws() const { return previewDraws_; }

signals:
    // The program ends: the exit questions let the main window close.
    void closed();

protected:
    bool eventFilter(QObject* o, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    void moveEvent(QMoveEvent* e) override;

private:
    void buildToolbar();
    void buildControls();
    void buildStatusBar();
    void buildMenu();
    void mArrangeMain();
    void showRepeatCaption();
    void noteFrame();
    void paintColourBoxes();
    void setBoldLabel(int index);
    void showColourWindow();
    void closeColourWindow();
    void showRainbowWindow();
    void mSetPaletteCover(bool bUsable);
    void mMarkColor(const Colour& c);
    void saveSettings();
    void buildSaveMenu();
    void buildKeys();

    AppState& state_;
    MainOptions options_;
    Commands commands_;
    FileCommands files_;
    WallpaperCommands wallpaper_;
    TextCommands textCommands_;
    ColourEvents colourEvents_;
    QString fileTitle_ = "Untitled";

    std::array<QAction*, kToolbar.size()> buttons_{};
    PatternPanels* panels_ = nullptr;
    std::array<ColourBox*, kColours> picColor{};
    std::array<QLabel*, kColours> lblColor{};
    QCheckBox* chkRainbow = nullptr;
    QSlider* sliHump = nullptr;
    QSlider* sliHorRep = nullptr;
    QSlider* sliVerRep = nullptr;
    QSlider* sliHorizontal = nullptr;
    QSlider* sliVertical = nullptr;
    QLabel* lblRepeat = nullptr;
    PreviewBox* picPreview = nullptr;
    std::array<QLabel*, 4> statusPanels_{};
    QProgressBar* ProgressBar1 = nullptr;
    QTimer* tmrWatch = nullptr;
    QMenu* mnuMenu = nullptr;
    std::array<QAction*, 4> mnuMenuArray{};
    QMenu* mnuSave = nullptr;
    QList<QAction*> keyActions_; // the keys the image window shares

    FrmPicture* frmPicture = nullptr;
    FrmColor* frmColor = nullptr;
    FrmRainbow* frmRainbow = nullptr;
    FrmHelp* frmHelp = nullptr;

    SpanSurface preview_{0, 0, DrawStyle::Solid};
    int previewDraws_ = 0;
    bool settingUp_ = false; // the controls are being written from the record
    bool closing_ = false;
};

} // namespace ombrix
