// SPDX-License-Identifier: GPL-3.0-or-later
// Faults a user met walking through the windows: each test drives the
// windows as the user did and checks what the user saw.
#include "ui/program.h"

#include "io/param_file.h"
#include "model/image_geometry.h"
#include "ui/help/frm_hint.h"
#include "ui/main/text_commands.h"
#include "ui/text/frm_border.h"
#include "ui/text/frm_text_prop.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace ombrix::test
{

namespace
{

void key(QWidget* w, int k, Qt::KeyboardModifiers m = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, k, m);
    QCoreApplication::sendEvent(w, &press);
}

// The borders dialog, opened if it is not.
FrmBorder* borders(Program& pg)
{
    if (pg.main->textCommands().borderDialog() == nullptr)
        pg.command(ToolButton::Borders);
    return pg.main->textCommands().borderDialog();
}

} // namespace

using WindowFaults = ProgramTest;

// Left open during Undo, Redo and Open, the borders dialog showed the old
// widths, and its OK wrote them back over the restored image.
TEST_F(WindowFaults, TheBordersDialogFollowsUndoRedoAndOpen)
{
    pg.noHints();
    ImageModel file;
    file.mSetDefaults(3);
    file.params.pnBorderSize = {7, 7, 7, 7};
    storeImageSize(file.params, {260, 200});
    ASSERT_TRUE(SaveData(pg.dir.filePath("b7.obp").toStdString(), file.params).ok);

    FrmBorder* dlg = borders(pg);
    ASSERT_NE(dlg, nullptr);
    dlg->txtBorder(0)->setText("5");
    dlg->cmdOK_Click();
    settle();
    ASSERT_EQ(p.pnBorderSize[0], 5);

    pg.command(ToolButton::Undo);
    EXPECT_EQ(dlg->txtBorder(0)->text(), " 0");
    // OK now keeps the undone state: nothing of before is written back.
    dlg->cmdOK_Click();
    EXPECT_EQ(p.pnBorderSize[0], 0);
    pg.command(ToolButton::Redo);
    EXPECT_EQ(dlg->txtBorder(0)->text(), " 5");

    ASSERT_TRUE(m.fileCommands().openFile(pg.dir.filePath("b7.obp")));
    settle();
    for (int b = 0; b < 4; ++b)
        EXPECT_EQ(dlg->txtBorder(b)->text(), " 7") << b;
}

// Help opened from the modal JPEG quality dialog could not be used until
// the dialog closed: while it is up, help belongs to it (Qt blocks every
// window outside the modal one), and afterwards help stays open.
TEST_F(WindowFaults, HelpIsUsableFromAModalDialog)
{
    bool checked = false;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        control<QPushButton>(modal, "cmdHelp")->click();
        FrmHelp* help = m.helpWindow();
        ASSERT_NE(help, nullptr);
        EXPECT_TRUE(help->isVisible());
        EXPECT_EQ(help->topic(), 13);
        EXPECT_EQ(help->parentWidget(), modal) << "help outside the modal dialog is blocked";
        checked = true;
        control<QPushButton>(modal, "cmdCancel")->click();
    });
    m.fileCommands().showQualityDialog();
    settle();
    ASSERT_TRUE(checked);
    ASSERT_NE(m.helpWindow(), nullptr);
    EXPECT_TRUE(m.helpWindow()->isVisible()) << "help stays open after the dialog";
    EXPECT_EQ(m.helpWindow()->parentWidget(), &m);
    // Help opened with no modal dialog up belongs to the main window.
    m.showHelp(0);
    EXPECT_EQ(m.helpWindow()->parentWidget(), &m);
}

