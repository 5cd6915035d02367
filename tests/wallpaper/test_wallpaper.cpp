// SPDX-License-Identifier: GPL-3.0-or-later
// The wallpaper without a desktop session: which back end a session gets,
// the wallpaper files, the root window's composed picture, and GNOME,
// Cinnamon and MATE against the real GSettings with a keyfile store and the
// schemas Debian installs (a private schema folder stands in for an older
// GNOME and for a missing schema).
#include "wallpaper/backends.h"
#include "wallpaper/recording_backend.h"
#include "wallpaper/test_pictures.h"
#include "wallpaper/wallpaper.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace ombrix;
using namespace ombrix::test;

namespace
{

TEST(WallpaperSession, EachSessionGetsItsDesktop)
{
    auto with = [](Session s, const char* sock, bool sandbox, bool swaybg) {
        s.swaySocket = sock;
        s.sandboxed = sandbox;
        s.haveSwaybg = swaybg;
        return s;
    };
    const struct {
        Session s;
        Desktop want;
    } rows[] = {
        {{"GNOME", "wayland", "wayland-0", ""}, Desktop::Gnome},
        {{"ubuntu:GNOME", "x11", "", ":0"}, Desktop::Gnome},
        {{"Budgie:GNOME", "", "", ""}, Desktop::Gnome},
        {{"X-Cinnamon", "x11", "", ":0"}, Desktop::Cinnamon},
        {{"MATE", "x11", "", ":0"}, Desktop::Mate},
        {{"XFCE", "x11", "", ":0"}, Desktop::Xfce},
        {{"unknown:KDE:GNOME", "wayland", "wayland-0", ":1"}, Desktop::Plasma},
        {{"LXQt", "x11", "", ":0"}, Desktop::Lxqt},
        {{"LXDE", "x11", "", ":0"}, Desktop::Lxde},
        {{"i3", "x11", "", ":0"}, Desktop::RootWindow},
        {{"sway", "wayland", "wayland-1", ":0"}, Desktop::Sway},
        // sway named only by its socket; XWayland's root would lie hidden.
        {with({"", "wayland", "wayland-1", ":0"}, "/run/sway.sock", false, true), Desktop::Sway},
        {with({"river", "wayland", "wayland-1", ""}, "", false, true), Desktop::Swaybg},
        {with({"Hyprland", "wayland", "wayland-1", ":1"}, "", false, true), Desktop::Swaybg},
        {with({"Hyprland", "wayland", "wayland-1", ":1"}, "", false, false), Desktop::Unsupported},
        // A sandbox reaches no desktop store, whatever the desktop.
        {with({"GNOME", "wayland", "wayland-0", ""}, "", true, false), Desktop::Portal},
        {with({"KDE", "x11", "", ":0"}, "", true, false), Desktop::Portal},
        {with({"sway", "wayland", "wayland-1", ""}, "/run/sway.sock", true, true), Desktop::Portal},
        {{"", "wayland", "", ":0"}, Desktop::Unsupported},
        {{"", "", "", ""}, Desktop::Unsupported},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(chooseDesktop(r.s), r.want) << r.s.currentDesktop << " " << r.s.display;
        const SessionSupport support = sessionSupport(r.s);
        EXPECT_EQ(support.canApply, r.want != Desktop::Unsupported);
        EXPECT_EQ(support.why.empty(), support.canApply) << support.why;
    }
    // Each refusal names the session and what would make it work.
    const auto river = makeWallpaperBackend({"river", "wayland", "wayland-1", ""});
    const WallpaperResult read = river->readCurrent();
    EXPECT_NE(read.message.find("\"river\""), std::string::npos) << read.message;
    EXPECT_NE(read.message.find("swaybg"), std::string::npos) << read.message;
    EXPECT_FALSE(read.ok || river->apply("/tmp/x.bmp", Arrangement::Tile).ok ||
                 river->restore().ok || river->canStretch());
    EXPECT_NE(sessionSupport({}).why.find("no desktop session"), std::string::npos);
    // Nothing there to ask: a back end that says so rather than one that
    // hangs or pretends.
    const auto sway = makeSwayBackend("");
    EXPECT_FALSE(sway->whyCannotApply().empty());
    EXPECT_FALSE(sway->readCurrent().ok || sway->apply("/x.bmp", Arrangement::Tile).ok);
}

TEST(WallpaperFiles, ANewBmpEachTimeAndOlderOnesGoOnlyOnceANewOneIsInForce)
{
    QTemporaryDir dir;
    const std::string folder = dir.filePath("new/folder").toStdString();
    const QString start = dir.filePath("new/folder/OmbrixWallpaper-startup.bmp");
    RecordingBackend refusing;
    refusing.accept = false;
    const WallpaperResult r = setDesktopWallpaper(refusing, drawAt(7, 5), Arrangement::Tile, folder,
                                                  {start.toStdString()});
    EXPECT_EQ(r.message, "desktop said no");
    ASSERT_EQ(refusing.applied.size(), 1u);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(refusing.applied[0].first)));

    for (const QString& name : {start, dir.filePath("new/folder/OmbrixWallpaper-old.bmp"),
                                dir.filePath("new/folder/holiday.bmp")})
        EXPECT_TRUE(writeFile(name));
    RecordingBackend fake;
    for (int i = 0; i < 2; ++i)
        ASSERT_TRUE(setDesktopWallpaper(fake, drawAt(7, 5), Arrangement::Tile, folder,
                                        {start.toStdString()})
                        .ok);
    EXPECT_NE(fake.applied[0].first, fake.applied[1].first);
    const QString last = QString::fromStdString(fake.applied[1].first);
    EXPECT_EQ(QImage(last).convertToFormat(QImage::Format_RGB32), drawAt(7, 5));
    QStringList left = QDir(QString::fromStdString(folder)).entryList(QDir::Files);
    left.sort();
    EXPECT_EQ(left, QStringList({QFileInfo(last).fileName(), "OmbrixWallpaper-startup.bmp",
                                 "holiday.bmp"}));

    // A folder that cannot be made: told, nothing written.
    const WallpaperFile f = writeWallpaperFile(drawAt(4, 4), (last + "/sub").toStdString());
    EXPECT_FALSE(f.ok);
    EXPECT_NE(f.message.find("cannot be created"), std::string::npos) << f.message;
}

