// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/cli.h"
#include "app/gui.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{

// A command's output that did not reach its reader (a full disk, a closed
// pipe or standard output) is a failure, not a success with nothing said.
int checkedOutput(int status)
{
    if (status != 0 && std::ferror(stdout) != 0)
        return status; // the command has said why already
    errno = 0;
    if (std::fflush(stdout) != 0) {
        std::fprintf(stderr, "ombrix: cannot write to standard output: %s\n", std::strerror(errno));
        return 1;
    }
    if (std::ferror(stdout) != 0) {
        std::fprintf(stderr, "ombrix: cannot write to standard output\n");
        return 1;
    }
    return status;
}

bool isCommand(const char* name)
{
    for (const char* command : {"render", "params", "wallpaper", "help"})
        if (std::strcmp(name, command) == 0)
            return true;
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    // A standard stream the caller closed would otherwise be taken by the
    // next file the program opens (Qt's event descriptor, an image being
    // written), and the JSON meant for stdout would go there.  /dev/null
    // opened read-only holds the place: writing to it fails with EBADF,
    // exactly as the closed stream would.
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            const int held = ::open("/dev/null", O_RDONLY | O_NOCTTY);
            if (held >= 0 && held != fd) {
                ::dup2(held, fd);
                ::close(held);
            }
        }
    }
    // Past a file-size limit the system sends SIGXFSZ, which would end the
    // program in the middle of a save.  Ignored, the write fails with EFBIG
    // instead, and the save reports "File too large" and keeps the old file.
    std::signal(SIGXFSZ, SIG_IGN);
    // Without arguments the desktop program starts; with them, a command,
    // except for one parameter file, which the desktop program opens.
    if (argc <= 1 || ombrix::opensInDesktop(argc, argv))
        return ombrix::runGui(argc, argv);
    // "-platform NAME [FILE.obp]" chooses Qt's platform for the desktop
    // program.  It becomes QT_QPA_PLATFORM, so that the platform is checked
    // before Qt starts (Qt itself would abort on one it cannot load) and Qt
    // never parses the arguments itself.
    if ((argc == 3 || argc == 4) &&
        (std::strcmp(argv[1], "-platform") == 0 || std::strcmp(argv[1], "--platform") == 0)) {
        char* rest[] = {argv[0], argc == 4 ? argv[3] : nullptr, nullptr};
        const int restCount = argc == 4 ? 2 : 1;
        if (restCount == 1 || ombrix::opensInDesktop(restCount, rest)) {
            setenv("QT_QPA_PLATFORM", argv[2], 1);
            return ombrix::runGui(restCount, rest);
        }
    }
    // A closed pipe is a write error to report, not a signal to die of.
    std::signal(SIGPIPE, SIG_IGN);
    ombrix::installCommandMessageFilter();
    // "ombrix help [COMMAND]" is "ombrix [COMMAND] --help".
    char help[] = "--help";
    char* asked[] = {argv[0], argc > 2 ? argv[2] : help, argc > 2 ? help : nullptr, nullptr};
    if (std::strcmp(argv[1], "help") == 0) {
        if (argc > 3) {
            std::fprintf(stderr, "ombrix: help takes one command at most (see ombrix help)\n");
            return 2;
        }
        if (argc == 3 && !isCommand(argv[2])) {
            std::fprintf(stderr,
                         "ombrix: unknown command '%s' (use render, params, wallpaper or help; "
                         "see ombrix help)\n",
                         argv[2]);
            return 2;
        }
        argc = argc > 2 ? 3 : 2;
        argv = asked;
    }
    if (std::strcmp(argv[1], "wallpaper") == 0)
        return checkedOutput(ombrix::runWallpaperCli(argc, argv));
    return checkedOutput(ombrix::runCli(argc, argv));
}
