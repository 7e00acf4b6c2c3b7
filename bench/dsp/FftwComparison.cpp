// FFTW's real-to-complex and complex transforms (FFTW_ESTIMATE plans, made outside the timed
// loop) on the same data as the transforms of DspBench.cpp. Compare BM_RealFFT/N with
// BM_FftwRealToComplex/N and BM_ComplexFFT/N with BM_FftwComplex/N.

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <cmath>
#include <random>
#include <vector>

namespace tesmar {
namespace {

std::vector<double> NoisyTone(std::size_t n, unsigned seed)
{
    std::mt19937 generator(seed);
    std::normal_distribution<double> noise(0.0, 0.05);
    std::vector<double> x(n);
    for (std::size_t i = 0; i < n; ++i)
        x[i] = std::sin(0.031 * static_cast<double>(i)) + noise(generator);
    return x;
}

void BM_FftwRealToComplex(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> input = NoisyTone(n, 1);
    double* in = fftw_alloc_real(n);
    fftw_complex* out = fftw_alloc_complex(n / 2 + 1);
    fftw_plan plan = fftw_plan_dft_r2c_1d(n, in, out, FFTW_ESTIMATE);
    for (auto _ : state) {
        std::copy(input.begin(), input.end(), in);
        fftw_execute(plan);
        benchmark::DoNotOptimize(out);
    }
    fftw_destroy_plan(plan);
    fftw_free(out);
    fftw_free(in);
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_FftwRealToComplex)->RangeMultiplier(4)->Range(1024, 65536)->Arg(2048)->Arg(8192)->Arg(32768);

void BM_FftwComplex(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> input = NoisyTone(2 * n, 2);
    fftw_complex* data = fftw_alloc_complex(n);
    fftw_plan plan = fftw_plan_dft_1d(n, data, data, FFTW_FORWARD, FFTW_ESTIMATE);
    for (auto _ : state) {
        for (int i = 0; i < n; ++i) {
            data[i][0] = input[i];
            data[i][1] = input[n + i];
        }
        fftw_execute(plan);
        benchmark::DoNotOptimize(data);
    }
    fftw_destroy_plan(plan);
    fftw_free(data);
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_FftwComplex)->RangeMultiplier(4)->Range(1024, 65536)->Arg(2048)->Arg(8192)->Arg(32768);

} // namespace
} // namespace tesmar
