#pragma once
// Decoding of asynchronous serial frames on the RxD and TxD lines of a capture.

#include "decoders/DecoderMessage.h"
#include "decoders/DecoderTable.h"
#include "decoders/EdgeLine.h"
#include "decoders/UartSettings.h"
#include "logic/ChannelQueries.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace tesmar {

class MessageTable;

struct UartLineResult {
    std::vector<std::uint8_t> bytes;
    std::vector<double> startTimes; // seconds, first sample of each frame's start bit
};

struct UartDecodeRequest {
    // A line not given is not decoded: its columns stay empty.
    std::optional<int> rxd = 0;
    std::optional<int> txd = 0;
    UartSettings settings;
    double marker1 = 0.0; // both lines start here (seconds)
    // TxD starts here instead when given, so one line decoded as both starts the same.
    std::optional<double> marker2;
    // A line stops once it holds more bytes than this (the window's grid limit by default).
    std::int64_t maxEntries = kUartMaxEntries;
};

struct UartDecodeResult {
    UartLineResult rxd;
    UartLineResult txd;
    // Per-line refusals ("sample rate too low"), shown after the grid is filled.
    std::vector<DecoderMessage> messages;
};

// One line from the sample nearest `startTime`; `lineName` ("RxD"/"TxD") fills the message
// appended when the sample rate is too low for the baud rate.
UartLineResult DecodeUartLine(const ChannelQueries& queries, int channel, const UartSettings& settings,
                              double startTime, const char* lineName, std::vector<DecoderMessage>& messages,
                              std::int64_t maxEntries = kUartMaxEntries);

// Where a line lies in time: as ChannelQueries tells it for a capture held sample by sample.
struct UartLineTiming {
    double period = 0.0;       // s
    double firstTime = 0.0;    // s, of sample 0
    std::int64_t samples = 0;  // the span in sample periods: one less than the sample count
    bool hasPoints = false;
};

// The same decoding on a line known by its changes (a capture too long to hold sample by sample).
UartLineResult DecodeUartEdges(EdgeLine& line, const UartLineTiming& timing, const UartSettings& settings,
                               double startTime, const char* lineName, std::vector<DecoderMessage>& messages,
                               std::int64_t maxEntries = kUartMaxEntries);

UartDecodeResult DecodeUart(const ChannelQueries& queries, const UartDecodeRequest& request);

// The result grid: number, BIN (RxD), HEX, BIN (TxD), HEX; filled rows only.
DecoderTable UartTable(const UartDecodeResult& result, const MessageTable& table);

} // namespace tesmar
