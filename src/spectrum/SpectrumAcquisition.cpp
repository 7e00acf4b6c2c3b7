#include "SpectrumAcquisition.h"

#include <algorithm>

namespace tesmar {

OscAcquisitionParams SpectrumAcquisitionParams(const SpectrumBlock& built, bool eightBit)
{
    OscAcquisitionParams p;
    p.block = built.block;
    p.wValue = built.wValue;
    p.wIndex = 0;
    p.chAOn = built.chAOn;
    p.chBOn = built.chBOn;
    p.pairA = built.pairA;
    p.pairB = built.pairB;
    p.averaging = built.averaging;
    p.capacity = built.capacity;
    p.preTrigger = 0;
    p.triggerOn = false;
    p.eightBit = eightBit;
    return p;
}

std::span<const double> SpectrumSamples(const OscResult& result, int channel, int length)
{
    const std::vector<double>& values = channel == 0 ? result.ValuesA : result.ValuesB;
    const int count = channel == 0 ? result.CountA : result.CountB;
    const int n = std::clamp(std::min(count, length), 0, static_cast<int>(values.size()));
    return {values.data(), static_cast<std::size_t>(n)};
}

} // namespace tesmar
