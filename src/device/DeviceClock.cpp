#include "DeviceClock.h"

#include <cmath>

namespace tesmar {

double QuantizePeriod(double seconds)
{
    const long double ticks = std::trunc(static_cast<long double>(seconds) * 24'000'000.0L);
    return static_cast<double>(ticks / 24'000'000.0L);
}

double QuantizeRate(double hertz)
{
    const long double divider = std::trunc(24'000'000.0L / static_cast<long double>(hertz));
    return static_cast<double>(24'000'000.0L / divider);
}

} // namespace tesmar
