// The wallpaper without a desktop session: which back end a session gets,
// the wallpaper files, the root window's composed picture, and the three
// GSettings desktops against the real GSettings with a keyfile store and
// the schemas Debian installs (a private schema folder stands in for an
// older GNOME and for a missing schema).
#include "wallpaper/backends.h"
#include "wallpaper/wallpaper.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace ombrix;

namespace
{

TEST(WallpaperSession, EachSessionGetsItsDesktop)
{
    struct Row {
        Session s;
        Desktop want;
    };
    const Row rows[] = {
        {{"GNOME", "wayland", "wayland-0", ""}, Desktop::Gnome},
        {{"ubuntu:GNOME", "x11", "", ":0"}, Desktop::Gnome},
        {{"Budgie:GNOME", "", "", ""}, Desktop::Gnome},
        {{"Unity", "", "", ""}, Desktop::Gnome},
        {{"Pantheon", "", "", ""}, Desktop::Gnome},
        {{"X-Cinnamon", "x11", "", ":0"}, Desktop::Cinnamon},
        {{"MATE", "x11", "", ":0"}, Desktop::Mate},
        {{"XFCE", "x11", "", ":0"}, Desktop::Xfce},
        {{"KDE", "wayland", "wayland-0", ":1"}, Desktop::Plasma},
        // The first known token decides.
        {{"unknown:kde:GNOME", "", "", ""}, Desktop::Plasma},
        // Unknown desktops: the root window only where X draws the desktop.
        {{"i3", "x11", "", ":0"}, Desktop::RootWindow},
        {{"", "", "", ":5"}, Desktop::RootWindow},
        {{"sway", "wayland", "wayland-1", ":0"}, Desktop::Unsupported},
        {{"Hyprland", "", "wayland-1", ":0"}, Desktop::Unsupported},
        {{"", "wayland", "", ":0"}, Desktop::Unsupported},
        {{"", "", "", ""}, Desktop::Unsupported},
    };
    for (const Row& r : rows)
        EXPECT_EQ(chooseDesktop(r.s), r.want) << r.s.currentDesktop << " " << r.s.display;
}

TEST(WallpaperSession, AnUnsupportedSessionSaysSoAtEveryStep)
{
    const auto backend = makeWallpaperBackend({"sway", "wayland", "wayland-1", ""});
    const WallpaperResult read = backend->readCurrent();
    EXPECT_FALSE(read.ok);
    EXPECT_NE(read.message.find("\"sway\""), std::string::npos) << read.message;
    EXPECT_FALSE(backend->apply("/tmp/x.bmp", Arrangement::Tile).ok);
    EXPECT_FALSE(backend->restore().ok);
    EXPECT_FALSE(backend->canStretch());
    EXPECT_EQ(backend->values().style, kErr);
}

TEST(WallpaperValues, ArrangementsAndTheirStrings)
{
    for (Arrangement a : {Arrangement::Tile, Arrangement::Center, Arrangement::Stretch}) {
        std::string tile, style;
        arrangementStrings(a, tile, style);
        Arrangement back = Arrangement::Tile;
        ASSERT_TRUE(arrangementOf(tile, style, back));
        EXPECT_EQ(back, a);
    }
    Arrangement a = Arrangement::Tile;
    EXPECT_FALSE(arrangementOf("0", "zoom", a));
    EXPECT_FALSE(arrangementOf(kErr, kErr, a));
    for (const char* path : {"/home/a b/sky #1's.bmp", "/tmp/\xc3\xa9t\xc3\xa9.bmp"}) {
        const std::string uri = fileUri(path);
        EXPECT_EQ(uri.find_first_of(" #"), std::string::npos) << uri;
        EXPECT_EQ(uriPath(uri), path);
    }
    EXPECT_EQ(uriPath("https://example.org/a.png"), "");
}

// Every pixel differs from its neighbours, so a flipped or swapped layout
// shows.
QImage testPicture(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(x * 40 % 256, y * 70 % 256, (x * y * 13 + 5) % 256));
    return img;
}

