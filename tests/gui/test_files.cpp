// Files and output as a user meets them: parameter files opened and saved
// (checked against the command line), the image saved as each type and
// compared with `ombrix render`, failures reported with the old file kept,
// the JPEG quality dialog, the image size dialog, drops and the clipboard.
#include "gui/program.h"

#include "help/frm_hint.h"
#include "io/param_file.h"
#include "main/frm_dim.h"
#include "main/frm_quality.h"
#include "picture/frm_picture.h"

#include <QAction>
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
#include <QPushButton>
#include <QSlider>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QUrl>

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>

namespace ombrix::test
{

namespace
{

// Runs the command line; its standard output, empty when it failed.
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

// The largest difference of any channel between two images of one size.
int largestDifference(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    int worst = x.size() == y.size() ? 0 : 256;
    for (int j = 0; j < x.height() && worst < 256; ++j)
        for (int i = 0; i < x.width(); ++i) {
            const QRgb p = x.pixel(i, j), q = y.pixel(i, j);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    return worst;
}

const QImage& shown(Program& pg)
{
    return pg.main->picture().pictures().picShow.image();
}

} // namespace

TEST(Files, OpenShowsAFileTheCommandLineWrote)
{
    Program pg;
    const QString file = pg.dir.filePath("pleats.obp");
    cli({"params", "--preset", "1", "--out", file});
    ImageParams expected;
    ASSERT_TRUE(ReadData(file.toStdString(), expected).ok);
    // The command line stores no window; this file asks for 400 x 150.
    const SharedValues& v = pg.state.v();
    expected.pnImageWidth = qRound(400 * v.Tppx + pg.state.frameWidth);
    expected.pnImageHeight = qRound(150 * v.Tppy + pg.state.frameHeight);
    ASSERT_TRUE(SaveData(file.toStdString(), expected).ok);
    const int shots = pg.state.history.pnShots;

    pg.state.settings.psReadPath = pg.dir.filePath("gone").toStdString();
    pg.prompter.fileName = file;
    pg.main->Toolbar1_ButtonClick(ToolButton::Open);
    settle();
    EXPECT_EQ(pg.prompter.lastDialogTitle, " Open Parameter Settings File");
    EXPECT_TRUE(pg.prompter.lastFilter.startsWith("Ombrix Image Parameter Files (*.obp)"));
    // A remembered folder that is gone: the user's pictures, else home.
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    EXPECT_TRUE(pg.prompter.lastFolder == pictures || pg.prompter.lastFolder == QDir::homePath())
        << pg.prompter.lastFolder.toStdString();

    EXPECT_EQ(pg.main->windowTitle(), " Ombrix - pleats.obp");
    EXPECT_EQ(pg.state.settings.psReadPath, pg.dir.path().toStdString());
    EXPECT_EQ(pg.state.files.psParamTitle, "pleats.obp");
    EXPECT_EQ(pg.state.history.pnShots, shots + 1);
    expected.pnImageLeft = pg.state.p().pnImageLeft; // the window manager places the window
    expected.pnImageTop = pg.state.p().pnImageTop;
    EXPECT_TRUE(pg.state.p() == expected);
    EXPECT_EQ(shown(pg).size(), QSize(400, 150));
    EXPECT_FALSE(pg.state.flags.pbOpening || pg.state.flags.pbSizingPicture);
    EXPECT_TRUE(pg.prompter.asked.empty());

    // The next dialog starts in the folder and offers the file.
    pg.prompter.fileName.clear();
    pg.main->fileCommands().mOpen();
    EXPECT_EQ(pg.prompter.lastFolder, file);
}

TEST(Files, AFileThatCannotBeReadChangesNothing)
{
    Program pg;
    const QString good = pg.dir.filePath("good.obp");
    cli({"params", "--preset", "2", "--out", good});
    const QByteArray bytes = contents(good);
    const struct {
        const char* name;
        QByteArray data;
        const char* checkpoint;
    } cases[] = {
        {"short.obp", bytes.left(10), "MARD02"},
        {"cut.obp", bytes.left(200), "MARD10"},
        {"folder.obp", QByteArray(), "MARD02"}, // a folder, not a file
        {"missing.obp", QByteArray(), "MARD01"},
    };
    for (const auto& c : cases) {
        const QString path = pg.dir.filePath(c.name);
        if (QString(c.name) == "folder.obp") {
            QDir(pg.dir.path()).mkdir(c.name);
        } else if (!c.data.isEmpty()) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(c.data);
        }
        const ImageParams before = pg.state.p();
        const UndoHistory history = pg.state.history;
        const QSize size = pg.main->picture().size();
        const QImage picture = shown(pg);
        pg.prompter.asked.clear();
        EXPECT_FALSE(pg.main->fileCommands().openFile(path)) << c.name;
        settle();
        ASSERT_EQ(pg.prompter.asked.size(), 1u) << c.name;
        const Question& q = pg.prompter.asked[0];
        EXPECT_EQ(q.title, " Ombrix");
        EXPECT_EQ(q.icon, Icon::Critical);
        EXPECT_TRUE(q.text.startsWith(c.checkpoint)) << q.text.toStdString();
        EXPECT_TRUE(q.text.contains(c.name)) << q.text.toStdString();
        EXPECT_TRUE(pg.state.p() == before) << c.name;
        EXPECT_EQ(pg.state.history.pnShots, history.pnShots);
        EXPECT_EQ(pg.state.history.pnShotPointer, history.pnShotPointer);
        EXPECT_EQ(pg.main->windowTitle(), " Ombrix - Untitled");
        EXPECT_EQ(pg.main->picture().size(), size);
        EXPECT_EQ(shown(pg), picture);
    }
}

TEST(Files, SavedParametersReadBackWithTheCommandLine)
{
    Program pg;
    pg.main->picture().setClientSize(300, 180);
    settle();
    pg.prompter.fileName = pg.dir.filePath("sky");
    ASSERT_TRUE(pg.main->commands().mSaveParam());
    const QString file = pg.dir.filePath("sky.obp");
    const QJsonObject json = QJsonDocument::fromJson(cli({"params", file})).object();
    const ImageParams& p = pg.state.p();
    EXPECT_EQ(json["pnPattern"].toInt(), p.pnPattern);
    EXPECT_EQ(json["pnHorRep"].toInt(), p.pnHorRep);
    // The image window's own geometry, frame included, in twips.
    const SharedValues& v = pg.state.v();
    EXPECT_EQ(json["pnImageWidth"].toInt(), qRound(300 * v.Tppx + pg.state.frameWidth));
    EXPECT_EQ(json["pnImageHeight"].toInt(), qRound(180 * v.Tppy + pg.state.frameHeight));
    EXPECT_EQ(pg.main->windowTitle(), " Ombrix - sky.obp");

    // The ".obp" the program adds makes a name that exists: asked first.
    const QByteArray saved = contents(file);
    pg.main->sliHump_Change(3);
    pg.prompter.answers = {Answer::No};
    EXPECT_FALSE(pg.main->commands().mSaveParam());
    EXPECT_EQ(contents(file), saved);
    ASSERT_EQ(pg.prompter.asked.size(), 1u);
    EXPECT_EQ(pg.prompter.asked[0].text, "sky.obp already exists.\nDo you want to replace it?");
    pg.prompter.answers = {Answer::Yes};
    EXPECT_TRUE(pg.main->commands().mSaveParam());
    EXPECT_NE(contents(file), saved);
}

TEST(Files, TheImageIsSavedAsEachTypeAndMatchesTheCommandLine)
{
    Program pg;
    const QString ref = pg.dir.filePath("ref.png");
    cli({"render", "--preset", "3", "--size", "260x200", "--out", ref});
    const QImage expected(ref);
    ASSERT_EQ(shown(pg).size(), QSize(260, 200));
    const QImage before = shown(pg);
    const struct {
        const char* typed;
        const char* type; // chosen in the dialog; empty: its first
        const char* file;
        const char* format;
        int tolerance;
    } cases[] = {
        {"a.png", "", "a.png", "png", 0},
        {"b.BMP", "", "b.BMP", "bmp", 0},
        {"c.JPG", "", "c.JPG", "jpeg", 12},
        {"d.jpeg", "PNG - Portable Network Graphics (*.png)", "d.jpeg", "jpeg", 12},
        {"e", "BMP - Windows or OS/2 Bitmap (*.bmp)", "e.bmp", "bmp", 0},
        {"f", "", "f.jpg", "jpeg", 12},
        {"g.tiff", "PNG - Portable Network Graphics (*.png)", "g.tiff.png", "png", 0},
    };
    for (const auto& c : cases) {
        pg.prompter.fileName = pg.dir.filePath(c.typed);
        pg.prompter.chosenType = c.type;
        ASSERT_TRUE(pg.main->fileCommands().mSave()) << c.typed;
        EXPECT_EQ(pg.prompter.lastDialogTitle, " Save Image As");
        QImageReader reader(pg.dir.filePath(c.file));
        EXPECT_EQ(reader.format(), c.format) << c.file;
        EXPECT_LE(largestDifference(reader.read(), expected), c.tolerance) << c.file;
        EXPECT_EQ(pg.state.files.psImageTitle, c.file);
    }
    EXPECT_EQ(pg.state.settings.psSavePath, pg.dir.path().toStdString());
    EXPECT_TRUE(pg.prompter.asked.empty());
    EXPECT_EQ(shown(pg), before) << "the window shows what it showed";

    // The completed name exists now: asked before it is replaced.
    pg.prompter.fileName = pg.dir.filePath("f");
    pg.prompter.chosenType.clear();
    pg.prompter.answers = {Answer::No};
    EXPECT_FALSE(pg.main->fileCommands().mSave());
    EXPECT_EQ(pg.prompter.asked.size(), 1u);
}

TEST(Files, AFailedImageSaveIsReportedAndKeepsTheOldFile)
{
    Program pg;
    const QString file = pg.dir.filePath("old.png");
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("the user's own file");
    }
    const QImage before = shown(pg);
    pg.prompter.fileName = file;
    // A folder the program may not write in; the superuser may write
    // anywhere, so for it a file-size limit makes the write fail.
    const bool root = ::geteuid() == 0;
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit small{1000, limit.rlim_max};
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    if (root)
        setrlimit(RLIMIT_FSIZE, &small);
    else
        QFile::setPermissions(pg.dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    const bool saved = pg.main->fileCommands().mSave();
    if (root)
        setrlimit(RLIMIT_FSIZE, &limit);
    else
        QFile::setPermissions(pg.dir.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    std::signal(SIGXFSZ, handler);

    EXPECT_FALSE(saved);
    ASSERT_EQ(pg.prompter.asked.size(), 1u);
    const Question& q = pg.prompter.asked[0];
    EXPECT_EQ(q.icon, Icon::Critical);
    EXPECT_TRUE(q.text.contains("old.png") &&
                q.text.contains(root ? "File too large" : "Permission denied"))
        << q.text.toStdString();
    EXPECT_EQ(contents(file), "the user's own file");
    EXPECT_EQ(QDir(pg.dir.path()).entryList(QDir::Files), (QStringList{"old.png"}));
    EXPECT_EQ(shown(pg), before);
}

TEST(Files, QualityDialogFollowsItsSliderAndPersists)
{
    QTemporaryDir folder;
    {
        Program pg(folder.path());
        int topic = 0;
        FrmQuality dialog(
            pg.state.settings.plQualityValue, [&](int t) { topic = t; }, nullptr);
        EXPECT_EQ(dialog.windowTitle(), " Set JPEG Image Quality");
        auto* slider = control<QSlider>(&dialog, "sliQuality");
        auto* frame = control<QGroupBox>(&dialog, "fraQuality");
        EXPECT_EQ(frame->title(), "Quality = 100");
        EXPECT_EQ(slider->minimum(), 10);
        EXPECT_EQ(slider->maximum(), 100);
        slider->setValue(5);
        EXPECT_EQ(frame->title(), "Quality = 10");
        dialog.cmdHelp_Click();
        EXPECT_EQ(topic, 13);
        dialog.cmdOK_Click();
        EXPECT_EQ(pg.state.settings.plQualityValue, 10);

        // A JPEG at quality 10 is much smaller than one at 100.
        pg.prompter.fileName = pg.dir.filePath("low.jpg");
        ASSERT_TRUE(pg.main->fileCommands().mSave());
        pg.state.settings.plQualityValue = 100;
        pg.prompter.fileName = pg.dir.filePath("high.jpg");
        ASSERT_TRUE(pg.main->fileCommands().mSave());
        EXPECT_LT(2 * QFileInfo(pg.dir.filePath("low.jpg")).size(),
                  QFileInfo(pg.dir.filePath("high.jpg")).size());

        FrmQuality cancelled(pg.state.settings.plQualityValue, {}, nullptr);
        control<QSlider>(&cancelled, "sliQuality")->setValue(40);
        cancelled.reject();
        EXPECT_EQ(pg.state.settings.plQualityValue, 100);
        pg.state.settings.plQualityValue = 35;
        EXPECT_TRUE(pg.close(Answer::No));
    }
    Program again(folder.path());
    EXPECT_EQ(again.state.settings.plQualityValue, 35);
}

TEST(Files, SizeDialogKeepsTheRatioChecksAndSizesTheWindow)
{
    Program pg;
    FrmMain& main = *pg.main;
    main.Toolbar1_ButtonClick(ToolButton::Resize);
    FrmDim* dim = main.fileCommands().sizeDialog();
    ASSERT_NE(dim, nullptr);
    EXPECT_EQ(dim->windowTitle(), " Resize");
    auto* width = control<QLineEdit>(dim, "txtWidth");
    auto* height = control<QLineEdit>(dim, "txtHeight");
    auto* ratio = control<QLineEdit>(dim, "txtAspect");
    auto* keep = control<QCheckBox>(dim, "chkAspect");
    EXPECT_EQ(width->text(), "260");
    EXPECT_EQ(height->text(), "200");
    EXPECT_FALSE(ratio->isEnabled());

    // Only the field being typed in drives the other.
    ratio->setText("1.5");
    keep->click();
    EXPECT_TRUE(ratio->isEnabled());
    EXPECT_EQ(height->text(), "173"); // 260 / 1.5 = 173.3
    dim->txtWidth_GotFocus();
    width->setText("300");
    EXPECT_EQ(height->text(), "200");
    dim->txtHeight_GotFocus();
    height->setText("100");
    EXPECT_EQ(width->text(), "150");
    ratio->setText("0"); // leaves the fields; a height typed then gives 0
    EXPECT_EQ(width->text(), "150");
    height->setText("120");
    EXPECT_EQ(width->text(), "0");
    ratio->setText("1.5");

    // The checks, first failure only; nothing changes.
    const ImageParams before = pg.state.p();
    for (const auto& [w, h, message] : {std::tuple{"", "100", "Enter image width."},
                                        {"35", "100", "The image width is too small."},
                                        {"99999", "100", "The image width is too large."}}) {
        pg.prompter.asked.clear();
        dim->txtHeight_GotFocus(); // so the width typed does not drive the height
        height->setText(h);
        width->setText(w);
        EXPECT_FALSE(dim->cmdOK_Click());
        ASSERT_EQ(pg.prompter.asked.size(), 1u);
        EXPECT_EQ(pg.prompter.asked[0].title, " Invalid Image Size)");
        EXPECT_EQ(pg.prompter.asked[0].text, message);
        EXPECT_EQ(pg.prompter.asked[0].icon, Icon::Exclamation);
    }
    EXPECT_TRUE(pg.state.p() == before);

    const int shots = pg.state.history.pnShots;
    keep->click(); // off
    width->setText("320");
    height->setText("90");
    EXPECT_TRUE(dim->cmdOK_Click());
    settle();
    EXPECT_EQ(shown(pg).size(), QSize(320, 90));
    EXPECT_EQ(pg.state.history.pnShots, shots + 1);
    EXPECT_EQ(pg.state.p().pnImageWidth, qRound(320 * pg.state.v().Tppx + pg.state.frameWidth));
    EXPECT_EQ(pg.state.p().pnPattern, before.pnPattern);

    // "Resize..." in the image menu serves the command chosen last; New
    // resets the record first, even when a check then fails.
    main.Toolbar1_ButtonClick(ToolButton::New);
    main.mnuMenuArray_Click(MenuItem::Resize);
    dim = main.fileCommands().sizeDialog();
    EXPECT_EQ(dim->windowTitle(), " New Image");
    EXPECT_EQ(control<QLineEdit>(dim, "txtAspect")->text(), "1.5");
    EXPECT_TRUE(control<QCheckBox>(dim, "chkAspect")->isChecked() == false);
    control<QLineEdit>(dim, "txtWidth")->clear();
    EXPECT_FALSE(dim->cmdOK_Click());
    EXPECT_EQ(pg.state.p().pnPattern, kPlainBackground);
    control<QLineEdit>(dim, "txtWidth")->setText("100");
    EXPECT_TRUE(dim->cmdOK_Click());
    settle();
    EXPECT_EQ(shown(pg).size(), QSize(100, 90));
    EXPECT_EQ(shown(pg).pixel(50, 45), qRgb(0, 0, 0));

    main.fileCommands().showSizeDialog(true);
    control<QPushButton>(main.fileCommands().sizeDialog(), "cmdHelp")->click();
    ASSERT_NE(main.helpWindow(), nullptr);
    EXPECT_EQ(main.helpWindow()->topic(), 9);
    // The topics link each other and the index.
    auto* browser = main.helpWindow()->findChild<QTextBrowser*>();
    ASSERT_NE(browser, nullptr);
    emit browser->anchorClicked(QUrl("topic:0"));
    EXPECT_EQ(main.helpWindow()->topic(), 0);
    EXPECT_TRUE(main.helpWindow()->pageText().contains("JPEG quality and saving the image"));
    emit browser->anchorClicked(QUrl("topic:13"));
    EXPECT_EQ(main.helpWindow()->topic(), 13);
}

TEST(Files, AParameterFileDroppedOnEitherWindowOpens)
{
    Program pg;
    const QString file = pg.dir.filePath("drop.OBP");
    cli({"params", "--preset", "1", "--out", file});
    for (QWidget* target :
         {static_cast<QWidget*>(pg.main.get()), static_cast<QWidget*>(&pg.main->picture())}) {
        pg.main->setFileTitle("Untitled");
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(pg.dir.filePath("note.txt")), QUrl::fromLocalFile(file)});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &drop);
        settle();
        EXPECT_EQ(pg.main->windowTitle(), " Ombrix - drop.OBP");
        EXPECT_EQ(pg.state.p().pnPattern, kCrossingPleats);
    }
    QMimeData other;
    other.setUrls({QUrl::fromLocalFile(pg.dir.filePath("photo.png"))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &other, Qt::LeftButton, Qt::NoModifier);
    enter.setAccepted(false);
    QCoreApplication::sendEvent(pg.main.get(), &enter);
    EXPECT_FALSE(enter.isAccepted());
}

// Run by CTest on a private X server: another program reads the copied image
// while this one runs and owns the clipboard.
TEST(XClipboard, AnotherProgramReadsTheCopiedImage)
{
    if (QGuiApplication::platformName() != "xcb")
        GTEST_SKIP() << "needs an X server (CTest runs it under xvfb-run)";
    Program pg;
    const QImage expected = pg.main->picture().exportImage();
    const QImage before = shown(pg);
    ASSERT_TRUE(pg.main->fileCommands().mCopy());
    QProcess xclip;
    QEventLoop loop;
    QObject::connect(&xclip, &QProcess::finished, &loop, &QEventLoop::quit);
    xclip.start("xclip", {"-selection", "clipboard", "-t", "image/png", "-o"});
    ASSERT_TRUE(xclip.waitForStarted()) << "xclip is missing";
    if (xclip.state() != QProcess::NotRunning)
        loop.exec(); // serves the clipboard while xclip asks for it
    const QImage read = QImage::fromData(xclip.readAllStandardOutput(), "PNG");
    EXPECT_EQ(read.size(), expected.size());
    EXPECT_EQ(largestDifference(read, expected), 0);
    EXPECT_EQ(shown(pg), before);
}

} // namespace ombrix::test
