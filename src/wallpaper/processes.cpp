// SPDX-License-Identifier: GPL-3.0-or-later
#include "wallpaper/processes.h"

#include <QProcess>
#include <QStringList>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace ombrix
{

namespace
{

std::string readFile(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string baseName(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

ProcessInfo processInfo(pid_t pid)
{
    ProcessInfo p;
    const std::string dir = "/proc/" + std::to_string(pid);
    struct stat st {
    };
    if (pid <= 0 || ::stat(dir.c_str(), &st) != 0)
        return p;
    // The start time is the 22nd field of stat, counted after the command's
    // name in brackets, which may itself hold spaces and brackets.
    const std::string stat = readFile(dir + "/stat");
    const size_t close = stat.rfind(')');
    if (close == std::string::npos)
        return p;
    std::istringstream fields(stat.substr(close + 2));
    std::string field;
    for (int i = 3; i <= 22 && fields >> field; ++i)
        if (i == 22)
            p.startTime = std::strtoull(field.c_str(), nullptr, 10);
    // A zombie has no command line: it runs no more.
    const std::string cmdline = readFile(dir + "/cmdline");
    if (cmdline.empty())
        return p;
    std::vector<std::string> args;
    for (size_t start = 0; start < cmdline.size();) {
        const size_t end = cmdline.find('\0', start);
        args.push_back(cmdline.substr(start, end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    p.pid = pid;
    p.uid = st.st_uid;
    // The program's own name is kept apart from its arguments.
    p.arguments.assign(args.begin() + 1, args.end());
    return p;
}

std::vector<ProcessInfo> runningProcesses(const std::string& name)
{
    std::vector<ProcessInfo> out;
    DIR* proc = ::opendir("/proc");
    if (proc == nullptr)
        return out;
    while (const dirent* e = ::readdir(proc)) {
        char* end = nullptr;
        const long pid = std::strtol(e->d_name, &end, 10);
        if (pid <= 0 || *end != '\0')
            continue;
        const std::string cmdline = readFile("/proc/" + std::string(e->d_name) + "/cmdline");
        if (baseName(cmdline.c_str()) != name)
            continue;
        ProcessInfo p = processInfo(static_cast<pid_t>(pid));
        if (p.pid != 0)
            out.push_back(p);
    }
    ::closedir(proc);
    return out;
}

ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                      int timeoutMs)
{
    ProgramRun run;
    QStringList args;
    for (const std::string& a : arguments)
        args << QString::fromLocal8Bit(a.c_str());
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setStandardInputFile(QProcess::nullDevice());
    p.start(QString::fromLocal8Bit(program.c_str()), args);
    if (!p.waitForStarted(timeoutMs))
        return run;
    run.started = true;
    run.finished = p.waitForFinished(timeoutMs);
    if (!run.finished) {
        p.kill();
        p.waitForFinished(1000);
    }
    run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.output = p.readAll().toStdString();
    return run;
}

Detached startDetached(const std::string& program, const std::vector<std::string>& arguments)
{
    Detached out;
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    // The grandchild's id comes back through one pipe; an exec that failed
    // writes its errno to the other, which closes on a good exec.
    int ids[2], fail[2];
    if (::pipe2(ids, O_CLOEXEC) != 0) {
        out.why = std::strerror(errno);
        return out;
    }
    if (::pipe2(fail, O_CLOEXEC) != 0) {
        out.why = std::strerror(errno);
        ::close(ids[0]);
        ::close(ids[1]);
        return out;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild == 0) {
            const int null = ::open("/dev/null", O_RDWR);
            if (null >= 0) {
                ::dup2(null, 0);
                ::dup2(null, 1);
                ::dup2(null, 2);
            }
            ::execv(program.c_str(), argv.data());
            const int e = errno;
            (void)!::write(fail[1], &e, sizeof e);
            ::_exit(127);
        }
        (void)!::write(ids[1], &grandchild, sizeof grandchild);
        ::_exit(0);
    }
    ::close(ids[1]);
    ::close(fail[1]);
    if (child < 0) {
        out.why = std::strerror(errno);
    } else {
        // A signal (a child's end, which Qt watches for) may cut a wait
        // short: each is resumed, or the program would be taken for started
        // before its exec.
        auto readWhole = [](int fd, void* into, size_t n) {
            ssize_t r;
            do
                r = ::read(fd, into, n);
            while (r < 0 && errno == EINTR);
            return r;
        };
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        pid_t pid = 0;
        int e = 0;
        if (readWhole(ids[0], &pid, sizeof pid) != static_cast<ssize_t>(sizeof pid) || pid <= 0)
            out.why = "it could not be started";
        else if (readWhole(fail[0], &e, sizeof e) == static_cast<ssize_t>(sizeof e))
            out.why = std::strerror(e);
        else
            out.pid = pid;
    }
    ::close(ids[0]);
    ::close(fail[0]);
    return out;
}

} // namespace ombrix
