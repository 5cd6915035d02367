// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/frm_main.h"

#include "editing/hints.h"
#include "editing/pattern_setup.h"
#include "picture/image_window.h"
#include "render/drivers.h"
#include "ui/colour/frm_color.h"
#include "ui/colour/frm_rainbow.h"
#include "ui/common/desktop_habits.h"
#include "ui/common/prompter.h"
#include "ui/common/window_tools.h"
#include "ui/help/frm_hint.h"
#include "ui/main/keys.h"
#include "ui/main/main_widgets.h"
#include "ui/picture/frm_picture.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCursor>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QProgressBar>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QSlider>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace ombrix
{

namespace
{

constexpr int kPreviewWidth = 150;
constexpr int kPreviewHeight = 110;

// A slider as the main window's table gives it.  A vertical slider has its
// minimum at the top, and its keys and wheel follow what the eye sees.
QSlider* makeSlider(const char* name, Qt::Orientation o, int min, int max, int large, int tick,
                    int value, const char* tooltip, QWidget* parent)
{
    auto* s = new QSlider(o, parent);
    s->setObjectName(name);
    s->setRange(min, max);
    s->setSingleStep(1);
    s->setPageStep(large);
    s->setTickInterval(tick);
    s->setTickPosition(o == Qt::Horizontal ? QSlider::TicksBelow : QSlider::TicksRight);
    if (o == Qt::Vertical) {
        s->setInvertedAppearance(true);
        s->setInvertedControls(true);
    }
    s->setValue(value);
    if (tooltip != nullptr)
        s->setToolTip(tooltip);
    return s;
}

QColor qcolour(const Colour& c)
{
    return QColor(static_cast<int>(c[0]), static_cast<int>(c[1]), static_cast<int>(c[2]));
}

QGroupBox* frame(const char* name, const char* caption, QWidget* parent)
{
    auto* f = new QGroupBox(caption, parent);
    f->setObjectName(name);
    return f;
}

} // namespace

FrmMain::FrmMain(AppState& state, MainOptions options)
    : state_(state), options_(std::move(options)), commands_(state, *this, *options_.prompter),
      files_(state, *this, *options_.prompter, commands_),
      wallpaper_(*this, *options_.prompter, this), textCommands_(state, *this, *options_.prompter)
{
    setObjectName("frmMain");
    // Every window of the program keeps its title bar on a screen.
    QApplication::instance()->installEventFilter(new TitleBarKeeper(this));
    setFileTitle(fileTitle_);
    // Before any control exists: a control's accessible interface is made once.
    installAccessibleButtons();
    buildToolbar();
    buildControls();
    buildStatusBar();
    buildMenu();
    buildSaveMenu();
    buildKeys();
    nameControls(this);
    // A parameter file dropped on the window opens it.
    setAcceptDrops(true);

    tmrWatch = new QTimer(this);
    tmrWatch->setInterval(200);
    connect(tmrWatch, &QTimer::timeout, this, &FrmMain::tmrWatch_Timer);
}

FrmMain::~FrmMain()
{
    delete frmColor;
    delete frmRainbow;
    delete frmPicture;
}

// ---------------------------------------------------------------------------
// Construction

void FrmMain::buildToolbar()
{
    auto* Toolbar1 = new QToolBar("Toolbar1", this);
    Toolbar1->setObjectName("Toolbar1");
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    Toolbar1->setIconSize(QSize(24, 24));
    Toolbar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    addToolBar(Qt::TopToolBarArea, Toolbar1);
    for (const ToolbarRow& row : kToolbar) {
        QAction* a = Toolbar1->addAction(toolbarIcon(row), row.key);
        a->setObjectName(row.key);
        const QList<QKeySequence> keys = commandKeys(row.button);
        a->setToolTip(tooltipWithKeys(row.tooltip, keys));
        // F1 is HelpKey's; Save's key is the Save Parameters command's.
        if (row.button != ToolButton::Help && row.button != ToolButton::Save)
            a->setShortcuts(keys);
        a->setCheckable(row.checkable);
        a->setEnabled(row.available);
        const ToolButton b = row.button;
        connect(a, &QAction::triggered, this, [this, b] { Toolbar1_ButtonClick(b); });
        buttons_[static_cast<size_t>(b)] = a;
        if (row.separatorAfter)
            Toolbar1->addSeparator();
    }
}

void FrmMain::buildControls()
{
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* columns = new QHBoxLayout(central);
    columns->setContentsMargins(8, 6, 8, 6);
    columns->setSpacing(8);

    QGroupBox* fraPatterns = frame("fraPatterns", "Patterns", central);
    auto* patterns = new QVBoxLayout(fraPatterns);
    panels_ = new PatternPanels(fraPatterns);
    panels_->patternClicked = [this](int i) { optPattern_Click(i); };
    patterns->addWidget(panels_);
    columns->addWidget(fraPatterns);

    auto* middle = new QVBoxLayout;
    columns->addLayout(middle);

    // Colours: the label of the box in use is bold, so each label is as wide
    // as its longest word in bold and two lines high.
    QGroupBox* fraColors = frame("fraColors", "Colors", central);
    auto* colours = new QGridLayout(fraColors);
    colours->setVerticalSpacing(2);
    const char* const names[] = {"Left/ Center", "Mid", "Right/ Brim"};
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics boldMetrics(bold);
    int labelWidth = 0;
    for (const char* word : {"Left/", "Center", "Mid", "Right/", "Brim"})
        labelWidth = std::max(labelWidth, boldMetrics.horizontalAdvance(word));
    for (int i = 0; i < kColours; ++i) {
        auto* box = new ColourBox(fraColors);
        box->setObjectName(QString("picColor%1").arg(i));
        box->setFixedSize(36, 30);
        box->clicked = [this, i] { picColor_Click(i); };
        // Read as the label under the box says it.
        box->setAccessibleName(QString(names[i]).remove(' ') + " colour");
        box->setAccessibleDescription("Edit this colour in the colour picker");
        picColor[static_cast<size_t>(i)] = box;
        colours->addWidget(box, 0, i, Qt::AlignHCenter);
        auto* l = new QLabel(names[i], fraColors);
        l->setObjectName(QString("lblColor%1").arg(i));
        l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        l->setWordWrap(true);
        l->setFixedSize(labelWidth + 6, 2 * boldMetrics.lineSpacing());
        lblColor[static_cast<size_t>(i)] = l;
        colours->addWidget(l, 1, i, Qt::AlignHCenter | Qt::AlignTop);
    }
    chkRainbow = new QCheckBox("Rainbow-color", fraColors);
    chkRainbow->setObjectName("chkRainbow");
    chkRainbow->setToolTip("Fill and right-click this check box to show the Rainbow-color panel.");
    chkRainbow->installEventFilter(this);
    connect(chkRainbow, &QCheckBox::clicked, this, [this] { chkRainbow_Click(); });
    colours->addWidget(chkRainbow, 2, 0, 1, kColours);
    middle->addWidget(fraColors);

    QGroupBox* fraMidColor = frame("fraMidColor", "Mid color position", central);
    auto* mid = new QHBoxLayout(fraMidColor);
    sliHump = makeSlider("sliHump", Qt::Horizontal, 0, 20, 2, 2, 10, kTipHumpSlider, fraMidColor);
    mid->addWidget(sliHump);
    middle->addWidget(fraMidColor);

    // Repetition: the caption has room for the widest one, " 10 × 6", and
    // the vertical slider a step of travel a person can hit.
    QGroupBox* fraRepeat = frame("fraRepeat", "Repetition", central);
    auto* repeat = new QHBoxLayout(fraRepeat);
    sliHorRep =
        makeSlider("sliHorRep", Qt::Horizontal, 1, 10, 1, 1, 1, kTipHorRepSlider, fraRepeat);
    sliVerRep = makeSlider("sliVerRep", Qt::Vertical, 1, 6, 1, 1, 6, kTipVerRepSlider, fraRepeat);
    sliVerRep->setFixedHeight(6 * 12);
    lblRepeat = new QLabel(fraRepeat);
    lblRepeat->setObjectName("lblRepeat");
    lblRepeat->setAlignment(Qt::AlignCenter);
    lblRepeat->setMinimumWidth(
        lblRepeat->fontMetrics().horizontalAdvance(QString::fromStdString(repeatCaption(10, 6))) +
        8);
    repeat->addWidget(sliHorRep, 1);
    repeat->addWidget(lblRepeat);
    repeat->addWidget(sliVerRep);
    middle->addWidget(fraRepeat);
    middle->addStretch();

    QGroupBox* fraScreen = frame("fraScreen", "Slant/Origin/Preview", central);
    auto* screenGrid = new QGridLayout(fraScreen);
    sliHorizontal =
        makeSlider("sliHorizontal", Qt::Horizontal, -10, 10, 1, 2, 0, nullptr, fraScreen);
    sliVertical = makeSlider("sliVertical", Qt::Vertical, -10, 10, 1, 2, 0, nullptr, fraScreen);
    auto* previewFrame = new QFrame(fraScreen);
    previewFrame->setFrameStyle(QFrame::Box | QFrame::Plain);
    previewFrame->setFixedSize(kPreviewWidth + 2, kPreviewHeight + 2);
    picPreview = new PreviewBox(previewFrame);
    picPreview->setGeometry(1, 1, kPreviewWidth, kPreviewHeight);
    picPreview->setPicture(&preview_.image());
    picPreview->clicked = [this] { picPreview_Click(); };
    sliVertical->setFixedHeight(kPreviewHeight + 2);
    screenGrid->addWidget(sliHorizontal, 0, 1);
    screenGrid->addWidget(sliVertical, 1, 0);
    screenGrid->addWidget(previewFrame, 1, 1);
    screenGrid->setRowStretch(2, 1);
    columns->addWidget(fraScreen);

    connect(sliHump, &QSlider::valueChanged, this, &FrmMain::sliHump_Change);
    connect(sliHorRep, &QSlider::valueChanged, this, &FrmMain::sliHorRep_Change);
    connect(sliVerRep, &QSlider::valueChanged, this, &FrmMain::sliVerRep_Change);
    connect(sliHorizontal, &QSlider::valueChanged, this, &FrmMain::sliHorizontal_Change);
    connect(sliVertical, &QSlider::valueChanged, this, &FrmMain::sliVertical_Change);
}

void FrmMain::buildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName("StatusBar1");
    bar->setSizeGripEnabled(false);
    const char* const texts[] = {" Image size ", " ", "", " Progress "};
    for (size_t i = 0; i < statusPanels_.size(); ++i) {
        auto* l = new QLabel(texts[i], bar);
        l->setObjectName(QString("statusPanel%1").arg(i + 1));
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        statusPanels_[i] = l;
        bar->addWidget(l);
    }
    // Room for the largest size the screen can give, " 16384W × 16384H ".
    statusPanels_[1]->setMinimumWidth(statusPanels_[1]->fontMetrics().horizontalAdvance(
                                          QString::fromStdString(imageSizeText(16384, 16384))) +
                                      8);
    statusPanels_[2]->setVisible(false);
    ProgressBar1 = new QProgressBar(bar);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setMaximumHeight(16);
    bar->addWidget(ProgressBar1, 1);
}

