#include "AnalogFrontEnd.h"

#include <algorithm>
#include <cmath>

namespace tesmar {

namespace {

constexpr int kMaxRaw = 1023;
constexpr int kMidScale = 512;

bool Usable(const CalibrationPair& pair)
{
    return std::isfinite(pair.zero) && std::isfinite(pair.voltsPerUnit) && pair.voltsPerUnit > 0.0;
}

CalibrationSet PairsInForce(const CalibrationRecord& record)
{
    const CalibrationSet defaults;
    if (record.isBlank())
        return defaults;
    CalibrationSet stored = record.pairs();
    auto keep = [](CalibrationPair& pair, const CalibrationPair& fallback) {
        if (!Usable(pair))
            pair = fallback;
    };
    keep(stored.aNormal, defaults.aNormal);
    keep(stored.aAttenuated, defaults.aAttenuated);
    keep(stored.bNormal, defaults.bNormal);
    keep(stored.bAttenuated, defaults.bAttenuated);
    return stored;
}

} // namespace

AnalogFrontEnd::AnalogFrontEnd(const AnalogScene& scene, const CalibrationRecord& record)
    : scene_(scene), pairs_(PairsInForce(record))
{
}

int AnalogFrontEnd::VoltsToRaw(double volts, const CalibrationPair& pair)
{
    // The converter's code falls as the voltage rises; it saturates at both ends of its range.
    const double raw = std::nearbyint((pair.zero - volts) / (pair.voltsPerUnit * 64.0));
    if (!(raw > 0.0))
        return 0;
    return raw >= kMaxRaw ? kMaxRaw : static_cast<int>(raw);
}

int AnalogFrontEnd::sample(std::uint8_t selectorCode, double seconds) const
{
    const SignalSource* source = nullptr;
    const CalibrationPair* pair = nullptr;
    switch (selectorCode) {
    case 8:
    case 9: {
        const bool channelA = (selectorCode == 8) != scene_.oldInputs;
        source = channelA ? &scene_.channelA : &scene_.channelB;
        pair = channelA ? &pairs_.aNormal : &pairs_.bNormal;
        break;
    }
    case 11: source = &scene_.channelA; pair = &pairs_.aAttenuated; break;
    case 10: source = &scene_.channelB; pair = &pairs_.bAttenuated; break;
    default: return kMidScale; // a selector with no input behind it
    }
    return VoltsToRaw(source->valueAt(seconds), *pair);
}

bool AnalogFrontEnd::externalHigh(double seconds) const
{
    return scene_.externalTrigger.valueAt(seconds) > AnalogScene::kExternalHighVolts;
}

} // namespace tesmar
