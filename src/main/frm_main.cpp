#include "main/frm_main.h"

#include "colour/frm_color.h"
#include "colour/frm_rainbow.h"
#include "help/frm_hint.h"
#include "help/hints.h"
#include "io/param_file.h"
#include "main/ui_prompter.h"
#include "picture/frm_picture.h"
#include "render/drivers.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCursor>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QSlider>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include <cmath>

namespace ombrix
{

// ---------------------------------------------------------------------------
// Small widgets of the main window

// The preview picture: shows the preview surface and redraws on a click.
class PreviewBox : public QWidget
{
public:
    PreviewBox(FrmMain& main, QWidget* parent) : QWidget(parent), mMain(main)
    {
        setToolTip("Click here to preview the image.");
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter g(this);
        g.drawImage(0, 0, mMain.previewSurface().image());
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
            mMain.picPreview_Click();
    }

private:
    FrmMain& mMain;
};

// A colour box: a sunken square painted with one colour of the colour row.
class ColourBox : public QFrame
{
public:
    ColourBox(FrmMain& main, int index, QWidget* parent)
        : QFrame(parent), mMain(main), mIndex(index)
    {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setLineWidth(2);
        setCursor(Qt::PointingHandCursor);
    }
    QColor colour;

protected:
    void paintEvent(QPaintEvent* e) override
    {
        QPainter g(this);
        g.fillRect(contentsRect(), colour);
        g.end();
        QFrame::paintEvent(e);
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
            mMain.picColor_Click(mIndex);
    }

private:
    FrmMain& mMain;
    int mIndex;
};

// One of the two pattern panels.  The front one slides: pressing on it and
// dragging sideways moves its left edge, polled every 15 ms while the mouse
// moves, and it snaps shut within 5 pixels of the closed position.
class PatternPanel : public QWidget
{
public:
    PatternPanel(FrmMain& main, bool front, QWidget* parent)
        : QWidget(parent), mMain(main), mFront(front)
    {
        setAutoFillBackground(true);
        if (mFront) {
            tmrMove.setInterval(15);
            QObject::connect(&tmrMove, &QTimer::timeout, [this] { tmrMove_Timer(); });
        }
    }

    QTimer tmrMove;
    bool dragging = false;

    void placeHandles();
    void tmrMove_Timer();
    void mouseMovedAt(const QPoint& globalPos);

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (!mFront || mMain.picPatternBack == nullptr)
            return;
        // The highlight line marks the panel's edge once it is moved aside.
        if (x() > mMain.picPatternBack->x() + 1) {
            QPainter g(this);
            g.setPen(palette().color(QPalette::Light));
            g.drawLine(0, 0, 0, height() - 1);
        }
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        if (!mFront || e->button() != Qt::LeftButton)
            return;
        dragging = true;
        mPressX = e->globalPosition().toPoint().x();
        mPressLeft = x();
        mLastX = mPressX;
    }
    void mouseMoveEvent(QMouseEvent* e) override
    {
        if (mFront)
            mouseMovedAt(e->globalPosition().toPoint());
    }
    void mouseReleaseEvent(QMouseEvent*) override
    {
        dragging = false;
        tmrMove.stop();
    }

private:
    FrmMain& mMain;
    bool mFront;
    int mPressX = 0;
    int mPressLeft = 0;
    int mLastX = 0;
};

void PatternPanel::mouseMovedAt(const QPoint& globalPos)
{
    // The panel area: the back panel's rectangle on the screen.
    const QWidget* back = mMain.picPatternBack;
    const QRect area(back->mapToGlobal(QPoint(0, 0)), back->size());
    const bool inside = globalPos.x() > area.left() && globalPos.x() < area.right() &&
                        globalPos.y() > area.top() && globalPos.y() < area.bottom();
    if (dragging && inside && globalPos.x() != mPressX)
        tmrMove.start();
    else
        tmrMove.stop();
}

void PatternPanel::placeHandles()
{
    const int w = mMain.imgOpen->width();
    mMain.imgOpen->move(width() - w - 2, (height() - mMain.imgOpen->height()) / 2);
    mMain.imgShut->move(width() - w - 2, (height() - mMain.imgShut->height()) / 2);
    const bool open = mMain.frontPanelOpen();
    mMain.imgOpen->setVisible(!open);
    mMain.imgShut->setVisible(open);
    update();
}

void PatternPanel::tmrMove_Timer()
{
    const int cx = QCursor::pos().x();
    if (cx == mLastX)
        tmrMove.stop(); // the tick still completes
    mLastX = cx;
    const QWidget* back = mMain.picPatternBack;
    const int edge = mPressLeft + (cx - mPressX);
    const int closedLeft = back->x() + 1;
    const int openLimit = back->x() + back->width() - mMain.imgOpen->width() - 4;
    if (edge < closedLeft || edge > openLimit)
        return;
    if (edge <= back->x() + 5)
        setGeometry(closedLeft, y(), back->width() - 2, height());
    else
        setGeometry(edge, y(), back->x() + back->width() - edge - 2, height());
    placeHandles();
}

// ---------------------------------------------------------------------------
// Toolbar icons, drawn rather than shipped