void FrmMain::buildMenu()
{
    mnuMenu = new QMenu("Menu", this);
    mnuMenu->setObjectName("mnuMenu");
    const char* const items[] = {"Resize...", "-", "Hide Screen", "Hide Image Size"};
    for (size_t i = 0; i < mnuMenuArray.size(); ++i) {
        const auto item = static_cast<MenuItem>(i);
        mnuMenuArray[i] =
            item == MenuItem::Separator ? mnuMenu->addSeparator() : mnuMenu->addAction(items[i]);
        mnuMenuArray[i]->setObjectName(QString("mnuMenuArray%1").arg(i));
        connect(mnuMenuArray[i], &QAction::triggered, this,
                [this, item] { mnuMenuArray_Click(item); });
    }
}

void FrmMain::buildKeys()
{
    // The image window takes the toolbar's keys too (it gets them when it is
    // made); Save and Save As write the parameters, Save Image As the picture.
    for (QAction* a : buttons_)
        if (!a->shortcuts().isEmpty())
            keyActions_ << a;
    auto* save = new QAction("Save Parameter Settings", this);
    save->setObjectName("keySave");
    save->setShortcuts(commandKeys(KeyCommand::SaveParameters));
    connect(save, &QAction::triggered, this, [this] { commands_.saveParams(); });
    auto* quit = new QAction("Quit", this);
    quit->setObjectName("keyQuit");
    quit->setShortcuts(commandKeys(KeyCommand::Quit));
    connect(quit, &QAction::triggered, this, &QWidget::close);
    keyActions_ << save << quit << mnuSave->actions().at(0) << mnuSave->actions().at(1);
    addActions(keyActions_);
    // F1 from any window of the program, dialogs included.
    qApp->installEventFilter(new HelpKey([this] { Toolbar1_ButtonClick(ToolButton::Help); }, this));
}

