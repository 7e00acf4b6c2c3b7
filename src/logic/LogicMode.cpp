#include "LogicMode.h"

#include "device/DeviceClock.h"

#include <algorithm>
#include <cmath>

namespace tesmar {

double LogicEntryRate(int entry, double value)
{
    if (entry == 33)
        return 24'000'000.0 / 9;
    if (entry >= kLogicFastEntry)
        return value;
    return QuantizeRate(value);
}

std::int64_t LogicStreamDepth(int depthIndex)
{
    return std::int64_t{4096} << std::clamp(depthIndex, 0, 16);
}

LogicMode ChooseLogicMode(const LogicModeInput& in)
{
    LogicMode m;
    const double value =
        in.rateEntry >= 0 && in.rateEntry < static_cast<int>(in.entryValues.size()) ? in.entryValues[in.rateEntry] : 1e6;
    if (in.rateEntry >= kLogicFastEntry) {
        m.fastEntry = true;
        m.sampleRate = LogicEntryRate(in.rateEntry, value);
        m.rateCode = 36 - in.rateEntry; // 36 → 0 … 32 → 4
        m.buffered = true;
        m.busBModesEnabled = false;
        m.generatorEnabled = false;
        m.releaseBusBModes = true;
        m.edgeLines = LogicLineList::BusB;
        m.passLines = LogicLineList::BusA;
        m.maskOnBusBEnabled = false;
        m.externalEnabled = false;
        m.releaseExternal = true;
        if (in.rateEntry >= 34) {
            m.depth = kLogicTinyDepth;
            m.preTrigger = 0;
            m.passEnabled = false;
        } else {
            m.depth = kLogicFastDepth;
            m.preTrigger = in.triggerOn && !in.pulseSkipActive ? 8 : 0;
            m.passEnabled = true;
        }
        return m;
    }

    m.sampleRate = in.externalFrequency ? *in.externalFrequency : QuantizeRate(value);
    double limit = 0.0;
    const int e = in.bufferLimitIndex - 1;
    if (in.bufferLimitIndex > 0 && e < static_cast<int>(in.entryValues.size()))
        limit = QuantizeRate(in.entryValues[e]);
    m.buffered = m.sampleRate > limit || in.generator || in.sixteenLines;
    m.rateCode = m.buffered ? 5 : 6;

    m.generatorEnabled = !in.externalClock;
    m.releaseGenerator = in.externalClock;
    if (in.generator && !in.externalClock) {
        m.externalEnabled = false;
        m.releaseExternal = true;
        m.passLines = LogicLineList::BusA;
    }
    m.edgeLines = (in.generator || !m.buffered) ? LogicLineList::BusA : LogicLineList::All;
    m.maskOnBusBEnabled = in.sixteenLines;

    if (m.buffered) {
        m.passEnabled = true;
        m.depth = kLogicBufferDepth;
        const bool noPre = in.pulseSkipActive || in.generator || in.sixteenLines;
        m.preTrigger = in.triggerOn && !noPre ? in.bufferedPreTrigger : 0;
    } else {
        m.passEnabled = false;
        m.depth = LogicStreamDepth(in.streamDepthIndex);
        m.preTrigger = in.triggerOn ? std::llround(static_cast<double>(m.depth) * in.streamPrePercent / 100.0) : 0;
    }
    return m;
}

std::optional<int> LogicEntryForCapture(std::span<const double> entryValues, int rateCode, double sampleRate)
{
    const int count = static_cast<int>(entryValues.size());
    if (rateCode >= 0 && rateCode <= 4) {
        const int entry = 36 - rateCode;
        return entry < count ? std::optional<int>(entry) : std::nullopt;
    }
    if (!(sampleRate > 0) || !std::isfinite(sampleRate))
        return std::nullopt;
    for (int entry = 0; entry < std::min(count, kLogicFastEntry); ++entry)
        if (std::fabs(LogicEntryRate(entry, entryValues[entry]) - sampleRate) <= sampleRate * 1e-9)
            return entry;
    return std::nullopt;
}

} // namespace tesmar
