// SPDX-License-Identifier: GPL-3.0-or-later
// LXQt's and LXDE's desktops, the real pcmanfm-qt and pcmanfm, on the Xvfb
// and session bus session_tests.sh starts (skipped in a plain run): the
// wallpaper is read back from the screen and from their settings files.
#include "wallpaper/backends.h"
#include "wallpaper/test_pictures.h"
#include "wallpaper/wallpaper.h"
#include "wallpaper/x_server.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

using namespace ombrix;
using namespace ombrix::test;

namespace
{

// Waits until the screen's `area` shows `want` there.
bool shows(const char* display, const QRect& area, const QImage& want)
{
    for (int i = 0; i < 50; ++i) {
        if (X(display).root().copy(area) == want.copy(area))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

TEST(WallpaperPcmanfmSession, SetThroughItsCommandLineReadBackFromTheScreenAndRestored)
{
    const char* display = std::getenv("OMBRIX_TEST_PCMANFM_DISPLAY");
    if (display == nullptr)
        GTEST_SKIP()
            << "needs pcmanfm(-qt)'s desktop on an Xvfb (tests/wallpaper/session_tests.sh)";
    const PcmanfmDesktop& desktop = qEnvironmentVariable("OMBRIX_TEST_PCMANFM") == "pcmanfm"
                                        ? kPcmanfmDesktop
                                        : kPcmanfmQtDesktop;
    // What a later run of the program would read from the settings file.
    auto stored = [&] {
        auto fresh = makePcmanfmBackend(desktop);
        EXPECT_TRUE(fresh->readCurrent().ok);
        const DesktopValues v = fresh->values();
        return v.wallpaper + "|" + v.tile + "|" + v.style;
    };
    auto backend = makePcmanfmBackend(desktop);
    ASSERT_EQ(backend->whyCannotApply(), "");
    ASSERT_TRUE(backend->readCurrent().ok);
    const DesktopValues start = backend->values();

    // The X root lies under the desktop's window: that back end says so.
    EXPECT_NE(makeRootWindowBackend(display)->whyCannotApply().find(
                  "\"" + std::string(desktop.program) + "\""),
              std::string::npos);

    QTemporaryDir dir;
    const QImage picture = drawAt(7, 5);
    const int w = X(display).s->width_in_pixels, h = X(display).s->height_in_pixels;
    int n = 0;
    for (const char* folder : {"plain", "a b'c\"d$HOME;e\\f", "-lead"}) {
        const QString d = dir.filePath(folder);
        ASSERT_TRUE(QDir().mkpath(d));
        for (Arrangement a : {Arrangement::Tile, Arrangement::Center}) {
            const QString file = d + QString("/OmbrixWallpaper-%1.bmp").arg(n++);
            ASSERT_TRUE(picture.save(file, "BMP"));
            const WallpaperResult r = backend->apply(QFile::encodeName(file).toStdString(), a);
            ASSERT_TRUE(r.ok) << folder << ": " << r.message;
            // Tiled, the whole screen; centred, the picture's own place (the
            // desktop fills around it with its background colour).
            const QRect area =
                a == Arrangement::Tile ? QRect(0, 0, w, h) : QRect((w - 7) / 2, (h - 5) / 2, 7, 5);
            EXPECT_TRUE(shows(display, area, composeRootPicture(picture, w, h, a)))
                << folder << " " << static_cast<int>(a);
            EXPECT_EQ(stored(), QFile::encodeName(file).toStdString() +
                                    (a == Arrangement::Tile ? "|1|0" : "|0|0"));
        }
    }
    // A line break: pcmanfm-qt takes it whole; pcmanfm, which passes its
    // arguments on line by line, is refused before it could set a cut name.
    const QString broken = dir.filePath("line\nbreak");
    ASSERT_TRUE(QDir().mkpath(broken));
    ASSERT_TRUE(picture.save(broken + "/OmbrixWallpaper-9.bmp", "BMP"));
    const std::string before = stored();
    const WallpaperResult r =
        backend->apply((broken + "/OmbrixWallpaper-9.bmp").toStdString(), Arrangement::Tile);
    if (&desktop == &kPcmanfmDesktop) {
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.message.find("line break"), std::string::npos) << r.message;
        EXPECT_EQ(stored(), before);
    } else {
        EXPECT_TRUE(r.ok) << r.message;
        EXPECT_TRUE(shows(display, QRect(0, 0, w, h),
                          composeRootPicture(picture, w, h, Arrangement::Tile)));
    }

    // session_tests.sh gives the desktop a start-up wallpaper, stretched: its
    // corner pixel is the picture's.
    ASSERT_FALSE(start.wallpaper.empty());
    const WallpaperResult back = backend->restore();
    ASSERT_TRUE(back.ok) << back.message;
    EXPECT_EQ(stored(), start.wallpaper + "|0|2");
    const QImage shown =
        QImage(QString::fromStdString(start.wallpaper)).convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(shows(display, QRect(0, 0, 1, 1), shown.copy(0, 0, 1, 1)));
}

} // namespace
