#include "dsp/SignalParams.h"

#include <algorithm>
#include <cmath>

namespace tesmar {
namespace {

// Crossings closer than 12.5 us to the last accepted one are ringing on an edge, not a period.
constexpr double kMinCrossingSpacingSeconds = 1.0 / 80'000.0;

double ZeroCrossingFrequency(std::span<const double> samples, double mean, double sampleRate) {
    const std::size_t n = samples.size();
    if (n <= 2)
        return 0.0;
    const double minSpacing = sampleRate * kMinCrossingSpacingSeconds; // in samples
    double previous = samples[0] - mean;
    double lastCrossing = 0.0;
    double intervalSum = 0.0;
    long long intervals = 0;
    // The last sample is not examined.
    for (std::size_t i = 1; i + 1 < n; ++i) {
        const double current = samples[i] - mean;
        if (!(previous * current > 0.0 || previous == 0.0)) {
            const double position = static_cast<double>(i) + current / (previous - current);
            if (position - lastCrossing > minSpacing) {
                if (lastCrossing != 0.0) {
                    intervalSum += position - lastCrossing;
                    ++intervals;
                }
                lastCrossing = position;
            }
        }
        previous = current;
    }
    if (intervals > 3 && static_cast<double>(intervals) < static_cast<double>(n) / 2.0)
        return sampleRate / (2.0 * intervalSum / static_cast<double>(intervals));
    return 0.0;
}

} // namespace

SignalParams ComputeSignalParams(std::span<const double> samples, double sampleRate) {
    SignalParams params;
    if (samples.empty())
        return params;
    const auto [lowest, highest] = std::minmax_element(samples.begin(), samples.end());
    params.Umin = *lowest;
    params.Umax = *highest;
    const double count = static_cast<double>(samples.size());
    if (params.Umin == params.Umax) {
        // Summing would leave rounding noise in the mean of a flat record.
        params.Uconst = params.Umin;
        return params;
    }
    double sum = 0.0;
    for (double x : samples)
        sum += x;
    params.Uconst = sum / count;
    double squares = 0.0;
    for (double x : samples)
        squares += (x - params.Uconst) * (x - params.Uconst);
    const double variance = squares / count;
    params.Uvaria = variance > 0.0 ? std::sqrt(variance) : 0.0;
    params.F = ZeroCrossingFrequency(samples, params.Uconst, sampleRate);
    return params;
}

} // namespace tesmar