namespace
{

QIcon makeIcon(const QString& key)
{
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter g(&pm);
    g.setRenderHint(QPainter::Antialiasing, true);
    const QColor ink(40, 40, 60);
    g.setPen(QPen(ink, 1.5));
    QLinearGradient grad(0, 0, 24, 24);
    grad.setColorAt(0, QColor(255, 120, 40));
    grad.setColorAt(0.5, QColor(255, 230, 90));
    grad.setColorAt(1, QColor(60, 110, 230));
    const auto page = [&] {
        QPainterPath path;
        path.moveTo(5, 2);
        path.lineTo(15, 2);
        path.lineTo(19, 6);
        path.lineTo(19, 22);
        path.lineTo(5, 22);
        path.closeSubpath();
        g.fillPath(path, Qt::white);
        g.drawPath(path);
    };
    const auto arrow = [&](bool left) {
        QPainterPath path;
        const qreal s = left ? 1 : -1, c = 12;
        path.moveTo(c - s * 8, 12);
        path.lineTo(c - s * 1, 5);
        path.lineTo(c - s * 1, 9);
        path.lineTo(c + s * 8, 9);
        path.lineTo(c + s * 8, 15);
        path.lineTo(c - s * 1, 15);
        path.lineTo(c - s * 1, 19);
        path.closeSubpath();
        g.fillPath(path, QColor(70, 130, 210));
        g.drawPath(path);
    };
    if (key == "New") {
        page();
    } else if (key == "Open") {
        g.fillRect(QRectF(2, 7, 20, 14), QColor(240, 200, 90));
        g.drawRect(QRectF(2, 7, 20, 14));
        g.drawLine(QPointF(2, 7), QPointF(8, 4));
        g.drawLine(QPointF(8, 4), QPointF(12, 7));
    } else if (key == "Save") {
        g.fillRect(QRectF(3, 3, 18, 18), QColor(70, 100, 170));
        g.fillRect(QRectF(7, 3, 10, 7), Qt::white);
        g.fillRect(QRectF(6, 14, 12, 7), QColor(220, 220, 230));
        g.drawRect(QRectF(3, 3, 18, 18));
    } else if (key == "Copy") {
        g.fillRect(QRectF(3, 3, 12, 14), Qt::white);
        g.drawRect(QRectF(3, 3, 12, 14));
        g.fillRect(QRectF(9, 8, 12, 14), grad);
        g.drawRect(QRectF(9, 8, 12, 14));
    } else if (key == "Undo") {
        arrow(true);
    } else if (key == "Redo") {
        arrow(false);
    } else if (key == "Show") {
        g.fillRect(QRectF(2, 3, 20, 14), grad);
        g.drawRect(QRectF(2, 3, 20, 14));
        g.drawLine(QPointF(12, 17), QPointF(12, 21));
        g.drawLine(QPointF(7, 21), QPointF(17, 21));
    } else if (key == "Resize") {
        g.drawRect(QRectF(3, 9, 12, 12));
        g.drawLine(QPointF(10, 14), QPointF(21, 3));
        g.drawLine(QPointF(21, 3), QPointF(15, 3));
        g.drawLine(QPointF(21, 3), QPointF(21, 9));
    } else if (key == "Rotate") {
        g.setPen(QPen(QColor(70, 130, 210), 3));
        g.drawArc(QRectF(4, 4, 16, 16), 90 * 16, 270 * 16);
        g.setPen(QPen(ink, 1.5));
        QPainterPath head;
        head.moveTo(12, 0);
        head.lineTo(17, 4);
        head.lineTo(12, 8);
        head.closeSubpath();
        g.fillPath(head, QColor(70, 130, 210));
    } else if (key == "Borders") {
        g.fillRect(QRectF(2, 2, 20, 20), QColor(170, 60, 60));
        g.fillRect(QRectF(6, 6, 12, 12), grad);
    } else if (key == "Text") {
        QFont f("Liberation Serif", 15, QFont::Bold);
        g.setFont(f);
        g.drawText(QRectF(0, 0, 24, 24), Qt::AlignCenter, "A");
    } else if (key == "Gradtxt") {
        QFont f("Liberation Sans", 16, QFont::Black);
        QPainterPath path;
        path.addText(3, 20, f, "G");
        g.fillPath(path, grad);
        g.drawPath(path);
    } else if (key == "Wallpaper") {
        g.fillRect(QRectF(2, 3, 20, 16), QColor(90, 150, 220));
        QPainterPath hill;
        hill.moveTo(2, 19);
        hill.lineTo(9, 10);
        hill.lineTo(14, 15);
        hill.lineTo(17, 12);
        hill.lineTo(22, 19);
        hill.closeSubpath();
        g.fillPath(hill, QColor(60, 150, 70));
        g.drawRect(QRectF(2, 3, 20, 16));
    } else if (key == "About") {
        g.setBrush(QColor(70, 130, 210));
        g.drawEllipse(QRectF(3, 3, 18, 18));
        g.setPen(Qt::white);
        g.setFont(QFont("Liberation Serif", 12, QFont::Bold));
        g.drawText(QRectF(3, 3, 18, 18), Qt::AlignCenter, "i");
    } else if (key == "Help") {
        g.setBrush(QColor(250, 210, 60));
        g.drawEllipse(QRectF(3, 3, 18, 18));
        g.setFont(QFont("Liberation Sans", 12, QFont::Bold));
        g.drawText(QRectF(3, 3, 18, 18), Qt::AlignCenter, "?");
    }
    return QIcon(pm);
}

struct ButtonDef {
    const char* key;
    const char* tip;
    bool built; // the command works in this version
};

const ButtonDef kButtons[] = {
    {"New", "New Image", false},
    {"Open", "Open Parameter Settings File", false},
    {"Save", "Save", false},
    {"Copy", "Copy Image", false},
    {"Undo", "Undo", true},
    {"Redo", "Redo", true},
    {"Show", "Show Image on Main Screen", true},
    {"Resize", "Resize", false},
    {"Rotate", "Rotate Image by 90 Degrees", true},
    {"Borders", "Add Borders", false},
    {"Text", "Text", false},
    {"Gradtxt", "Fill Text with Gradient Pattern", false},
    {"Wallpaper", "Set Wallpaper", false},
    {"About", "About Ombrix", true},
    {"Help", "Help", true},
};

bool built(const QString& key)
{
    for (const ButtonDef& b : kButtons)
        if (key == b.key)
            return b.built;
    return false;
}

QLabel* makeLabel(const QString& text, QWidget* parent, int x, int y, int w, int h)
{
    auto* l = new QLabel(text, parent);
    l->setGeometry(x, y, w, h);
    return l;
}

QSlider* makeSlider(Qt::Orientation o, int min, int max, int large, int tick, int value,
                    QWidget* parent)
{
    auto* s = new QSlider(o, parent);
    s->setRange(min, max);
    s->setSingleStep(1);
    s->setPageStep(large);
    s->setTickInterval(tick);
    s->setTickPosition(o == Qt::Horizontal ? QSlider::TicksBelow : QSlider::TicksRight);
    s->setValue(value);
    return s;
}

QColor qcolour(const Colour& c)
{
    return QColor(static_cast<int>(c[0]), static_cast<int>(c[1]), static_cast<int>(c[2]));
}

} // namespace

