// SPDX-License-Identifier: GPL-3.0-or-later
// The back ends against real desktop services that session_tests.sh starts
// (skipped in a plain run): the real xfconfd on a private session bus, stand-in
// Plasma shell and portal on that bus, and the root window of a real Xvfb
// (-noreset), read back pixel by pixel.
#include "wallpaper/backends.h"
#include "wallpaper/test_pictures.h"
#include "wallpaper/wallpaper.h"
#include "wallpaper/x_server.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>

using namespace ombrix;
using namespace ombrix::test;

namespace
{

class WallpaperDesktopSession : public ::testing::Test
{
protected:
    const char* display = std::getenv("OMBRIX_TEST_X_DISPLAY");
    const char* program = std::getenv("OMBRIX_TEST_PROGRAM");
    void SetUp() override
    {
        if (!display || !program || !std::getenv("OMBRIX_TEST_SESSION_BUS"))
            GTEST_SKIP() << "needs an Xvfb and a session bus (tests/wallpaper/session_tests.sh)";
    }
};

// A stand-in service in a thread of its own, on a connection of its own, so
// that it answers while the back end waits; gone from the bus when done.
struct OnTheBus {
    QThread thread;
    QDBusConnection bus;
    bool registered;
    OnTheBus(QDBusVirtualObject& object, const QString& path, const QString& service)
        : bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, service))
    {
        object.moveToThread(&thread);
        thread.start();
        registered = bus.registerVirtualObject(path, &object) && bus.registerService(service);
    }
    ~OnTheBus()
    {
        bus.unregisterService(bus.name());
        QDBusConnection::disconnectFromBus(bus.name());
        thread.quit();
        thread.wait();
    }
};

QString uri(const std::string& file)
{
    return QString::fromStdString(fileUri(file));
}

const char* const kXfceConfig = R"(<channel name="xfce4-desktop" version="1.0">
<property name="backdrop" type="empty"><property name="screen0" type="empty">
 <property name="monitorHDMI-1" type="empty">
  <property name="workspace0" type="empty">
   <property name="last-image" type="string" value="/usr/share/backgrounds/xfce/a b.png"/>
   <property name="image-style" type="int" value="5"/></property>
  <property name="workspace1" type="empty">
   <property name="last-image" type="string" value="/b.png"/></property></property>
 <property name="monitoreDP-1" type="empty">
  <property name="workspace0" type="empty">
   <property name="last-image" type="string" value="/c.png"/>
   <property name="image-style" type="int" value="2"/></property>
  <property name="workspace1" type="empty">
   <property name="last-image" type="string" value="/d.png"/>
   <property name="image-style" type="int" value="3"/></property></property>
</property></property></channel>)";

QVariantMap xfconfBackdrop()
{
    QDBusMessage m = QDBusMessage::createMethodCall("org.xfce.Xfconf", "/org/xfce/Xfconf",
                                                    "org.xfce.Xfconf", "GetAllProperties");
    m.setArguments({"xfce4-desktop", "/backdrop"});
    const QDBusMessage reply = QDBusConnection::sessionBus().call(m);
    EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    return qdbus_cast<QVariantMap>(reply.arguments().value(0));
}

