#pragma once
// Text helpers shared by the command-line subcommands.

#include <optional>
#include <string>

namespace tesmar {

// Text for the terminal: message-table line breaks (CR) become LF, and control characters and
// bytes that are not UTF-8 (from files and bad input) are shown as \xNN, so that no file can
// send escape sequences to the terminal.
std::string TerminalText(std::string text);

// "0.002", "12us", "12µs", "3.5ms", "40ns", "1s": seconds; anything else: none.
std::optional<double> ParseSeconds(const std::string& text);

// A finite number that is the whole text; none otherwise ("nan", "inf", "1e999", "5x").
std::optional<double> ParseFinite(const std::string& text);
// Whether `text` ends in `suffix` (given in lower case), without regard to letter case.
bool EndsWithNoCase(const std::string& text, const std::string& suffix);

// The allowed values of a numeric option.
struct NumberRange {
    double min;
    double max;
    bool whole = false;    // integers only
    const char* unit = ""; // shown after the limits
};

// The value of `option` when `value` is a finite number in the range (whole where it must be,
// read with ParseSeconds when `seconds`); else none, with "OPTION: 'VALUE' is not …" in
// `problem`.
std::optional<double> CheckedNumber(const std::string& option, const std::string& value,
                                    const NumberRange& range, std::string& problem, bool seconds = false);

} // namespace tesmar
