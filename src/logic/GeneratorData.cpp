#include "logic/GeneratorData.h"

namespace tesmar {

void GeneratorData::setLine(int index, int bit, bool high)
{
    const auto mask = static_cast<std::uint8_t>(1u << bit);
    if (high)
        samples_[index] = static_cast<std::uint8_t>(samples_[index] | mask);
    else
        samples_[index] = static_cast<std::uint8_t>(samples_[index] & ~mask);
}

void GeneratorData::fillLine(int bit, bool high)
{
    for (int i = 0; i < kSampleCount; ++i)
        setLine(i, bit, high);
}

} // namespace tesmar
