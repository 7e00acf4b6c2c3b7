#pragma once
// Edge counts and pulse / pause lengths of the eight lines of a bus over a whole capture. The
// part of a line before its first edge is never counted as a pulse or pause.

#include <array>
#include <cstdint>
#include <span>
#include "text/MessageKeys.h"

#include <string>
#include <utility>

namespace tesmar {

struct LineStatistics {
    std::int32_t rising = 0, falling = 0;
    // Microseconds; 0 without intervals of the kind.
    double pulseMin = 0, pulseMax = 0, pulseMean = 0;
    double pauseMin = 0, pauseMax = 0, pauseMean = 0;
    double frequencyKHz = 0; // 0 unless both pulses and pauses were seen
};

// `period` in seconds.
std::array<LineStatistics, 8> ComputeBusStatistics(std::span<const std::uint8_t> samples, double period);

// A group of values shown in one unit: the values scaled and the unit's message-table entry.
struct ScaledValues {
    double min = 0, max = 0, mean = 0;
    Msg unit = Msg::strDim_us;
};
// Pulse or pause lengths in ms when their mean exceeds 2000 µs, else in µs.
ScaledValues ScaleLengths(double min, double max, double mean);
// A frequency below 0.9 kHz in Hz, else in kHz.
std::pair<double, Msg> ScaleFrequency(double kHz);

} // namespace tesmar
