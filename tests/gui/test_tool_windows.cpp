// The image window, the colour picker, the rainbow window and the hint
// dialog, driven as a user drives them; and the windows on a scaled screen.
#include "gui/program.h"

#include "colour/frm_color.h"
#include "colour/frm_rainbow.h"
#include "help/frm_hint.h"
#include "main/ui_main_widgets.h"
#include "main/ui_windows.h"
#include "picture/frm_picture.h"
#include "picture/image_window.h"

#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
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

TEST(ColourPicker, PaletteSlidersSwatchAndTheCross)
{
    Program pg;
    FrmMain& m = *pg.main;
    ImageParams& p = pg.state.p();
    SharedValues& v = pg.state.v();
    FrmColor* c = m.colorWindow();
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(c->windowFlags() & Qt::WindowStaysOnTopHint);
    QSignalSpy told(&m.colourEvents(), &ColourEvents::edited);

    // Cell (1, 1) is pure red.
    const int draws = m.previewDraws();
    v.pnColorIndex = 1;
    c->picPalette_Click(cell(1, 1).x(), cell(1, 1).y());
    EXPECT_EQ(p.plColor[1], (Colour{255, 0, 0}));
    EXPECT_EQ(m.previewDraws(), draws + 1);
    EXPECT_EQ(c->swatch(), QColor(255, 0, 0));
    EXPECT_EQ(c->lblColor(0)->text(), "255");
    EXPECT_EQ(c->label1()->text(), "1, 1");
    EXPECT_EQ(pg.find<ColourBox>("picColor1")->colour(), QColor(255, 0, 0));

    // A border and a text slot are edited the same way, and a dialog that
    // listens is told which.
    v.pnColorTarget = ColorTarget::Border;
    v.pnBorderIndex = 2;
    c->picPalette_Click(cell(1, 1).x(), cell(1, 1).y());
    EXPECT_EQ(p.plBorderColor[2], (Colour{255, 0, 0}));
    v.pnColorTarget = ColorTarget::TextSlot;
    v.pnTextIndex = 5;
    c->loadTarget();
    c->sliColor(2)->setValue(77);
    EXPECT_EQ(p.plTextColor[5][2], 77);
    EXPECT_EQ(c->markedColumn(), 999); // not a palette colour
    ASSERT_EQ(told.count(), 3);
    EXPECT_EQ(told[1][0].value<ColorTarget>(), ColorTarget::Border);
    EXPECT_EQ(told[2][0].value<ColorTarget>(), ColorTarget::TextSlot);

    // An empty cell changes nothing.
    v.pnColorTarget = ColorTarget::ColourBox;
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
    ASSERT_NE(m.colorWindow(), nullptr);
    EXPECT_TRUE(m.colorWindow()->isVisible());
    EXPECT_EQ(m.colorWindow()->pos(), at);

    // With Plain Background the full-size image follows at once.
    m.patternPanels()->optPattern(kPlainBackground)->click();
    c = m.colorWindow();
    c->sliColor(1)->setValue(200);
    const QImage& shown = m.pictureWindow()->pictures().picShow.image();
    EXPECT_EQ(shown.pixelColor(shown.width() / 2, shown.height() / 2).green(), 200);
}

