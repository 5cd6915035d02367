// The Wall menu in the desktop program, over a back end that records what
// it is asked and answers as the test says: the start-up marks, Tile,
// Center and Stretch with their files, Restore, and failures told to the
// user with the desktop left as it was.
#include "gui/program.h"
#include "main/ui_wallpaper_commands.h"
#include "picture/frm_picture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QImage>

using namespace ombrix;
using namespace ombrix::test;

namespace
{

struct Recorder final : WallpaperBackend {
    DesktopValues start;
    bool readable = true, stretch = true, accept = true;
    std::vector<std::pair<std::string, Arrangement>> applied;
    int restores = 0;

    std::string desktopName() const override { return "Test"; }
    WallpaperResult readCurrent() override
    {
        return readable ? WallpaperResult::success() : WallpaperResult::failure("no desktop");
    }
    DesktopValues values() const override { return readable ? start : DesktopValues{}; }
    bool canStretch() const override { return stretch; }
    WallpaperResult apply(const std::string& file, Arrangement a) override
    {
        applied.emplace_back(file, a);
        return accept ? WallpaperResult::success() : WallpaperResult::failure("desktop said no");
    }
    WallpaperResult restore() override
    {
        ++restores;
        return accept ? WallpaperResult::success() : WallpaperResult::failure("desktop said no");
    }
};

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
        const char* tile;
        const char* style;
        bool readable, stretch;
        int checked;
        bool stretchShown;
    } rows[] = {
        {"1", "0", true, true, 0, true},     {"0", "0", true, true, 1, true},
        {"0", "2", true, true, 2, true},     {"1", "Err", true, true, 0, true},
        {"0", "zoom", true, true, -1, true}, {"1", "0", true, false, 0, false},
        {"1", "0", false, true, -1, false},
    };
    for (const auto& r : rows) {
        Program p;
        auto backend = std::make_unique<Recorder>();
        backend->start = {"/start.png", r.tile, r.style};
        backend->readable = r.readable;
        backend->stretch = r.stretch;
        WallpaperCommands& w = p.main->wallpaper();
        w.mGetWallPaperKeys(std::move(backend));
        EXPECT_EQ(checkedItem(w), r.checked) << r.tile << "/" << r.style;
        EXPECT_EQ(w.item(2)->isVisible(), r.stretchShown) << r.tile << "/" << r.style;
        EXPECT_TRUE(p.prompter.asked.empty()); // start-up asks nothing
    }
}

TEST(WallMenu, EachArrangementAppliesANewFileWithTheTextsAndRestoreGoesBack)
{
    Program p;
    auto owned = std::make_unique<Recorder>();
    Recorder& backend = *owned;
    backend.start = {"/start.png", "1", "Err"};
    WallpaperCommands& w = p.main->wallpaper();
    w.folder = p.dir.filePath("walls").toStdString();
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
    EXPECT_EQ(QDir(QString::fromStdString(w.folder)).entryList(QDir::Files).size(), 1);

    // Restore: "Err" as the style matches no item here, unlike at start-up.
    w.restoreItem()->trigger();
    EXPECT_EQ(backend.restores, 1);
    EXPECT_EQ(checkedItem(w), -1);
    EXPECT_TRUE(p.prompter.asked.empty());
}

TEST(WallMenu, AWallpaperThatDidNotTakeIsToldAndChangesNothing)
{
    Program p;
    auto owned = std::make_unique<Recorder>();
    Recorder& backend = *owned;
    backend.start = {"/start.png", "0", "0"};
    backend.accept = false;
    WallpaperCommands& w = p.main->wallpaper();
    w.folder = p.dir.filePath("walls").toStdString();
    w.mGetWallPaperKeys(std::move(owned));

    w.item(0)->trigger();
    ASSERT_EQ(p.prompter.asked.size(), 1u);
    EXPECT_EQ(p.prompter.asked[0].text, "desktop said no");
    EXPECT_EQ(checkedItem(w), 1); // still the desktop's Center
    EXPECT_TRUE(QDir(QString::fromStdString(w.folder)).entryList(QDir::Files).isEmpty());
    w.restoreItem()->trigger();
    EXPECT_EQ(p.prompter.asked.size(), 2u);

    // A folder that cannot be made: told, and the desktop is not asked.
    QFile blocker(p.dir.filePath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    w.folder = (blocker.fileName() + "/walls").toStdString();
    w.item(2)->trigger();
    ASSERT_EQ(p.prompter.asked.size(), 3u);
    EXPECT_TRUE(p.prompter.asked[2].text.startsWith("The wallpaper file could not be written"));
    EXPECT_EQ(backend.applied.size(), 1u);
}

} // namespace
