// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop program: the main window and its tool windows.
#pragma once

namespace ombrix
{

// Starts the desktop program; returns its exit status.  Without a display
// it says so in one line and points to the command line.
// With a parameter file as its one argument (`ombrix FILE.obp`, as a file
// manager starts it) the program opens with that file instead of preset 3.
int runGui(int argc, char** argv);

// Whether the arguments name one parameter file for the desktop program: a
// name ending in ".obp" (any case) or an existing file, not a command or an
// option.
bool opensInDesktop(int argc, char** argv);

} // namespace ombrix
