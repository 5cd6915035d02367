// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/platforms.h"

#include "wallpaper/wallpaper.h"

#include <QDir>
#include <QLibraryInfo>

#include <sys/stat.h>

#include <cstdlib>
#include <string>

namespace ombrix
{

bool platformPluginExists(const QString& name)
{
    // A plugin's file is its name, or its name and a variant after a dash.
    const QDir folder(QLibraryInfo::path(QLibraryInfo::PluginsPath) + "/platforms");
    return !folder.entryList({"libq" + name + ".so", "libq" + name + "-*.so"}, QDir::Files)
                .isEmpty();
}

bool waylandReachable()
{
    const char* wl = std::getenv("WAYLAND_DISPLAY");
    if (wl == nullptr || *wl == '\0')
        return false;
    std::string socket = wl;
    if (socket[0] != '/') {
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        if (runtime == nullptr)
            return false;
        socket = std::string(runtime) + "/" + socket;
    }
    struct stat st = {};
    return ::stat(socket.c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

bool xReachable()
{
    const char* x = std::getenv("DISPLAY");
    return x != nullptr && *x != '\0' && xDisplayReachable(x);
}

} // namespace ombrix
