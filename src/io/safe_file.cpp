// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/safe_file.h"

#include <QString>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <random>
#include <system_error>

namespace ombrix
{

namespace
{

// The temporary files being written, so that an interrupting signal can
// remove them: fixed storage, because the handler may only call what is
// async-signal-safe (unlink, signal, raise).
constexpr int kTempSlots = 16;
char gTempPaths[kTempSlots][PATH_MAX];
volatile std::sig_atomic_t gTempUsed[kTempSlots] = {};

extern "C" void removeTempFilesAndDie(int sig)
{
    for (int i = 0; i < kTempSlots; ++i)
        if (gTempUsed[i] != 0)
            ::unlink(gTempPaths[i]);
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

// Installs the handler once, for the signals whose action is still the
// default (a program that handles them itself keeps its handler).
void guardAgainstSignals()
{
    static const bool installed = [] {
        for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
            struct sigaction now = {};
            if (::sigaction(sig, nullptr, &now) == 0 && now.sa_handler == SIG_DFL) {
                struct sigaction action = {};
                action.sa_handler = removeTempFilesAndDie;
                sigemptyset(&action.sa_mask);
                ::sigaction(sig, &action, nullptr);
            }
        }
        return true;
    }();
    (void)installed;
}

int noteTemp(const std::string& path)
{
    if (path.size() >= PATH_MAX)
        return -1;
    for (int i = 0; i < kTempSlots; ++i) {
        if (gTempUsed[i] == 0) {
            std::memcpy(gTempPaths[i], path.c_str(), path.size() + 1);
            gTempUsed[i] = 1;
            return i;
        }
    }
    return -1;
}

void forgetTemp(const std::string& path)
{
    for (int i = 0; i < kTempSlots; ++i)
        if (gTempUsed[i] != 0 && path == gTempPaths[i])
            gTempUsed[i] = 0;
}

// Where a chain of symbolic links ends, even when its last name does not
// exist yet (a dangling link names the file to create).  False with errno
// set for a loop or an unreadable link.
bool followLinks(std::string& path)
{
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st = {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return true;
        std::string to(PATH_MAX, '\0');
        const ssize_t n = ::readlink(path.c_str(), to.data(), to.size());
        if (n < 0)
            return false;
        to.resize(static_cast<std::size_t>(n));
        if (to.empty() || to[0] != '/') {
            const std::size_t slash = path.rfind('/');
            if (slash != std::string::npos)
                to.insert(0, path, 0, slash + 1);
        }
        path = to;
    }
    errno = ELOOP;
    return false;
}

} // namespace

std::string nodeKind(unsigned mode)
{
    switch (mode & S_IFMT) {
    case S_IFDIR:
        return "a folder";
    case S_IFIFO:
        return "a FIFO";
    case S_IFSOCK:
        return "a socket";
    case S_IFCHR:
        return "a character device";
    case S_IFBLK:
        return "a block device";
    default:
        return "a special file";
    }
}

int openRegularFile(const std::string& path, std::string& error)
{
    // O_NONBLOCK: opening a FIFO with no writer must not wait for one.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        const int err = errno;
        // A socket cannot be opened at all (ENXIO); name the node rather
        // than give the system's puzzling "No such device or address".
        struct stat st = {};
        if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode))
            error = "it is " + nodeKind(st.st_mode) + ", not a regular file";
        else
            error = systemError(err);
        return -1;
    }
    struct stat st = {};
    if (::fstat(fd, &st) != 0) {
        error = systemError(errno);
        ::close(fd);
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        error = "it is " + nodeKind(st.st_mode) + ", not a regular file";
        ::close(fd);
        return -1;
    }
    return fd;
}

std::string displayPath(const std::string& path)
{
    return "\"" +
           QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size())).toStdString() + "\"";
}

std::string systemError(int err)
{
    return std::error_code(err, std::generic_category()).message();
}

SafeFile::SafeFile(std::string path) : target_(std::move(path)) {}

SafeFile::~SafeFile()
{
    discard();
}

void SafeFile::discard()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        forgetTemp(temp_);
    }
    temp_.clear();
}

bool SafeFile::refuse(const std::string& why)
{
    discard();
    failed_ = true;
    error_ = why;
    return false;
}

bool SafeFile::fail(int err)
{
    discard();
    failed_ = true;
    error_ = systemError(err);
    return false;
}

bool SafeFile::open()
{
    if (failed_)
        return false; // the first failure is the one reported
    if (fd_ >= 0)
        return fail(EINVAL); // one file, opened once
    if (target_.empty())
        return fail(ENOENT);

    // Replace the file a link points to rather than the link itself.
    if (!followLinks(target_))
        return fail(errno);
    struct stat st = {};
    const bool exists = ::stat(target_.c_str(), &st) == 0;
    if (!exists && errno != ENOENT)
        return fail(errno);
    if (exists && !S_ISREG(st.st_mode))
        return refuse(S_ISDIR(st.st_mode) ? systemError(EISDIR)
                                          : "it is " + nodeKind(st.st_mode) +
                                                ", not a regular file; it is left as it was");
    // A file its owner made read-only stays as it is, as it would for a
    // write in place.
    if (exists && ::access(target_.c_str(), W_OK) != 0)
        return fail(errno);

    // A hidden name in the same folder, so that the rename stays within one
    // file system; cut so that it fits the longest name a folder holds.
    const std::size_t slash = target_.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : target_.substr(0, slash + 1);
    const std::string name = target_.substr(folder.size());
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = folder + "." + name.substr(0, 235) + "." +
                                      std::to_string(100000 + random() % 900000) + ".part";
        // Created as any new file is, with 0666 less the umask.
        fd_ = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            temp_ = candidate;
            guardAgainstSignals();
            noteTemp(temp_);
            break;
        }
        if (errno != EEXIST)
            return fail(errno);
    }
    if (fd_ < 0)
        return fail(EEXIST);
    if (exists) {
        if (::fchmod(fd_, st.st_mode & 07777) != 0)
            return fail(errno);
        // The owner is kept where the system allows it (the superuser saving
        // a user's file); elsewhere the file belongs to whoever wrote it, as
        // any new file does.
        if (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) {
            [[maybe_unused]] const int kept = ::fchown(fd_, st.st_uid, st.st_gid);
        }
    }
    return true;
}

bool SafeFile::write(const void* data, std::size_t size)
{
    if (failed_)
        return false;
    if (fd_ < 0)
        return fail(EBADF);
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd_, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail(errno);
        if (n == 0)
            return fail(EIO);
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool SafeFile::commit()
{
    if (failed_)
        return false;
    if (fd_ < 0)
        return fail(EBADF);
    // A full disk or a quota may show only here, when the data reaches it.
    // A file system that cannot sync at all says so with EINVAL; the data
    // is written all the same.
    if (::fsync(fd_) != 0 && errno != EINVAL && errno != EOPNOTSUPP)
        return fail(errno);
    const int fd = fd_;
    fd_ = -1;
    // Linux releases the descriptor even when close is interrupted.
    if (::close(fd) != 0 && errno != EINTR)
        return fail(errno);
    if (::rename(temp_.c_str(), target_.c_str()) != 0)
        return fail(errno);
    forgetTemp(temp_);
    temp_.clear();
    // The new name itself reaches the disk with its folder; a failure here
    // no longer touches the content, which is complete under either name.
    const std::size_t slash = target_.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : target_.substr(0, slash + 1);
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

std::string writeWholeFile(const std::string& path, const void* data, std::size_t size)
{
    SafeFile file(path);
    if (!file.open() || !file.write(data, size) || !file.commit())
        return file.error();
    return {};
}

} // namespace ombrix