// The pixels of an image file as gdk-pixbuf (what GNOME, MATE and XFCE
// load wallpapers with) decodes them, through its pixdata tool.
QImage decodedByPixbuf(const QString& file, const QString& dir)
{
    const QString tool = QStandardPaths::findExecutable("gdk-pixbuf-pixdata");
    if (tool.isEmpty())
        return QImage();
    const QString out = dir + "/pixdata";
    if (QProcess::execute(tool, {file, out}) != 0)
        return QImage();
    QFile f(out);
    if (!f.open(QIODevice::ReadOnly))
        return QImage();
    const QByteArray d = f.readAll();
    auto be32 = [&](int at) {
        return static_cast<quint32>(static_cast<uchar>(d[at])) << 24 |
               static_cast<quint32>(static_cast<uchar>(d[at + 1])) << 16 |
               static_cast<quint32>(static_cast<uchar>(d[at + 2])) << 8 |
               static_cast<uchar>(d[at + 3]);
    };
    if (d.size() < 24 || d.left(4) != "GdkP")
        return QImage();
    const int rowstride = static_cast<int>(be32(12)), w = static_cast<int>(be32(16)),
              h = static_cast<int>(be32(20));
    const int channels = (be32(8) & 0xff) == 2 ? 4 : 3;
    if (d.size() < 24 + rowstride * h)
        return QImage();
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const char* p = d.constData() + 24 + y * rowstride + x * channels;
            img.setPixel(
                x, y,
                qRgb(static_cast<uchar>(p[0]), static_cast<uchar>(p[1]), static_cast<uchar>(p[2])));
        }
    return img;
}

TEST(WallpaperFiles, EachWallpaperANewBmpThatDesktopsDecode)
{
    QTemporaryDir dir;
    const std::string folder = QFile::encodeName(dir.path() + "/new/folder").toStdString();
    const QImage picture = testPicture(7, 5);
    const WallpaperFile a = writeWallpaperFile(picture, folder);
    const WallpaperFile b = writeWallpaperFile(picture, folder);
    ASSERT_TRUE(a.ok) << a.message;
    ASSERT_TRUE(b.ok) << b.message;
    EXPECT_NE(a.path, b.path);
    EXPECT_EQ(QImage(QString::fromStdString(a.path)).convertToFormat(QImage::Format_RGB32),
              picture);
    const QImage pixbuf = decodedByPixbuf(QString::fromStdString(a.path), dir.path());
    if (pixbuf.isNull())
        GTEST_SKIP() << "gdk-pixbuf-pixdata is not installed";
    EXPECT_EQ(pixbuf, picture);
}

TEST(WallpaperFiles, AFolderThatCannotBeMadeIsReportedAndWritesNothing)
{
    QTemporaryDir dir;
    QFile blocker(dir.path() + "/file");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const WallpaperFile f = writeWallpaperFile(
        testPicture(4, 4), QFile::encodeName(blocker.fileName() + "/sub").toStdString());
    EXPECT_FALSE(f.ok);
    EXPECT_NE(f.message.find("cannot be created"), std::string::npos) << f.message;
    EXPECT_FALSE(writeWallpaperFile(QImage(), dir.path().toStdString()).ok);
}

// A back end that records and answers as told.
struct FakeBackend final : WallpaperBackend {
    bool accept = true;
    std::vector<std::string> applied;
    std::string desktopName() const override { return "Fake"; }
    WallpaperResult readCurrent() override { return WallpaperResult::success(); }
    DesktopValues values() const override { return {}; }
    WallpaperResult apply(const std::string& file, Arrangement) override
    {
        applied.push_back(file);
        return accept ? WallpaperResult::success() : WallpaperResult::failure("refused");
    }
    WallpaperResult restore() override { return WallpaperResult::success(); }
};

TEST(WallpaperFiles, OlderFilesGoOnlyOnceANewOneIsInForce)
{
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    auto touch = [&](const QString& name) {
        QFile f(dir.path() + "/" + name);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        return (dir.path() + "/" + name).toStdString();
    };
    const std::string startup = touch("OmbrixWallpaper-startup.bmp");
    touch("OmbrixWallpaper-old.bmp");
    touch("holiday.bmp"); // not the program's

    FakeBackend refusing;
    refusing.accept = false;
    const WallpaperResult r =
        setDesktopWallpaper(refusing, testPicture(3, 3), Arrangement::Tile, folder, {startup});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "refused");
    ASSERT_EQ(refusing.applied.size(), 1u);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(refusing.applied[0])));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 3);

    FakeBackend fake;
    for (int i = 0; i < 2; ++i)
        ASSERT_TRUE(
            setDesktopWallpaper(fake, testPicture(3, 3), Arrangement::Tile, folder, {startup}).ok);
    QStringList left = QDir(dir.path()).entryList(QDir::Files);
    left.sort();
    EXPECT_EQ(left, QStringList({QFileInfo(QString::fromStdString(fake.applied[1])).fileName(),
                                 "OmbrixWallpaper-startup.bmp", "holiday.bmp"}));
}

