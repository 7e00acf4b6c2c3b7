// Oscilloscope data paths: the stream decoder with averaging and the software trigger, and one
// buffer-mode record from frame to processed curves.

#include "osc/OscBufferDecoder.h"
#include "osc/OscProcessing.h"
#include "osc/OscStreamRecorder.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

using namespace tesmar;

// A sine in 5-byte groups, as the instrument streams it.
std::vector<std::uint8_t> SineStream(std::size_t bytes)
{
    std::vector<std::uint8_t> data(bytes);
    int n = 0;
    for (std::size_t g = 0; g + 5 <= bytes; g += 5) {
        std::uint8_t low = 0;
        for (int k = 0; k < 4; ++k, ++n) {
            const int raw = 512 + static_cast<int>(400 * std::sin(n * 0.01));
            data[g + k] = static_cast<std::uint8_t>(raw >> 2);
            low |= static_cast<std::uint8_t>((raw & 3) << (2 * k));
        }
        data[g + 4] = low;
    }
    return data;
}

void BM_StreamDecode(benchmark::State& state)
{
    const auto stream = SineStream(512 * 2000);
    OscAcquisitionParams params;
    params.block.bytes[0] = AnalogBlock::kStream | AnalogBlock::kTriggerOn;
    params.pairA = CalibrationSet{}.aNormal;
    params.capacity = 65'536;
    params.preTrigger = 1000;
    params.triggerOn = true;
    params.level = 100.0; // never reached: every point goes through the trigger test
    params.averaging = static_cast<int>(state.range(0));
    OscResult result;
    for (auto _ : state) {
        OscStreamRecorder recorder(params, result);
        for (std::size_t at = 0; at < stream.size(); at += 512)
            recorder.feed(stream.data() + at, 512);
        benchmark::DoNotOptimize(result.ValuesA.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * stream.size()));
}
BENCHMARK(BM_StreamDecode)->Arg(1)->Arg(8);

void BM_BufferRecordToCurves(benchmark::State& state)
{
    const auto bytes = SineStream(kOscFrameSize);
    OscFrame frame{};
    std::copy(bytes.begin(), bytes.end(), frame.begin());
    OscAcquisitionParams params;
    params.pairA = CalibrationSet{}.aNormal;
    OscResult result;
    for (auto _ : state) {
        DecodeOscBuffer(frame, params, {}, result);
        const ProcessedRecord processed = ProcessOscRecord(result, 5e-6, true, {}, {}, ChannelMath::None);
        benchmark::DoNotOptimize(processed.a.values.data());
    }
}
BENCHMARK(BM_BufferRecordToCurves);

} // namespace

BENCHMARK_MAIN();
