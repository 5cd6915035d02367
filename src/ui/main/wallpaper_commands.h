// SPDX-License-Identifier: GPL-3.0-or-later
// The Wall menu: the image made the desktop wallpaper, tiled, centred or
// stretched, and Restore, which puts back the wallpaper of the start of the
// run.  The desktop's store is reached through a WallpaperBackend chosen at
// start-up; every failure is told to the user, and the program goes on.
#pragma once

#include "wallpaper/wallpaper.h"

#include <array>
#include <memory>
#include <string>

class QAction;
class QMenu;
class QPoint;
class QWidget;

namespace ombrix
{

class CommandHost;
class Prompter;

class WallpaperCommands
{
public:
    WallpaperCommands(CommandHost& host, Prompter& prompter, QWidget* menuParent);
    ~WallpaperCommands();
    WallpaperCommands(const WallpaperCommands&) = delete;
    WallpaperCommands& operator=(const WallpaperCommands&) = delete;

    // Reads the desktop's values once, before the user can change anything,
    // and sets up the menu: "Stretch" where the desktop can stretch, the
    // check mark on the arrangement shown now, and only the items that can
    // work in this session enabled.
    void mGetWallPaperKeys(std::unique_ptr<WallpaperBackend> backend);

    // Enables the items that can work now and gives the others a tooltip
    // saying why not; asked again each time the menu opens, since a
    // desktop may start or stop while the program runs.
    void updateAvailability();
    // Why setting (Restore) cannot work in this session, naming it; empty
    // when it can.
    std::string whyCannotApply() const;
    std::string whyCannotRestore() const;

    // The menu's items: 0 "Tile", 1 "Center", 2 "Stretch", 3 the separator.
    void mnuSetWallpaperArray_Click(int index);
    void mnuRestoreWallpaper_Click();
    void popup(const QPoint& globalPos);

    // Writes the exported image under a new name and applies it with the
    // arrangement's two strings; true when the desktop took it.
    bool mSetWallpaper(const std::string& sTile, const std::string& sStyle);
    bool mApplyWallpaper(const std::string& sFile, const std::string& sTile,
                         const std::string& sStyle);
    bool mRestoreWallPaper();

    QMenu* menu() const { return mnuWall; }
    QAction* item(int index) const { return mnuSetWallpaperArray[static_cast<size_t>(index)]; }
    QAction* restoreItem() const { return mnuRestoreWallpaper; }

    // Where the wallpaper files go (the per-user data folder unless a test
    // gives another).
    std::string folder = wallpaperFolder();

    // The values found at start-up; never changed afterwards.
    std::string psOrgWallpaper = kErr;
    std::string psOrgTileWallpaper = kErr;
    std::string psOrgWallpaperStyle = kErr;

private:
    void checkItem(int index); // -1: none
    void checkFrom(const std::string& tile, const std::string& style, bool errCounts);
    void tell(const std::string& message);
    std::string namingSession(const std::string& why) const;

    CommandHost& host_;
    Prompter& prompter_;
    std::unique_ptr<WallpaperBackend> backend_;
    std::string readFailure_; // why the start-up values could not be read
    int checked_ = -1;        // the item with the check mark, -1 none

    QMenu* mnuWall = nullptr;
    std::array<QAction*, 4> mnuSetWallpaperArray{};
    QAction* mnuRestoreWallpaper = nullptr;
};

} // namespace ombrix
