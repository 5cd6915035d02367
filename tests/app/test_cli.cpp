// SPDX-License-Identifier: GPL-3.0-or-later
// The command line, run as a separate process: outputs, errors, exit codes,
// file names that are not UTF-8, and writes cut short by a file-size limit.
#include "io/param_file.h"
#include "model/image_geometry.h"
#include "model/image_params.h"
#include "picture/full_image.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sys/stat.h>

namespace ombrix
{
namespace
{

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// The program run as it is; a script may change its outputs or environment first.
const QString kAsItIs = "exec \"$0\" \"$@\"";

// Runs the program through `sh -c script`, with the program as $0 and `args`
// as $1, $2, ...
Outcome ombrix(const QStringList& args, const QString& script = kAsItIs)
{
    QProcess p; // the system's reasons in English
    p.start("env",
            QStringList{"-u", "LANGUAGE", "LC_ALL=C.UTF-8", "sh", "-c", script, OMBRIX_BINARY} +
                args);
    EXPECT_TRUE(p.waitForFinished(60000)) << args.join(' ').toStdString();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

std::string contents(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class Cli : public ::testing::Test
{
protected:
    // The folder's names as the system spells them, byte for byte.
    std::set<std::string> listing() const
    {
        std::set<std::string> names;
        for (const fs::directory_entry& e : fs::directory_iterator(root))
            names.insert(e.path().filename().native());
        return names;
    }
    // Names that are not UTF-8 are beyond QTemporaryDir's reach.
    void TearDown() override
    {
        for (const fs::directory_entry& e : fs::directory_iterator(root))
            fs::remove_all(e.path());
    }
    QTemporaryDir dir;
    const QString d = dir.path();
    const fs::path root = QFile::encodeName(d).toStdString();
};

// Status 0 with the text on stdout and nothing on stderr; 2 for bad usage and
// 1 for a file that cannot be read or written, output that never reaches its
// reader or a display that is not there, each with one line on stderr and
// nothing else, at once (not after Qt's own timeouts), never a core dump.
// The JSON of two fixtures is exactly what it has always been (each field
// under its own name, in the record's order; every byte of the code page in
// the texts of nonascii.obp, escaped where JSON needs it).
TEST_F(Cli, EveryCommandEndsWithItsStatusAndSaysWhy)
{
    const fs::path data = OMBRIX_TEST_DATA;
    const auto json = [&](const char* name) {
        return QString::fromStdString(contents(data / "json" / name));
    };
    const auto in = [&](const char* name) { return "\"" + d + "/" + name + "\""; };
    std::ofstream(root / "cut.obp") << contents(data / "obp/layout.obp").substr(0, 100);
    // noX: a display no one on a shared machine is likely to be using (a
    // server at :99 that refuses us would be a different case).
    const QString obp = QString::fromStdString((data / "obp/").string()), png = d + "/x.png",
                  cut = "cannot read " + in("cut.obp") + ": the file ends early",
                  size = "--size takes WxH with each side 1 to 16384, not '",
                  display = "the desktop program needs a display: ",
                  stdOut = "cannot write to standard output", noX = "DISPLAY=:7613 ",
                  bogus = "QT_QPA_PLATFORM=bogus " + kAsItIs, full = kAsItIs + " >/dev/full";
    const auto render = [&](const QStringList& more, const QString& out = "x.png") {
        return QStringList{"render", "--preset", "3", "--out", d + "/" + out} + more;
    };
    // Nodes that are not regular files, as input and as output.
    ASSERT_EQ(::mkfifo((root / "fifo.obp").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((root / "fifo.png").c_str(), 0600), 0);
    fs::create_symlink("/dev/null", root / "null.png");
    struct Case {
        QStringList args;
        int status;
        QString says;
        QString script = kAsItIs;
    };
    // clang-format off
    const Case cases[] = {
        {{"--version"}, 0, "ombrix " OMBRIX_VERSION}, {{"render", "--help"}, 0, "--quality"},
        {{"--help"}, 0, "params (FILE.obp | --preset N)"},
        {{"params", obp + "layout.obp"}, 0, json("layout.json")},
        {{"params", obp + "nonascii.obp"}, 0, json("nonascii.json")},
        {{"paint"}, 2, "unknown command 'paint'"}, {{"render"}, 2, "render needs --out OUT"},
        {{"render", "--out", png}, 2, "give either a parameter file or --preset N"},
        {{"render", "f.obp", "--preset", "1", "--out", png}, 2, "give either"},
        {{"render", "--preset", "4", "--out", png}, 2, "--preset takes 0, 1, 2 or 3, not '4'"},
        {{"render", "--preset", "one", "--out", png}, 2, "--preset takes 0, 1, 2 or 3, not 'one'"},
        {render({"--size", "0x10"}), 2, size + "0x10'"}, {render({"--size", "x"}), 2, size + "x'"},
        {render({"--size", "16385x10"}), 2, size + "16385x10'"},
        {render({"--scale", "4.5"}), 2, "--scale takes 1 to 4, not '4.5'"},
        {render({"--size", "5000x10", "--scale", "4"}), 2,
         "5000 x 10 at scale 4 is 20000 x 40 pixels, more than 16384 a side"},
        {{"params", "--preset", "1", "--size", "5000x300"}, 2,
         "a parameter file holds at most 4367 x 4344, not 5000 x 300"},
        {render({"--quality", "9"}, "x.jpg"), 2, "--quality takes 10 to 100, not '9'"},
        {render({"--quality", "101"}, "x.jpg"), 2, "--quality takes 10 to 100, not '101'"},
        {render({"--quality", "90"}), 2, "--quality applies to JPEG output only"},
        {render({"--frobnicate"}), 2, "unknown option '--frobnicate' (see ombrix help)"},
        {{"params", "--preset", "1", "-z"}, 2, "unknown option '-z' (see ombrix help)"},
        {render({"--size", "10x10", "--size", "20x20"}), 2, "--size given more than once"},
        {{"params", "--preset", "1", "--preset", "2"}, 2, "--preset given more than once"},
        {{"wallpaper", "--preset", "1", "--preset=2"}, 2, "--preset given more than once"},
        {{"wallpaper", "--preset", "1", "--size", "0x5"}, 2, size + "0x5'"},
        {render({"--size", "16384x16384"}, "x.GIF"), 2, "--out takes a .png, .jpg"},
        {{"-platform", "bogus", "render"}, 2, "unknown option '-platform'"},
        {{"wallpaper", "-z"}, 2, "unknown option '-z' (see ombrix help wallpaper)"},
        {{"help"}, 0, "help [COMMAND]"}, {{"help", "params"}, 0, "--out"},
        {{"help", "paint"}, 2, "unknown command 'paint'"},
        {{"help", "render", "params"}, 2, "help takes one command at most"},
        {{"render", d + "/fifo.obp", "--out", png}, 1,
         "cannot open " + in("fifo.obp") + ": it is a FIFO, not a regular file"},
        {render({}, "fifo.png"), 1,
         "cannot write " + in("fifo.png") + ": it is a FIFO, not a regular file"},
        {render({}, "null.png"), 1,
         "cannot write " + in("null.png") + ": it is a character device, not a regular file"},
        {{"render", d + "/none.obp", "--out", png}, 1, "cannot open " + in("none.obp") + ": No"},
        {{"params", d}, 1, "cannot open \"" + d + "\": it is a folder, not a regular file"},
        {{"render", d + "/cut.obp", "--out", png}, 1, cut + ", in text record 0"},
        {{"params", d + "/cut.obp", "--out", d + "/p.obp"}, 1, cut},
        {{"params", "--preset", "3", "--out", d + "/none/p.obp"}, 1,
         "cannot create " + in("none/p.obp") + ": No such file or directory"},
        {{"params", "--preset", "3", "--out", d}, 1, "cannot create \"" + d + "\": Is a directory"},
        {{"params", "--preset", "1"}, 1, stdOut + ": No space left on device", full},
        {{"params", "--preset", "1"}, 1, stdOut + ": Bad file descriptor", kAsItIs + " >&-"},
        {{"--help"}, 1, stdOut, full},
        {{}, 1, display + "the X display ':7613' does not answer",
         "unset WAYLAND_DISPLAY QT_QPA_PLATFORM; " + noX + kAsItIs},
        {{}, 1, display + "Qt has no platform plugin 'bogus'", noX + bogus},
        {{"-platform", "bogus"}, 1, display + "Qt has no platform plugin 'bogus'", noX + kAsItIs},
        {{"wallpaper", "--preset", "1"}, 1,
         "no graphical session was found: set DISPLAY (X11) or WAYLAND_DISPLAY",
         "unset DISPLAY WAYLAND_DISPLAY XDG_CURRENT_DESKTOP FLATPAK_ID SNAP; " + kAsItIs},
        // The commands draw offscreen whatever the platform and display say.
        {render({}), 0, "", "QT_QPA_PLATFORM=xcb " + noX + kAsItIs},
        {render({}), 0, "", bogus},
    };
    // clang-format on
    for (const auto& [args, status, says, script] : cases) {
        const std::string what = (script + " " + args.join(' ')).toStdString();
        QElapsedTimer clock;
        clock.start();
        const Outcome r = ombrix(args, script);
        EXPECT_LT(clock.elapsed(), 5000) << what;
        EXPECT_EQ(r.status, status) << what;
        EXPECT_TRUE(status == 0 ? r.err.isEmpty() && r.out.contains(says.toUtf8())
                                : r.out.isEmpty() && r.err.count('\n') == 1 &&
                                      r.err.startsWith("ombrix: " + says.toUtf8()))
            << what << ": " << r.out.toStdString() << r.err.toStdString();
    }
    // Nothing was left behind (what becomes of each node and link is
    // checked on the writer itself, Files.TheWriterFollowsLinks...).
    EXPECT_EQ(listing(),
              (std::set<std::string>{"cut.obp", "fifo.obp", "fifo.png", "null.png", "x.png"}));
}

TEST_F(Cli, RendersAndPrintsThePresetsAndFiles)
{
    // Exactly the picture the image window draws: preset 3 at 260 x 200.
    ASSERT_EQ(ombrix({"render", "--preset", "3", "--out", d + "/start.png"}).status, 0);
    ImageModel m;
    m.mSetDefaults(3);
    const QImage expected = renderFullImage(m.params, FullImageOptions{});
    EXPECT_EQ(QImage(d + "/start.png").convertToFormat(expected.format()), expected);
    // A file's image of 300 x 200 is the size drawn when no --size is given,
    // and --scale draws the same design larger.
    storeImageSize(m.params, {300, 200});
    ASSERT_TRUE(SaveData(root / "w.obp", m.params).ok);
    ASSERT_EQ(ombrix({"render", d + "/w.obp", "--out", d + "/w.JPG"}).status, 0);
    EXPECT_EQ(QImage(d + "/w.JPG", "JPG").size(), QSize(300, 200));
    ASSERT_EQ(ombrix({"render", d + "/w.obp", "--scale", "1.5", "--out", d + "/w.bmp"}).status, 0);
    EXPECT_EQ(QImage(d + "/w.bmp", "BMP").size(), QSize(450, 300));

    // params --out writes a file that opens at the size given, or 260 x 200.
    for (const auto& [args, size] : std::vector<std::pair<QStringList, ImageSize>>{
             {{"--preset", "1"}, {260, 200}},
             {{"--preset", "1", "--size", "640x400"}, {640, 400}},
             {{d + "/w.obp"}, {300, 200}},
             {{d + "/w.obp", "--size", "17x9"}, {17, 9}}}) {
        ASSERT_EQ(ombrix(QStringList{"params"} + args + QStringList{"--out", d + "/g.obp"}).status,
                  0);
        ImageParams g;
        ASSERT_TRUE(ReadData(root / "g.obp", g).ok);
        EXPECT_EQ(storedImageSize(g), size) << args.join(' ').toStdString();
        EXPECT_GE(storedImageLeft(g), 0);
        EXPECT_GE(storedImageTop(g), 0);
    }

    // The file written holds what was printed.
    const Outcome json = ombrix({"params", "--preset", "2", "--out", d + "/p.obp"});
    EXPECT_TRUE(json.out.contains("\"pnVerOrgOffset\": -6,")) << json.out.toStdString();
    EXPECT_EQ(ombrix({"params", d + "/p.obp"}).out, json.out);
}

TEST_F(Cli, AWriteCutShortByAFileSizeLimitFailsAndKeepsTheOldFile)
{
    // Each file is larger than the limit: written again under it, the write
    // fails, the old one stays byte for byte, and nothing is left beside it.
    const QStringList image{"render", "--size", "300x300"};
    for (const char* name : {"f.obp", "f.png", "f.jpg", "f.bmp"}) {
        const QString n(name);
        const QStringList args =
            (n.endsWith("obp") ? QStringList{"params"} : image) +
            (n.endsWith("jpg") ? QStringList{"--quality", "40"} : QStringList{}) +
            QStringList{"--preset", "3", "--out", d + "/" + name};
        ASSERT_EQ(ombrix(args).status, 0);
        const std::string old = contents(root / name);
        const Outcome r = ombrix(args, "ulimit -f 1; exec \"$0\" \"$@\"");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err,
                  "ombrix: cannot write \"" + d.toUtf8() + "/" + name + "\": File too large\n");
        EXPECT_EQ(contents(root / name), old) << name;
    }
    EXPECT_EQ(listing(), (std::set<std::string>{"f.bmp", "f.jpg", "f.obp", "f.png"}));
}

TEST_F(Cli, FileNamesThatAreNotUtf8AreUsedAsTheyAre)
{
    // "caf" and the byte 0xE9 (é in Latin-1), which is no UTF-8; QProcess
    // would pass arguments as UTF-8, so the shell makes the name.
    const QString cafe = "cd \"$1\" && n=$(printf 'caf\\351') && \"$0\" ";
    const Outcome written = ombrix({d}, cafe + "render --preset 0 --size 4x4 --out \"$n.png\" && "
                                               "\"$0\" params --preset 1 --out \"$n.obp\"");
    ASSERT_EQ(written.status, 0) << written.err.toStdString();
    EXPECT_EQ(listing(), (std::set<std::string>{"caf\xE9.obp", "caf\xE9.png"}));
    const std::string png = contents(root / "caf\xE9.png");
    EXPECT_EQ(QImage::fromData(QByteArray::fromStdString(png)).size(), QSize(4, 4));
    EXPECT_EQ(ombrix({d}, cafe + "params \"$n.obp\"").out, written.out);
    // A message shows the byte it cannot show as U+FFFD.
    const Outcome missing = ombrix({d}, cafe + "params \"$n-none.obp\"");
    EXPECT_TRUE(missing.err.startsWith("ombrix: cannot open \"caf\xEF\xBF\xBD-none.obp\": No such"))
        << missing.err.toStdString();
}

// A save interrupted by SIGINT, SIGTERM or SIGHUP leaves the old file as it
// was and nothing beside it, and the program ends as that signal ends it.
TEST_F(Cli, ASaveInterruptedByASignalLeavesNoTemporaryFile)
{
    const QStringList args{"render",    "--preset", "1",           "--size",
                           "9000x9000", "--out",    d + "/big.bmp"};
    ASSERT_EQ(ombrix({"render", "--preset", "2", "--out", d + "/big.bmp"}).status, 0);
    const std::string old = contents(root / "big.bmp");
    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
        QProcess p;
        p.start(OMBRIX_BINARY, args);
        ASSERT_TRUE(p.waitForStarted());
        // Wait for the hidden file being written, then interrupt it.
        bool writing = false;
        for (int i = 0; i < 600 && !writing && p.state() == QProcess::Running; ++i) {
            for (const std::string& name : listing())
                writing = writing || name.find(".part") != std::string::npos;
            if (!writing)
                ::usleep(10000);
        }
        ASSERT_TRUE(writing) << "signal " << sig;
        ::kill(static_cast<pid_t>(p.processId()), sig);
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitStatus(), QProcess::CrashExit) << "signal " << sig;
        EXPECT_EQ(listing(), std::set<std::string>{"big.bmp"}) << "signal " << sig;
        EXPECT_EQ(contents(root / "big.bmp"), old) << "signal " << sig;
    }
}

} // namespace
} // namespace ombrix
