// Runs on the offscreen platform unless another one is chosen.
#include "logic/LogicStreamRecorder.h"
#include "logic/LogicSearch.h"
#include "logic/LogicSummary.h"
#include "formats/SigrokSession.h"

#include <filesystem>

#ifdef TESMAR_BENCH_CHART
#include "app/pages/logic/LanChart.h"

#include <QApplication>
#endif

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

namespace {

using namespace tesmar;

// Bytes as the instrument streams them: 512-byte blocks of a busy bus.
std::vector<std::uint8_t> Traffic(std::size_t n)
{
    std::vector<std::uint8_t> v(n);
    std::uint32_t x = 12345;
    for (auto& b : v) {
        x = x * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>(x >> 24) & 0x7F; // bit 7 never set: the trigger never fires
    }
    return v;
}

// The software trigger searching every byte (worst case: it never fires) in 512-byte blocks.
void BM_StreamTriggerSearch(benchmark::State& state)
{
    const std::size_t depth = 16 << 20;
    const auto input = Traffic(depth);
    std::vector<std::uint8_t> capture(depth);
    for (auto _ : state) {
        LogicStreamRecorder r(capture, depth / 2, {false, 0x80, 0, true});
        for (std::size_t i = 0; i < depth; i += 512)
            r.feed(std::span(input).subspan(i, 512));
        benchmark::DoNotOptimize(r.triggered());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * depth));
}
BENCHMARK(BM_StreamTriggerSearch)->Unit(benchmark::kMillisecond);

// Storing after the trigger (or without one).
void BM_StreamStore(benchmark::State& state)
{
    const std::size_t depth = 16 << 20;
    const auto input = Traffic(depth);
    std::vector<std::uint8_t> capture(depth);
    for (auto _ : state) {
        LogicStreamRecorder r(capture, 0, {});
        for (std::size_t i = 0; i < depth; i += 512)
            r.feed(std::span(input).subspan(i, 512));
        benchmark::DoNotOptimize(capture.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * depth));
}
BENCHMARK(BM_StreamStore)->Unit(benchmark::kMillisecond);

constexpr std::size_t kHuge = std::size_t{256} << 20;

const std::vector<std::uint8_t>& HugeCapture()
{
    static const std::vector<std::uint8_t> capture = Traffic(kHuge);
    return capture;
}

void BM_SummaryBuild256M(benchmark::State& state)
{
    const auto& capture = HugeCapture();
    for (auto _ : state) {
        LogicSummary s(capture);
        benchmark::DoNotOptimize(s.memoryBytes());
        state.counters["summary_MB"] = static_cast<double>(s.memoryBytes()) / (1 << 20);
    }
}
BENCHMARK(BM_SummaryBuild256M)->Unit(benchmark::kMillisecond)->Iterations(1);

// Searches over a 256 M-sample stream capture that find nothing: a value absent from busy
// traffic (a byte scan), and an edge on a line that never changes (the summary's blocks).
void BM_Search256MNoHit(benchmark::State& state)
{
    const std::vector<std::uint8_t> samples = Traffic(std::size_t{256} << 20);
    const LogicSummary summary(samples);
    LogicSearchRequest r;
    r.byValue = state.range(0) == 0;
    r.value = 0x80;
    r.lineMask = 0x80;
    r.edge = LogicEdge::Any;
    r.forward = state.range(1) != 0;
    r.start = r.forward ? 0 : static_cast<std::int64_t>(samples.size());
    for (auto _ : state)
        benchmark::DoNotOptimize(FindInCapture(samples, &summary, r));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(samples.size()));
}
BENCHMARK(BM_Search256MNoHit)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond);

// A 64 M-sample 8-line capture to a sigrok session file and back (disk and zip compression).
void BM_SigrokSession64M(benchmark::State& state)
{
    CaptureSamples capture;
    capture.busA = Traffic(std::size_t{64} << 20);
    capture.samplePeriod = 1e-6;
    const auto path = (std::filesystem::temp_directory_path() / "tesmar-bench.sr").string();
    for (auto _ : state) {
        if (!WriteSigrokSession(path, capture).empty())
            state.SkipWithError("write failed");
        const auto back = ReadSigrokSession(path);
        if (!std::holds_alternative<CaptureImport>(back))
            state.SkipWithError("read failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * 2 * capture.busA.size()));
    std::filesystem::remove(path);
}
BENCHMARK(BM_SigrokSession64M)->Unit(benchmark::kMillisecond)->Iterations(1);

#ifdef TESMAR_BENCH_CHART
// One replot of a 256 M-sample 8-line capture in a 1000-pixel plot, whole (range 0) and at 1 %.
void BM_ReplotHuge(benchmark::State& state)
{
    const auto& capture = HugeCapture();
    static const LogicSummary summary(capture);
    LanChart chart;
    chart.resize(1100, 600);
    chart.setBus(0, {capture, &summary, 0.0, 1.0, 0xFF});
    const double width = state.range(0) == 0 ? static_cast<double>(kHuge) : kHuge / 100.0;
    chart.xAxis->setRange(kHuge / 3.0, kHuge / 3.0 + width);
    for (auto _ : state)
        chart.replot(QCustomPlot::rpImmediateRefresh);
    state.counters["strokes"] = chart.lastStrokeCount();
}
BENCHMARK(BM_ReplotHuge)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
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
