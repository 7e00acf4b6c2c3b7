#pragma once
// One oscilloscope or spectrum acquisition: volts of both channels, counts and trigger indexes.

#include <cstdint>
#include <vector>

namespace tesmar {

struct OscResult {
    static constexpr int kMinCapacity = 65'537;

    std::vector<double> ValuesA = std::vector<double>(kMinCapacity);
    std::vector<double> ValuesB = std::vector<double>(kMinCapacity);
    std::int32_t CountA = 0;
    std::int32_t CountB = 0;
    std::int32_t TrigIndexA = 0;
    std::int32_t TrigIndexB = 0;
    bool DataReady = false;
};

// Sample k of a 5-byte group: byte k holds its upper 8 bits, byte 4 its lower 2 bits at 2k.
inline int GroupSample(const std::uint8_t* group, int k)
{
    return (group[k] << 2) | ((group[4] >> (2 * k)) & 3);
}

} // namespace tesmar
