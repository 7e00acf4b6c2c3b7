#pragma once
// Estimate of the baud rate from the shortest pulses of a captured line, snapped to the rate
// list of the UART window when within 5 %.

#include "decoders/DecoderMessage.h"
#include "decoders/LineEvents.h"
#include "logic/ChannelQueries.h"

#include <array>
#include <string>
#include <variant>

namespace tesmar {

inline constexpr std::array<int, 11> kUartBaudList = {1200, 2400, 4800, 9600, 14400, 19200,
                                                      28800, 38400, 57600, 76800, 115200};

// The unrounded estimate snapped to the list (the first item within 5 %), rounded.
long long SnapUartBaud(double baud);

// The estimate for `channel` (the RxD line), or the message explaining why there is none;
// `channelName` fills the "no data" message.
std::variant<long long, DecoderMessage> EstimateUartBaud(const ChannelQueries& queries, int channel,
                                                         const std::string& channelName);
// The same on a line known by its changes (`events` follows it; gone through twice).
std::variant<long long, DecoderMessage> EstimateUartBaudEvents(LineEvents& events, const LineTiming& timing,
                                                               int channel, const std::string& channelName);

} // namespace tesmar
