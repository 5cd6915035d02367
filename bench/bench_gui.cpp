// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the desktop windows as a person meets it: a slider moved until the
// preview shows the change, the Show command until the image window is
// painted at full size, and the start of the program until the main window
// is painted.
//
// The windows are the real ones, on the offscreen platform unless another is
// chosen.  Questions are answered by a script that says No and picks no file,
// and the settings go to an INI file in a temporary folder, so a run never
// waits on a dialog and never touches the user's own settings.  Each
// measurement checks afterwards that the paint it claims to include happened.
//
// Targets the figures are read against (reported, never enforced here):
//   SliderToPreview under 5 ms per change for every pattern,
//   ShowFullSize at 1920 x 1080 under 150 ms, StartUp under 500 ms,
//   PlaceText under 50 ms, GradientText at 1920 x 1080 under 50 ms.
#include "model/image_params.h"
#include "picture/text_labels.h"
#include "ui/common/window_tools.h"
#include "ui/main/frm_main.h"
#include "ui/main/main_widgets.h"
#include "ui/picture/frm_picture.h"
#include "ui/text/frm_text_prop.h"

#include "bench_names.h"
#include "ui/program.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include <chrono>
#include <memory>
#include <string>

namespace
{

using namespace ombrix;

// Counts a widget's paint events: a figure must include the painting, not
// only the drawing into the picture.
class PaintCounter final : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(o, e);
    }
};

// One desktop program as the window tests build it: scripted answers, its
// settings in a temporary folder, Form_Load left to the measurement.
struct Program : test::Program {
    Program() : test::Program(QString(), false) {}
};

using bench::patternName;

// The mid colour slider moved by one step, back and forth, each change
// painted at once as the window would on the next event-loop pass.
void benchSliderToPreview(benchmark::State& st, int pattern)
{
    Program prog;
    FrmMain& main = *prog.main;
    main.Form_Load();
    main.patternPanels()->optPattern(pattern)->click();
    QApplication::processEvents();
    auto* preview = main.findChild<QWidget*>("picPreview");
    auto* slider = main.findChild<QSlider*>("sliHump");
    if (preview == nullptr || slider == nullptr || prog.state.p().pnPattern != pattern) {
        st.SkipWithError("the pattern, its preview box or the mid colour slider is missing");
        return;
    }
    const int from = slider->value();
    const int values[2] = {from, from > slider->minimum() ? from - 1 : from + 1};
    PaintCounter counter;
    preview->installEventFilter(&counter);
    const int drawsBefore = main.previewDraws();
    int k = 0;
    for (auto _ : st) {
        k ^= 1;
        slider->setValue(values[k]);
        preview->repaint();
    }
    if (main.previewDraws() - drawsBefore < st.iterations() || counter.paints < st.iterations()) {
        st.SkipWithError("a slider change did not redraw and repaint the preview");
        return;
    }
    // Whether the step shows at all: a locked slider redraws the same picture.
    slider->setValue(values[0]);
    const QImage before = main.previewPicture().copy();
    slider->setValue(values[1]);
    if (!slider->isEnabled() || main.previewPicture() == before)
        st.SetLabel("slider locked, picture unchanged");
}

// The program started, its image window sized to 1920 x 1080.
FrmPicture* startAtFullHd(Program& prog)
{
    prog.main->Form_Load();
    FrmPicture* picture = &prog.main->picture();
    picture->setClientSize(1920, 1080);
    QApplication::processEvents();
    return picture;
}

