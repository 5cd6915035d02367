#include "gui/program.h"

#include "colour/frm_color.h"
#include "help/frm_hint.h"
#include "main/pattern_setup.h"
#include "picture/frm_picture.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCursor>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

namespace ombrix::test
{

namespace
{

QImage previewImage(const Program& pg)
{
    return pg.main->previewSurface().image().copy();
}

} // namespace

TEST(MainWindow, StartsWithPresetThreeTheImageWindowAndThePicker)
{
    Program pg;
    FrmMain& m = *pg.main;
    EXPECT_EQ(m.windowTitle(), " Ombrix - Untitled");
    EXPECT_EQ(m.statusPanel(1)->text(), " Image size ");
    EXPECT_EQ(m.statusPanel(2)->text(), QString(" 260W \u00d7 200H "));
    EXPECT_EQ(m.statusPanel(4)->text(), " Progress ");
    EXPECT_FALSE(m.button("Undo")->isEnabled());
    EXPECT_FALSE(m.button("Redo")->isEnabled());

    ASSERT_NE(m.picture(), nullptr);
    EXPECT_TRUE(m.picture()->isVisible());
    EXPECT_EQ(m.picture()->size(), QSize(260, 200));
    EXPECT_EQ(m.picture()->lblSize()->text(), QString(" 260W \u00d7 200H "));
    ASSERT_NE(m.colorWindow(), nullptr);
    EXPECT_TRUE(m.colorWindow()->isVisible());

    EXPECT_EQ(pg.state.p().pnPattern, kShadedEllipse);
    EXPECT_TRUE(m.optPattern(kShadedEllipse)->isChecked());
    EXPECT_TRUE(m.colourLabel(0)->font().bold());
    EXPECT_EQ(m.lblRepeat()->text(), QString(" 3 \u00d7 3"));
    EXPECT_EQ(pg.state.history.pnShots, 0);
    EXPECT_EQ(pg.state.history.pnShotPointer, 0);
    // The ellipse is shaded: centre and corner differ in the preview.
    const QImage img = previewImage(pg);
    EXPECT_NE(img.pixel(75, 55), img.pixel(1, 1));
}

TEST(MainWindow, ToolbarHasEveryButtonInOrderAndOnlyWorkingOnesEnabled)
{
    Program pg;
    const std::vector<std::pair<QString, QString>> expected = {
        {"New", "New Image"},
        {"Open", "Open Parameter Settings File"},
        {"Save", "Save"},
        {"Copy", "Copy Image"},
        {"Undo", "Undo"},
        {"Redo", "Redo"},
        {"Show", "Show Image on Main Screen"},
        {"Resize", "Resize"},
        {"Rotate", "Rotate Image by 90 Degrees"},
        {"Borders", "Add Borders"},
        {"Text", "Text"},
        {"Gradtxt", "Fill Text with Gradient Pattern"},
        {"Wallpaper", "Set Wallpaper"},
        {"About", "About Ombrix"},
        {"Help", "Help"}};
    auto* bar = pg.main->findChild<QToolBar*>();
    ASSERT_NE(bar, nullptr);
    std::vector<QAction*> buttons;
    for (QAction* a : bar->actions())
        if (!a->isSeparator())
            buttons.push_back(a);
    ASSERT_EQ(buttons.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(buttons[i]->objectName(), expected[i].first);
        EXPECT_EQ(buttons[i]->toolTip(), expected[i].second);
        EXPECT_FALSE(buttons[i]->icon().isNull());
    }
    for (const char* later :
         {"New", "Open", "Save", "Copy", "Resize", "Borders", "Text", "Gradtxt", "Wallpaper"})
        EXPECT_FALSE(pg.main->button(later)->isEnabled()) << later;
    // The watch keeps them so.
    QTest::qWait(250);
    EXPECT_FALSE(pg.main->button("Borders")->isEnabled());
    for (const char* now : {"Show", "Rotate", "About", "Help"})
        EXPECT_TRUE(pg.main->button(now)->isEnabled()) << now;
}

TEST(MainWindow, PatternChoiceIsExclusiveAcrossBothPanels)
{
    Program pg;
    FrmMain& m = *pg.main;
    const auto checked = [&] {
        std::vector<int> on;
        for (int i = 0; i < kPatterns; ++i)
            if (m.optPattern(i)->isChecked())
                on.push_back(i);
        return on;
    };
    m.imgOpen_Click();
    EXPECT_TRUE(m.frontPanelOpen());
    QTest::mouseClick(m.optPattern(kSandglass), Qt::LeftButton);
    EXPECT_EQ(checked(), std::vector<int>{kSandglass});
    EXPECT_EQ(pg.state.p().pnPattern, kSandglass);
    m.imgShut_Click();
    EXPECT_FALSE(m.frontPanelOpen());
    QTest::mouseClick(m.optPattern(kLinearGradient), Qt::LeftButton);
    EXPECT_EQ(checked(), std::vector<int>{kLinearGradient});
    QTest::mouseClick(m.optPattern(11), Qt::LeftButton);
    EXPECT_EQ(checked(), std::vector<int>{11});
}

TEST(MainWindow, FrontPanelSlidesWithTheMouseAndSnapsShut)
{
    Program pg;
    FrmMain& m = *pg.main;
    QWidget* fore = m.optPattern(0)->parentWidget();
    QWidget* back = m.optPattern(6)->parentWidget();
    const int closedLeft = back->x() + 1;
    ASSERT_EQ(fore->x(), closedLeft);

    // Pressed on the panel and moved 60 pixels right: the timer follows.
    const QPoint press(40, 100);
    const QPoint global = fore->mapToGlobal(press);
    QTest::mousePress(fore, Qt::LeftButton, {}, press);
    QCursor::setPos(global + QPoint(60, 0));
    QTest::mouseMove(fore, press + QPoint(60, 0));
    EXPECT_TRUE(QTest::qWaitFor([&] { return fore->x() == closedLeft + 60; }, 2000));
    EXPECT_TRUE(m.frontPanelOpen());

    // Back to within 5 pixels of the closed place: it snaps shut.
    QCursor::setPos(global + QPoint(3, 0));
    QTest::mouseMove(fore, fore->mapFromGlobal(global + QPoint(3, 0)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return fore->x() == closedLeft; }, 2000));
    QTest::mouseRelease(fore, Qt::LeftButton);
    EXPECT_FALSE(m.frontPanelOpen());
}