TEST_F(WallpaperDesktopSession, XfceEveryMonitorAndWorkspaceAndBack)
{
    const QString dir =
        qEnvironmentVariable("XDG_CONFIG_HOME") + "/xfce4/xfconf/xfce-perchannel-xml";
    ASSERT_TRUE(QDir().mkpath(dir));
    ASSERT_TRUE(writeFile(dir + "/xfce4-desktop.xml", kXfceConfig));

    const QVariantMap start = xfconfBackdrop();
    ASSERT_EQ(start.size(), 7);
    auto backend = makeXfconfBackend();
    EXPECT_EQ(backend->whyCannotApply(), ""); // activatable on this bus
    ASSERT_TRUE(backend->readCurrent().ok);
    const DesktopValues v = backend->values();
    // Zoomed: no menu item.
    EXPECT_EQ(v.wallpaper + "|" + v.tile + "|" + v.style,
              "/usr/share/backgrounds/xfce/a b.png|0|5");

    const auto key = [](const char* m, int w, const char* k) {
        return QString("/backdrop/screen0/monitor%1/workspace%2/%3").arg(m).arg(w).arg(k);
    };
    const struct {
        const char* file;
        Arrangement a;
        int style;
    } steps[] = {{"/w/OmbrixWallpaper-1.bmp", Arrangement::Tile, 2},
                 {"/w/OmbrixWallpaper-2.bmp", Arrangement::Center, 1},
                 {"/w/OmbrixWallpaper-3.bmp", Arrangement::Stretch, 3}};
    for (const auto& s : steps) {
        const WallpaperResult r = backend->apply(s.file, s.a);
        ASSERT_TRUE(r.ok) << r.message;
        const QVariantMap now = xfconfBackdrop();
        for (const char* m : {"HDMI-1", "eDP-1"})
            for (int w = 0; w < 2; ++w) {
                EXPECT_EQ(now.value(key(m, w, "last-image")).toString(), s.file) << m << w;
                EXPECT_EQ(now.value(key(m, w, "image-style")).toInt(), s.style) << m << w;
            }
    }
    ASSERT_TRUE(backend->restore().ok);
    // Exactly the start: the style that did not exist is gone again.
    EXPECT_EQ(xfconfBackdrop(), start);

    // A picture per monitor: each monitor's own keys on every workspace,
    // created for a monitor the desktop had not seen; the others untouched.
    ASSERT_TRUE(backend->readCurrent().ok);
    ASSERT_TRUE(
        backend->applyEach({{Monitor{"HDMI-1"}, "/w/h.bmp"}, {Monitor{"DP-2"}, "/w/d.bmp"}}).ok);
    const QVariantMap each = xfconfBackdrop();
    for (int w = 0; w < 2; ++w) {
        EXPECT_EQ(each.value(key("HDMI-1", w, "last-image")), "/w/h.bmp");
        EXPECT_EQ(each.value(key("DP-2", w, "last-image")), "/w/d.bmp");
        EXPECT_EQ(each.value(key("DP-2", w, "image-style")), 3);
        EXPECT_EQ(each.value(key("eDP-1", w, "last-image")),
                  start.value(key("eDP-1", w, "last-image")));
    }
    ASSERT_TRUE(backend->restore().ok);
    EXPECT_EQ(xfconfBackdrop(), start);
}

