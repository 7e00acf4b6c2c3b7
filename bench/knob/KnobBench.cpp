// Runs on the offscreen platform unless another one is chosen.
#include "ui/knob/KnobFactory.h"
#include "ui/knob/KnobScales.h"
#include "ui/knob/ScaleLineParser.h"
#include "ui/knob/TOscKnob.h"

#include <QApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

using tesmar::TOscKnob;

std::unique_ptr<TOscKnob> TimeBaseKnob() {
    return std::unique_ptr<TOscKnob>(tesmar::CreatePageKnob("knOscTimeDiv", nullptr));
}

// One repaint: the face is copied, the pointer, outline and caption drawn.
void BM_KnobRepaint(benchmark::State& state) {
    auto knob = TimeBaseKnob();
    QImage target(knob->size(), QImage::Format_RGB32);
    knob->render(&target); // delivers the pending first-show events
    const int rebuildsBefore = knob->faceRebuildCount();
    int index = 0;
    for (auto _ : state) {
        knob->setIndexSelectData(index = (index + 1) % 39);
        knob->render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
    state.counters["face_rebuilds"] = knob->faceRebuildCount() - rebuildsBefore;
}
BENCHMARK(BM_KnobRepaint);

// One face rebuild: discs, 39 ticks and the scale labels into the off-screen image.
void BM_KnobFaceRebuild(benchmark::State& state) {
    auto knob = TimeBaseKnob();
    for (auto _ : state)
        knob->rebuildFace();
}
BENCHMARK(BM_KnobFaceRebuild);

// Parsing the 60 lines of the largest scale.
void BM_ScaleParse(benchmark::State& state) {
    const auto lines = tesmar::PageKnobScale("knRecTimeDiv")->lines;
    for (auto _ : state)
        for (const auto& line : lines)
            benchmark::DoNotOptimize(tesmar::ParseScaleLine(line));
}
BENCHMARK(BM_ScaleParse);

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