// Enter on a focused button clicked OK instead of that button.
TEST_F(WindowFaults, EnterClicksTheFocusedButtonAndOkOnlyWithoutOne)
{
    pg.noHints();
    FrmBorder* dlg = borders(pg);
    ASSERT_NE(dlg, nullptr);
    dlg->activateWindow();
    dlg->txtBorder(0)->setText("3");
    const int shots = pg.state.history.shots();

    // Help focused: Enter opens topic 11, OK is not clicked.
    QPushButton* help = control<QPushButton>(dlg, "cmdHelp");
    help->setFocus();
    QApplication::setActiveWindow(dlg);
    ASSERT_EQ(QApplication::focusWidget(), help);
    key(help, Qt::Key_Return);
    settle();
    ASSERT_NE(m.helpWindow(), nullptr);
    EXPECT_EQ(m.helpWindow()->topic(), 11);
    EXPECT_EQ(pg.state.history.shots(), shots) << "OK took a shot";

    // A Color button focused: Enter points the picker at that border.
    dlg = borders(pg);
    QPushButton* colour = control<QPushButton>(dlg, "cmdColor2");
    QApplication::setActiveWindow(dlg);
    colour->setFocus();
    key(colour, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(pg.state.v().pnBorderIndex, 2);
    EXPECT_EQ(pg.state.history.shots(), shots);

    // The focus in a width field: Enter is OK.
    dlg->txtBorder(0)->setFocus();
    key(dlg->txtBorder(0), Qt::Key_Return);
    settle();
    EXPECT_EQ(pg.state.history.shots(), shots + 1);
}

// A window opened at a stored place off the screen (-1, -20 pixels) put its
// title bar out of reach under a window manager's frame.
TEST_F(WindowFaults, TitleBarsStayOnTheScreen)
{
    const StandInFrame wm(QMargins(1, 20, 1, 5));
    pg.noHints();
    ImageModel file;
    file.mSetDefaults(3);
    storeImageSize(file.params, {260, 200});
    file.params.pnImageLeft = -1 * kFileTwipsPerPixel;
    file.params.pnImageTop = -20 * kFileTwipsPerPixel;
    ASSERT_TRUE(SaveData(pg.dir.filePath("off.obp").toStdString(), file.params).ok);
    ASSERT_TRUE(m.fileCommands().openFile(pg.dir.filePath("off.obp")));
    settle();
    FrmPicture* pic = m.pictureWindow();
    const QRect screen = pic->screen()->availableVirtualGeometry();
    const QRect framed = framedGeometry(pic);
    EXPECT_GE(framed.top(), screen.top()) << "the title bar is above the screen";
    EXPECT_GT(framed.right(), screen.left());
    EXPECT_EQ(pic->size(), QSize(260, 200));

    // Any window moved off the top is brought back once its frame is
    // known (its frame changes as a window manager frames it).
    QWidget* main = &m;
    main->move(200, -300);
    setStandInFrame(QMargins(2, 24, 2, 2));
    QMoveEvent moved(main->pos(), main->pos());
    QCoreApplication::sendEvent(main, &moved);
    settle();
    EXPECT_GE(framedGeometry(main).top(), screen.top());
}

// The size label was white on light patterns: it has a dark backing.
TEST_F(WindowFaults, TheSizeLabelReadsOnALightPattern)
{
    p.pnPattern = kPlainBackground;
    p.plColor[2] = {255, 255, 255};
    pg.command(ToolButton::Show);
    FrmPicture* pic = m.pictureWindow();
    auto* label = control<QLabel>(pic, "lblSize");
    ASSERT_TRUE(label->isVisible());
    const QImage seen = control(pic, "picShow")->grab(label->geometry()).toImage();
    int dark = 0;
    for (int y = 0; y < seen.height(); ++y)
        for (int x = 0; x < seen.width(); ++x)
            dark += qGray(seen.pixel(x, y)) < 160;
    EXPECT_GT(dark, seen.width() * seen.height() / 3) << "white text needs a dark backing";
    // Hidden, it leaves no backing on the picture.
    m.toggleImageSize();
    EXPECT_FALSE(label->isVisible());
}

// Under openbox the title " Invalid Image Size)" was cut off and message
// boxes offered minimise and maximise.
TEST_F(WindowFaults, MessageBoxesShowTheirWholeTitleAndOnlyACloseBox)
{
    for (const char* title : {" Invalid Image Size)", " Ombrix", " Save Parameter Settings As"}) {
        QMessageBox box;
        box.setWindowTitle(title);
        box.setText("Enter image width.");
        box.setIcon(QMessageBox::Warning);
        box.setStandardButtons(QMessageBox::Ok);
        prepareMessageBox(box);
        box.show();
        settle();
        const Qt::WindowFlags buttons = Qt::CustomizeWindowHint | Qt::WindowMinimizeButtonHint |
                                        Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint;
        EXPECT_EQ(box.windowFlags() & buttons, Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint)
            << title;
        EXPECT_GE(box.width(), titleBarWidth(title)) << title;
        EXPECT_GT(titleBarWidth(title), box.fontMetrics().horizontalAdvance(title)) << title;
        box.close();
    }
}

// The font list named a family once per foundry that ships it.
TEST_F(WindowFaults, TheFontListNamesEachFamilyOnce)
{
    const QStringList once = FrmTextProp::familiesOnce(
        {"DejaVu Sans [Foundry A]", "DejaVu Sans [Foundry B]", "Liberation Sans",
         "liberation sans [Other]", "Noto [Sans] Mono", "Arial"});
    EXPECT_EQ(once, QStringList({"DejaVu Sans", "Liberation Sans", "Noto [Sans] Mono", "Arial"}));
    QStringList installed = FrmTextProp::fontList();
    EXPECT_EQ(installed.removeDuplicates(), 0);
    for (const QString& f : installed)
        EXPECT_FALSE(f.endsWith(']')) << f.toStdString();
}

} // namespace ombrix::test