const QString kJsonString = R"("(?:[^"\\]|\\.)*")";

QJsonValue jsonValue(const QString& literal)
{
    return QJsonDocument::fromJson(("[" + literal + "]").toUtf8()).array().at(0);
}

QJsonObject desk(int id, const QJsonValue& plugin, const QJsonValue& image, const QJsonValue& fill)
{
    // Desktop n lies on screen n.
    return {{"id", id}, {"screen", id}, {"plugin", plugin}, {"image", image}, {"fill", fill}};
}

// A Plasma shell that reads the back end's scripts for what they set on its two
// desktops, answers the read-back, and can refuse as a locked Plasma does.
class PlasmaStandIn final : public QDBusVirtualObject
{
public:
    QMutex lock;
    const QJsonArray start{desk(0, "org.kde.image", "file:///usr/share/wallpapers/Next.png", ""),
                           desk(1, "org.kde.slideshow", "file:///x.jpg", "1")};
    QJsonArray desks = start;
    std::atomic<bool> locked = false;

    QJsonArray now()
    {
        QMutexLocker hold(&lock);
        return desks;
    }
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& m, const QDBusConnection& c) override
    {
        QMutexLocker hold(&lock);
        const QString script = m.arguments().value(0).toString();
        if (locked)
            return c.send(m.createErrorReply("org.kde.plasmashell.Error", "Widgets are locked"));
        if (script.contains("JSON.stringify"))
            return c.send(m.createReply(QString::fromUtf8(QJsonDocument(desks).toJson())));
        // A restore puts each desktop back; an apply sets them all.
        static const QRegularExpression put("put\\((\\d+), (" + kJsonString + "), (" + kJsonString +
                                            "), (" + kJsonString + ")\\);");
        static const QRegularExpression set("writeConfig\\('Image', (" + kJsonString +
                                            ")\\);\\s*d.writeConfig\\('FillMode', (\\d+)\\)");
        for (auto it = put.globalMatch(script); it.hasNext();) {
            const QRegularExpressionMatch p = it.next();
            const int id = p.captured(1).toInt();
            desks[id] = desk(id, jsonValue(p.captured(2)), jsonValue(p.captured(3)),
                             jsonValue(p.captured(4)));
        }
        // A picture per screen: the URLs in screen order.
        static const QRegularExpression perScreen("var urls = (\\[[^\\n]*\\]);");
        static const QRegularExpression fill("'FillMode', (\\d+)");
        const QRegularExpressionMatch u = perScreen.match(script);
        if (u.hasMatch()) {
            const QJsonArray urls = QJsonDocument::fromJson(u.captured(1).toUtf8()).array();
            for (int id = 0; id < desks.size(); ++id)
                desks[id] = desk(id, "org.kde.image", urls.at(id < urls.size() ? id : 0),
                                 fill.match(script).captured(1));
            return c.send(m.createReply(QString()));
        }
        const QRegularExpressionMatch s = set.match(script);
        for (int id = 0; s.hasMatch() && !script.contains("put(") && id < desks.size(); ++id)
            desks[id] = desk(id, "org.kde.image", jsonValue(s.captured(1)), s.captured(2));
        return c.send(m.createReply(QString()));
    }
};

TEST_F(WallpaperDesktopSession, PlasmaEachDesktopAndBackAndItsRefusal)
{
    // No shell on the bus yet: said before anything is tried.
    EXPECT_NE(makePlasmaBackend()->whyCannotApply().find("not running"), std::string::npos);
    PlasmaStandIn shell;
    OnTheBus on(shell, "/PlasmaShell", "org.kde.plasmashell");
    ASSERT_TRUE(on.registered);

    auto backend = makePlasmaBackend();
    EXPECT_EQ(backend->whyCannotApply(), "");
    ASSERT_TRUE(backend->readCurrent().ok);
    const DesktopValues v = backend->values();
    // Plasma's default when no fill mode was written is crop: no menu item.
    EXPECT_EQ(v.wallpaper + "|" + v.tile + "|" + v.style, "/usr/share/wallpapers/Next.png|0|2");
    const struct {
        const char* file;
        Arrangement a;
        const char* fill;
    } steps[] = {{"/w/it's #1.bmp", Arrangement::Tile, "3"},
                 {"/w/OmbrixWallpaper-2.bmp", Arrangement::Center, "6"},
                 {"/w/OmbrixWallpaper-3.bmp", Arrangement::Stretch, "0"}};
    for (const auto& s : steps) {
        const WallpaperResult r = backend->apply(s.file, s.a);
        ASSERT_TRUE(r.ok) << r.message;
        const QJsonArray desks = shell.now();
        for (int id = 0; id < 2; ++id)
            EXPECT_EQ(desks[id].toObject(), desk(id, "org.kde.image", uri(s.file), s.fill));
    }
    ASSERT_TRUE(backend->restore().ok);
    EXPECT_EQ(shell.now(), shell.start);
    // A picture per screen, each drawn at its size: shown one to one.
    const std::string one = "/w/it's 1.bmp", two = "/w/two #2.bmp";
    ASSERT_TRUE(backend->applyEach({{Monitor{"HDMI-1"}, one}, {Monitor{"eDP-1"}, two}}).ok);
    EXPECT_EQ(shell.now(), QJsonArray({desk(0, "org.kde.image", uri(one), "0"),
                                       desk(1, "org.kde.image", uri(two), "0")}));
    ASSERT_TRUE(backend->restore().ok);

    // Plasma tiles from the screen's centre: with the monitor known, the
    // tiles go composed from its top left at its size, and Plasma stretches
    // that picture one to one.
    QTemporaryDir dir;
    const QString tiled = dir.filePath("OmbrixWallpaper-5.bmp");
    ASSERT_TRUE(drawAt(7, 5).save(tiled, "BMP"));
    ASSERT_TRUE(makePlasmaBackend({Monitor{"", 0, 0, 32, 20}})
                    ->apply(tiled.toStdString(), Arrangement::Tile)
                    .ok);
    EXPECT_EQ(QImage(tiled).convertToFormat(QImage::Format_RGB32),
              composeRootPicture(drawAt(7, 5), 32, 20, Arrangement::Tile));
    EXPECT_EQ(shell.now()[0].toObject().value("fill"), "0");
    ASSERT_TRUE(backend->restore().ok);
    EXPECT_EQ(shell.now(), shell.start);
    shell.locked = true;
    const WallpaperResult refused = backend->apply("/w/x.bmp", Arrangement::Tile);
    EXPECT_NE(refused.message.find("Widgets are locked"), std::string::npos) << refused.message;
    EXPECT_FALSE(refused.ok);
}

