// Oscilloscope data paths: the stream decoder with averaging and the software trigger, and one
// buffer-mode record from frame to processed curves.

#include "osc/OscBufferDecoder.h"
#include "osc/OscProcessing.h"
#include "osc/OscStreamRecorder.h"

#include "../common/SineStream.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

using namespace tesmar;

void BM_StreamDecode(benchmark::State& state)
{
    const auto stream = bench::SineStream(512 * 2000);
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
    const auto bytes = bench::SineStream(kOscFrameSize);
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