Integer twipsPerPixel(int logicalDpi)
{
    if (logicalDpi <= 0)
        return 15;
    return num::cint(1440.0 / logicalDpi);
}

void keepOnScreen(QWidget* w)
{
    if (w == nullptr)
        return;
    QScreen* screen = w->screen() != nullptr ? w->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect avail = screen->availableVirtualGeometry();
    const QRect frame = w->frameGeometry();
    // Keep a strip of the top edge reachable, where a window is grabbed.
    constexpr int kKeep = 48;
    int x = frame.x(), y = frame.y();
    x = std::clamp(x, avail.left() - frame.width() + kKeep, avail.right() - kKeep);
    y = std::clamp(y, avail.top(), std::max(avail.top(), avail.bottom() - kKeep));
    if (x != frame.x() || y != frame.y())
        w->move(w->pos() + QPoint(x - frame.x(), y - frame.y()));
}

// ---------------------------------------------------------------------------
// The main window

FrmMain::FrmMain(AppState& state, MainOptions options) : mState(state), mOptions(std::move(options))
{
    setObjectName("frmMain");
    setWindowTitle(caption());
    buildToolbar();
    buildControls();
    buildStatusBar();

    mnuMenu = new QMenu("Menu", this);
    const char* const items[] = {"Resize...", "-", "Hide Screen", "Hide Image Size"};
    for (int i = 0; i < 4; ++i) {
        if (i == 1) {
            mnuMenuArray[1] = mnuMenu->addSeparator();
            continue;
        }
        mnuMenuArray[static_cast<size_t>(i)] = mnuMenu->addAction(items[i]);
        connect(mnuMenuArray[static_cast<size_t>(i)], &QAction::triggered, this,
                [this, i] { mnuMenuArray_Click(i); });
    }
    // The image size dialog arrives later; its menu item waits for it.
    mnuMenuArray[0]->setEnabled(false);

    tmrWatch = new QTimer(this);
    tmrWatch->setInterval(200);
    connect(tmrWatch, &QTimer::timeout, this, &FrmMain::tmrWatch_Timer);
}

FrmMain::~FrmMain()
{
    delete frmColor;
    delete frmRainbow;
    delete frmPicture;
    delete frmHelp;
}

QString FrmMain::caption() const
{
    return " Ombrix - " + mTitle;
}

void FrmMain::buildToolbar()
{
    Toolbar1 = new QToolBar("Toolbar1", this);
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    Toolbar1->setIconSize(QSize(24, 24));
    Toolbar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    addToolBar(Qt::TopToolBarArea, Toolbar1);
    for (const ButtonDef& b : kButtons) {
        const QString key = b.key;
        QAction* a = Toolbar1->addAction(makeIcon(key), key);
        a->setObjectName(key);
        a->setToolTip(b.tip);
        a->setEnabled(b.built);
        if (key == "Rotate" || key == "Text")
            a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, key] { dispatch(key); });
        mButtons.emplace_back(key, a);
        if (key == "Save" || key == "Copy" || key == "Redo" || key == "Show" || key == "Rotate" ||
            key == "Wallpaper")
            Toolbar1->addSeparator();
    }
}

QAction* FrmMain::button(const QString& key) const
{
    for (const auto& [k, a] : mButtons)
        if (k == key)
            return a;
    return nullptr;
}

QSlider* FrmMain::slider(const QString& name) const
{
    if (name == "sliHump")
        return sliHump;
    if (name == "sliHorRep")
        return sliHorRep;
    if (name == "sliVerRep")
        return sliVerRep;
    if (name == "sliHorizontal")
        return sliHorizontal;
    if (name == "sliVertical")
        return sliVertical;
    return nullptr;
}

