#pragma once
// Frames of the recorder stream for tests: four 10-bit samples in five bytes.

#include <cstdint>
#include <vector>

namespace tesmar::testing {

inline std::vector<std::uint8_t> EncodeFrames(const std::vector<int>& samples)
{
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 4 <= samples.size(); i += 4) {
        std::uint8_t low = 0;
        for (int k = 0; k < 4; ++k) {
            bytes.push_back(static_cast<std::uint8_t>(samples[i + k] >> 2));
            low |= static_cast<std::uint8_t>((samples[i + k] & 3) << (2 * k));
        }
        bytes.push_back(low);
    }
    return bytes;
}

} // namespace tesmar::testing
