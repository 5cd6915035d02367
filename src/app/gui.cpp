// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/gui.h"

#include "editing/app_state.h"
#include "ui/common/desktop_habits.h"
#include "ui/common/prompter.h"
#include "ui/main/frm_main.h"
#include "wallpaper/wallpaper.h"

#include <QApplication>
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

bool haveDisplay()
{
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform != nullptr && *platform != '\0') // the user chose one
        return !invisiblePlatform(QString(platform).section(':', 0, 0));
    const char* x = std::getenv("DISPLAY");
    const char* wl = std::getenv("WAYLAND_DISPLAY");
    return (x != nullptr && *x != '\0') || (wl != nullptr && *wl != '\0');
}

int needsDisplay()
{
    std::fprintf(stderr, "ombrix: the desktop program needs a display; without a screen use the "
                         "command line (ombrix --help, ombrix render ...)\n");
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
    if (!haveDisplay())
        return needsDisplay();
    // Taken before Qt removes its own options from the arguments; the
    // system's file-name bytes, never decoded on the way to the file.
    const std::string file = opensInDesktop(argc, argv) ? std::string(argv[1]) : std::string();
    QApplication app(argc, argv);
    if (invisiblePlatform(QGuiApplication::platformName())) // chosen by -platform
        return needsDisplay();
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
