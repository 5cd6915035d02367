// The back ends behind WallpaperBackend, one per kind of desktop store.
// Tests build them directly with a private store (a schema folder, a
// keyfile, an X display) instead of the session's.
#pragma once

#include "wallpaper/wallpaper.h"

#include <QImage>

#include <memory>
#include <string>

namespace ombrix
{

// A desktop whose wallpaper lives in GSettings.
struct GSettingsDesktop {
    const char* name;       // "GNOME"
    const char* schema;     // "org.gnome.desktop.background"
    const char* fileKey;    // "picture-uri"
    const char* darkKey;    // "picture-uri-dark" where the schema has it, else nullptr
    const char* optionsKey; // "picture-options"
    bool uri;               // the file as a file:// URI, else a plain path
};

extern const GSettingsDesktop kGnomeDesktop;
extern const GSettingsDesktop kCinnamonDesktop;
extern const GSettingsDesktop kMateDesktop;

struct GSettingsStore {
    std::string schemaDir; // a compiled schema folder instead of the system's
    std::string keyfile;   // a keyfile store instead of the session's (dconf)
};

std::unique_ptr<WallpaperBackend> makeGSettingsBackend(const GSettingsDesktop& desktop,
                                                       const GSettingsStore& store = {});
std::unique_ptr<WallpaperBackend> makeXfconfBackend();
std::unique_ptr<WallpaperBackend> makePlasmaBackend();
std::unique_ptr<WallpaperBackend> makeRootWindowBackend(const std::string& display);
std::unique_ptr<WallpaperBackend> makeUnsupportedBackend(std::string why);

// The root window's picture: `picture` tiled from the top left, centred on
// black (cut where larger), or stretched over a `width` x `height` screen.
QImage composeRootPicture(const QImage& picture, int width, int height, Arrangement a);

// A local path as a percent-encoded file:// URI, and back ("" when `uri` is
// no local file).
std::string fileUri(const std::string& path);
std::string uriPath(const std::string& uri);

} // namespace ombrix
