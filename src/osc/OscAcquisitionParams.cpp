#include "OscAcquisitionParams.h"

namespace tesmar {

OscAcquisitionParams OscAcquisitionParams::FromBlock(const OscBlock& built, const OscBlockInput& input, bool eightBit)
{
    OscAcquisitionParams p;
    p.block = built.block;
    p.wValue = built.wValue;
    p.wIndex = built.wIndex;
    p.chAOn = built.chAOn;
    p.chBOn = built.chBOn;
    p.pairA = built.pairA;
    p.pairB = built.pairB;
    p.averaging = built.averaging;
    p.capacity = built.capacity;
    p.preTrigger = built.preTriggerCount;
    p.triggerOn = input.triggerOn;
    p.source = input.triggerSource;
    p.kind = input.triggerKind;
    p.rising = input.triggerEdge == TriggerEdge::Rising;
    p.level = input.triggerSource == TriggerSource::ChannelB ? input.levelB : input.levelA;
    p.threshold = built.threshold;
    p.eightBit = eightBit;
    return p;
}

} // namespace tesmar
