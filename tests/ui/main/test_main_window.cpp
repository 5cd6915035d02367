// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as a user meets it: start-up, layout, pattern panels,
// sliders, colour boxes, the commands and the exit questions.
#include "ui/program.h"

#include "editing/pattern_setup.h"
#include "ui/colour/frm_color.h"
#include "ui/common/window_tools.h"
#include "ui/help/frm_hint.h"
#include "ui/main/main_widgets.h"
#include "ui/picture/frm_picture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCursor>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

namespace ombrix::test
{

namespace
{

// Every visible control lies inside its parent, and shows its caption whole.
void expectLaidOut(QWidget* root)
{
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(root) || w->isWindow())
            continue;
        const std::string name =
            (w->objectName().isEmpty() ? QString(w->metaObject()->className()) : w->objectName())
                .toStdString();
        EXPECT_TRUE(w->parentWidget()->rect().contains(w->geometry())) << name << " sticks out";
        if (auto* l = qobject_cast<QLabel*>(w)) {
            if (l->wordWrap()) {
                EXPECT_GE(l->height(), l->heightForWidth(l->width())) << name << " is cut";
            } else if (!l->text().isEmpty()) {
                EXPECT_GE(l->width(), l->sizeHint().width()) << name << " is cut";
            }
        } else if (qobject_cast<QAbstractButton*>(w) != nullptr ||
                   qobject_cast<QGroupBox*>(w) != nullptr) {
            EXPECT_GE(w->width(), w->minimumSizeHint().width()) << name << " is cut";
        }
    }
}

// Where the slider draws its handle for a value.
QRect handleAt(const QSlider* s, int value)
{
    struct Probe : QSlider {
        static void options(const QSlider* s, QStyleOptionSlider* o)
        {
            (s->*(&Probe::initStyleOption))(o);
        }
    };
    QStyleOptionSlider opt;
    Probe::options(s, &opt);
    opt.sliderPosition = opt.sliderValue = value;
    return s->style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, s);
}

} // namespace

using MainWindow = ProgramTest;

TEST_F(MainWindow, StartsWithPresetThreeTheImageWindowAndThePicker)
{
    EXPECT_FALSE(m.button(ToolButton::Undo)->isEnabled() ||
                 m.button(ToolButton::Redo)->isEnabled());
    FrmPicture* pic = m.pictureWindow();
    ASSERT_TRUE(pic != nullptr && pic->isVisible());
    EXPECT_EQ(pic->size(), QSize(260, 200));
    for (QLabel* size : {pg.find<QLabel>("statusPanel2"), control<QLabel>(pic, "lblSize")})
        EXPECT_EQ(size->text(), QString(" 260W \u00d7 200H "));
    EXPECT_TRUE(m.colourWindow() != nullptr && m.colourWindow()->isVisible());
    EXPECT_TRUE(pg.find<QRadioButton>("optPattern1")->isChecked()); // Shaded Ellipse
    EXPECT_TRUE(pg.find<QLabel>("lblColor0")->font().bold());
    const QImage preview = m.previewPicture();
    EXPECT_NE(preview.pixel(75, 55), preview.pixel(1, 1)) << "a shaded ellipse, not a blank";
}

TEST_F(MainWindow, EveryControlHasRoomForItsCaption)
{
    // The widest repetition caption and a bold label in each box.
    pg.find<QSlider>("sliHorRep")->setValue(10);
    pg.find<QSlider>("sliVerRep")->setValue(1);
    for (int box : {0, 1, 2}) {
        m.picColor_Click(box);
        expectLaidOut(m.centralWidget());
        EXPECT_LT(pg.find<QLabel>(QString("lblColor%1").arg(box))->geometry().bottom(),
                  pg.find<QCheckBox>("chkRainbow")->geometry().top());
    }
    expectLaidOut(m.statusBar());
    expectLaidOut(m.colourWindow());
    // Six repetitions need a slider a hand can set.
    EXPECT_GE(pg.find<QSlider>("sliVerRep")->height(), 60);

    // Opened, the front panel is a strip with its handle only, and no
    // option of the back panel runs under it.
    PatternPanels* panels = m.patternPanels();
    panels->imgOpen_Click();
    ASSERT_TRUE(panels->frontPanelOpen());
    const QWidget* fore = pg.find("picPatternFore");
    for (int i = 0; i < kPatterns; ++i)
        EXPECT_TRUE(i < 6 ? !panels->optPattern(i)->isVisible()
                          : panels->optPattern(i)->geometry().right() < fore->x())
            << i;
    expectLaidOut(m.centralWidget());
}

