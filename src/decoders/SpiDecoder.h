#pragma once
// Decoding of an SPI exchange: MISO and MOSI bytes taken on the sampling edges of SCK.

#include "decoders/DecoderMessage.h"
#include "decoders/DecoderTable.h"
#include "decoders/EdgeSpacing.h"
#include "decoders/LineEvents.h"
#include "decoders/SpiSettings.h"
#include "logic/ChannelQueries.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace tesmar {

class MessageTable;

struct SpiDecodeRequest {
    int sck = 0;
    // A data line not given is not decoded: its bytes stay empty.
    std::optional<int> mosi = 0;
    std::optional<int> miso = 0;
    SpiSettings settings;
    double marker1 = 0.0; // seconds
    // Framing by a chip-select line, as other analysers' SPI decoders do: clock edges outside an
    // active select are ignored and each selection starts a new byte. None: the window's way,
    // every edge counts.
    std::optional<int> cs;
    bool csActiveLow = true;
    std::int64_t maxPairs = kSpiMaxPairs; // the window's grid limit by default
};

struct SpiDecodeResult {
    std::optional<DecoderMessage> error;
    std::vector<std::uint8_t> miso; // empty for a line not given
    std::vector<std::uint8_t> mosi;
    std::vector<double> misoTimes;
    std::vector<double> mosiTimes;
    double edgeSpacing = 0.0; // mean SCK edge spacing h, seconds
};

// The decoding of the capture held sample by sample: the checks that need its arrays, then
// DecodeSpiEvents over them.
SpiDecodeResult DecodeSpi(const ChannelQueries& queries, const SpiDecodeRequest& request);

// The decoding on lines known by their changes: `events` follows SCK, the data lines given and
// CS, and is gone through twice (the clock's edge spacing first). An empty result when it cannot
// be gone through again.
SpiDecodeResult DecodeSpiEvents(LineEvents& events, const LineTiming& timing, const SpiDecodeRequest& request);

// Number, BIN(MISO), HEX, BIN(MOSI), HEX.
DecoderTable SpiTable(const SpiDecodeResult& result, const MessageTable& table);

} // namespace tesmar