void FrmMain::buildControls()
{
    auto* central = new QWidget(this);
    setCentralWidget(central);

    // Patterns: the back panel holds 6..11, the front panel 0..5 over it.
    fraPatterns = new QGroupBox("Patterns", central);
    fraPatterns->setGeometry(8, 6, 168, 214);
    picPatternBack = new PatternPanel(*this, false, fraPatterns);
    picPatternBack->setGeometry(6, 20, 156, 186);
    picPatternFore = new PatternPanel(*this, true, fraPatterns);
    picPatternFore->setGeometry(7, 20, 154, 186);
    for (int i = 0; i < kPatterns; ++i) {
        QWidget* parent = i < 6 ? static_cast<QWidget*>(picPatternFore) : picPatternBack;
        auto* r = new QRadioButton(kPatternCaptions[static_cast<size_t>(i)], parent);
        r->setObjectName(QString("optPattern%1").arg(i));
        r->setAutoExclusive(true);
        r->setGeometry(8, 6 + (i % 6) * 29, 128, 24);
        connect(r, &QRadioButton::clicked, this, [this, i] { optPattern_Click(i); });
        mOptPattern[static_cast<size_t>(i)] = r;
    }
    imgOpen = new QLabel("\u00bb", picPatternFore);
    imgOpen->setToolTip("Click here to open the front panel.");
    imgShut = new QLabel("\u00ab", picPatternFore);
    imgShut->setToolTip("Click here to close the front panel.");
    for (QLabel* img : {imgOpen, imgShut}) {
        img->setAlignment(Qt::AlignCenter);
        img->setFixedSize(14, 40);
        img->setFrameStyle(QFrame::Panel | QFrame::Raised);
        img->setCursor(Qt::PointingHandCursor);
        img->installEventFilter(this);
    }
    picPatternFore->placeHandles();
    picPatternFore->raise();

    // Colours.
    auto* fraColors = new QGroupBox("Colors", central);
    fraColors->setGeometry(184, 6, 156, 104);
    const char* const names[] = {"Left/ Center", "Mid", "Right/ Brim"};
    for (int i = 0; i < 3; ++i) {
        auto* box = new ColourBox(*this, i, fraColors);
        box->setGeometry(12 + i * 48, 22, 36, 30);
        mColorBox[static_cast<size_t>(i)] = box;
        auto* l = makeLabel(names[i], fraColors, 4 + i * 48, 54, 52, 28);
        l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        l->setWordWrap(true);
        mColorLabel[static_cast<size_t>(i)] = l;
    }
    chkRainbow = new QCheckBox("Rainbow-color", fraColors);
    chkRainbow->setGeometry(10, 80, 140, 20);
    chkRainbow->setToolTip("Fill and right-click this check box to show the Rainbow-color panel.");
    chkRainbow->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(chkRainbow, &QCheckBox::clicked, this, [this] { chkRainbow_Click(); });
    connect(chkRainbow, &QCheckBox::customContextMenuRequested, this, [this] {
        if (mState.p().pnRainbow != 0)
            showRainbowWindow();
    });

    auto* fraMidColor = new QGroupBox("Mid color position", central);
    fraMidColor->setGeometry(184, 114, 156, 52);
    sliHump = makeSlider(Qt::Horizontal, 0, 20, 2, 2, 10, fraMidColor);
    sliHump->setGeometry(8, 20, 140, 26);
    sliHump->setToolTip(kTipHumpSlider);

    auto* fraRepeat = new QGroupBox("Repetition", central);
    fraRepeat->setGeometry(184, 170, 156, 50);
    sliHorRep = makeSlider(Qt::Horizontal, 1, 10, 1, 1, 1, fraRepeat);
    sliHorRep->setGeometry(6, 20, 80, 26);
    sliHorRep->setToolTip(kTipHorRepSlider);
    sliVerRep = makeSlider(Qt::Vertical, 1, 6, 1, 1, 6, fraRepeat);
    sliVerRep->setGeometry(130, 12, 22, 36);
    sliVerRep->setToolTip(kTipVerRepSlider);
    mLblRepeat = makeLabel("", fraRepeat, 88, 22, 40, 20);

    auto* fraScreen = new QGroupBox("Slant/Origin/Preview", central);
    fraScreen->setGeometry(348, 6, 196, 214);
    sliHorizontal = makeSlider(Qt::Horizontal, -10, 10, 1, 2, 0, fraScreen);
    sliHorizontal->setGeometry(34, 20, 154, 28);
    sliVertical = makeSlider(Qt::Vertical, -10, 10, 1, 2, 0, fraScreen);
    sliVertical->setGeometry(6, 50, 26, 150);
    picPreview = new PreviewBox(*this, fraScreen);
    picPreview->setObjectName("picPreview");
    picPreview->setGeometry(36, 54, 150, 110);
    auto* previewFrame = new QFrame(fraScreen);
    previewFrame->setFrameStyle(QFrame::Box | QFrame::Plain);
    previewFrame->setGeometry(35, 53, 152, 112);
    previewFrame->lower();

    const std::pair<QSlider*, QString> sliders[] = {{sliHump, "sliHump"},
                                                    {sliHorRep, "sliHorRep"},
                                                    {sliVerRep, "sliVerRep"},
                                                    {sliHorizontal, "sliHorizontal"},
                                                    {sliVertical, "sliVertical"}};
    for (const auto& [s, name] : sliders) {
        s->setObjectName(name);
        const QString n = name;
        connect(s, &QSlider::valueChanged, this, [this, n](int v) { sliderChanged(n, v); });
    }
    central->setFixedSize(552, 228);
}

void FrmMain::buildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(false);
    const char* const texts[] = {" Image size ", " ", "", " Progress "};
    for (int i = 0; i < 4; ++i) {
        auto* l = new QLabel(texts[i], bar);
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        mPanels[static_cast<size_t>(i)] = l;
        bar->addWidget(l);
    }
    mPanels[1]->setMinimumWidth(110);
    mPanels[2]->setVisible(false);
    ProgressBar1 = new QProgressBar(bar);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setMaximumHeight(16);
    bar->addWidget(ProgressBar1, 1);
}

