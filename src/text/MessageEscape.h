#pragma once
// Message texts in a language file: the INI reader keeps one line per value and drops leading
// blanks, so line breaks and a leading blank are written as markers and restored on reading.

#include <string>
#include <string_view>

namespace tesmar {

// CR → "$13$", LF → "$10$", a leading blank → "$".
std::string EscapeMessage(std::string_view text);
// "$13$" → CR, "$10$" → LF, then a leading "$" → blank.
std::string UnescapeMessage(std::string_view text);

} // namespace tesmar
