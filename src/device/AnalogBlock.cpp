#include "AnalogBlock.h"

#include "DeviceClock.h"

#include <cmath>

namespace tesmar {

SampleRateCode ComputeSampleRateCode(double requestedRate, int averaging)
{
    SampleRateCode code;
    double f = QuantizeRate(requestedRate * averaging);
    // The test is made on the first quantisation; above 400 Hz the rate travels in 10 Hz units.
    if (f <= 400.0) {
        code.inHertz = true;
        code.wValue = static_cast<std::uint16_t>(std::nearbyint(f));
    } else {
        const double g = std::nearbyint(f / 10.0) * 10.0;
        f = QuantizeRate(g);
        code.wValue = static_cast<std::uint16_t>(std::nearbyint(f / 10.0));
    }
    code.rate = f;
    code.timingCode = f > 150'000.0 ? 0x34 : f > 100'000.0 ? 0x44 : 0x74;
    return code;
}

std::uint8_t InputCode(int channel, AnalogRange range, bool oldCodes)
{
    if (range == AnalogRange::Attenuated)
        return channel == 0 ? 11 : 10;
    const bool a = channel == 0;
    return (a != oldCodes) ? 8 : 9;
}

void FillInputSequence(AnalogBlock& block, bool chAOn, bool chBOn, std::uint8_t codeA, std::uint8_t codeB)
{
    for (int i = 0; i < 8; ++i) {
        if (chAOn && chBOn)
            block.sequence(i) = (i % 2 == 0) ? codeA : codeB;
        else
            block.sequence(i) = chAOn ? codeA : codeB;
    }
}

} // namespace tesmar
