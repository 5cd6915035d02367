// SPDX-License-Identifier: GPL-3.0-or-later
// sway: the wallpaper is an output setting, changed over sway's IPC socket
// with one "output NAME bg FILE MODE" command per output; sway then starts
// swaybg itself.  sway keeps no background in its IPC state, so the values in
// force come from its configuration's "output ... bg" lines, and a change is
// checked by the swaybg that sway starts for it.
#include "wallpaper/backends.h"
#include "wallpaper/processes.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <thread>

namespace ombrix
{

namespace
{

// The IPC message types used here.
enum : uint32_t { kRunCommand = 0, kGetOutputs = 3, kGetConfig = 9 };

// One request and its answer over a new connection: "i3-ipc", the payload's
// length and type in this machine's byte order, the payload.
bool swayRequest(const std::string& socketPath, uint32_t type, const std::string& payload,
                 QByteArray& answer, std::string& why)
{
    if (socketPath.empty()) {
        why = "sway cannot be reached: SWAYSOCK, which names its socket, is not set. Start "
              "Ombrix from within the sway session.";
        return false;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.size() >= sizeof address.sun_path) {
        why = "The sway socket's path is too long.";
        return false;
    }
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        why = "sway does not answer on its socket \"" + socketPath + "\" (" + std::strerror(errno) +
              ").";
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    // sway answers at once; a stuck socket must not hang the program.
    const timeval timeout{10, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);

    auto writeAll = [fd](const char* p, size_t n) {
        while (n > 0) {
            const ssize_t w = ::send(fd, p, n, MSG_NOSIGNAL);
            if (w <= 0)
                return false;
            p += w;
            n -= static_cast<size_t>(w);
        }
        return true;
    };
    auto readAll = [fd](char* p, size_t n) {
        while (n > 0) {
            const ssize_t r = ::recv(fd, p, n, 0);
            if (r <= 0)
                return false;
            p += r;
            n -= static_cast<size_t>(r);
        }
        return true;
    };
    char header[14] = {'i', '3', '-', 'i', 'p', 'c'};
    const uint32_t length = static_cast<uint32_t>(payload.size());
    std::memcpy(header + 6, &length, 4);
    std::memcpy(header + 10, &type, 4);
    bool ok = writeAll(header, sizeof header) && writeAll(payload.data(), payload.size()) &&
              readAll(header, sizeof header) && std::memcmp(header, "i3-ipc", 6) == 0;
    if (ok) {
        uint32_t size = 0;
        std::memcpy(&size, header + 6, 4);
        ok = size < (64u << 20);
        if (ok) {
            answer.resize(static_cast<qsizetype>(size));
            ok = readAll(answer.data(), size);
        }
    }
    ::close(fd);
    if (!ok)
        why = "sway's answer on its socket was cut short.";
    return ok;
}

// The words of a configuration line as sway splits them: quotes group,
// a backslash keeps the next character.  The quotes stay, so that a word
// can go back to sway as it was written.
std::vector<std::string> swayWords(const std::string& line)
{
    std::vector<std::string> words;
    std::string word;
    char quote = 0;
    bool escaped = false, inWord = false;
    for (char c : line) {
        if (!escaped && quote == 0 && (c == ' ' || c == '\t')) {
            if (inWord)
                words.push_back(word);
            word.clear();
            inWord = false;
            continue;
        }
        inWord = true;
        word += c;
        if (escaped)
            escaped = false;
        else if (c == '\\')
            escaped = true;
        else if (quote == 0 && (c == '"' || c == '\''))
            quote = c;
        else if (c == quote)
            quote = 0;
    }
    if (inWord)
        words.push_back(word);
    return words;
}

// A word as sway and its shell-like expansion leave it: quotes removed,
// backslashes taken.
std::string swayUnquoted(const std::string& word)
{
    std::string out;
    char quote = 0;
    for (size_t i = 0; i < word.size(); ++i) {
        const char c = word[i];
        if (quote != '\'' && c == '\\' && i + 1 < word.size())
            out += word[++i];
        else if (quote == 0 && (c == '"' || c == '\''))
            quote = c;
        else if (c == quote)
            quote = 0;
        else
            out += c;
    }
    return out;
}

class SwayWallpaper final : public WallpaperBackend
{
public:
    explicit SwayWallpaper(std::string socket) : socket_(std::move(socket)) {}

    std::string desktopName() const override { return "sway"; }

    std::string whyCannotApply() const override
    {
        if (socket_.empty())
            return "This is a sway session, but SWAYSOCK is not set, so Ombrix cannot reach sway. "
                   "Start Ombrix from within sway.";
        return {};
    }