// The Show command at a 1920 x 1080 image window, until the window is painted.
void benchShowFullSize(benchmark::State& st)
{
    Program prog;
    FrmMain& main = *prog.main;
    FrmPicture* picture = startAtFullHd(prog);
    const QSize size(1920, 1080);
    auto* view = picture->findChild<QWidget*>("picShow");
    if (picture->size() != size || view == nullptr || view->size() != size) {
        st.SkipWithError("the image window did not take the size 1920 x 1080");
        return;
    }
    PaintCounter counter, bar;
    view->installEventFilter(&counter);
    main.findChild<QWidget*>("ProgressBar1")->installEventFilter(&bar);
    for (auto _ : st) {
        main.Toolbar1_ButtonClick(ToolButton::Show);
        picture->repaint();
        QApplication::processEvents();
    }
    // The picture holds the screen's device pixels (twice as many each way on
    // a screen scaled by 2).
    const double r = deviceRatio(picture);
    const QSize device(toDevice(size.width(), r), toDevice(size.height(), r));
    if (counter.paints < st.iterations() || picture->pictures().picShow.image().size() != device)
        st.SkipWithError("the image window was not repainted at 1920 x 1080 after each Show");
    // How often the progress bar is painted during one Show: part of its cost.
    st.counters["bar_paints"] = benchmark::Counter(bar.paints, benchmark::Counter::kAvgIterations);
}

// From building the main window to its first paint; closing and destroying
// it is not timed.  Qt's one-time set-up (fonts, style, platform) belongs to
// the process, not to a start of the windows, so one program is run first.
void benchStartUp(benchmark::State& st)
{
    static bool warmedUp = false;
    if (!warmedUp) {
        Program().main->Form_Load();
        warmedUp = true;
    }
    for (auto _ : st) {
        PaintCounter counter;
        const auto start = std::chrono::steady_clock::now();
        Program prog;
        prog.main->installEventFilter(&counter);
        prog.main->Form_Load();
        prog.main->repaint();
        QApplication::processEvents();
        const auto end = std::chrono::steady_clock::now();
        st.SetIterationTime(std::chrono::duration<double>(end - start).count());
        if (counter.paints == 0 || !prog.close(Answer::No)) {
            st.SkipWithError("the main window was not painted or did not close");
            break;
        }
    }
}

// Opening a parameter file of a 1920 x 1080 image, from the command to the
// image window painted at that size (the dialog answered at once).
void benchOpenFile(benchmark::State& st)
{
    Program prog;
    FrmMain& main = *prog.main;
    FrmPicture* picture = startAtFullHd(prog);
    prog.prompter.fileName = prog.dir.filePath("big.obp");
    if (!main.commands().mSaveParam()) {
        st.SkipWithError("the parameter file could not be written");
        return;
    }
    picture->setClientSize(260, 200);
    QApplication::processEvents();
    PaintCounter counter;
    auto* view = picture->findChild<QWidget*>("picShow");
    view->installEventFilter(&counter);
    for (auto _ : st) {
        st.PauseTiming();
        picture->setClientSize(260, 200); // each run sizes the window anew
        QApplication::processEvents();
        st.ResumeTiming();
        main.Toolbar1_ButtonClick(ToolButton::Open);
        view->repaint();
        QApplication::processEvents();
    }
    if (picture->size() != QSize(1920, 1080) || counter.paints < st.iterations())
        st.SkipWithError(("the image window was not painted at 1920 x 1080 after each open: " +
                          std::to_string(picture->width()) + " x " +
                          std::to_string(picture->height()) + ", " +
                          std::to_string(counter.paints) + " paints")
                             .c_str());
}

// Save Image As for a 1920 x 1080 image, from the menu item to the file
// renamed into place (the dialog answered at once).
void benchSaveImage(benchmark::State& st, const char* suffix)
{
    Program prog;
    FrmMain& main = *prog.main;
    startAtFullHd(prog);
    const QString file = prog.dir.filePath(QString("big.") + suffix);
    prog.prompter.fileName = file;
    for (auto _ : st)
        if (!main.fileCommands().mSave()) {
            st.SkipWithError("the image could not be saved");
            break;
        }
    const QImage written(file);
    if (written.size() != main.picture().pictures().picShow.image().size())
        st.SkipWithError("the file does not hold the whole image");
    st.counters["file_kB"] = static_cast<double>(QFileInfo(file).size()) / 1024.0;
}

