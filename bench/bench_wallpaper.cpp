// SPDX-License-Identifier: GPL-3.0-or-later
// The time from a click on a Wall menu item to the applied wallpaper, with
// the image window at 1920 x 1080: the image exported with its texts, the
// BMP written under a new name, the desktop told and read back, the older
// file removed.  Two desktops: GNOME's GSettings in a keyfile store (no
// settings service to wait for), and the root window of the X display in
// DISPLAY (skipped without one; run it on a 1920 x 1080 Xvfb -noreset).
// Reported, never enforced.
#include "ui/main/frm_main.h"
#include "ui/picture/frm_picture.h"
#include "wallpaper/backends.h"

#include "ui/program.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QTemporaryDir>

#include <cstdlib>
#include <functional>
#include <memory>

namespace
{

using namespace ombrix;

void benchClickToWallpaper(benchmark::State& st,
                           const std::function<std::unique_ptr<WallpaperBackend>()>& make)
{
    test::Program prog;
    FrmMain& main = *prog.main;
    main.picture().setClientSize(1920, 1080);
    QApplication::processEvents();
    if (main.picture().pictures().picShow.image().width() < 1920) {
        st.SkipWithError("the image window did not take the size 1920 x 1080");
        return;
    }
    WallpaperCommands& wall = main.wallpaper();
    wall.folder = prog.dir.filePath("walls").toStdString();
    wall.mGetWallPaperKeys(make());
    int item = 0;
    for (auto _ : st) {
        item = (item + 1) % 3; // a different arrangement every time
        wall.item(item)->trigger();
    }
    if (!prog.prompter.asked.empty() || !wall.item(item)->isChecked())
        st.SkipWithError(prog.prompter.asked.empty()
                             ? "the wallpaper was not applied"
                             : prog.prompter.asked.front().text.toStdString().c_str());
}

} // namespace

int main(int argc, char** argv)
{
    const bool haveX =
        std::getenv("DISPLAY") != nullptr && xDisplayReachable(std::getenv("DISPLAY"));
    const std::string display = haveX ? std::getenv("DISPLAY") : "";
    qputenv("QT_QPA_PLATFORM", "offscreen");
    test::quietOffscreenWarnings();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QTemporaryDir store;
    const std::string keyfile = store.filePath("keyfile").toStdString();
    benchmark::RegisterBenchmark("ClickToWallpaper/GnomeKeyfile/1920x1080",
                                 [&](benchmark::State& st) {
                                     benchClickToWallpaper(st, [&] {
                                         return makeGSettingsBackend(kGnomeDesktop, {"", keyfile});
                                     });
                                 })
        ->Unit(benchmark::kMillisecond);
    if (haveX)
        benchmark::RegisterBenchmark("ClickToWallpaper/RootWindow/1920x1080", [&](benchmark::State&
                                                                                      st) {
            benchClickToWallpaper(st, [&] { return makeRootWindowBackend(display); });
        })->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
