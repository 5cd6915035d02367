#include "gui/program.h"

#include "colour/frm_color.h"
#include "colour/frm_rainbow.h"
#include "help/frm_hint.h"
#include "picture/frm_picture.h"

#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

namespace ombrix::test
{

namespace
{

// The palette picture's pixel position of cell (col, row).
QPoint cell(int col, int row)
{
    return {2 + col * 8 + 3, 2 + row * 6 + 2};
}

} // namespace

TEST(ColourPicker, PaletteClicksReachEveryTarget)
{
    Program pg;
    FrmMain& m = *pg.main;
    ImageParams& p = pg.state.p();
    SharedValues& v = pg.state.v();
    const Colour first = p.plColor[0];
    FrmColor* c = m.colorWindow();
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(c->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(c->windowFlags() & Qt::FramelessWindowHint);

    // Cell (1, 1) is pure red.
    const int draws = m.previewDraws();
    v.pnColorIndex = 1;
    c->picPalette_Click(cell(1, 1).x(), cell(1, 1).y());
    EXPECT_EQ(p.plColor[1], (Colour{255, 0, 0}));
    EXPECT_EQ(m.previewDraws(), draws + 1);
    EXPECT_EQ(c->swatch(), QColor(255, 0, 0));
    EXPECT_EQ(c->sliColor(0)->value(), 255);
    EXPECT_EQ(c->lblColor(0)->text(), "255");
    EXPECT_EQ(c->label1()->text(), "1, 1");
    EXPECT_EQ(c->markedColumn(), 1);
    EXPECT_EQ(c->markedRow(), 1);

    v.pnColorTarget = 1;
    v.pnBorderIndex = 2;
    c->picPalette_Click(cell(0, 0).x(), cell(0, 0).y());
    EXPECT_EQ(p.plBorderColor[2], (Colour{0, 0, 0}));
    v.pnColorTarget = 2;
    v.pnTextIndex = 5;
    c->picPalette_Click(cell(1, 1).x(), cell(1, 1).y());
    EXPECT_EQ(p.plTextColor[5], (Colour{255, 0, 0}));
    EXPECT_EQ(p.plColor[0], first) << "the colour row is left alone";

    // An empty cell changes nothing.
    v.pnColorTarget = 0;
    v.pnColorIndex = 0;
    const Colour before = p.plColor[0];
    c->picPalette_Click(cell(11, 21).x(), cell(11, 21).y());
    EXPECT_EQ(p.plColor[0], before);
}

TEST(ColourPicker, SlidersEditTheTargetAndMarkThePalette)
{
    Program pg;
    FrmMain& m = *pg.main;
    ImageParams& p = pg.state.p();
    FrmColor* c = m.colorWindow();
    ASSERT_NE(c, nullptr);
    pg.state.v().pnColorIndex = 0;
    c->loadTarget();
    c->sliColor(0)->setValue(255);
    c->sliColor(1)->setValue(0);
    c->sliColor(2)->setValue(0);
    EXPECT_EQ(p.plColor[0], (Colour{255, 0, 0}));
    EXPECT_EQ(c->markedColumn(), 1);
    EXPECT_EQ(c->markedRow(), 1);
    c->sliColor(2)->setValue(1);
    EXPECT_EQ(c->markedColumn(), 999); // not a palette colour
    EXPECT_EQ(c->lblColor(2)->text(), "1");

    // With Plain Background the full-size image follows at once.
    m.optPattern(kPlainBackground)->click();
    c = m.colorWindow();
    ASSERT_NE(c, nullptr);
    c->sliColor(1)->setValue(200);
    EXPECT_EQ(p.plColor[2][1], 200);
    const QImage shown = m.picture()->pictures().picShow.image();
    const QColor px = shown.pixelColor(shown.width() / 2, shown.height() / 2);
    EXPECT_EQ(px.green(), 200);
}

TEST(ColourPicker, SwatchFoldsAndTheCrossRemembersThePlace)
{
    Program pg;
    FrmMain& m = *pg.main;
    FrmColor* c = m.colorWindow();
    ASSERT_NE(c, nullptr);
    const int h = c->height();
    c->picColor_Click();
    EXPECT_EQ(c->height(), h + FrmColor::kSwatchHeight + 1);
    c->picColor_Click();
    EXPECT_EQ(c->height(), h);

    c->move(300, 200);
    const QPoint at = c->pos();
    c->imgHide_Click();
    EXPECT_FALSE(pg.state.flags.pbColorWinShown);
    m.picColor_Click(0);
    ASSERT_NE(m.colorWindow(), nullptr);
    EXPECT_TRUE(m.colorWindow()->isVisible());
    EXPECT_EQ(m.colorWindow()->pos(), at);
}

TEST(RainbowWindow, ChoicesSetTheRainbowMode)
{
    Program pg;
    FrmMain& m = *pg.main;
    ImageParams& p = pg.state.p();

    // Unticked: choices are kept, the mode stays 0.
    m.showRainbowWindow();
    FrmRainbow* r = m.rainbowWindow();
    ASSERT_NE(r, nullptr);
    EXPECT_TRUE(r->optPallette(1)->isChecked()) << "no rainbow opens at palette 1";
    EXPECT_FALSE(r->chkInverse()->isChecked());
    QTest::mouseClick(r->chkInverse(), Qt::LeftButton);
    r->optPallette(0)->click();
    EXPECT_EQ(p.pnRainbowInverse, 1);
    EXPECT_EQ(p.pnRainbowPalette, 0);
    EXPECT_EQ(p.pnRainbow, 0);
    m.closeRainbowWindow();
    settle();

    QTest::mouseClick(m.rainbowBox(), Qt::LeftButton);
    EXPECT_EQ(p.pnRainbow, 4);
    m.showRainbowWindow();
    r = m.rainbowWindow();
    EXPECT_TRUE(r->optPallette(0)->isChecked());
    EXPECT_TRUE(r->chkInverse()->isChecked());
    const int draws = m.previewDraws();
    r->optPallette(1)->click();
    EXPECT_EQ(p.pnRainbow, 2);
    QTest::mouseClick(r->chkInverse(), Qt::LeftButton);
    EXPECT_EQ(p.pnRainbow, 1);
    EXPECT_EQ(m.previewDraws(), draws + 2);
    // Placed at the main window's left edge, under the rainbow box (the
    // offscreen platform gives even a popup a 2-pixel frame).
    EXPECT_NEAR(r->x(), m.frameGeometry().x(), 2);
    EXPECT_GT(r->y(), m.rainbowBox()->mapToGlobal(QPoint(0, 0)).y());

    // A right click on a palette picture closes it.
    r->picColor_MouseUp(0, Qt::RightButton);
    EXPECT_FALSE(r->isVisible());
    EXPECT_FALSE(pg.state.flags.pbRainbowWinShown);

    // So does a click outside it.
    m.showRainbowWindow();
    r = m.rainbowWindow();
    ASSERT_TRUE(r->isVisible());
    QTest::mouseClick(r, Qt::LeftButton, {}, QPoint(-20, -20));
    EXPECT_FALSE(r->isVisible());

    // Unticking the box closes the window and clears the mode.
    m.showRainbowWindow();
    QTest::mouseClick(m.rainbowBox(), Qt::LeftButton);
    EXPECT_EQ(p.pnRainbow, 0);
    EXPECT_EQ(m.rainbowWindow(), nullptr);
}

TEST(ImageWindow, ResizeRedrawsAndTakesAShot)
{
    Program pg;
    FrmMain& m = *pg.main;
    FrmPicture* pic = m.picture();
    ASSERT_NE(pic, nullptr);
    EXPECT_EQ(pic->lblText(kTextSlots - 1)->text(), "");
    const int runs = pic->resizeRuns();
    const int shots = pg.state.history.pnShots;

    // Several sizes in a row, as a frame drag sends them: one redraw.
    pic->resize(300, 240);
    pic->resize(320, 250);
    pic->resize(400, 300);
    settle();
    EXPECT_EQ(pic->resizeRuns(), runs + 1);
    EXPECT_EQ(pg.state.history.pnShots, shots + 1);
    EXPECT_EQ(pg.state.pnPixelWidth, 400);
    EXPECT_EQ(pg.state.pnPixelHeight, 300);
    EXPECT_EQ(m.statusPanel(2)->text(), QString(" 400W \u00d7 300H "));
    EXPECT_EQ(pic->pictures().picShow.width(), 400);
    EXPECT_EQ(m.progressBar()->value(), 0) << "drops back after the last band";
    const QImage img = pic->pictures().picShow.image();
    EXPECT_NE(img.pixel(200, 150), img.pixel(1, 1));

    // Twelve pixels per repetition at the least.
    m.slider("sliHorRep")->setValue(10);
    pic->setClientSize(60, 60);
    EXPECT_GE(pic->width(), 120);

    // Too small for the size label: the menu offers nothing to hide.
    pic->setClientSize(150, 60);
    EXPECT_TRUE(pic->lblSize()->text().isEmpty());
    EXPECT_FALSE(m.menuItem(3)->isEnabled());
}

TEST(ImageWindow, StaysReachableAndKeepsItsPlaceInTwips)
{
    Program pg;
    FrmPicture* pic = pg.main->picture();
    const QRect screen = pic->screen()->availableVirtualGeometry();
    pic->move(screen.right() + 500, screen.bottom() + 500);
    keepOnScreen(pic);
    EXPECT_LT(pic->frameGeometry().left(), screen.right());
    EXPECT_LT(pic->frameGeometry().top(), screen.bottom());
    pic->move(-5000, -5000);
    keepOnScreen(pic);
    EXPECT_GT(pic->frameGeometry().right(), screen.left());
    EXPECT_GE(pic->frameGeometry().top(), screen.top());

    // The record keeps the place in twips, 15 to the pixel at 96 DPI.
    EXPECT_EQ(twipsPerPixel(96), 15);
    EXPECT_EQ(twipsPerPixel(144), 10);
    EXPECT_EQ(twipsPerPixel(0), 15);
    pic->move(40, 20);
    settle();
    EXPECT_EQ(pg.state.p().pnImageLeft, pic->x() * pg.state.v().Tppx);
    EXPECT_EQ(pg.state.p().pnImageTop, pic->y() * pg.state.v().Tppy);
}

TEST(ImageWindow, AspectHintAlternatesOnExtremeSizes)
{
    Program pg;
    FrmMain& m = *pg.main;
    FrmPicture* pic = m.picture();
    pg.state.v().pnShowTip[0] = 0; // no modal dialog in the test
    pg.state.hintIndex = 5;
    pic->setClientSize(900, 120);
    EXPECT_TRUE(pg.state.flags.pbAspectHintToggle);
    EXPECT_EQ(pg.state.hintIndex, 0);
    pg.state.hintIndex = 5;
    pic->setClientSize(901, 120);
    EXPECT_FALSE(pg.state.flags.pbAspectHintToggle);
    EXPECT_EQ(pg.state.hintIndex, 5);
    // The linear gradient never asks.
    m.optPattern(kLinearGradient)->click();
    pic->setClientSize(902, 120);
    EXPECT_EQ(pg.state.hintIndex, 5);
}

TEST(ImageWindow, PopupMenuAndDoubleClick)
{
    Program pg;
    FrmMain& m = *pg.main;
    FrmPicture* pic = m.picture();
    pic->picShow_MouseDown(Qt::RightButton, {5, 5}, pic->mapToGlobal(QPoint(5, 5)));
    EXPECT_TRUE(m.imageMenu()->isVisible());
    m.imageMenu()->hide();
    EXPECT_FALSE(m.menuItem(0)->isEnabled()) << "Resize waits for its dialog";

    pic->picShow_DblClick();
    EXPECT_TRUE(pic->lblSize()->text().isEmpty());
    EXPECT_EQ(m.menuItem(3)->text(), "Show Image Size");
    m.mnuMenuArray_Click(3);
    EXPECT_FALSE(pic->lblSize()->text().isEmpty());
    EXPECT_EQ(m.menuItem(3)->text(), "Hide Image Size");

    m.mnuMenuArray_Click(2);
    EXPECT_FALSE(pic->isVisible());
    EXPECT_FALSE(pg.state.flags.pbPictureShown);
    m.button("Show")->trigger();
    EXPECT_TRUE(pic->isVisible());
}

TEST(HintDialog, TextLayoutLampAndSwitch)
{
    AppState state;
    state.hintIndex = 0;
    FrmHint hint(state, nullptr);
    EXPECT_EQ(hint.windowTitle(), " Hint");
    EXPECT_TRUE(hint.label1()->text().startsWith("Too large or too small aspect ratio"));
    EXPECT_EQ(hint.chkShow()->text(), " Do not show this massage any more. ");
    EXPECT_EQ(hint.cmdOK()->text(), "Noted");
    EXPECT_EQ(hint.imgMain()->x(), hint.label1()->x() + hint.label1()->width() + 18);
    EXPECT_EQ(hint.chkShow()->x(), hint.label1()->x() - 1);
    EXPECT_NEAR(hint.cmdOK()->x() * 2 + hint.cmdOK()->width(), hint.width(), 1);
    EXPECT_GT(hint.cmdOK()->y(), hint.chkShow()->y());

    // The lamp dims at 3 ticks, goes dark at 6 and lights again at 8.
    std::vector<int> frames;
    for (int i = 0; i < 16; ++i) {
        hint.Timer1_Timer();
        frames.push_back(hint.lampFrame());
    }
    EXPECT_EQ(frames, (std::vector<int>{0, 0, 1, 1, 1, 2, 2, 0, 0, 0, 1, 1, 1, 2, 2, 0}));

    // Checked then cleared again: the hint stays on.
    hint.chkShow()->click();
    EXPECT_EQ(state.v().pnShowTip[0], 0);
    hint.chkShow()->click();
    EXPECT_EQ(state.v().pnShowTip[0], 1);

    // The second hint is longer: the dialog widens with it.
    AppState other;
    other.hintIndex = 1;
    FrmHint wide(other, nullptr);
    EXPECT_EQ(wide.imgMain()->x(), wide.label1()->x() + wide.label1()->width() + 18);
    EXPECT_NEAR(wide.cmdOK()->x() * 2 + wide.cmdOK()->width(), wide.width(), 1);
}

} // namespace ombrix::test
