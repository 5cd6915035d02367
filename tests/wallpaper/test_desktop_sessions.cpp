// The back ends against real desktop services, run by session_tests.sh,
// which starts them (skipped in a plain run):
// - XFCE: the real xfconfd on a private session bus, with a configuration of
//   two monitors and two workspaces, one of them without a style;
// - Plasma: a stand-in shell on the same bus that records the scripts,
//   answers the read-back and can refuse as a locked Plasma does;
// - the root window of a real Xvfb (-noreset), read back pixel by pixel.
#include "wallpaper/backends.h"
#include "wallpaper/wallpaper.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <vector>

using namespace ombrix;

namespace
{

bool sessionBus()
{
    return std::getenv("OMBRIX_TEST_SESSION_BUS") != nullptr;
}

// ---------------------------------------------------------------------------
// XFCE

const char* const kXfceConfig = R"(<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-desktop" version="1.0">
  <property name="backdrop" type="empty">
    <property name="screen0" type="empty">
      <property name="monitorHDMI-1" type="empty">
        <property name="workspace0" type="empty">
          <property name="last-image" type="string" value="/usr/share/backgrounds/xfce/a b.png"/>
          <property name="image-style" type="int" value="5"/>
        </property>
        <property name="workspace1" type="empty">
          <property name="last-image" type="string" value="/b.png"/>
        </property>
      </property>
      <property name="monitoreDP-1" type="empty">
        <property name="workspace0" type="empty">
          <property name="last-image" type="string" value="/c.png"/>
          <property name="image-style" type="int" value="2"/>
        </property>
        <property name="workspace1" type="empty">
          <property name="last-image" type="string" value="/d.png"/>
          <property name="image-style" type="int" value="3"/>
        </property>
      </property>
    </property>
  </property>
</channel>
)";

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
    ASSERT_TRUE(backend->readCurrent().ok);
    const DesktopValues v = backend->values();
    EXPECT_EQ(v.wallpaper, "/usr/share/backgrounds/xfce/a b.png");
    EXPECT_EQ(v.tile, "0");
    EXPECT_EQ(v.style, "5"); // zoomed: no menu item

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
}

// ---------------------------------------------------------------------------
// Plasma: a stand-in shell in a thread of its own, on its own connection.

const QString kJsonString = R"("(?:[^"\\]|\\.)*")";

QString jsonValue(const QString& literal)
{
    return QJsonDocument::fromJson(("[" + literal + "]").toUtf8()).array().at(0).toString();
}

class PlasmaStandIn final : public QDBusVirtualObject
{
public:
    struct Desk {
        int id;
        QString plugin, image, fill;
    };
    QMutex lock;
    std::vector<Desk> desks{{0, "org.kde.image", "file:///usr/share/wallpapers/Next.png", ""},
                            {1, "org.kde.slideshow", "file:///x.jpg", "1"}};
    QStringList scripts;
    bool locked = false;

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& m, const QDBusConnection& c) override
    {
        QMutexLocker hold(&lock);
        if (m.member() != "evaluateScript")
            return false;
        const QString script = m.arguments().value(0).toString();
        scripts << script;
        if (locked) {
            c.send(m.createErrorReply("org.kde.plasmashell.Error", "Widgets are locked"));
            return true;
        }
        if (script.contains("JSON.stringify")) {
            QJsonArray out;
            for (const Desk& d : desks)
                out.append(QJsonObject{
                    {"id", d.id}, {"plugin", d.plugin}, {"image", d.image}, {"fill", d.fill}});
            c.send(m.createReply(QString::fromUtf8(QJsonDocument(out).toJson())));
            return true;
        }
        static const QRegularExpression put("put\\((\\d+), (" + kJsonString + "), (" + kJsonString +
                                            "), (" + kJsonString + ")\\);");
        static const QRegularExpression image("writeConfig\\('Image', (" + kJsonString + ")\\)");
        static const QRegularExpression fill("writeConfig\\('FillMode', (\\d+)\\)");
        for (auto it = put.globalMatch(script); it.hasNext();) {
            const QRegularExpressionMatch p = it.next();
            for (Desk& d : desks)
                if (d.id == p.captured(1).toInt())
                    d = {d.id, jsonValue(p.captured(2)), jsonValue(p.captured(3)),
                         jsonValue(p.captured(4))};
        }
        const QRegularExpressionMatch i = image.match(script), f = fill.match(script);
        if (!script.contains("put(") && i.hasMatch() && f.hasMatch())
            for (Desk& d : desks)
                d = {d.id, "org.kde.image", jsonValue(i.captured(1)), f.captured(1)};
        c.send(m.createReply(QString()));
        return true;
    }
};

