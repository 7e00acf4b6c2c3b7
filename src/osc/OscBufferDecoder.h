#pragma once
// Turns the instrument's 1412-byte buffer frame into an oscilloscope record: the pre-trigger ring
// put in time order, 10-bit samples unpacked from 5-byte groups, alternated between the channels
// and converted to volts.

#include "OscAcquisitionParams.h"
#include "OscResult.h"

#include <array>
#include <cstdint>

namespace tesmar {

inline constexpr int kOscFrameSize = 1412;
inline constexpr int kOscBufferSamples = 1126;
using OscFrame = std::array<std::uint8_t, kOscFrameSize>;

struct OscBufferDecodeOptions {
    // "Буфер на 1024/512". A filtered channel keeps all its points: the filter takes any length.
    bool smallBuffer = false;
    bool oldCodes = false;        // `old`: which normal input code is channel B's
};

// The 1126 raw samples in time order (before the channel split).
std::array<int, kOscBufferSamples> UnpackOscFrame(const OscFrame& frame, const AnalogBlock& block, bool eightBit);

void DecodeOscBuffer(const OscFrame& frame, const OscAcquisitionParams& params, const OscBufferDecodeOptions& options,
                     OscResult& result);

} // namespace tesmar
