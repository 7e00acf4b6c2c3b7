#include "logic/BusStatistics.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace tesmar;

TEST(BusStatistics, SquareWaveSteadyLineAndSingleEdge)
{
    // Line 0: period 10 samples (5 high, 5 low); line 1 steady high; line 2 one rise at 37.
    std::vector<std::uint8_t> s(1000);
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<std::uint8_t>(((i / 5) & 1) | 2 | (i >= 37 ? 4 : 0));
    const auto st = ComputeBusStatistics(s, 1e-6);
    EXPECT_EQ(st[0].rising, 100); // low first: rises at 5, 15 … 995
    EXPECT_EQ(st[0].falling, 99);
    for (double v : {st[0].pulseMin, st[0].pulseMax, st[0].pulseMean, st[0].pauseMin, st[0].pauseMax, st[0].pauseMean})
        EXPECT_DOUBLE_EQ(v, 5.0);
    EXPECT_DOUBLE_EQ(st[0].frequencyKHz, 100.0);
    const LineStatistics none{};
    for (int k : {1, 3}) {
        EXPECT_EQ(st[k].rising + st[k].falling, 0);
        EXPECT_EQ(st[k].pulseMax + st[k].pulseMin + st[k].pauseMean + st[k].frequencyKHz, 0.0);
    }
    EXPECT_EQ(st[2].rising, 1);
    EXPECT_EQ(st[2].pulseMean, none.pulseMean);
    EXPECT_EQ(st[2].pauseMin, 0.0); // no interval: the part before the first edge is not one
}

TEST(BusStatistics, UnevenPulsesAndUnits)
{
    // At 1 kHz: pulses of 3 and 5 samples (3 ms, 5 ms) with pauses of 2 samples.
    const std::vector<std::uint8_t> s{0, 1, 1, 1, 0, 0, 1, 1, 1, 1, 1, 0, 0, 1};
    const auto st = ComputeBusStatistics(s, 1e-3);
    EXPECT_EQ(st[0].rising, 3);
    EXPECT_EQ(st[0].falling, 2);
    EXPECT_DOUBLE_EQ(st[0].pulseMin, 3000.0);
    EXPECT_DOUBLE_EQ(st[0].pulseMax, 5000.0);
    EXPECT_DOUBLE_EQ(st[0].pulseMean, 4000.0);
    EXPECT_DOUBLE_EQ(st[0].pauseMean, 2000.0);
    EXPECT_DOUBLE_EQ(st[0].frequencyKHz, 1000.0 / 6000.0);
    const auto pulse = ScaleLengths(st[0].pulseMin, st[0].pulseMax, st[0].pulseMean);
    EXPECT_EQ(pulse.unit, Msg::strDim_ms);
    EXPECT_DOUBLE_EQ(pulse.mean, 4.0);
    EXPECT_EQ(ScaleLengths(1, 2, 2000).unit, Msg::strDim_us); // 2000 µs is not above 2000
    EXPECT_EQ(ScaleFrequency(1000.0 / 6000.0), std::make_pair(1000.0 / 6.0, Msg::strDim_Hz));
    EXPECT_EQ(ScaleFrequency(0.9).second, Msg::strDim_KHz);
    EXPECT_EQ(ComputeBusStatistics({}, 1e-6)[0].rising, 0);
}

} // namespace
