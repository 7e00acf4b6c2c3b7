// The calibration grid search for a full table of 18 rows, on both ranges: it runs on the
// user-interface thread, so it must end within a fraction of a second.

#include "service/CalibrationFit.h"

#include <benchmark/benchmark.h>

namespace {

void Fit(benchmark::State& state, const tesmar::CalibrationPair& old, double span)
{
    std::vector<tesmar::CalibrationRow> rows;
    for (int i = 0; i < 18; ++i) {
        const double reference = -span + 2 * span * i / 17.0;
        rows.push_back({(reference - 0.013) / 1.021, reference});
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(tesmar::FitCalibration(rows, old, state.range(0) != 0));
}

void BM_FitNormalRange(benchmark::State& state)
{
    Fit(state, tesmar::CalibrationSet{}.aNormal, 2.0);
}

void BM_FitAttenuatedRange(benchmark::State& state)
{
    Fit(state, tesmar::CalibrationSet{}.aAttenuated, 20.0);
}

} // namespace

BENCHMARK(BM_FitNormalRange)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FitAttenuatedRange)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