bool FrmMain::eventFilter(QObject* o, QEvent* e)
{
    if (e->type() == QEvent::MouseButtonRelease) {
        if (o == imgOpen) {
            imgOpen_Click();
            return true;
        }
        if (o == imgShut) {
            imgShut_Click();
            return true;
        }
    }
    if (e->type() == QEvent::MouseMove && picPatternFore->dragging)
        picPatternFore->mouseMovedAt(static_cast<QMouseEvent*>(e)->globalPosition().toPoint());
    return QMainWindow::eventFilter(o, e);
}

void FrmMain::mArrangeMain()
{
    adjustSize();
    setFixedSize(sizeHint());
    if (QScreen* s = screen()) {
        const QRect g = s->availableGeometry();
        move(g.x() + (g.width() - frameGeometry().width()) / 2,
             g.y() + (g.height() - frameGeometry().height()) / 2);
    }
    mLblRepeat->setText(
        QString::fromStdString(repeatCaption(mState.p().pnHorRep, mState.p().pnVerRep)));
}

// ---------------------------------------------------------------------------
// Start-up and shut-down

void FrmMain::Form_Load()
{
    AppState& s = mState;
    SharedValues& v = s.v();
    const int dpiX = screen() != nullptr ? static_cast<int>(screen()->logicalDotsPerInchX()) : 96;
    const int dpiY = screen() != nullptr ? static_cast<int>(screen()->logicalDotsPerInchY()) : 96;
    v.Tppx = twipsPerPixel(dpiX);
    v.Tppy = twipsPerPixel(dpiY);

    s.flags = AppFlags{};
    v.pnMinRepPixels = 12;
    s.p().pnRotation = 1;
    s.p().pnHorRep = s.p().pnVerRep = 1;

    if (mOptions.openSettings) {
        std::unique_ptr<QSettings> store = mOptions.openSettings();
        s.settings = mGetSettings(*store);
        for (size_t i = 0; i < 5; ++i)
            v.pnShowTip[i] = s.settings.pnShowTip[i];
    }

    QApplication::setOverrideCursor(Qt::WaitCursor);
    mTitle = "Untitled";
    setWindowTitle(caption());

    s.p().pnImageLeft = static_cast<Integer>(30 * v.Tppx);
    s.p().pnImageTop = 0;

    mArrangeMain();
    show();
    // What a frame adds, as the window manager draws it (nothing when there
    // is none, as under a bare X server).
    QApplication::processEvents();
    s.frameWidth = static_cast<Single>((frameGeometry().width() - width()) * v.Tppx);
    s.frameHeight = static_cast<Single>((frameGeometry().height() - height()) * v.Tppy);
    v.pnCaptionHeight = static_cast<Integer>(frameGeometry().height() - height());

    button("Undo")->setEnabled(false);
    button("Redo")->setEnabled(false);
    button("Gradtxt")->setEnabled(false);
    ProgressBar1->setValue(0);

    s.colorWinLeft = static_cast<Single>((frameGeometry().x() + frameGeometry().width()) * v.Tppx);
    s.colorWinTop = static_cast<Single>(frameGeometry().y() * v.Tppy);

    s.model.mSetDefaults(3);
    for (size_t i = 0; i < 5; ++i)
        v.pnShowTip[i] = s.settings.pnShowTip[i];
    QApplication::processEvents();

    mShowImage();

    s.flags.pbColorWinShown = true;
    showColorWindow();
    raise();
    activateWindow();

    QApplication::restoreOverrideCursor();

    s.history.pnShotPointer = 0;
    s.history.mPushShot(s.p());
    s.history.pnShots = 0;

    tmrWatch->start();
}

void FrmMain::closeEvent(QCloseEvent* e)
{
    if (mClosing) {
        e->accept();
        return;
    }
    const auto saveSettings = [this] {
        if (!mOptions.openSettings)
            return;
        for (size_t i = 0; i < 5; ++i)
            mState.settings.pnShowTip[i] = mState.v().pnShowTip[i];
        std::unique_ptr<QSettings> store = mOptions.openSettings();
        mSaveSettings(*store, mState.settings);
    };
    bool end = false;
    if (mState.flags.pbParamSaved) {
        const Answer a = mOptions.prompter->ask(this, " Exit", "Do you really want to exit Ombrix?",
                                                Buttons::YesNo, Icon::Question);
        if (a == Answer::Yes) {
            saveSettings();
            end = true;
        }
    } else {
        const Answer a = mOptions.prompter->ask(
            this, " Exit", "Do you want to save the image before exiting Ombrix?",
            Buttons::YesNoCancel, Icon::Exclamation);
        if (a == Answer::No) {
            saveSettings();
            end = true;
        } else if (a == Answer::Yes) {
            const bool saved = saveParametersForExit();
            saveSettings();
            end = saved;
        }
    }
    if (!end) {
        e->ignore();
        return;
    }
    mClosing = true;
    tmrWatch->stop();
    for (QWidget* w : std::initializer_list<QWidget*>{frmColor, frmRainbow, frmPicture, frmHelp})
        if (w != nullptr)
            w->close();
    e->accept();
    emit closed();
}

