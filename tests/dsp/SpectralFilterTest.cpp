#include "dsp/FFT87B2.h"
#include "dsp/RecordFilter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace tesmar {
namespace {

constexpr double kPi = std::numbers::pi;

TEST(ResponseGain, InterpolatesAndExtendsStraightLines) {
    const std::vector<FilterPoint> flat = {{1, 1}, {5000, 1}, {10000, 1}};
    const std::vector<FilterPoint> ramp = {{0, 0}, {100, 1}};
    const std::vector<FilterPoint> tent = {{100, 0}, {200, 2}, {400, 0}};
    struct Case {
        const std::vector<FilterPoint>* response;
        double frequency;
        double gain;
    };
    const Case cases[] = {
        {&flat, 0, 1},    {&flat, 3000, 1}, {&flat, 10000, 1}, {&flat, 25000, 1},
        {&ramp, 50, 0.5}, {&ramp, 200, 2},  {&ramp, -100, -1}, {&tent, 150, 1},
        {&tent, 200, 2},  {&tent, 300, 1},  {&tent, 50, -1},   {&tent, 500, -1},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(ResponseGain(*c.response, c.frequency), c.gain) << "f=" << c.frequency;
}

TEST(ResponseGain, DegenerateResponsesStayFinite) {
    EXPECT_EQ(ResponseGain({}, 100.0), 1.0);
    const std::vector<FilterPoint> single = {{50, 0.3}};
    EXPECT_EQ(ResponseGain(single, 1000.0), 0.3);
    // Two points on one frequency: a step instead of a division by zero.
    const std::vector<FilterPoint> stepAtStart = {{100, 0.5}, {100, 2}, {200, 2}};
    EXPECT_EQ(ResponseGain(stepAtStart, 50.0), 0.5);
    EXPECT_EQ(ResponseGain(stepAtStart, 150.0), 2.0);
    const std::vector<FilterPoint> stepAtEnd = {{0, 1}, {100, 1}, {100, 0}};
    EXPECT_EQ(ResponseGain(stepAtEnd, 500.0), 0.0);
    EXPECT_EQ(ResponseGain(stepAtEnd, 50.0), 1.0);
}

std::vector<double> Tones(int n, double fs, std::initializer_list<std::pair<double, double>> tones) {
    std::vector<double> x(n, 0.0);
    for (int i = 0; i < n; ++i)
        for (auto [frequency, amplitude] : tones)
            x[i] += amplitude * std::sin(2.0 * kPi * frequency * i / fs);
    return x;
}

// A 500 Hz square through a low-pass that keeps only its fundamental: every sample of the
// record, the first and last milliseconds too, follows (4/π)·sin, whatever the record's length.
TEST(FilterRecord, WholeRecordOfAnyLengthFollowsTheFundamentalToItsEnds) {
    const double fs = 50'000;
    const std::vector<FilterPoint> lowPass = {{1, 1}, {600, 1}, {1000, 0}, {25'000, 0}};
    for (int n : {563, 1126, 1024, 8192}) {
        std::vector<double> x(n), fundamental(n);
        for (int i = 0; i < n; ++i) {
            const double phase = 2 * kPi * 500 * i / fs + 0.3;
            x[i] = std::sin(phase) >= 0 ? 1.0 : -1.0;
            fundamental[i] = 4 / kPi * std::sin(phase);
        }
        ASSERT_TRUE(FilterRecord(x, lowPass, fs)) << n;
        double worst = 0;
        int at = 0;
        for (int i = 0; i < n; ++i)
            if (std::abs(x[i] - fundamental[i]) > worst) {
                worst = std::abs(x[i] - fundamental[i]);
                at = i;
            }
        EXPECT_LT(worst, 0.1) << n << " samples, worst at " << at;
    }
    // A response of 1 everywhere gives the record back, whatever its ends look like.
    std::vector<double> noisy(563);
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0.0, 0.3);
    for (double& v : noisy)
        v = 0.4 + noise(random);
    std::vector<double> passed = noisy;
    ASSERT_TRUE(FilterRecord(passed, std::vector<FilterPoint>{{0, 1}, {25'000, 1}}, fs));
    for (std::size_t i = 0; i < noisy.size(); ++i)
        ASSERT_NEAR(passed[i], noisy[i], 1e-9) << i;

    std::vector<double> one{1.0};
    EXPECT_FALSE(FilterRecord(one, lowPass, fs));
    std::vector<double> some(100, 1.0);
    EXPECT_FALSE(FilterRecord(some, std::vector<FilterPoint>{{0, 1}}, fs));
}

TEST(SpectralFilter, UnitResponseReturnsTheInput) {
    std::mt19937 generator(42);
    std::uniform_real_distribution<double> value(-3.0, 3.0);
    for (int n : {4, 1024, 65536}) {
        std::vector<double> samples(n);
        for (double& s : samples)
            s = value(generator);
        const std::vector<double> original = samples;
        const std::vector<FilterPoint> unit = {{1, 1}, {5000, 1}, {10000, 1}};
        ASSERT_TRUE(SpectralFilter(samples, unit, 100000.0));
        for (int i = 0; i < n; ++i)
            ASSERT_NEAR(samples[i], original[i], 1e-12) << "n=" << n << " i=" << i;
    }
}

TEST(SpectralFilter, LowPassRemovesTheHighTone) {
    // Both tones on exact bins of 1024 points at 102.4 kHz: 1 kHz kept, 20 kHz removed.
    const int n = 1024;
    const double fs = 102400.0;
    std::vector<double> samples = Tones(n, fs, {{1000.0, 1.0}, {20000.0, 0.5}});
    const std::vector<double> lowTone = Tones(n, fs, {{1000.0, 1.0}});
    const std::vector<FilterPoint> lowPass = {{0, 1}, {5000, 1}, {6000, 0}, {51200, 0}};
    ASSERT_TRUE(SpectralFilter(samples, lowPass, fs));
    for (int i = 0; i < n; ++i)
        ASSERT_NEAR(samples[i], lowTone[i], 1e-12) << i;
}

TEST(SpectralFilter, ZeroResponseLeavesOnlyTheNyquistBin) {
    const int n = 64;
    std::vector<double> samples(n);
    double nyquistSum = 0.0;
    for (int i = 0; i < n; ++i) {
        samples[i] = std::sin(0.7 * i) + 0.3 * i;
        nyquistSum += (i % 2 == 0 ? 1.0 : -1.0) * samples[i];
    }
    const std::vector<FilterPoint> zero = {{0, 0}, {1000, 0}};
    ASSERT_TRUE(SpectralFilter(samples, zero, 2000.0));
    // x[n] = (-1)^n·X[N/2]/sqrt(N) with X[N/2] = sum (-1)^n·x[n]/sqrt(N).
    for (int i = 0; i < n; ++i)
        EXPECT_NEAR(samples[i], (i % 2 == 0 ? 1.0 : -1.0) * nyquistSum / n, 1e-12) << i;
}

TEST(SpectralFilter, RefusesWhatItCannotFilter) {
    const std::vector<FilterPoint> unit = {{0, 1}, {1000, 1}};
    const std::vector<FilterPoint> onePoint = {{0, 0}};
    struct Case {
        int n;
        const std::vector<FilterPoint>* response;
    };
    const Case cases[] = {{0, &unit}, {2, &unit}, {1000, &unit}, {262144, &unit}, {1024, &onePoint}};
    for (const Case& c : cases) {
        std::vector<double> samples(c.n);
        for (int i = 0; i < c.n; ++i)
            samples[i] = std::cos(0.1 * i);
        const std::vector<double> original = samples;
        EXPECT_FALSE(SpectralFilter(samples, *c.response, 1000.0)) << c.n;
        EXPECT_EQ(samples, original) << c.n;
    }
}

} // namespace
} // namespace tesmar