// Every pattern, with and without the rainbow and turned, reaches the
// controls as its setup says.
TEST(MainWindow, EachPatternSetsUpItsControls)
{
    Program pg;
    FrmMain& m = *pg.main;
    for (int rainbow : {0, 1})
        for (int rotation : {1, -1})
            for (int pat = 0; pat < kPatterns; ++pat) {
                SCOPED_TRACE(testing::Message() << "pattern " << pat << " rainbow " << rainbow
                                                << " rotation " << rotation);
                ImageParams& p = pg.state.p();
                p.pnRotation = static_cast<Integer>(rotation);
                p.pnSlantRate = 3;
                p.pnVerOrgOffset = -2;
                p.pnHump = 7;
                if (m.rainbowBox()->isChecked() != (rainbow == 1))
                    QTest::mouseClick(m.rainbowBox(), Qt::LeftButton);
                m.optPattern(pat)->click();
                ImageParams copy = p;
                const PatternControls c = mSetupPatternState(copy);
                EXPECT_EQ(p.pnPattern, pat);
                EXPECT_EQ(m.button("Rotate")->isEnabled(), c.rotateEnabled);
                EXPECT_EQ(m.button("Rotate")->isChecked(), c.rotateEnabled && rotation == -1);
                EXPECT_EQ(m.slider("sliHorizontal")->isEnabled(), c.horizontalEnabled);
                EXPECT_EQ(m.slider("sliVertical")->isEnabled(), c.verticalEnabled);
                EXPECT_EQ(m.slider("sliHorizontal")->value(), c.horizontalValue);
                EXPECT_EQ(m.slider("sliVertical")->value(), c.verticalValue);
                EXPECT_EQ(m.slider("sliHump")->isEnabled(), c.humpEnabled);
                EXPECT_EQ(m.slider("sliHump")->value(), p.pnHump);
                EXPECT_EQ(m.slider("sliHorizontal")->toolTip(),
                          pat == kLinearGradient ? kTipHorizontalSlant : kTipHorizontalOrigin);
                for (int i = 0; i < 3; ++i)
                    EXPECT_EQ(m.colourLabel(i)->font().bold(), i == c.boldLabel) << i;
                EXPECT_EQ(m.colorWindow() != nullptr && m.colorWindow()->isVisible(),
                          c.pickerShown);
            }
    // A few rows spelled out, so that a wrong table cannot agree with itself.
    m.optPattern(kPlainBackground)->click();
    EXPECT_EQ(pg.state.p().pnHump, 20);
    EXPECT_FALSE(m.slider("sliHump")->isEnabled());
    EXPECT_TRUE(m.colourLabel(2)->font().bold());
    QTest::mouseClick(m.rainbowBox(), Qt::LeftButton); // rainbow off
    m.optPattern(kShadedEllipse)->click();
    EXPECT_TRUE(m.slider("sliHump")->isEnabled());
    EXPECT_TRUE(m.colourLabel(0)->font().bold());
    EXPECT_EQ(m.slider("sliVertical")->toolTip(), kTipVerticalOrigin);
}

