// SPDX-License-Identifier: GPL-3.0-or-later
// The command line: the same engine as the desktop program, without a screen.
#pragma once

#include <string>

namespace ombrix
{

// Runs the command line; returns the process exit status: 0 success,
// 1 a failure (unreadable file, image not written), 2 a usage error.
int runCli(int argc, char** argv);

// `ombrix wallpaper ...`: the image made the desktop wallpaper; 0 when the
// desktop took it, 1 when not (one line says why), 2 a usage error.
int runWallpaperCli(int argc, char** argv);

// "WxH" (also "W x H" or "W×H") with both sides 1 to 16384: the one size
// every command takes.  Returns false for anything else.
bool parseImageSize(const std::string& text, int& width, int& height);

// Drops Qt's notices that a command never acts on (one line on failure,
// none on success); installed once, before any command runs.
void installCommandMessageFilter();

// The arguments handed to a Qt application object made by a command: the
// program's name alone, kept for the life of the process.
int& qtArgc();
char** qtArgv(char** argv);

} // namespace ombrix
