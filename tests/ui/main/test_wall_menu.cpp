// SPDX-License-Identifier: GPL-3.0-or-later
// The Wall menu in the desktop program, over a back end that records what
// it is asked: the start-up marks, Tile, Center and Stretch with their
// files, Restore, and failures told to the user with the desktop, the mark
// and the files left as they were.
#include "ui/main/wallpaper_commands.h"
#include "ui/picture/frm_picture.h"
#include "ui/program.h"
#include "wallpaper/recording_backend.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QHelpEvent>
#include <QImage>
#include <QMenu>
#include <QTest>
#include <QTextDocumentFragment>
#include <QToolTip>

using namespace ombrix;
using namespace ombrix::test;

namespace
{

int checkedItem(WallpaperCommands& w)
{
    for (int i = 0; i < 3; ++i)
        if (w.item(i)->isChecked())
            return i;
    return -1;
}

// Which of Tile, Center, Stretch and Restore can be chosen: "1110" for all
// but Restore.
std::string enabled(WallpaperCommands& w)
{
    std::string on;
    for (QAction* a : {w.item(0), w.item(1), w.item(2), w.restoreItem()})
        on += a->isEnabled() ? '1' : '0';
    return on;
}

TEST(WallMenu, StartUpMarksTheArrangementShownAndStretchWhereItCan)
{
    const struct {
        const char *tile, *style;
        bool readable, stretch;
        int checked;
    } rows[] = {
        {"1", "0", true, true, 0},   {"0", "0", true, true, 1},  {"0", "2", true, true, 2},
        {"1", "Err", true, true, 0}, {"0", "5", true, true, -1}, {"1", "0", true, false, 0},
        {"1", "0", false, true, -1},
    };
    for (const auto& r : rows) {
        Program p;
        auto backend = std::make_unique<RecordingBackend>();
        backend->start = {"/start.png", r.tile, r.style};
        backend->readable = r.readable;
        backend->stretch = r.stretch;
        WallpaperCommands& w = p.main->wallpaper();
        w.mGetWallPaperKeys(std::move(backend));
        SCOPED_TRACE(std::string(r.tile) + "/" + r.style);
        EXPECT_EQ(checkedItem(w), r.checked);
        EXPECT_EQ(w.item(2)->isVisible(), r.readable && r.stretch);
        EXPECT_TRUE(p.prompter.asked.empty()); // start-up asks nothing
        // Values unreadable at start-up: Restore says so and why.
        const QString why = w.restoreItem()->toolTip();
        EXPECT_EQ(w.restoreItem()->isEnabled(), r.readable);
        EXPECT_EQ(why.contains("could not be read") && why.contains("desktop said no"),
                  !r.readable);
        EXPECT_TRUE(w.item(0)->isEnabled());
    }
}

TEST(WallMenu, EachArrangementANewFileWithTheTextsRestoreAndFailuresTold)
{
    Program p;
    auto owned = std::make_unique<RecordingBackend>();
    RecordingBackend& backend = *owned;
    backend.start = {"/start.png", "1", "Err"};
    WallpaperCommands& w = p.main->wallpaper();
    w.folder = p.dir.filePath("walls").toStdString();
    const QDir folder(p.dir.filePath("walls"));
    w.mGetWallPaperKeys(std::move(owned));
    ImageParams& params = p.state.p();
    params.psText[0] = "Hello";
    params.psTextFont[0] = "Arial";
    params.pnTextSize[0] = 28;
    params.pnTextLeft[0] = params.pnTextTop[0] = 10;
    params.plTextColor[0] = {255, 255, 255};
    const QImage shown = p.shown().copy();
    const QImage exported = p.main->pictureWindow()->exportImage();
    ASSERT_NE(exported, shown); // the texts are in

    for (int i : {2, 1, 0}) {
        w.item(i)->trigger();
        ASSERT_EQ(backend.applied.size(), static_cast<size_t>(3 - i));
        EXPECT_EQ(static_cast<int>(backend.applied.back().second), i);
        EXPECT_EQ(checkedItem(w), i);
        // The file holds the image with its texts; the window is untouched.
        const QImage file(QString::fromStdString(backend.applied.back().first));
        EXPECT_EQ(file.convertToFormat(QImage::Format_RGB32),
                  exported.convertToFormat(QImage::Format_RGB32));
        EXPECT_EQ(p.shown(), shown);
    }
    EXPECT_NE(backend.applied[0].first, backend.applied[1].first);
    EXPECT_EQ(folder.entryList(QDir::Files).size(), 1);

    // Restore: "Err" as the style matches no item here, unlike at start-up;
    // the program's files, no longer shown, go.
    w.restoreItem()->trigger();
    EXPECT_EQ(backend.restores, 1);
    EXPECT_EQ(checkedItem(w), -1);
    EXPECT_TRUE(p.prompter.asked.empty());
    EXPECT_TRUE(folder.entryList(QDir::Files).isEmpty());

    // A desktop that refuses: told, the mark and the files stay.
    backend.accept = false;
    w.item(1)->trigger();
    w.restoreItem()->trigger();
    ASSERT_EQ(p.prompter.asked.size(), 2u);
    // The refusal names the session it came from.
    EXPECT_EQ(p.prompter.asked[0].text, "Wallpaper through Test: desktop said no");
    EXPECT_EQ(checkedItem(w), -1);
    EXPECT_TRUE(folder.entryList(QDir::Files).isEmpty());

    // A change that does not last (sway forgets it at its next reload) is
    // made, and the user is told how to keep it.
    backend.accept = true;
    backend.note = "Add this line to the sway configuration to keep it.";
    w.item(0)->trigger();
    EXPECT_EQ(checkedItem(w), 0);
    ASSERT_EQ(p.prompter.asked.size(), 3u);
    EXPECT_EQ(p.prompter.asked[2].text, QString::fromStdString(backend.note));
    // Titled as every message box of the program, with the leading blank.
    for (const Question& q : p.prompter.asked)
        EXPECT_EQ(q.title, " Ombrix");
}

// A tooltip's words, without the paragraph that makes it wrap.
QString words(const QString& tip)
{
    return QTextDocumentFragment::fromHtml(tip).toPlainText();
}

// What the menu's user sees when hovering an item: the tooltip QMenu shows.
QString hoverTip(QMenu* menu, QAction* action)
{
    const QPoint at = menu->actionGeometry(action).center();
    QHelpEvent help(QEvent::ToolTip, at, menu->mapToGlobal(at));
    QApplication::sendEvent(menu, &help);
    return QToolTip::isVisible() ? words(QToolTip::text()) : QString();
}

TEST(WallMenu, ItemsThatCannotWorkAreDisabledWithTheReasonAndNothingIsTried)
{
    Program p;
    auto owned = std::make_unique<RecordingBackend>();
    RecordingBackend& backend = *owned;
    backend.start = {"/start.png", "1", "0"};
    backend.name = "sway";
    backend.cannotApply =
        "This is a sway session, but SWAYSOCK is not set. Start Ombrix from within sway.";
    WallpaperCommands& w = p.main->wallpaper();
    w.folder = p.dir.filePath("walls").toStdString();
    w.mGetWallPaperKeys(std::move(owned));
    // Nothing can be set, so nothing can be put back either.
    EXPECT_EQ(enabled(w), "0000");
    for (QAction* a : {w.item(0), w.item(1), w.item(2), w.restoreItem()})
        EXPECT_EQ(words(a->toolTip()).toStdString(), backend.cannotApply);

    // The disabled item's reason is what the open menu shows on hover.
    QMenu* menu = w.menu();
    menu->popup(QPoint(0, 0));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    EXPECT_EQ(hoverTip(menu, w.item(1)).toStdString(), backend.cannotApply);
    menu->hide();

    // Asked from code all the same: refused with the reason, no file, no
    // call to the desktop.
    EXPECT_FALSE(w.mSetWallpaper("1", "0"));
    EXPECT_FALSE(w.mRestoreWallPaper());
    EXPECT_TRUE(backend.applied.empty());
    EXPECT_EQ(backend.restores, 0);
    ASSERT_EQ(p.prompter.asked.size(), 2u);
    EXPECT_EQ(p.prompter.asked[0].text.toStdString(), backend.cannotApply);
    EXPECT_TRUE(QDir(p.dir.filePath("walls")).entryList(QDir::Files).isEmpty());

    // The session changes while the program runs (sway reachable now): the
    // items come back when the menu is next opened, without a tooltip.
    backend.cannotApply.clear();
    menu->popup(QPoint(0, 0));
    menu->hide();
    EXPECT_EQ(enabled(w), "1111");
    EXPECT_TRUE(w.item(0)->toolTip() == "Tile"); // the caption, Qt's default
}

TEST(WallMenu, RestoreDisabledWhenNothingCanBePutBackAndReasonsNameTheSession)
{
    // The portal in a sandbox: setting works, the start-up file was not
    // readable.  Its reason does not say which session it is about.
    {
        Program p;
        auto owned = std::make_unique<RecordingBackend>();
        RecordingBackend& backend = *owned;
        backend.name = "the desktop portal";
        backend.cannotRestore = "The wallpaper found at start-up cannot be read here.";
        WallpaperCommands& w = p.main->wallpaper();
        w.mGetWallPaperKeys(std::move(owned));
        EXPECT_EQ(enabled(w), "1110");
        EXPECT_EQ(words(w.restoreItem()->toolTip()),
                  "Wallpaper through the desktop portal: The wallpaper found at start-up "
                  "cannot be read here.");
        EXPECT_FALSE(w.mRestoreWallPaper());
        EXPECT_EQ(backend.restores, 0);
        ASSERT_EQ(p.prompter.asked.size(), 1u);
        EXPECT_EQ(p.prompter.asked[0].text, words(w.restoreItem()->toolTip()));
    }
    // No session at all: the real refusing back end; every item disabled
    // with the words that name the session and what to do.
    {
        Program p;
        WallpaperCommands& w = p.main->wallpaper();
        w.mGetWallPaperKeys(makeWallpaperBackend(Session("river", "wayland", "wayland-1", "")));
        const QString why = QString::fromStdString(
            sessionSupport(Session("river", "wayland", "wayland-1", "")).why);
        ASSERT_FALSE(why.isEmpty());
        EXPECT_EQ(enabled(w), "0000");
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(words(w.item(i)->toolTip()), why); // not prefixed twice
        EXPECT_TRUE(p.prompter.asked.empty());
    }
}

} // namespace
