#pragma once
// What a reader thread takes from the block builder at its start; later changes of the page do
// not reach a running acquisition.

#include "device/AnalogBlock.h"
#include "device/AnalogBlockBuilders.h"
#include "device/Calibration.h"

namespace tesmar {

struct OscAcquisitionParams {
    AnalogBlock block;
    std::uint16_t wValue = 0;
    std::uint16_t wIndex = 0;
    bool chAOn = true, chBOn = false;
    CalibrationPair pairA, pairB;
    int averaging = 1;          // N
    int capacity = 1126;        // points per channel
    int preTrigger = 100;       // P
    bool triggerOn = false;
    TriggerSource source = TriggerSource::ChannelA;
    TriggerKind kind = TriggerKind::Absolute;
    bool rising = true;
    double level = 0.0;         // level of the source channel, V
    double threshold = 0.2;     // difference threshold, V
    bool eightBit = false;      // `8bit`: lower two bits dropped

    bool streamMode() const { return (block.bytes[0] & AnalogBlock::kStream) != 0; }
    static OscAcquisitionParams FromBlock(const OscBlock& built, const OscBlockInput& input, bool eightBit);
};

} // namespace tesmar
