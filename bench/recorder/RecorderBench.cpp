// Recorder data paths: frame decoding into the record with its summary, the points of one
// replot of a day-long two-channel record, whole and zoomed, and the open and save of a
// two-hour two-channel data file with their peak memory.

#include "DayRecord.h"
#include "RecordFileBench.h"
#include "formats/DataFileLoad.h"
#include "formats/DataFileSource.h"
#include "recorder/RecorderDataFile.h"
#include "recorder/RecorderEnvelope.h"
#include "recorder/RecorderStream.h"

#include "../common/SineStream.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <vector>

namespace {

using namespace tesmar;

// Two hours at 1 ms on both channels: 7.2 M points each, a 115 MB file.
constexpr std::size_t kTwoHourPoints = 7'200'000;

std::unique_ptr<RecorderStream> TwoHourRecord()
{
    std::minstd_rand random(5);
    return RecorderStream::FromReader(1e-3, kTwoHourPoints, kTwoHourPoints, [&](int ch, std::size_t first, std::span<double> out) {
        for (std::size_t i = 0; i < out.size(); ++i)
            out[i] = (ch == 0 ? 1 : -1) * std::sin(double(first + i) * 1e-4) + (double(random()) / random.max() - 0.5) * 0.1;
        return true;
    });
}

DataFileView TwoHourFile(const RecorderRecord& record)
{
    RecorderSettingsChunk settings;
    settings.samplePeriod = record.layout().pointPeriod;
    settings.sbRecOnCh1 = settings.sbRecOnCh2 = true;
    return {DataFile{settings, {}, {}, {}, {}, {}}, RecordValues(record, 0), RecordValues(record, 1)};
}

std::string TwoHourPath()
{
    return (std::filesystem::temp_directory_path() / "tesmar-bench-two-hours.dat").string();
}

// before_MB: resident before the timed part (for a save, the record is in it); added_MB: what
// the operation's peak adds to it.
void Report(benchmark::State& state, const bench::ChildFigures& f)
{
    if (!f.ok) {
        state.SkipWithError("the child failed");
        return;
    }
    state.SetIterationTime(f.seconds);
    state.counters["before_MB"] = f.baseMB;
    state.counters["peak_MB"] = f.peakMB;
    state.counters["added_MB"] = f.peakMB - f.baseMB;
}

// Arg 0: written from the record's chunks; 1: the values copied first, as files were saved before.
void BM_TwoHourSave(benchmark::State& state)
{
    const bool copied = state.range(0) == 1;
    for (auto _ : state) {
        std::unique_ptr<RecorderStream> stream;
        const auto figures = bench::MeasureInChild(
            [&] {
                stream = TwoHourRecord();
                return stream != nullptr;
            },
            [&] {
                DataFileView view = TwoHourFile(stream->record());
                if (!copied)
                    return SaveDataFile(TwoHourPath(), view).empty();
                DataFile file = view.head;
                for (int ch = 0; ch < 2; ++ch) {
                    std::vector<double> values(kTwoHourPoints);
                    for (std::size_t i = 0; i < kTwoHourPoints; ++i)
                        values[i] = stream->record().channel(ch).at(i);
                    (ch == 0 ? file.channelA : file.channelB) = std::move(values);
                }
                return SaveDataFile(TwoHourPath(), file).empty();
            });
        Report(state, figures);
    }
}
BENCHMARK(BM_TwoHourSave)->Arg(0)->Arg(1)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// Arg 0: the file checked by its headers and read in pieces into the record; 1: read whole, into
// vectors, then into the record, as files were opened before.
void BM_TwoHourOpen(benchmark::State& state)
{
    const bool copied = state.range(0) == 1;
    // The file is written by a child of its own, so this process never holds the record.
    bench::MeasureInChild([] { return true; }, [] {
        const auto stream = TwoHourRecord();
        return stream && SaveDataFile(TwoHourPath(), TwoHourFile(stream->record())).empty();
    });
    const double fileMB = static_cast<double>(std::filesystem::file_size(TwoHourPath())) / (1 << 20);
    for (auto _ : state) {
        const auto figures = bench::MeasureInChild([] { return true; }, [&] {
            std::unique_ptr<RecorderStream> stream;
            if (copied) {
                const auto bytes = ReadWholeFile(TwoHourPath());
                if (!bytes)
                    return false;
                const auto read = ReadDataFile(*bytes);
                const auto* file = std::get_if<DataFile>(&read);
                if (!file)
                    return false;
                stream = RecorderStream::FromValues(1e-3, &*file->channelA, &*file->channelB);
            } else {
                std::string problem;
                const auto source = FileDataSource::Open(TwoHourPath(), problem);
                if (!source)
                    return false;
                const auto scanned = ScanDataFile(*source);
                const auto* scan = std::get_if<DataFileScan>(&scanned);
                if (!scan)
                    return false;
                stream = RecordFromDataFile(*scan, *source);
            }
            return stream && stream->record().count() == kTwoHourPoints;
        });
        Report(state, figures);
        state.counters["file_MB"] = fileMB;
    }
    std::filesystem::remove(TwoHourPath());
}
BENCHMARK(BM_TwoHourOpen)->Arg(0)->Arg(1)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

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
