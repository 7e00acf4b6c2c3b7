#pragma once
// Decoding of a 1-Wire line by low-pulse widths: reset and presence pulses and bytes, with
// the thermometer family's commands named.

#include "decoders/DecoderMessage.h"
#include "decoders/DecoderTable.h"
#include "decoders/LineEvents.h"
#include "logic/ChannelQueries.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tesmar {

class MessageTable;

enum class OneWireDevice { Unknown, Thermometer };

inline constexpr double kOneWireResetWidth = 4.5e-4;  // s; a low pulse this long is a reset
inline constexpr double kOneWireOneWidth = 1.5e-5;    // s; a shorter slot is a 1
inline constexpr double kOneWireMaxPeriod = 5e-6;     // s; the coarsest sampling that decodes
inline constexpr int kOneWireMaxRows = 20002;

struct OneWireRequest {
    int dq = 0;
    OneWireDevice device = OneWireDevice::Unknown;
    double marker1 = 0.0; // seconds; should point at a reset pulse
    std::int64_t maxRows = kOneWireMaxRows; // the window's grid limit by default
};

enum class OneWireElement { Reset, Presence, Byte };

struct OneWireRow {
    OneWireElement element;
    std::uint8_t value = 0;     // bytes only
    std::string description;    // bytes: command or data label (thermometer only)
    double time = 0.0;          // start of the element's first low pulse
};

struct OneWireDecodeResult {
    std::optional<DecoderMessage> error;
    std::vector<OneWireRow> rows;
};

OneWireDecodeResult DecodeOneWire(const ChannelQueries& queries, const OneWireRequest& request);

// The same decoding on DQ known by its changes (`events` follows it), in one pass. An empty
// result when it cannot be gone through.
OneWireDecodeResult DecodeOneWireEvents(LineEvents& events, const LineTiming& timing, const OneWireRequest& request);

// Number, code ("Rst", "Prn" or the byte in hex), description.
DecoderTable OneWireTable(const OneWireDecodeResult& result, const MessageTable& table);

} // namespace tesmar
