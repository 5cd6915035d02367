// SPDX-License-Identifier: GPL-3.0-or-later
// XFCE (xfconf) and KDE Plasma (the shell's scripting interface), both over
// the session bus.
#include "wallpaper/backends.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QStringList>
#include <QVariant>

namespace ombrix
{

namespace
{

// Desktop calls answer at once or not at all; a minute-long wait would
// freeze the program.
constexpr int kTimeoutMs = 10000;

QDBusMessage call(const QString& service, const QString& path, const QString& interface,
                  const QString& method, const QVariantList& args)
{
    QDBusMessage m = QDBusMessage::createMethodCall(service, path, interface, method);
    m.setArguments(args);
    return QDBusConnection::sessionBus().call(m, QDBus::Block, kTimeoutMs);
}

// A service that answers now, or that the bus starts when called.
bool serviceReachable(const QString& name)
{
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    if (bus == nullptr)
        return false;
    if (bus->isServiceRegistered(name).value())
        return true;
    const QDBusReply<QStringList> activatable = bus->activatableServiceNames();
    return activatable.isValid() && activatable.value().contains(name);
}

std::string noBus(const std::string& desktop)
{
    return "There is no session bus to reach the " + desktop +
           " settings, so the wallpaper cannot be set. Start Ombrix inside the desktop session.";
}

// ---------------------------------------------------------------------------
// XFCE: xfconf channel "xfce4-desktop", one image and style per monitor and
// workspace: /backdrop/screen0/monitor<NAME>/workspace<N>/last-image.

const QString kXfService = "org.xfce.Xfconf";
const QString kXfPath = "/org/xfce/Xfconf";
const QString kXfChannel = "xfce4-desktop";
const QString kLastImage = "/last-image";
const QString kImageStyle = "/image-style";

int xfStyle(Arrangement a)
{
    switch (a) {
    case Arrangement::Tile:
        return 2;
    case Arrangement::Center:
        return 1;
    case Arrangement::Stretch:
        return 3;
    }
    return 2;
}

class XfconfWallpaper final : public WallpaperBackend
{
public:
    std::string desktopName() const override { return "XFCE"; }

    std::string whyCannotApply() const override
    {
        if (!QDBusConnection::sessionBus().isConnected())
            return noBus("XFCE");
        if (!serviceReachable(kXfService))
            return "The XFCE settings service (xfconfd) is neither running nor installed, so the "
                   "wallpaper cannot be set. Install the package \"xfconf\".";
        return {};
    }

    WallpaperResult readCurrent() override
    {
        QVariantMap all;
        const WallpaperResult r = getAll(all);
        if (!r.ok)
            return r;
        original_ = all;
        workspaces_.clear();
        for (auto it = all.cbegin(); it != all.cend(); ++it)
            if (it.key().endsWith(kLastImage))
                workspaces_ << it.key().chopped(kLastImage.size());
        // A desktop never configured has no keys yet: xfdesktop's first
        // monitor and workspace stand for it.
        if (workspaces_.isEmpty())
            workspaces_ << "/backdrop/screen0/monitor0/workspace0";
        read_ = true;
        return WallpaperResult::success();
    }

    DesktopValues values() const override
    {
        DesktopValues v;
        if (!read_)
            return v;
        const QString first = workspaces_.front();
        if (original_.contains(first + kLastImage))
            v.wallpaper = original_.value(first + kLastImage).toString().toStdString();
        if (!original_.contains(first + kImageStyle))
            return v;
        const int style = original_.value(first + kImageStyle).toInt();
        v.tile = style == 2 ? "1" : "0";
        v.style = style == 1 || style == 2 ? "0" : style == 3 ? "2" : std::to_string(style);
        return v;
    }

    // The keys in force are read before the first change, so that Restore
    // has them even when the menu was never opened.
    WallpaperResult readOnce() { return read_ ? WallpaperResult::success() : readCurrent(); }

