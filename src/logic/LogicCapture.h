#pragma once
// One logic analyser capture as the page holds it after unpacking: one byte per sample and bus,
// bit k of a bus A byte is line A.k, of a bus B byte line B.k.

#include <cstdint>
#include <vector>

namespace tesmar {

struct LogicCapture {
    std::vector<std::uint8_t> busA;
    std::vector<std::uint8_t> busB; // 16-line captures only
    double samplePeriod = 1e-6;     // seconds
    std::int32_t preTriggerCount = 0;
    // Time of sample 0 in seconds; a fresh capture starts at −preTriggerCount × samplePeriod, a
    // capture opened from a file at the time stored there.
    double firstSampleTime = 0.0;
    // Bus A lines that are drawn; a stream capture draws only the lines of its display mask and
    // the others have no points to query.
    std::uint8_t drawnLinesA = 0xFF;
};

// A capture fresh from the instrument: sample 0 lies pre-trigger samples before time 0.
LogicCapture MakeLogicCapture(std::vector<std::uint8_t> busA, std::vector<std::uint8_t> busB,
                              double samplePeriod, std::int32_t preTriggerCount);

} // namespace tesmar