TEST(RainbowWindow, ChoicesSetTheRainbowMode)
{
    Program pg;
    FrmMain& m = *pg.main;
    ImageParams& p = pg.state.p();
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

TEST(ImageWindow, ResizeRedrawsKeepsTheSizeAndTakesAShot)
{
    Program pg;
    FrmMain& m = *pg.main;
    FrmPicture* pic = m.pictureWindow();
    const int runs = pic->resizeRuns();
    const int shots = pg.state.history.pnShots;

    // Several sizes in a row, as a frame drag sends them: one redraw.
    pic->resize(300, 240);
    pic->resize(400, 300);
    settle();
    EXPECT_EQ(pic->resizeRuns(), runs + 1);
    EXPECT_EQ(pg.state.history.pnShots, shots + 1);
    EXPECT_EQ(pg.state.pnPixelWidth, 400);
    EXPECT_EQ(pg.find<QLabel>("statusPanel2")->text(), QString(" 400W \u00d7 300H "));
    EXPECT_EQ(pic->pictures().picShow.width(), 400);
    // The record keeps the window's outer size, frame included.
    const SharedValues& v = pg.state.v();
    EXPECT_EQ(pg.state.p().pnImageWidth, pic->frameGeometry().width() * v.Tppx);
    pic->move(40, 20);
    EXPECT_EQ(pg.state.p().pnImageLeft, pic->x() * v.Tppx);

    // Too small for the size label: the menu offers nothing to hide.
    pic->setClientSize(150, 60);
    EXPECT_TRUE(control<QLabel>(pic, "lblSize")->text().isEmpty());
    EXPECT_FALSE(m.menuItem(MenuItem::ImageSize)->isEnabled());

    // An extreme shape asks for the hint every other time, and any toolbar
    // command starts the count again.
    pg.state.v().pnShowTip[0] = 0; // no modal dialog in the test
    const auto hintShown = [&](int w, int h) {
        pg.state.hintIndex = 5;
        pic->setClientSize(w, h);
        return pg.state.hintIndex == 0;
    };
    EXPECT_TRUE(hintShown(550, 100));
    EXPECT_FALSE(hintShown(560, 100));
    EXPECT_TRUE(hintShown(570, 100));
    m.Toolbar1_ButtonClick(ToolButton::About);
    EXPECT_TRUE(hintShown(580, 100));
    EXPECT_FALSE(hintShown(500, 100));
}

TEST(ImageWindow, ClickDragPopupMenuAndHideScreen)
{
    Program pg;
    FrmPicture* pic = pg.main->pictureWindow();
    QWidget* view = control(pic, "picShow");
    const QPoint at = pic->pos(), p(50, 50);
    // A quick click, then the mouse moves on with no button held.
    mouse(view, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
    mouse(view, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
    mouse(view, QEvent::MouseMove, p + QPoint(40, 30), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(pic->pos(), at);
    // A press that trembles by a pixel is still a click.
    mouse(view, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
    mouse(view, QEvent::MouseMove, p + QPoint(1, 0), Qt::NoButton, Qt::LeftButton);
    mouse(view, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(pic->pos(), at);
    // Held and moved, the window follows (the test platform has no window
    // manager to hand the move to), and stops with the button.
    mouse(view, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
    mouse(view, QEvent::MouseMove, p + QPoint(30, 20), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(pic->pos(), at + QPoint(30, 20));
    mouse(view, QEvent::MouseButtonRelease, p + QPoint(30, 20), Qt::LeftButton, Qt::NoButton);
    mouse(view, QEvent::MouseMove, p + QPoint(90, 90), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(pic->pos(), at + QPoint(30, 20));

    // A window pushed off the screen is brought back until its top can be
    // grabbed.
    const QRect screen = pic->screen()->availableVirtualGeometry();
    pic->move(screen.right() + 500, screen.bottom() + 500);
    keepOnScreen(pic);
    EXPECT_LT(pic->frameGeometry().left(), screen.right());
    EXPECT_LT(pic->frameGeometry().top(), screen.bottom());

    // A right click opens the menu; a double click hides the size label.
    auto* size = control<QLabel>(pic, "lblSize");
    QTest::mouseClick(view, Qt::RightButton, {}, QPoint(5, 5));
    auto* menu = control<QMenu>(pg.main.get(), "mnuMenu");
    EXPECT_TRUE(menu->isVisible());
    menu->hide();
    EXPECT_TRUE(pg.main->menuItem(MenuItem::Resize)->isEnabled()) << "Resize opens the size dialog";

    QTest::mouseDClick(view, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(size->text().isEmpty());
    EXPECT_EQ(pg.main->menuItem(MenuItem::ImageSize)->text(), "Show Image Size");
    pg.main->menuItem(MenuItem::ImageSize)->trigger();
    EXPECT_FALSE(size->text().isEmpty());
    EXPECT_EQ(pg.main->menuItem(MenuItem::ImageSize)->text(), "Hide Image Size");

    pg.main->menuItem(MenuItem::HideScreen)->trigger();
    EXPECT_FALSE(pic->isVisible());
    EXPECT_FALSE(pg.state.flags.pbPictureShown);
    pg.main->button(ToolButton::Show)->trigger();
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
    // The lamp sits right of the text, the button in the middle.
    EXPECT_GT(hint.imgMain()->x(), hint.label1()->geometry().right());
    EXPECT_NEAR(hint.cmdOK()->x() * 2 + hint.cmdOK()->width(), hint.width(), 1);

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
}

// Run by the test command a second time with QT_SCALE_FACTOR=2: the image is
// the screen's device pixels, drawn and shown at that resolution.
TEST(ScaledScreen, ImageAndPreviewAreDevicePixelsShownSharp)
{
    Program pg;
    FrmMain& m = *pg.main;
    FrmPicture* pic = m.pictureWindow();
    const double r = deviceRatio(pic);
    if (r == 1.0)
        GTEST_SKIP() << "needs a scaled screen (QT_SCALE_FACTOR=2)";
    EXPECT_EQ(pic->size(), QSize(260, 200));
    const QImage& image = pic->pictures().picShow.image();
    EXPECT_EQ(image.size(), QSize(toDevice(260, r), toDevice(200, r)));
    EXPECT_EQ(pg.state.pnPixelWidth, image.width());
    EXPECT_EQ(pg.find<QLabel>("statusPanel2")->text().toStdString(),
              imageSizeText(image.width(), image.height()));
    EXPECT_EQ(m.previewPicture().size(), QSize(toDevice(150, r), toDevice(110, r)));

    // What the window shows is the picture pixel for pixel, not enlarged.
    m.toggleImageSize(); // the size label off the picture
    ASSERT_FALSE(pic->sizeLabelShown());
    const QImage shown = control(pic, "picShow")->grab().toImage().convertToFormat(image.format());
    ASSERT_EQ(shown.size(), image.size());
    EXPECT_EQ(shown, image);

    // Twelve device pixels per repetition: ten across need 120 of them.
    pg.find<QSlider>("sliHorRep")->setValue(10);
    pic->setClientSize(20, 200);
    EXPECT_EQ(pic->pictures().picShow.width(), 120);
}

} // namespace ombrix::test