TEST_F(MainWindow, PatternPanelsSlideAndKeepOneChoice)
{
    PatternPanels* panels = m.patternPanels();
    const auto checked = [&] {
        std::vector<int> on;
        for (int i = 0; i < kPatterns; ++i)
            if (panels->optPattern(i)->isChecked())
                on.push_back(i);
        return on;
    };
    panels->imgOpen_Click();
    QTest::mouseClick(panels->optPattern(kSandglass), Qt::LeftButton);
    EXPECT_EQ(checked(), std::vector<int>{kSandglass});
    EXPECT_EQ(p.pnPattern, kSandglass);
    panels->imgShut_Click();
    EXPECT_FALSE(panels->frontPanelOpen());
    QTest::mouseClick(panels->optPattern(kLinearGradient), Qt::LeftButton);
    EXPECT_EQ(checked(), std::vector<int>{kLinearGradient});

    // Pressed on the panel and moved 60 pixels right: the timer follows.
    QWidget* fore = pg.find("picPatternFore");
    QWidget* back = pg.find("picPatternBack");
    const int closedLeft = back->x() + 1;
    ASSERT_EQ(fore->x(), closedLeft);
    const QPoint press(40, 3); // above the first option
    const QPoint global = fore->mapToGlobal(press);
    QTest::mousePress(fore, Qt::LeftButton, {}, press);
    QCursor::setPos(global + QPoint(-60, 0));
    QCursor::setPos(global + QPoint(60, 0));
    mouse(fore, QEvent::MouseMove, press + QPoint(60, 0), Qt::NoButton, Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return fore->x() == closedLeft + 60; }, 2000));
    // Back to within 5 pixels of the closed place: it snaps shut.
    QCursor::setPos(global + QPoint(3, 0));
    mouse(fore, QEvent::MouseMove, fore->mapFromGlobal(global + QPoint(3, 0)), Qt::NoButton,
          Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return fore->x() == closedLeft; }, 2000));
    QTest::mouseRelease(fore, Qt::LeftButton);
    EXPECT_FALSE(panels->frontPanelOpen());
}

// Every pattern, with and without the rainbow and turned, reaches the
// controls as its setup says.
TEST_F(MainWindow, EachPatternSetsUpItsControls)
{
    auto* rainbowBox = pg.find<QCheckBox>("chkRainbow");
    auto* horizontal = pg.find<QSlider>("sliHorizontal");
    auto* vertical = pg.find<QSlider>("sliVertical");
    auto* hump = pg.find<QSlider>("sliHump");
    for (int turn = 0; turn < 4 * kPatterns; ++turn) {
        const int pat = turn % kPatterns, rainbow = turn / kPatterns % 2;
        p.pnRotation = static_cast<Integer>(turn < 2 * kPatterns ? 1 : -1);
        p.pnSlantRate = 3;
        p.pnVerOrgOffset = -2;
        p.pnHump = 7;
        if (rainbowBox->isChecked() != (rainbow == 1))
            QTest::mouseClick(rainbowBox, Qt::LeftButton);
        m.patternPanels()->optPattern(pat)->click();
        ImageParams copy = p;
        const PatternControls c = mSetupPatternState(copy);
        SCOPED_TRACE(testing::Message() << "pattern " << pat << " rainbow " << rainbow
                                        << " rotation " << p.pnRotation);
        EXPECT_EQ(m.button(ToolButton::Rotate)->isEnabled(), c.rotateEnabled);
        EXPECT_EQ(m.button(ToolButton::Rotate)->isChecked(), c.rotateEnabled && c.rotatePressed);
        EXPECT_EQ(horizontal->isEnabled(), c.horizontalEnabled);
        EXPECT_EQ(vertical->isEnabled(), c.verticalEnabled);
        EXPECT_EQ(horizontal->value(), c.horizontalValue);
        EXPECT_EQ(vertical->value(), c.verticalValue);
        EXPECT_EQ(hump->isEnabled(), c.humpEnabled);
        EXPECT_EQ(hump->value(), p.pnHump);
        for (int i = 0; i < kColours; ++i)
            EXPECT_EQ(pg.find<QLabel>(QString("lblColor%1").arg(i))->font().bold(),
                      i == c.boldLabel);
        EXPECT_EQ(m.colourWindow() != nullptr && m.colourWindow()->isVisible(), c.pickerShown);
    }
}

