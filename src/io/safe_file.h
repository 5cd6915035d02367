// SPDX-License-Identifier: GPL-3.0-or-later
// Files written whole or not at all, and paths as the system spells them.
//
// Paths in the io layer are std::string values holding the exact bytes of the
// system's file name: what argv gives on Linux, what QFile::encodeName gives
// for a QString.  They go to the system as they are and are never decoded as
// text on the way to a file, because a Linux file name need not be UTF-8.
#pragma once

#include <cstddef>
#include <string>

namespace ombrix
{

// A path fit for a message, in double quotes: its bytes as UTF-8, with every
// byte that is not part of valid UTF-8 shown as U+FFFD.
std::string displayPath(const std::string& path);

// The reason for a system error number in the system's words ("File too
// large", "No space left on device", "Permission denied").
std::string systemError(int err);

// Writes a new file beside its target, in the same folder, and renames it over
// the target only after every byte has been written and flushed to the disk,
// so that the target holds either exactly the new content or, after any
// failure, whatever it held before, and nothing is left beside it.
//
// An existing target keeps its permissions and must be writable, as it would
// be for writing in place; a new one gets 0666 less the umask.  A symbolic
// link is followed, so the file it points to is replaced (or, for a dangling
// link, created) and the link stays a link.  A target that is not a regular
// file (a FIFO, socket, device or folder) is refused and left as it was:
// renaming over it would replace a node other programs rely on.
//
// The new file has a hidden name ending in ".part" until it is complete, and
// is removed when the program is interrupted (SIGINT, SIGTERM, SIGHUP)
// before the rename; a run killed outright can leave only such a ".part".
class SafeFile
{
public:
    explicit SafeFile(std::string path);
    ~SafeFile(); // an uncommitted file is removed
    SafeFile(const SafeFile&) = delete;
    SafeFile& operator=(const SafeFile&) = delete;

    // Each step returns false on failure, and error() then says why.  After
    // a failure nothing of the new file remains; later steps fail too.
    bool open();
    bool write(const void* data, std::size_t size);
    bool commit();

    const std::string& error() const { return error_; }

private:
    bool fail(int err);
    bool refuse(const std::string& why);
    void discard();

    std::string target_;
    std::string temp_;
    int fd_ = -1;
    bool failed_ = false;
    std::string error_;
};

// What kind of node a file type is, for messages ("a FIFO", "a folder").
std::string nodeKind(unsigned mode);

// Opens `path` for reading only when it is (or a link leads to) a regular
// file, without ever blocking on a FIFO or device.  Returns the descriptor,
// or -1 with `error` set to the reason.
int openRegularFile(const std::string& path, std::string& error);

// Writes `size` bytes as the whole new content of `path` through a SafeFile.
// Returns an empty string on success, else the reason it failed.
std::string writeWholeFile(const std::string& path, const void* data, std::size_t size);

} // namespace ombrix
