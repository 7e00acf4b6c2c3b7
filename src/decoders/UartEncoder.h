#pragma once
// Encoding bytes as UART frames on a generator line (bus B), idle high between the end of the
// frames and the end of the generator data.

#include "decoders/DecoderMessage.h"
#include "decoders/GeneratorTarget.h"
#include "decoders/UartSettings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tesmar {

struct UartEncodeRequest {
    int txd = 8;
    std::string baudText = "9600"; // as typed; checked like the decode rate
    UartSettings settings;         // baud is taken from baudText
    std::vector<std::uint8_t> bytes;
    double marker1 = 0.0; // seconds; the first frame starts at the sample there
};

struct UartEncodeResult {
    std::optional<DecoderMessage> error; // set: nothing was written
    std::vector<double> txdTimes;        // start time of each frame that was played
};

// The frame bits of one byte: start 0, data LSB first, parity, stop bits 1.
std::vector<std::uint8_t> UartFrameBits(std::uint8_t value, const UartSettings& settings);

UartEncodeResult EncodeUart(const GeneratorTarget& target, const UartEncodeRequest& request);

} // namespace tesmar