bool FrmMain::saveParametersForExit()
{
    const QString folder = mState.settings.psSavePath.empty()
                               ? mOptions.programFolder
                               : QString::fromStdString(mState.settings.psSavePath);
    const QString path = mOptions.prompter->saveFileName(this, "Save Parameter Settings As", folder,
                                                         "Ombrix Parameter Files (*.obp)");
    if (path.isEmpty())
        return false;
    QString target = path;
    if (!target.endsWith(".obp", Qt::CaseInsensitive))
        target += ".obp";
    const ParamFileResult r = SaveData(target.toStdString(), mState.p());
    if (!r.ok) {
        // A failed save keeps the program running: the image is not lost.
        mOptions.prompter->ask(this, " Ombrix",
                               QString::fromStdString(r.checkpoint + "\n" + r.message), Buttons::Ok,
                               Icon::Critical);
        return false;
    }
    mState.flags.pbParamSaved = true;
    mState.settings.psSavePath =
        mGetFolder(target.toStdString(), mOptions.programFolder.toStdString());
    return true;
}

void FrmMain::changeEvent(QEvent* e)
{
    QMainWindow::changeEvent(e);
    if (e->type() != QEvent::WindowStateChange || mClosing)
        return;
    if (isMinimized()) {
        closeColorWindow();
        closeRainbowWindow();
        if (frmPicture != nullptr)
            frmPicture->hide();
    } else {
        if (mState.flags.pbPictureShown && frmPicture != nullptr)
            frmPicture->show();
        if (mState.flags.pbColorWinShown)
            showColorWindow();
    }
}

void FrmMain::tmrWatch_Timer()
{
    button("Redo")->setEnabled(mState.history.pnShotPointer != 0);
    button("Undo")->setEnabled(mState.history.pnShotPointer != mState.history.pnShots);
    // Borders follow the text mode once the borders dialog exists.
    button("Borders")->setEnabled(built("Borders") && !mState.flags.pbTextMode);
}

void FrmMain::mShowImageSize()
{
    const QString text =
        QString(" %1W \u00d7 %2H ").arg(mState.pnPixelWidth).arg(mState.pnPixelHeight);
    mPanels[1]->setText(text);
    if (frmPicture == nullptr)
        return;
    const bool room = frmPicture->picShow()->width() > 199 && frmPicture->picShow()->height() > 79;
    mnuMenuArray[3]->setEnabled(room);
    mnuMenuArray[3]->setText(room ? "Hide Image Size" : "Show Image Size");
    frmPicture->lblSize()->setText(room ? text : QString());
    frmPicture->lblSize()->adjustSize();
}

void FrmMain::setProgress(Single value)
{
    // The drawing lets no other event run until it ends; QProgressBar paints
    // at once when the visible bar changes, so nothing more is forced here
    // (one forced paint per band cost more than the drawing itself).
    ProgressBar1->setValue(std::clamp(static_cast<int>(value), 0, 100));
}

QWidget* FrmMain::previewBox() const
{
    return picPreview;
}

// ---------------------------------------------------------------------------
// Pattern controls

void FrmMain::mDrawPreview()
{
    RenderContext ctx(mState.p());
    ctx.pbFullSize = false;
    ombrix::mDrawPreview(ctx, mPreview);
    ++mPreviewDraws;
    picPreview->update();
}

void FrmMain::optPattern_Click(int index)
{
    if (!mOptPattern[static_cast<size_t>(index)]->isChecked())
        return;
    mState.p().pnPattern = static_cast<Integer>(index);
    // The two panels are separate groups; keep one choice across both.
    const int from = index >= 6 ? 0 : 6;
    for (int i = from; i < from + 6; ++i) {
        QRadioButton* r = mOptPattern[static_cast<size_t>(i)];
        r->setAutoExclusive(false);
        r->setChecked(false);
        r->setAutoExclusive(true);
    }
    mState.flags.pbFullSize = false;
    mDrawPreview();
    raise();
    mSetupPattern(0);
}

void FrmMain::chkRainbow_Click()
{
    ImageParams& p = mState.p();
    p.pnRainbow = p.rainbowMode(chkRainbow->isChecked());
    mSetupPattern(1);
    mState.flags.pbFullSize = false;
    mDrawPreview();
    if (!chkRainbow->isChecked())
        closeRainbowWindow();
    chkRainbow->setFocus();
}

void FrmMain::showRainbowWindow()
{
    mState.flags.pbRainbowWinShown = true;
    if (frmRainbow == nullptr)
        frmRainbow = new FrmRainbow(*this);
    frmRainbow->Form_Load();
    frmRainbow->show();
    frmRainbow->activateWindow();
}

void FrmMain::closeRainbowWindow()
{
    mState.flags.pbRainbowWinShown = false;
    if (frmRainbow != nullptr) {
        frmRainbow->close();
        frmRainbow->deleteLater();
        frmRainbow = nullptr;
    }
}

void FrmMain::sliderChanged(const QString& name, int value)
{
    if (mSettingUp)
        return;
    ImageParams& p = mState.p();
    const auto v = static_cast<Integer>(value);
    if (name == "sliHorRep" || name == "sliVerRep") {
        if (name == "sliHorRep")
            p.pnHorRep = v;
        else
            p.pnVerRep = static_cast<Integer>(7 - v);
        mLblRepeat->setText(QString::fromStdString(repeatCaption(p.pnHorRep, p.pnVerRep)));
        return; // the preview always shows one repetition
    }
    if (name == "sliHump")
        p.pnHump = v;
    else if (name == "sliHorizontal")
        p.pnSlantRate = v;
    else if (name == "sliVertical") {
        p.pnVerOrgOffset = v;
        // A turned linear gradient slants along the vertical slider.
        if (p.pnPattern == kLinearGradient && p.pnRotation == -1)
            p.pnSlantRate = static_cast<Integer>(-v);
    }
    mState.flags.pbFullSize = false;
    mDrawPreview();
}

