// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/cli.h"
#include "app/gui.h"

#include <csignal>
#include <cstring>

int main(int argc, char** argv)
{
    // Past a file-size limit the system sends SIGXFSZ, which would end the
    // program in the middle of a save.  Ignored, the write fails with EFBIG
    // instead, and the save reports "File too large" and keeps the old file.
    std::signal(SIGXFSZ, SIG_IGN);
    // Without arguments the desktop program starts; with them, a command,
    // except for one parameter file, which the desktop program opens.
    if (argc <= 1 || ombrix::opensInDesktop(argc, argv))
        return ombrix::runGui(argc, argv);
    if (std::strcmp(argv[1], "wallpaper") == 0)
        return ombrix::runWallpaperCli(argc, argv);
    return ombrix::runCli(argc, argv);
}