TEST(WallpaperDesktopSession, PlasmaEachDesktopAndBackAndItsRefusal)
{
    if (!sessionBus())
        GTEST_SKIP() << "needs a private session bus (tests/wallpaper/session_tests.sh)";
    QThread thread;
    PlasmaStandIn shell;
    shell.moveToThread(&thread);
    thread.start();
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "plasma");
    ASSERT_TRUE(bus.registerVirtualObject("/PlasmaShell", &shell));
    ASSERT_TRUE(bus.registerService("org.kde.plasmashell"));

    auto backend = makePlasmaBackend();
    ASSERT_TRUE(backend->readCurrent().ok);
    EXPECT_EQ(backend->values().wallpaper, "/usr/share/wallpapers/Next.png");
    EXPECT_EQ(backend->values().style, "2"); // Plasma's default, crop: no item
    EXPECT_EQ(backend->values().tile, "0");

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
        for (const PlasmaStandIn::Desk& d : shell.desks) {
            EXPECT_EQ(d.plugin, "org.kde.image");
            EXPECT_EQ(d.image.toStdString(), fileUri(s.file));
            EXPECT_EQ(d.fill, s.fill);
        }
    }
    ASSERT_TRUE(backend->restore().ok);
    {
        QMutexLocker hold(&shell.lock);
        EXPECT_EQ(shell.desks[0].image, "file:///usr/share/wallpapers/Next.png");
        EXPECT_EQ(shell.desks[0].fill, "");
        EXPECT_EQ(shell.desks[1].plugin, "org.kde.slideshow");
        EXPECT_EQ(shell.desks[1].fill, "1");
        shell.locked = true;
    }
    const WallpaperResult refused = backend->apply("/w/x.bmp", Arrangement::Tile);
    EXPECT_FALSE(refused.ok);
    EXPECT_NE(refused.message.find("Widgets are locked"), std::string::npos) << refused.message;

    bus.unregisterService("org.kde.plasmashell");
    bus.unregisterObject("/PlasmaShell");
    QDBusConnection::disconnectFromBus("plasma");
    thread.quit();
    thread.wait();
    const WallpaperResult gone = backend->apply("/w/x.bmp", Arrangement::Tile);
    EXPECT_FALSE(gone.ok);
    EXPECT_NE(gone.message.find("not running"), std::string::npos) << gone.message;
}

// ---------------------------------------------------------------------------
// The root window

struct X {
    xcb_connection_t* c;
    xcb_screen_t* s;
    explicit X(const char* display) : c(xcb_connect(display, nullptr))
    {
        s = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    }
    ~X()
    {
        sync();
        xcb_disconnect(c);
    }
    void sync() const { std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); }
    xcb_atom_t atom(const char* name) const
    {
        auto* r = xcb_intern_atom_reply(
            c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
        const xcb_atom_t a = r->atom;
        std::free(r);
        return a;
    }
    xcb_pixmap_t property(const char* name) const
    {
        auto* r = xcb_get_property_reply(
            c, xcb_get_property(c, 0, s->root, atom(name), XCB_ATOM_PIXMAP, 0, 1), nullptr);
        xcb_pixmap_t id = 0;
        if (r != nullptr && xcb_get_property_value_length(r) == 4)
            id = *static_cast<xcb_pixmap_t*>(xcb_get_property_value(r));
        std::free(r);
        return id;
    }
    void publish(xcb_pixmap_t id) const
    {
        for (const char* name : {"_XROOTPMAP_ID", "ESETROOT_PMAP_ID"})
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, s->root, atom(name), XCB_ATOM_PIXMAP, 32,
                                1, &id);
    }
    bool alive(xcb_drawable_t id) const
    {
        xcb_generic_error_t* e = nullptr;
        auto* g = xcb_get_geometry_reply(c, xcb_get_geometry(c, id), &e);
        std::free(e);
        std::free(g);
        return g != nullptr;
    }
    // A pixmap of `w` x `h` filled with one colour, owned by this connection.
    xcb_pixmap_t filled(uint16_t w, uint16_t h, uint32_t colour) const
    {
        const xcb_pixmap_t p = xcb_generate_id(c);
        xcb_create_pixmap(c, s->root_depth, p, s->root, w, h);
        const xcb_gcontext_t gc = xcb_generate_id(c);
        xcb_create_gc(c, gc, p, XCB_GC_FOREGROUND, &colour);
        const xcb_rectangle_t all{0, 0, w, h};
        xcb_poly_fill_rectangle(c, p, gc, 1, &all);
        xcb_free_gc(c, gc);
        return p;
    }
    QImage drawable(xcb_drawable_t id) const
    {
        const int w = s->width_in_pixels, h = s->height_in_pixels;
        auto* r = xcb_get_image_reply(c,
                                      xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, id, 0, 0,
                                                    static_cast<uint16_t>(w),
                                                    static_cast<uint16_t>(h), ~0u),
                                      nullptr);
        QImage img;
        if (r != nullptr)
            img = QImage(xcb_get_image_data(r), w, h, QImage::Format_RGB32).copy();
        std::free(r);
        return img;
    }
};