TEST(MainWindow, SlidersWriteTheRecordAndRedrawThePreview)
{
    Program pg;
    FrmMain& m = *pg.main;
    ImageParams& p = pg.state.p();
    const QImage before = previewImage(pg);
    const int draws = m.previewDraws();
    const int hump = (p.pnHump + 7) % 21;
    m.slider("sliHump")->setValue(hump);
    EXPECT_EQ(p.pnHump, hump);
    EXPECT_EQ(m.previewDraws(), draws + 1);
    EXPECT_NE(previewImage(pg), before);

    // Repetitions: the vertical slider is upside down; the preview keeps
    // showing one tile.
    m.slider("sliVerRep")->setValue(4);
    m.slider("sliHorRep")->setValue(2);
    EXPECT_EQ(p.pnVerRep, 3);
    EXPECT_EQ(p.pnHorRep, 2);
    EXPECT_EQ(m.lblRepeat()->text(), QString(" 2 \u00d7 3"));
    EXPECT_EQ(m.previewDraws(), draws + 1);

    // A turned linear gradient slants along the vertical slider.
    m.optPattern(kLinearGradient)->click();
    const Integer slant = p.pnSlantRate;
    m.slider("sliVertical")->setValue(4);
    EXPECT_EQ(p.pnVerOrgOffset, 4);
    EXPECT_EQ(p.pnSlantRate, slant);
    m.mRotate();
    EXPECT_EQ(p.pnRotation, -1);
    EXPECT_TRUE(m.slider("sliVertical")->isEnabled());
    EXPECT_FALSE(m.slider("sliHorizontal")->isEnabled());
    m.slider("sliVertical")->setValue(6);
    EXPECT_EQ(p.pnSlantRate, -6);
    m.mRotate();
    EXPECT_EQ(p.pnRotation, 1);
    EXPECT_EQ(m.slider("sliHorizontal")->value(), -6);
}

TEST(MainWindow, ColourBoxesInAndOutOfUse)
{
    Program pg;
    FrmMain& m = *pg.main;
    ImageParams& p = pg.state.p();
    p.plColor[1] = {255, 0, 0};
    m.picColor_Click(1);
    FrmColor* c = m.colorWindow();
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(c->isVisible());
    EXPECT_TRUE(m.colourLabel(1)->font().bold());
    EXPECT_FALSE(m.colourLabel(0)->font().bold());
    EXPECT_FALSE(c->paletteCovered());
    EXPECT_TRUE(c->sliColor(0)->isEnabled());
    EXPECT_EQ(c->markedColumn(), 1);
    EXPECT_EQ(c->markedRow(), 1);

    // With the rainbow ticked only the brim box of this pattern is used:
    // another box shows its colour but cannot be edited.
    QTest::mouseClick(m.rainbowBox(), Qt::LeftButton);
    p.plColor[0] = {1, 2, 3};
    m.picColor_Click(0);
    c = m.colorWindow();
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(c->paletteCovered());
    EXPECT_FALSE(c->sliColor(0)->isEnabled());
    EXPECT_EQ(c->swatch(), QColor(1, 2, 3));
    EXPECT_EQ(c->markedColumn(), 999);
    c->picPalette_Click(20, 20); // covered: ignored
    EXPECT_EQ(p.plColor[0], (Colour{1, 2, 3}));
}

