#pragma once
// The table of texts the program composes at run time (messages, axis titles, changing
// captions). Built with the Russian texts; a language file may replace any entry.

#include "MessageKeys.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tesmar {

class MessageTable {
public:
    MessageTable(); // the built-in Russian texts

    const std::string& text(Msg key) const { return texts_[static_cast<int>(key)]; }
    void setText(Msg key, std::string text) { texts_[static_cast<int>(key)] = std::move(text); }

    static std::string_view keyName(Msg key);
    static std::optional<Msg> keyFromName(std::string_view name); // exact, case-sensitive
    static const std::string& builtInText(Msg key);

private:
    std::array<std::string, kMessageCount> texts_;
};

} // namespace tesmar
