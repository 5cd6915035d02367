// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing speed of the twelve patterns, measured against the cheapest thing
// a full-size drawing can do: one fill of the same picture.
//
// Every full-size figure carries a counter "x_fill", its wall time per
// drawing divided by the wall time of one fill of a picture of the same size
// measured earlier in the same run, so the figures stay comparable however
// busy the machine is.  Wall time, because a large picture's rows are drawn
// on two threads; "Serial/..." draws the same on one, for the comparison.
// The fills are registered before the drawings so that they run first; with
// a filter that leaves them out the counter is simply missing.
//
// Targets the figures are read against (reported, never enforced here):
//   every pattern at 3840 x 2160 within 6 x one fill, and every preview
//   (150 x 110) under 0.25 ms.
#include "model/image_params.h"
#include "picture/full_image.h"
#include "render/drivers.h"
#include "render/engine.h"
#include "render/qimage_surface.h"
#include "render/span_surface.h"

#include "bench_names.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <chrono>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>

namespace
{

using namespace ombrix;

struct PictureSize {
    int width;
    int height;
};

constexpr PictureSize kSizes[] = {{1920, 1080}, {3840, 2160}};
constexpr int kRepetitions[] = {1, 3};

double wallSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Seconds per fill, by picture size, from the fill benchmarks of this run.
std::map<std::pair<int, int>, double>& fillSeconds()
{
    static std::map<std::pair<int, int>, double> seconds;
    return seconds;
}

std::string sizeName(PictureSize s)
{
    return std::to_string(s.width) + "x" + std::to_string(s.height);
}

using bench::patternName;

// Preset 3 (the start-up image) with the given pattern and repetition.  The
// record keeps its own pnRotation of 1.
ImageParams benchParams(int pattern, int repetition)
{
    ImageModel model;
    model.mSetDefaults(3);
    model.params.pnPattern = static_cast<Integer>(pattern);
    model.params.pnHorRep = static_cast<Integer>(repetition);
    model.params.pnVerRep = static_cast<Integer>(repetition);
    model.params.pnRotation = 1;
    return model.params;
}

void setPixelCounters(benchmark::State& state, PictureSize size)
{
    const double pixels = static_cast<double>(size.width) * size.height;
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * pixels));
    state.counters["MPixel"] = pixels / 1e6;
}

void reportAgainstFill(benchmark::State& state, PictureSize size, double seconds)
{
    const auto& fills = fillSeconds();
    const auto it = fills.find({size.width, size.height});
    if (it == fills.end() || it->second <= 0.0 || state.iterations() == 0)
        return;
    const double perDrawing = seconds / static_cast<double>(state.iterations());
    state.counters["x_fill"] = perDrawing / it->second;
}

// One QImage::fill of the visible full-size picture: the unit of the ratio.
void benchFill(benchmark::State& state, PictureSize size)
{
    FullSizePictures pics;
    pics.resize(size.width, size.height);
    const ImageParams p = benchParams(kShadedEllipse, 1);
    const Colour& c = p.plColor[2];
    QImage& picture = pics.picShow.image();
    const QRgb colour = toQRgb(num::rgb(c[0], c[1], c[2]));
    const double start = wallSeconds();
    for (auto _ : state) {
        picture.fill(colour);
        benchmark::DoNotOptimize(picture.constBits());
        benchmark::ClobberMemory();
    }
    const double seconds = wallSeconds() - start;
    if (state.iterations() > 0)
        fillSeconds()[{size.width, size.height}] =
            seconds / static_cast<double>(state.iterations());
    setPixelCounters(state, size);
}

// The image window's drawing: clear the source, draw one tile, tile it over
// the visible picture.  The pictures are allocated once, outside the loop.
void benchFullSize(benchmark::State& state, int pattern, PictureSize size, int repetition,
                   bool parallel)
{
    SpanSurface::setParallel(parallel);
    const ImageParams p = benchParams(pattern, repetition);
    FullSizePictures pics;
    pics.resize(size.width, size.height);
    RenderContext ctx(p);
    ctx.pbFullSize = true;
    const double start = wallSeconds();
    for (auto _ : state) {
        mDrawFullSize(ctx, pics, static_cast<Integer>(size.width),
                      static_cast<Integer>(size.height));
        benchmark::DoNotOptimize(pics.picShow.image().constBits());
        benchmark::ClobberMemory();
    }
    const double seconds = wallSeconds() - start;
    SpanSurface::setParallel(true);
    reportAgainstFill(state, size, seconds);
    setPixelCounters(state, size);
}

// The finished picture as the command line and the image window get it:
// allocation of the pictures, the drawing, borders and texts.
void benchFinishedImage(benchmark::State& state, PictureSize size)
{
    const ImageParams p = benchParams(kShadedEllipse, 3);
    FullImageOptions options;
    options.width = size.width;
    options.height = size.height;
    const double start = wallSeconds();
    for (auto _ : state) {
        QImage picture = renderFullImage(p, options);
        benchmark::DoNotOptimize(picture.constBits());
        benchmark::ClobberMemory();
    }
    const double seconds = wallSeconds() - start;
    reportAgainstFill(state, size, seconds);
    setPixelCounters(state, size);
}

// The main window's preview box: one tile stretched over 150 x 110 pixels.
void benchPreview(benchmark::State& state, int pattern)
{
    const ImageParams p = benchParams(pattern, 1);
    SpanSurface preview(150, 110, DrawStyle::Solid);
    RenderContext ctx(p);
    for (auto _ : state) {
        mDrawPreview(ctx, preview);
        benchmark::DoNotOptimize(preview.image().constBits());
        benchmark::ClobberMemory();
    }
}

void registerAll()
{
    for (const PictureSize size : kSizes) {
        const std::string sz = sizeName(size);
        benchmark::RegisterBenchmark(("Fill/" + sz).c_str(), benchFill, size)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        for (int pattern = 0; pattern < kPatterns; ++pattern)
            for (const int rep : kRepetitions) {
                const std::string name = "FullSize/" + patternName(pattern) + "/" + sz + "/rep" +
                                         std::to_string(rep) + "x" + std::to_string(rep);
                benchmark::RegisterBenchmark(name.c_str(), benchFullSize, pattern, size, rep, true)
                    ->Unit(benchmark::kMillisecond)
                    ->UseRealTime();
            }
        for (int pattern = 0; pattern < kPatterns; ++pattern) {
            const std::string name = "Serial/" + patternName(pattern) + "/" + sz + "/rep1x1";
            benchmark::RegisterBenchmark(name.c_str(), benchFullSize, pattern, size, 1, false)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        }
        benchmark::RegisterBenchmark(("FinishedImage/Preset3/" + sz + "/rep3x3").c_str(),
                                     benchFinishedImage, size)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    for (int pattern = 0; pattern < kPatterns; ++pattern)
        benchmark::RegisterBenchmark(("Preview/" + patternName(pattern) + "/150x110").c_str(),
                                     benchPreview, pattern)
            ->Unit(benchmark::kMicrosecond);
}

} // namespace

int main(int argc, char** argv)
{
    // Texts need the font database, hence a Gui application; nothing here
    // needs a screen.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    QGuiApplication app(argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    registerAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
