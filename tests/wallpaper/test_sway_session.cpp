// SPDX-License-Identifier: GPL-3.0-or-later
// The sway and swaybg back ends against the headless sway with two outputs
// of different sizes that sway_tests.sh starts (skipped in a plain run), the
// screen read back with grim.  Before each case the background is reset to a
// solid colour and checked, so that an earlier picture cannot pass for the new.
#include "wallpaper/backends.h"
#include "wallpaper/processes.h"
#include "wallpaper/test_pictures.h"
#include "wallpaper/wallpaper.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <thread>

using namespace ombrix;
using namespace ombrix::test;

namespace
{

QImage grab(const std::string& output)
{
    QProcess grim;
    grim.start("grim", {"-o", QString::fromStdString(output), "-t", "ppm", "-"});
    if (!grim.waitForFinished(10000) || grim.exitCode() != 0)
        return QImage();
    return QImage::fromData(grim.readAllStandardOutput(), "PPM")
        .convertToFormat(QImage::Format_RGB32);
}

// Waits until each output shows its picture exactly; the first output that
// does not, or "" when all do.
std::string notShowing(const std::vector<Monitor>& outs, const DrawAtSize& want)
{
    for (const Monitor& m : outs)
        for (int i = 0; grab(m.name) != want(m); ++i) {
            if (i == 60)
                return m.name;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    return "";
}

DrawAtSize solid(QRgb colour)
{
    return [colour](const Monitor& m) {
        QImage img(m.width, m.height, QImage::Format_RGB32);
        img.fill(colour);
        return img;
    };
}

DrawAtSize arranged(const QImage& picture, Arrangement a)
{
    return [=](const Monitor& m) { return composeRootPicture(picture, m.width, m.height, a); };
}

const QRgb kReset = qRgb(255, 0, 255);

void resetBackground(const std::vector<Monitor>& outs)
{
    QProcess swaymsg;
    swaymsg.start("swaymsg", {"output * bg #ff00ff solid_color"});
    ASSERT_TRUE(swaymsg.waitForFinished(10000));
    ASSERT_EQ(notShowing(outs, solid(kReset)), "");
}

class WallpaperSwaySession : public ::testing::Test
{
protected:
    const QString files = qEnvironmentVariable("OMBRIX_TEST_SWAY");
    const std::string socket = qEnvironmentVariable("SWAYSOCK").toStdString();
    std::vector<Monitor> outs;
    void SetUp() override
    {
        if (files.isEmpty())
            GTEST_SKIP() << "needs a headless sway (tests/wallpaper/sway_tests.sh)";
        const MonitorList list = listSwayOutputs(socket);
        EXPECT_TRUE(list.why.empty()) << list.why;
        outs = list.monitors;
        ASSERT_EQ(outs.size(), 2u);
    }
};

// Folder names that break naive quoting at one step or another.
const char* const kAwkwardFolders[] = {"plain", "a b'c\"d$HOME;e\\f", "-lead", "$(touch x),y"};

TEST_F(WallpaperSwaySession, OutputsListedAndEachModeShownPixelForPixel)
{
    auto sway = makeSwayBackend(socket);
    EXPECT_EQ(sway->whyCannotApply(), "");
    ASSERT_TRUE(sway->readCurrent().ok);
    EXPECT_EQ(sway->values().wallpaper, "#203040");
    const QImage picture = drawAt(7, 5);
    int n = 0;
    for (const char* folder : kAwkwardFolders) {
        const QString dir = files + "/" + folder;
        ASSERT_TRUE(QDir().mkpath(dir));
        for (Arrangement a : {Arrangement::Tile, Arrangement::Center, Arrangement::Stretch}) {
            resetBackground(outs);
            const QString file = dir + QString("/OmbrixWallpaper-%1.bmp").arg(n++);
            ASSERT_TRUE(picture.save(file, "BMP"));
            const WallpaperResult r = sway->apply(QFile::encodeName(file).toStdString(), a);
            ASSERT_TRUE(r.ok) << folder << ": " << r.message;
            // The line to keep it names the file as sway reads it back
            // (centred and stretched: composed per output beside it).
            const std::string shown = a == Arrangement::Tile
                                          ? file.toStdString()
                                          : monitorFileName(file.toStdString(), 1);
            EXPECT_NE(r.message.find(" bg " + swayQuoted(shown) + " tile"), std::string::npos)
                << r.message;
            EXPECT_EQ(notShowing(outs, arranged(picture, a)), "")
                << folder << " " << static_cast<int>(a);
        }
    }
    // A line break cannot reach sway: refused, the screen untouched.
    resetBackground(outs);
    const QString broken = files + "/line\nbreak";
    ASSERT_TRUE(QDir().mkpath(broken));
    ASSERT_TRUE(picture.save(broken + "/p.bmp", "BMP"));
    const WallpaperResult r = sway->apply((broken + "/p.bmp").toStdString(), Arrangement::Tile);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.find("line break"), std::string::npos) << r.message;
    EXPECT_EQ(grab(outs[0].name), solid(kReset)(outs[0]));

    // Restore: the configuration's own background again.
    ASSERT_TRUE(sway->restore().ok);
    EXPECT_EQ(notShowing(outs, solid(qRgb(0x20, 0x30, 0x40))), "");
}

TEST_F(WallpaperSwaySession, EachOutputItsOwnPictureAtItsSize)
{
    resetBackground(outs);
    auto sway = makeSwayBackend(socket);
    ASSERT_TRUE(sway->readCurrent().ok);
    const std::string folder = (files + "/each").toStdString();
    const WallpaperResult r = setMonitorWallpapers(*sway, outs, atItsSize, folder, {});
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(notShowing(outs, atItsSize), "");
    EXPECT_EQ(QDir(QString::fromStdString(folder)).entryList(QDir::Files).size(), 2);
}

// A compositor that draws no wallpaper of its own (sway told to start no
// swaybg): sway's dark grey until Ombrix's swaybg draws.
const QRgb kNoWallpaper = qRgb(63, 63, 63);

class WallpaperSwaybgSession : public WallpaperSwaySession
{
};

TEST_F(WallpaperSwaybgSession, StartedReplacedRestoredAndEndedOnlyWhenOurs)
{
    auto ours = [] {
        std::vector<ProcessInfo> out;
        for (const ProcessInfo& p : runningProcesses("swaybg"))
            if (p.uid == ::getuid())
                out.push_back(p);
        return out;
    };
    ASSERT_EQ(notShowing(outs, solid(kNoWallpaper)), "");
    SwaybgOptions options;
    options.stateFile = (files + "/swaybg-state").toStdString();
    options.outputs = outs;
    auto first = makeSwaybgBackend(options);
    ASSERT_TRUE(first->readCurrent().ok);
    EXPECT_EQ(first->values().wallpaper, "");

    const QString dir = files + "/" + kAwkwardFolders[1];
    ASSERT_TRUE(QDir().mkpath(dir));
    const QString a = dir + "/OmbrixWallpaper-a.bmp", b = dir + "/OmbrixWallpaper-b.bmp";
    ASSERT_TRUE(drawAt(7, 5).save(a, "BMP") && drawAt(3, 4).save(b, "BMP"));
    const WallpaperResult r = first->apply(a.toStdString(), Arrangement::Tile);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_NE(r.message.find("until you log out"), std::string::npos) << r.message;
    EXPECT_EQ(notShowing(outs, arranged(drawAt(7, 5), Arrangement::Tile)), "");
    const std::vector<ProcessInfo> started = ours();
    ASSERT_EQ(started.size(), 1u);

    // A later run finds it, replaces it, and ends it once the new one draws;
    // centred, the picture goes composed at each output's size.
    auto second = makeSwaybgBackend(options);
    ASSERT_TRUE(second->readCurrent().ok);
    EXPECT_EQ(second->values().wallpaper, a.toStdString());
    ASSERT_TRUE(second->apply(b.toStdString(), Arrangement::Center).ok);
    EXPECT_EQ(notShowing(outs, arranged(drawAt(3, 4), Arrangement::Center)), "");
    EXPECT_EQ(processInfo(started[0].pid).pid, 0) << "the earlier swaybg still runs";
    EXPECT_EQ(ours().size(), 1u);

    // Restore puts back the swaybg found at start-up and ends its own.
    ASSERT_TRUE(second->restore().ok);
    EXPECT_EQ(notShowing(outs, arranged(drawAt(7, 5), Arrangement::Tile)), "");
    EXPECT_EQ(ours().size(), 1u);

    // A remembered id that is no longer a swaybg of ours is left alone.
    for (const ProcessInfo& p : ours())
        ::kill(p.pid, SIGTERM);
    const Detached decoy = startDetached("/bin/sleep", {"600"});
    ASSERT_NE(decoy.pid, 0);
    ASSERT_TRUE(writeFile(QString::fromStdString(options.stateFile),
                          QByteArray::number(decoy.pid) + " " +
                              QByteArray::number(processInfo(decoy.pid).startTime) + "\n"));
    ASSERT_EQ(notShowing(outs, solid(kNoWallpaper)), "");
    auto third = makeSwaybgBackend(options);
    ASSERT_TRUE(third->readCurrent().ok);
    ASSERT_TRUE(third->apply(a.toStdString(), Arrangement::Stretch).ok);
    EXPECT_EQ(notShowing(outs, arranged(drawAt(7, 5), Arrangement::Stretch)), "");
    EXPECT_NE(processInfo(decoy.pid).pid, 0) << "a program that is not our swaybg was ended";
    ::kill(decoy.pid, SIGTERM);

    // Restore with nothing of ours at start-up: ours ends, nothing drawn.
    ASSERT_TRUE(third->restore().ok);
    EXPECT_EQ(notShowing(outs, solid(kNoWallpaper)), "");
    EXPECT_TRUE(ours().empty());

    // The sway back end where the configuration sets no wallpaper: Restore
    // shows sway's own grey again.  (This session starts no swaybg, so the
    // sway back end's own check refuses; only its Restore is looked at.)
    auto sway = makeSwayBackend(socket);
    ASSERT_TRUE(sway->readCurrent().ok);
    EXPECT_EQ(sway->values().wallpaper, "");
    const WallpaperResult none = sway->apply(a.toStdString(), Arrangement::Tile);
    EXPECT_FALSE(none.ok);
    EXPECT_NE(none.message.find("swaybg"), std::string::npos) << none.message;
    ASSERT_TRUE(sway->restore().ok);
    EXPECT_EQ(notShowing(outs, solid(kNoWallpaper)), "");
}

} // namespace
