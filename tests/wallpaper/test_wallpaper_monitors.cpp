// SPDX-License-Identifier: GPL-3.0-or-later
// A picture per monitor, the wallpaper files' folders, and the pieces the
// program-started back ends stand on (sway's quoting and configuration,
// detached programs), without a desktop session.
#include "wallpaper/backends.h"
#include "wallpaper/processes.h"
#include "wallpaper/recording_backend.h"
#include "wallpaper/test_pictures.h"
#include "wallpaper/wallpaper.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <thread>

using namespace ombrix;
using namespace ombrix::test;

namespace
{

TEST(WallpaperMonitors, SpannedPictureHoldsEachMonitorAtItsSize)
{
    // A laptop below and right of a larger screen: the layout starts at the
    // topmost and leftmost corner, black where no monitor is.
    const std::vector<Monitor> ms{Monitor{"eDP-1", 40, 30, 6, 4}, Monitor{"HDMI-1", -8, 0, 8, 5}};
    const QImage span = composeSpannedPicture(ms, atItsSize);
    ASSERT_EQ(span.size(), QSize(54, 34));
    for (const Monitor& m : ms) {
        const QImage part = drawAt(m.width, m.height);
        for (int y = 0; y < m.height; ++y)
            for (int x = 0; x < m.width; ++x)
                ASSERT_EQ(span.pixel(m.x + 8 + x, m.y + y), part.pixel(x, y)) << m.name;
    }
    EXPECT_EQ(span.pixel(20, 20), qRgb(0, 0, 0));
    EXPECT_TRUE(monitorsAlike({Monitor{"a", 0, 0, 6, 4}, Monitor{"b", 6, 0, 6, 4}}));
    EXPECT_FALSE(monitorsAlike(ms));
    EXPECT_EQ(describeMonitor(ms[1]), "HDMI-1 8x5-8+0 scale 1");
}

TEST(WallpaperMonitors, EachDesktopGetsThePicturesItTakes)
{
    const std::vector<Monitor> differ{Monitor{"A", 0, 0, 6, 4}, Monitor{"B", 6, 0, 3, 5}};
    const std::vector<Monitor> alike{Monitor{"A", 0, 0, 6, 4}, Monitor{"B", 6, 0, 6, 4}};
    const struct {
        MonitorPictures kind;
        const std::vector<Monitor>* monitors;
        size_t one, each, spanned; // calls of apply, applyEach, applySpanned
        QSize size;                // the size of the file handed over
    } rows[] = {
        {MonitorPictures::One, &differ, 1, 0, 0, QSize(6, 4)},
        {MonitorPictures::Each, &differ, 0, 1, 0, QSize(6, 4)},
        {MonitorPictures::Spanned, &differ, 0, 0, 1, QSize(9, 5)},
        {MonitorPictures::Spanned, &alike, 1, 0, 0, QSize(6, 4)},
    };
    for (const auto& r : rows) {
        QTemporaryDir dir;
        const std::string folder = dir.path().toStdString();
        RecordingBackend b;
        b.pictures = r.kind;
        const WallpaperResult set = setMonitorWallpapers(b, *r.monitors, atItsSize, folder, {});
        ASSERT_TRUE(set.ok) << set.message;
        ASSERT_EQ(b.applied.size(), r.one);
        ASSERT_EQ(b.each.size(), r.each);
        ASSERT_EQ(b.spanned.size(), r.spanned);
        const std::string file = r.one    ? b.applied[0].first
                                 : r.each ? b.each[0][0].file
                                          : b.spanned[0];
        EXPECT_EQ(QImage(QString::fromStdString(file)).size(), r.size);
        if (r.each) {
            // One file per monitor, drawn at its size, all kept.
            ASSERT_EQ(b.each[0].size(), 2u);
            EXPECT_EQ(QImage(QString::fromStdString(b.each[0][1].file))
                          .convertToFormat(QImage::Format_RGB32),
                      drawAt(3, 5));
            EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
        }
        // Refused: no file of this attempt is left behind.
        RecordingBackend no;
        no.pictures = r.kind;
        no.accept = false;
        const int before = QDir(dir.path()).entryList(QDir::Files).size();
        EXPECT_FALSE(setMonitorWallpapers(no, *r.monitors, atItsSize, folder, {}).ok);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), before);
    }
}

