// SPDX-License-Identifier: GPL-3.0-or-later
// The back ends against real desktop services, run by session_tests.sh,
// which starts them (skipped in a plain run):
// - XFCE: the real xfconfd on a private session bus, with a configuration of
//   two monitors and two workspaces, one of them without a style;
// - Plasma: a stand-in shell on the same bus that records the scripts,
//   answers the read-back and can refuse as a locked Plasma does;
// - the root window of a real Xvfb (-noreset), read back pixel by pixel.
#include "wallpaper/at_its_size.h"
#include "wallpaper/backends.h"
#include "wallpaper/wallpaper.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QDir>
#include <QElapsedTimer>
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

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

using namespace ombrix;
using ombrix::test::atItsSize;

namespace
{

bool sessionBus()
{
    return std::getenv("OMBRIX_TEST_SESSION_BUS") != nullptr;
}

// ---------------------------------------------------------------------------
// XFCE

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

TEST(WallpaperDesktopSession, XfceEveryMonitorAndWorkspaceAndBack)
{
    if (!sessionBus())
        GTEST_SKIP() << "needs xfconfd on a private bus (tests/wallpaper/session_tests.sh)";
    const QString dir =
        qEnvironmentVariable("XDG_CONFIG_HOME") + "/xfce4/xfconf/xfce-perchannel-xml";
    ASSERT_TRUE(QDir().mkpath(dir));
    QFile xml(dir + "/xfce4-desktop.xml");
    ASSERT_TRUE(xml.open(QIODevice::WriteOnly));
    xml.write(kXfceConfig);
    xml.close();

    const QVariantMap start = xfconfBackdrop();
    ASSERT_EQ(start.size(), 7);
    auto backend = makeXfconfBackend();
    EXPECT_EQ(backend->whyCannotApply(), ""); // activatable on this bus
    ASSERT_TRUE(backend->readCurrent().ok);
    const DesktopValues v = backend->values();
    // Zoomed: no menu item.
    EXPECT_EQ(v.wallpaper + "|" + v.tile + "|" + v.style,
              "/usr/share/backgrounds/xfce/a b.png|0|5");

    const char* const monitors[] = {"monitorHDMI-1", "monitoreDP-1"};
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
        for (const char* m : monitors)
            for (int w = 0; w < 2; ++w) {
                const QString base = QString("/backdrop/screen0/%1/workspace%2").arg(m).arg(w);
                EXPECT_EQ(now.value(base + "/last-image").toString(), s.file) << base.toStdString();
                EXPECT_EQ(now.value(base + "/image-style").toInt(), s.style) << base.toStdString();
            }
    }
    ASSERT_TRUE(backend->restore().ok);
    // Exactly the start: the style that did not exist is gone again.
    EXPECT_EQ(xfconfBackdrop(), start);

    // A picture per monitor: each monitor's own keys on every workspace,
    // created for a monitor the desktop had not seen; the others untouched.
    auto monitor = [](const char* name) {
        Monitor m;
        m.name = name;
        return m;
    };
    ASSERT_TRUE(backend->readCurrent().ok);
    ASSERT_TRUE(
        backend->applyEach({{monitor("HDMI-1"), "/w/h.bmp"}, {monitor("DP-2"), "/w/d.bmp"}}).ok);
    const QVariantMap each = xfconfBackdrop();
    for (int w = 0; w < 2; ++w) {
        const QString n = QString::number(w);
        EXPECT_EQ(each.value("/backdrop/screen0/monitorHDMI-1/workspace" + n + "/last-image"),
                  "/w/h.bmp");
        EXPECT_EQ(each.value("/backdrop/screen0/monitorDP-2/workspace" + n + "/last-image"),
                  "/w/d.bmp");
        EXPECT_EQ(each.value("/backdrop/screen0/monitorDP-2/workspace" + n + "/image-style"), 3);
        EXPECT_EQ(each.value("/backdrop/screen0/monitoreDP-1/workspace" + n + "/last-image"),
                  start.value("/backdrop/screen0/monitoreDP-1/workspace" + n + "/last-image"));
    }
    ASSERT_TRUE(backend->restore().ok);
    EXPECT_EQ(xfconfBackdrop(), start);
}

// ---------------------------------------------------------------------------
// Plasma: a stand-in shell in a thread of its own, on its own connection.

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

QImage drawAt(int w, int h);

