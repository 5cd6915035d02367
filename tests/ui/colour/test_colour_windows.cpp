// SPDX-License-Identifier: GPL-3.0-or-later
// The colour picker and the rainbow window, driven as a user drives them.
#include "ui/program.h"

#include "ui/colour/frm_color.h"
#include "ui/colour/frm_rainbow.h"
#include "ui/main/main_widgets.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

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

using ColourPicker = ProgramTest;
using RainbowWindow = ProgramTest;

TEST_F(ColourPicker, PaletteSlidersSwatchAndTheCross)
{
    SharedValues& v = pg.state.v();
    FrmColor* c = m.colourWindow();
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(c->windowFlags() & Qt::WindowStaysOnTopHint);
    QSignalSpy told(&m.colourEvents(), &ColourEvents::edited);

    // Cell (1, 1) is pure red.
    const int draws = m.previewDraws();
    v.pnColorIndex = 1;
    c->picPalette_Click(cell(1, 1).x(), cell(1, 1).y());
    EXPECT_EQ(p.plColor[1], (Colour{255, 0, 0}));
    EXPECT_EQ(m.previewDraws(), draws + 1);
    EXPECT_EQ(c->swatchColour(), QColor(255, 0, 0));
    EXPECT_EQ(c->lblColor(0)->text(), "255");
    EXPECT_EQ(c->cellLabel()->text(), "1, 1");
    EXPECT_EQ(pg.find<ColourBox>("picColor1")->colour(), QColor(255, 0, 0));

    // A border and a text slot are edited the same way, and a dialog that
    // listens is told which.
    v.pnColorTarget = ColourTarget::Border;
    v.pnBorderIndex = 2;
    c->picPalette_Click(cell(1, 1).x(), cell(1, 1).y());
    EXPECT_EQ(p.plBorderColor[2], (Colour{255, 0, 0}));
    v.pnColorTarget = ColourTarget::TextSlot;
    v.pnTextIndex = 5;
    c->loadTarget();
    c->sliColor(2)->setValue(77);
    EXPECT_EQ(p.plTextColor[5][2], 77);
    EXPECT_EQ(c->markedColumn(), 999); // not a palette colour
    ASSERT_EQ(told.count(), 3);
    EXPECT_EQ(told[1][0].value<ColourTarget>(), ColourTarget::Border);
    EXPECT_EQ(told[2][0].value<ColourTarget>(), ColourTarget::TextSlot);

    // An empty cell changes nothing.
    v.pnColorTarget = ColourTarget::ColourBox;
    v.pnColorIndex = 0;
    const Colour before = p.plColor[0];
    c->picPalette_Click(cell(11, 21).x(), cell(11, 21).y());
    EXPECT_EQ(p.plColor[0], before);

    // The swatch folds out and back.
    const int h = c->height();
    c->picColor_Click();
    EXPECT_EQ(c->height(), h + FrmColor::kSwatchHeight + 1);
    c->picColor_Click();
    EXPECT_EQ(c->height(), h);

    // Pressed, the cross shows so; released elsewhere it does nothing.
    const QPoint cross(c->width() - 6, 6);
    mouse(c, QEvent::MouseButtonPress, cross, Qt::LeftButton, Qt::LeftButton);
    EXPECT_TRUE(c->closePressed());
    mouse(c, QEvent::MouseButtonRelease, QPoint(30, 100), Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(c->closePressed());
    EXPECT_TRUE(c->isVisible());

    // Released on it, it closes the picker, which opens again where it was.
    c->move(300, 200);
    const QPoint at = c->pos();
    mouse(c, QEvent::MouseButtonPress, cross, Qt::LeftButton, Qt::LeftButton);
    mouse(c, QEvent::MouseButtonRelease, cross, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(c->isVisible());
    EXPECT_FALSE(pg.state.flags.pbColorWinShown);
    m.picColor_Click(0);
    ASSERT_NE(m.colourWindow(), nullptr);
    EXPECT_TRUE(m.colourWindow()->isVisible());
    EXPECT_EQ(m.colourWindow()->pos(), at);

    // With Plain Background the full-size image follows at once.
    m.patternPanels()->optPattern(kPlainBackground)->click();
    c = m.colourWindow();
    c->sliColor(1)->setValue(200);
    const QImage& shown = m.pictureWindow()->pictures().picShow.image();
    EXPECT_EQ(shown.pixelColor(shown.width() / 2, shown.height() / 2).green(), 200);
}

TEST_F(RainbowWindow, ChoicesSetTheRainbowMode)
{
    auto* box = pg.find<QCheckBox>("chkRainbow");

    // Unticked: a right click opens nothing.
    QTest::mouseClick(box, Qt::RightButton);
    EXPECT_EQ(m.rainbowWindow(), nullptr);
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_EQ(p.pnRainbow, 1);
    QTest::mouseClick(box, Qt::RightButton);
    FrmRainbow* r = m.rainbowWindow();
    ASSERT_NE(r, nullptr);
    EXPECT_TRUE(r->optPallette(1)->isChecked());
    EXPECT_FALSE(r->chkInverse()->isChecked());
    // At the main window's left edge, under the rainbow box.
    EXPECT_NEAR(r->x(), m.frameGeometry().x(), 2);
    EXPECT_GT(r->y(), box->mapToGlobal(QPoint(0, box->height())).y() - 2);

    const int draws = m.previewDraws();
    QTest::mouseClick(r->chkInverse(), Qt::LeftButton);
    EXPECT_EQ(p.pnRainbow, 2);
    r->optPallette(0)->click();
    EXPECT_EQ(p.pnRainbow, 4);
    EXPECT_EQ(m.previewDraws(), draws + 2);

    // A right click on a palette picture closes it, and so does a click
    // outside it.
    r->picColor_MouseUp(0, Qt::RightButton);
    EXPECT_FALSE(r->isVisible());
    EXPECT_FALSE(pg.state.flags.pbRainbowWinShown);
    QTest::mouseClick(box, Qt::RightButton);
    r = m.rainbowWindow();
    EXPECT_TRUE(r->optPallette(0)->isChecked());
    EXPECT_TRUE(r->chkInverse()->isChecked());
    QTest::mouseClick(r, Qt::LeftButton, {}, QPoint(-20, -20));
    EXPECT_FALSE(r->isVisible());

    // Unticking the box clears the mode and closes the window.
    QTest::mouseClick(box, Qt::RightButton);
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_EQ(p.pnRainbow, 0);
    EXPECT_EQ(m.rainbowWindow(), nullptr);
}

} // namespace ombrix::test
