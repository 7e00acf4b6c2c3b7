#pragma once
// The instrument's packing of 10-bit samples: four samples in a 5-byte group, byte k holding the
// upper 8 bits of sample k and byte 4 the lower 2 bits of each at bit 2k.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tesmar {

inline constexpr int kGroupSamples = 4;
inline constexpr int kGroupBytes = 5;

inline int GroupSample(const std::uint8_t* group, int k)
{
    return (group[k] << 2) | ((group[4] >> (2 * k)) & 3);
}

inline void PackSampleGroup(const int* samples, std::uint8_t* group)
{
    int low = 0;
    for (int k = 0; k < kGroupSamples; ++k) {
        group[k] = static_cast<std::uint8_t>(samples[k] >> 2);
        low |= (samples[k] & 3) << (2 * k);
    }
    group[4] = static_cast<std::uint8_t>(low);
}

// Whole groups only: samples beyond the last multiple of four are left out.
inline std::vector<std::uint8_t> PackSampleGroups(std::span<const int> samples)
{
    std::vector<std::uint8_t> bytes(samples.size() / kGroupSamples * kGroupBytes);
    for (std::size_t g = 0; g < samples.size() / kGroupSamples; ++g)
        PackSampleGroup(&samples[g * kGroupSamples], &bytes[g * kGroupBytes]);
    return bytes;
}

} // namespace tesmar