    std::string whyCannotRestore() const override
    {
        return read_ ? std::string() : "The sway wallpaper found at start-up could not be read.";
    }

    WallpaperResult readCurrent() override
    {
        QByteArray answer;
        std::string why;
        if (!swayRequest(socket_, kGetConfig, "", answer, why))
            return WallpaperResult::failure(why);
        const std::string config =
            QJsonDocument::fromJson(answer).object().value("config").toString().toStdString();
        original_.clear();
        for (const std::string& line : splitLines(config)) {
            const std::vector<std::string> w = swayWords(line);
            if (w.size() >= 4 && w[0] == "output" && (w[2] == "bg" || w[2] == "background"))
                original_.push_back(line);
        }
        found_ = swayBackgrounds(config);
        read_ = true;
        return WallpaperResult::success();
    }

    DesktopValues values() const override
    {
        DesktopValues v;
        if (!read_)
            return v;
        v.wallpaper = "";
        if (found_.empty())
            return v;
        const SwayBackground& b = found_.front();
        v.wallpaper = b.file;
        v.tile = b.mode == "tile" ? "1" : "0";
        v.style = b.mode == "tile" || b.mode == "center" ? "0" : b.mode == "stretch" ? "2" : b.mode;
        return v;
    }

    MonitorPictures monitorPictures() const override { return MonitorPictures::Each; }

    WallpaperResult apply(const std::string& file, Arrangement a) override
    {
        if (a == Arrangement::Tile)
            return set({{"*", file}}, swayMode(a));
        // sway centres on half pixels and stretches with its own filter:
        // the arranged picture goes composed at each output's size instead,
        // shown one to one.
        const MonitorList outs = listSwayOutputs(socket_);
        if (outs.monitors.empty())
            return set({{"*", file}}, swayMode(a));
        std::vector<MonitorFile> composed;
        std::string why;
        if (!composePerMonitor(file, a, outs.monitors, composed, why))
            return WallpaperResult::failure(why);
        if (monitorsAlike(outs.monitors))
            return set({{"*", file}}, "tile");
        return applyEach(composed);
    }

    WallpaperResult applyEach(const std::vector<MonitorFile>& files) override
    {
        std::vector<std::pair<std::string, std::string>> outputs;
        for (const MonitorFile& f : files)
            outputs.emplace_back(f.monitor.name, f.file);
        // Drawn at each output's size: tiled, it shows one to one.
        return set(outputs, "tile");
    }

    WallpaperResult restore() override
    {
        if (!read_)
            return WallpaperResult::failure(whyCannotRestore() + " There is nothing to put back.");
        // The configuration's own lines, as sway read them at start-up; with
        // none, sway drew no wallpaper but its own dark grey, which a solid
        // background of that colour shows again.
        std::string commands;
        for (const std::string& line : original_)
            commands += (commands.empty() ? "" : "; ") + line;
        if (commands.empty())
            commands = "output * bg #3f3f3f solid_color";
        return run(commands);
    }

private:
    static std::vector<std::string> splitLines(const std::string& text)
    {
        std::vector<std::string> lines;
        size_t start = 0;
        while (start <= text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos)
                end = text.size();
            std::string line = text.substr(start, end - start);
            const size_t first = line.find_first_not_of(" \t");
            lines.push_back(first == std::string::npos ? std::string() : line.substr(first));
            start = end + 1;
        }
        return lines;
    }

    WallpaperResult run(const std::string& commands) const
    {
        QByteArray answer;
        std::string why;
        if (!swayRequest(socket_, kRunCommand, commands, answer, why))
            return WallpaperResult::failure(why);
        for (const QJsonValue& r : QJsonDocument::fromJson(answer).array())
            if (!r.toObject().value("success").toBool())
                return WallpaperResult::failure(
                    "sway refused the wallpaper: " +
                    r.toObject().value("error").toString().toStdString());
        return WallpaperResult::success();
    }

