#include "logic/LogicCapture.h"

#include <utility>

namespace tesmar {

LogicCapture MakeLogicCapture(std::vector<std::uint8_t> busA, std::vector<std::uint8_t> busB,
                              double samplePeriod, std::int32_t preTriggerCount)
{
    LogicCapture capture;
    capture.busA = std::move(busA);
    capture.busB = std::move(busB);
    capture.samplePeriod = samplePeriod;
    capture.preTriggerCount = preTriggerCount;
    capture.firstSampleTime = -static_cast<double>(preTriggerCount) * samplePeriod;
    return capture;
}

} // namespace tesmar