// Three text sets in different fonts, sizes and styles, with copies.
void addTexts(ImageParams& p)
{
    const char* texts[3] = {"Ombrix", "Gradient text", "1920 x 1080"};
    const char* fonts[3] = {"Liberation Sans", "Liberation Serif", "Liberation Mono"};
    for (int k = 0; k < 3; ++k)
        for (int j = 0; j < 3; ++j) {
            const int t = 3 * k + j;
            p.psText[t] = texts[k];
            p.psTextFont[t] = fonts[k];
            p.pnTextSize[t] = static_cast<Integer>(36 + 24 * k);
            p.pnTextStyle[t][0] = k == 0;
            p.pnTextStyle[t][1] = k == 1;
            p.pnTextLeft[t] = static_cast<Integer>(100 + 300 * k + 3 * j);
            p.pnTextTop[t] = static_cast<Integer>(100 + 250 * k + 3 * j);
        }
}

// Placing a text: "Text", a click on the image, the text typed, OK, until
// the new label is painted.  The set is removed again untimed.
void benchPlaceText(benchmark::State& st)
{
    Program prog;
    FrmMain& main = *prog.main;
    FrmPicture* picture = startAtFullHd(prog);
    auto* view = picture->findChild<QWidget*>("picShow");
    auto* label = picture->findChild<QWidget*>("lblText0");
    PaintCounter counter;
    label->installEventFilter(&counter);
    for (auto _ : st) {
        main.button(ToolButton::Text)->trigger();
        const QPoint at(960, 540);
        QMouseEvent press(QEvent::MouseButtonPress, at, view->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, view->mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(view, &press);
        QApplication::sendEvent(view, &release);
        FrmTextProp* dialog = main.textCommands().textDialog();
        if (dialog == nullptr) {
            st.SkipWithError("the text properties dialog did not open");
            return;
        }
        dialog->findChild<QLineEdit*>("txtText")->setText("Placed text");
        dialog->findChild<QPushButton*>("cmdOK")->click();
        label->repaint();
        QApplication::processEvents();
        st.PauseTiming();
        if (prog.state.p().psText[0] != "Placed text" || !label->isVisible()) {
            st.SkipWithError("OK did not place the text");
            return;
        }
        mRemoveTextSet(prog.state.p(), 0);
        picture->mSetTextLabels();
        QApplication::processEvents();
        st.ResumeTiming();
    }
    if (counter.paints < st.iterations())
        st.SkipWithError("the new label was not painted each time");
}

// "Gradtxt" on a 1920 x 1080 image with three text sets, until the window
// is painted.  Repeating the command works on the filled picture, which
// costs the same: a copy, the texts, the exclusive-or.
void benchGradientText(benchmark::State& st)
{
    Program prog;
    FrmMain& main = *prog.main;
    main.Form_Load();
    prog.state.v().pnShowTip[1] = 0; // the hint is modal
    addTexts(prog.state.p());
    FrmPicture* picture = &main.picture();
    picture->setClientSize(1920, 1080);
    main.Toolbar1_ButtonClick(ToolButton::Show);
    QApplication::processEvents();
    auto* view = picture->findChild<QWidget*>("picShow");
    const QImage before = picture->pictures().picShow.image().copy();
    PaintCounter counter;
    view->installEventFilter(&counter);
    for (auto _ : st) {
        main.Toolbar1_ButtonClick(ToolButton::Gradtxt);
        view->repaint();
        QApplication::processEvents();
    }
    if (counter.paints < st.iterations() || !prog.state.flags.pbTextsInPicture ||
        picture->pictures().picShow.image() == before)
        st.SkipWithError("the texts were not filled and painted");
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    benchmark::Initialize(&argc, argv);
    test::quietOffscreenWarnings();
    QApplication app(argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    QApplication::setQuitOnLastWindowClosed(false);

    for (int pattern = 0; pattern < kPatterns; ++pattern)
        benchmark::RegisterBenchmark(("SliderToPreview/" + patternName(pattern)).c_str(),
                                     benchSliderToPreview, pattern)
            ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ShowFullSize/1920x1080", benchShowFullSize)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("OpenFile/1920x1080", benchOpenFile)
        ->Unit(benchmark::kMillisecond);
    for (const char* suffix : {"png", "jpg", "bmp"})
        benchmark::RegisterBenchmark((std::string("SaveImage/1920x1080/") + suffix).c_str(),
                                     benchSaveImage, suffix)
            ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("PlaceText/1920x1080", benchPlaceText)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("GradientText/1920x1080", benchGradientText)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("StartUp", benchStartUp)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
