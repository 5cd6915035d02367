// The command line, run as a separate process: outputs, errors, exit codes.
#include "io/param_file.h"
#include "model/image_params.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

namespace ombrix
{
namespace
{

struct Outcome {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Outcome ombrix(const QStringList& args)
{
    QProcess p;
    p.start(OMBRIX_BINARY, args);
    EXPECT_TRUE(p.waitForFinished(60000)) << args.join(' ').toStdString();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

// A failure: the exit status and one line on stderr, naming the program.
void expectFailure(const Outcome& r, int status)
{
    EXPECT_EQ(r.status, status);
    EXPECT_TRUE(r.err.startsWith("ombrix: ")) << r.err.toStdString();
    EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
}

class Cli : public ::testing::Test
{
protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

TEST_F(Cli, HelpAndVersion)
{
    const Outcome version = ombrix({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.startsWith("ombrix " OMBRIX_VERSION)) << version.out.toStdString();
    const Outcome help = ombrix({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains("render") && help.out.contains("params"));
    const Outcome renderHelp = ombrix({"render", "--help"});
    EXPECT_EQ(renderHelp.status, 0);
    EXPECT_TRUE(renderHelp.out.contains("--quality"));
    const Outcome unknown = ombrix({"paint"});
    expectFailure(unknown, 2);
}

TEST_F(Cli, RendersThePresetsInEveryFormat)
{
    const Outcome png = ombrix({"render", "--preset", "3", "--out", path("start.png")});
    ASSERT_EQ(png.status, 0) << png.err.toStdString();
    const QImage start(path("start.png"));
    ASSERT_EQ(start.size(), QSize(260, 200));
    // Preset 3: 3 x 3 shaded ellipses on black, lit from the upper left: the
    // light blue of colour 0 lies up and left of each tile's middle, the
    // dark blue of colour 1 towards its lower right, black in its corners.
    const QColor lit = start.pixelColor(34, 22);
    const QColor shade = start.pixelColor(52, 42);
    EXPECT_GT(lit.blue(), 200);
    EXPECT_GT(lit.green(), 150);
    EXPECT_LT(shade.green(), lit.green() - 50);
    EXPECT_GT(shade.blue(), shade.green());
    EXPECT_EQ(start.pixelColor(0, 0), QColor(0, 0, 0));
    // The second tile repeats the first.
    EXPECT_EQ(start.pixelColor(34 + 87, 22), lit);

    const Outcome jpg = ombrix({"render", "--preset", "1", "--size", "640x360", "--out",
                                path("a.JPG"), "--quality", "40"});
    ASSERT_EQ(jpg.status, 0) << jpg.err.toStdString();
    EXPECT_EQ(QImage(path("a.JPG"), "JPG").size(), QSize(640, 360));
    const Outcome jpeg =
        ombrix({"render", "--preset", "2", "--size", "33x17", "--out", path("b.jpeg")});
    ASSERT_EQ(jpeg.status, 0) << jpeg.err.toStdString();
    EXPECT_EQ(QImage(path("b.jpeg")).size(), QSize(33, 17));
    const Outcome bmp =
        ombrix({"render", "--preset", "0", "--size", "1x1", "--out", path("c.bmp")});
    ASSERT_EQ(bmp.status, 0) << bmp.err.toStdString();
    const QImage one(path("c.bmp"));
    ASSERT_EQ(one.size(), QSize(1, 1));
    EXPECT_EQ(one.pixelColor(0, 0), QColor(0, 0, 0));
}

TEST_F(Cli, RefusesBadUsageWithoutWritingAnything)
{
    const QStringList bad[] = {
        {"render", "--preset", "3"},                                  // no --out
        {"render", "--out", path("x.png")},                           // no source
        {"render", "f.obp", "--preset", "1", "--out", path("x.png")}, // both sources
        {"render", "--preset", "4", "--out", path("x.png")},          // preset out of range
        {"render", "--preset", "one", "--out", path("x.png")},        // not a number
        {"render", "--preset", "3", "--size", "0x10", "--out", path("x.png")},
        {"render", "--preset", "3", "--size", "16385x10", "--out", path("x.png")},
        {"render", "--preset", "3", "--size", "big", "--out", path("x.png")},
        {"render", "--preset", "3", "--quality", "9", "--out", path("x.jpg")},
        {"render", "--preset", "3", "--quality", "101", "--out", path("x.jpg")},
        {"render", "--preset", "3", "--frobnicate", "--out", path("x.png")},
        {"params"},
    };
    for (const QStringList& args : bad) {
        SCOPED_TRACE(args.join(' ').toStdString());
        expectFailure(ombrix(args), 2);
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(Cli, ReportsOutputThatCannotBeWritten)
{
    const Outcome gif = ombrix({"render", "--preset", "3", "--out", path("x.gif")});
    expectFailure(gif, 1);
    EXPECT_FALSE(QFile::exists(path("x.gif")));

    const Outcome missingFolder =
        ombrix({"render", "--preset", "3", "--out", path("no/such/x.png")});
    expectFailure(missingFolder, 1);

    // A target that cannot be replaced leaves what was there.
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken.png"));
    const Outcome isDir = ombrix({"render", "--preset", "3", "--out", path("taken.png")});
    EXPECT_EQ(isDir.status, 1);
    EXPECT_TRUE(QFileInfo(path("taken.png")).isDir());
}

TEST_F(Cli, ParamsPrintsJsonAndWritesAFileThatReadsBack)
{
    const Outcome first = ombrix({"params", "--preset", "2", "--out", path("p.obp")});
    ASSERT_EQ(first.status, 0) << first.err.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(first.out).object();
    EXPECT_EQ(o["pnPattern"].toInt(), kShadedEllipse);
    EXPECT_EQ(o["pnSlantRate"].toInt(), -5);
    EXPECT_EQ(o["pnVerOrgOffset"].toInt(), -6);
    EXPECT_EQ(QFileInfo(path("p.obp")).size(), 1794);

    const Outcome again = ombrix({"params", path("p.obp")});
    ASSERT_EQ(again.status, 0) << again.err.toStdString();
    EXPECT_EQ(again.out, first.out);
}

TEST_F(Cli, ReadsFilesAndReportsDamagedOnes)
{
    // A file whose window is 300 x 200 pixels at 15 twips per pixel renders
    // at that size without --size.
    ImageModel m;
    m.mSetDefaults(1);
    m.params.pnImageWidth = 300 * 15;
    m.params.pnImageHeight = 200 * 15;
    m.params.psText[0] = "Hi";
    ASSERT_TRUE(SaveData(path("w.obp").toStdString(), m.params).ok);
    const Outcome r = ombrix({"render", path("w.obp"), "--out", path("w.png")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(QImage(path("w.png")).size(), QSize(300, 200));

    const Outcome missing = ombrix({"render", path("missing.obp"), "--out", path("m.png")});
    expectFailure(missing, 1);
    EXPECT_FALSE(QFile::exists(path("m.png")));

    // The same file cut short in its first text record.
    const std::vector<std::uint8_t> bytes = encodeParams(m.params);
    QFile cut(path("cut.obp"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(reinterpret_cast<const char*>(bytes.data()), 100);
    cut.close();
    for (const char* command : {"render", "params"}) {
        SCOPED_TRACE(command);
        const Outcome damaged = ombrix({command, path("cut.obp"), "--out", path("d.png")});
        expectFailure(damaged, 1);
        EXPECT_TRUE(damaged.out.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(path("d.png")));
}

} // namespace
} // namespace ombrix