TEST(MainWindow, UndoAndRedoWalkTwentyShots)
{
    Program pg;
    FrmMain& m = *pg.main;
    ImageParams& p = pg.state.p();
    for (int i = 0; i < 25; ++i) {
        m.slider("sliHump")->setValue(i % 21);
        p.pnSlantRate = static_cast<Integer>(i % 10);
        m.showCommand();
    }
    settle();
    m.tmrWatch_Timer();
    EXPECT_EQ(pg.state.history.pnShots, 20);
    EXPECT_TRUE(m.button("Undo")->isEnabled());
    EXPECT_FALSE(m.button("Redo")->isEnabled());

    for (int i = 0; i < 20; ++i)
        m.button("Undo")->trigger();
    // The oldest shot kept is the fifth Show (the first four fell out).
    EXPECT_EQ(p.pnSlantRate, 4);
    EXPECT_EQ(m.slider("sliHump")->value(), 4);
    EXPECT_FALSE(m.button("Undo")->isEnabled());
    EXPECT_TRUE(m.button("Redo")->isEnabled());
    m.mUndo(); // nothing further back
    EXPECT_EQ(p.pnSlantRate, 4);

    for (int i = 0; i < 20; ++i)
        m.mRedo();
    EXPECT_EQ(p.pnSlantRate, 4); // the 25th Show: 24 % 10
    EXPECT_EQ(p.pnHump, 3);      // 24 % 21
    EXPECT_FALSE(m.button("Redo")->isEnabled());

    // A new shot after two undos drops the two redo steps.
    m.mUndo();
    m.mUndo();
    EXPECT_EQ(p.pnHump, 1);
    m.slider("sliHump")->setValue(9);
    m.showCommand();
    m.tmrWatch_Timer();
    EXPECT_FALSE(m.button("Redo")->isEnabled());
    m.mUndo();
    EXPECT_EQ(p.pnHump, 1);
    m.mRedo();
    EXPECT_EQ(p.pnHump, 9);
}

TEST(MainWindow, WatchFollowsTheHistoryOnItsOwn)
{
    Program pg;
    FrmMain& m = *pg.main;
    m.slider("sliHump")->setValue(3);
    m.showCommand();
    EXPECT_FALSE(m.button("Undo")->isEnabled()); // not yet: the watch has not run
    EXPECT_TRUE(QTest::qWaitFor([&] { return m.button("Undo")->isEnabled(); }, 2000));
    pg.state.history.stepBack();
    EXPECT_TRUE(QTest::qWaitFor([&] { return m.button("Redo")->isEnabled(); }, 2000));
}

TEST(MainWindow, MinimisingHidesTheOtherWindowsAndRestoringBringsThemBack)
{
    Program pg;
    FrmMain& m = *pg.main;
    m.showMinimized();
    settle();
    EXPECT_TRUE(m.colorWindow() == nullptr || !m.colorWindow()->isVisible());
    EXPECT_FALSE(m.picture()->isVisible());
    EXPECT_TRUE(pg.state.flags.pbColorWinShown);
    m.showNormal();
    settle();
    EXPECT_TRUE(m.picture()->isVisible());
    ASSERT_NE(m.colorWindow(), nullptr);
    EXPECT_TRUE(m.colorWindow()->isVisible());

    // A window the user closed stays closed.
    m.colorWindow()->imgHide_Click();
    m.mnuMenuArray_Click(2); // "Hide Screen"
    m.showMinimized();
    m.showNormal();
    settle();
    EXPECT_FALSE(m.picture()->isVisible());
    EXPECT_TRUE(m.colorWindow() == nullptr || !m.colorWindow()->isVisible());
}

