// RealFFT and ComplexFFT against FFTW (FFTW_ESTIMATE plans made outside the timed loop) on the
// same data. Each iteration runs both transforms back to back and the counters report the two
// mean times and their ratio, so that load from other processes affects both alike.

#include "dsp/FFT87B2.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <chrono>
#include <cmath>
#include <random>
#include <vector>

namespace tesmar {
namespace {

using Clock = std::chrono::steady_clock;

std::vector<double> NoisyTone(std::size_t n, unsigned seed) {
    std::mt19937 generator(seed);
    std::normal_distribution<double> noise(0.0, 0.05);
    std::vector<double> x(n);
    for (std::size_t i = 0; i < n; ++i)
        x[i] = std::sin(0.031 * static_cast<double>(i)) + noise(generator);
    return x;
}

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

void Report(benchmark::State& state, double oursSeconds, double fftwSeconds) {
    const double iterations = static_cast<double>(state.iterations());
    state.counters["tesmar_us"] = 1e6 * oursSeconds / iterations;
    state.counters["fftw_us"] = 1e6 * fftwSeconds / iterations;
    state.counters["ratio"] = oursSeconds / fftwSeconds;
}

void BM_RealFFTvsFFTW(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> input = NoisyTone(n, 1);
    FFTArray re, im;
    double* in = fftw_alloc_real(n);
    fftw_complex* out = fftw_alloc_complex(n / 2 + 1);
    fftw_plan plan = fftw_plan_dft_r2c_1d(n, in, out, FFTW_ESTIMATE);
    double ours = 0.0, theirs = 0.0;
    std::uint8_t status = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        std::copy(input.begin(), input.end(), re.begin());
        RealFFT(n, re, im, status);
        benchmark::DoNotOptimize(re.data());
        const auto middle = Clock::now();
        std::copy(input.begin(), input.end(), in);
        fftw_execute(plan);
        benchmark::DoNotOptimize(out);
        const auto end = Clock::now();
        ours += Seconds(start, middle);
        theirs += Seconds(middle, end);
    }
    Report(state, ours, theirs);
    fftw_destroy_plan(plan);
    fftw_free(out);
    fftw_free(in);
}
BENCHMARK(BM_RealFFTvsFFTW)->RangeMultiplier(2)->Range(1024, 65536);

void BM_ComplexFFTvsFFTW(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> input = NoisyTone(2 * n, 2);
    FFTArray re, im;
    fftw_complex* data = fftw_alloc_complex(n);
    fftw_plan plan = fftw_plan_dft_1d(n, data, data, FFTW_FORWARD, FFTW_ESTIMATE);
    double ours = 0.0, theirs = 0.0;
    std::uint8_t status = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        std::copy(input.begin(), input.begin() + n, re.begin());
        std::copy(input.begin() + n, input.end(), im.begin());
        ComplexFFT(n, false, re, im, status);
        benchmark::DoNotOptimize(re.data());
        const auto middle = Clock::now();
        for (int i = 0; i < n; ++i) {
            data[i][0] = input[i];
            data[i][1] = input[n + i];
        }
        fftw_execute(plan);
        benchmark::DoNotOptimize(data);
        const auto end = Clock::now();
        ours += Seconds(start, middle);
        theirs += Seconds(middle, end);
    }
    Report(state, ours, theirs);
    fftw_destroy_plan(plan);
    fftw_free(data);
}
BENCHMARK(BM_ComplexFFTvsFFTW)->RangeMultiplier(2)->Range(1024, 65536);

} // namespace
} // namespace tesmar