TEST_F(MainWindow, SlidersWriteTheRecordTheWayTheyLook)
{
    const QImage before = m.previewPicture();
    const int draws = m.previewDraws();
    pg.find<QSlider>("sliHump")->setValue(3);
    EXPECT_EQ(p.pnHump, 3);
    EXPECT_EQ(m.previewDraws(), draws + 1);
    EXPECT_NE(m.previewPicture(), before);

    // Repetitions: the top of the vertical slider is six; the preview keeps
    // showing one tile.
    auto* verRep = pg.find<QSlider>("sliVerRep");
    for (const auto& [value, reps] : {std::pair{1, 6}, {6, 1}, {2, 5}}) {
        verRep->setValue(value);
        EXPECT_EQ(p.pnVerRep, reps) << value;
    }
    pg.find<QSlider>("sliHorRep")->setValue(2);
    EXPECT_EQ(p.pnHorRep, 2);
    EXPECT_EQ(pg.find<QLabel>("lblRepeat")->text(), QString(" 2 \u00d7 5"));
    EXPECT_EQ(m.previewDraws(), draws + 1);

    // Both vertical sliders have their minimum at the top, and the Up key
    // moves the handle up.
    auto* vertical = pg.find<QSlider>("sliVertical");
    for (QSlider* s : {verRep, vertical}) {
        SCOPED_TRACE(s->objectName().toStdString());
        EXPECT_LT(handleAt(s, s->minimum()).top(), handleAt(s, s->maximum()).top());
        const int middle = (s->minimum() + s->maximum() + 1) / 2;
        s->setValue(middle);
        QTest::keyClick(s, Qt::Key_Up);
        EXPECT_EQ(s->value(), middle - 1);
    }

    // A turned linear gradient slants along the vertical slider.
    m.patternPanels()->optPattern(kLinearGradient)->click();
    m.Toolbar1_ButtonClick(ToolButton::Rotate);
    EXPECT_EQ(p.pnRotation, -1);
    EXPECT_TRUE(vertical->isEnabled());
    EXPECT_FALSE(pg.find<QSlider>("sliHorizontal")->isEnabled());
    vertical->setValue(6);
    EXPECT_EQ(p.pnSlantRate, -6);
    m.Toolbar1_ButtonClick(ToolButton::Rotate);
    EXPECT_EQ(pg.find<QSlider>("sliHorizontal")->value(), -6);
}

TEST_F(MainWindow, ColourBoxesInAndOutOfUse)
{
    p.plColor[1] = {255, 0, 0};
    m.picColor_Click(1);
    FrmColor* c = m.colourWindow();
    ASSERT_TRUE(c != nullptr && c->isVisible());
    EXPECT_TRUE(pg.find<QLabel>("lblColor1")->font().bold() &&
                !pg.find<QLabel>("lblColor0")->font().bold());
    EXPECT_FALSE(c->paletteCovered());
    EXPECT_TRUE(c->sliColor(0)->isEnabled());
    EXPECT_EQ(c->sliColor(0)->value(), 255);
    EXPECT_EQ(std::pair(c->markedColumn(), c->markedRow()), std::pair(Integer{1}, Integer{1}));

    // With the rainbow ticked only the brim box of this pattern is used:
    // another box shows its colour, swatch and sliders alike, but cannot be
    // edited.
    QTest::mouseClick(pg.find<QCheckBox>("chkRainbow"), Qt::LeftButton);
    p.plColor[0] = {1, 2, 3};
    m.picColor_Click(0);
    c = m.colourWindow();
    EXPECT_TRUE(c->paletteCovered());
    EXPECT_FALSE(c->sliColor(0)->isEnabled());
    EXPECT_EQ(c->swatchColour(), QColor(1, 2, 3));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(c->sliColor(i)->value(), i + 1);
        EXPECT_EQ(c->lblColor(i)->text(), QString::number(i + 1));
    }
    EXPECT_EQ(c->markedColumn(), 999);
    c->picPalette_Click(20, 20); // covered: ignored
    EXPECT_EQ(p.plColor[0], (Colour{1, 2, 3}));
}

