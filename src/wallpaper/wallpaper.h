// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop wallpaper.  Every Linux desktop keeps its wallpaper in a store
// of its own, so each gets a back end behind one interface: the program and
// the command line read the values in force, apply a new file with an
// arrangement and put back what they read, without knowing which desktop
// they talk to.  No widgets here: the windows and the command line share it.
#pragma once

#include <QImage>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ombrix
{

enum class Arrangement { Tile, Center, Stretch };

// The marker of a value that could not be read.
inline const std::string kErr = "Err";

// The three values the main window remembers, in the form the Wall menu
// works with: the wallpaper's file, "1" when tiled else "0", and the style,
// "0" for tiled or centred, "2" for stretched, and the desktop's own name for
// any other arrangement (zoom, scaled, ...), so that no menu item is checked.
struct DesktopValues {
    std::string wallpaper = kErr;
    std::string tile = kErr;
    std::string style = kErr;
};

// The tile and style strings of an arrangement, and back.  Any pair that is
// none of the three gives nothing.
void arrangementStrings(Arrangement a, std::string& tile, std::string& style);
bool arrangementOf(const std::string& tile, const std::string& style, Arrangement& a);

struct Session;

struct WallpaperResult {
    bool ok = false;
    // For the user: what happened and what to do about it.  On success it is
    // empty, or says what the user should know about a change that does not
    // last (sway forgets it at its next reload, swaybg at logout).
    std::string message;

    static WallpaperResult success(std::string note = {}) { return {true, std::move(note)}; }
    static WallpaperResult failure(std::string why) { return {false, std::move(why)}; }
};

// One monitor of the session, in the desktop's coordinates: position and
// size in device pixels (the size a picture must have to fill it one to
// one), and the scale the desktop applies to windows on it.
struct Monitor {
    std::string name; // the output's name ("HDMI-1", "eDP-1"), as the desktop keys it
    int x = 0, y = 0;
    int width = 0, height = 0;
    double scale = 1.0;
    bool primary = false;
};

struct MonitorList {
    std::vector<Monitor> monitors; // primary first where the session marks one
    std::string why;               // why none could be listed, when empty
};

// The monitors as the session's display server reports them: sway's outputs
// over its IPC, or the X server's RandR monitors.
MonitorList listMonitors(const Session& s);
// "HDMI-1 1920x1080+0+0 scale 1 (primary)": what `--list-monitors` prints.
std::string describeMonitor(const Monitor& m);
// True when every monitor has the same size and scale: one picture then fits
// them all.
bool monitorsAlike(const std::vector<Monitor>& monitors);

// One picture drawn for one monitor, at its size.
struct MonitorFile {
    Monitor monitor;
    std::string file;
};

// How a desktop takes a picture per monitor.
enum class MonitorPictures {
    One,     // one picture for every monitor, arranged by the desktop
    Each,    // a picture per monitor (applyEach)
    Spanned, // one picture of the whole layout spread over the monitors (applySpanned)
};

class WallpaperBackend
{
public:
    virtual ~WallpaperBackend() = default;

    // The desktop's name as the user knows it ("GNOME", "XFCE").
    virtual std::string desktopName() const = 0;
    // Reads the values in force and keeps them for restore(); a value that
    // cannot be read stays "Err" in values().
    virtual WallpaperResult readCurrent() = 0;
    virtual DesktopValues values() const = 0;
    // True where the desktop can stretch a picture over the screen.
    virtual bool canStretch() const { return true; }
    // Makes `file` the wallpaper.  Succeeds only when the desktop holds the
    // new value afterwards (read back), never on a write that vanished.
    virtual WallpaperResult apply(const std::string& file, Arrangement a) = 0;
    // Writes back exactly what readCurrent() found.
    virtual WallpaperResult restore() = 0;

    // Why this back end cannot set a wallpaper in this session (empty when
    // it can), naming the session and what would make it work: for the menu
    // and the command line to show before the user tries.
    virtual std::string whyCannotApply() const { return {}; }
    // Why Restore cannot work (empty when it can), known after readCurrent().
    virtual std::string whyCannotRestore() const { return {}; }

    virtual MonitorPictures monitorPictures() const { return MonitorPictures::One; }
    // A picture per monitor, each drawn at that monitor's size.
    virtual WallpaperResult applyEach(const std::vector<MonitorFile>& files);
    // One picture of the whole layout (its top left at the leftmost and
    // topmost monitor's corner), spread over all monitors by the desktop.
    virtual WallpaperResult applySpanned(const std::string& file);
};

// ---------------------------------------------------------------------------
// Which back end: chosen from the session's environment alone, so that tests
// can ask for any session.

enum class Desktop {
    Gnome,
    Cinnamon,
    Mate,
    Xfce,
    Plasma,
    Lxqt,
    Lxde,
    Sway,
    Swaybg, // another wlroots compositor, drawn by a swaybg Ombrix starts
    Portal, // inside a sandbox: only the desktop portal reaches the desktop
    RootWindow,
    Unsupported,
};

struct Session {
    Session(std::string desktop = {}, std::string type = {}, std::string wayland = {},
            std::string x = {})
        : currentDesktop(std::move(desktop)), sessionType(std::move(type)),
          waylandDisplay(std::move(wayland)), display(std::move(x))
    {
    }
    std::string currentDesktop; // XDG_CURRENT_DESKTOP, ':'-separated
    std::string sessionType;    // XDG_SESSION_TYPE
    std::string waylandDisplay; // WAYLAND_DISPLAY
    std::string display;        // DISPLAY
    std::string swaySocket;     // SWAYSOCK
    bool sandboxed = false;     // Flatpak (/.flatpak-info, FLATPAK_ID) or Snap (SNAP)
    bool haveSwaybg = false;    // swaybg on the PATH
};

Session sessionFromEnvironment();
// True when an X server answers on `display`.
bool xDisplayReachable(const std::string& display);
Desktop chooseDesktop(const Session& s);
// The desktop's name as the user knows it ("sway", "LXQt").
std::string desktopLabel(Desktop d);

// What the session offers, before anything is tried: which back end, and
// when it cannot set a wallpaper, why, naming the session and what would
// make it work (for disabled menu items and the command line).
struct SessionSupport {
    Desktop desktop = Desktop::Unsupported;
    bool canApply = false;
    std::string why;
};
SessionSupport sessionSupport(const Session& s);

// The real back end for the session (a refusing one where no wallpaper can
// be set, whose every step says why).
std::unique_ptr<WallpaperBackend> makeWallpaperBackend(const Session& s);

// ---------------------------------------------------------------------------
// The wallpaper files.  Desktops ignore a setting that does not change, so
// each wallpaper gets a new name; they show black when the file behind the
// setting disappears, so the files live in the per-user data folder, and the
// program's older ones go only once a newer one is in force.

// ~/.local/share/ombrix/wallpapers (or under XDG_DATA_HOME), as file-name
// bytes.
std::string wallpaperFolder();
// Where earlier versions wrote them (~/.local/share/Ombrix/Ombrix): still
// cleaned up with the current folder.
std::string legacyWallpaperFolder();

struct WallpaperFile {
    bool ok = false;
    std::string path;    // the new file, when written
    std::string message; // why not, otherwise
};

// Writes `image` as a 24-bit BMP under a name not used before in `folder`
// (created when missing), whole or not at all.
WallpaperFile writeWallpaperFile(const QImage& image, const std::string& folder);

// For desktops that do not place a picture as the program arranges it: the
// picture in `file` arranged `a` at each monitor's size, to be shown one to
// one.  Alike monitors share `file` itself, rewritten; differing ones get
// pictures of their own beside it (monitorFileName).
bool composePerMonitor(const std::string& file, Arrangement a, const std::vector<Monitor>& monitors,
                       std::vector<MonitorFile>& out, std::string& why);

// A wallpaper file's own picture for one monitor, which a back end may make
// beside it ("OmbrixWallpaper-…@1.bmp"): kept and removed with the file.
std::string monitorFileName(const std::string& file, int monitor);

// The program's wallpaper files in `folder` other than those in `keep` and
// in `spare` (the wallpaper found at start-up); returns how many it removed.
// For the standard folder the earlier folder's files go as well.
int removeOldWallpapers(const std::string& folder, const std::string& keep,
                        const std::vector<std::string>& spare);
int removeOldWallpapers(const std::string& folder, const std::vector<std::string>& keep,
                        const std::vector<std::string>& spare);

// The whole road: file written, applied, older files removed.  A failure at
// any step leaves the wallpaper in force as it was.
WallpaperResult setDesktopWallpaper(WallpaperBackend& backend, const QImage& image, Arrangement a,
                                    const std::string& folder,
                                    const std::vector<std::string>& spare);

// A design drawn for one monitor: at its size in device pixels, with texts
// and borders at its scale (null when there is no memory for it).
using DrawAtSize = std::function<QImage(const Monitor& monitor)>;

// The picture of the whole layout for a desktop that spreads one picture
// over all monitors: each monitor's region drawn at its size, black between.
QImage composeSpannedPicture(const std::vector<Monitor>& monitors, const DrawAtSize& draw);

// The whole road with a picture for each monitor at its own size, in the way
// the desktop takes them (one per monitor, one spanned picture, or, where
// the monitors are alike or the desktop takes one picture only, one
// picture drawn at the first monitor's size).  A failure at any step leaves
// the wallpaper in force as it was.
WallpaperResult setMonitorWallpapers(WallpaperBackend& backend,
                                     const std::vector<Monitor>& monitors, const DrawAtSize& draw,
                                     const std::string& folder,
                                     const std::vector<std::string>& spare);

} // namespace ombrix