void FrmMain::buildSaveMenu()
{
    mnuSave = new QMenu("Save", this);
    mnuSave->setObjectName("mnuSave");
    QAction* param = mnuSave->addAction("Save Parameter Settings As...");
    param->setObjectName("mnuSaveArray0");
    param->setShortcuts(commandKeys(KeyCommand::SaveParametersAs));
    connect(param, &QAction::triggered, this, [this] { commands_.mSaveParam(); });
    QAction* image = mnuSave->addAction("Save Image As...");
    image->setObjectName("mnuSaveArray1");
    image->setShortcuts(commandKeys(KeyCommand::SaveImageAs));
    connect(image, &QAction::triggered, this, [this] { files_.mSave(); });
    mnuSave->addSeparator()->setObjectName("mnuSaveArray2");
    QAction* quality = mnuSave->addAction("Set JPEG Image Quality...");
    quality->setObjectName("mnuSaveArray3");
    connect(quality, &QAction::triggered, this, [this] { files_.showQualityDialog(); });
}

// The first local parameter file among the dropped ones, or an empty string.
static QString droppedParameterFile(const QMimeData* data)
{
    if (data == nullptr)
        return QString();
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && url.toLocalFile().endsWith(".obp", Qt::CaseInsensitive))
            return url.toLocalFile();
    return QString();
}

