// SPDX-License-Identifier: GPL-3.0-or-later
// `ombrix wallpaper`: draws an image and makes it the desktop wallpaper
// through the same back end as the desktop program, so that a login script
// or a timer can set a designed wallpaper without opening a window.
#include "app/cli.h"

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
    "\n"
    "Draws the image and makes it the desktop wallpaper (GNOME, Cinnamon, MATE, XFCE,\n"
    "KDE Plasma, LXQt, LXDE, sway, other Wayland compositors through swaybg, the\n"
    "desktop portal inside Flatpak or Snap, or the root window of another X11 session).\n"
    "\n"
    "  --preset N    start from preset N (0 new image, 1, 2, 3 start-up) instead of a file\n"
    "  --size WxH    picture size in pixels; by default the primary screen's size in\n"
    "                device pixels, or without a display the size the file gives\n"
    "  --mode M      tile, center or stretch (default stretch)\n"
    "\n"
    "Exit status: 0 the desktop took the new wallpaper, 1 it did not (the line on\n"
    "stderr says why), 2 bad usage.\n";

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
    if (r.preset.has_value() == !r.file.empty())
        return say(kUsage, "give either a parameter file or --preset N");
    return 0;
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

    // The screen's size comes from X when the session has a reachable X
    // display; otherwise Qt draws offscreen and the file gives the size.
    const Session session = sessionFromEnvironment();
    // With nothing naming a session there is no desktop to ask; saying so
    // beats a back end's guess about a session that is not there.
    if (session.display.empty() && session.waylandDisplay.empty() &&
        session.currentDesktop.empty() && !session.sandboxed)
        return say(kFailure, "no graphical session was found: set DISPLAY (X11) or "
                             "WAYLAND_DISPLAY (Wayland) to name the one to use");
    // The platform is chosen here, whatever QT_QPA_PLATFORM says: Qt ends
    // the process when the platform it is told to use cannot start.
    const bool screen = request.width == 0 && xDisplayReachable(session.display);
    setenv("QT_QPA_PLATFORM", screen ? "xcb" : "offscreen", 1);
    QGuiApplication app(qtArgc(), qtArgv(argv));

    ImageModel model;
    model.params.pnRotation = 1;
    model.mSetDefaults(request.preset.value_or(3));
    if (!request.file.empty()) {
        const ParamFileResult read = ReadData(request.file, model.params);
        if (!read.ok)
            return say(kFailure, read.message);
    }
    // The screen's own device pixels, with texts and borders scaled as the
    // desktop program draws them there; else the size asked for, or the one
    // the file means, at scale 1.
    FullImageOptions options;
    ImageSize size{request.width, request.height};
    if (request.width == 0 && screen && QGuiApplication::primaryScreen() != nullptr) {
        const QScreen* s = QGuiApplication::primaryScreen();
        size =
            deviceImageSize({s->geometry().width(), s->geometry().height()}, s->devicePixelRatio());
        options.dpi = 96.0 * heldScale(s->devicePixelRatio());
    } else if (request.width == 0) {
        size = request.file.empty() ? ImageSize{} : storedImageSize(model.params);
    }
    const int width = std::clamp(size.width, 1, kMaxImageSide);
    const int height = std::clamp(size.height, 1, kMaxImageSide);
    options.width = width;
    options.height = height;
    const QImage picture = renderFullImage(model.params, options);
    if (picture.isNull())
        return say(kFailure, "not enough memory for a " + std::to_string(width) + " x " +
                                 std::to_string(height) + " picture");

    const std::unique_ptr<WallpaperBackend> backend = makeWallpaperBackend(session);
    // The wallpaper in force now is never removed with the older files.
    std::vector<std::string> spare;
    if (backend->readCurrent().ok)
        spare.push_back(backend->values().wallpaper);
    const WallpaperResult set =
        setDesktopWallpaper(*backend, picture, request.mode, wallpaperFolder(), spare);
    if (!set.ok) {
        std::string line = set.message;
        std::replace(line.begin(), line.end(), '\n', ' ');
        return say(kFailure, line);
    }
    // What the user must know to keep a change that does not last.
    if (!set.message.empty())
        std::printf("%s\n", set.message.c_str());
    return 0;
}

} // namespace ombrix
