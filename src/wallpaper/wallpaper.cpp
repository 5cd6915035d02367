// SPDX-License-Identifier: GPL-3.0-or-later
#include "wallpaper/wallpaper.h"

#include "io/image_export.h"
#include "wallpaper/backends.h"

#include <QPainter>
#include <QSaveFile>

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QString>
#include <QUrl>

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace ombrix
{

void arrangementStrings(Arrangement a, std::string& tile, std::string& style)
{
    tile = a == Arrangement::Tile ? "1" : "0";
    style = a == Arrangement::Stretch ? "2" : "0";
}

bool arrangementOf(const std::string& tile, const std::string& style, Arrangement& a)
{
    if (style == "2")
        a = Arrangement::Stretch;
    else if (style == "0" && tile == "1")
        a = Arrangement::Tile;
    else if (style == "0" && tile == "0")
        a = Arrangement::Center;
    else
        return false;
    return true;
}

std::string fileUri(const std::string& path)
{
    return QUrl::fromLocalFile(QFile::decodeName(path.c_str()))
        .toString(QUrl::FullyEncoded)
        .toStdString();
}

std::string uriPath(const std::string& uri)
{
    const QUrl url(QString::fromStdString(uri), QUrl::StrictMode);
    if (!url.isValid() || !url.isLocalFile())
        return {};
    return QFile::encodeName(url.toLocalFile()).toStdString();
}

// ---------------------------------------------------------------------------
// The session

namespace
{

std::string env(const char* name)
{
    const char* v = std::getenv(name);
    return v != nullptr ? v : "";
}

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

bool x11Session(const Session& s)
{
    return !s.display.empty() && lower(s.sessionType) != "wayland" && s.waylandDisplay.empty();
}

bool wayland(const Session& s)
{
    return !s.waylandDisplay.empty() || lower(s.sessionType) == "wayland";
}

} // namespace

Session sessionFromEnvironment()
{
    Session s{env("XDG_CURRENT_DESKTOP"), env("XDG_SESSION_TYPE"), env("WAYLAND_DISPLAY"),
              env("DISPLAY")};
    s.swaySocket = env("SWAYSOCK");
    s.sandboxed =
        QFileInfo::exists("/.flatpak-info") || !env("FLATPAK_ID").empty() || !env("SNAP").empty();
    s.haveSwaybg = !QStandardPaths::findExecutable("swaybg").isEmpty();
    return s;
}

Desktop chooseDesktop(const Session& s)
{
    // Inside a sandbox the desktop's own stores are out of reach (GSettings
    // even answers from a private file and reports success): only the
    // portal gets through, whatever the desktop.
    if (s.sandboxed)
        return Desktop::Portal;
    // The first token that names a known desktop decides ("ubuntu:GNOME").
    std::istringstream tokens(lower(s.currentDesktop));
    for (std::string t; std::getline(tokens, t, ':');) {
        if (t == "kde")
            return Desktop::Plasma;
        if (t == "x-cinnamon" || t == "cinnamon")
            return Desktop::Cinnamon;
        if (t == "mate")
            return Desktop::Mate;
        if (t == "xfce")
            return Desktop::Xfce;
        if (t == "gnome" || t == "budgie" || t == "unity" || t == "pantheon" || t == "ubuntu")
            return Desktop::Gnome;
        if (t == "lxqt")
            return Desktop::Lxqt;
        if (t == "lxde")
            return Desktop::Lxde;
        if (t == "sway")
            return Desktop::Sway;
    }
    if (!s.swaySocket.empty())
        return Desktop::Sway;
    // Only where X draws the desktop itself does the root window show; under
    // a Wayland compositor it lies hidden behind the compositor's surface.
    if (x11Session(s))
        return Desktop::RootWindow;
    if (wayland(s) && s.haveSwaybg)
        return Desktop::Swaybg;
    return Desktop::Unsupported;
}

std::string desktopLabel(Desktop d)
{
    switch (d) {
    case Desktop::Gnome:
        return "GNOME";
    case Desktop::Cinnamon:
        return "Cinnamon";
    case Desktop::Mate:
        return "MATE";
    case Desktop::Xfce:
        return "XFCE";
    case Desktop::Plasma:
        return "KDE Plasma";
    case Desktop::Lxqt:
        return "LXQt";
    case Desktop::Lxde:
        return "LXDE";
    case Desktop::Sway:
        return "sway";
    case Desktop::Swaybg:
        return "swaybg";
    case Desktop::Portal:
        return "the desktop portal";
    case Desktop::RootWindow:
        return "the X root window";
    case Desktop::Unsupported:
        break;
    }
    return "this session";
}

SessionSupport sessionSupport(const Session& s)
{
    SessionSupport out;
    out.desktop = chooseDesktop(s);
    out.canApply = out.desktop != Desktop::Unsupported;
    if (out.canApply)
        return out;
    if (wayland(s)) {
        const std::string name = s.currentDesktop.empty()
                                     ? std::string("this Wayland session")
                                     : "the Wayland desktop \"" + s.currentDesktop + "\"";
        out.why = "Ombrix cannot set the wallpaper of " + name +
                  ": it has no wallpaper setting that other programs can change, and swaybg, "
                  "which draws a wallpaper on wlroots compositors (river, labwc, Hyprland, "
                  "Wayfire), is not installed. Install the package \"swaybg\" and try again, or "
                  "save the image and choose it in the desktop's own settings.";
    } else {
        out.why = "Ombrix finds no desktop session here (neither XDG_CURRENT_DESKTOP, a Wayland "
                  "display nor an X display is set), so there is no wallpaper to set. Start "
                  "Ombrix inside the desktop session.";
    }
    return out;
}

std::unique_ptr<WallpaperBackend> makeWallpaperBackend(const Session& s)
{
    switch (chooseDesktop(s)) {
    case Desktop::Gnome:
        return makeGSettingsBackend(kGnomeDesktop, {}, listMonitors(s).monitors);
    case Desktop::Cinnamon:
        return makeGSettingsBackend(kCinnamonDesktop);
    case Desktop::Mate:
        return makeGSettingsBackend(kMateDesktop);
    case Desktop::Xfce:
        return makeXfconfBackend();
    case Desktop::Plasma:
        return makePlasmaBackend(listMonitors(s).monitors);
    case Desktop::Lxqt:
        return makePcmanfmBackend(kPcmanfmQtDesktop);
    case Desktop::Lxde:
        return makePcmanfmBackend(kPcmanfmDesktop);
    case Desktop::Sway:
        return makeSwayBackend(s.swaySocket);
    case Desktop::Swaybg:
        return makeSwaybgBackend({});
    case Desktop::Portal: {
        PortalOptions portal;
        portal.monitors = listMonitors(s).monitors;
        return makePortalBackend(portal);
    }
    case Desktop::RootWindow:
        return makeRootWindowBackend(s.display);
    case Desktop::Unsupported:
        break;
    }
    return makeUnsupportedBackend(sessionSupport(s).why);
}

WallpaperResult WallpaperBackend::applyEach(const std::vector<MonitorFile>&)
{
    return WallpaperResult::failure(desktopName() + " takes one picture for all monitors.");
}

WallpaperResult WallpaperBackend::applySpanned(const std::string&)
{
    return WallpaperResult::failure(desktopName() +
                                    " cannot spread one picture over several monitors.");
}

// ---------------------------------------------------------------------------
// Monitors

std::string describeMonitor(const Monitor& m)
{
    std::ostringstream out;
    out << m.name << " " << m.width << "x" << m.height << (m.x < 0 ? "" : "+") << m.x
        << (m.y < 0 ? "" : "+") << m.y << " scale " << m.scale << (m.primary ? " (primary)" : "");
    return out.str();
}

bool monitorsAlike(const std::vector<Monitor>& monitors)
{
    return std::all_of(monitors.begin(), monitors.end(), [&](const Monitor& m) {
        return m.width == monitors.front().width && m.height == monitors.front().height &&
               m.scale == monitors.front().scale;
    });
}

MonitorList listMonitors(const Session& s)
{
    MonitorList list;
    if (chooseDesktop(s) == Desktop::Sway || (!s.swaySocket.empty() && !s.sandboxed))
        list = listSwayOutputs(s.swaySocket);
    else if (!s.display.empty())
        list = listXMonitors(s.display);
    if (!list.monitors.empty() || !list.why.empty()) {
        std::stable_partition(list.monitors.begin(), list.monitors.end(),
                              [](const Monitor& m) { return m.primary; });
        return list;
    }
    MonitorList none;
    none.why = "The monitors of this session cannot be listed: there is neither an X display "
               "nor a sway session to ask.";
    return none;
}

bool composeInPlace(const std::string& file, const Monitor& m, Arrangement a, std::string& why)
{
    const QImage picture(QFile::decodeName(file.c_str()));
    if (picture.isNull()) {
        why = "The wallpaper file \"" + file + "\" could not be read back.";
        return false;
    }
    const QImage composed = composeRootPicture(picture, m.width, m.height, a);
    if (composed.isNull()) {
        why = "There is not enough memory for a wallpaper the size of the screen.";
        return false;
    }
    QSaveFile out(QFile::decodeName(file.c_str()));
    if (!out.open(QIODevice::WriteOnly) || !composed.save(&out, "BMP") || !out.commit()) {
        why = "The composed wallpaper could not be written to \"" + file + "\".";
        return false;
    }
    return true;
}

bool composePerMonitor(const std::string& file, Arrangement a, const std::vector<Monitor>& monitors,
                       std::vector<MonitorFile>& out, std::string& why)
{
    out.clear();
    if (monitors.empty()) {
        why = "No monitor is known to arrange the wallpaper for.";
        return false;
    }
    if (monitorsAlike(monitors)) {
        if (!composeInPlace(file, monitors.front(), a, why))
            return false;
        for (const Monitor& m : monitors)
            out.push_back({m, file});
        return true;
    }
    int n = 0;
    for (const Monitor& m : monitors) {
        const std::string own = monitorFileName(file, n++);
        QFile::remove(QFile::decodeName(own.c_str()));
        if (!QFile::copy(QFile::decodeName(file.c_str()), QFile::decodeName(own.c_str()))) {
            why = "The wallpaper for " + m.name + " could not be written beside \"" + file + "\".";
            return false;
        }
        if (!composeInPlace(own, m, a, why))
            return false;
        out.push_back({m, own});
    }
    return true;
}

QImage composeSpannedPicture(const std::vector<Monitor>& monitors, const DrawAtSize& draw)
{
    if (monitors.empty())
        return QImage();
    int left = monitors.front().x, top = monitors.front().y, right = left, bottom = top;
    for (const Monitor& m : monitors) {
        left = std::min(left, m.x);
        top = std::min(top, m.y);
        right = std::max(right, m.x + m.width);
        bottom = std::max(bottom, m.y + m.height);
    }
    QImage out(right - left, bottom - top, QImage::Format_RGB32);
    if (out.isNull())
        return out;
    out.fill(Qt::black);
    QPainter g(&out);
    for (const Monitor& m : monitors) {
        const QImage part = draw(m);
        if (part.isNull())
            return QImage();
        g.drawImage(m.x - left, m.y - top, part);
    }
    return out;
}

// ---------------------------------------------------------------------------
// The files

namespace
{

const QString kPrefix = QStringLiteral("OmbrixWallpaper-");

QString decoded(const std::string& path)
{
    return QFile::decodeName(path.c_str());
}

// A file that did not become the wallpaper, with the pictures per monitor a
// back end made beside it.
void removeWithItsOwn(const std::string& path)
{
    const QFileInfo f(decoded(path));
    for (const QFileInfo& own :
         f.dir().entryInfoList({f.completeBaseName() + "@*.bmp"}, QDir::Files))
        QFile::remove(own.absoluteFilePath());
    QFile::remove(f.absoluteFilePath());
}

std::string encoded(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

std::string wallpaperFolder()
{
    // The same folder whichever of the program or the command line asks
    // (they run under different application names).
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return encoded(data + "/ombrix/wallpapers");
}

std::string legacyWallpaperFolder()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return encoded(data + "/Ombrix/Ombrix");
}

WallpaperFile writeWallpaperFile(const QImage& image, const std::string& folder)
{
    WallpaperFile out;
    if (image.isNull()) {
        out.message = "There is no image to make the wallpaper (not enough memory for it).";
        return out;
    }
    const QString dir = decoded(folder);
    if (!QDir().mkpath(dir)) {
        out.message = "The folder \"" + folder + "\" for the wallpaper cannot be created.";
        return out;
    }
    // Milliseconds keep the names in order; the counter separates two
    // wallpapers set within one millisecond.
    const QString stamp = QDateTime::currentDateTimeUtc().toString("yyyyMMdd-HHmmsszzz");
    QString name;
    for (int n = 0;; ++n) {
        name = dir + "/" + kPrefix + stamp + (n > 0 ? QString("-%1").arg(n) : QString()) + ".bmp";
        if (!QFileInfo::exists(name))
            break;
    }
    out.path = encoded(name);
    const ExportResult written = saveImage(image, out.path, 100);
    if (!written.ok) {
        out.message = written.message;
        out.path.clear();
        return out;
    }
    out.ok = true;
    return out;
}

namespace
{

// True when `f` is `kept` or one of its pictures per monitor.
bool keptFile(const QFileInfo& f, const QFileInfo& kept)
{
    if (f == kept)
        return true;
    const QString stem = kept.completeBaseName() + "@";
    return f.fileName().startsWith(stem) && f.dir() == kept.dir();
}

int removeIn(const QString& folder, const std::vector<std::string>& keep)
{
    const QDir dir(folder);
    int removed = 0;
    for (const QFileInfo& f : dir.entryInfoList({kPrefix + "*.bmp"}, QDir::Files)) {
        const bool kept = std::any_of(keep.begin(), keep.end(), [&](const std::string& k) {
            return !k.empty() && keptFile(f, QFileInfo(decoded(k)));
        });
        if (!kept && QFile::remove(f.absoluteFilePath()))
            ++removed;
    }
    return removed;
}

} // namespace

std::string monitorFileName(const std::string& file, int monitor)
{
    const std::string stem = file.size() > 4 && file.compare(file.size() - 4, 4, ".bmp") == 0
                                 ? file.substr(0, file.size() - 4)
                                 : file;
    return stem + "@" + std::to_string(monitor) + ".bmp";
}

int removeOldWallpapers(const std::string& folder, const std::vector<std::string>& keep,
                        const std::vector<std::string>& spare)
{
    std::vector<std::string> all = keep;
    all.insert(all.end(), spare.begin(), spare.end());
    int removed = removeIn(decoded(folder), all);
    if (folder == wallpaperFolder()) {
        // The earlier folder's files, and the folders once empty (rmdir
        // leaves a folder that still holds anything).
        const QString legacy = decoded(legacyWallpaperFolder());
        removed += removeIn(legacy, all);
        QDir().rmdir(legacy);
        QDir().rmdir(QFileInfo(legacy).path());
    }
    return removed;
}

int removeOldWallpapers(const std::string& folder, const std::string& keep,
                        const std::vector<std::string>& spare)
{
    return removeOldWallpapers(folder, std::vector<std::string>{keep}, spare);
}

WallpaperResult setDesktopWallpaper(WallpaperBackend& backend, const QImage& image, Arrangement a,
                                    const std::string& folder,
                                    const std::vector<std::string>& spare)
{
    const WallpaperFile file = writeWallpaperFile(image, folder);
    if (!file.ok)
        return WallpaperResult::failure("The wallpaper file could not be written: " + file.message +
                                        "\nThe desktop keeps its wallpaper.");
    const WallpaperResult applied = backend.apply(file.path, a);
    if (!applied.ok) {
        // Never shown: the desktop still points at its earlier file.
        removeWithItsOwn(file.path);
        return applied;
    }
    removeOldWallpapers(folder, file.path, spare);
    return applied;
}

WallpaperResult setMonitorWallpapers(WallpaperBackend& backend,
                                     const std::vector<Monitor>& monitors, const DrawAtSize& draw,
                                     const std::string& folder,
                                     const std::vector<std::string>& spare)
{
    if (monitors.empty())
        return WallpaperResult::failure("No monitor was found to draw the wallpaper for.");
    const MonitorPictures how = backend.monitorPictures();
    // Alike monitors, or a desktop that takes one picture only: one picture
    // at the (first) monitor's size, which every arrangement shows as it is.
    if (monitors.size() == 1 || how == MonitorPictures::One ||
        (how == MonitorPictures::Spanned && monitorsAlike(monitors))) {
        const Monitor& m = monitors.front();
        return setDesktopWallpaper(backend, draw(m), Arrangement::Stretch, folder, spare);
    }
    if (how == MonitorPictures::Spanned) {
        const WallpaperFile file =
            writeWallpaperFile(composeSpannedPicture(monitors, draw), folder);
        if (!file.ok)
            return WallpaperResult::failure("The wallpaper file could not be written: " +
                                            file.message + "\nThe desktop keeps its wallpaper.");
        const WallpaperResult applied = backend.applySpanned(file.path);
        if (!applied.ok)
            removeWithItsOwn(file.path);
        else
            removeOldWallpapers(folder, file.path, spare);
        return applied;
    }
    std::vector<MonitorFile> files;
    std::vector<std::string> paths;
    auto dropAll = [&] {
        for (const std::string& p : paths)
            removeWithItsOwn(p);
    };
    for (const Monitor& m : monitors) {
        const WallpaperFile file = writeWallpaperFile(draw(m), folder);
        if (!file.ok) {
            dropAll();
            return WallpaperResult::failure("The wallpaper file for the monitor " + m.name +
                                            " could not be written: " + file.message +
                                            "\nThe desktop keeps its wallpaper.");
        }
        files.push_back({m, file.path});
        paths.push_back(file.path);
    }
    const WallpaperResult applied = backend.applyEach(files);
    if (!applied.ok) {
        dropAll();
        return applied;
    }
    removeOldWallpapers(folder, paths, spare);
    return applied;
}

} // namespace ombrix
