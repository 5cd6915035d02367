// SPDX-License-Identifier: GPL-3.0-or-later
// Files and output as a user meets them, checked against the command line.
#include "ui/program.h"

#include "io/param_file.h"
#include "model/image_geometry.h"
#include "ui/main/frm_dim.h"
#include "ui/main/frm_quality.h"
#include "ui/picture/frm_picture.h"

#include <QCheckBox>
#include <QDropEvent>
#include <QEventLoop>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QImageReader>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QRadioButton>
#include <QSlider>
#include <QUrl>

#include <sys/resource.h>

#include <csignal>

namespace ombrix::test
{

namespace
{

// Runs the command line; its standard output.
QByteArray cli(const QStringList& args)
{
    QProcess p;
    p.start(OMBRIX_BINARY, args);
    p.waitForFinished(60000);
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    return p.readAllStandardOutput();
}

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

// The largest difference of any channel at a few points (corners, middle).
int difference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return 256;
    int worst = 0;
    for (const QPoint& p : {QPoint(0, 0), QPoint(a.width() / 2, a.height() / 3),
                            QPoint(a.width() - 1, a.height() - 1)})
        for (int shift : {0, 8, 16})
            worst = std::max(worst, std::abs(int((a.pixel(p) >> shift) & 255) -
                                             int((b.pixel(p) >> shift) & 255)));
    return worst;
}

} // namespace

using Files = ProgramTest;

TEST_F(Files, OpenShowsAFileAndADamagedOneChangesNothing)
{
    const QString file = pg.dir.filePath("pleats.OBP");
    cli({"params", "--preset", "1", "--out", file});
    ImageParams expected;
    ASSERT_TRUE(ReadData(file.toStdString(), expected).ok);
    // The command line stores no window; this file asks for 400 x 150.
    storeImageSize(expected, {400, 150});
    ASSERT_TRUE(SaveData(file.toStdString(), expected).ok);
    const QByteArray bytes = contents(file);
    for (const auto& [name, length] : {std::pair{"short.obp", 10}, {"cut.obp", 200}}) {
        QFile cut(pg.dir.filePath(name));
        ASSERT_TRUE(cut.open(QIODevice::WriteOnly) && cut.write(bytes.left(length)) == length);
    }

    // A damaged or missing file: its checkpoint and name, nothing changed.
    for (const auto& [name, checkpoint] :
         {std::pair{"short.obp", "MARD02"}, {"cut.obp", "MARD10"}, {"missing.obp", "MARD01"}}) {
        const ImageParams before = p;
        const int shots = pg.state.history.shots();
        const QImage picture = pg.shown();
        pg.prompter.asked.clear();
        EXPECT_FALSE(m.fileCommands().openFile(pg.dir.filePath(name)));
        const Question& q = pg.prompter.asked.at(0);
        EXPECT_TRUE(q.title == " Ombrix" && q.icon == Icon::Critical);
        EXPECT_TRUE(q.text.startsWith(checkpoint) && q.text.contains(name)) << q.text.toStdString();
        EXPECT_TRUE(p == before && pg.shown() == picture) << name;
        EXPECT_EQ(pg.state.history.shots(), shots);
        EXPECT_EQ(m.windowTitle(), " Ombrix - Untitled");
    }

    // Opened from the dialog, then dropped on the image window.
    pg.prompter.fileName = file;
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(pg.dir.filePath("note.txt")), QUrl::fromLocalFile(file)});
    for (int way = 0; way < 2; ++way) {
        m.setFileTitle("Untitled");
        p.pnPattern = kShadedCircle;
        const int shots = pg.state.history.shots();
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        if (way == 0) {
            m.Toolbar1_ButtonClick(ToolButton::Open);
        } else {
            QCoreApplication::sendEvent(&m.picture(), &enter);
            QCoreApplication::sendEvent(&m.picture(), &drop);
        }
        settle();
        EXPECT_EQ(m.windowTitle(), " Ombrix - pleats.OBP");
        expected.pnImageLeft = p.pnImageLeft; // the window manager places it
        expected.pnImageTop = p.pnImageTop;
        EXPECT_TRUE(p == expected);
        EXPECT_EQ(pg.shown().size(), QSize(400, 150));
        // The opened file is the first state: nothing to undo.
        EXPECT_EQ(pg.state.history.shots(), 0) << shots;
        EXPECT_FALSE(m.button(ToolButton::Undo)->isEnabled());
    }
    m.fileCommands().mOpen();
    EXPECT_EQ(pg.prompter.lastFolder, file) << "the next dialog offers the file";
}

