#pragma once
// The built-in message table: each key with its name and its Russian text, in table order.

#include "text/MessageKeys.h"

#include <array>
#include <string_view>

namespace tesmar {

struct MessageEntry {
    Msg key;
    std::string_view name;
    std::string_view text;
};

const std::array<MessageEntry, kMessageCount>& BuiltInMessages();

} // namespace tesmar
