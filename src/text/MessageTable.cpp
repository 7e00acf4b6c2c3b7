#include "text/MessageTable.h"

#include "text/MessageTexts.h"

#include <stdexcept>

namespace tesmar {
namespace {

std::array<std::string, kMessageCount> MakeBuiltInTexts() {
    std::array<std::string, kMessageCount> texts;
    const auto& entries = BuiltInMessages();
    for (int i = 0; i < kMessageCount; ++i) {
        // The table is indexed by key; an entry out of place would show the wrong message.
        if (static_cast<int>(entries[i].key) != i)
            throw std::logic_error("message table out of order");
        texts[i] = std::string(entries[i].text);
    }
    return texts;
}

const std::array<std::string, kMessageCount>& BuiltInTexts() {
    static const auto texts = MakeBuiltInTexts();
    return texts;
}

} // namespace

MessageTable::MessageTable() : texts_(BuiltInTexts()) {}

std::string_view MessageTable::keyName(Msg key) {
    return BuiltInMessages()[static_cast<int>(key)].name;
}

std::optional<Msg> MessageTable::keyFromName(std::string_view name) {
    for (const auto& entry : BuiltInMessages())
        if (entry.name == name)
            return entry.key;
    return std::nullopt;
}

const std::string& MessageTable::builtInText(Msg key) {
    return BuiltInTexts()[static_cast<int>(key)];
}

} // namespace tesmar
