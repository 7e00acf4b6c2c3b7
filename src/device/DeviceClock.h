#pragma once
// The instrument derives every sample period from one 24 MHz clock: periods and rates that reach
// it are whole numbers of ticks.

namespace tesmar {

inline constexpr double kDeviceClockHz = 24'000'000.0;

// trunc(t · 24 MHz) / 24 MHz, t in seconds.
double QuantizePeriod(double seconds);
// 24 MHz / trunc(24 MHz / f), f in hertz; f must be positive and not above 24 MHz.
double QuantizeRate(double hertz);

} // namespace tesmar
