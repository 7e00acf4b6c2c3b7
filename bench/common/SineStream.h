#pragma once
// A sine in the instrument's 5-byte sample groups, as its stream delivers them.

#include "device/SampleGroup.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace tesmar::bench {

inline std::vector<std::uint8_t> SineStream(std::size_t bytes)
{
    std::vector<int> samples((bytes + kGroupBytes - 1) / kGroupBytes * kGroupSamples);
    for (std::size_t n = 0; n < samples.size(); ++n)
        samples[n] = 512 + static_cast<int>(400 * std::sin(static_cast<double>(n) * 0.01));
    std::vector<std::uint8_t> data = PackSampleGroups(samples);
    data.resize(bytes);
    return data;
}

} // namespace tesmar::bench
