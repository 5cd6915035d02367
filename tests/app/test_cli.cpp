// The command line, run as a separate process: outputs, errors, exit codes,
// file names that are not UTF-8, and writes cut short by a file-size limit.
#include "io/param_file.h"
#include "model/image_params.h"
#include "picture/full_image.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

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

// Runs the program with `args`; with a script, through `sh -c script` with
// the program as $0 and `args` as $1, $2, ...
Outcome ombrix(const QStringList& args, const QString& script = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", "C.UTF-8"); // the system's reasons in English
    env.remove("LANGUAGE");
    p.setProcessEnvironment(env);
    if (script.isEmpty())
        p.start(OMBRIX_BINARY, args);
    else
        p.start("sh", QStringList{"-c", script, OMBRIX_BINARY} + args);
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

// Status 0 with the text on stdout; 2 for bad usage and 1 for a file that
// cannot be read or written, each with one line on stderr and nothing else.
// The JSON of two fixtures is exactly what it has always been (each field
// under its own name, in the record's order; every byte of the code page in
// the texts of nonascii.obp, escaped where JSON needs it).
TEST_F(Cli, EveryCommandEndsWithItsStatusAndSaysWhy)
{
    const QString data = OMBRIX_TEST_DATA;
    const auto json = [&](const char* name) {
        return QString::fromStdString(contents(fs::path(OMBRIX_TEST_DATA) / "json" / name));
    };
    ImageModel m;
    m.mSetDefaults(1);
    const std::vector<std::uint8_t> bytes = encodeParams(m.params);
    std::ofstream(root / "cut.obp").write(reinterpret_cast<const char*>(bytes.data()), 100);
    const QString png = d + "/x.png",
                  cut = "cannot read \"" + d + "/cut.obp\": the file ends early";
    const QString size = "--size takes WxH with each side 1 to 16384, not '";
    const std::tuple<QStringList, int, QString> cases[] = {
        {{"--version"}, 0, "ombrix " OMBRIX_VERSION},
        {{"--help"}, 0, "params (FILE.obp | --preset N)"},
        {{"render", "--help"}, 0, "--quality"},
        {{"params", data + "/obp/layout.obp"}, 0, json("layout.json")},
        {{"params", data + "/obp/nonascii.obp"}, 0, json("nonascii.json")},
        {{"paint"}, 2, "unknown command 'paint'"},
        {{"render", "--preset", "3"}, 2, "render needs --out OUT"},
        {{"render", "--out", png}, 2, "give either a parameter file or --preset N"},
        {{"render", "f.obp", "--preset", "1", "--out", png}, 2, "give either"},
        {{"params"}, 2, "give either"},
        {{"render", "--preset", "4", "--out", png}, 2, "--preset takes 0, 1, 2 or 3, not '4'"},
        {{"render", "--preset", "one", "--out", png}, 2, "--preset takes 0, 1, 2 or 3, not 'one'"},
        {{"render", "--preset", "3", "--size", "0x10", "--out", png}, 2, size + "0x10'"},
        {{"render", "--preset", "3", "--size", "16385x10", "--out", png}, 2, size + "16385x10'"},
        {{"render", "--preset", "3", "--size", "big", "--out", png}, 2, size + "big'"},
        {{"render", "--preset", "3", "--quality", "9", "--out", png}, 2, "--quality takes 10"},
        {{"render", "--preset", "3", "--quality", "101", "--out", png}, 2, "--quality takes 10"},
        {{"render", "--preset", "3", "--frobnicate", "--out", png}, 2, "Unknown option"},
        {{"render", "--preset", "3", "--out", d + "/x.gif"},
         1,
         "cannot write \"" + d + "/x.gif\": unknown image type"},
        {{"render", d + "/none.obp", "--out", png},
         1,
         "cannot open \"" + d + "/none.obp\": No such file or directory"},
        {{"params", d}, 1, "cannot read \"" + d + "\": Is a directory"},
        {{"render", d + "/cut.obp", "--out", png}, 1, cut + ", in the font name of text record 1"},
        {{"params", d + "/cut.obp", "--out", d + "/p.obp"}, 1, cut},
        {{"params", "--preset", "3", "--out", d + "/none/p.obp"},
         1,
         "cannot create \"" + d + "/none/p.obp\": No such file or directory"},
        {{"params", "--preset", "3", "--out", d}, 1, "cannot create \"" + d + "\": Is a directory"},
    };
    for (const auto& [args, status, says] : cases) {
        const Outcome r = ombrix(args);
        EXPECT_EQ(r.status, status) << args.join(' ').toStdString();
        if (status == 0) {
            EXPECT_TRUE(r.out.contains(says.toUtf8())) << r.out.toStdString();
        } else {
            EXPECT_TRUE(r.out.isEmpty() && r.err.startsWith("ombrix: " + says.toUtf8()) &&
                        r.err.count('\n') == 1)
                << r.err.toStdString();
        }
    }
    EXPECT_EQ(listing(), std::set<std::string>{"cut.obp"});
}

TEST_F(Cli, RendersAndPrintsThePresetsAndFiles)
{
    // Exactly the picture the image window draws: preset 3 at 260 x 200.
    ASSERT_EQ(ombrix({"render", "--preset", "3", "--out", d + "/start.png"}).status, 0);
    ImageModel m;
    m.mSetDefaults(3);
    const QImage expected = renderFullImage(m.params, FullImageOptions{});
    EXPECT_EQ(QImage(d + "/start.png").convertToFormat(expected.format()), expected);
    const QStringList jpeg{"render", "--preset", "1", "--size", "33x17", "--quality", "40"};
    ASSERT_EQ(ombrix(jpeg + QStringList{"--out", d + "/a.JPG"}).status, 0);
    EXPECT_EQ(QImage(d + "/a.JPG", "JPG").size(), QSize(33, 17));

    const Outcome json = ombrix({"params", "--preset", "2", "--out", d + "/p.obp"});
    EXPECT_EQ(QJsonDocument::fromJson(json.out)["pnVerOrgOffset"].toInt(), -6);
    EXPECT_EQ(fs::file_size(root / "p.obp"), 1794u);
    EXPECT_EQ(ombrix({"params", d + "/p.obp"}).out, json.out);
    // A file's window of 300 x 200 pixels at 15 twips each is the size drawn
    // when no --size is given.
    m.params.pnImageWidth = 300 * 15;
    m.params.pnImageHeight = 200 * 15;
    ASSERT_TRUE(SaveData(root / "w.obp", m.params).ok);
    ASSERT_EQ(ombrix({"render", d + "/w.obp", "--out", d + "/w.png"}).status, 0);
    EXPECT_EQ(QImage(d + "/w.png").size(), QSize(300, 200));
}

TEST_F(Cli, AWriteCutShortByAFileSizeLimitFailsAndKeepsTheOldFile)
{
    // Each new file is larger than the limit; the old one stays byte for byte,
    // and nothing is left beside it.
    std::set<std::string> files;
    for (const char* name : {"f.obp", "f.png", "f.jpg", "f.bmp"}) {
        const bool obp = QString(name).endsWith("obp");
        const QStringList out{"--out", d + "/" + name};
        const QStringList good = obp ? QStringList{"params", "--preset", "1"}
                                     : QStringList{"render", "--preset", "3", "--size", "8x8"};
        const QStringList large = obp ? QStringList{"params", "--preset", "3"}
                                      : QStringList{"render", "--preset", "3", "--size", "300x300"};
        ASSERT_EQ(ombrix(good + out).status, 0);
        const std::string old = contents(root / name);
        const Outcome r = ombrix(large + out, "ulimit -f 1; exec \"$0\" \"$@\"");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "ombrix: cannot write \"" + out[1].toUtf8() + "\": File too large\n");
        EXPECT_EQ(contents(root / name), old) << name;
        files.insert(name);
        EXPECT_EQ(listing(), files);
    }
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

} // namespace
} // namespace ombrix