    WallpaperResult apply(const std::string& file, Arrangement a) override
    {
        if (const WallpaperResult r = readOnce(); !r.ok)
            return r;
        QVariantMap wanted;
        for (const QString& w : std::as_const(workspaces_)) {
            wanted[w + kLastImage] = QString::fromLocal8Bit(file.c_str());
            wanted[w + kImageStyle] = xfStyle(a);
        }
        return write(wanted, {});
    }

    MonitorPictures monitorPictures() const override { return MonitorPictures::Each; }

    // Each monitor's own keys (monitor<NAME>, the output's name), on every
    // workspace number the desktop has; created where missing.
    WallpaperResult applyEach(const std::vector<MonitorFile>& files) override
    {
        if (const WallpaperResult r = readOnce(); !r.ok)
            return r;
        QStringList numbers;
        for (const QString& w : std::as_const(workspaces_)) {
            const QString n = w.section('/', -1);
            if (!numbers.contains(n))
                numbers << n;
        }
        QVariantMap wanted;
        for (const MonitorFile& f : files)
            for (const QString& n : std::as_const(numbers)) {
                const QString w =
                    "/backdrop/screen0/monitor" + QString::fromStdString(f.monitor.name) + "/" + n;
                if (!touched_.contains(w) && !workspaces_.contains(w))
                    touched_ << w;
                wanted[w + kLastImage] = QString::fromLocal8Bit(f.file.c_str());
                wanted[w + kImageStyle] = xfStyle(Arrangement::Stretch);
            }
        return write(wanted, {});
    }

    WallpaperResult restore() override
    {
        if (!read_)
            return WallpaperResult::failure("The XFCE wallpaper found at start-up could not be "
                                            "read, so there is nothing to put back.");
        QVariantMap wanted;
        QStringList absent;
        for (const QString& w : std::as_const(workspaces_) + touched_)
            for (const QString& key : {w + kLastImage, w + kImageStyle}) {
                if (original_.contains(key))
                    wanted[key] = original_.value(key);
                else
                    absent << key;
            }
        return write(wanted, absent);
    }

private:
    WallpaperResult failure(const QDBusMessage& reply) const
    {
        if (reply.errorName() == "org.freedesktop.DBus.Error.ServiceUnknown")
            return WallpaperResult::failure("The XFCE settings service (xfconfd) cannot be "
                                            "reached, so the wallpaper cannot be set.");
        return WallpaperResult::failure("The XFCE settings service refused: " +
                                        reply.errorMessage().toStdString());
    }

    WallpaperResult getAll(QVariantMap& out) const
    {
        if (!QDBusConnection::sessionBus().isConnected())
            return WallpaperResult::failure(noBus("XFCE"));
        const QDBusMessage reply =
            call(kXfService, kXfPath, kXfService, "GetAllProperties", {kXfChannel, "/backdrop"});
        if (reply.type() == QDBusMessage::ErrorMessage) {
            // An empty channel answers "not found", which means "no keys".
            if (reply.errorName() == "org.xfce.Xfconf.Error.PropertyNotFound" ||
                reply.errorName() == "org.xfce.Xfconf.Error.ChannelNotFound")
                return WallpaperResult::success();
            return failure(reply);
        }
        out = qdbus_cast<QVariantMap>(reply.arguments().value(0));
        return WallpaperResult::success();
    }

    // Sets every key of `wanted` (creating the missing ones), removes the
    // keys in `absent`, and checks all of them read back.
    WallpaperResult write(const QVariantMap& wanted, const QStringList& absent)
    {
        for (auto it = wanted.cbegin(); it != wanted.cend(); ++it) {
            const QDBusMessage reply =
                call(kXfService, kXfPath, kXfService, "SetProperty",
                     {kXfChannel, it.key(), QVariant::fromValue(QDBusVariant(it.value()))});
            if (reply.type() == QDBusMessage::ErrorMessage)
                return failure(reply);
        }
        for (const QString& key : absent) {
            const QDBusMessage reply =
                call(kXfService, kXfPath, kXfService, "ResetProperty", {kXfChannel, key, false});
            if (reply.type() == QDBusMessage::ErrorMessage &&
                reply.errorName() != "org.xfce.Xfconf.Error.PropertyNotFound")
                return failure(reply);
        }
        QVariantMap now;
        const WallpaperResult r = getAll(now);
        if (!r.ok)
            return r;
        for (auto it = wanted.cbegin(); it != wanted.cend(); ++it)
            if (now.value(it.key()) != it.value())
                return WallpaperResult::failure("XFCE did not keep the new value of " +
                                                it.key().toStdString() + ".");
        for (const QString& key : absent)
            if (now.contains(key))
                return WallpaperResult::failure("XFCE kept " + key.toStdString() + ".");
        return WallpaperResult::success();
    }