TEST_F(MainWindow, ShowMakesRoomForTheRepetitionsAndLeavesTheBarAtZero)
{
    FrmPicture* pic = m.pictureWindow();
    pic->setClientSize(100, 100);
    pg.find<QSlider>("sliHorRep")->setValue(10);
    pg.find<QSlider>("sliVerRep")->setValue(1);
    const int shots = pg.state.history.shots();
    m.Toolbar1_ButtonClick(ToolButton::Show);
    settle();
    EXPECT_GE(pic->width(), 120);
    EXPECT_GE(pic->height(), 72);
    EXPECT_EQ(pg.state.pnPixelWidth, pic->width());
    EXPECT_EQ(pg.state.history.shots(), shots + 1) << "one step for one Show";

    // A drawing whose last band lies below 90 % (a clearcut diamond ends at
    // about 85 % here) still leaves the bar empty.
    m.patternPanels()->optPattern(kClearcutDiamond)->click();
    pg.find<QSlider>("sliHorRep")->setValue(3);
    pg.find<QSlider>("sliVerRep")->setValue(4);
    pg.state.v().pnShowTip[0] = 0;
    pic->setClientSize(600, 100);
    std::vector<int> values;
    QObject::connect(pg.find<QProgressBar>("ProgressBar1"), &QProgressBar::valueChanged,
                     [&](int v) { values.push_back(v); });
    m.Toolbar1_ButtonClick(ToolButton::Show);
    ASSERT_GE(values.size(), 2u);
    EXPECT_GT(*std::max_element(values.begin(), values.end()), 50);
    EXPECT_EQ(values.back(), 0);
}

TEST_F(MainWindow, UndoAndRedoWalkTwentyShots)
{
    auto* hump = pg.find<QSlider>("sliHump");
    for (int i = 0; i < 25; ++i) {
        hump->setValue(i % 21);
        p.pnSlantRate = static_cast<Integer>(i % 10);
        m.Toolbar1_ButtonClick(ToolButton::Show);
    }
    settle();
    m.tmrWatch_Timer();
    EXPECT_EQ(pg.state.history.shots(), 20);
    EXPECT_TRUE(m.button(ToolButton::Undo)->isEnabled());
    EXPECT_FALSE(m.button(ToolButton::Redo)->isEnabled());

    for (int i = 0; i < 20; ++i)
        m.button(ToolButton::Undo)->trigger();
    m.tmrWatch_Timer();
    // The oldest shot kept is the fifth Show (the first four fell out).
    EXPECT_EQ(p.pnSlantRate, 4);
    EXPECT_EQ(hump->value(), 4);
    EXPECT_FALSE(m.button(ToolButton::Undo)->isEnabled());
    EXPECT_TRUE(m.button(ToolButton::Redo)->isEnabled());

    m.commands().mRedo();
    EXPECT_EQ(p.pnSlantRate, 5);
    EXPECT_EQ(hump->value(), 5);
}

TEST_F(MainWindow, MinimisingHidesTheOtherWindowsAndRestoringBringsThemBack)
{
    m.showMinimized();
    settle();
    EXPECT_TRUE(m.colourWindow() == nullptr || !m.colourWindow()->isVisible());
    EXPECT_FALSE(m.pictureWindow()->isVisible());
    m.showNormal();
    settle();
    EXPECT_TRUE(m.pictureWindow()->isVisible());
    ASSERT_TRUE(m.colourWindow() != nullptr && m.colourWindow()->isVisible());

    // A window the user closed stays closed.
    m.colourWindow()->imgHide_Click();
    m.mnuMenuArray_Click(MenuItem::HideScreen);
    m.showMinimized();
    m.showNormal();
    settle();
    EXPECT_FALSE(m.pictureWindow()->isVisible());
    EXPECT_TRUE(m.colourWindow() == nullptr || !m.colourWindow()->isVisible());
}