void FrmMain::dragEnterEvent(QDragEnterEvent* e)
{
    if (!droppedParameterFile(e->mimeData()).isEmpty())
        e->acceptProposedAction();
}

void FrmMain::dropEvent(QDropEvent* e)
{
    const QString file = droppedParameterFile(e->mimeData());
    if (file.isEmpty())
        return;
    e->acceptProposedAction();
    // Opened once the drop has ended, so the source program is not kept
    // waiting while the image is drawn.
    QMetaObject::invokeMethod(
        this, [this, file] { files_.openFile(file); }, Qt::QueuedConnection);
}

void FrmMain::mArrangeMain()
{
    adjustSize();
    setFixedSize(sizeHint());
    centreOnScreen(this);
    showRepeatCaption();
}

// ---------------------------------------------------------------------------
// Start-up and shut-down

void FrmMain::Form_Load()
{
    AppState& s = state_;
    SharedValues& v = s.v();
    const QScreen* screen = this->screen();
    v.Tppx =
        twipsPerPixel(screen != nullptr ? static_cast<int>(screen->logicalDotsPerInchX()) : 96);
    v.Tppy =
        twipsPerPixel(screen != nullptr ? static_cast<int>(screen->logicalDotsPerInchY()) : 96);

    s.flags = AppFlags{};
    v.pnMinRepPixels = 12;
    s.p().pnRotation = 1;
    s.p().pnHorRep = s.p().pnVerRep = 1;
    if (options_.openSettings) {
        const std::unique_ptr<QSettings> store = options_.openSettings();
        s.settings = mGetSettings(*store);
    }

    QApplication::setOverrideCursor(Qt::WaitCursor);
    setFileTitle("Untitled");
    s.p().pnImageLeft = static_cast<Integer>(30 * v.Tppx);
    s.p().pnImageTop = 0;

    mArrangeMain();
    show();
    // What a frame adds, once the window manager has drawn it (nothing under
    // a bare X server); a frame drawn later is noted when it moves the window.
    QApplication::processEvents();
    noteFrame();

    button(ToolButton::Undo)->setEnabled(false);
    button(ToolButton::Redo)->setEnabled(false);
    button(ToolButton::Gradtxt)->setEnabled(false);
    ProgressBar1->setValue(0);

    // The colour picker opens at the main window's right edge.
    s.colourWinLeft = static_cast<Single>((frameGeometry().x() + frameGeometry().width()) * v.Tppx);
    s.colourWinTop = static_cast<Single>(frameGeometry().y() * v.Tppy);

    s.model.mSetDefaults(3);
    for (size_t i = 0; i < s.settings.pnShowTip.size(); ++i)
        v.pnShowTip[i] = s.settings.pnShowTip[i];
    QApplication::processEvents();

    commands_.mShowImage();

    s.flags.pbColorWinShown = true;
    showColourWindow();
    // On a small or scaled screen the centred main window covers the image
    // window's first place: it moves aside, the picker with it, where the
    // screen has room.
    moveClearOf(this, frmPicture, frmColor);
    bringToFront();
    QApplication::restoreOverrideCursor();

    s.history.reset(s.p());
    tmrWatch->start();
}

void FrmMain::noteFrame()
{
    int w = 0, h = 0;
    if (!frameExtent(this, w, h))
        return;
    // The main window's own frame, for placing the dialogs beside it; no
    // image size depends on it.
    SharedValues& v = state_.v();
    v.pnCaptionHeight = static_cast<Integer>(h);
}

void FrmMain::moveEvent(QMoveEvent* e)
{
    QMainWindow::moveEvent(e);
    noteFrame();
}

void FrmMain::saveSettings()
{
    if (!options_.openSettings)
        return;
    for (size_t i = 0; i < state_.settings.pnShowTip.size(); ++i)
        state_.settings.pnShowTip[i] = state_.v().pnShowTip[i];
    const std::unique_ptr<QSettings> store = options_.openSettings();
    mSaveSettings(*store, state_.settings);
}

