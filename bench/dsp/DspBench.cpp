// Costs of the per-record processing: transforms, spectral filter, parameters, wavelet smoothing.

#include "dsp/FFT87B2.h"
#include "dsp/SignalParams.h"
#include "dsp/WavUtils.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

namespace tesmar {
namespace {

std::vector<double> NoisyTone(std::size_t n, unsigned seed) {
    std::mt19937 generator(seed);
    std::normal_distribution<double> noise(0.0, 0.05);
    std::vector<double> x(n);
    for (std::size_t i = 0; i < n; ++i)
        x[i] = std::sin(0.031 * static_cast<double>(i)) + noise(generator);
    return x;
}

void BM_RealFFT(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> input = NoisyTone(n, 1);
    FFTArray re, im;
    std::uint8_t status = 0;
    for (auto _ : state) {
        std::copy(input.begin(), input.end(), re.begin());
        RealFFT(n, re, im, status);
        benchmark::DoNotOptimize(re.data());
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_RealFFT)->RangeMultiplier(2)->Range(1024, 65536);

void BM_ComplexFFT(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> input = NoisyTone(2 * n, 2);
    FFTArray re, im;
    std::uint8_t status = 0;
    for (auto _ : state) {
        std::copy(input.begin(), input.begin() + n, re.begin());
        std::copy(input.begin() + n, input.end(), im.begin());
        ComplexFFT(n, false, re, im, status);
        benchmark::DoNotOptimize(re.data());
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_ComplexFFT)->RangeMultiplier(2)->Range(1024, 65536);

void BM_SpectralFilter(benchmark::State& state) {
    const std::vector<double> input = NoisyTone(1024, 3);
    const std::vector<FilterPoint> lowPass = {{1, 1}, {5000, 1}, {10000, 0}};
    std::vector<double> samples(input.size());
    for (auto _ : state) {
        samples = input;
        SpectralFilter(samples, lowPass, 100000.0);
        benchmark::DoNotOptimize(samples.data());
    }
}
BENCHMARK(BM_SpectralFilter);

void BM_ComputeSignalParams(benchmark::State& state) {
    const std::vector<double> input = NoisyTone(65536, 4);
    for (auto _ : state)
        benchmark::DoNotOptimize(ComputeSignalParams(input, 1'000'000.0));
}
BENCHMARK(BM_ComputeSignalParams);

void BM_WaveletSmooth(benchmark::State& state) {
    const std::vector<double> input = NoisyTone(65536, 5);
    for (auto _ : state)
        benchmark::DoNotOptimize(WaveletSmooth(input, 5, 3));
}
BENCHMARK(BM_WaveletSmooth);

} // namespace
} // namespace tesmar

BENCHMARK_MAIN();
