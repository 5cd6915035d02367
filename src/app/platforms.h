// SPDX-License-Identifier: GPL-3.0-or-later
// Whether a Qt platform can start here: Qt ends the process with a core dump
// when the platform it is given cannot, so each is checked before any Qt
// application object is made.
#pragma once

#include <QString>

namespace ombrix
{

// Whether Qt has the platform's plugin: "wayland" is served by
// libqwayland-generic.so or libqwayland-egl.so, "xcb" by libqxcb.so.
bool platformPluginExists(const QString& name);
// Whether WAYLAND_DISPLAY names a socket that is there.
bool waylandReachable();
// Whether DISPLAY names an X server that answers.
bool xReachable();

} // namespace ombrix