TEST(WallpaperRootWindow, PictureTiledCentredOrStretched)
{
    const QImage p = testPicture(4, 3);
    const QImage tile = composeRootPicture(p, 10, 7, Arrangement::Tile);
    const QImage centre = composeRootPicture(p, 10, 7, Arrangement::Center);
    const QImage stretch = composeRootPicture(p, 8, 6, Arrangement::Stretch);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 10; ++x) {
            ASSERT_EQ(tile.pixel(x, y), p.pixel(x % 4, y % 3)) << x << "," << y;
            const bool inside = x >= 3 && x < 7 && y >= 2 && y < 5;
            ASSERT_EQ(centre.pixel(x, y), inside ? p.pixel(x - 3, y - 2) : qRgb(0, 0, 0))
                << x << "," << y;
        }
    EXPECT_EQ(stretch.size(), QSize(8, 6));
    EXPECT_EQ(stretch.pixel(0, 0), p.pixel(0, 0));
    EXPECT_EQ(stretch.pixel(7, 5), p.pixel(3, 2));
    // Larger than the screen: centred and cut on both sides.
    const QImage cut = composeRootPicture(testPicture(6, 5), 2, 1, Arrangement::Center);
    EXPECT_EQ(cut.pixel(0, 0), testPicture(6, 5).pixel(2, 2));
}

// ---------------------------------------------------------------------------
// GSettings: GNOME, Cinnamon and MATE against their installed schemas.

struct GSettingsCase {
    const GSettingsDesktop* desktop;
    bool uri;          // the store holds file:// URIs
    bool dark;         // the schema has picture-uri-dark
    const char* group; // the schema's path, as the keyfile names it
};

class GSettingsWallpaperTest : public ::testing::TestWithParam<GSettingsCase>
{
protected:
    QTemporaryDir dir;
    std::string keyfile() const { return (dir.path() + "/keyfile").toStdString(); }
    GSettingsStore store(const QString& schemas = QString()) const
    {
        return {schemas.toStdString(), keyfile()};
    }
};

TEST_P(GSettingsWallpaperTest, ApplyTwiceAndRestoreExactly)
{
    const GSettingsCase c = GetParam();
    const std::string schemaFile =
        std::string("/usr/share/glib-2.0/schemas/") + c.desktop->schema + ".gschema.xml";
    if (!QFile::exists(QString::fromStdString(schemaFile)))
        GTEST_SKIP() << c.desktop->schema << " is not installed";
    // The start-up state: a dark URI apart from the light one, zoomed.
    const std::string startFile = "/usr/share/backgrounds/start's #1.jpg";
    const std::string start = c.uri ? fileUri(startFile) : startFile;
    {
        QFile f(QString::fromStdString(keyfile()));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        const QString group = c.group;
        QString text = "[" + group + "]\n" + c.desktop->fileKey + "='" +
                       QString::fromStdString(start).replace("'", "\\'") + "'\n" +
                       c.desktop->optionsKey + "='zoom'\n";
        if (c.dark)
            text += "picture-uri-dark='file:///dark.png'\n";
        f.write(text.toUtf8());
    }
    auto backend = makeGSettingsBackend(*c.desktop, store());
    ASSERT_TRUE(backend->readCurrent().ok);
    const DesktopValues v = backend->values();
    EXPECT_EQ(v.wallpaper, startFile);
    EXPECT_EQ(v.tile, "0");
    EXPECT_EQ(v.style, "zoom"); // no menu item matches

    // Each apply is read from the file by a fresh store.
    auto reread = [&] {
        auto other = makeGSettingsBackend(*c.desktop, store());
        EXPECT_TRUE(other->readCurrent().ok);
        return other->values();
    };
    const struct {
        const char* file;
        Arrangement a;
        const char* tile;
        const char* style;
    } steps[] = {{"/w/OmbrixWallpaper-1.bmp", Arrangement::Tile, "1", "0"},
                 {"/w/OmbrixWallpaper-2.bmp", Arrangement::Stretch, "0", "2"},
                 {"/w/Ombrix Wallpaper-3.bmp", Arrangement::Center, "0", "0"}};
    for (const auto& s : steps) {
        const WallpaperResult r = backend->apply(s.file, s.a);
        ASSERT_TRUE(r.ok) << r.message;
        const DesktopValues now = reread();
        EXPECT_EQ(now.wallpaper, s.file);
        EXPECT_EQ(now.tile, s.tile);
        EXPECT_EQ(now.style, s.style);
    }
    QFile f(QString::fromStdString(keyfile()));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    f.close();
    // On GNOME 42 and later the dark style shows the same picture.
    EXPECT_EQ(text.contains("picture-uri-dark='file:///w/Ombrix%20Wallpaper-3.bmp'"), c.dark)
        << text.toStdString();

    ASSERT_TRUE(backend->restore().ok);
    const DesktopValues back = reread();
    EXPECT_EQ(back.wallpaper, startFile);
    EXPECT_EQ(back.style, "zoom");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString restored = QString::fromUtf8(f.readAll());
    EXPECT_EQ(restored.contains("picture-uri-dark='file:///dark.png'"), c.dark);
}