    QVariantMap original_;
    QStringList workspaces_;
    QStringList touched_; // workspaces of monitors that had no keys at start-up
    bool read_ = false;
};

// ---------------------------------------------------------------------------
// KDE Plasma: the shell runs a script for us; every string goes into it as a
// JSON literal, so a path holding quotes or '#' cannot break it.

const QString kPlasmaService = "org.kde.plasmashell";
const QString kPlasmaPath = "/PlasmaShell";
const QString kPlasmaInterface = "org.kde.PlasmaShell";
const QString kImagePlugin = "org.kde.image";

QString jsonString(const QString& s)
{
    const QByteArray array = QJsonDocument(QJsonArray{s}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

int fillMode(Arrangement a)
{
    switch (a) {
    case Arrangement::Tile:
        return 3;
    case Arrangement::Center:
        return 6;
    case Arrangement::Stretch:
        return 0;
    }
    return 3;
}

const char* const kReadScript =
    "var out = [];\n"
    "desktops().forEach(function (d) {\n"
    "    var plugin = d.wallpaperPlugin;\n"
    "    d.currentConfigGroup = ['Wallpaper', 'org.kde.image', 'General'];\n"
    "    out.push({id: d.id, screen: d.screen, plugin: plugin,\n"
    "              image: String(d.readConfig('Image')), fill: "
    "String(d.readConfig('FillMode'))});\n"
    "});\n"
    "print(JSON.stringify(out));\n";

struct PlasmaDesktop {
    int id = 0;
    int screen = -1;
    QString plugin, image, fill;
};

class PlasmaWallpaper final : public WallpaperBackend
{
public:
    explicit PlasmaWallpaper(std::vector<Monitor> monitors) : monitors_(std::move(monitors)) {}

    std::string desktopName() const override { return "KDE Plasma"; }

    std::string whyCannotApply() const override
    {
        if (!QDBusConnection::sessionBus().isConnected())
            return noBus("Plasma");
        if (!serviceReachable(kPlasmaService))
            return "The Plasma shell is not running, so the wallpaper cannot be set.";
        return {};
    }

    WallpaperResult readCurrent() override
    {
        const WallpaperResult r = readDesktops(original_);
        read_ = r.ok;
        return r;
    }

    DesktopValues values() const override
    {
        DesktopValues v;
        if (!read_ || original_.isEmpty())
            return v;
        const PlasmaDesktop& d = original_.front();
        const std::string path = uriPath(d.image.toStdString());
        v.wallpaper = path.empty() ? d.image.toStdString() : path;
        if (d.plugin != kImagePlugin)
            return v; // a slideshow or a colour: no file, no arrangement
        // Plasma's default when FillMode was never written is 2 (crop).
        const int fill = d.fill.isEmpty() ? 2 : d.fill.toInt();
        v.tile = fill == 3 ? "1" : "0";
        v.style = fill == 3 || fill == 6 ? "0" : fill == 0 ? "2" : std::to_string(fill);
        return v;
    }

    WallpaperResult apply(const std::string& file, Arrangement a) override
    {
        // Plasma tiles from the screen's centre, not its top left: the tiles
        // go composed at the monitor's size, shown one to one (where the
        // monitors are alike; one composed picture fits one size only).
        std::string why;
        if (a == Arrangement::Tile && !monitors_.empty() && monitorsAlike(monitors_)) {
            if (!composeInPlace(file, monitors_.front(), a, why))
                return WallpaperResult::failure(why);
            a = Arrangement::Stretch;
        }
        const QString url = QString::fromStdString(fileUri(file));
        const QString fill = QString::number(fillMode(a));
        QString script = "desktops().forEach(function (d) {\n"
                         "    d.wallpaperPlugin = 'org.kde.image';\n"
                         "    d.currentConfigGroup = ['Wallpaper', 'org.kde.image', 'General'];\n";
        script += "    d.writeConfig('Image', " + jsonString(url) + ");\n";
        script += "    d.writeConfig('FillMode', " + fill + ");\n});\n";
        const WallpaperResult r = run(script, nullptr);
        if (!r.ok)
            return r;
        QVector<PlasmaDesktop> now;
        const WallpaperResult back = readDesktops(now);
        if (!back.ok)
            return back;
        for (const PlasmaDesktop& d : std::as_const(now))
            if (d.plugin != kImagePlugin || d.image != url || d.fill != fill)
                return WallpaperResult::failure(
                    "Plasma ran the script but did not keep the new wallpaper.");
        if (now.isEmpty())
            return WallpaperResult::failure("Plasma shows no desktop to put a wallpaper on.");
        return WallpaperResult::success();
    }

    MonitorPictures monitorPictures() const override { return MonitorPictures::Each; }

    // Plasma numbers its screens from the primary one, in the order the
    // monitors are listed (primary first); each screen's desktop gets that
    // monitor's picture, and a desktop on no listed screen the first one.
    WallpaperResult applyEach(const std::vector<MonitorFile>& files) override
    {
        if (files.empty())
            return WallpaperResult::failure("There is no monitor to set a wallpaper on.");
        QJsonArray urls;
        for (const MonitorFile& f : files)
            urls.append(QString::fromStdString(fileUri(f.file)));
        const QString fill = QString::number(fillMode(Arrangement::Stretch));
        QString script =
            "var urls = " + QString::fromUtf8(QJsonDocument(urls).toJson(QJsonDocument::Compact)) +
            ";\n"
            "desktops().forEach(function (d) {\n"
            "    var s = d.screen >= 0 && d.screen < urls.length ? d.screen : 0;\n"
            "    d.wallpaperPlugin = 'org.kde.image';\n"
            "    d.currentConfigGroup = ['Wallpaper', 'org.kde.image', 'General'];\n"
            "    d.writeConfig('Image', urls[s]);\n"
            "    d.writeConfig('FillMode', " +
            fill + ");\n});\n";
        const WallpaperResult r = run(script, nullptr);
        if (!r.ok)
            return r;
        QVector<PlasmaDesktop> now;
        const WallpaperResult back = readDesktops(now);
        if (!back.ok)
            return back;
        if (now.isEmpty())
            return WallpaperResult::failure("Plasma shows no desktop to put a wallpaper on.");
        for (const PlasmaDesktop& d : std::as_const(now)) {
            const int s = d.screen >= 0 && d.screen < urls.size() ? d.screen : 0;
            if (d.plugin != kImagePlugin || d.image != urls.at(s).toString() || d.fill != fill)
                return WallpaperResult::failure(
                    "Plasma ran the script but did not keep the new wallpaper.");
        }
        return WallpaperResult::success();
    }

    WallpaperResult restore() override
    {
        if (!read_)
            return WallpaperResult::failure("The Plasma wallpaper found at start-up could not be "
                                            "read, so there is nothing to put back.");
        QString script = "var ds = desktops();\n"
                         "function put(id, plugin, image, fill) {\n"
                         "    ds.forEach(function (d) {\n"
                         "        if (d.id != id) return;\n"
                         "        d.wallpaperPlugin = 'org.kde.image';\n"
                         "        d.currentConfigGroup = ['Wallpaper', 'org.kde.image', "
                         "'General'];\n"
                         "        d.writeConfig('Image', image);\n"
                         "        d.writeConfig('FillMode', fill);\n"
                         "        d.wallpaperPlugin = plugin;\n"
                         "    });\n"
                         "}\n";
        for (const PlasmaDesktop& d : std::as_const(original_))
            script += QString("put(%1, %2, %3, %4);\n")
                          .arg(d.id)
                          .arg(jsonString(d.plugin), jsonString(d.image), jsonString(d.fill));
        const WallpaperResult r = run(script, nullptr);
        if (!r.ok)
            return r;
        QVector<PlasmaDesktop> now;
        const WallpaperResult back = readDesktops(now);
        if (!back.ok)
            return back;
        for (const PlasmaDesktop& o : std::as_const(original_))
            for (const PlasmaDesktop& d : std::as_const(now))
                if (d.id == o.id &&
                    (d.plugin != o.plugin || d.image != o.image || d.fill != o.fill))
                    return WallpaperResult::failure(
                        "Plasma did not take back the wallpaper found at start-up.");
        return WallpaperResult::success();
    }

private:
    WallpaperResult run(const QString& script, QString* output) const
    {
        if (!QDBusConnection::sessionBus().isConnected())
            return WallpaperResult::failure(noBus("Plasma"));
        const QDBusMessage reply =
            call(kPlasmaService, kPlasmaPath, kPlasmaInterface, "evaluateScript", {script});
        if (reply.type() == QDBusMessage::ErrorMessage) {
            if (reply.errorName() == "org.freedesktop.DBus.Error.ServiceUnknown")
                return WallpaperResult::failure(
                    "The Plasma shell is not running, so the wallpaper cannot be set.");
            // "Widgets are locked", a script policy: Plasma's own words.
            return WallpaperResult::failure(
                "Plasma refused to change the wallpaper: " + reply.errorMessage().toStdString() +
                "\nUnlock the widgets and try again.");
        }
        if (output != nullptr)
            *output = reply.arguments().value(0).toString();
        return WallpaperResult::success();
    }

    WallpaperResult readDesktops(QVector<PlasmaDesktop>& out) const
    {
        QString text;
        const WallpaperResult r = run(kReadScript, &text);
        if (!r.ok)
            return r;
        const QJsonDocument doc = QJsonDocument::fromJson(text.trimmed().toUtf8());
        if (!doc.isArray())
            return WallpaperResult::failure("Plasma's answer about its wallpaper was not "
                                            "understood.");
        out.clear();
        for (const QJsonValue& v : doc.array()) {
            const QJsonObject o = v.toObject();
            out.push_back({o.value("id").toInt(), o.value("screen").toInt(-1),
                           o.value("plugin").toString(), o.value("image").toString(),
                           o.value("fill").toString()});
        }
        return WallpaperResult::success();
    }

    std::vector<Monitor> monitors_;
    QVector<PlasmaDesktop> original_;
    bool read_ = false;
};

// Sessions where no wallpaper can be set: every step says why.
class UnsupportedWallpaper final : public WallpaperBackend
{
public:
    explicit UnsupportedWallpaper(std::string why) : why_(std::move(why)) {}
    std::string desktopName() const override { return "this session"; }
    WallpaperResult readCurrent() override { return WallpaperResult::failure(why_); }
    DesktopValues values() const override { return {}; }
    bool canStretch() const override { return false; }
    WallpaperResult apply(const std::string&, Arrangement) override
    {
        return WallpaperResult::failure(why_);
    }
    WallpaperResult restore() override { return WallpaperResult::failure(why_); }
    // Known before anything is tried, for the menu's disabled items.
    std::string whyCannotApply() const override { return why_; }
    std::string whyCannotRestore() const override { return why_; }

private:
    std::string why_;
};

} // namespace

std::unique_ptr<WallpaperBackend> makeXfconfBackend()
{
    return std::make_unique<XfconfWallpaper>();
}

std::unique_ptr<WallpaperBackend> makePlasmaBackend(std::vector<Monitor> monitors)
{
    return std::make_unique<PlasmaWallpaper>(std::move(monitors));
}

std::unique_ptr<WallpaperBackend> makeUnsupportedBackend(std::string why)
{
    return std::make_unique<UnsupportedWallpaper>(std::move(why));
}

} // namespace ombrix
