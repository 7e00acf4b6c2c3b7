#include "decoders/SpiDecoder.h"

#include "decoders/DecoderText.h"
#include "text/MessageTable.h"

#include <algorithm>
#include <limits>
#include <span>

namespace tesmar {

double MeanEdgeSpacing(const std::uint8_t* data, std::int64_t count, std::uint8_t mask)
{
    std::int64_t previous = -1;
    std::int64_t sum = 0;
    std::int64_t intervals = 0;
    for (std::int64_t i = 0; i + 1 < count; ++i) {
        if (((data[i] ^ data[i + 1]) & mask) == 0)
            continue;
        if (previous >= 0) {
            sum += (i + 1) - previous;
            ++intervals;
        }
        previous = i + 1;
    }
    return intervals > 0 ? static_cast<double>(sum) / static_cast<double>(intervals) : 0.0;
}

SpiDecodeResult DecodeSpi(const ChannelQueries& queries, const SpiDecodeRequest& request)
{
    SpiDecodeResult result;
    const auto sck = queries.data(request.sck);
    const auto miso = request.miso ? queries.data(*request.miso) : std::span<const std::uint8_t>{};
    const auto mosi = request.mosi ? queries.data(*request.mosi) : std::span<const std::uint8_t>{};
    const std::int64_t n = queries.samples(request.sck);
    if (n - 1 <= 0 || sck.empty() || (request.miso && miso.empty()) || (request.mosi && mosi.empty())) {
        result.error = DecoderMessage{Msg::strLanSpiNoDataA, {}};
        return result;
    }
    const std::int64_t s0 = queries.indexAt(request.sck, request.marker1);
    if (s0 > n - 1)
        return result;

    const std::uint8_t sckMask = ChannelQueries::lineMask(request.sck);
    const std::uint8_t misoMask = request.miso ? ChannelQueries::lineMask(*request.miso) : 0;
    const std::uint8_t mosiMask = request.mosi ? ChannelQueries::lineMask(*request.mosi) : 0;
    const bool rising = request.settings.polarity == request.settings.phase;
    const std::int64_t end = std::min<std::int64_t>(n, static_cast<std::int64_t>(sck.size()));

    result.edgeSpacing = MeanEdgeSpacing(sck.data(), n, sckMask) * queries.period(request.sck);
    const double h = result.edgeSpacing;

    // A sample beyond the end of a data line reads low.
    const auto misoSize = static_cast<std::int64_t>(miso.size());
    const auto mosiSize = static_cast<std::int64_t>(mosi.size());
    const std::uint8_t* clock = sck.data();
    const std::uint8_t wantBefore = rising ? 0 : sckMask;
    int bitCount = 0;
    unsigned misoByte = 0, mosiByte = 0;
    // A byte cut short by the end of a selection is dropped with its start time.
    auto dropPartialByte = [&] {
        if (bitCount > 0) {
            result.misoTimes.pop_back();
            result.mosiTimes.pop_back();
        }
        bitCount = 0;
        misoByte = mosiByte = 0;
    };
    const std::span<const std::uint8_t> select = request.cs ? queries.data(*request.cs) : std::span<const std::uint8_t>{};
    const std::uint8_t csMask = request.cs ? ChannelQueries::lineMask(*request.cs) : 0;
    const std::uint8_t csActive = request.csActiveLow ? 0 : csMask;
    const auto csSize = static_cast<std::int64_t>(select.size());
    // Beyond the end of the select line the device counts as deselected.
    auto selected = [&](std::int64_t i) { return i < csSize && (select[i] & csMask) == csActive; };
    auto samplingEdge = [&](std::int64_t p) {
        // The clock leaves the level it had before the edge.
        return (clock[p - 1] & sckMask) == wantBefore && (clock[p] & sckMask) != wantBefore;
    };
    bool wasSelected = request.cs && selected(s0);
    // Decoding that starts inside a selection does not know where its bytes began, but they
    // end with it: the surplus edges in front of its last whole byte are passed over.
    std::int64_t skipEdges = 0;
    if (wasSelected) {
        std::int64_t edges = 0;
        for (std::int64_t p = s0 + 1; p < end; ++p) {
            if (!selected(p)) {
                skipEdges = edges % 8;
                break;
            }
            edges += samplingEdge(p);
        }
    }
    for (std::int64_t p = s0 + 1; p < end; ++p) {
        if (request.cs) {
            const bool now = selected(p);
            if (now != wasSelected)
                dropPartialByte(); // a new selection starts a new byte
            wasSelected = now;
            if (!now)
                continue;
        }
        if (!samplingEdge(p))
            continue;
        if (skipEdges > 0) {
            --skipEdges;
            continue;
        }
        const bool misoBit = p < misoSize && (miso[p] & misoMask);
        const bool mosiBit = p < mosiSize && (mosi[p] & mosiMask);
        if (bitCount == 0) {
            // A line not given has no data of its own: its times are the clock's.
            result.misoTimes.push_back(queries.timeAt(request.miso.value_or(request.sck), p) - h);
            result.mosiTimes.push_back(queries.timeAt(request.mosi.value_or(request.sck), p) - h);
        }
        const unsigned weight = request.settings.msbFirst ? (0x80u >> bitCount) : (1u << bitCount);
        if (misoBit)
            misoByte |= weight;
        if (mosiBit)
            mosiByte |= weight;
        if (++bitCount == 8) {
            result.miso.push_back(static_cast<std::uint8_t>(misoByte));
            result.mosi.push_back(static_cast<std::uint8_t>(mosiByte));
            bitCount = 0;
            misoByte = mosiByte = 0;
            if (static_cast<std::int64_t>(result.miso.size()) > request.maxPairs)
                break;
        }
    }
    // An incomplete last byte is dropped, and so is its start time.
    result.misoTimes.resize(result.miso.size());
    result.mosiTimes.resize(result.mosi.size());
    if (!request.miso) {
        result.miso.clear();
        result.misoTimes.clear();
    }
    if (!request.mosi) {
        result.mosi.clear();
        result.mosiTimes.clear();
    }
    return result;
}

DecoderTable SpiTable(const SpiDecodeResult& result, const MessageTable& table)
{
    DecoderTable grid;
    grid.headers = {"  " + table.text(Msg::strNumber), "BIN(MISO)", "HEX", "BIN(MOSI)", "HEX"};
    grid.timeColumns = {1, 3};
    grid.timeNames = {"MISO", "MOSI"};
    const double none = std::numeric_limits<double>::quiet_NaN();
    // A line that was not decoded leaves its columns empty.
    const std::size_t count = std::max(result.miso.size(), result.mosi.size());
    for (std::size_t r = 0; r < count; ++r) {
        std::vector<std::string> row(5);
        std::vector<double> times(5, none);
        row[0] = std::to_string(r + 1);
        if (r < result.miso.size()) {
            row[1] = BinaryDigits(result.miso[r], 8);
            row[2] = HexByte(result.miso[r]);
            times[1] = times[2] = result.misoTimes[r];
        }
        if (r < result.mosi.size()) {
            row[3] = BinaryDigits(result.mosi[r], 8);
            row[4] = HexByte(result.mosi[r]);
            times[3] = times[4] = result.mosiTimes[r];
        }
        grid.rows.push_back(std::move(row));
        grid.times.push_back(std::move(times));
    }
    return grid;
}

} // namespace tesmar
