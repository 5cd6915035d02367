// SPDX-License-Identifier: GPL-3.0-or-later
// Desktops whose wallpaper is set by starting a program: swaybg on wlroots
// compositors other than sway, and the pcmanfm-qt (LXQt) and pcmanfm (LXDE)
// desktops through their command line.  Every program gets an argument list,
// never a shell line.
#include "wallpaper/backends.h"
#include "wallpaper/processes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QString>

#include <glib.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

namespace ombrix
{

namespace
{

std::string findProgram(const std::string& given, const char* name)
{
    if (!given.empty())
        return given;
    return QFile::encodeName(QStandardPaths::findExecutable(name)).toStdString();
}

// A file name as a shell reads it back, for lines the user copies into a
// configuration file: single quotes, and each quote closed, escaped and
// reopened.
std::string shellQuoted(const std::string& s)
{
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// ---------------------------------------------------------------------------
// swaybg

class SwaybgWallpaper final : public WallpaperBackend
{
public:
    explicit SwaybgWallpaper(SwaybgOptions o) : options_(std::move(o))
    {
        options_.program = findProgram(options_.program, "swaybg");
        if (options_.stateFile.empty()) {
            const QString runtime =
                QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
            options_.stateFile = QFile::encodeName(runtime + "/ombrix-swaybg").toStdString();
        }
    }

    std::string desktopName() const override { return "swaybg"; }

    std::string whyCannotApply() const override
    {
        if (options_.program.empty())
            return "This Wayland session draws no wallpaper of its own, and swaybg, which "
                   "would, is not installed. Install the package \"swaybg\" and try again.";
        return {};
    }

    std::string whyCannotRestore() const override
    {
        return read_ ? std::string() : "The swaybg found at start-up could not be read.";
    }

    WallpaperResult readCurrent() override
    {
        // Only a swaybg Ombrix started is known: the compositor keeps no
        // wallpaper setting to read.
        earlier_ = ours();
        read_ = true;
        return WallpaperResult::success();
    }

    DesktopValues values() const override
    {
        DesktopValues v;
        if (!read_)
            return v;
        v.wallpaper = "";
        const std::vector<std::string>& a = earlier_.arguments;
        for (size_t i = 0; i + 1 < a.size(); ++i) {
            if (a[i] == "-i" && v.wallpaper.empty())
                v.wallpaper = a[i + 1];
            if (a[i] == "-m" && v.tile == kErr) {
                v.tile = a[i + 1] == "tile" ? "1" : "0";
                v.style = a[i + 1] == "stretch"                        ? "2"
                          : a[i + 1] == "tile" || a[i + 1] == "center" ? "0"
                                                                       : a[i + 1];
            }
        }
        return v;
    }

    MonitorPictures monitorPictures() const override { return MonitorPictures::Each; }

    WallpaperResult apply(const std::string& file, Arrangement a) override
    {
        if (options_.outputs.empty() || a == Arrangement::Tile) {
            std::vector<std::string> args;
            if (options_.outputs.empty())
                args = {"-o", "*", "-i", file, "-m", swayMode(a)};
            for (const Monitor& o : options_.outputs)
                args.insert(args.end(), {"-o", o.name, "-i", file, "-m", swayMode(a)});
            return start(args);
        }
        // swaybg centres on half pixels and stretches with its own filter:
        // composed at each output's size, the picture shows one to one.
        std::vector<MonitorFile> composed;
        std::string why;
        if (!composePerMonitor(file, a, options_.outputs, composed, why))
            return WallpaperResult::failure(why);
        return applyEach(composed);
    }

    WallpaperResult applyEach(const std::vector<MonitorFile>& files) override
    {
        std::vector<std::string> args;
        for (const MonitorFile& f : files)
            args.insert(args.end(), {"-o", f.monitor.name, "-i", f.file, "-m", "tile"});
        return start(args);
    }

    WallpaperResult restore() override
    {
        if (!read_)
            return WallpaperResult::failure(whyCannotRestore() + " There is nothing to put back.");
        const ProcessInfo still = processInfo(earlier_.pid);
        if (earlier_.pid != 0 && still.pid != 0 && still.startTime == earlier_.startTime)
            return WallpaperResult::success(); // still drawing: nothing was replaced
        endOurs();
        if (earlier_.pid == 0)
            return WallpaperResult::success();
        return start(earlier_.arguments);
    }

private:
    // The swaybg Ombrix started last, when it still runs: the remembered id
    // must still be a swaybg of this user started at the remembered time,
    // for an id may since belong to any program.
    ProcessInfo ours() const
    {
        std::ifstream in(options_.stateFile);
        long pid = 0;
        unsigned long long started = 0;
        if (!(in >> pid >> started) || pid <= 0)
            return {};
        for (const ProcessInfo& p : runningProcesses("swaybg"))
            if (p.pid == pid && p.startTime == started && p.uid == ::getuid())
                return p;
        return {};
    }

    void endOurs() const
    {
        const ProcessInfo p = ours();
        if (p.pid != 0)
            ::kill(p.pid, SIGTERM);
        QFile::remove(QFile::decodeName(options_.stateFile.c_str()));
    }

    WallpaperResult start(const std::vector<std::string>& args)
    {
        if (!whyCannotApply().empty())
            return WallpaperResult::failure(whyCannotApply());
        const ProcessInfo previous = ours();
        const Detached d = startDetached(options_.program, args);
        if (d.pid == 0)
            return WallpaperResult::failure("swaybg could not be started: " + d.why + ".");
        // swaybg ends at once when it cannot reach the compositor or read
        // the picture; one still running after a moment draws it.
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        const ProcessInfo now = processInfo(d.pid);
        if (now.pid == 0)
            return WallpaperResult::failure(
                "swaybg ended at once: the compositor may not offer the layer-shell protocol "
                "swaybg draws with, or the picture could not be read.");
        // The earlier one goes only once the new one draws, so that the
        // screen never shows no wallpaper in between.
        if (previous.pid != 0)
            ::kill(previous.pid, SIGTERM);
        {
            std::ofstream out(options_.stateFile, std::ios::trunc);
            out << d.pid << " " << now.startTime << "\n";
        }
        std::string line = "swaybg";
        for (const std::string& a : args)
            line += " " + (a == "*" || a.rfind('-', 0) == 0 ? a : shellQuoted(a));
        return WallpaperResult::success(
            "The wallpaper lasts until you log out: swaybg, which draws it, ends with the "
            "compositor. To keep it, start this from the compositor's configuration:\n    " +
            line);
    }

    SwaybgOptions options_;
    ProcessInfo earlier_;
    bool read_ = false;
};

// ---------------------------------------------------------------------------
// pcmanfm-qt and pcmanfm

class PcmanfmWallpaper final : public WallpaperBackend
{
public:
    PcmanfmWallpaper(const PcmanfmDesktop& desktop, PcmanfmOptions o)
        : desktop_(desktop), options_(std::move(o))
    {
        options_.program = findProgram(options_.program, desktop_.program);
        if (options_.configDir.empty())
            options_.configDir = QFile::encodeName(QStandardPaths::writableLocation(
                                                       QStandardPaths::GenericConfigLocation))
                                     .toStdString();
    }

    std::string desktopName() const override { return desktop_.name; }

    std::string whyCannotApply() const override
    {
        if (options_.program.empty())
            return std::string("This is an ") + desktop_.name + " session, but its desktop (" +
                   desktop_.program + ") is not installed. Install the package \"" +
                   desktop_.program + "\" and try again.";
        if (!desktopRunning())
            return std::string(desktop_.program) + ", which draws the " + desktop_.name +
                   " desktop, is not running, so no wallpaper would show. Start it with \"" +
                   desktop_.program + " --desktop --profile=" + desktop_.profile +
                   "\" (the session does so).";
        return {};
    }

    std::string whyCannotRestore() const override
    {
        return read_ ? std::string()
                     : "The " + desktopName() + " settings file could not be read at start-up.";
    }

    WallpaperResult readCurrent() override
    {
        if (!QFileInfo::exists(settingsFile())) {
            // Never configured: the desktop's own default is in force.
            original_ = {};
            read_ = true;
            return WallpaperResult::success();
        }
        if (!readSettings(original_))
            return WallpaperResult::failure(whyCannotRestore());
        read_ = true;
        return WallpaperResult::success();
    }

    DesktopValues values() const override
    {
        DesktopValues v;
        if (!read_)
            return v;
        v.wallpaper = original_.file;
        const std::string& m = original_.mode;
        if (m.empty())
            return v;
        v.tile = m == desktop_.modes[0] ? "1" : "0";
        v.style = m == desktop_.modes[0] || m == desktop_.modes[1] ? "0"
                  : m == desktop_.modes[2]                         ? "2"
                                                                   : m;
        return v;
    }

    WallpaperResult apply(const std::string& file, Arrangement a) override
    {
        const std::string absolute =
            QFile::encodeName(QFileInfo(QFile::decodeName(file.c_str())).absoluteFilePath())
                .toStdString();
        return set({absolute, desktop_.modes[static_cast<int>(a)]});
    }

    WallpaperResult restore() override
    {
        if (!read_)
            return WallpaperResult::failure(whyCannotRestore() + " There is nothing to put back.");
        if (original_.file.empty())
            return WallpaperResult::failure("No " + desktopName() +
                                            " wallpaper was set at start-up, and the desktop "
                                            "cannot be told to show none from outside.");
        return set(original_);
    }

private:
    struct Values {
        std::string file, mode;
    };

    QString settingsFile() const
    {
        return QFile::decodeName(options_.configDir.c_str()) + "/" + desktop_.settings;
    }

    bool desktopRunning() const
    {
        for (const ProcessInfo& p : runningProcesses(desktop_.program))
            for (const std::string& a : p.arguments)
                if (p.uid == ::getuid() && (a == "--desktop" || a == "-d"))
                    return true;
        return false;
    }

    // pcmanfm-qt writes its file through QSettings; pcmanfm through GLib's
    // key files.  Each is read the way it was written.
    bool readSettings(Values& v) const
    {
        const QString name = settingsFile();
        if (std::string(desktop_.program) == "pcmanfm-qt") {
            QSettings s(name, QSettings::IniFormat);
            if (s.status() != QSettings::NoError)
                return false;
            s.beginGroup(desktop_.group);
            v.file = QFile::encodeName(s.value(desktop_.fileKey).toString()).toStdString();
            v.mode = s.value(desktop_.modeKey).toString().toStdString();
            return true;
        }
        GKeyFile* k = g_key_file_new();
        GError* error = nullptr;
        const bool ok = g_key_file_load_from_file(k, QFile::encodeName(name).constData(),
                                                  G_KEY_FILE_NONE, &error) != FALSE;
        if (error != nullptr)
            g_error_free(error);
        if (ok) {
            for (auto [key, out] :
                 {std::pair{desktop_.fileKey, &v.file}, std::pair{desktop_.modeKey, &v.mode}}) {
                gchar* s = g_key_file_get_string(k, desktop_.group, key, nullptr);
                *out = s != nullptr ? s : "";
                g_free(s);
            }
        }
        g_key_file_free(k);
        return ok;
    }

    WallpaperResult set(const Values& v)
    {
        const std::string why = whyCannotApply();
        if (!why.empty())
            return WallpaperResult::failure(why);
        // pcmanfm hands its arguments to the running desktop one line each:
        // a line break would cut the name and set another file.
        if (std::string(desktop_.program) == "pcmanfm" && v.file.find('\n') != std::string::npos)
            return WallpaperResult::failure(
                "pcmanfm cannot take a file name that holds a line break: \"" + v.file +
                "\". Choose a data folder (XDG_DATA_HOME) without one.");
        // The "=" forms: a file name that starts with '-' stays a value.
        const ProgramRun run =
            runProgram(options_.program,
                       {std::string("--profile=") + desktop_.profile, "--set-wallpaper=" + v.file,
                        "--wallpaper-mode=" + v.mode},
                       15000);
        if (!run.started || !run.finished || run.exitCode != 0)
            return WallpaperResult::failure(std::string(desktop_.program) +
                                            " did not take the wallpaper" +
                                            (run.output.empty() ? "." : ": " + run.output));
        // The desktop saves its settings a moment after it shows the picture.
        Values now;
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (!(readSettings(now) && now.file == v.file) &&
               std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (now.file != v.file)
            return WallpaperResult::failure(desktopName() +
                                            " did not keep the new wallpaper (its settings "
                                            "file still names \"" +
                                            now.file + "\").");
        // pcmanfm-qt 1.2 shows the new mode but saves the one before it, so
        // the next start would show the wrong one: the mode is written
        // through to its file.
        if (now.mode != v.mode && std::string(desktop_.program) == "pcmanfm-qt") {
            QSettings s(settingsFile(), QSettings::IniFormat);
            s.beginGroup(desktop_.group);
            s.setValue(desktop_.modeKey, QString::fromStdString(v.mode));
            s.sync();
            if (s.status() != QSettings::NoError)
                return WallpaperResult::failure(desktopName() + " shows the new wallpaper, but "
                                                                "its settings file could not be "
                                                                "corrected for the next start.");
        }
        return WallpaperResult::success();
    }

    PcmanfmDesktop desktop_;
    PcmanfmOptions options_;
    Values original_;
    bool read_ = false;
};

} // namespace

const PcmanfmDesktop kPcmanfmQtDesktop{
    "LXQt",    "pcmanfm-qt", "lxqt",          "pcmanfm-qt/lxqt/settings.conf",
    "Desktop", "Wallpaper",  "WallpaperMode", {"tile", "center", "stretch"}};
const PcmanfmDesktop kPcmanfmDesktop{
    "LXDE", "pcmanfm",   "LXDE",           "pcmanfm/LXDE/desktop-items-0.conf",
    "*",    "wallpaper", "wallpaper_mode", {"tile", "center", "stretch"}};

std::unique_ptr<WallpaperBackend> makeSwaybgBackend(SwaybgOptions options)
{
    return std::make_unique<SwaybgWallpaper>(std::move(options));
}

std::unique_ptr<WallpaperBackend> makePcmanfmBackend(const PcmanfmDesktop& desktop,
                                                     PcmanfmOptions options)
{
    return std::make_unique<PcmanfmWallpaper>(desktop, std::move(options));
}

} // namespace ombrix
