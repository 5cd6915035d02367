// SPDX-License-Identifier: GPL-3.0-or-later
// The programs the wallpaper back ends start (swaybg, pcmanfm-qt, pcmanfm)
// and the running processes they look for.  Every program gets an argument
// list, never a shell line: a file name is data, whatever it holds.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace ombrix
{

struct ProcessInfo {
    pid_t pid = 0;
    uid_t uid = 0;
    unsigned long long startTime = 0;   // clock ticks after boot: tells a reused id apart
    std::vector<std::string> arguments; // without the program itself
};

// The running processes whose program's file name is `name`.
std::vector<ProcessInfo> runningProcesses(const std::string& name);
// The process `pid` when it still runs, else one with pid 0.
ProcessInfo processInfo(pid_t pid);

struct ProgramRun {
    bool started = false;
    bool finished = false; // within the time allowed
    int exitCode = -1;
    std::string output; // standard output and error, as the program wrote them
};

// Runs `program` with `arguments` and waits up to `timeoutMs` for it; one
// that runs longer is ended.
ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                      int timeoutMs);

struct Detached {
    pid_t pid = 0;   // the program's own process, 0 when it did not start
    std::string why; // why not
};

// Starts `program` in a session of its own, detached from this one, so that
// it outlives the program and its terminal; its output goes nowhere.
Detached startDetached(const std::string& program, const std::vector<std::string>& arguments);

} // namespace ombrix