TEST(WallpaperRootWindow, PictureTiledCentredOrStretched)
{
    const QImage p = drawAt(4, 3);
    const QImage tile = composeRootPicture(p, 10, 7, Arrangement::Tile);
    const QImage centre = composeRootPicture(p, 10, 7, Arrangement::Center);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 10; ++x) {
            ASSERT_EQ(tile.pixel(x, y), p.pixel(x % 4, y % 3)) << x << "," << y;
            const bool inside = x >= 3 && x < 7 && y >= 2 && y < 5;
            ASSERT_EQ(centre.pixel(x, y), inside ? p.pixel(x - 3, y - 2) : qRgb(0, 0, 0));
        }
    const QImage stretch = composeRootPicture(p, 8, 6, Arrangement::Stretch);
    EXPECT_EQ(stretch.pixel(0, 0), p.pixel(0, 0));
    EXPECT_EQ(stretch.pixel(7, 5), p.pixel(3, 2));
    // Larger than the screen: centred and cut on both sides.
    EXPECT_EQ(composeRootPicture(drawAt(6, 5), 2, 1, Arrangement::Center).pixel(0, 0),
              drawAt(6, 5).pixel(2, 2));
}

struct GSettingsCase {
    const GSettingsDesktop* desktop;
    bool dark;         // the schema has picture-uri-dark
    const char* group; // the schema's path, as the keyfile names it
};

class GSettingsWallpaperTest : public ::testing::TestWithParam<GSettingsCase>
{
};