TEST_F(WallpaperDesktopSession, RootWindowTiledCentredStretchedAndBack)
{
    X x(display);
    const uint16_t w = x.s->width_in_pixels, h = x.s->height_in_pixels;
    xcb_pixmap_t previous = 0;
    {
        // The previous setter: a retained root-sized pixmap in both atoms.
        X setter(display);
        previous = setter.filled(w, h, 0x336699);
        xcb_change_window_attributes(setter.c, setter.s->root, XCB_CW_BACK_PIXMAP, &previous);
        xcb_clear_area(setter.c, 0, setter.s->root, 0, 0, 0, 0);
        setter.publish(previous);
        xcb_set_close_down_mode(setter.c, XCB_CLOSE_DOWN_RETAIN_PERMANENT);
    }
    const QImage before = x.root();
    ASSERT_EQ(before.pixel(w / 2, h / 2) & 0xffffff, 0x336699u);

    QTemporaryDir dir;
    const QImage picture = drawAt(37, 23);
    const std::string file = dir.filePath("wall.bmp").toStdString();
    ASSERT_TRUE(picture.save(QString::fromStdString(file)));

    auto backend = makeRootWindowBackend(display);
    ASSERT_TRUE(backend->readCurrent().ok);
    // A small pixmap of a running client, planted in the atoms: never freed.
    X decoyOwner(display);
    const xcb_pixmap_t decoy = decoyOwner.filled(8, 8, 0xff0000);
    decoyOwner.sync();
    for (Arrangement a : {Arrangement::Tile, Arrangement::Center, Arrangement::Stretch}) {
        if (a == Arrangement::Center)
            x.publish(decoy);
        const WallpaperResult r = backend->apply(file, a);
        ASSERT_TRUE(r.ok) << r.message;
        const QImage want = composeRootPicture(picture, w, h, a);
        const xcb_pixmap_t now = x.property("_XROOTPMAP_ID");
        EXPECT_EQ(x.root(), want) << static_cast<int>(a);
        EXPECT_EQ(x.pixels(now), want);
        EXPECT_EQ(x.property("ESETROOT_PMAP_ID"), now);
        EXPECT_FALSE(x.alive(previous)) << "the previous pixmap was not freed";
        previous = now;
    }
    decoyOwner.sync();
    EXPECT_TRUE(x.alive(decoy) && xcb_connection_has_error(decoyOwner.c) == 0);

    ASSERT_TRUE(backend->restore().ok);
    EXPECT_EQ(x.root(), before);
    EXPECT_FALSE(x.alive(previous));

    // A root without a wallpaper goes back to none.
    for (const char* name : {"_XROOTPMAP_ID", "ESETROOT_PMAP_ID"})
        xcb_delete_property(x.c, x.s->root, x.atom(name));
    x.sync();
    auto bare = makeRootWindowBackend(display);
    ASSERT_TRUE(bare->readCurrent().ok && bare->apply(file, Arrangement::Tile).ok);
    const xcb_pixmap_t ours = x.property("_XROOTPMAP_ID");
    ASSERT_TRUE(bare->restore().ok);
    EXPECT_EQ(x.property("_XROOTPMAP_ID") + x.property("ESETROOT_PMAP_ID"), 0u);
    EXPECT_FALSE(x.alive(ours));
}

