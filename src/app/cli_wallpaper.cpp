// SPDX-License-Identifier: GPL-3.0-or-later
// `ombrix wallpaper`: draws an image and makes it the desktop wallpaper
// through the same back end as the desktop program, so that a login script
// or a timer can set a designed wallpaper without opening a window.
#include "app/cli.h"

#include "app/platforms.h"

#include "io/param_file.h"
#include "model/image_geometry.h"
#include "model/image_params.h"
#include "picture/full_image.h"
#include "wallpaper/wallpaper.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <set>
#include <string>

namespace ombrix
{

namespace
{

constexpr int kFailure = 1;
constexpr int kUsage = 2;

const char* const kHelp =
    "Usage: ombrix wallpaper (FILE.obp | --preset N) [--size WxH] [--mode tile|center|stretch]\n"
    "       ombrix wallpaper --list-monitors\n"
    "\n"
    "Draws the image and makes it the desktop wallpaper (GNOME, Cinnamon, MATE, XFCE,\n"
    "KDE Plasma, LXQt, LXDE, sway, other Wayland compositors through swaybg, the\n"
    "desktop portal inside Flatpak or Snap, or the root window of another X11 session).\n"
    "Without --size the design is drawn for each monitor at its own size in device\n"
    "pixels: a picture per monitor where the desktop takes one, else one picture\n"
    "spread over the monitors; without a monitor to ask, at the size the file gives.\n"
    "\n"
    "  --preset N        start from preset N (0 new image, 1, 2, 3 start-up) instead of a file\n"
    "  --size WxH        one picture of this size in pixels, arranged on every monitor\n"
    "  --mode M          tile, center or stretch, for a picture of a given size\n"
    "                    (default stretch)\n"
    "  --list-monitors   print the monitors found (name, size+position, scale) and stop\n"
    "\n"
    "Exit status: 0 the desktop took the new wallpaper (or the monitors were listed),\n"
    "1 it did not (the line on stderr says why), 2 bad usage.\n";

int say(int status, const std::string& message)
{
    std::fprintf(stderr, "ombrix: %s\n", message.c_str());
    return status;
}

struct Request {
    std::string file; // the parameter file, as the system's file-name bytes
    std::optional<int> preset;
    int width = 0, height = 0; // 0: not given
    Arrangement mode = Arrangement::Stretch;
    bool listMonitors = false;
};

// Returns 0 and fills `r`, a usage status with its line printed, or -1
// for --help.
int parse(int argc, char** argv, Request& r)
{
    std::set<std::string> seen;
    for (int i = 2; i < argc; ++i) {
        std::string arg = argv[i], value;
        const bool option = arg.size() > 2 && arg.compare(0, 2, "--") == 0;
        if (arg == "-h" || arg == "--help")
            return -1;
        if (arg == "--list-monitors") {
            r.listMonitors = true;
            continue;
        }
        if (option) {
            const size_t eq = arg.find('=');
            if (eq != std::string::npos) {
                value = arg.substr(eq + 1);
                arg = arg.substr(0, eq);
            } else if (arg == "--preset" || arg == "--size" || arg == "--mode") {
                if (i + 1 >= argc)
                    return say(kUsage, arg + " needs a value");
                value = argv[++i];
            }
            // A value given twice is refused, as every command does.
            if (!seen.insert(arg).second &&
                (arg == "--preset" || arg == "--size" || arg == "--mode"))
                return say(kUsage, arg + " given more than once");
            if (arg == "--preset") {
                if (value.size() != 1 || value[0] < '0' || value[0] > '3')
                    return say(kUsage, "--preset takes 0, 1, 2 or 3, not '" + value + "'");
                r.preset = value[0] - '0';
            } else if (arg == "--size") {
                if (!parseImageSize(value, r.width, r.height))
                    return say(kUsage,
                               "--size takes WxH with each side 1 to 16384, not '" + value + "'");
            } else if (arg == "--mode") {
                if (value == "tile")
                    r.mode = Arrangement::Tile;
                else if (value == "center" || value == "centre")
                    r.mode = Arrangement::Center;
                else if (value == "stretch")
                    r.mode = Arrangement::Stretch;
                else
                    return say(kUsage, "--mode takes tile, center or stretch, not '" + value + "'");
            } else {
                return say(kUsage, "unknown option '" + arg + "' (see ombrix help wallpaper)");
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            return say(kUsage, "unknown option '" + arg + "' (see ombrix help wallpaper)");
        } else if (r.file.empty() && !arg.empty()) {
            r.file = arg;
        } else {
            return say(kUsage, "give one parameter file");
        }
    }
    if (r.listMonitors) {
        if (argc != 3)
            return say(kUsage, "--list-monitors takes no file and no other option");
        return 0;
    }
    if (r.preset.has_value() == !r.file.empty())
        return say(kUsage, "give either a parameter file or --preset N");
    return 0;
}

// The monitors Qt's Wayland platform reports, for a compositor whose own
// list cannot be asked (GNOME or KDE without Xwayland): each output's
// layout position, its size in device pixels and its scale.
std::vector<Monitor> qtMonitors()
{
    std::vector<Monitor> found;
    const QScreen* primary = QGuiApplication::primaryScreen();
    for (const QScreen* s : QGuiApplication::screens()) {
        const QRect g = s->geometry();
        const ImageSize d = deviceImageSize({g.width(), g.height()}, s->devicePixelRatio());
        Monitor m;
        m.name = s->name().toStdString();
        m.x = g.x();
        m.y = g.y();
        m.width = d.width;
        m.height = d.height;
        m.scale = s->devicePixelRatio();
        m.primary = s == primary;
        if (m.width > 0 && m.height > 0)
            found.push_back(m);
    }
    std::stable_partition(found.begin(), found.end(), [](const Monitor& m) { return m.primary; });
    return found;
}

std::string oneLine(std::string text)
{
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

} // namespace

int runWallpaperCli(int argc, char** argv)
{
    Request request;
    const int parsed = parse(argc, argv, request);
    if (parsed == -1) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (parsed != 0)
        return parsed;

    const Session session = sessionFromEnvironment();
    // With nothing naming a session there is no desktop to ask; saying so
    // beats a back end's guess about a session that is not there.
    if (session.display.empty() && session.waylandDisplay.empty() &&
        session.currentDesktop.empty() && !session.sandboxed)
        return say(kFailure, "no graphical session was found: set DISPLAY (X11) or "
                             "WAYLAND_DISPLAY (Wayland) to name the one to use");

    // The monitors, where a picture is to be drawn for each: sway's outputs
    // or X's RandR monitors, else those of a Wayland compositor that Qt can
    // reach.  Drawing itself needs no screen.
    const bool perMonitor = request.width == 0;
    MonitorList monitors;
    if (perMonitor)
        monitors = listMonitors(session);
    const bool askQt = perMonitor && monitors.monitors.empty() && platformPluginExists("wayland") &&
                       waylandReachable();
    // The platform is chosen here, whatever QT_QPA_PLATFORM says: Qt ends
    // the process when the platform it is told to use cannot start.
    setenv("QT_QPA_PLATFORM", askQt ? "wayland" : "offscreen", 1);
    QGuiApplication app(qtArgc(), qtArgv(argv));
    if (askQt) {
        monitors.monitors = qtMonitors();
        if (!monitors.monitors.empty())
            monitors.why.clear();
    }

    if (request.listMonitors) {
        if (monitors.monitors.empty())
            return say(kFailure,
                       oneLine(monitors.why.empty() ? "no monitor was found" : monitors.why));
        for (const Monitor& m : monitors.monitors)
            std::printf("%s\n", describeMonitor(m).c_str());
        return 0;
    }

    ImageModel model;
    model.params.pnRotation = 1;
    model.mSetDefaults(request.preset.value_or(3));
    if (!request.file.empty()) {
        const ParamFileResult read = ReadData(request.file, model.params);
        if (!read.ok)
            return say(kFailure, read.message);
    }
    // A monitor's picture holds its device pixels, with texts and borders
    // scaled as the desktop program draws them there.
    std::string tooLarge; // the size that could not be drawn
    const DrawAtSize draw = [&](const Monitor& m) {
        FullImageOptions options;
        options.width = std::clamp(m.width, 1, kMaxImageSide);
        options.height = std::clamp(m.height, 1, kMaxImageSide);
        options.dpi = 96.0 * heldScale(m.scale);
        QImage picture = renderFullImage(model.params, options);
        if (picture.isNull())
            tooLarge = std::to_string(options.width) + " x " + std::to_string(options.height);
        return picture;
    };

    const std::unique_ptr<WallpaperBackend> backend = makeWallpaperBackend(session);
    // The wallpaper in force now is never removed with the older files.
    std::vector<std::string> spare;
    if (backend->readCurrent().ok)
        spare.push_back(backend->values().wallpaper);
    WallpaperResult set;
    if (perMonitor && !monitors.monitors.empty()) {
        set = setMonitorWallpapers(*backend, monitors.monitors, draw, wallpaperFolder(), spare);
    } else {
        // The size asked for, or without a monitor to ask the one the file
        // means, at scale 1.
        Monitor one;
        ImageSize size{request.width, request.height};
        if (perMonitor)
            size = request.file.empty() ? ImageSize{} : storedImageSize(model.params);
        one.width = size.width;
        one.height = size.height;
        const QImage picture = draw(one);
        if (!picture.isNull())
            set = setDesktopWallpaper(*backend, picture, request.mode, wallpaperFolder(), spare);
    }
    if (!tooLarge.empty())
        return say(kFailure, "not enough memory for a " + tooLarge + " picture");
    if (!set.ok)
        return say(kFailure, oneLine(set.message));
    // What the user must know to keep a change that does not last.
    if (!set.message.empty())
        std::printf("%s\n", set.message.c_str());
    return 0;
}

} // namespace ombrix
