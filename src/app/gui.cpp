#include "app/gui.h"

#include "main/app_state.h"
#include "main/frm_main.h"
#include "main/ui_prompter.h"

#include <QApplication>
#include <QDir>
#include <QSettings>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace ombrix
{

namespace
{

bool haveDisplay()
{
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform != nullptr && *platform != '\0')
        return true; // the user chose one; Qt reports what it cannot open
    const char* x = std::getenv("DISPLAY");
    const char* wl = std::getenv("WAYLAND_DISPLAY");
    return (x != nullptr && *x != '\0') || (wl != nullptr && *wl != '\0');
}

} // namespace

int runGui(int argc, char** argv)
{
    if (!haveDisplay()) {
        std::fprintf(stderr,
                     "ombrix: no display to open the desktop program on; without a screen use "
                     "the command line (ombrix --help, ombrix render ...)\n");
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Ombrix");
    QApplication::setApplicationName("Ombrix");
    QApplication::setApplicationVersion(OMBRIX_VERSION);
    QApplication::setQuitOnLastWindowClosed(false);

    QtPrompter prompter;
    AppState state;
    MainOptions options;
    options.prompter = &prompter;
    options.openSettings = [] {
        return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, "Ombrix",
                                           "Ombrix");
    };
    options.programFolder = QDir(QApplication::applicationDirPath()).absolutePath() + "/";

    FrmMain main(state, options);
    QObject::connect(&main, &FrmMain::closed, &app, &QApplication::quit);
    main.Form_Load();
    return QApplication::exec();
}

} // namespace ombrix
