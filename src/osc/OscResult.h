#pragma once
// One oscilloscope or spectrum acquisition: volts of both channels, counts and trigger indexes.

#include "device/SampleGroup.h"

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

} // namespace tesmar
