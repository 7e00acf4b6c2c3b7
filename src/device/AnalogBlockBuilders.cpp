#include "AnalogBlockBuilders.h"

#include "DeviceClock.h"

#include <algorithm>
#include <cmath>

namespace tesmar {

namespace {

// N is a 16-bit count on the wire.
constexpr int kMaxAveraging = 65535;

// N grows while R × (N + 1) stays below the limit.
int AveragingFor(double rate, double limit)
{
    int n = 1;
    while (n < kMaxAveraging && rate * (n + 1) < limit)
        ++n;
    return n;
}

std::uint16_t ToWord(double value)
{
    // Two's complement of the rounded value, as the instrument reads a signed 16-bit field.
    const long long rounded = std::llrint(value);
    return static_cast<std::uint16_t>(static_cast<unsigned long long>(rounded) & 0xFFFF);
}

struct ChannelSetup {
    CalibrationPair pairA, pairB;
    std::uint8_t codeA = 0, codeB = 0;
};

ChannelSetup SetupChannels(double rangeA, double rangeB, const CalibrationSet& calibration, bool oldCodes)
{
    const AnalogRange a = RangeForVolts(rangeA);
    const AnalogRange b = RangeForVolts(rangeB);
    return {calibration.pair(0, a), calibration.pair(1, b), InputCode(0, a, oldCodes), InputCode(1, b, oldCodes)};
}

void ApplyRate(AnalogBlock& block, const SampleRateCode& code)
{
    if (code.inHertz)
        block.modeFlags() |= AnalogBlock::kRateInHertz;
    block.timingCode() = code.timingCode;
}

// The fields every analogue block result has: rate code, channels and their pairs.
template <class Out, class In>
void FillCommon(Out& out, const SampleRateCode& rate, const ChannelSetup& ch, const In& in)
{
    ApplyRate(out.block, rate);
    out.wValue = rate.wValue;
    out.rate = rate.rate;
    out.chAOn = in.chAOn;
    out.chBOn = in.chBOn;
    out.pairA = ch.pairA;
    out.pairB = ch.pairB;
}

} // namespace

OscBlock BuildOscBlock(const OscBlockInput& in)
{
    OscBlock out;
    AnalogBlock& block = out.block;
    out.threshold = std::clamp(in.typedThreshold.value_or(in.previousThreshold), kMinDifferenceThreshold,
                               kMaxDifferenceThreshold);

    const ChannelSetup ch = SetupChannels(in.rangeA, in.rangeB, in.calibration, in.oldInputCodes);
    FillInputSequence(block, in.chAOn, in.chBOn, ch.codeA, ch.codeB);
    if (in.chAOn && in.chBOn)
        block.triggerInput() = in.triggerSource == TriggerSource::ChannelA ? ch.codeB : ch.codeA;
    else
        block.triggerInput() = in.chAOn ? ch.codeA : ch.codeB;

    block.preTrigger() = static_cast<std::uint8_t>(in.preTriggerCount & 0xFF);
    if (in.triggerOn) {
        block.modeFlags() |= AnalogBlock::kTriggerOn;
        if (in.triggerSource == TriggerSource::External) {
            block.modeFlags() |= AnalogBlock::kExternal;
            if (in.triggerEdge == TriggerEdge::Rising)
                block.modeFlags() |= AnalogBlock::kEdge;
            out.wIndex = 0;
        } else {
            // The converter's codes fall as the voltage rises: a falling voltage is a rising code.
            if (in.triggerEdge == TriggerEdge::Falling)
                block.modeFlags() |= AnalogBlock::kEdge;
            const bool sourceA = in.triggerSource == TriggerSource::ChannelA;
            const CalibrationPair& pair = sourceA ? ch.pairA : ch.pairB;
            if (in.triggerKind == TriggerKind::Absolute) {
                out.wIndex = ToWord(VoltsToCode(sourceA ? in.levelA : in.levelB, pair));
                const int channelsOn = (in.chAOn ? 1 : 0) + (in.chBOn ? 1 : 0);
                block.preTrigger() = static_cast<std::uint8_t>(block.preTrigger() + 4 * channelsOn);
            } else {
                block.modeFlags() |= AnalogBlock::kDifference;
                const double code = out.threshold / pair.voltsPerUnit;
                out.wIndex = ToWord(in.triggerEdge == TriggerEdge::Rising ? -code : code);
            }
        }
    }

    const int channelFactor = (in.chAOn && in.chBOn) ? 2 : 1;
    const double requested = channelFactor / in.timeDiv;
    if (in.streamMode) {
        block.modeFlags() |= AnalogBlock::kStream;
        if (!in.disableAveraging && in.bufferBoundaryPeriod)
            out.averaging = AveragingFor(requested, std::min(50'000.0, 1.0 / *in.bufferBoundaryPeriod));
    }
    const SampleRateCode rate = ComputeSampleRateCode(requested, out.averaging);
    FillCommon(out, rate, ch, in);
    out.pointPeriod = out.averaging * channelFactor / rate.rate;
    out.capacity = in.capacity;
    out.preTriggerCount = in.preTriggerCount;
    return out;
}

SpectrumBlock BuildSpectrumBlock(const SpectrumBlockInput& in)
{
    SpectrumBlock out;
    const ChannelSetup ch = SetupChannels(in.rangeA, in.rangeB, in.calibration, in.oldInputCodes);
    FillInputSequence(out.block, in.chAOn, in.chBOn, ch.codeA, ch.codeB);

    const int channelFactor = (in.chAOn && in.chBOn) ? 2 : 1;
    const double requested = in.sampleRate * channelFactor;
    if (in.streamMode) {
        out.block.modeFlags() |= AnalogBlock::kStream;
        if (!in.disableAveraging && in.bufferBoundaryRate)
            out.averaging = AveragingFor(requested, std::min(50'000.0, *in.bufferBoundaryRate));
    }
    FillCommon(out, ComputeSampleRateCode(requested, out.averaging), ch, in);
    out.sampleRate = QuantizeRate(in.sampleRate);
    out.capacity = in.capacity;
    return out;
}

RecorderBlock BuildRecorderBlock(const RecorderBlockInput& in)
{
    RecorderBlock out;
    out.block.modeFlags() = AnalogBlock::kStream;
    const ChannelSetup ch = SetupChannels(in.rangeA, in.rangeB, in.calibration, in.oldInputCodes);
    FillInputSequence(out.block, in.chAOn, in.chBOn, ch.codeA, ch.codeB);

    const int channelFactor = (in.chAOn && in.chBOn) ? 2 : 1;
    const double requested = channelFactor / in.timeDiv;
    out.tooFast = requested > in.displayLimit;
    if (in.disableAveraging) {
        if (requested < 100.0)
            out.averaging = AveragingFor(requested, 100.0);
    } else {
        double limit = std::min(in.workingLimit, in.displayLimit);
        if (requested <= 1.0)
            limit = std::min(limit, 1'000.0);
        out.averaging = AveragingFor(requested, limit);
    }
    FillCommon(out, ComputeSampleRateCode(requested, out.averaging), ch, in);
    return out;
}

} // namespace tesmar
