// SPDX-License-Identifier: GPL-3.0-or-later
// The keyboard, driven by key events on the real windows: each command's
// key triggers what its button triggers, in the main window and the image
// window alike; F1 opens the help of the focused window; Escape closes the
// dialogs; each button's tooltip names its key.
#include "io/param_file.h"
#include "ui/help/frm_hint.h"
#include "ui/main/frm_dim.h"
#include "ui/main/keys.h"
#include "ui/picture/frm_picture.h"
#include "ui/program.h"
#include "ui/text/frm_border.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

namespace ombrix::test
{

namespace
{

// Presses `key` in `window` as the window system would deliver it to the
// focused control, the window being the active one.
void press(QWidget* window, const QKeySequence& key)
{
    window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    settle();
    QWidget* target = window->focusWidget() != nullptr ? window->focusWidget() : window;
    const QKeyCombination k = key[0];
    QTest::keyClick(target, k.key(), k.keyboardModifiers());
    settle();
}

} // namespace

TEST(Keys, EachCommandKeyTriggersItsButtonInBothWindows)
{
    Program pg;
    FrmMain& main = *pg.main;
    QWidget* picture = main.pictureWindow();
    ASSERT_NE(picture, nullptr);
    const ToolButton keyed[] = {ToolButton::New,   ToolButton::Open, ToolButton::Copy,
                                ToolButton::Undo,  ToolButton::Redo, ToolButton::Show,
                                ToolButton::Resize};
    for (QWidget* window : {static_cast<QWidget*>(&main), picture}) {
        for (ToolButton b : keyed) {
            QAction* action = main.button(b);
            const QList<QKeySequence> keys = commandKeys(b);
            ASSERT_FALSE(keys.isEmpty()) << toolbarRow(b).key;
            EXPECT_EQ(action->shortcuts(), keys) << toolbarRow(b).key;
            // The tooltip names the first key: "Copy Image (Ctrl+C)".
            EXPECT_EQ(action->toolTip(),
                      QString("%1 (%2)").arg(toolbarRow(b).tooltip,
                                             keys.first().toString(QKeySequence::NativeText)));
            for (const QKeySequence& key : keys) {
                action->setEnabled(true);
                QSignalSpy spy(action, &QAction::triggered);
                press(window, key);
                EXPECT_EQ(spy.count(), 1)
                    << toolbarRow(b).key << " " << key.toString().toStdString() << " in "
                    << window->objectName().toStdString();
                if (FrmDim* dim = main.fileCommands().sizeDialog())
                    dim->close();
            }
        }
    }
    // Help names F1 and Save Ctrl+S, which are not their buttons' shortcuts:
    // F1 finds the focused window's help, and the Save button pops up a menu
    // whose items have keys of their own.
    EXPECT_TRUE(main.button(ToolButton::Help)->toolTip().endsWith("(F1)"));
    EXPECT_TRUE(main.button(ToolButton::Save)->toolTip().endsWith("(Ctrl+S)"));
    EXPECT_TRUE(main.button(ToolButton::Save)->shortcuts().isEmpty());
    EXPECT_TRUE(commandKeys(ToolButton::Wallpaper).isEmpty());
}

TEST(Keys, StandardKeysDoTheirWorkFromTheMainAndTheImageWindow)
{
    Program pg;
    FrmMain& main = *pg.main;
    FrmPicture* picture = main.pictureWindow();
    ASSERT_NE(picture, nullptr);
    const QList<QKeySequence> undo = commandKeys(ToolButton::Undo);
    const QList<QKeySequence> redo = commandKeys(ToolButton::Redo);
    EXPECT_TRUE(undo.contains(QKeySequence("Ctrl+Z")));
    EXPECT_TRUE(redo.contains(QKeySequence("Ctrl+Shift+Z")) &&
                redo.contains(QKeySequence("Ctrl+Y")));

    // A change and a Show make a shot; Ctrl+Z takes it back from either
    // window, and both redo keys bring it again.
    // (The toolbar watch enables Undo and Redo as the history allows.)
    const Integer before = pg.state.p().pnPattern;
    main.optPattern_Click(kLinearGradient);
    press(&main, commandKeys(ToolButton::Show).first());
    EXPECT_EQ(pg.state.p().pnPattern, kLinearGradient);
    main.tmrWatch_Timer();
    press(picture, QKeySequence("Ctrl+Z"));
    EXPECT_EQ(pg.state.p().pnPattern, before);
    main.tmrWatch_Timer();
    press(&main, QKeySequence("Ctrl+Shift+Z"));
    EXPECT_EQ(pg.state.p().pnPattern, kLinearGradient);
    main.tmrWatch_Timer();
    press(&main, QKeySequence("Ctrl+Z"));
    main.tmrWatch_Timer();
    press(picture, QKeySequence("Ctrl+Y"));
    EXPECT_EQ(pg.state.p().pnPattern, kLinearGradient);

    // Ctrl+C in the image window copies the image.
    QApplication::clipboard()->clear();
    press(picture, QKeySequence::Copy);
    EXPECT_FALSE(QApplication::clipboard()->image().isNull());

    // Ctrl+O asks for a file; Ctrl+Shift+S for a name to save under.
    pg.prompter.fileName.clear();
    press(picture, QKeySequence("Ctrl+O"));
    EXPECT_EQ(pg.prompter.lastDialogTitle, " Open Parameter Settings File");
    const QString file = pg.dir.filePath("keys.obp");
    pg.prompter.fileName = file;
    press(&main, QKeySequence("Ctrl+Shift+S"));
    EXPECT_EQ(pg.prompter.lastDialogTitle, " Save Parameter Settings As");
    ASSERT_TRUE(QFileInfo(file).isFile());

    // Ctrl+S then writes over that file without a dialog, from either window.
    pg.prompter.lastDialogTitle.clear();
    main.optPattern_Click(kShadedCircle);
    press(picture, QKeySequence("Ctrl+S"));
    EXPECT_TRUE(pg.prompter.lastDialogTitle.isEmpty());
    ImageParams read;
    ASSERT_TRUE(ReadData(file.toStdString(), read).ok);
    EXPECT_EQ(read.pnPattern, kShadedCircle);
    // A file that has gone is asked for again, as Save As does.
    QFile::remove(file);
    press(&main, QKeySequence("Ctrl+S"));
    EXPECT_EQ(pg.prompter.lastDialogTitle, " Save Parameter Settings As");
    EXPECT_TRUE(QFileInfo(file).isFile());

    // Ctrl+N and Ctrl+R open the image size dialog in their modes; Escape
    // closes it as Cancel does.
    press(&main, QKeySequence("Ctrl+N"));
    // The dialog deletes itself once closed: held by a guard, not a pointer.
    QPointer<FrmDim> dim = main.fileCommands().sizeDialog();
    ASSERT_TRUE(dim != nullptr && dim->isVisible());
    EXPECT_EQ(dim->windowTitle(), " New Image");
    press(dim, QKeySequence(Qt::Key_Escape));
    EXPECT_TRUE(dim.isNull() || !dim->isVisible());
    // (The dialog is made anew each time it is shown.)
    press(picture, QKeySequence("Ctrl+R"));
    dim = main.fileCommands().sizeDialog();
    ASSERT_TRUE(dim != nullptr && dim->isVisible());
    EXPECT_EQ(dim->windowTitle(), " Resize");
    press(dim, QKeySequence(Qt::Key_Escape));
    EXPECT_TRUE(dim.isNull() || !dim->isVisible());

    // Ctrl+Q asks the exit question; No keeps the program running.
    pg.prompter.asked.clear();
    pg.prompter.answers.push_back(Answer::Cancel);
    press(picture, QKeySequence("Ctrl+Q"));
    ASSERT_FALSE(pg.prompter.asked.empty());
    EXPECT_TRUE(main.isVisible());
}

TEST(Keys, F1OpensTheFocusedWindowsHelpAndEscapeClosesDialogs)
{
    Program pg;
    FrmMain& main = *pg.main;
    press(&main, QKeySequence(Qt::Key_F1));
    FrmHelp* help = main.helpWindow();
    ASSERT_TRUE(help != nullptr && help->isVisible());
    EXPECT_EQ(help->topic(), 0);
    press(help, QKeySequence(Qt::Key_Escape));
    EXPECT_FALSE(help->isVisible());

    // The image size dialog's own topic, from a field of it.
    press(&main, QKeySequence("Ctrl+R"));
    QPointer<FrmDim> dim = main.fileCommands().sizeDialog();
    ASSERT_TRUE(dim != nullptr && dim->isVisible());
    control<QLineEdit>(dim, "txtWidth")->setFocus();
    press(dim, QKeySequence(Qt::Key_F1));
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->topic(), 9);
    press(dim, QKeySequence(Qt::Key_Escape));
    EXPECT_TRUE(dim.isNull() || !dim->isVisible());

    // The borders dialog's topic, and Escape as its Close button.
    main.Toolbar1_ButtonClick(ToolButton::Borders);
    QPointer<FrmBorder> borders = main.textCommands().borderDialog();
    ASSERT_TRUE(borders != nullptr && borders->isVisible());
    press(borders, QKeySequence(Qt::Key_F1));
    EXPECT_EQ(help->topic(), 11);
    press(borders, QKeySequence(Qt::Key_Escape));
    EXPECT_TRUE(borders.isNull() || !borders->isVisible());

    // In the image window F1 is the program's help, as in the main window.
    help->showTopic(13);
    press(main.pictureWindow(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(help->topic(), 0);
}

} // namespace ombrix::test
