// SPDX-License-Identifier: GPL-3.0-or-later
// What a Linux desktop expects of a program besides its windows: the id that
// matches the windows to the desktop entry and icon, the window icon, the
// folders of the sample designs, and controls that behave the same whether a
// person clicks them or a screen reader or voice control operates them.
#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>

class QWidget;

namespace ombrix
{

// The reverse-DNS id of the desktop entry, the icon and the AppStream data.
inline constexpr const char* kAppId = "io.github.ombrix.Ombrix";

// The icon under the program's id in the icon theme, else the compiled-in one.
QIcon programIcon();

// Sets the desktop file name (Wayland compositors match windows to the entry
// by it) and the icon every window shows in its title bar and the switcher.
void applyProgramIdentity();

// The installed sample designs' folders that exist: under each data folder of
// the system (XDG_DATA_DIRS and the user's), and beside the program's own
// prefix (bin/../share), for a program installed elsewhere.
QStringList sampleDesignFolders();

// Check boxes, option buttons and toggle buttons operated through the
// accessibility interface (AT-SPI's Toggle or Press action) are clicked, as
// a mouse or the space bar would: the program acts on clicks, and a bare
// toggle would change only the mark and be undone by the next redraw.
void installAccessibleButtons();

// A widget made pressable (this property set to true) is a button to the accessibility
// interface: its Press action sends it the Space key, which it takes as a
// click (the colour boxes, the preview).
inline constexpr const char* kPressableProperty = "ombrixPressable";
void makePressable(QWidget* w);

// Gives every control under `root` that has none an accessible name where it
// shows no caption of its own: the label beside it in its layout, else its
// tooltip's first sentence.  installAccessibleButtons() has every window
// named so as it is shown.
void nameControls(QWidget* root);

} // namespace ombrix