TEST_F(MainWindow, ExitQuestionsAndTheParameterSave)
{
    QSignalSpy closed(&m, &FrmMain::closed);
    EXPECT_FALSE(pg.close(Answer::Cancel));
    ASSERT_EQ(pg.prompter.asked.size(), 1u);
    const Question q = pg.prompter.asked[0];
    EXPECT_EQ(q.title + "|" + q.text, " Exit|Do you want to save the image before exiting Ombrix?");
    EXPECT_TRUE(q.buttons == Buttons::YesNoCancel && q.icon == Icon::Exclamation);

    // Yes, but the folder cannot be written: the program stays, with a
    // message, and nothing claims the image was saved.
    pg.prompter.fileName = pg.dir.path() + "/no such folder/a";
    pg.prompter.answers = {Answer::Yes, Answer::Ok};
    EXPECT_FALSE(m.close());
    EXPECT_EQ(pg.prompter.lastDialogTitle, " Save Parameter Settings As");
    ASSERT_EQ(pg.prompter.asked.size(), 3u);
    EXPECT_EQ(pg.prompter.asked[2].icon, Icon::Critical);
    EXPECT_FALSE(pg.state.flags.pbParamSaved);
    EXPECT_EQ(m.windowTitle(), " Ombrix - Untitled");

    // A good name: saved (what the file holds is the file tests' part), and
    // the caption follows the file.
    FrmPicture* pic = m.pictureWindow();
    pg.prompter.fileName = pg.dir.path() + "/sky";
    EXPECT_TRUE(m.commands().mSaveParam());
    EXPECT_EQ(m.windowTitle(), " Ombrix - sky.obp");
    EXPECT_EQ(QFileInfo(pg.dir.path() + "/sky.obp").size(), 1794);

    // After a save the question only asks to confirm.
    EXPECT_FALSE(pg.close(Answer::No));
    EXPECT_EQ(pg.prompter.asked.back().text, "Do you really want to exit Ombrix?");
    EXPECT_EQ(pg.prompter.asked.back().buttons, Buttons::YesNo);
    EXPECT_TRUE(pg.close(Answer::Yes));
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(pic->isVisible());
}

TEST_F(MainWindow, HintSwitchesAndTheQualitySurviveARestart)
{
    pg.state.settings.plQualityValue = 35;
    pg.state.hintIndex = 0;
    {
        FrmHint hint(pg.state, &m);
        QTest::mouseClick(hint.chkShow(), Qt::LeftButton);
        EXPECT_EQ(pg.state.v().pnShowTip[0], 0);
    }
    EXPECT_TRUE(pg.close(Answer::No));
    Program second(pg.dir.path()); // the same settings file
    EXPECT_EQ(second.state.v().pnShowTip[0], 0);
    EXPECT_EQ(second.state.v().pnShowTip[1], 1);
    EXPECT_EQ(second.state.settings.plQualityValue, 35);
    // Switched off: the hint returns at once instead of waiting for a click.
    second.main->mShowHint(0);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(MainWindow, AboutAndHelpBelongToTheMainWindow)
{
    m.button(ToolButton::About)->trigger();
    ASSERT_EQ(pg.prompter.asked.size(), 1u);
    EXPECT_EQ(pg.prompter.asked[0].title, " About Ombrix");
    EXPECT_TRUE(pg.prompter.asked[0].text.contains(OMBRIX_VERSION));
    // Help's owner is WindowFaults.HelpIsUsableFromAModalDialog's part.

    // Beside its owner where the screen has room: left first, then right,
    // else the roomier side.
    QWidget anchor, beside;
    const QRect area = anchor.screen()->availableGeometry();
    anchor.setGeometry(area.left(), area.top(), 200, 100);
    beside.resize(150, 80);
    placeBeside(&beside, &anchor);
    EXPECT_EQ(beside.frameGeometry().left(), anchor.frameGeometry().right() + 1);
    anchor.move(area.right() - anchor.frameGeometry().width() + 1, area.top());
    placeBeside(&beside, &anchor);
    EXPECT_EQ(beside.frameGeometry().right(), anchor.frameGeometry().left() - 1);
    anchor.setGeometry(area.left() + 100, area.top(), area.width() - 150, 100);
    placeBeside(&beside, &anchor);
    EXPECT_EQ(beside.frameGeometry().left(), area.left());
}

// The main window steps aside from the image window's first place on a
// small or scaled screen: right of it with the picker's room kept, else
// below it, else (no room anywhere) where it is.
TEST(WindowPlaces, AWindowClearOfAnother)
{
    const QRect area(0, 0, 1093, 614), image(30, 0, 262, 225);
    const struct {
        const char* name;
        QRect frame;
        int besideWidth;
        std::optional<QPoint> want;
    } cases[] = {
        {"already clear", {300, 100, 622, 368}, 110, std::nullopt},
        {"centred in the room right of it", {235, 123, 622, 368}, 110, QPoint(326, 123)},
        {"right of it when the picker needs no room", {235, 123, 622, 368}, 0, QPoint(381, 123)},
        {"below it when the right is too narrow", {100, 50, 900, 300}, 110, QPoint(100, 233)},
        {"nowhere", {100, 50, 900, 400}, 110, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(placeClearOf(c.frame, c.besideWidth, image, area), c.want) << c.name;
}

} // namespace ombrix::test
