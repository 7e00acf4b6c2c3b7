// Runs on the offscreen platform unless another one is chosen.
#include "spectrum/SpectrumProcessing.h"

#ifdef TESMAR_BENCH_CHART
#include "app/pages/spectrum/FftChart.h"

#include <QApplication>
#endif

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <vector>

namespace {

using namespace tesmar;

constexpr int kLength = 65'536;
constexpr double kRate = 200'000;

std::vector<double> Signal(double frequency, double amplitude)
{
    std::vector<double> x(kLength);
    for (int n = 0; n < kLength; ++n)
        x[n] = amplitude * std::sin(2 * std::numbers::pi * frequency * n / kRate) +
               0.1 * amplitude * std::sin(6 * std::numbers::pi * frequency * n / kRate);
    return x;
}

struct Inputs {
    std::vector<double> a = Signal(1000, 2), b = Signal(500, 1);
    std::array<SpectrumChannelInput, 2> channels{};
    Inputs()
    {
        channels[0] = {true, a};
        channels[1] = {true, b};
        channels[1].scale.dB = true;
    }
};

// ProcessSpectrum(full) on both channels, Blackman-Harris window: parameters, spectra, peaks,
// distortion and curves.
void BM_ProcessSpectrumFull(benchmark::State& state)
{
    Inputs in;
    SpectrumSettings settings;
    settings.window = SpectrumWindow::Harris;
    SpectrumRecord record;
    for (auto _ : state) {
        record.length = kLength;
        record.sampleRate = kRate;
        ProcessSpectrum(SpectrumMode::Full, record, in.channels, settings);
        benchmark::DoNotOptimize(record.channels[1].curve.y.data());
    }
}
BENCHMARK(BM_ProcessSpectrumFull)->Unit(benchmark::kMillisecond);

// Both channels in a buffer read: 563 samples each in a 1024-point transform, no window (the
// costliest case: kг and k3 then take a second, Hann-windowed spectrum).
void BM_ProcessSpectrumTwoChannelBuffer(benchmark::State& state)
{
    Inputs in;
    in.channels[0].samples = std::span(in.a).first(563);
    in.channels[1].samples = std::span(in.b).first(563);
    SpectrumSettings settings;
    SpectrumRecord record;
    for (auto _ : state) {
        record.length = 1024;
        record.sampleRate = kRate;
        ProcessSpectrum(SpectrumMode::Full, record, in.channels, settings);
        benchmark::DoNotOptimize(record.channels[1].curve.y.data());
    }
}
BENCHMARK(BM_ProcessSpectrumTwoChannelBuffer)->Unit(benchmark::kMicrosecond);

#ifdef TESMAR_BENCH_CHART
// One cyclic step: the processing above, then both 32 769-point curves into the chart and a replot.
void BM_CyclicStepWithReplot(benchmark::State& state)
{
    Inputs in;
    SpectrumSettings settings;
    settings.window = SpectrumWindow::Harris;
    SpectrumRecord record;
    FftChart chart;
    chart.resize(1000, 600);
    chart.xAxis->setRange(0, kRate / 2000);
    chart.yAxis2->setRange(-60.1, 25);
    for (auto _ : state) {
        record.length = kLength;
        record.sampleRate = kRate;
        ProcessSpectrum(SpectrumMode::Full, record, in.channels, settings);
        for (int ch = 0; ch < 2; ++ch) {
            const auto& c = record.channels[ch].curve;
            (ch == 0 ? chart.srFFT_Ch1 : chart.srFFT_Ch2)
                ->setData(QVector<double>(c.x.begin(), c.x.end()), QVector<double>(c.y.begin(), c.y.end()), true);
        }
        chart.replot(QCustomPlot::rpImmediateRefresh);
    }
}
BENCHMARK(BM_CyclicStepWithReplot)->Unit(benchmark::kMillisecond);
#endif

} // namespace

int main(int argc, char** argv)
{
#ifdef TESMAR_BENCH_CHART
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
#endif
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