    WallpaperResult set(const std::vector<std::pair<std::string, std::string>>& outputs,
                        const std::string& mode)
    {
        std::string commands, lines;
        for (const auto& [output, file] : outputs) {
            // sway reads a line break as the end of a command: such a name
            // cannot reach it whole, and a cut one would name another file.
            if (file.find('\n') != std::string::npos || output.find('\n') != std::string::npos)
                return WallpaperResult::failure(
                    "sway cannot take a file name that holds a line break: \"" + file +
                    "\". Choose a data folder (XDG_DATA_HOME) without one.");
            // Black around a centred picture, as the program arranges it
            // (sway's own fallback is grey).
            const std::string line = "output " + (output == "*" ? output : swayQuoted(output)) +
                                     " bg " + swayQuoted(file) + " " + mode + " #000000";
            commands += (commands.empty() ? "" : "; ") + line;
            lines += "\n    " + line;
        }
        const WallpaperResult r = run(commands);
        if (!r.ok)
            return r;
        // sway answers before its swaybg draws: the new swaybg, holding the
        // new files, is the proof that the picture is shown.
        std::vector<std::string> files;
        for (const auto& o : outputs)
            files.push_back(o.second);
        if (!waitForSwaybg(files))
            return WallpaperResult::failure(
                "sway took the wallpaper, but no swaybg started to draw it. Install the package "
                "\"swaybg\" (sway draws its wallpapers with it) and try again.");
        return WallpaperResult::success(
            "sway shows the new wallpaper until it reloads its configuration. To keep it, add "
            "to the sway configuration (~/.config/sway/config):" +
            lines);
    }

    static bool waitForSwaybg(const std::vector<std::string>& files)
    {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        for (;;) {
            for (const ProcessInfo& p : runningProcesses("swaybg")) {
                bool all = true;
                for (const std::string& f : files)
                    all = all && imageArgument(p.arguments, f);
                if (all)
                    return true;
            }
            if (std::chrono::steady_clock::now() > until)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }

    static bool imageArgument(const std::vector<std::string>& args, const std::string& file)
    {
        for (size_t i = 0; i + 1 < args.size(); ++i)
            if ((args[i] == "-i" || args[i] == "--image") && args[i + 1] == file)
                return true;
        return false;
    }

    std::string socket_;
    std::vector<std::string> original_;
    std::vector<SwayBackground> found_;
    bool read_ = false;
};

} // namespace

std::string swayQuoted(const std::string& path)
{
    // Inside sway's double quotes only an escaped quote stays a quote; the
    // word then goes through a shell-like expansion, where a backslash makes
    // any character plain.  Letters, digits and bytes of other alphabets
    // are plain already.
    std::string out = "\"";
    for (const char c : path) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (!(std::isalnum(u) || u >= 0x80 || c == '/' || c == '.' || c == '_' || c == '-'))
            out += '\\';
        out += c;
    }
    return out + "\"";
}

std::vector<SwayBackground> swayBackgrounds(const std::string& config)
{
    std::vector<SwayBackground> out;
    size_t start = 0;
    while (start < config.size()) {
        size_t end = config.find('\n', start);
        if (end == std::string::npos)
            end = config.size();
        const std::vector<std::string> w = swayWords(config.substr(start, end - start));
        start = end + 1;
        if (w.size() < 4 || w[0] != "output" || (w[2] != "bg" && w[2] != "background"))
            continue;
        SwayBackground b{swayUnquoted(w[1]), swayUnquoted(w[3]), w.size() > 4 ? w[4] : ""};
        // A later line for the same output overrides the earlier one.
        bool replaced = false;
        for (SwayBackground& o : out)
            if (o.output == b.output) {
                o = b;
                replaced = true;
            }
        if (!replaced)
            out.push_back(b);
    }
    return out;
}

MonitorList listSwayOutputs(const std::string& socket)
{
    MonitorList list;
    QByteArray answer;
    if (!swayRequest(socket, kGetOutputs, "", answer, list.why))
        return list;
    for (const QJsonValue& v : QJsonDocument::fromJson(answer).array()) {
        const QJsonObject o = v.toObject();
        if (!o.value("active").toBool(true))
            continue;
        const QJsonObject rect = o.value("rect").toObject();
        const QJsonObject mode = o.value("current_mode").toObject();
        Monitor m;
        m.name = o.value("name").toString().toStdString();
        m.x = rect.value("x").toInt();
        m.y = rect.value("y").toInt();
        m.width = mode.value("width").toInt(rect.value("width").toInt());
        m.height = mode.value("height").toInt(rect.value("height").toInt());
        // A turned output shows its mode on its side.
        const QString transform = o.value("transform").toString();
        if (transform.contains("90") || transform.contains("270"))
            std::swap(m.width, m.height);
        m.scale = o.value("scale").toDouble(1.0);
        m.primary = o.value("focused").toBool();
        list.monitors.push_back(m);
    }
    if (list.monitors.empty())
        list.why = "sway reports no active output.";
    return list;
}

std::unique_ptr<WallpaperBackend> makeSwayBackend(const std::string& socket)
{
    return std::make_unique<SwayWallpaper>(socket);
}

const char* swayMode(Arrangement a)
{
    switch (a) {
    case Arrangement::Tile:
        return "tile";
    case Arrangement::Center:
        return "center";
    case Arrangement::Stretch:
        return "stretch";
    }
    return "stretch";
}

} // namespace ombrix
