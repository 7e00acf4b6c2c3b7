#include "decoders/UartEncoder.h"

#include "decoders/DecoderText.h"
#include "decoders/PlayPosition.h"
#include "logic/ChannelNames.h"

#include <algorithm>
#include <cmath>
#include <variant>

namespace tesmar {

std::vector<std::uint8_t> UartFrameBits(std::uint8_t value, const UartSettings& settings)
{
    std::vector<std::uint8_t> bits;
    bits.push_back(0);
    int ones = 0;
    for (int k = 0; k < settings.dataBits; ++k) {
        const int bit = (value >> k) & 1;
        ones += bit;
        bits.push_back(static_cast<std::uint8_t>(bit));
    }
    if (settings.parity == UartParity::Even)
        bits.push_back(ones % 2 == 1 ? 1 : 0);
    else if (settings.parity == UartParity::Odd)
        bits.push_back(ones % 2 == 0 ? 1 : 0);
    for (int k = 0; k < settings.stopBits; ++k)
        bits.push_back(1);
    return bits;
}

UartEncodeResult EncodeUart(const GeneratorTarget& target, const UartEncodeRequest& request)
{
    UartEncodeResult result;
    if (!target.generator) {
        result.error = DecoderMessage{Msg::strLanUartNoG, {}};
        return result;
    }
    if (!IsBusBChannel(request.txd)) {
        result.error = DecoderMessage{Msg::strLanUartNoGTxd, {}};
        return result;
    }
    const auto baud = ParseRateText(request.baudText, kUartMinBaud, kUartMaxBaud, Msg::strLanUartRngBaud);
    if (const auto* message = std::get_if<DecoderMessage>(&baud)) {
        result.error = *message;
        return result;
    }
    const int rate = std::get<int>(baud);
    const double bitTime = 1.0 / rate;
    const double period = target.samplePeriod;
    if (!(period > 0.0) || bitTime / period <= 2.0) {
        result.error = DecoderMessage{Msg::strLanUartTdLessG, {IntegerText(2.0 * rate)}};
        return result;
    }
    if (request.bytes.empty()) {
        result.error = DecoderMessage{Msg::strLanUartNoDataG, {}};
        return result;
    }

    UartSettings settings = request.settings;
    settings.baud = rate;
    const GeneratorChannels channels(target);
    const ChannelQueries& queries = channels.queries();
    const std::int64_t k0 = queries.indexAt(request.txd, request.marker1);

    // Only frames that begin inside the generator data matter.
    const double samplesPerBit = bitTime / period;
    const std::int64_t playable = GeneratorData::kSampleCount - std::min<std::int64_t>(k0, GeneratorData::kSampleCount);
    std::vector<std::uint8_t> stream;
    std::size_t frameLength = 0;
    for (std::uint8_t value : request.bytes) {
        const auto bits = UartFrameBits(value, settings);
        frameLength = bits.size();
        stream.insert(stream.end(), bits.begin(), bits.end());
        if (static_cast<double>(stream.size()) * samplesPerBit > static_cast<double>(playable) + samplesPerBit)
            break;
    }

    GeneratorData& generator = *target.generator;
    const int line = request.txd & 7;
    generator.fillLine(line, true);
    const double step = period / bitTime;
    bool previousAtFrameStart = false;
    for (std::int64_t k = k0; k < GeneratorData::kSampleCount; ++k) {
        const auto bitIndex = static_cast<std::size_t>(PlayPosition(k - k0, step));
        if (bitIndex >= stream.size())
            break;
        if (stream[bitIndex] == 0)
            generator.setLine(static_cast<int>(k), line, false);
        const bool atFrameStart = bitIndex % frameLength == 0;
        if (atFrameStart && !previousAtFrameStart)
            result.txdTimes.push_back(queries.timeAt(request.txd, k));
        previousAtFrameStart = atFrameStart;
    }
    return result;
}

} // namespace tesmar
