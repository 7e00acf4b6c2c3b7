// Recorder data paths: frame decoding into the record with its summary, and the points of one
// replot of a day-long two-channel record, whole and zoomed.

#include "DayRecord.h"
#include "recorder/RecorderEnvelope.h"
#include "recorder/RecorderStream.h"

#include "../common/SineStream.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

using namespace tesmar;

// 16 MB in 512-byte reads, as the reader thread takes them; one or both channels, N = 1.
void BM_FrameDecoding(benchmark::State& state)
{
    const std::vector<std::uint8_t> data = bench::SineStream(16 << 20);
    RecorderSettings settings;
    settings.chBOn = state.range(0) == 2;
    settings.averaging = static_cast<int>(state.range(1));
    settings.pairA = settings.pairB = {2.5, 7.5e-5};
    settings.liveDisplay = false;
    settings.dynamicMemory = true;
    for (auto _ : state) {
        state.PauseTiming();
        auto stream = std::make_unique<RecorderStream>(settings, [] { return std::uint64_t{8} << 30; });
        stream->prepare();
        state.ResumeTiming();
        for (std::size_t at = 0; at < data.size(); at += 512) {
            stream->feed(data.data() + at, 512);
            stream->publish();
        }
        benchmark::DoNotOptimize(stream->record().count());
        state.PauseTiming();
        stream.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(data.size()));
}
// Channels, averaging N.
BENCHMARK(BM_FrameDecoding)->Args({1, 1})->Args({2, 1})->Args({1, 8})->Unit(benchmark::kMillisecond);

// The points both curves of a 1500-pixel plot need for a window of the record.
void BM_DayRecordEnvelope(benchmark::State& state)
{
    const RecorderRecord& record = bench::DayRecord();
    const double day = record.timeOf(0, bench::kDayPoints - 1);
    const double share = state.range(0) / 100'000.0; // of the whole record
    const double from = day * 0.37;
    std::vector<ChartPoint> points;
    std::size_t drawn = 0;
    for (auto _ : state) {
        for (int ch = 0; ch < 2; ++ch) {
            BuildEnvelope(record, ch, from * (1 - share), from * (1 - share) + day * share, 1500, points);
            drawn += points.size();
        }
        benchmark::DoNotOptimize(drawn);
    }
    state.counters["points"] = static_cast<double>(drawn) / static_cast<double>(state.iterations());
}
// 100 000: the whole day; 1000: a 1 % zoom; 1: 0.86 s (the exact samples).
BENCHMARK(BM_DayRecordEnvelope)->Arg(100'000)->Arg(1000)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