TEST_P(GSettingsWallpaperTest, ApplyTwiceAndRestoreExactly)
{
    const GSettingsCase c = GetParam();
    if (!QFile::exists(
            QString("/usr/share/glib-2.0/schemas/%1.gschema.xml").arg(c.desktop->schema)))
        GTEST_SKIP() << c.desktop->schema << " is not installed";
    QTemporaryDir dir;
    const QString keyfile = dir.filePath("keyfile");
    // The start-up state: zoomed, a dark URI apart from the light one.
    const std::string startFile = "/usr/share/backgrounds/start's #1.jpg";
    const QString start = QString::fromStdString(c.desktop->uri ? fileUri(startFile) : startFile);
    ASSERT_TRUE(writeFile(
        keyfile, QString("[%1]\n%2='%3'\n%4='zoom'\n%5")
                     .arg(c.group, c.desktop->fileKey, QString(start).replace("'", "\\'"),
                          c.desktop->optionsKey, c.dark ? "picture-uri-dark='file:///d.png'\n" : "")
                     .toUtf8()));
    // Every value is read from the file by a store of its own.
    auto reread = [&] {
        auto other = makeGSettingsBackend(*c.desktop, {"", keyfile.toStdString()});
        EXPECT_TRUE(other->readCurrent().ok);
        const DesktopValues v = other->values();
        return v.wallpaper + "|" + v.tile + "|" + v.style;
    };
    auto backend = makeGSettingsBackend(*c.desktop, {"", keyfile.toStdString()});
    ASSERT_TRUE(backend->readCurrent().ok);
    EXPECT_EQ(reread(), startFile + "|0|zoom"); // no menu item matches
    const struct {
        const char* file;
        Arrangement a;
        const char* want;
    } steps[] = {{"/w/OmbrixWallpaper-1.bmp", Arrangement::Tile, "|1|0"},
                 {"/w/OmbrixWallpaper-2.bmp", Arrangement::Stretch, "|0|2"},
                 {"/w/Ombrix Wallpaper-3.bmp", Arrangement::Center, "|0|0"}};
    for (const auto& s : steps) {
        const WallpaperResult r = backend->apply(s.file, s.a);
        ASSERT_TRUE(r.ok) << r.message;
        EXPECT_EQ(reread(), s.file + std::string(s.want));
    }
    // On GNOME 42 and later the dark style shows the same picture.
    EXPECT_EQ(readFile(keyfile).contains("picture-uri-dark='file:///w/Ombrix%20Wallpaper-3.bmp'"),
              c.dark);
    // Monitors of different sizes: one picture of the whole layout, spanned.
    ASSERT_TRUE(backend->applySpanned("/w/OmbrixWallpaper-4.bmp").ok);
    EXPECT_EQ(reread(), "/w/OmbrixWallpaper-4.bmp|0|spanned");
    ASSERT_TRUE(backend->restore().ok);
    EXPECT_EQ(reread(), startFile + "|0|zoom");
    EXPECT_EQ(readFile(keyfile).contains("picture-uri-dark='file:///d.png'"), c.dark);

    // A key the user never set follows the desktop's default: Restore resets
    // it (no value in the store afterwards) and writes back only the key that
    // was set.
    const QString set =
        QString("%1='%2'").arg(c.desktop->fileKey, c.desktop->uri ? "file:///s.png" : "/s.png");
    ASSERT_TRUE(writeFile(keyfile, QString("[%1]\n%2\n").arg(c.group, set).toUtf8()));
    auto fresh = makeGSettingsBackend(*c.desktop, {"", keyfile.toStdString()});
    ASSERT_TRUE(fresh->readCurrent().ok && fresh->apply("/w/a.bmp", Arrangement::Center).ok);
    EXPECT_TRUE(readFile(keyfile).contains(QByteArray(c.desktop->optionsKey) + "='centered'"));
    const WallpaperResult r = fresh->restore();
    ASSERT_TRUE(r.ok) << r.message;
    const QByteArray text = readFile(keyfile);
    EXPECT_TRUE(text.contains(set.toUtf8())) << text.toStdString();
    EXPECT_FALSE(text.contains(c.desktop->optionsKey) || text.contains("picture-uri-dark"))
        << text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Desktops, GSettingsWallpaperTest,
    ::testing::Values(GSettingsCase{&kGnomeDesktop, true, "org/gnome/desktop/background"},
                      GSettingsCase{&kCinnamonDesktop, false, "org/cinnamon/desktop/background"},
                      GSettingsCase{&kMateDesktop, false, "org/mate/desktop/background"}));

TEST(GSettingsWallpaper, OlderGnomeWithoutTheDarkKeyAndAMissingSchema)
{
    QTemporaryDir dir, empty;
    const QString compile = QStandardPaths::findExecutable("glib-compile-schemas");
    if (compile.isEmpty())
        GTEST_SKIP() << "glib-compile-schemas is not installed";
    // GNOME before 42: the background schema without picture-uri-dark.
    ASSERT_TRUE(writeFile(dir.filePath("org.gnome.desktop.background.gschema.xml"),
                          R"(<schemalist><schema id="org.gnome.desktop.background"
      path="/org/gnome/desktop/background/">
    <key name="picture-uri" type="s"><default>''</default></key>
    <key name="picture-options" type="s"><default>'zoom'</default></key>
  </schema></schemalist>)"));
    ASSERT_EQ(QProcess::execute(compile, {dir.path()}), 0);
    const std::string keyfile = dir.filePath("keyfile").toStdString();
    auto old = makeGSettingsBackend(kGnomeDesktop, {dir.path().toStdString(), keyfile});
    ASSERT_TRUE(old->readCurrent().ok);
    ASSERT_TRUE(old->apply("/w/a.bmp", Arrangement::Tile).ok);
    const QByteArray text = readFile(QString::fromStdString(keyfile));
    EXPECT_TRUE(text.contains("picture-uri='file:///w/a.bmp'") && !text.contains("dark"))
        << text.toStdString();

    // A folder without the desktop's schema: a clear refusal, where
    // GSettings itself would end the program.
    auto missing = makeGSettingsBackend(kCinnamonDesktop, {empty.path().toStdString(), keyfile});
    EXPECT_NE(missing->whyCannotApply().find("not installed"), std::string::npos);
    EXPECT_EQ(old->whyCannotApply(), "");
    const WallpaperResult r = missing->readCurrent();
    EXPECT_NE(r.message.find("org.cinnamon.desktop.background"), std::string::npos) << r.message;
    EXPECT_FALSE(r.ok || missing->apply("/w/a.bmp", Arrangement::Tile).ok || missing->restore().ok);
}

} // namespace
