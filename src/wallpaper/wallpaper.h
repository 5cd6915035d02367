// The desktop wallpaper.  Every Linux desktop keeps its wallpaper in a store
// of its own, so each gets a back end behind one interface: the program and
// the command line read the values in force, apply a new file with an
// arrangement and put back what they read, without knowing which desktop
// they talk to.  No widgets here: the windows and the command line share it.
#pragma once

#include <QImage>

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

struct WallpaperResult {
    bool ok = false;
    // For the user: what happened and what to do about it; empty on success.
    std::string message;

    static WallpaperResult success() { return {true, {}}; }
    static WallpaperResult failure(std::string why) { return {false, std::move(why)}; }
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
};

// ---------------------------------------------------------------------------
// Which back end: chosen from the session's environment alone, so that tests
// can ask for any session.

enum class Desktop { Gnome, Cinnamon, Mate, Xfce, Plasma, RootWindow, Unsupported };

struct Session {
    std::string currentDesktop; // XDG_CURRENT_DESKTOP, ':'-separated
    std::string sessionType;    // XDG_SESSION_TYPE
    std::string waylandDisplay; // WAYLAND_DISPLAY
    std::string display;        // DISPLAY
};

Session sessionFromEnvironment();
// True when an X server answers on `display`.
bool xDisplayReachable(const std::string& display);
Desktop chooseDesktop(const Session& s);

// The real back end for the session (a refusing one where no wallpaper can
// be set, whose every step says why).
std::unique_ptr<WallpaperBackend> makeWallpaperBackend(const Session& s);

// ---------------------------------------------------------------------------
// The wallpaper files.  Desktops ignore a setting that does not change, so
// each wallpaper gets a new name; they show black when the file behind the
// setting disappears, so the files live in the per-user data folder, and the
// program's older ones go only once a newer one is in force.

// ~/.local/share/Ombrix/Ombrix (or under XDG_DATA_HOME), as file-name bytes.
std::string wallpaperFolder();

struct WallpaperFile {
    bool ok = false;
    std::string path;    // the new file, when written
    std::string message; // why not, otherwise
};

// Writes `image` as a 24-bit BMP under a name not used before in `folder`
// (created when missing), whole or not at all.
WallpaperFile writeWallpaperFile(const QImage& image, const std::string& folder);

// The program's wallpaper files in `folder` other than `keep` and the files
// in `spare` (the wallpaper found at start-up); returns how many it removed.
int removeOldWallpapers(const std::string& folder, const std::string& keep,
                        const std::vector<std::string>& spare);

// The whole road: file written, applied, older files removed.  A failure at
// any step leaves the wallpaper in force as it was.
WallpaperResult setDesktopWallpaper(WallpaperBackend& backend, const QImage& image, Arrangement a,
                                    const std::string& folder,
                                    const std::vector<std::string>& spare);

} // namespace ombrix
