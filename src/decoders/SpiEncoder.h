#pragma once
// Encoding bytes as SPI clock and MOSI data on two generator lines (bus B).

#include "decoders/DecoderMessage.h"
#include "decoders/GeneratorTarget.h"
#include "decoders/SpiSettings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tesmar {

struct SpiEncodeRequest {
    int mosi = 8;
    int sck = 9;
    std::string clockText = "100"; // kHz, as typed
    SpiSettings settings;
    std::vector<std::uint8_t> bytes;
    double marker1 = 0.0; // seconds
};

struct SpiEncodeResult {
    std::optional<DecoderMessage> error; // set: nothing was written
    std::vector<double> mosiTimes;       // start of each byte that was played
};

SpiEncodeResult EncodeSpi(const GeneratorTarget& target, const SpiEncodeRequest& request);

} // namespace tesmar
