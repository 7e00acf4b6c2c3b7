// How fast the virtual instrument makes analogue data: it must stay well ahead of the real
// instrument's 200 000 samples/s (250 000 stream bytes/s) so -SIM runs in real time.

#include "device/AnalogBlockBuilders.h"
#include "sim/AnalogEngine.h"
#include "sim/InstrumentState.h"

#include <benchmark/benchmark.h>

namespace tesmar {
namespace {

void Start(AnalogEngine& engine, InstrumentState& state, const OscBlockInput& in)
{
    const OscBlock built = BuildOscBlock(in);
    SetupPacket setup;
    setup.bRequest = built.bRequest;
    setup.wValue = built.wValue;
    setup.wIndex = built.wIndex;
    engine.onCommand(setup, {built.block.bytes.begin(), built.block.bytes.end()}, state);
}

void BM_StreamRead512(benchmark::State& bench)
{
    SimClock clock;
    AnalogEngine engine(clock);
    InstrumentState state;
    OscBlockInput in;
    in.timeDiv = 5e-6; // 200 kHz
    in.rangeA = 2.0;
    in.streamMode = true;
    Start(engine, state, in);
    std::int64_t late = std::int64_t{1} << 50; // everything is due
    for (auto _ : bench)
        benchmark::DoNotOptimize(engine.produce(512, late));
    bench.SetBytesProcessed(bench.iterations() * 512);
}
BENCHMARK(BM_StreamRead512);

// One level-triggered buffer record at 200 kHz: converter, trigger filter, ring and frame.
void BM_TriggeredBufferRecord(benchmark::State& bench)
{
    SimClock clock;
    AnalogEngine engine(clock);
    InstrumentState state;
    OscBlockInput in;
    in.timeDiv = 5e-6;
    in.rangeA = 2.0;
    in.triggerOn = true;
    for (auto _ : bench) {
        Start(engine, state, in);
        std::vector<std::uint8_t> first;
        for (std::int64_t now = clock.nowUs(); first.empty(); now += 10'000)
            first = engine.produce(512, now);
        benchmark::DoNotOptimize(first);
    }
}
BENCHMARK(BM_TriggeredBufferRecord);

} // namespace
} // namespace tesmar

BENCHMARK_MAIN();