class PlasmaStandIn final : public QDBusVirtualObject
{
public:
    QMutex lock;
    const QJsonArray start{desk(0, "org.kde.image", "file:///usr/share/wallpapers/Next.png", ""),
                           desk(1, "org.kde.slideshow", "file:///x.jpg", "1")};
    QJsonArray desks = start;
    bool locked = false;

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

TEST(WallpaperDesktopSession, PlasmaEachDesktopAndBackAndItsRefusal)
{
    if (!sessionBus())
        GTEST_SKIP() << "needs a private session bus (tests/wallpaper/session_tests.sh)";
    // No shell on the bus yet: said before anything is tried.
    EXPECT_NE(makePlasmaBackend()->whyCannotApply().find("not running"), std::string::npos);
    QThread thread;
    PlasmaStandIn shell;
    shell.moveToThread(&thread);
    thread.start();
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "plasma");
    ASSERT_TRUE(bus.registerVirtualObject("/PlasmaShell", &shell));
    ASSERT_TRUE(bus.registerService("org.kde.plasmashell"));

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
        QMutexLocker hold(&shell.lock);
        for (int id = 0; id < 2; ++id)
            EXPECT_EQ(shell.desks[id].toObject(),
                      desk(id, "org.kde.image", QString::fromStdString(fileUri(s.file)), s.fill));
    }
    ASSERT_TRUE(backend->restore().ok);
    {
        QMutexLocker hold(&shell.lock);
        EXPECT_EQ(shell.desks, shell.start);
    }
    // A picture per screen, each drawn at its size: shown one to one.
    Monitor left, right;
    left.name = "HDMI-1";
    right.name = "eDP-1";
    ASSERT_TRUE(backend->applyEach({{left, "/w/it's 1.bmp"}, {right, "/w/two #2.bmp"}}).ok);
    {
        QMutexLocker hold(&shell.lock);
        EXPECT_EQ(shell.desks[0].toObject(),
                  desk(0, "org.kde.image", QString::fromStdString(fileUri("/w/it's 1.bmp")), "0"));
        EXPECT_EQ(shell.desks[1].toObject(),
                  desk(1, "org.kde.image", QString::fromStdString(fileUri("/w/two #2.bmp")), "0"));
    }
    ASSERT_TRUE(backend->restore().ok);

    // Plasma tiles from the screen's centre: with the monitor known, the
    // tiles go composed from its top left at its size, and Plasma stretches
    // that picture one to one.
    Monitor screen;
    screen.width = 32;
    screen.height = 20;
    QTemporaryDir dir;
    const QString tiled = dir.filePath("OmbrixWallpaper-5.bmp");
    ASSERT_TRUE(drawAt(7, 5).save(tiled, "BMP"));
    ASSERT_TRUE(makePlasmaBackend({screen})->apply(tiled.toStdString(), Arrangement::Tile).ok);
    EXPECT_EQ(QImage(tiled).convertToFormat(QImage::Format_RGB32),
              composeRootPicture(drawAt(7, 5), 32, 20, Arrangement::Tile));
    {
        QMutexLocker hold(&shell.lock);
        EXPECT_EQ(shell.desks[0].toObject().value("fill"), "0");
    }
    ASSERT_TRUE(backend->restore().ok);
    {
        QMutexLocker hold(&shell.lock);
        EXPECT_EQ(shell.desks, shell.start);
        shell.locked = true;
    }
    const WallpaperResult refused = backend->apply("/w/x.bmp", Arrangement::Tile);
    EXPECT_NE(refused.message.find("Widgets are locked"), std::string::npos) << refused.message;
    EXPECT_FALSE(refused.ok);

    bus.unregisterService("org.kde.plasmashell");
    QDBusConnection::disconnectFromBus("plasma");
    thread.quit();
    thread.wait();
}

// ---------------------------------------------------------------------------
// The root window

template <class R> std::unique_ptr<R, void (*)(void*)> owned(R* r)
{
    return {r, std::free};
}