void FrmMain::picPreview_Click()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    mState.flags.pbFullSize = false;
    mDrawPreview();
    if (mState.p().pnPattern == kPlainBackground && frmPicture != nullptr)
        frmPicture->drawFullSize();
    QApplication::restoreOverrideCursor();
}

void FrmMain::imgOpen_Click()
{
    const int w = imgOpen->width() + 4;
    picPatternFore->setGeometry(picPatternBack->x() + picPatternBack->width() - 1 - w,
                                picPatternFore->y(), w, picPatternFore->height());
    picPatternFore->placeHandles();
}

void FrmMain::imgShut_Click()
{
    picPatternFore->setGeometry(picPatternBack->x() + 1, picPatternFore->y(),
                                picPatternBack->width() - 2, picPatternFore->height());
    picPatternFore->placeHandles();
}

bool FrmMain::frontPanelOpen() const
{
    return picPatternFore->x() > picPatternBack->x() + 1;
}

void FrmMain::paintColourBoxes()
{
    for (int i = 0; i < 3; ++i) {
        mColorBox[static_cast<size_t>(i)]->colour =
            qcolour(mState.p().plColor[static_cast<size_t>(i)]);
        mColorBox[static_cast<size_t>(i)]->update();
    }
}

void FrmMain::mSetupPattern(int nMode)
{
    AppState& s = mState;
    ImageParams& p = s.p();
    s.v().pnColorTarget = 0;
    const PatternControls c = mSetupPatternState(p);

    mSettingUp = true;
    sliHorizontal->setToolTip(c.slantTooltips ? kTipHorizontalSlant : kTipHorizontalOrigin);
    sliVertical->setToolTip(c.slantTooltips ? kTipVerticalSlant : kTipVerticalOrigin);
    button("Rotate")->setEnabled(c.rotateEnabled);
    button("Rotate")->setChecked(c.rotateEnabled && c.rotatePressed);
    sliHorizontal->setEnabled(c.horizontalEnabled);
    sliVertical->setEnabled(c.verticalEnabled);
    sliHorizontal->setValue(c.horizontalValue);
    sliVertical->setValue(c.verticalValue);
    sliHorRep->setValue(c.horRepValue);
    sliVerRep->setValue(c.verRepValue);
    mLblRepeat->setText(QString::fromStdString(c.repeatCaption));
    if (p.pnPattern >= 0 && p.pnPattern < kPatterns)
        mOptPattern[static_cast<size_t>(p.pnPattern)]->setChecked(true);
    if (nMode != 1 && c.rainbowBox != RainbowBox::Unchanged)
        chkRainbow->setChecked(c.rainbowBox == RainbowBox::Set);
    sliHump->setEnabled(c.humpEnabled);
    sliHump->setValue(c.humpValue);
    mSettingUp = false;

    for (int i = 0; i < 3; ++i) {
        QFont f = mColorLabel[static_cast<size_t>(i)]->font();
        f.setBold(i == c.boldLabel);
        mColorLabel[static_cast<size_t>(i)]->setFont(f);
    }
    if (c.colorIndex >= 0)
        s.v().pnColorIndex = static_cast<Integer>(c.colorIndex);
    if (c.pickerShown) {
        s.flags.pbColorWinShown = true;
        paintColourBoxes();
        showColorWindow();
        mSetPaletteCover(true);
        frmColor->setSlidersEnabled(true);
    } else {
        closeColorWindow();
    }
}

// ---------------------------------------------------------------------------
// Colour boxes and the colour picker

void FrmMain::showColorWindow()
{
    if (frmColor == nullptr) {
        frmColor = new FrmColor(*this);
        const SharedValues& v = mState.v();
        frmColor->move(static_cast<int>(mState.colorWinLeft / v.Tppx),
                       static_cast<int>(mState.colorWinTop / v.Tppy));
    }
    frmColor->loadTarget();
    if (!isMinimized()) {
        frmColor->show();
        keepOnScreen(frmColor);
    }
}

void FrmMain::closeColorWindow()
{
    if (frmColor == nullptr)
        return;
    const bool shown = mState.flags.pbColorWinShown;
    frmColor->close(); // remembers the position
    delete frmColor;
    frmColor = nullptr;
    mState.flags.pbColorWinShown = shown;
}

void FrmMain::mSetPaletteCover(bool bUsable)
{
    mState.flags.pbPaletteEnabled = bUsable;
    if (frmColor != nullptr)
        frmColor->setPaletteCover(bUsable);
}

void FrmMain::mMarkColor(Long r, Long g, Long b)
{
    Integer col = 0, row = 0;
    mState.palette.mFindPaletteColor(r, g, b, col, row);
    if (frmColor != nullptr)
        frmColor->mMarkPaletteCell(col, row);
}

void FrmMain::picColor_Click(int index)
{
    AppState& s = mState;
    if (s.flags.pbTextDlgShown)
        return;
    s.v().pnColorTarget = 0;
    s.v().pnColorIndex = static_cast<Integer>(index);
    const Colour& c = s.p().plColor[static_cast<size_t>(index)];
    if (colourBoxInUse(s.p(), index)) {
        s.flags.pbColorWinShown = true;
        showColorWindow();
        mMarkColor(c[0], c[1], c[2]);
        mSetPaletteCover(true);
        frmColor->setSlidersEnabled(true);
        for (int i = 0; i < 3; ++i) {
            QFont f = mColorLabel[static_cast<size_t>(i)]->font();
            f.setBold(i == index);
            mColorLabel[static_cast<size_t>(i)]->setFont(f);
        }
    } else {
        mSetPaletteCover(false);
        if (frmColor != nullptr) {
            frmColor->setSlidersEnabled(false);
            frmColor->setSwatch(c[0], c[1], c[2]);
        }
        mMarkColor(c[0], c[1], c[2]);
    }
}