void FrmMain::closeEvent(QCloseEvent* e)
{
    if (closing_) {
        e->accept();
        return;
    }
    Prompter& prompter = *options_.prompter;
    bool end = false;
    if (state_.flags.pbParamSaved) {
        end = prompter.ask(this, " Exit", "Do you really want to exit Ombrix?", Buttons::YesNo,
                           Icon::Question) == Answer::Yes;
        if (end)
            saveSettings();
    } else {
        const Answer a =
            prompter.ask(this, " Exit", "Do you want to save the image before exiting Ombrix?",
                         Buttons::YesNoCancel, Icon::Exclamation);
        if (a == Answer::No) {
            saveSettings();
            end = true;
        } else if (a == Answer::Yes) {
            // A cancelled or failed save keeps the program, and the image.
            const bool saved = commands_.mSaveParam();
            saveSettings();
            end = saved;
        }
    }
    if (!end) {
        e->ignore();
        return;
    }
    closing_ = true;
    tmrWatch->stop();
    textCommands_.closeDialogs();
    for (QWidget* w : std::initializer_list<QWidget*>{frmColor, frmRainbow, frmPicture, frmHelp})
        if (w != nullptr)
            w->close();
    e->accept();
    emit closed();
}

void FrmMain::changeEvent(QEvent* e)
{
    QMainWindow::changeEvent(e);
    if (e->type() != QEvent::WindowStateChange || closing_)
        return;
    if (isMinimized()) {
        // The shown-flags stay, so that restoring brings back what was shown.
        closeColourWindow();
        closeRainbowWindow();
        textCommands_.hideDialogs();
        if (frmPicture != nullptr)
            frmPicture->hide();
    } else {
        if (state_.flags.pbPictureShown && frmPicture != nullptr)
            frmPicture->show();
        textCommands_.restoreDialogs();
        if (state_.flags.pbColorWinShown)
            showColourWindow();
    }
}

void FrmMain::tmrWatch_Timer()
{
    // The text properties dialog keeps Undo and Redo off while it is open.
    const bool textDlg = state_.flags.pbTextDlgShown;
    button(ToolButton::Redo)->setEnabled(state_.history.canRedo() && !textDlg);
    button(ToolButton::Undo)->setEnabled(state_.history.canUndo() && !textDlg);
    setButtonEnabled(ToolButton::Borders, !state_.flags.pbTextMode);
    textCommands_.watch();
}

// ---------------------------------------------------------------------------
// Pattern controls

void FrmMain::mDrawPreview()
{
    // The preview is drawn in the screen's device pixels, so that it stays
    // sharp on a scaled screen.
    const double r = deviceRatio(picPreview);
    const int w = toDevice(kPreviewWidth, r), h = toDevice(kPreviewHeight, r);
    if (preview_.width() != w || preview_.height() != h)
        preview_.resize(w, h);
    RenderContext ctx(state_.p());
    ombrix::mDrawPreview(ctx, preview_);
    ++previewDraws_;
    picPreview->update();
}

void FrmMain::optPattern_Click(int index)
{
    state_.p().pnPattern = static_cast<Integer>(index);
    panels_->checkOnly(index);
    mDrawPreview();
    raise();
    mSetupPattern(0);
}

void FrmMain::chkRainbow_Click()
{
    ImageParams& p = state_.p();
    p.pnRainbow = p.rainbowMode(chkRainbow->isChecked());
    mSetupPattern(1);
    mDrawPreview();
    if (!chkRainbow->isChecked())
        closeRainbowWindow();
    chkRainbow->setFocus();
}

void FrmMain::chkRainbow_MouseDown(Qt::MouseButton button)
{
    if (button == Qt::RightButton && state_.p().pnRainbow != 0)
        showRainbowWindow();
}

bool FrmMain::eventFilter(QObject* o, QEvent* e)
{
    if (o == chkRainbow && e->type() == QEvent::MouseButtonPress)
        chkRainbow_MouseDown(static_cast<QMouseEvent*>(e)->button());
    // The image window takes a dropped parameter file as the main window does.
    if (o == frmPicture && e->type() == QEvent::DragEnter) {
        dragEnterEvent(static_cast<QDragEnterEvent*>(e));
        return true;
    }
    if (o == frmPicture && e->type() == QEvent::Drop) {
        dropEvent(static_cast<QDropEvent*>(e));
        return true;
    }
    return QMainWindow::eventFilter(o, e);
}

void FrmMain::sliHump_Change(int value)
{
    if (settingUp_)
        return;
    state_.p().pnHump = static_cast<Integer>(value);
    mDrawPreview();
}

