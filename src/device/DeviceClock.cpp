#include "DeviceClock.h"

#include <cmath>

namespace tesmar {

namespace {
// Knob values such as 5 µs are not exact in binary: 5e-6 × 24 MHz comes out a hair below 120.
// A whole tick must not be lost to that, so counts within this margin of the next tick reach it.
constexpr long double kTickMargin = 1e-6L;
} // namespace

double QuantizePeriod(double seconds)
{
    const long double ticks = std::trunc(static_cast<long double>(seconds) * 24'000'000.0L + kTickMargin);
    return static_cast<double>(ticks / 24'000'000.0L);
}

double QuantizeRate(double hertz)
{
    const long double divider = std::trunc(24'000'000.0L / static_cast<long double>(hertz) + kTickMargin);
    return static_cast<double>(24'000'000.0L / divider);
}

} // namespace tesmar
