#include "wallpaper/wallpaper.h"

#include "io/image_export.h"
#include "wallpaper/backends.h"

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

} // namespace

Session sessionFromEnvironment()
{
    return {env("XDG_CURRENT_DESKTOP"), env("XDG_SESSION_TYPE"), env("WAYLAND_DISPLAY"),
            env("DISPLAY")};
}

Desktop chooseDesktop(const Session& s)
{
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
    }
    // Only where X draws the desktop itself does the root window show; under
    // a Wayland compositor it lies hidden behind the compositor's surface.
    return x11Session(s) ? Desktop::RootWindow : Desktop::Unsupported;
}

std::unique_ptr<WallpaperBackend> makeWallpaperBackend(const Session& s)
{
    switch (chooseDesktop(s)) {
    case Desktop::Gnome:
        return makeGSettingsBackend(kGnomeDesktop);
    case Desktop::Cinnamon:
        return makeGSettingsBackend(kCinnamonDesktop);
    case Desktop::Mate:
        return makeGSettingsBackend(kMateDesktop);
    case Desktop::Xfce:
        return makeXfconfBackend();
    case Desktop::Plasma:
        return makePlasmaBackend();
    case Desktop::RootWindow:
        return makeRootWindowBackend(s.display);
    case Desktop::Unsupported:
        break;
    }
    const std::string name = s.currentDesktop.empty() ? std::string("this Wayland session")
                                                      : "the desktop \"" + s.currentDesktop + "\"";
    return makeUnsupportedBackend(
        "Ombrix cannot set the wallpaper of " + name +
        ": it has no wallpaper setting that other programs can change. Save the image (Save "
        "Image As...) and choose it in the desktop's own settings, or in its configuration file.");
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

int removeOldWallpapers(const std::string& folder, const std::string& keep,
                        const std::vector<std::string>& spare)
{
    const QDir dir(decoded(folder));
    const QFileInfo kept(decoded(keep));
    int removed = 0;
    for (const QFileInfo& f : dir.entryInfoList({kPrefix + "*.bmp"}, QDir::Files)) {
        if (f == kept)
            continue;
        const bool spared = std::any_of(spare.begin(), spare.end(), [&](const std::string& s) {
            return !s.empty() && QFileInfo(decoded(s)) == f;
        });
        if (!spared && QFile::remove(f.absoluteFilePath()))
            ++removed;
    }
    return removed;
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
        QFile::remove(decoded(file.path));
        return applied;
    }
    removeOldWallpapers(folder, file.path, spare);
    return applied;
}

} // namespace ombrix