void FrmMain::sliHorRep_Change(int value)
{
    if (settingUp_)
        return;
    state_.p().pnHorRep = static_cast<Integer>(value);
    // The preview always shows one repetition: only the caption follows.
    showRepeatCaption();
}

void FrmMain::sliVerRep_Change(int value)
{
    if (settingUp_)
        return;
    // The top of the slider, its minimum, means the most repetitions.
    state_.p().pnVerRep = static_cast<Integer>(7 - value);
    showRepeatCaption();
}

void FrmMain::showRepeatCaption()
{
    const ImageParams& p = state_.p();
    lblRepeat->setText(QString::fromStdString(repeatCaption(p.pnHorRep, p.pnVerRep)));
}

void FrmMain::sliHorizontal_Change(int value)
{
    if (settingUp_)
        return;
    state_.p().pnSlantRate = static_cast<Integer>(value);
    mDrawPreview();
}

void FrmMain::sliVertical_Change(int value)
{
    if (settingUp_)
        return;
    ImageParams& p = state_.p();
    p.pnVerOrgOffset = static_cast<Integer>(value);
    // A turned linear gradient slants along the vertical slider.
    if (p.pnPattern == kLinearGradient && p.pnRotation == -1)
        p.pnSlantRate = static_cast<Integer>(-value);
    mDrawPreview();
}

void FrmMain::picPreview_Click()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    mDrawPreview();
    if (state_.p().pnPattern == kPlainBackground && frmPicture != nullptr)
        frmPicture->mDrawFullSize();
    QApplication::restoreOverrideCursor();
}

void FrmMain::setBoldLabel(int index)
{
    for (int i = 0; i < kColours; ++i) {
        QFont f = lblColor[static_cast<size_t>(i)]->font();
        f.setBold(i == index);
        lblColor[static_cast<size_t>(i)]->setFont(f);
    }
}

void FrmMain::paintColourBoxes()
{
    for (size_t i = 0; i < kColours; ++i)
        picColor[i]->setColour(qcolour(state_.p().plColor[i]));
}

void FrmMain::mSetupPattern(int nMode)
{
    AppState& s = state_;
    ImageParams& p = s.p();
    s.v().pnColorTarget = ColourTarget::ColourBox;
    const PatternControls c = mSetupPatternState(p);

    settingUp_ = true;
    sliHorizontal->setToolTip(c.slantTooltips ? kTipHorizontalSlant : kTipHorizontalOrigin);
    sliVertical->setToolTip(c.slantTooltips ? kTipVerticalSlant : kTipVerticalOrigin);
    setButtonEnabled(ToolButton::Rotate, c.rotateEnabled);
    button(ToolButton::Rotate)->setChecked(c.rotateEnabled && c.rotatePressed);
    sliHorizontal->setEnabled(c.horizontalEnabled);
    sliVertical->setEnabled(c.verticalEnabled);
    sliHorizontal->setValue(c.horizontalValue);
    sliVertical->setValue(c.verticalValue);
    sliHorRep->setValue(c.horRepValue);
    sliVerRep->setValue(c.verRepValue);
    showRepeatCaption();
    if (p.pnPattern >= 0 && p.pnPattern < kPatterns)
        panels_->checkOnly(p.pnPattern);
    if (nMode != 1 && c.rainbowBox != RainbowBox::Unchanged)
        chkRainbow->setChecked(c.rainbowBox == RainbowBox::Set);
    sliHump->setEnabled(c.humpEnabled);
    sliHump->setValue(c.humpValue);
    settingUp_ = false;

    setBoldLabel(c.boldLabel);
    if (c.colourIndex >= 0)
        s.v().pnColorIndex = static_cast<Integer>(c.colourIndex);
    if (c.pickerShown) {
        s.flags.pbColorWinShown = true;
        paintColourBoxes();
        mSetPaletteCover(true);
        showColourWindow();
        frmColor->setSlidersEnabled(true);
    } else {
        s.flags.pbColorWinShown = false;
        closeColourWindow();
    }
}

// ---------------------------------------------------------------------------
// Colour boxes and the colour tools

void FrmMain::showColourWindow()
{
    if (frmColor == nullptr) {
        frmColor = new FrmColor(state_, *this, this);
        const SharedValues& v = state_.v();
        frmColor->move(static_cast<int>(state_.colourWinLeft / v.Tppx),
                       static_cast<int>(state_.colourWinTop / v.Tppy));
    }
    frmColor->loadTarget();
    if (!isMinimized()) {
        frmColor->show();
        keepOnScreen(frmColor);
    }
}