TEST_F(Files, ParametersAndImagesAreSavedAsTheCommandLineReadsAndDrawsThem)
{
    pg.prompter.fileName = pg.dir.filePath("sky");
    ASSERT_TRUE(m.commands().mSaveParam());
    const QString obp = pg.dir.filePath("sky.obp");
    const QJsonObject json = QJsonDocument::fromJson(cli({"params", obp})).object();
    EXPECT_EQ(json["pnPattern"].toInt(), p.pnPattern);
    EXPECT_EQ(json["pnImageWidth"].toInt(), (260 + kFrameAllowanceWidth) * kFileTwipsPerPixel);
    EXPECT_EQ(json["pnImageHeight"].toInt(), (200 + kFrameAllowanceHeight) * kFileTwipsPerPixel);
    // The ".obp" the program adds makes a name that exists: asked first.
    const QByteArray saved = contents(obp);
    m.sliHump_Change(3);
    pg.prompter.answers = {Answer::No};
    EXPECT_FALSE(m.commands().mSaveParam());
    EXPECT_EQ(contents(obp), saved);
    EXPECT_EQ(pg.prompter.asked.at(0).text, "sky.obp already exists.\nDo you want to replace it?");
    m.sliHump_Change(18);

    const QString ref = pg.dir.filePath("ref.png");
    cli({"render", "--preset", "3", "--size", "260x200", "--out", ref});
    const QImage before = pg.shown();
    pg.prompter.asked.clear();
    const char* const png = "PNG - Portable Network Graphics (*.png)";
    const struct {
        const char *typed, *type, *file, *format;
        int tolerance;
    } cases[] = {
        {"a.png", "", "a.png", "png", 0},
        {"b.BMP", "", "b.BMP", "bmp", 0},
        {"c.JPG", "", "c.JPG", "jpeg", 12},
        {"d.jpeg", png, "d.jpeg", "jpeg", 12},
        {"f", "", "f.jpg", "jpeg", 12},
        {"g.tiff", png, "g.tiff.png", "png", 0},
        {"e", "BMP - Windows or OS/2 Bitmap (*.bmp)", "e.bmp", "bmp", 0},
    };
    for (const auto& c : cases) {
        pg.prompter.fileName = pg.dir.filePath(c.typed);
        pg.prompter.chosenType = c.type;
        ASSERT_TRUE(m.fileCommands().mSave()) << c.typed;
        QImageReader reader(pg.dir.filePath(c.file));
        EXPECT_EQ(reader.format(), c.format) << c.file;
        EXPECT_LE(difference(reader.read(), QImage(ref)), c.tolerance) << c.file;
    }
    EXPECT_TRUE(pg.prompter.asked.empty() && pg.state.files.psImageTitle == "e.bmp");
    EXPECT_EQ(pg.shown(), before) << "the window shows what it showed";

    // A write that fails (here past a file-size limit, which binds every
    // user) is reported; the earlier file stays and nothing is left beside it.
    const QByteArray old = contents(pg.dir.filePath("a.png"));
    const QStringList files = QDir(pg.dir.path()).entryList(QDir::Files);
    pg.prompter.fileName = pg.dir.filePath("a.png");
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit small{1000, limit.rlim_max};
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    const bool written = m.fileCommands().mSave();
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, handler);
    EXPECT_FALSE(written);
    const QString text = pg.prompter.asked.back().text;
    EXPECT_TRUE(text.contains("a.png") && text.contains("File too large")) << text.toStdString();
    EXPECT_EQ(contents(pg.dir.filePath("a.png")), old);
    EXPECT_EQ(QDir(pg.dir.path()).entryList(QDir::Files), files);
    EXPECT_EQ(pg.shown(), before);
}

// That the value lasts and the Help button's topic are tested elsewhere.
TEST_F(Files, QualityDialogFollowsItsSlider)
{
    FrmQuality dialog(
        pg.state.settings.plQualityValue, [](int) {}, nullptr);
    auto* slider = control<QSlider>(&dialog, "sliQuality");
    auto* frame = control<QGroupBox>(&dialog, "fraQuality");
    EXPECT_EQ(frame->title(), "Quality = 100");
    slider->setValue(5);
    EXPECT_EQ(frame->title(), "Quality = 10");
    dialog.cmdOK_Click();
    EXPECT_EQ(pg.state.settings.plQualityValue, 10);
}

