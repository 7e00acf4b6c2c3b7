#pragma once
// Frames of the recorder stream for tests: four 10-bit samples in five bytes.

#include "device/SampleGroup.h"

#include <cstdint>
#include <vector>

namespace tesmar::testing {

inline std::vector<std::uint8_t> EncodeFrames(const std::vector<int>& samples)
{
    return PackSampleGroups(samples);
}

} // namespace tesmar::testing
