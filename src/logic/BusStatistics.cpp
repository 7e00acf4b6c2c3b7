#include "BusStatistics.h"

#include <algorithm>
#include <utility>

namespace tesmar {

namespace {

constexpr std::int64_t kNoInterval = 1'000'000;

struct Interval {
    std::int64_t min = kNoInterval, max = 0, sum = 0, count = 0;
    void add(std::int64_t w)
    {
        min = std::min(min, w);
        max = std::max(max, w);
        sum += w;
        ++count;
    }
};

} // namespace

std::array<LineStatistics, 8> ComputeBusStatistics(std::span<const std::uint8_t> samples, double period)
{
    std::array<LineStatistics, 8> out{};
    std::array<Interval, 8> pulses{}, pauses{};
    std::array<std::int64_t, 8> lastEdge{};
    const std::size_t n = samples.size();
    for (std::size_t i = 1; i < n; ++i) {
        const std::uint8_t changed = samples[i] ^ samples[i - 1];
        if (changed == 0)
            continue; // most samples: no line moves
        for (int k = 0; k < 8; ++k) {
            if (!((changed >> k) & 1))
                continue;
            const bool rose = (samples[i] >> k) & 1;
            ++(rose ? out[k].rising : out[k].falling);
            const auto at = static_cast<std::int64_t>(i);
            if (lastEdge[k] > 0)
                (rose ? pauses[k] : pulses[k]).add(at - lastEdge[k]);
            lastEdge[k] = at;
        }
    }
    const double u = period * 1e6; // µs per sample
    for (int k = 0; k < 8; ++k) {
        LineStatistics& s = out[k];
        auto convert = [u](const Interval& in, double& min, double& max, double& mean) {
            min = (in.min == kNoInterval ? 0.0 : static_cast<double>(in.min)) * u;
            max = static_cast<double>(in.max) * u;
            mean = in.count > 0 ? static_cast<double>(in.sum) / static_cast<double>(in.count) * u : 0.0;
        };
        convert(pulses[k], s.pulseMin, s.pulseMax, s.pulseMean);
        convert(pauses[k], s.pauseMin, s.pauseMax, s.pauseMean);
        if (pulses[k].count > 0 && pauses[k].count > 0 && s.pulseMean + s.pauseMean != 0)
            s.frequencyKHz = 1000.0 / (s.pulseMean + s.pauseMean);
    }
    return out;
}

ScaledValues ScaleLengths(double min, double max, double mean)
{
    if (mean > 2000)
        return {min / 1000, max / 1000, mean / 1000, Msg::strDim_ms};
    return {min, max, mean, Msg::strDim_us};
}

std::pair<double, Msg> ScaleFrequency(double kHz)
{
    if (kHz < 0.9)
        return {kHz * 1000, Msg::strDim_Hz};
    return {kHz, Msg::strDim_KHz};
}

} // namespace tesmar
