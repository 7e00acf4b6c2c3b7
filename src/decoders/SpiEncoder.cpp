#include "decoders/SpiEncoder.h"

#include "decoders/DecoderText.h"
#include "decoders/PlayPosition.h"
#include "logic/ChannelNames.h"

#include <algorithm>
#include <variant>

namespace tesmar {

SpiEncodeResult EncodeSpi(const GeneratorTarget& target, const SpiEncodeRequest& request)
{
    SpiEncodeResult result;
    auto fail = [&](Msg key, std::vector<FormatArg> args = {}) {
        result.error = DecoderMessage{key, std::move(args)};
        return result;
    };
    if (!target.generator)
        return fail(Msg::strLanUartNoG);
    if (!IsBusBChannel(request.mosi))
        return fail(Msg::strLanSpiNoGMOSI);
    if (!IsBusBChannel(request.sck))
        return fail(Msg::strLanSpiNoGSCK);
    if (request.mosi == request.sck)
        return fail(Msg::strLanSpiMOSI_SCK);
    const auto clock = ParseRateText(request.clockText, kSpiMinClockKHz, kSpiMaxClockKHz, Msg::strLanSpiRngBaud);
    if (const auto* message = std::get_if<DecoderMessage>(&clock)) {
        result.error = *message;
        return result;
    }
    const int kiloHertz = std::get<int>(clock);
    const double clockPeriod = 0.001 / kiloHertz;
    const double period = target.samplePeriod;
    if (!(period > 0.0) || clockPeriod / period <= 2.0)
        return fail(Msg::strLanSpiTdLessG, {IntegerText(2.0 * kiloHertz)});
    if (request.bytes.empty())
        return fail(Msg::strLanSpiNoDataG);

    const GeneratorChannels channels(target);
    const ChannelQueries& queries = channels.queries();
    const std::int64_t k0 = queries.indexAt(request.sck, request.marker1);
    const std::int64_t slotCount = 16 * static_cast<std::int64_t>(request.bytes.size());
    const int clockFirst = request.settings.polarity ^ request.settings.phase;

    GeneratorData& generator = *target.generator;
    const int mosiLine = request.mosi & 7;
    const int sckLine = request.sck & 7;
    generator.fillLine(mosiLine, true);
    generator.fillLine(sckLine, request.settings.polarity == 1);

    const double step = 2.0 * period / clockPeriod;
    bool previousAtByteStart = false;
    for (std::int64_t k = k0; k < GeneratorData::kSampleCount; ++k) {
        const auto slot = static_cast<std::int64_t>(PlayPosition(k - k0, step));
        if (slot >= slotCount)
            break;
        const std::uint8_t value = request.bytes[static_cast<std::size_t>(slot / 16)];
        const int bitIndex = static_cast<int>((slot % 16) / 2);
        const int bit = request.settings.msbFirst ? (value >> (7 - bitIndex)) & 1 : (value >> bitIndex) & 1;
        const int clockLevel = (slot % 2 == 0) ? clockFirst : 1 - clockFirst;
        const int sample = static_cast<int>(k);
        if (bit == 0)
            generator.setLine(sample, mosiLine, false);
        generator.setLine(sample, sckLine, clockLevel == 1);
        const bool atByteStart = slot % 16 == 0;
        if (atByteStart && !previousAtByteStart)
            result.mosiTimes.push_back(queries.timeAt(request.mosi, k));
        previousAtByteStart = atByteStart;
    }
    return result;
}

} // namespace tesmar
