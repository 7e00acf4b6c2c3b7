#include "OscBufferDecoder.h"

#include <cmath>

namespace tesmar {

namespace {

constexpr int kRingTailLowBits = 1408;
constexpr int kLastGroupLowBits = 1409;

int LowBits(std::uint8_t byte, int field)
{
    // A field outside the byte carries nothing (the ring never stops there).
    return field >= 0 && field < 4 ? (byte >> (2 * field)) & 3 : 0;
}

} // namespace

std::array<int, kOscBufferSamples> UnpackOscFrame(const OscFrame& frame, const AnalogBlock& block, bool eightBit)
{
    std::array<int, kOscBufferSamples + 1> samples{};
    int n = 0;
    int pos = 0;
    const bool triggerOn = (block.bytes[0] & AnalogBlock::kTriggerOn) != 0;
    if (triggerOn) {
        const int b2 = block.bytes[2];
        const int m = static_cast<int>(std::nearbyint(b2 * 1.25));
        const int w = frame[1410] | (frame[1411] << 8);
        if (m > 0) {
            std::array<std::uint8_t, 320> ring{};
            for (int i = 0; i < m; ++i)
                ring[i] = frame[(w + i) % m];
            const int r = w % 5;
            for (int t = 0; t < 4 - r; ++t)
                samples[n++] = (ring[t] << 2) | LowBits(ring[4 - r], r + t);
            int g = 5 - r;
            for (; g < m - r; g += 5)
                for (int k = 0; k < 4; ++k)
                    samples[n++] = GroupSample(&ring[g], k);
            for (int t = 0; t < r; ++t)
                samples[n++] = (ring[m - r + t] << 2) | LowBits(frame[kRingTailLowBits], 3 - r + t);
        }
        n = b2; // whatever the ring held, the record goes on after b2 samples
        pos = m;
    }
    for (; pos < 1404 && n + 4 <= kOscBufferSamples + 1; pos += 5)
        for (int k = 0; k < 4; ++k)
            samples[n++] = GroupSample(&frame[pos], k);
    for (int t = 0; t < 3 && n < kOscBufferSamples + 1; ++t)
        samples[n++] = (frame[1405 + t] << 2) | LowBits(frame[kLastGroupLowBits], t);

    std::array<int, kOscBufferSamples> used{};
    for (int i = 0; i < kOscBufferSamples; ++i)
        used[i] = eightBit ? samples[i] & 0x3FC : samples[i];
    return used;
}

void DecodeOscBuffer(const OscFrame& frame, const OscAcquisitionParams& params, const OscBufferDecodeOptions& options,
                     OscResult& result)
{
    const std::array<int, kOscBufferSamples> samples = UnpackOscFrame(frame, params.block, params.eightBit);
    const bool triggerOn = (params.block.bytes[0] & AnalogBlock::kTriggerOn) != 0;
    const int P = params.preTrigger;
    if (result.ValuesA.size() < OscResult::kMinCapacity)
        result.ValuesA.resize(OscResult::kMinCapacity);
    if (result.ValuesB.size() < OscResult::kMinCapacity)
        result.ValuesB.resize(OscResult::kMinCapacity);

    if (params.chAOn && params.chBOn) {
        int phase = 0;
        if (triggerOn) {
            const int w = frame[1410] | (frame[1411] << 8);
            const bool external = (params.block.bytes[0] & AnalogBlock::kExternal) != 0;
            const std::uint8_t code = params.block.bytes[3];
            const std::uint8_t bNormal = options.oldCodes ? 8 : 9;
            if ((external && (w % 5) % 2 == 1) || code == 10 || code == bNormal)
                phase = 1;
        }
        for (int j = 0; j < kOscBufferSamples; ++j) {
            if ((phase + j) % 2 == 1)
                result.ValuesB[j / 2] = RawToVolts(samples[j], params.pairB);
            else
                result.ValuesA[j / 2] = RawToVolts(samples[j], params.pairA);
        }
        result.CountA = result.CountB = kOscBufferSamples / 2;
        result.TrigIndexA = result.TrigIndexB = triggerOn ? P / 2 - 1 : 0;
    } else {
        const bool a = params.chAOn;
        std::vector<double>& values = a ? result.ValuesA : result.ValuesB;
        const CalibrationPair& pair = a ? params.pairA : params.pairB;
        for (int j = 0; j < kOscBufferSamples; ++j)
            values[j] = RawToVolts(samples[j], pair);
        (a ? result.CountA : result.CountB) = kOscBufferSamples;
        (a ? result.CountB : result.CountA) = 0;
        (a ? result.TrigIndexA : result.TrigIndexB) = triggerOn ? P - 1 : 0;
        (a ? result.TrigIndexB : result.TrigIndexA) = 0;
    }

    auto cut = [](std::int32_t& count) {
        if (count == 563)
            count = 512;
        else if (count == 1126)
            count = 1024;
    };
    if (options.smallBuffer) {
        cut(result.CountA);
        cut(result.CountB);
    }
}

} // namespace tesmar
