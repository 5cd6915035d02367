// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's toolbar as one table: a row per button, in the order
// the toolbar shows them.  Commands are dispatched on ToolButton, so a key
// that does not exist cannot be written.
#pragma once

#include <QIcon>

#include <array>

class QPainter;

namespace ombrix
{

enum class ToolButton {
    New,
    Open,
    Save,
    Copy,
    Undo,
    Redo,
    Show,
    Resize,
    Rotate,
    Borders,
    Text,
    Gradtxt,
    Wallpaper,
    About,
    Help,
};

struct ToolbarRow {
    ToolButton button;
    const char* key;                // also the button's object name
    const char* tooltip;            // the button's tooltip, as the user reads it
    void (*paintIcon)(QPainter& g); // draws the icon on 24 x 24
    bool checkable;                 // shown pressed while its state is on
    bool separatorAfter;            // a gap before the next group
    bool available;                 // false while its command is not built yet
};

extern const std::array<ToolbarRow, 15> kToolbar;

const ToolbarRow& toolbarRow(ToolButton button);

// The row's icon, drawn sharp for plain and doubled screens.
QIcon toolbarIcon(const ToolbarRow& row);

} // namespace ombrix
