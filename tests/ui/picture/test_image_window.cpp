// SPDX-License-Identifier: GPL-3.0-or-later
// The image window driven as a user drives it, and the windows on a scaled screen.
#include "ui/program.h"

#include "model/image_geometry.h"
#include "picture/image_window.h"
#include "ui/common/window_tools.h"
#include "ui/main/main_widgets.h"
#include "ui/picture/frm_picture.h"

#include <QLabel>
#include <QMenu>
#include <QSlider>
#include <QTest>

namespace ombrix::test
{

using ImageWindow = ProgramTest;

TEST_F(ImageWindow, ResizeRedrawsKeepsTheSizeAndTakesAShot)
{
    FrmPicture* pic = m.pictureWindow();
    const int runs = pic->resizeRuns();
    const int shots = pg.state.history.shots();

    // Several sizes in a row, as a frame drag sends them: one redraw.
    pic->resize(300, 240);
    pic->resize(400, 300);
    settle();
    EXPECT_EQ(pic->resizeRuns(), runs + 1);
    EXPECT_EQ(pg.state.history.shots(), shots + 1);
    EXPECT_EQ(pg.state.pnPixelWidth, 400);
    EXPECT_EQ(pg.find<QLabel>("statusPanel2")->text(), QString(" 400W \u00d7 300H "));
    EXPECT_EQ(pic->pictures().picShow.width(), 400);
    // The record keeps the image's size and place (how a file holds them is
    // the geometry tests' matter).
    EXPECT_TRUE(storedImageSize(pg.state.p()) == (ImageSize{400, 300}));
    pic->move(40, 20);
    EXPECT_EQ(storedImageLeft(pg.state.p()), 40);

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

// A compositor may answer a size asked from code with the size it knew
// before (sway does as the size dialog closes): the size asked for stands.
// One that insists (a tiling compositor) has its way after a few answers,
// and the user is told why the image is not the size asked for.
TEST_F(ImageWindow, ASizeAskedForStandsAgainstAStaleOneAndARefusalIsTold)
{
    FrmPicture* pic = m.pictureWindow();
    ASSERT_TRUE(pic->isVisible());
    pic->setClientSize(500, 330);
    pic->resize(260, 200); // the stale configure
    // Asked again once that configure is done with, so that a new frame
    // carries the size to the compositor.
    settle();
    EXPECT_EQ(pic->size(), QSize(500, 330));
    EXPECT_EQ(QSize(pg.state.pnPixelWidth, pg.state.pnPixelHeight), QSize(500, 330));
    EXPECT_EQ(pic->pictures().picShow.width(), 500);
    EXPECT_TRUE(pg.prompter.asked.empty());

    for (int i = 0; i < 4; ++i) {
        pic->resize(700, 500);
        settle();
    }
    EXPECT_EQ(pic->size(), QSize(700, 500));
    EXPECT_EQ(pg.state.pnPixelWidth, 700);
    EXPECT_EQ(pic->pictures().picShow.width(), 700);
    ASSERT_EQ(pg.prompter.asked.size(), 1u);
    const Question& q = pg.prompter.asked[0];
    EXPECT_EQ(q.title, " Ombrix");
    EXPECT_TRUE(q.text.contains(QString("700 \u00d7 500")) &&
                q.text.contains(QString("500 \u00d7 330")))
        << q.text.toStdString();

    // Sizes after that are the user's own (a frame dragged): taken as they
    // come, nothing said.
    pic->resize(320, 240);
    EXPECT_EQ(pic->size(), QSize(320, 240));
    settle();
    EXPECT_EQ(pg.state.pnPixelWidth, 320);
    EXPECT_EQ(pg.prompter.asked.size(), 1u);
}

TEST_F(ImageWindow, ClickDragPopupMenuAndHideScreen)
{
    FrmPicture* pic = m.pictureWindow();
    QWidget* view = control(pic, "picShow");
    const QPoint at = pic->pos(), grab(50, 50);
    // A quick click then a move with no button held, and a press that
    // trembles by a pixel, leave the window; held and moved, it follows (the
    // test platform has no window manager to hand the move to) and stops
    // with the button.
    const auto drag = [&](QPoint held, QPoint after) {
        mouse(view, QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
        mouse(view, QEvent::MouseMove, grab + held, Qt::NoButton, Qt::LeftButton);
        const QPoint during = pic->pos();
        mouse(view, QEvent::MouseButtonRelease, grab + held, Qt::LeftButton, Qt::NoButton);
        mouse(view, QEvent::MouseMove, grab + after, Qt::NoButton, Qt::NoButton);
        EXPECT_EQ(pic->pos(), during);
        return during - at;
    };
    EXPECT_EQ(drag({}, {40, 30}), QPoint());
    EXPECT_EQ(drag({1, 0}, {}), QPoint());
    EXPECT_EQ(drag({30, 20}, {90, 90}), QPoint(30, 20));

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
    auto* menu = control<QMenu>(&m, "mnuMenu");
    EXPECT_TRUE(menu->isVisible());
    menu->hide();
    EXPECT_TRUE(m.menuItem(MenuItem::Resize)->isEnabled()) << "Resize opens the size dialog";

    QAction* sizeItem = m.menuItem(MenuItem::ImageSize);
    QTest::mouseDClick(view, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(size->text().isEmpty());
    EXPECT_EQ(sizeItem->text(), "Show Image Size");
    sizeItem->trigger();
    EXPECT_FALSE(size->text().isEmpty());
    EXPECT_EQ(sizeItem->text(), "Hide Image Size");

    m.menuItem(MenuItem::HideScreen)->trigger();
    EXPECT_FALSE(pic->isVisible());
    EXPECT_FALSE(pg.state.flags.pbPictureShown);
    m.button(ToolButton::Show)->trigger();
    EXPECT_TRUE(pic->isVisible());
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
