#include "decoders/DecoderMessage.h"

#include "text/MessageTable.h"

namespace tesmar {

std::string FormatDecoderMessage(const DecoderMessage& message, const MessageTable& table)
{
    const std::string& format = table.text(message.key);
    const auto& a = message.args;
    // No decoder message has more than two fields.
    switch (a.size()) {
    case 0: return FormatMessage(format, {});
    case 1: return FormatMessage(format, {a[0]});
    case 2: return FormatMessage(format, {a[0], a[1]});
    default: return FormatMessage(format, {a[0], a[1], a[2]});
    }
}

} // namespace tesmar
