#pragma once
// Headerless 16-bit PCM of analogue traces: little-endian signed samples, ±20 V full scale,
// channel A and B interleaved per frame when both are present.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tesmar {

// round(clamp(v, −20, 20) × 1638.35), ties to even.
std::int16_t PcmSample(double volts);

// The file's bytes: frames of (A, B) over A's count when both have samples, else the one that has.
std::vector<std::uint8_t> PcmBytes(std::span<const double> a, std::span<const double> b);

} // namespace tesmar
