#include "decoders/I2cEncoder.h"

#include "decoders/DecoderText.h"
#include "decoders/PlayPosition.h"
#include "logic/ChannelNames.h"

#include <algorithm>
#include <cctype>
#include <variant>

namespace tesmar {

namespace {

class I2cSlotWriter {
public:
    std::size_t size() const { return slots_.size(); }
    const std::vector<I2cSlot>& slots() const { return slots_; }

    void firstStart() { add({1, 1, 0}, {1, 0, 0}); }
    void repeatedStart() { add({0, 1, 1, 0}, {1, 1, 0, 0}); }
    void bit(int v) { add({0, 1, 1, 0}, {std::uint8_t(v), std::uint8_t(v), std::uint8_t(v), std::uint8_t(v)}); }
    void stopThenMore() { add({0, 1, 1, 0}, {0, 0, 1, 1}); }
    void finalStop() { add({0, 1, 1}, {0, 0, 1}); }
    void byte(unsigned value)
    {
        for (int k = 7; k >= 0; --k)
            bit(static_cast<int>((value >> k) & 1u));
    }

private:
    void add(std::initializer_list<std::uint8_t> scl, std::initializer_list<std::uint8_t> sda)
    {
        auto s = sda.begin();
        for (std::uint8_t level : scl)
            slots_.push_back({level, *s++});
    }
    std::vector<I2cSlot> slots_;
};

std::string UpperCase(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

I2cEncodeResult EncodeI2c(const GeneratorTarget& target, const I2cEncodeRequest& request)
{
    I2cEncodeResult result;
    auto fail = [&](Msg key, std::vector<FormatArg> args = {}) {
        result.error = DecoderMessage{key, std::move(args)};
        return result;
    };
    if (!target.generator)
        return fail(Msg::strLanUartNoG);
    if (!IsBusBChannel(request.sda))
        return fail(Msg::strLanI2cNoSDA);
    if (!IsBusBChannel(request.scl))
        return fail(Msg::strLanI2cNoSCL);
    if (request.sda == request.scl)
        return fail(Msg::strLanI2cSDA_SCL);
    const auto rate = ParseRateText(request.rateText, kI2cMinRateKbit, kI2cMaxRateKbit, Msg::strLanI2cRngBaud);
    if (const auto* message = std::get_if<DecoderMessage>(&rate)) {
        result.error = *message;
        return result;
    }
    const int kbit = std::get<int>(rate);
    const double bitTime = 0.001 / kbit;
    const double period = target.samplePeriod;
    if (!(period > 0.0) || bitTime <= 4.0 * period)
        return fail(Msg::strLanI2cTdLessG, {IntegerText(4.0 * kbit)});

    // The table ends at the first empty data cell; empty address and direction cells repeat
    // the row above.
    std::vector<I2cEncodeRow> rows;
    for (const I2cEncodeRow& typed : request.rows) {
        if (TrimBlanks(typed.data).empty())
            break;
        I2cEncodeRow row = typed;
        if (TrimBlanks(row.address).empty())
            row.address = rows.empty() ? "0000000" : rows.back().address;
        if (TrimBlanks(row.direction).empty())
            row.direction = rows.empty() ? "W" : rows.back().direction;
        rows.push_back(std::move(row));
    }
    if (rows.empty())
        return fail(Msg::strLanI2cNoDataG);

    I2cGrid& grid = result.grid;
    I2cSlotWriter slots;
    const GeneratorChannels channels(target);
    const ChannelQueries& queries = channels.queries();
    const std::int64_t k0 = queries.indexAt(request.scl, request.marker1);
    const double slotsPerSample = 4.0 * period / bitTime;
    // Rows that start after the last playable sample change nothing.
    const double playableSlots = static_cast<double>(GeneratorData::kSampleCount - 1 - std::min<std::int64_t>(k0, GeneratorData::kSampleCount - 1)) * slotsPerSample;
    auto elementTime = [&](std::size_t slot) { return static_cast<double>(slot) * bitTime / 4 + bitTime / 8; };

    unsigned previousAddress = 0;
    bool previousRead = false;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (static_cast<double>(slots.size()) > playableSlots)
            break;
        const unsigned address = ParseBinaryCell(rows[i].address) & 0x7F;
        const bool read = UpperCase(TrimBlanks(rows[i].direction)) != "W";
        const unsigned data = ParseBinaryCell(rows[i].data) & 0xFF;
        I2cRow& row = grid.row(static_cast<int>(i) + 1);
        const bool newAddress = i == 0 || address != previousAddress;
        if (newAddress || read != previousRead) {
            if (i > 0 && newAddress) {
                I2cRow& previous = grid.row(static_cast<int>(i));
                previous.cells[I2cStop] = "    Stop";
                previous.times[I2cStop] = elementTime(slots.size());
                slots.stopThenMore();
            }
            row.cells[I2cStart] = "    Start";
            row.times[I2cStart] = elementTime(slots.size());
            if (i == 0)
                slots.firstStart();
            else
                slots.repeatedStart();
            row.cells[I2cAddress] = BinaryDigits(address, 7);
            row.cells[I2cDirection] = read ? "R" : "W";
            row.times[I2cAddress] = elementTime(slots.size());
            row.times[I2cDirection] = elementTime(slots.size() + 7 * 4);
            slots.byte(address * 2 + (read ? 1u : 0u));
            row.cells[I2cAddressAck] = "?ACK";
            row.times[I2cAddressAck] = elementTime(slots.size());
            slots.bit(1);
        }
        row.cells[I2cData] = BinaryDigits(data, 8);
        row.times[I2cData] = elementTime(slots.size());
        slots.byte(data);
        row.cells[I2cDataAck] = read ? "ACK" : "?ACK";
        row.times[I2cDataAck] = elementTime(slots.size());
        slots.bit(read ? 0 : 1);
        grid.count = static_cast<int>(i) + 1;
        previousAddress = address;
        previousRead = read;
    }
    I2cRow& last = grid.row(grid.count);
    last.cells[I2cStop] = "    Stop";
    last.times[I2cStop] = elementTime(slots.size());
    slots.finalStop();

    GeneratorData& generator = *target.generator;
    const int sclLine = request.scl & 7;
    const int sdaLine = request.sda & 7;
    generator.fillLine(sclLine, true);
    generator.fillLine(sdaLine, true);
    const auto& played = slots.slots();
    for (std::int64_t k = k0; k <= GeneratorData::kSampleCount - 2; ++k) {
        const auto slot = static_cast<std::size_t>(PlayPosition(k - k0, slotsPerSample));
        if (slot >= played.size())
            break;
        if (!played[slot].scl)
            generator.setLine(static_cast<int>(k), sclLine, false);
        if (!played[slot].sda)
            generator.setLine(static_cast<int>(k), sdaLine, false);
    }

    for (I2cRow& row : grid.rows)
        for (double& time : row.times)
            if (time != kNoElementTime)
                time += request.marker1;
    return result;
}

} // namespace tesmar
