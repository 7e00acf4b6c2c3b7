#include "dsp/SignalParams.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace tesmar {
namespace {

// Half-periods of +1 and -1, `halfLength` samples each.
std::vector<double> Square(int halves, int halfLength) {
    std::vector<double> x;
    for (int h = 0; h < halves; ++h)
        x.insert(x.end(), halfLength, h % 2 == 0 ? 1.0 : -1.0);
    return x;
}

TEST(ComputeSignalParams, ConstantSignalHasNoVariationAndNoFrequency) {
    for (double level : {0.0, 0.1, -2.7, 1e-3}) {
        const std::vector<double> samples(1000, level);
        const SignalParams p = ComputeSignalParams(samples, 100000.0);
        EXPECT_EQ(p.Uconst, level);
        EXPECT_EQ(p.Uvaria, 0.0);
        EXPECT_EQ(p.Umax, level);
        EXPECT_EQ(p.Umin, level);
        EXPECT_EQ(p.F, 0.0);
    }
}

TEST(ComputeSignalParams, SineOfOneKilohertz) {
    std::vector<double> samples(10000);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = 0.5 + std::sin(2.0 * std::numbers::pi * 1000.0 * static_cast<double>(i) / 100000.0);
    const SignalParams p = ComputeSignalParams(samples, 100000.0);
    EXPECT_NEAR(p.Uconst, 0.5, 1e-9);
    EXPECT_NEAR(p.Uvaria, 1.0 / std::sqrt(2.0), 1e-6);
    EXPECT_NEAR(p.Umax, 1.5, 1e-9);
    EXPECT_NEAR(p.Umin, -0.5, 1e-9);
    EXPECT_NEAR(p.F, 1000.0, 0.5);
}

TEST(ComputeSignalParams, FrequencyNeedsMoreThanThreeIntervals) {
    // 80 kHz makes the minimum spacing one sample, so every crossing 10 samples apart counts.
    // The first accepted crossing only starts the count: n half-periods give n-2 intervals.
    struct Case {
        int halves;
        double frequency;
    };
    const Case cases[] = {{4, 0.0}, {5, 0.0}, {6, 4000.0}, {10, 4000.0}};
    for (const Case& c : cases) {
        const SignalParams p = ComputeSignalParams(Square(c.halves, 10), 80000.0);
        EXPECT_NEAR(p.F, c.frequency, 1e-9) << c.halves << " half-periods";
    }
}

TEST(ComputeSignalParams, CrossingsTooCloseTogetherAreSkipped) {
    // Crossings every 8 samples at 1 MHz are closer than 12.5 samples: every second one counts.
    const SignalParams p = ComputeSignalParams(Square(64, 8), 1'000'000.0);
    EXPECT_DOUBLE_EQ(p.F, 31250.0);
}

TEST(ComputeSignalParams, CrossingOnEverySampleIsNotAFrequency) {
    // Alternating samples give more intervals than N/2 allows.
    std::vector<double> samples(100);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = i % 2 == 0 ? 1.0 : -1.0;
    EXPECT_EQ(ComputeSignalParams(samples, 40000.0).F, 0.0);
}

TEST(ComputeSignalParams, TinyRecords) {
    EXPECT_EQ(ComputeSignalParams({}, 1000.0).Uconst, 0.0);
    const std::vector<double> two = {1.0, -1.0};
    const SignalParams p = ComputeSignalParams(two, 1000.0);
    EXPECT_EQ(p.Uconst, 0.0);
    EXPECT_EQ(p.Uvaria, 1.0);
    EXPECT_EQ(p.F, 0.0);
}

} // namespace
} // namespace tesmar