void FrmMain::colourChanged(int)
{
    if (mState.v().pnColorTarget == 0)
        paintColourBoxes();
    mState.flags.pbFullSize = false;
    mDrawPreview();
    if (mState.p().pnPattern == kPlainBackground && frmPicture != nullptr)
        frmPicture->drawFullSize();
}

// ---------------------------------------------------------------------------
// Commands

void FrmMain::dispatch(const QString& key)
{
    mState.flags.pbAspectHintToggle = false;
    if (key == "Undo")
        mUndo();
    else if (key == "Redo")
        mRedo();
    else if (key == "Show")
        showCommand();
    else if (key == "Rotate")
        mRotate();
    else if (key == "About") {
        closeRainbowWindow();
        mOptions.prompter->ask(
            this, " About Ombrix",
            QString("Ombrix %1\nGradient images for your desktop.").arg(OMBRIX_VERSION),
            Buttons::Ok, Icon::Information);
    } else if (key == "Help") {
        closeRainbowWindow();
        showHelp(0);
    }
}

void FrmMain::showHelp(int context)
{
    if (frmHelp == nullptr) {
        frmHelp = new FrmHelp(nullptr);
        // Centred on the main window's screen, not over the image at its
        // top-left corner; later showings keep where the user put it.
        if (QScreen* s = screen()) {
            const QRect g = s->availableGeometry();
            frmHelp->move(g.x() + (g.width() - frmHelp->width()) / 2,
                          g.y() + (g.height() - frmHelp->height()) / 2);
        }
    }
    frmHelp->showTopic(context);
    frmHelp->show();
    frmHelp->raise();
    keepOnScreen(frmHelp);
}

void FrmMain::mShowHint(int n)
{
    if (n < 0 || n >= kHintCount)
        return;
    mState.hintIndex = static_cast<Integer>(n);
    if (mState.v().pnShowTip[static_cast<size_t>(n)] <= 0)
        return;
    FrmHint hint(mState, this);
    hint.exec();
}

void FrmMain::showCommand()
{
    mShowImage();
    mState.history.mPushShot(mState.p());
    if (!mState.flags.pbBorderDlgShown && !mState.flags.pbTextDlgShown) {
        raise();
        activateWindow();
    }
}

void FrmMain::mShowImage()
{
    AppState& s = mState;
    if (!s.flags.pbTextEnabled && built("Text"))
        button("Text")->setEnabled(true);
    s.flags.pbTextEnabled = true;
    closeRainbowWindow();

    const bool firstShow = frmPicture == nullptr;
    if (firstShow) {
        frmPicture = new FrmPicture(*this);
        frmPicture->Form_Load();
    }
    frmPicture->clearPicture();
    frmPicture->clearTextLabels();

    s.flags.pbFullSize = false;
    mDrawPreview();

    s.flags.pbPictureShown = true;
    if (!isMinimized()) {
        frmPicture->show();
        if (firstShow)
            keepOnScreen(frmPicture);
    }
    QApplication::processEvents();

    s.flags.pbFullSize = true;
    frmPicture->drawFullSize();
    s.flags.pbFullSize = false;

    mSetupPattern(0);
    button("Gradtxt")->setEnabled(false); // gradient text arrives with the texts
}

void FrmMain::mRotate()
{
    ImageParams& p = mState.p();
    p.pnRotation = static_cast<Integer>(-p.pnRotation);
    mState.flags.pbFullSize = false;
    mDrawPreview();
    mSetupPattern(0);
}

void FrmMain::mUndo()
{
    walkHistory(true);
}

void FrmMain::mRedo()
{
    walkHistory(false);
}

void FrmMain::walkHistory(bool back)
{
    AppState& s = mState;
    if (!(back ? s.history.stepBack() : s.history.stepForward()))
        return;
    if (frmPicture != nullptr)
        frmPicture->picShow()->hide();
    s.history.mRestoreShot(s.p());
    s.flags.pbSizingPicture = true;
    if (frmPicture != nullptr)
        frmPicture->setOuterTwips(s.p().pnImageWidth, s.p().pnImageHeight);
    mShowImage();
    if (!s.flags.pbBorderDlgShown && !s.flags.pbTextDlgShown)
        raise();
    if (frmPicture != nullptr)
        frmPicture->picShow()->show();
    s.flags.pbSizingPicture = false;
    tmrWatch_Timer();
}

void FrmMain::popupImageMenu(const QPoint& globalPos)
{
    mnuMenu->popup(globalPos);
}

void FrmMain::mnuMenuArray_Click(int index)
{
    if (index == 2) {
        mState.flags.pbPictureShown = false;
        if (frmPicture != nullptr)
            frmPicture->hide();
    } else if (index == 3) {
        if (mnuMenuArray[3]->text() == "Show Image Size") {
            mShowImageSize();
            mnuMenuArray[3]->setText("Hide Image Size");
        } else {
            if (frmPicture != nullptr)
                frmPicture->lblSize()->setText(QString());
            mnuMenuArray[3]->setText("Show Image Size");
        }
    }
}

} // namespace ombrix
