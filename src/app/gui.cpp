// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/gui.h"

#include "app/platforms.h"

#include "editing/app_state.h"
#include "ui/common/desktop_habits.h"
#include "ui/common/prompter.h"
#include "ui/main/frm_main.h"
#include "wallpaper/wallpaper.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace ombrix
{

namespace
{

// Qt's platforms that show nothing: a program on them would run unseen.
bool invisiblePlatform(const QString& name)
{
    return name == "offscreen" || name == "minimal";
}

bool platformReachable(const QString& name)
{
    if (name == "xcb")
        return xReachable();
    if (name.startsWith("wayland"))
        return waylandReachable();
    return true; // eglfs, vnc and the like find their own screens
}

// Qt ends the process with a core dump when its platform cannot start, so
// the platform is chosen and checked here first: the one the user named in
// QT_QPA_PLATFORM (a ';' list tried in order), else Wayland in a Wayland
// session and X where its server answers.  Empty, with `why` set, when no
// display can be used.
QString choosePlatform(std::string& why)
{
    const char* chosen = std::getenv("QT_QPA_PLATFORM");
    if (chosen != nullptr && *chosen != '\0') {
        for (const QString& entry : QString(chosen).split(';', Qt::SkipEmptyParts)) {
            const QString name = entry.section(':', 0, 0);
            if (invisiblePlatform(name)) {
                why = "the platform '" + name.toStdString() + "' shows no window";
                continue;
            }
            if (!platformPluginExists(name)) {
                why = "Qt has no platform plugin '" + name.toStdString() + "'";
                continue;
            }
            if (!platformReachable(name)) {
                why = "the display of platform '" + name.toStdString() + "' does not answer";
                continue;
            }
            return entry;
        }
        return {};
    }
    const char* session = std::getenv("XDG_SESSION_TYPE");
    const bool waylandSession = session != nullptr && std::string(session) == "wayland";
    const bool wayland = platformPluginExists("wayland") && waylandReachable();
    if (waylandSession && wayland)
        return "wayland";
    if (xReachable())
        return "xcb";
    if (wayland)
        return "wayland";
    const char* x = std::getenv("DISPLAY");
    if (x != nullptr && *x != '\0')
        why = std::string("the X display '") + x + "' does not answer";
    else if (std::getenv("WAYLAND_DISPLAY") != nullptr)
        why = "the Wayland display does not answer";
    else
        why = "no display was found (neither DISPLAY nor WAYLAND_DISPLAY is set)";
    return {};
}

int needsDisplay(const std::string& why)
{
    std::fprintf(stderr,
                 "ombrix: the desktop program needs a display: %s; without a screen use the "
                 "command line (ombrix help)\n",
                 why.c_str());
    return 1;
}

} // namespace

bool opensInDesktop(int argc, char** argv)
{
    if (argc != 2 || argv[1][0] == '-')
        return false;
    const std::string arg = argv[1];
    if (arg == "render" || arg == "params")
        return false;
    const bool obp =
        arg.size() > 4 &&
        QString::fromStdString(arg.substr(arg.size() - 4)).compare(".obp", Qt::CaseInsensitive) ==
            0;
    return obp || QFileInfo(QFile::decodeName(argv[1])).isFile();
}

int runGui(int argc, char** argv)
{
    std::string why;
    const QString platform = choosePlatform(why);
    if (platform.isEmpty())
        return needsDisplay(why);
    qputenv("QT_QPA_PLATFORM", platform.toUtf8());
    // Taken before Qt removes its own options from the arguments; the
    // system's file-name bytes, never decoded on the way to the file.
    const std::string file = opensInDesktop(argc, argv) ? std::string(argv[1]) : std::string();
    QApplication app(argc, argv);
    if (invisiblePlatform(QGuiApplication::platformName())) // chosen by -platform
        return needsDisplay("the platform '" + QGuiApplication::platformName().toStdString() +
                            "' shows no window");
    QApplication::setOrganizationName("Ombrix");
    QApplication::setApplicationName("Ombrix");
    QApplication::setApplicationVersion(OMBRIX_VERSION);
    QApplication::setQuitOnLastWindowClosed(false);
    applyProgramIdentity();

    QtPrompter prompter;
    AppState state;
    MainOptions options;
    options.prompter = &prompter;
    options.openSettings = [] {
        return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, "Ombrix",
                                           "Ombrix");
    };

    FrmMain main(state, options);
    QObject::connect(&main, &FrmMain::closed, &app, &QApplication::quit);
    // The wallpaper in force before the user can change anything, so that
    // Restore returns to it however many wallpapers are set.
    main.wallpaper().mGetWallPaperKeys(makeWallpaperBackend(sessionFromEnvironment()));
    main.Form_Load();
    if (!file.empty())
        main.fileCommands().openFile(file);
    return QApplication::exec();
}

} // namespace ombrix
