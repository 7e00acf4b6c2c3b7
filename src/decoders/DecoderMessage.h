#pragma once
// A message a decoder wants shown: a message-table key and the arguments of its %s fields.
// Decoders never show anything; the window or the command line formats and shows it.

#include "text/MessageFormat.h"
#include "text/MessageKeys.h"

#include <string>
#include <vector>

namespace tesmar {

class MessageTable;

struct DecoderMessage {
    Msg key;
    std::vector<FormatArg> args;

    bool operator==(const DecoderMessage&) const = default;
};

std::string FormatDecoderMessage(const DecoderMessage& message, const MessageTable& table);

} // namespace tesmar