TEST(WallpaperFiles, OnePlainFolderAndTheEarlierFolderCleanedUp)
{
    QTemporaryDir data;
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    const std::string folder = wallpaperFolder();
    EXPECT_EQ(folder, data.filePath("ombrix/wallpapers").toStdString());
    const QString legacy = QString::fromStdString(legacyWallpaperFolder());
    EXPECT_EQ(legacy, data.filePath("Ombrix/Ombrix"));
    ASSERT_TRUE(QDir().mkpath(legacy));
    for (const char* name : {"OmbrixWallpaper-1.bmp", "OmbrixWallpaper-startup.bmp"})
        ASSERT_TRUE(writeFile(legacy + "/" + name));
    RecordingBackend b;
    ASSERT_TRUE(setDesktopWallpaper(b, drawAt(4, 3), Arrangement::Tile, folder,
                                    {(legacy + "/OmbrixWallpaper-startup.bmp").toStdString()})
                    .ok);
    // The wallpaper found at start-up stays; the earlier folder's other
    // file goes.
    EXPECT_EQ(QDir(legacy).entryList(QDir::Files), QStringList{"OmbrixWallpaper-startup.bmp"});
    EXPECT_TRUE(QFile::exists(QString::fromStdString(b.applied[0].first)));
    ASSERT_TRUE(setDesktopWallpaper(b, drawAt(4, 3), Arrangement::Tile, folder, {}).ok);
    EXPECT_FALSE(QDir(legacy).exists()); // emptied, then removed with its parent
    EXPECT_FALSE(QDir(data.filePath("Ombrix")).exists());
    if (saved.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", saved);
}

TEST(WallpaperSway, FileNamesQuotedForSwayAndItsConfigurationRead)
{
    const struct {
        const char* path;
        const char* quoted;
    } rows[] = {
        {"/home/u/.local/share/ombrix/wallpapers/OmbrixWallpaper-1.bmp",
         R"q("/home/u/.local/share/ombrix/wallpapers/OmbrixWallpaper-1.bmp")q"},
        {"/a b/c'd\"e", R"q("/a\ b/c\'d\"e")q"},
        {"/$HOME;x,y/$(rm)", R"q("/\$HOME\;x\,y/\$\(rm\)")q"},
        {"/back\\slash/-lead", R"q("/back\\slash/-lead")q"},
        {"/Bilder/été", R"q("/Bilder/été")q"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(swayQuoted(r.path), r.quoted);

    const std::vector<SwayBackground> found = swayBackgrounds(
        "# output * bg /commented.png fill\n"
        "set $mod Mod4\n"
        "output * bg /usr/share/backgrounds/sway/Sway_Wallpaper_Blue_1920x1080.png fill\n"
        "  output \"HDMI-A-1\" background \"/a b/c'd.png\" tile #000000\n"
        "output eDP-1 scale 2\n"
        "output * bg '/later one.png' center\n");
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].output + "|" + found[0].file + "|" + found[0].mode,
              "*|/later one.png|center");
    EXPECT_EQ(found[1].output + "|" + found[1].file + "|" + found[1].mode,
              "HDMI-A-1|/a b/c'd.png|tile");
}

// Arguments reach a started program as they were, whatever they hold; a
// detached program runs on in a session of its own and is found by name.
TEST(WallpaperPrograms, ArgumentsArriveWholeAndDetachedProgramsAreFound)
{
    // sh runs on while its child sleeps, its own arguments unread.
    const std::vector<std::string> args{"-c", "sleep 1000; :", "sh", "a b'c\"d$HOME;e\\f\ng", "-x",
                                        "*"};
    const Detached d = startDetached("/bin/sh", args);
    ASSERT_NE(d.pid, 0) << d.why;
    const ProcessInfo p = processInfo(d.pid);
    EXPECT_EQ(p.arguments, args);
    EXPECT_NE(p.startTime, 0u);
    bool found = false;
    for (const ProcessInfo& q : runningProcesses("sh"))
        found = found || (q.pid == d.pid && q.arguments == args);
    EXPECT_TRUE(found);
    EXPECT_NE(::getsid(d.pid), ::getsid(0)); // a session of its own, not ours
    ::kill(-::getsid(d.pid), SIGTERM);       // sh and its sleep
    for (int i = 0; i < 100 && processInfo(d.pid).pid != 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(processInfo(d.pid).pid, 0);

    const Detached missing = startDetached("/nonexistent/swaybg", {});
    EXPECT_EQ(missing.pid, 0);
    EXPECT_NE(missing.why.find("No such file"), std::string::npos) << missing.why;

    const ProgramRun echo = runProgram("/bin/echo", {"-n", "$HOME; x"}, 5000);
    EXPECT_TRUE(echo.finished && echo.exitCode == 0);
    EXPECT_EQ(echo.output, "$HOME; x");
}

} // namespace