struct X {
    xcb_connection_t* c;
    xcb_screen_t* s;
    explicit X(const char* display)
        : c(xcb_connect(display, nullptr)), s(xcb_setup_roots_iterator(xcb_get_setup(c)).data)
    {
    }
    ~X()
    {
        sync();
        xcb_disconnect(c);
    }
    void sync() const { owned(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); }
    xcb_atom_t atom(const char* name) const
    {
        const auto n = static_cast<uint16_t>(std::strlen(name));
        return owned(xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, n, name), nullptr))->atom;
    }
    xcb_pixmap_t property(const char* name) const
    {
        auto r = owned(xcb_get_property_reply(
            c, xcb_get_property(c, 0, s->root, atom(name), XCB_ATOM_PIXMAP, 0, 1), nullptr));
        return xcb_get_property_value_length(r.get()) == 4
                   ? *static_cast<xcb_pixmap_t*>(xcb_get_property_value(r.get()))
                   : 0;
    }
    void publish(xcb_pixmap_t id) const
    {
        for (const char* name : {"_XROOTPMAP_ID", "ESETROOT_PMAP_ID"})
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, s->root, atom(name), XCB_ATOM_PIXMAP, 32,
                                1, &id);
        sync();
    }
    bool alive(xcb_drawable_t id) const
    {
        xcb_generic_error_t* e = nullptr;
        auto g = owned(xcb_get_geometry_reply(c, xcb_get_geometry(c, id), &e));
        std::free(e);
        return g != nullptr;
    }
    // A pixmap of one colour, owned by this connection.
    xcb_pixmap_t filled(uint16_t w, uint16_t h, uint32_t colour) const
    {
        const xcb_pixmap_t p = xcb_generate_id(c);
        const xcb_gcontext_t gc = xcb_generate_id(c);
        xcb_create_pixmap(c, s->root_depth, p, s->root, w, h);
        xcb_create_gc(c, gc, p, XCB_GC_FOREGROUND, &colour);
        const xcb_rectangle_t all{0, 0, w, h};
        xcb_poly_fill_rectangle(c, p, gc, 1, &all);
        return p;
    }
    QImage pixels(xcb_drawable_t id) const
    {
        const uint16_t w = s->width_in_pixels, h = s->height_in_pixels;
        auto r = owned(xcb_get_image_reply(
            c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, id, 0, 0, w, h, ~0u), nullptr));
        return r ? QImage(xcb_get_image_data(r.get()), w, h, QImage::Format_RGB32).copy()
                 : QImage();
    }
};

TEST(WallpaperDesktopSession, RootWindowTiledCentredStretchedAndBack)
{
    const char* display = std::getenv("OMBRIX_TEST_X_DISPLAY");
    if (display == nullptr)
        GTEST_SKIP() << "needs an Xvfb started with -noreset (tests/wallpaper/session_tests.sh)";
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
    const QImage before = x.pixels(x.s->root);
    ASSERT_EQ(before.pixel(w / 2, h / 2) & 0xffffff, 0x336699u);

    QTemporaryDir dir;
    QImage picture(37, 23, QImage::Format_RGB32);
    for (int py = 0; py < 23; ++py)
        for (int px = 0; px < 37; ++px)
            picture.setPixel(px, py, qRgb(px * 7, py * 11, (px + py) * 3));
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
        EXPECT_EQ(x.pixels(x.s->root), want) << static_cast<int>(a);
        EXPECT_EQ(x.pixels(now), want);
        EXPECT_EQ(x.property("ESETROOT_PMAP_ID"), now);
        EXPECT_FALSE(x.alive(previous)) << "the previous pixmap was not freed";
        previous = now;
    }
    decoyOwner.sync();
    EXPECT_TRUE(x.alive(decoy) && xcb_connection_has_error(decoyOwner.c) == 0);

    ASSERT_TRUE(backend->restore().ok);
    EXPECT_EQ(x.pixels(x.s->root), before);
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

// A design whose every pixel tells the size it was drawn at.
QImage drawAt(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb((x * 7 + w) % 256, (y * 5 + h) % 256, (x ^ y) % 256));
    return img;
}