TEST(WallpaperDesktopSession, RootWindowTiledCentredStretchedAndBack)
{
    const char* display = std::getenv("OMBRIX_TEST_X_DISPLAY");
    if (display == nullptr)
        GTEST_SKIP() << "needs an Xvfb started with -noreset (tests/wallpaper/session_tests.sh)";
    X x(display);
    const int w = x.s->width_in_pixels, h = x.s->height_in_pixels;
    // The previous setter: a retained root-sized pixmap, in both atoms.
    xcb_pixmap_t previous = 0;
    {
        X setter(display);
        previous = setter.filled(static_cast<uint16_t>(w), static_cast<uint16_t>(h), 0x336699);
        xcb_change_window_attributes(setter.c, setter.s->root, XCB_CW_BACK_PIXMAP, &previous);
        xcb_clear_area(setter.c, 0, setter.s->root, 0, 0, 0, 0);
        setter.publish(previous);
        xcb_set_close_down_mode(setter.c, XCB_CLOSE_DOWN_RETAIN_PERMANENT);
    }
    const QImage before = x.drawable(x.s->root);
    ASSERT_EQ(before.pixel(w / 2, h / 2) & 0xffffff, 0x336699u);

    QTemporaryDir dir;
    QImage picture(37, 23, QImage::Format_RGB32);
    for (int py = 0; py < 23; ++py)
        for (int px = 0; px < 37; ++px)
            picture.setPixel(px, py, qRgb(px * 7, py * 11, (px + py) * 3));
    const QString file = dir.filePath("wall.bmp");
    ASSERT_TRUE(picture.save(file));

    auto backend = makeRootWindowBackend(display);
    ASSERT_TRUE(backend->readCurrent().ok);
    // A small pixmap of a running client, planted in the atoms: never freed.
    X decoyOwner(display);
    const xcb_pixmap_t decoy = decoyOwner.filled(8, 8, 0xff0000);
    xcb_flush(decoyOwner.c);
    for (Arrangement a : {Arrangement::Tile, Arrangement::Center, Arrangement::Stretch}) {
        if (a == Arrangement::Center) {
            x.publish(decoy);
            xcb_flush(x.c);
        }
        const WallpaperResult r = backend->apply(file.toStdString(), a);
        ASSERT_TRUE(r.ok) << r.message;
        const QImage want = composeRootPicture(picture, w, h, a);
        EXPECT_EQ(x.drawable(x.s->root), want) << static_cast<int>(a);
        const xcb_pixmap_t now = x.property("_XROOTPMAP_ID");
        EXPECT_EQ(x.property("ESETROOT_PMAP_ID"), now);
        EXPECT_EQ(x.drawable(now), want);
        EXPECT_FALSE(x.alive(previous))
            << "the previous pixmap was not freed " << static_cast<int>(a) << " " << previous;
        previous = now;
    }
    EXPECT_TRUE(x.alive(decoy));
    EXPECT_EQ(xcb_connection_has_error(decoyOwner.c), 0);
    std::free(xcb_get_input_focus_reply(decoyOwner.c, xcb_get_input_focus(decoyOwner.c), nullptr));
    EXPECT_EQ(xcb_connection_has_error(decoyOwner.c), 0) << "the decoy's owner was killed";

    ASSERT_TRUE(backend->restore().ok);
    const QImage after = x.drawable(x.s->root);
    EXPECT_EQ(after, before) << std::hex << after.pixel(0, 0) << " " << before.pixel(0, 0);
    EXPECT_FALSE(x.alive(previous));

    // A root without a wallpaper goes back to none.
    for (const char* name : {"_XROOTPMAP_ID", "ESETROOT_PMAP_ID"})
        xcb_delete_property(x.c, x.s->root, x.atom(name));
    xcb_flush(x.c);
    auto bare = makeRootWindowBackend(display);
    ASSERT_TRUE(bare->readCurrent().ok);
    ASSERT_TRUE(bare->apply(file.toStdString(), Arrangement::Tile).ok);
    const xcb_pixmap_t ours = x.property("_XROOTPMAP_ID");
    ASSERT_TRUE(bare->restore().ok);
    EXPECT_EQ(x.property("_XROOTPMAP_ID"), 0u);
    EXPECT_EQ(x.property("ESETROOT_PMAP_ID"), 0u);
    EXPECT_FALSE(x.alive(ours));

    const WallpaperResult unreachable =
        makeRootWindowBackend(":987")->apply(file.toStdString(), Arrangement::Tile);
    EXPECT_FALSE(unreachable.ok);
    EXPECT_NE(unreachable.message.find(":987"), std::string::npos) << unreachable.message;
}

} // namespace
