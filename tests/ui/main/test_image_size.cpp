// SPDX-License-Identifier: GPL-3.0-or-later
// One image size everywhere: undo, redo, open and new give back exactly the
// size they stored whatever frame a window manager draws, and a file means
// the same design at every scale.
#include "ui/program.h"

#include "io/param_file.h"
#include "model/image_geometry.h"
#include "picture/full_image.h"
#include "ui/main/frm_dim.h"

#include <QAction>
#include <QLineEdit>

#include <cmath>

namespace ombrix::test
{

namespace
{

QSize device(const QWidget* w, QSize logical)
{
    const ImageSize d = deviceImageSize({logical.width(), logical.height()}, deviceRatio(w));
    return {d.width, d.height};
}

} // namespace

// Earlier builds kept each window's frame in one shared field, so an Undo
// gave the image the difference of two frames.  Four frames stand in for
// window managers (none, openbox's thin one, a thick one, a caption only).
TEST(ImageSize, UndoAndRedoGiveBackEachSizeUnderAnyFrame)
{
    for (const QMargins frame : {QMargins(0, 0, 0, 0), QMargins(1, 20, 1, 5), QMargins(4, 30, 4, 4),
                                 QMargins(0, 37, 0, 0)}) {
        const StandInFrame wm(frame);
        Program pg;
        pg.noHints();
        FrmPicture* pic = pg.main->pictureWindow();
        const QSize sizes[] = {{260, 200}, {600, 400}, {260, 196}, {333, 111}, {45, 300}};
        for (size_t i = 1; i < std::size(sizes); ++i) {
            pic->setClientSize(sizes[i].width(), sizes[i].height());
            settle();
        }
        ASSERT_EQ(pg.state.history.shots(), static_cast<int>(std::size(sizes)) - 1);
        const auto expectShown = [&](size_t i, const char* step) {
            const QSize want = sizes[i];
            const ImageSize stored = storedImageSize(pg.state.p());
            EXPECT_EQ(QSize(stored.width, stored.height), want) << step << " " << i;
            EXPECT_EQ(pic->size(), want) << step << " " << i << " frame " << frame.top();
            EXPECT_EQ(pg.shown().size(), device(pic, want)) << step << " " << i;
            EXPECT_EQ(pg.state.p().pnImageWidth,
                      (want.width() + kFrameAllowanceWidth) * kFileTwipsPerPixel);
        };
        for (int round = 0; round < 3; ++round) {
            for (size_t i = std::size(sizes) - 1; i-- > 0;) {
                pg.command(ToolButton::Undo);
                expectShown(i, "undo");
            }
            EXPECT_FALSE(pg.state.history.canUndo());
            for (size_t i = 1; i < std::size(sizes); ++i) {
                pg.command(ToolButton::Redo);
                expectShown(i, "redo");
            }
        }
        EXPECT_EQ(pg.state.history.shots(), static_cast<int>(std::size(sizes)) - 1)
            << "undo and redo take no shots";

        // Saved and opened again (after the window took another size): the
        // stored size, the history starting at it.
        pg.prompter.fileName = pg.dir.filePath("sized.obp");
        ASSERT_TRUE(pg.main->commands().mSaveParam());
        pic->setClientSize(500, 120);
        settle();
        ASSERT_TRUE(pg.main->fileCommands().openFile(pg.dir.filePath("sized.obp")));
        settle();
        EXPECT_EQ(pic->size(), sizes[std::size(sizes) - 1]);
        EXPECT_FALSE(pg.state.history.canUndo() || pg.state.history.canRedo());
        pg.main->tmrWatch_Timer();
        EXPECT_FALSE(pg.main->button(ToolButton::Undo)->isEnabled());

        // New at 300 x 90, then Undo: the opened file's size again.
        pg.main->fileCommands().showSizeDialog(false);
        FrmDim* dim = pg.main->fileCommands().sizeDialog();
        const QSize typed = device(pic, {300, 90});
        control<QLineEdit>(dim, "txtWidth")->setText(QString::number(typed.width()));
        control<QLineEdit>(dim, "txtHeight")->setText(QString::number(typed.height()));
        ASSERT_TRUE(dim->cmdOK_Click());
        settle();
        pg.noHints(); // the new image's preset switches hint 0 on again
        EXPECT_EQ(pic->size(), QSize(300, 90));
        pg.command(ToolButton::Undo);
        EXPECT_EQ(pic->size(), sizes[std::size(sizes) - 1]);
        pg.command(ToolButton::Redo);
        EXPECT_EQ(pic->size(), QSize(300, 90));
    }
}

// A file of `params` from an earlier build stores no window (0 x 0): it
// opens at a fresh window's 260 x 200, and the record says so from then on.
TEST(ImageSize, FilesWithoutASizeAndShrinkingUndo)
{
    Program pg;
    pg.noHints();
    FrmPicture* pic = pg.main->pictureWindow();
    ImageModel m;
    m.mSetDefaults(3);
    const std::string file = pg.dir.filePath("nosize.obp").toStdString();
    ASSERT_TRUE(SaveData(file, m.params).ok);
    pic->setClientSize(400, 300);
    settle();
    ASSERT_TRUE(pg.main->fileCommands().openFile(file));
    settle();
    EXPECT_EQ(pic->size(), QSize(260, 200));
    EXPECT_TRUE(storedImageSize(pg.state.p()) == (ImageSize{260, 200}));
    EXPECT_EQ(pg.state.p().pnImageWidth, 262 * kFileTwipsPerPixel);

    // 1 x 1 repetitions at 30 x 20, then 10 x 6 repetitions (the window
    // grows for them), then back: the small size returns.
    pg.state.p().pnHorRep = pg.state.p().pnVerRep = 1;
    pic->setClientSize(30, 20);
    settle();
    pg.state.p().pnHorRep = 10;
    pg.state.p().pnVerRep = 6;
    pg.command(ToolButton::Show);
    EXPECT_GE(pg.shown().size().width(), 120);
    pg.command(ToolButton::Undo);
    EXPECT_EQ(pic->size(), QSize(30, 20));
}

// A design made on a doubled screen (this test also runs with
// QT_SCALE_FACTOR=2) is the same design when `render` draws it at scale 1.
TEST(ScaledScreen, AFileSavedOnAnyScaleIsTheSameDesignAtScaleOne)
{
    Program pg;
    pg.noHints();
    FrmPicture* pic = pg.main->pictureWindow();
    const double r = deviceRatio(pic);
    ImageParams& p = pg.state.p();
    p.pnPattern = kPlainBackground;
    p.plColor[2] = {0, 0, 96};
    p.psText[0] = "Ombrix";
    p.pnTextLeft[0] = 40;
    p.pnTextTop[0] = 30;
    p.pnTextSize[0] = 24;
    p.plTextColor[0] = {255, 255, 255};
    p.pnBorderSize = {4, 0, 2, 3};
    for (Colour& c : p.plBorderColor)
        c = {255, 0, 0};
    pic->setClientSize(300, 150);
    pg.command(ToolButton::Show);
    pg.main->toggleImageSize();
    const QImage atScale = pic->exportImage();
    ASSERT_EQ(atScale.size(), device(pic, {300, 150}));
    pg.prompter.fileName = pg.dir.filePath("design.obp");
    ASSERT_TRUE(pg.main->commands().mSaveParam());

    ImageParams read;
    ASSERT_TRUE(ReadData(pg.dir.filePath("design.obp").toStdString(), read).ok);
    const ImageSize size = storedImageSize(read);
    ASSERT_TRUE(size == (ImageSize{300, 150}));
    EXPECT_EQ(read.pnTextLeft[0], 40);
    EXPECT_EQ(read.pnBorderSize[0], 4);
    FullImageOptions o;
    o.width = size.width;
    o.height = size.height;
    const QImage one = renderFullImage(read, o).convertToFormat(QImage::Format_RGB32);

    // Brought down to scale 1: borders and background exact, the text's
    // ink where it is at scale 1 give or take a pixel of hinting.
    const QImage down = atScale.scaled(300, 150, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                            .convertToFormat(QImage::Format_RGB32);
    const auto redRows = [](const QImage& img, int x, int y, int dy) {
        int n = 0;
        for (; y >= 0 && y < img.height() && qRed(img.pixel(x, y)) > 200 &&
               qGreen(img.pixel(x, y)) < 60;
             y += dy)
            ++n;
        return n;
    };
    EXPECT_EQ(redRows(one, 150, 0, 1), 4);
    EXPECT_EQ(redRows(down, 150, 0, 1), 4);
    EXPECT_EQ(redRows(down, 150, 149, -1), 2);
    EXPECT_EQ(redRows(atScale, atScale.width() / 2, 0, 1), std::lround(4 * r));
    const auto inkBox = [](const QImage& img) {
        QRect box;
        for (int y = 10; y < img.height() - 10; ++y)
            for (int x = 10; x < img.width() - 10; ++x)
                if (qRed(img.pixel(x, y)) > 128)
                    box |= QRect(x, y, 1, 1);
        return box;
    };
    const QRect ink1 = inkBox(one), inkDown = inkBox(down);
    ASSERT_FALSE(ink1.isEmpty());
    for (int d : {ink1.left() - inkDown.left(), ink1.top() - inkDown.top(),
                  ink1.right() - inkDown.right(), ink1.bottom() - inkDown.bottom()})
        EXPECT_LE(std::abs(d), 2);
    int apart = 0;
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 300; ++x)
            apart += std::abs(qBlue(one.pixel(x, y)) - qBlue(down.pixel(x, y))) > 64;
    EXPECT_LT(apart, 300 * 150 / 50) << "pixels apart beyond the text's edges";

    // Opened again here, the labels lie where the text is drawn.
    Program again;
    ASSERT_TRUE(again.main->fileCommands().openFile(pg.dir.filePath("design.obp")));
    settle();
    EXPECT_EQ(again.main->pictureWindow()->size(), QSize(300, 150));
    const QRect label = again.main->pictureWindow()->textLabelRect(0);
    EXPECT_NEAR(label.x(), 40 * r, 1.0);
    EXPECT_NEAR(label.y(), 30 * r, 1.0);
}

} // namespace ombrix::test