// Two and three RandR monitors of different sizes on one 320 x 200 screen
// (the first on Xvfb's output, the others on none, so that Xvfb does not
// keep its whole-screen monitor as one more): each monitor's region of the
// root shows the design drawn at that monitor's size.
TEST(WallpaperDesktopSession, RootWindowAPictureForEachRandrMonitor)
{
    const char* display = std::getenv("OMBRIX_TEST_X_DISPLAY");
    if (display == nullptr)
        GTEST_SKIP() << "needs an Xvfb started with -noreset (tests/wallpaper/session_tests.sh)";
    if (QStandardPaths::findExecutable("xrandr").isEmpty())
        GTEST_SKIP() << "xrandr is not installed";
    const struct {
        const char* name;
        const char* geometry;
        const char* output;
        Monitor want;
    } two[] = {{"Left", "200/50x200/50+0+0", "screen", {"Left", 0, 0, 200, 200, 1.0, false}},
               {"Right", "120/30x100/25+200+0", "none", {"Right", 200, 0, 120, 100, 1.0, false}}},
      three[] = {{"Top", "160/40x120/30+0+0", "screen", {"Top", 0, 0, 160, 120, 1.0, false}},
                 {"Side", "160/40x80/20+160+0", "none", {"Side", 160, 0, 160, 80, 1.0, false}},
                 {"Wide", "320/80x80/20+0+120", "none", {"Wide", 0, 120, 320, 80, 1.0, false}}};
    X x(display);
    for (const auto& layout : {std::vector(std::begin(two), std::end(two)),
                               std::vector(std::begin(three), std::end(three))}) {
        for (const auto& m : layout)
            ASSERT_EQ(QProcess::execute(
                          "xrandr", {"-d", display, "--setmonitor", m.name, m.geometry, m.output}),
                      0);
        const MonitorList found = listXMonitors(display);
        ASSERT_EQ(found.monitors.size(), layout.size()) << found.why;
        for (size_t i = 0; i < layout.size(); ++i) {
            const Monitor& f = found.monitors[i];
            const Monitor& w = layout[i].want;
            EXPECT_EQ(describeMonitor(f), describeMonitor(w));
        }
        QTemporaryDir dir;
        auto backend = makeRootWindowBackend(display);
        ASSERT_TRUE(backend->readCurrent().ok);
        QElapsedTimer clock;
        clock.start();
        const WallpaperResult r = setMonitorWallpapers(*backend, found.monitors, atItsSize(drawAt),
                                                       dir.path().toStdString(), {});
        ASSERT_TRUE(r.ok) << r.message;
        const QImage root = x.pixels(x.s->root);
        for (const Monitor& m : found.monitors)
            EXPECT_EQ(root.copy(m.x, m.y, m.width, m.height), drawAt(m.width, m.height)) << m.name;
        std::printf("X root window, %zu monitors: applied and read back in %lld ms\n",
                    layout.size(), static_cast<long long>(clock.elapsed()));
        ASSERT_TRUE(backend->restore().ok);
        for (const auto& m : layout)
            QProcess::execute("xrandr", {"-d", display, "--delmonitor", m.name});
    }
}

// The command line without --size, as a login script runs it on a laptop
// with an external screen: it lists the RandR monitors, and each one's region
// of the root shows the design as `ombrix render` draws it at that size.
TEST(WallpaperDesktopSession, CommandLineDrawsTheDesignForEachMonitor)
{
    const char* display = std::getenv("OMBRIX_TEST_X_DISPLAY");
    const char* program = std::getenv("OMBRIX_TEST_PROGRAM");
    if (display == nullptr || program == nullptr)
        GTEST_SKIP() << "needs an Xvfb and the program (tests/wallpaper/session_tests.sh)";
    if (QStandardPaths::findExecutable("xrandr").isEmpty())
        GTEST_SKIP() << "xrandr is not installed";
    ASSERT_EQ(QProcess::execute(
                  "xrandr", {"-d", display, "--setmonitor", "Left", "200/50x200/50+0+0", "screen"}),
              0);
    ASSERT_EQ(QProcess::execute("xrandr", {"-d", display, "--setmonitor", "Right",
                                           "120/30x100/25+200+0", "none"}),
              0);
    QTemporaryDir home;
    const auto run = [&](const QStringList& args, QString* out = nullptr) {
        QProcess p;
        QProcessEnvironment env;
        env.insert("PATH", qEnvironmentVariable("PATH"));
        env.insert("HOME", home.path());
        env.insert("DISPLAY", display);
        p.setProcessEnvironment(env);
        p.start(program, args);
        p.waitForFinished(60000);
        if (out != nullptr)
            *out = QString::fromLocal8Bit(p.readAllStandardOutput());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    };
    QString listed;
    EXPECT_EQ(run({"wallpaper", "--list-monitors"}, &listed), 0);
    EXPECT_EQ(listed.toStdString(), "Left 200x200+0+0 scale 1\nRight 120x100+200+0 scale 1\n");
    EXPECT_EQ(run({"wallpaper", "--preset", "1"}), 0);
    X x(display);
    const QImage root = x.pixels(x.s->root);
    for (const QRect& m : {QRect(0, 0, 200, 200), QRect(200, 0, 120, 100)}) {
        const QString file = home.filePath("render.bmp");
        ASSERT_EQ(run({"render", "--preset", "1", "--size",
                       QString("%1x%2").arg(m.width()).arg(m.height()), "--out", file}),
                  0);
        EXPECT_EQ(root.copy(m), QImage(file).convertToFormat(QImage::Format_RGB32))
            << m.width() << "x" << m.height();
    }
    // Listing stands alone: with a design as well it is a usage error.
    EXPECT_EQ(run({"wallpaper", "--list-monitors", "--preset", "1"}), 2);
    for (const char* name : {"Left", "Right"})
        QProcess::execute("xrandr", {"-d", display, "--delmonitor", name});
}