void FrmMain::closeColourWindow()
{
    if (frmColor == nullptr)
        return;
    frmColor->close(); // remembers the place
    delete frmColor;
    frmColor = nullptr;
}

void FrmMain::showRainbowWindow()
{
    state_.flags.pbRainbowWinShown = true;
    if (frmRainbow == nullptr)
        frmRainbow = new FrmRainbow(state_, *this, this);
    // At the main window's left edge, just under the rainbow box.
    const QPoint under = chkRainbow->mapToGlobal(QPoint(0, chkRainbow->height()));
    frmRainbow->Form_Load(QPoint(frameGeometry().x(), under.y() + 1), chkRainbow->isChecked());
    frmRainbow->show();
    frmRainbow->activateWindow();
}

void FrmMain::closeRainbowWindow()
{
    state_.flags.pbRainbowWinShown = false;
    if (frmRainbow != nullptr) {
        frmRainbow->close();
        frmRainbow->deleteLater();
        frmRainbow = nullptr;
    }
}

void FrmMain::mSetPaletteCover(bool bUsable)
{
    state_.flags.pbPaletteEnabled = bUsable;
    if (frmColor != nullptr)
        frmColor->setPaletteCover(bUsable);
}

void FrmMain::mMarkColor(const Colour& c)
{
    Integer col = 0, row = 0;
    state_.palette.mFindPaletteColor(c[0], c[1], c[2], col, row);
    if (frmColor != nullptr)
        frmColor->mMarkPaletteCell(col, row);
}

void FrmMain::picColor_Click(int index)
{
    AppState& s = state_;
    if (s.flags.pbTextDlgShown)
        return;
    s.v().pnColorTarget = ColourTarget::ColourBox;
    s.v().pnColorIndex = static_cast<Integer>(index);
    const Colour& c = s.p().plColor[static_cast<size_t>(index)];
    if (colourBoxInUse(s.p(), index)) {
        s.flags.pbColorWinShown = true;
        mSetPaletteCover(true);
        showColourWindow();
        mMarkColor(c);
        frmColor->setSlidersEnabled(true);
        setBoldLabel(index);
    } else {
        mSetPaletteCover(false);
        if (frmColor != nullptr) {
            frmColor->setSlidersEnabled(false);
            frmColor->showColour(c);
        }
        mMarkColor(c);
    }
}

void FrmMain::colourEdited()
{
    const ColourTarget target = state_.v().pnColorTarget;
    if (target == ColourTarget::ColourBox)
        paintColourBoxes();
    mDrawPreview();
    if (state_.p().pnPattern == kPlainBackground && frmPicture != nullptr)
        frmPicture->mDrawFullSize();
    emit colourEvents_.edited(target);
}

// ---------------------------------------------------------------------------
// Toolbar, menu and what the other windows ask for

void FrmMain::Toolbar1_ButtonClick(ToolButton button)
{
    state_.flags.pbAspectHintToggle = false;
    switch (button) {
    case ToolButton::Undo:
        commands_.mUndo();
        break;
    case ToolButton::Redo:
        commands_.mRedo();
        break;
    case ToolButton::Show:
        commands_.showCommand();
        break;
    case ToolButton::Rotate:
        commands_.mRotate();
        break;
    case ToolButton::About:
        commands_.about();
        break;
    case ToolButton::Help:
        commands_.help();
        break;
    case ToolButton::Wallpaper:
        wallpaper_.popup(QCursor::pos());
        break;
    case ToolButton::Borders:
        textCommands_.bordersCommand();
        break;
    case ToolButton::Text:
        textCommands_.textCommand();
        break;
    case ToolButton::Gradtxt:
        textCommands_.mMakeGradientText();
        break;
    case ToolButton::New:
        files_.showSizeDialog(false);
        break;
    case ToolButton::Open:
        files_.mOpen();
        break;
    case ToolButton::Save:
        mnuSave->popup(QCursor::pos());
        break;
    case ToolButton::Copy:
        files_.mCopy();
        break;
    case ToolButton::Resize:
        files_.showSizeDialog(true);
        break;
    }
}

void FrmMain::mnuMenuArray_Click(MenuItem item)
{
    switch (item) {
    case MenuItem::HideScreen:
        state_.flags.pbPictureShown = false;
        if (frmPicture != nullptr)
            frmPicture->hide();
        break;
    case MenuItem::ImageSize:
        toggleImageSize();
        break;
    case MenuItem::Resize:
        files_.showSizeDialogAgain();
        break;
    case MenuItem::Separator:
        break;
    }
}

void FrmMain::popupImageMenu(const QPoint& globalPos)
{
    mnuMenu->popup(globalPos);
}