TEST(MainWindow, ExitQuestions)
{
    Program pg;
    QSignalSpy closed(pg.main.get(), &FrmMain::closed);
    EXPECT_FALSE(pg.close(Answer::Cancel));
    ASSERT_EQ(pg.prompter.asked.size(), 1u);
    const Question q = pg.prompter.asked[0];
    EXPECT_EQ(q.title, " Exit");
    EXPECT_EQ(q.text, "Do you want to save the image before exiting Ombrix?");
    EXPECT_EQ(q.buttons, Buttons::YesNoCancel);
    EXPECT_EQ(q.icon, Icon::Exclamation);
    EXPECT_EQ(closed.count(), 0);

    // Yes, but the folder cannot be written: the program stays, with a
    // message, and nothing claims the image was saved.
    pg.prompter.fileName = pg.folder() + "/no such folder/a";
    pg.prompter.answers = {Answer::Yes, Answer::Ok};
    EXPECT_FALSE(pg.main->close());
    ASSERT_EQ(pg.prompter.asked.size(), 3u);
    EXPECT_EQ(pg.prompter.asked[2].icon, Icon::Critical);
    EXPECT_FALSE(pg.state.flags.pbParamSaved);
    EXPECT_EQ(closed.count(), 0);

    // Yes with a good name saves the parameters (the extension added) and
    // ends the program.
    pg.prompter.fileName = pg.folder() + "/sky";
    EXPECT_TRUE(pg.close(Answer::Yes));
    EXPECT_TRUE(QFileInfo(pg.folder() + "/sky.obp").size() > 0);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(pg.main->picture()->isVisible());
    EXPECT_FALSE(pg.main->colorWindow() != nullptr && pg.main->colorWindow()->isVisible());
}

TEST(MainWindow, AfterASaveTheExitQuestionOnlyAsksToConfirm)
{
    Program pg;
    pg.state.flags.pbParamSaved = true;
    EXPECT_FALSE(pg.close(Answer::No));
    EXPECT_TRUE(pg.main->isVisible());
    EXPECT_TRUE(pg.close(Answer::Yes));
    ASSERT_EQ(pg.prompter.asked.size(), 2u);
    EXPECT_EQ(pg.prompter.asked[0].text, "Do you really want to exit Ombrix?");
    EXPECT_EQ(pg.prompter.asked[0].buttons, Buttons::YesNo);
    EXPECT_EQ(pg.prompter.asked[0].icon, Icon::Question);
}

TEST(MainWindow, HintSwitchesSurviveARestart)
{
    QTemporaryDir shared;
    {
        Program first(shared.path());
        first.state.hintIndex = 0;
        // Switched off in the dialog, then the program ends without saving.
        FrmHint hint(first.state, first.main.get());
        QTest::mouseClick(hint.chkShow(), Qt::LeftButton);
        EXPECT_EQ(first.state.v().pnShowTip[0], 0);
        hint.close();
        EXPECT_TRUE(first.close(Answer::No));
    }
    Program second(shared.path());
    EXPECT_EQ(second.state.v().pnShowTip[0], 0);
    EXPECT_EQ(second.state.v().pnShowTip[1], 1);
    // Switched off: the hint returns at once instead of waiting for a click.
    second.main->mShowHint(0);
    EXPECT_EQ(second.state.hintIndex, 0);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(MainWindow, AboutAndHelp)
{
    Program pg;
    pg.main->button("About")->trigger();
    ASSERT_EQ(pg.prompter.asked.size(), 1u);
    EXPECT_EQ(pg.prompter.asked[0].title, " About Ombrix");
    EXPECT_TRUE(pg.prompter.asked[0].text.contains(OMBRIX_VERSION));
    pg.main->button("Help")->trigger();
    ASSERT_NE(pg.main->helpWindow(), nullptr);
    EXPECT_TRUE(pg.main->helpWindow()->isVisible());
    EXPECT_EQ(pg.main->helpWindow()->topic(), 0);
    EXPECT_FALSE(pg.main->helpWindow()->pageText().isEmpty());
}

} // namespace ombrix::test
