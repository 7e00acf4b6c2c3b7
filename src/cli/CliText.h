#pragma once
// Text helpers shared by the command-line subcommands.

#include <optional>
#include <string>

namespace tesmar {

// Message-table texts break lines with CR; a terminal wants LF.
std::string TerminalText(std::string text);

// "0.002", "12us", "12µs", "3.5ms", "40ns", "1s": seconds; anything else: none.
std::optional<double> ParseSeconds(const std::string& text);

} // namespace tesmar
