#pragma once
// Text helpers shared by the command-line subcommands.

#include <initializer_list>
#include <optional>
#include <ostream>
#include <string>

namespace tesmar {

// Text for the terminal: message-table line breaks (CR) become LF, and control characters and
// bytes that are not UTF-8 (from files and bad input) are shown as \xNN, so that no file can
// send escape sequences to the terminal.
std::string TerminalText(std::string text);

// A unit suffix worth a power of ten ("us": -6, "k": 3).
struct DecimalUnit {
    const char* suffix;
    int power;
};

// A decimal number with at most one of `units` after it, read exactly: the decimal mantissa
// times the power of ten is rounded once, so "5us" is the same number as "5e-6". None for
// anything else, and for a number that is not finite.
std::optional<double> ParseWithUnit(const std::string& text, std::initializer_list<DecimalUnit> units);

// "0.002", "12us", "12µs", "3.5ms", "40ns", "1s": seconds; anything else: none.
std::optional<double> ParseSeconds(const std::string& text);
// "250000", "250k", "2.5M", "1G": hertz; anything else: none.
std::optional<double> ParseHertz(const std::string& text);

// Seconds as the options take them: "6.95833us", "10ms", "1.5s".
std::string SecondsText(double seconds);
// Says on `err` when the instrument's clock made the asked period another one.
void ReportQuantizedPeriod(const std::string& command, double asked, double used, std::ostream& err);

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

// How an option's number may be written: plain, or with the units of ParseSeconds or ParseHertz.
enum class NumberUnits { None, Seconds, Hertz };

// The value of `option` when `value` is a finite number in the range (whole where it must be,
// read with its units); else none, with "OPTION: 'VALUE' is not …" in `problem`.
std::optional<double> CheckedNumber(const std::string& option, const std::string& value, const NumberRange& range,
                                    std::string& problem, NumberUnits units = NumberUnits::None);
inline std::optional<double> CheckedNumber(const std::string& option, const std::string& value,
                                           const NumberRange& range, std::string& problem, bool seconds)
{
    return CheckedNumber(option, value, range, problem, seconds ? NumberUnits::Seconds : NumberUnits::None);
}

} // namespace tesmar
