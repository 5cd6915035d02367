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
#include <QDir>
#include <QImage>

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
        EXPECT_EQ(checkedItem(w), r.checked) << r.tile << "/" << r.style;
        EXPECT_EQ(w.item(2)->isVisible(), r.readable && r.stretch) << r.tile << "/" << r.style;
        EXPECT_TRUE(p.prompter.asked.empty()); // start-up asks nothing
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
    const QImage shown = p.main->pictureWindow()->pictures().picShow.image().copy();
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
        EXPECT_EQ(p.main->pictureWindow()->pictures().picShow.image(), shown);
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
    EXPECT_EQ(p.prompter.asked[0].text, "desktop said no");
    // Titled as every message box of the program, with the leading blank.
    for (const Question& q : p.prompter.asked)
        EXPECT_EQ(q.title, " Ombrix");
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
    EXPECT_EQ(p.prompter.asked[2].title, " Ombrix");
}

} // namespace