TEST_F(Files, SizeDialogKeepsTheRatioChecksAndSizesTheWindow)
{
    m.Toolbar1_ButtonClick(ToolButton::Resize);
    FrmDim* dim = m.fileCommands().sizeDialog();
    EXPECT_EQ(dim->windowTitle(), " Resize");
    auto* width = control<QLineEdit>(dim, "txtWidth");
    auto* height = control<QLineEdit>(dim, "txtHeight");
    auto* ratio = control<QLineEdit>(dim, "txtAspect");
    auto* keep = control<QCheckBox>(dim, "chkAspect");
    EXPECT_TRUE(width->text() == "260" && height->text() == "200" && !ratio->isEnabled());

    // Only the field being typed in drives the other.
    ratio->setText("1.5");
    keep->click();
    EXPECT_EQ(height->text(), "173"); // 260 / 1.5
    dim->txtWidth_GotFocus();
    width->setText("300");
    EXPECT_EQ(height->text(), "200");
    dim->txtHeight_GotFocus();
    height->setText("100");
    EXPECT_EQ(width->text(), "150");
    keep->click();

    const ImageParams before = p;
    width->setText("35");
    EXPECT_FALSE(dim->cmdOK_Click());
    const Question& q = pg.prompter.asked.at(0);
    EXPECT_TRUE(q.title == " Invalid Image Size)" && q.icon == Icon::Exclamation);
    EXPECT_EQ(q.text, "The image width is too small."); // 3 repetitions need 36
    EXPECT_TRUE(p == before);
    const int shots = pg.state.history.shots();
    width->setText("320");
    height->setText("90");
    EXPECT_TRUE(dim->cmdOK_Click());
    settle();
    EXPECT_EQ(pg.shown().size(), QSize(320, 90));
    EXPECT_EQ(pg.state.history.shots(), shots + 1);

    // "Resize..." serves the command chosen last.  A refused New changes
    // nothing (image, controls, caption); an accepted one starts an
    // untitled blank image, checked against its own single repetition.
    m.setFileTitle("sky.obp");
    m.Toolbar1_ButtonClick(ToolButton::New);
    m.mnuMenuArray_Click(MenuItem::Resize);
    dim = m.fileCommands().sizeDialog();
    EXPECT_EQ(dim->windowTitle(), " New Image");
    control<QLineEdit>(dim, "txtWidth")->clear();
    const ImageParams beforeNew = p;
    EXPECT_FALSE(dim->cmdOK_Click());
    EXPECT_EQ(pg.prompter.asked.back().text, "Enter image width.");
    EXPECT_TRUE(p == beforeNew);
    EXPECT_EQ(m.windowTitle(), " Ombrix - sky.obp");
    EXPECT_NE(p.pnPattern, kPlainBackground);
    EXPECT_TRUE(
        pg.find<QRadioButton>(QString("optPattern%1").arg(beforeNew.pnPattern))->isChecked());
    control<QLineEdit>(dim, "txtWidth")->setText("20"); // 3 repetitions would need 36
    EXPECT_TRUE(dim->cmdOK_Click());
    settle();
    EXPECT_EQ(p.pnPattern, kPlainBackground);
    EXPECT_EQ(m.windowTitle(), " Ombrix - Untitled");
    EXPECT_EQ(pg.shown().size(), QSize(20, 90));
}

// Run by CTest on a private X server: another program reads the copied image
// while this one runs and owns the clipboard.
TEST(XClipboard, AnotherProgramReadsTheCopiedImage)
{
    if (QGuiApplication::platformName() != "xcb")
        GTEST_SKIP() << "needs an X server (CTest runs it under xvfb-run)";
    Program pg;
    const QImage expected = pg.main->picture().exportImage();
    const QImage before = pg.shown();
    ASSERT_TRUE(pg.main->fileCommands().mCopy());
    QProcess xclip;
    QEventLoop loop;
    QObject::connect(&xclip, &QProcess::finished, &loop, &QEventLoop::quit);
    xclip.start("xclip", {"-selection", "clipboard", "-t", "image/png", "-o"});
    ASSERT_TRUE(xclip.waitForStarted()) << "xclip is missing";
    if (xclip.state() != QProcess::NotRunning)
        loop.exec(); // serves the clipboard while xclip asks for it
    const QImage read = QImage::fromData(xclip.readAllStandardOutput());
    EXPECT_EQ(read.convertToFormat(expected.format()), expected);
    EXPECT_EQ(pg.shown(), before);
}

} // namespace ombrix::test