// A desktop program's window over the root (pcmanfm-qt, caja, xfdesktop
// map one): the root's background would not show, so the back end refuses
// and names the program, and the root keeps its wallpaper.
TEST(WallpaperDesktopSession, RootWindowRefusesUnderADesktopWindow)
{
    const char* display = std::getenv("OMBRIX_TEST_X_DISPLAY");
    if (display == nullptr)
        GTEST_SKIP() << "needs an Xvfb started with -noreset (tests/wallpaper/session_tests.sh)";
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

// ---------------------------------------------------------------------------
// The desktop portal: a stand-in on the private bus that records the file it
// is handed (through its descriptor) and answers as the test says.

class PortalStandIn final : public QDBusVirtualObject
{
public:
    QMutex lock;
    uint answer = 0;     // 0 done, 1 cancelled, 2 failed
    QString settingsUri; // what the settings portal answers for the GNOME key
    QByteArray received; // the file's bytes, read from the descriptor
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
        QString sender = m.service().mid(1);
        sender.replace('.', '_');
        const QString request = "/org/freedesktop/portal/desktop/request/" + sender + "/" +
                                options.value("handle_token").toString();
        c.send(m.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        QDBusMessage response =
            QDBusMessage::createSignal(request, "org.freedesktop.portal.Request", "Response");
        response << answer << QVariantMap();
        return c.send(response);
    }
};

TEST(WallpaperDesktopSession, PortalGetsTheArrangedPictureAndItsAnswerIsTold)
{
    if (!sessionBus())
        GTEST_SKIP() << "needs a private session bus (tests/wallpaper/session_tests.sh)";
    QTemporaryDir dir;
    const QString awkward = dir.filePath("a b'c\"d$HOME;e\\f\ng -h");
    ASSERT_TRUE(QDir().mkpath(awkward));
    const std::string file = (awkward + "/OmbrixWallpaper-1.bmp").toStdString();
    const QImage picture = drawAt(7, 5);
    Monitor screen;
    screen.name = "eDP-1";
    screen.width = 32;
    screen.height = 20;
    PortalOptions options;
    options.monitors = {screen};
    options.answerTimeoutMs = 10000;

    // No portal on the bus: said before anything is tried, and refused,
    // never reported done.
    EXPECT_NE(makePortalBackend(options)->whyCannotApply().find("no portal answers"),
              std::string::npos);
    EXPECT_FALSE(makePortalBackend(options)->apply(file, Arrangement::Tile).ok);

    QThread thread;
    PortalStandIn portal;
    portal.moveToThread(&thread);
    thread.start();
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "portal");
    ASSERT_TRUE(bus.registerVirtualObject("/org/freedesktop/portal/desktop", &portal));
    ASSERT_TRUE(bus.registerService("org.freedesktop.portal.Desktop"));

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
        {
            QMutexLocker hold(&portal.lock);
            portal.answer = r.answer;
        }
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
        portal.settingsUri = QString::fromStdString(fileUri(start.toStdString()));
        portal.answer = 0;
    }
    auto again = makePortalBackend(options);
    ASSERT_TRUE(again->readCurrent().ok);
    EXPECT_EQ(again->values().wallpaper, start.toStdString());
    EXPECT_EQ(again->whyCannotRestore(), "");
    ASSERT_TRUE(again->restore().ok);
    {
        QMutexLocker hold(&portal.lock);
        QFile f(start);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(portal.received, f.readAll());
    }

    bus.unregisterService("org.freedesktop.portal.Desktop");
    QDBusConnection::disconnectFromBus("portal");
    thread.quit();
    thread.wait();
}

} // namespace
