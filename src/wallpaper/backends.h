// SPDX-License-Identifier: GPL-3.0-or-later
// The back ends behind WallpaperBackend, one per kind of desktop store.
// Tests build them directly with a private store (a schema folder, a
// keyfile, an X display) instead of the session's.
#pragma once

#include "wallpaper/wallpaper.h"

#include <QImage>

#include <memory>
#include <string>
#include <vector>

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

// With the session's `monitors` known, a tiled GNOME wallpaper goes composed
// at the first one's size: GNOME 43 draws small tiles enlarged.
std::unique_ptr<WallpaperBackend> makeGSettingsBackend(const GSettingsDesktop& desktop,
                                                       const GSettingsStore& store = {},
                                                       std::vector<Monitor> monitors = {});
std::unique_ptr<WallpaperBackend> makeXfconfBackend();
// Plasma tiles from the screen's centre: with `monitors` known, a tiled
// wallpaper goes composed at the first one's size, as the program arranged it.
std::unique_ptr<WallpaperBackend> makePlasmaBackend(std::vector<Monitor> monitors = {});
std::unique_ptr<WallpaperBackend> makeRootWindowBackend(const std::string& display);
std::unique_ptr<WallpaperBackend> makeUnsupportedBackend(std::string why);

// sway, over the IPC socket `socket` (SWAYSOCK).
std::unique_ptr<WallpaperBackend> makeSwayBackend(const std::string& socket);

// Other wlroots compositors: a swaybg Ombrix starts and later replaces.
struct SwaybgOptions {
    std::string program; // swaybg's path; found on the PATH when empty
    std::string
        stateFile; // where the started swaybg is remembered; the runtime folder's by default
    // The outputs where known (by name and size), else every output with one
    // picture that swaybg arranges.
    std::vector<Monitor> outputs;
};
std::unique_ptr<WallpaperBackend> makeSwaybgBackend(SwaybgOptions options);

// LXQt's pcmanfm-qt and LXDE's pcmanfm desktops.
struct PcmanfmDesktop {
    const char* name;     // "LXQt"
    const char* program;  // "pcmanfm-qt"
    const char* profile;  // "lxqt"
    const char* settings; // the settings file under the configuration folder
    const char* group;    // its group: "Desktop"
    const char* fileKey;  // "Wallpaper"
    const char* modeKey;  // "WallpaperMode"
    const char* modes[3]; // tile, center, stretch as the program names them
};
extern const PcmanfmDesktop kPcmanfmQtDesktop;
extern const PcmanfmDesktop kPcmanfmDesktop;
struct PcmanfmOptions {
    std::string program;   // the program's path; found on the PATH when empty
    std::string configDir; // the configuration folder; XDG_CONFIG_HOME's when empty
};
std::unique_ptr<WallpaperBackend> makePcmanfmBackend(const PcmanfmDesktop& desktop,
                                                     PcmanfmOptions options = {});

// Inside a sandbox: org.freedesktop.portal.Wallpaper on the session bus.
struct PortalOptions {
    std::vector<Monitor> monitors; // the picture is composed at the first one's size
    int answerTimeoutMs = 120000;  // the portal may ask the user first
};
std::unique_ptr<WallpaperBackend> makePortalBackend(PortalOptions options);

// The monitors of an X display (RandR 1.5) and of a sway session.
MonitorList listXMonitors(const std::string& display);
MonitorList listSwayOutputs(const std::string& socket);

// A file name quoted for a sway command: sway splits the command into
// words and then expands the path like a shell word, so the path is made
// a single-quoted shell word inside a double-quoted sway word.
std::string swayQuoted(const std::string& path);

// The mode word of an arrangement, as sway's `output … bg FILE MODE` and
// swaybg's `-m MODE` both spell it.
const char* swayMode(Arrangement a);
// The values of a sway configuration's "output NAME bg FILE MODE" lines,
// the last per output name; "*" stands for every output.
struct SwayBackground {
    std::string output, file, mode;
};
std::vector<SwayBackground> swayBackgrounds(const std::string& config);

// The root window's picture: `picture` tiled from the top left, centred on
// black (cut where larger), or stretched over a `width` x `height` screen.
QImage composeRootPicture(const QImage& picture, int width, int height, Arrangement a);

// Replaces the picture in `file` by the screen `m` would show with the
// picture arranged `a` (for desktops whose own arrangement differs, and the
// portal, which has none); `why` says what failed.
bool composeInPlace(const std::string& file, const Monitor& m, Arrangement a, std::string& why);

// A local path as a percent-encoded file:// URI, and back ("" when `uri` is
// no local file).
std::string fileUri(const std::string& path);
std::string uriPath(const std::string& uri);

} // namespace ombrix