// RandR monitors set for a test, and removed again however it ends.
struct RandrMonitors {
    const char* display;
    std::vector<const char*> names;
    bool add(const char* name, const char* geometry, const char* output)
    {
        names.push_back(name);
        return QProcess::execute("xrandr",
                                 {"-d", display, "--setmonitor", name, geometry, output}) == 0;
    }
    ~RandrMonitors()
    {
        for (const char* name : names)
            QProcess::execute("xrandr", {"-d", display, "--delmonitor", name});
    }
};

// Two and three RandR monitors of different sizes on one 320 x 200 screen
// (the first on Xvfb's output, the others on none, so that Xvfb does not keep
// its whole-screen monitor as one more): each region shows the picture drawn
// at its monitor's size, both from the back end and from the command line
// without --size, which must list the same monitors.
TEST_F(WallpaperDesktopSession, RootWindowAPictureForEachRandrMonitor)
{
    if (QStandardPaths::findExecutable("xrandr").isEmpty())
        GTEST_SKIP() << "xrandr is not installed";
    struct Row {
        const char* name;
        const char* geometry;
        const char* output;
        const char* listed;
    };
    const std::vector<std::vector<Row>> layouts{
        {{"Left", "200/50x200/50+0+0", "screen", "Left 200x200+0+0 scale 1"},
         {"Right", "120/30x100/25+200+0", "none", "Right 120x100+200+0 scale 1"}},
        {{"Top", "160/40x120/30+0+0", "screen", "Top 160x120+0+0 scale 1"},
         {"Side", "160/40x80/20+160+0", "none", "Side 160x80+160+0 scale 1"},
         {"Wide", "320/80x80/20+0+120", "none", "Wide 320x80+0+120 scale 1"}}};
    QTemporaryDir home;
    const auto run = [&](const QStringList& args, QString* out = nullptr) {
        QProcess p;
        p.setEnvironment({"PATH=" + qEnvironmentVariable("PATH"), "HOME=" + home.path(),
                          QString("DISPLAY=") + display});
        p.start(program, args);
        p.waitForFinished(60000);
        if (out != nullptr)
            *out = QString::fromLocal8Bit(p.readAllStandardOutput());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    };
    X x(display);
    for (const auto& layout : layouts) {
        RandrMonitors randr{display, {}};
        std::string listed;
        for (const auto& m : layout) {
            ASSERT_TRUE(randr.add(m.name, m.geometry, m.output)) << m.name;
            listed += std::string(m.listed) + "\n";
        }
        const MonitorList found = listXMonitors(display);
        ASSERT_EQ(found.monitors.size(), layout.size()) << found.why;
        QTemporaryDir dir;
        auto backend = makeRootWindowBackend(display);
        ASSERT_TRUE(backend->readCurrent().ok);
        const WallpaperResult r =
            setMonitorWallpapers(*backend, found.monitors, atItsSize, dir.path().toStdString(), {});
        ASSERT_TRUE(r.ok) << r.message;
        const QImage root = x.root();
        for (const Monitor& m : found.monitors)
            EXPECT_EQ(root.copy(m.x, m.y, m.width, m.height), drawAt(m.width, m.height)) << m.name;
        ASSERT_TRUE(backend->restore().ok);

        QString out;
        EXPECT_EQ(run({"wallpaper", "--list-monitors"}, &out), 0);
        EXPECT_EQ(out.toStdString(), listed);
        EXPECT_EQ(run({"wallpaper", "--preset", "1"}), 0);
        const QImage shown = x.root();
        for (const Monitor& m : found.monitors) {
            const QString file = home.filePath("render.bmp");
            ASSERT_EQ(run({"render", "--preset", "1", "--size",
                           QString("%1x%2").arg(m.width).arg(m.height), "--out", file}),
                      0);
            EXPECT_EQ(shown.copy(m.x, m.y, m.width, m.height),
                      QImage(file).convertToFormat(QImage::Format_RGB32))
                << m.name;
        }
    }
    // Listing stands alone: with a design as well it is a usage error.
    EXPECT_EQ(run({"wallpaper", "--list-monitors", "--preset", "1"}), 2);
}