void FrmMain::mShowImageSize()
{
    const QString text =
        QString::fromStdString(imageSizeText(state_.pnPixelWidth, state_.pnPixelHeight));
    statusPanels_[1]->setText(text);
    if (frmPicture == nullptr)
        return;
    const bool room = frmPicture->roomForSizeLabel();
    menuItem(MenuItem::ImageSize)->setEnabled(room);
    menuItem(MenuItem::ImageSize)->setText(room ? "Hide Image Size" : "Show Image Size");
    frmPicture->setSizeLabel(room ? text : QString());
}

void FrmMain::imageSizeRefused(QSize asked, QSize kept)
{
    const auto text = [](QSize s) {
        return QString("%1 \u00d7 %2").arg(s.width()).arg(s.height());
    };
    options_.prompter->ask(
        this, " Ombrix",
        "The window manager keeps the image window at " + text(kept) + " pixels, so the image is " +
            text(kept) + ", not the " + text(asked) +
            " asked for. A tiling window manager sizes the windows it tiles: make the image "
            "window floating (on sway: Mod+Shift+Space) to give it its size.",
        Buttons::Ok, Icon::Exclamation);
}

void FrmMain::toggleImageSize()
{
    if (frmPicture != nullptr && frmPicture->sizeLabelShown()) {
        frmPicture->setSizeLabel(QString());
        menuItem(MenuItem::ImageSize)->setText("Show Image Size");
    } else {
        mShowImageSize();
    }
}

void FrmMain::mShowProgress(Single percent)
{
    // The drawing lets no other event run until it ends; QProgressBar paints
    // at once when the visible bar changes, so nothing more is forced here.
    ProgressBar1->setValue(std::clamp(static_cast<int>(percent), 0, 100));
}

void FrmMain::mShowHint(int n)
{
    if (n < 0 || n >= kHintCount)
        return;
    state_.hintIndex = static_cast<Integer>(n);
    if (state_.v().pnShowTip[static_cast<size_t>(n)] <= 0)
        return;
    FrmHint hint(state_, this);
    hint.exec();
}

FrmPicture& FrmMain::picture()
{
    if (frmPicture == nullptr) {
        frmPicture = new FrmPicture(state_, *this, this);
        frmPicture->setAcceptDrops(true);
        frmPicture->installEventFilter(this);
        textCommands_.attach(*frmPicture);
        frmPicture->addActions(keyActions_);
        frmPicture->Form_Load();
    }
    return *frmPicture;
}

void FrmMain::setButtonEnabled(ToolButton b, bool on)
{
    button(b)->setEnabled(on && toolbarRow(b).available);
}

void FrmMain::showColourPicker()
{
    state_.flags.pbColorWinShown = true;
    mSetPaletteCover(true);
    showColourWindow();
    frmColor->setSlidersEnabled(true);
}

void FrmMain::setButtonChecked(ToolButton b, bool on)
{
    button(b)->setChecked(on);
}

void FrmMain::bringToFront()
{
    show();
    raise();
    activateWindow();
}

void FrmMain::showHelp(int context)
{
    if (frmHelp == nullptr) {
        frmHelp = new FrmHelp(this);
        // Beside the main window, not over it, placed before it is shown so
        // that a window manager takes the place as asked; later it stays
        // where the user put it.
        placeBeside(frmHelp, this);
    }
    // A modal dialog (the JPEG quality dialog, a message box) blocks every
    // window but its own: while one is up, help belongs to it, and goes back
    // to the main window, still open, when the dialog closes.
    auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    QWidget* owner = modal != nullptr ? static_cast<QWidget*>(modal) : this;
    if (frmHelp->parentWidget() != owner) {
        const QPoint at = frmHelp->pos();
        frmHelp->setParent(owner, frmHelp->windowFlags());
        frmHelp->move(at);
    }
    if (modal != nullptr)
        connect(modal, &QDialog::finished, frmHelp, [this, modal] {
            if (frmHelp == nullptr || frmHelp->parentWidget() != modal)
                return;
            const bool open = frmHelp->isVisible();
            const QPoint at = frmHelp->pos();
            frmHelp->setParent(this, frmHelp->windowFlags());
            frmHelp->move(at);
            frmHelp->setVisible(open);
        });
    frmHelp->showTopic(context);
    frmHelp->show();
    keepOnScreen(frmHelp);
    frmHelp->raise();
    frmHelp->activateWindow();
}

void FrmMain::setFileTitle(const QString& title)
{
    fileTitle_ = title;
    setWindowTitle(" Ombrix - " + title);
}

} // namespace ombrix
