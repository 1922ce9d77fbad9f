#include "core/mascot/MascotBrain.h"
#include "ui/mascot/MascotLayers.h"
#include "ui/mascot/MascotView.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

// One frame of the popover's mascot: the brain advances, then the frame is painted at 64 x 64 px
// as the popup's view paints it, over the body images it keeps.
static void BM_FrameAndPaint64(benchmark::State& state) {
    MascotBrain brain(MascotBrain::Mood::Content, true);
    brain.setTalking(true); // waves and every spring in motion: the busiest frame
    brain.flash("play", 1e9);
    QImage img(64, 64, QImage::Format_ARGB32_Premultiplied);
    MascotLayers layers;
    double t = 0;
    for (auto _ : state) {
        img.fill(Qt::transparent);
        QPainter p(&img);
        t += 1.0 / 60;
        layers.paint(p, brain.frame(t), QRectF(0, 0, 64, 64), false);
        benchmark::DoNotOptimize(img.constBits());
    }
}
BENCHMARK(BM_FrameAndPaint64)->MeasureProcessCPUTime()->Unit(benchmark::kMicrosecond);

// The same frames drawn entirely as paths, as the icons are.
static void BM_FrameAndPaintPaths64(benchmark::State& state) {
    MascotBrain brain(MascotBrain::Mood::Content, true);
    brain.setTalking(true);
    brain.flash("play", 1e9);
    QImage img(64, 64, QImage::Format_ARGB32_Premultiplied);
    double t = 0;
    for (auto _ : state) {
        img.fill(Qt::transparent);
        QPainter p(&img);
        t += 1.0 / 60;
        MascotView::draw(p, brain, QRectF(0, 0, 64, 64), t, false);
        benchmark::DoNotOptimize(img.constBits());
    }
}
BENCHMARK(BM_FrameAndPaintPaths64)->MeasureProcessCPUTime()->Unit(benchmark::kMicrosecond);

static void BM_FrameOnly(benchmark::State& state) {
    MascotBrain brain(MascotBrain::Mood::Neutral, true);
    brain.setTalking(true);
    double t = 0;
    for (auto _ : state) {
        t += 1.0 / 60;
        benchmark::DoNotOptimize(brain.frame(t));
    }
}
BENCHMARK(BM_FrameOnly)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