// A desktop program's window over the root (pcmanfm-qt, caja, xfdesktop
// map one): the root's background would not show, so the back end refuses
// and names the program, and the root keeps its wallpaper.
TEST_F(WallpaperDesktopSession, RootWindowRefusesUnderADesktopWindow)
{
    X x(display);
    const xcb_window_t w = xcb_generate_id(x.c);
    xcb_create_window(x.c, XCB_COPY_FROM_PARENT, w, x.s->root, 0, 0, x.s->width_in_pixels,
                      x.s->height_in_pixels, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, x.s->root_visual, 0,
                      nullptr);
    const xcb_atom_t desktop = x.atom("_NET_WM_WINDOW_TYPE_DESKTOP");
    xcb_change_property(x.c, XCB_PROP_MODE_REPLACE, w, x.atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM,
                        32, 1, &desktop);
    const char cls[] = "pcmanfm-qt\0pcmanfm-qt";
    xcb_change_property(x.c, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                        sizeof cls, cls);
    xcb_map_window(x.c, w);
    x.sync();

    QTemporaryDir dir;
    const std::string file = dir.filePath("wall.bmp").toStdString();
    ASSERT_TRUE(drawAt(9, 7).save(QString::fromStdString(file)));
    auto backend = makeRootWindowBackend(display);
    ASSERT_TRUE(backend->readCurrent().ok);
    const xcb_pixmap_t before = x.property("_XROOTPMAP_ID");
    EXPECT_NE(backend->whyCannotApply().find("pcmanfm-qt"), std::string::npos);
    const WallpaperResult r = backend->apply(file, Arrangement::Tile);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.find("\"pcmanfm-qt\" covers the X root window"), std::string::npos)
        << r.message;
    EXPECT_EQ(x.property("_XROOTPMAP_ID"), before);

    // Without it, the same wallpaper is set.
    xcb_destroy_window(x.c, w);
    x.sync();
    EXPECT_EQ(backend->whyCannotApply(), "");
    ASSERT_TRUE(backend->apply(file, Arrangement::Tile).ok);
    ASSERT_TRUE(backend->restore().ok);
}

// A desktop portal that records the file it is handed (through its
// descriptor) and answers as the test says.

class PortalStandIn final : public QDBusVirtualObject
{
public:
    QMutex lock;
    std::atomic<uint> answer = 0; // 0 done, 1 cancelled, 2 failed
    QString settingsUri;          // what the settings portal answers for the GNOME key
    QByteArray received;          // the file's bytes, read from the descriptor
    QVariantMap options;

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& m, const QDBusConnection& c) override
    {
        QMutexLocker hold(&lock);
        if (m.interface() == "org.freedesktop.portal.Settings" && m.member() == "Read") {
            if (settingsUri.isEmpty())
                return c.send(m.createErrorReply("org.freedesktop.portal.Error.NotFound", "no"));
            const QVariant inner = QVariant::fromValue(QDBusVariant(settingsUri));
            return c.send(m.createReply(QVariant::fromValue(QDBusVariant(inner))));
        }
        if (m.member() != "SetWallpaperFile")
            return false;
        const auto fd = qdbus_cast<QDBusUnixFileDescriptor>(m.arguments().value(1));
        QFile file;
        received.clear();
        if (fd.isValid() && file.open(fd.fileDescriptor(), QIODevice::ReadOnly))
            received = file.readAll();
        options = qdbus_cast<QVariantMap>(m.arguments().value(2));
        const QString sender = m.service().mid(1).replace('.', '_');
        const QString request = "/org/freedesktop/portal/desktop/request/" + sender + "/" +
                                options.value("handle_token").toString();
        c.send(m.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        QDBusMessage response =
            QDBusMessage::createSignal(request, "org.freedesktop.portal.Request", "Response");
        response << answer.load() << QVariantMap();
        return c.send(response);
    }
};