INSTANTIATE_TEST_SUITE_P(
    Desktops, GSettingsWallpaperTest,
    ::testing::Values(GSettingsCase{&kGnomeDesktop, true, true, "org/gnome/desktop/background"},
                      GSettingsCase{&kCinnamonDesktop, true, false,
                                    "org/cinnamon/desktop/background"},
                      GSettingsCase{&kMateDesktop, false, false, "org/mate/desktop/background"}));

TEST(GSettingsWallpaper, OlderGnomeWithoutTheDarkKeyAndAMissingSchema)
{
    QTemporaryDir dir;
    const QString glibCompile = QStandardPaths::findExecutable("glib-compile-schemas");
    if (glibCompile.isEmpty())
        GTEST_SKIP() << "glib-compile-schemas is not installed";
    // GNOME before 42: the background schema without picture-uri-dark.
    QFile xml(dir.path() + "/org.gnome.desktop.background.gschema.xml");
    ASSERT_TRUE(xml.open(QIODevice::WriteOnly));
    xml.write(R"(<schemalist>
  <schema id="org.gnome.desktop.background" path="/org/gnome/desktop/background/">
    <key name="picture-uri" type="s"><default>''</default></key>
    <key name="picture-options" type="s"><default>'zoom'</default></key>
  </schema>
</schemalist>
)");
    xml.close();
    ASSERT_EQ(QProcess::execute(glibCompile, {dir.path()}), 0);
    const std::string keyfile = (dir.path() + "/keyfile").toStdString();
    auto old = makeGSettingsBackend(kGnomeDesktop, {dir.path().toStdString(), keyfile});
    ASSERT_TRUE(old->readCurrent().ok);
    EXPECT_EQ(old->values().style, "zoom");
    ASSERT_TRUE(old->apply("/w/a.bmp", Arrangement::Tile).ok);
    QFile f(QString::fromStdString(keyfile));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(text.contains("picture-uri='file:///w/a.bmp'")) << text.toStdString();
    EXPECT_FALSE(text.contains("dark"));

    // A schema folder without the desktop's schema: a clear refusal, no
    // abort inside GSettings.
    QTemporaryDir empty;
    ASSERT_EQ(QProcess::execute(glibCompile, {empty.path()}), 0);
    auto missing = makeGSettingsBackend(kCinnamonDesktop, {empty.path().toStdString(), keyfile});
    const WallpaperResult r = missing->readCurrent();
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.find("org.cinnamon.desktop.background"), std::string::npos) << r.message;
    EXPECT_FALSE(missing->apply("/w/a.bmp", Arrangement::Tile).ok);
    EXPECT_FALSE(missing->restore().ok);
}

} // namespace
