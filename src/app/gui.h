// The desktop program: the main window and its tool windows.
#pragma once

namespace ombrix
{

// Starts the desktop program; returns its exit status.  Without a display
// it says so in one line and points to the command line.
int runGui(int argc, char** argv);

} // namespace ombrix