TEST_F(WallpaperDesktopSession, PortalGetsTheArrangedPictureAndItsAnswerIsTold)
{
    QTemporaryDir dir;
    const QString awkward = dir.filePath("a b'c\"d$HOME;e\\f\ng -h");
    ASSERT_TRUE(QDir().mkpath(awkward));
    const std::string file = (awkward + "/OmbrixWallpaper-1.bmp").toStdString();
    const QImage picture = drawAt(7, 5);
    PortalOptions options;
    options.monitors = {Monitor{"eDP-1", 0, 0, 32, 20}};
    options.answerTimeoutMs = 10000;

    // No portal on the bus: said before anything is tried, and refused,
    // never reported done.
    EXPECT_NE(makePortalBackend(options)->whyCannotApply().find("no portal answers"),
              std::string::npos);
    EXPECT_FALSE(makePortalBackend(options)->apply(file, Arrangement::Tile).ok);

    PortalStandIn portal;
    OnTheBus on(portal, "/org/freedesktop/portal/desktop", "org.freedesktop.portal.Desktop");
    ASSERT_TRUE(on.registered);

    const struct {
        uint answer;
        Arrangement a;
        bool ok;
        const char* says;
    } rows[] = {{0, Arrangement::Tile, true, ""},
                {0, Arrangement::Center, true, ""},
                {1, Arrangement::Stretch, false, "cancelled"},
                {2, Arrangement::Tile, false, "refused"}};
    auto backend = makePortalBackend(options);
    EXPECT_EQ(backend->whyCannotApply(), "");
    ASSERT_TRUE(backend->readCurrent().ok);
    // The settings portal did not answer: nothing to put back, and why.
    EXPECT_NE(backend->whyCannotRestore().find("cannot be read"), std::string::npos);
    EXPECT_FALSE(backend->restore().ok);
    for (const auto& r : rows) {
        ASSERT_TRUE(picture.save(QString::fromStdString(file), "BMP"));
        portal.answer = r.answer;
        const WallpaperResult result = backend->apply(file, r.a);
        EXPECT_EQ(result.ok, r.ok) << result.message;
        EXPECT_NE(result.message.find(r.says), std::string::npos) << result.message;
        QMutexLocker hold(&portal.lock);
        // The portal has no arrangement: it gets the screen as arranged.
        EXPECT_EQ(QImage::fromData(portal.received).convertToFormat(QImage::Format_RGB32),
                  composeRootPicture(picture, 32, 20, r.a));
        EXPECT_EQ(portal.options.value("set-on").toString(), "background");
    }

    // With the wallpaper readable at start-up, Restore hands it back.
    const QString start = dir.filePath("start's #1.bmp");
    ASSERT_TRUE(drawAt(4, 4).save(start, "BMP"));
    {
        QMutexLocker hold(&portal.lock);
        portal.settingsUri = uri(start.toStdString());
        portal.answer = 0;
    }
    auto again = makePortalBackend(options);
    ASSERT_TRUE(again->readCurrent().ok);
    EXPECT_EQ(again->values().wallpaper, start.toStdString());
    EXPECT_EQ(again->whyCannotRestore(), "");
    ASSERT_TRUE(again->restore().ok);
    QMutexLocker hold(&portal.lock);
    EXPECT_EQ(portal.received, readFile(start));
}

} // namespace
