// SPDX-License-Identifier: GPL-3.0-or-later
// The keyboard, driven by key events on the real windows.
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
#include <QLineEdit>
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

using Keys = ProgramTest;

TEST_F(Keys, EachCommandKeyTriggersItsButtonInBothWindows)
{
    QWidget* picture = m.pictureWindow();
    ASSERT_NE(picture, nullptr);
    const ToolButton keyed[] = {ToolButton::New,   ToolButton::Open, ToolButton::Copy,
                                ToolButton::Undo,  ToolButton::Redo, ToolButton::Show,
                                ToolButton::Resize};
    for (QWidget* window : {static_cast<QWidget*>(&m), picture}) {
        for (ToolButton b : keyed) {
            QAction* action = m.button(b);
            const QList<QKeySequence> keys = commandKeys(b);
            ASSERT_FALSE(keys.isEmpty()) << toolbarRow(b).key;
            for (const QKeySequence& key : keys) {
                action->setEnabled(true);
                QSignalSpy spy(action, &QAction::triggered);
                press(window, key);
                EXPECT_EQ(spy.count(), 1)
                    << toolbarRow(b).key << " " << key.toString().toStdString() << " in "
                    << window->objectName().toStdString();
                if (FrmDim* dim = m.fileCommands().sizeDialog())
                    dim->close();
            }
        }
    }
    // Each tooltip names the first key.  Help names F1 and Save Ctrl+S, which
    // are not their buttons' shortcuts: F1 finds the focused window's help,
    // and the Save button pops up a menu whose items have keys of their own.
    EXPECT_EQ(m.button(ToolButton::Copy)->toolTip(), "Copy Image (Ctrl+C)");
    EXPECT_TRUE(m.button(ToolButton::Help)->toolTip().endsWith("(F1)"));
    EXPECT_TRUE(m.button(ToolButton::Save)->toolTip().endsWith("(Ctrl+S)"));
    EXPECT_TRUE(m.button(ToolButton::Save)->shortcuts().isEmpty());
    EXPECT_TRUE(commandKeys(ToolButton::Wallpaper).isEmpty());
}

// The bindings every desktop shares, and the keys that have no button.
TEST_F(Keys, StandardKeysDoTheirWorkFromTheMainAndTheImageWindow)
{
    FrmPicture* picture = m.pictureWindow();
    ASSERT_NE(picture, nullptr);
    const QList<QKeySequence> redo = commandKeys(ToolButton::Redo);
    EXPECT_TRUE(commandKeys(ToolButton::Undo).contains(QKeySequence("Ctrl+Z")));
    EXPECT_TRUE(redo.contains(QKeySequence("Ctrl+Shift+Z")) &&
                redo.contains(QKeySequence("Ctrl+Y")));

    // Ctrl+C in the image window copies the image.
    QApplication::clipboard()->clear();
    press(picture, QKeySequence::Copy);
    EXPECT_FALSE(QApplication::clipboard()->image().isNull());

    // Ctrl+Shift+S asks for a name to save under; Ctrl+S then writes over
    // that file without a dialog, from either window.
    const QString file = pg.dir.filePath("keys.obp");
    pg.prompter.fileName = file;
    press(&m, QKeySequence("Ctrl+Shift+S"));
    EXPECT_EQ(pg.prompter.lastDialogTitle, " Save Parameter Settings As");
    ASSERT_TRUE(QFileInfo(file).isFile());
    pg.prompter.lastDialogTitle.clear();
    m.optPattern_Click(kShadedCircle);
    press(picture, QKeySequence("Ctrl+S"));
    EXPECT_TRUE(pg.prompter.lastDialogTitle.isEmpty());
    ImageParams read;
    ASSERT_TRUE(ReadData(file.toStdString(), read).ok);
    EXPECT_EQ(read.pnPattern, kShadedCircle);
    // A file that has gone is asked for again, as Save As does.
    QFile::remove(file);
    press(&m, QKeySequence("Ctrl+S"));
    EXPECT_EQ(pg.prompter.lastDialogTitle, " Save Parameter Settings As");
    EXPECT_TRUE(QFileInfo(file).isFile());

    // Ctrl+Q asks the exit question; Cancel keeps the program running.
    pg.prompter.asked.clear();
    pg.prompter.answers.push_back(Answer::Cancel);
    press(picture, QKeySequence("Ctrl+Q"));
    ASSERT_FALSE(pg.prompter.asked.empty());
    EXPECT_TRUE(m.isVisible());
}

TEST_F(Keys, F1OpensTheFocusedWindowsHelpAndEscapeClosesDialogs)
{
    press(&m, QKeySequence(Qt::Key_F1));
    FrmHelp* help = m.helpWindow();
    ASSERT_TRUE(help != nullptr && help->isVisible());
    EXPECT_EQ(help->topic(), 0);
    press(help, QKeySequence(Qt::Key_Escape));
    EXPECT_FALSE(help->isVisible());

    // The image size dialog's own topic, from a field of it.
    press(&m, QKeySequence("Ctrl+R"));
    QPointer<FrmDim> dim = m.fileCommands().sizeDialog();
    ASSERT_TRUE(dim != nullptr && dim->isVisible());
    control<QLineEdit>(dim, "txtWidth")->setFocus();
    press(dim, QKeySequence(Qt::Key_F1));
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->topic(), 9);
    press(dim, QKeySequence(Qt::Key_Escape));
    EXPECT_TRUE(dim.isNull() || !dim->isVisible());

    // The borders dialog's topic, and Escape as its Close button.
    m.Toolbar1_ButtonClick(ToolButton::Borders);
    QPointer<FrmBorder> borders = m.textCommands().borderDialog();
    ASSERT_TRUE(borders != nullptr && borders->isVisible());
    press(borders, QKeySequence(Qt::Key_F1));
    EXPECT_EQ(help->topic(), 11);
    press(borders, QKeySequence(Qt::Key_Escape));
    EXPECT_TRUE(borders.isNull() || !borders->isVisible());

    // In the image window F1 is the program's help, as in the main window.
    help->showTopic(13);
    press(m.pictureWindow(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(help->topic(), 0);
}

} // namespace ombrix::test
