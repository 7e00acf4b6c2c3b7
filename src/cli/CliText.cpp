#include "CliText.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace tesmar {

namespace {

// Length of the well-formed UTF-8 sequence at `i`, 0 when there is none.
std::size_t Utf8Length(const std::string& text, std::size_t i, unsigned& codePoint) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned lead = byte(i);
    std::size_t length = 0;
    unsigned minimum = 0;
    if (lead < 0x80)
        return codePoint = lead, 1;
    if ((lead & 0xE0) == 0xC0)
        length = 2, codePoint = lead & 0x1F, minimum = 0x80;
    else if ((lead & 0xF0) == 0xE0)
        length = 3, codePoint = lead & 0x0F, minimum = 0x800;
    else if ((lead & 0xF8) == 0xF0)
        length = 4, codePoint = lead & 0x07, minimum = 0x10000;
    else
        return 0;
    if (i + length > text.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        codePoint = codePoint << 6 | (byte(i + k) & 0x3F);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return 0;
    return length;
}

void AppendEscaped(std::string& out, unsigned char byte) {
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
    out += escaped;
}

std::string Limit(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.12g", value);
    return text;
}

} // namespace

std::string TerminalText(std::string text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        unsigned codePoint = 0;
        const std::size_t length = Utf8Length(text, i, codePoint);
        if (length == 0) {
            AppendEscaped(out, static_cast<unsigned char>(text[i++]));
            continue;
        }
        const bool control =
            codePoint < 0x20 || codePoint == 0x7F || (codePoint >= 0x80 && codePoint <= 0x9F);
        if (codePoint == '\r' || codePoint == '\n')
            out += '\n';
        else if (codePoint == '\t' || !control)
            out.append(text, i, length);
        else
            for (std::size_t k = 0; k < length; ++k)
                AppendEscaped(out, static_cast<unsigned char>(text[i + k]));
        i += length;
    }
    return out;
}

std::optional<double> ParseWithUnit(const std::string& text, std::initializer_list<DecimalUnit> units) {
    std::string number = text;
    int power = 0;
    // The longest suffix that fits: "ms" before "s".
    std::size_t matched = 0;
    for (const DecimalUnit& unit : units) {
        const std::string s = unit.suffix;
        if (s.size() > matched && number.size() > s.size() &&
            number.compare(number.size() - s.size(), s.size(), s) == 0) {
            matched = s.size();
            power = unit.power;
        }
    }
    number.resize(number.size() - matched);
    if (power == 0)
        return ParseFinite(number);
    // Decimal digits only: the power of ten goes into the exponent, and strtod rounds once.
    if (number.empty() || number.find_first_not_of("+-.0123456789eE") != std::string::npos)
        return std::nullopt;
    long exponent = 0;
    std::string mantissa = number;
    if (const auto e = number.find_first_of("eE"); e != std::string::npos) {
        mantissa = number.substr(0, e);
        const std::string given = number.substr(e + 1);
        char* end = nullptr;
        errno = 0;
        exponent = std::strtol(given.c_str(), &end, 10);
        if (given.empty() || end != given.c_str() + given.size() || errno != 0 || std::labs(exponent) > 100000)
            return std::nullopt;
    }
    if (mantissa.find_first_of("eE") != std::string::npos || !ParseFinite(mantissa))
        return std::nullopt;
    return ParseFinite(mantissa + "e" + std::to_string(exponent + power));
}

std::optional<double> ParseSeconds(const std::string& text) {
    return ParseWithUnit(text, {{"ns", -9}, {"us", -6}, {"µs", -6}, {"ms", -3}, {"s", 0}});
}

std::optional<double> ParseHertz(const std::string& text) {
    return ParseWithUnit(text, {{"k", 3}, {"K", 3}, {"M", 6}, {"G", 9}});
}

std::string SecondsText(double seconds) {
    static const std::pair<double, const char*> kUnits[] = {{1, "s"}, {1e-3, "ms"}, {1e-6, "us"}, {1e-9, "ns"}};
    for (const auto& [scale, unit] : kUnits)
        if (std::fabs(seconds) >= scale || scale == 1e-9) {
            char text[48];
            std::snprintf(text, sizeof text, "%.6g%s", seconds / scale, unit);
            return text;
        }
    return {};
}

void ReportQuantizedPeriod(const std::string& command, double asked, double used, std::ostream& err) {
    if (std::fabs(used - asked) <= 1e-9 * asked)
        return;
    err << "tesmar-cli " << command << ": the instrument's 24 MHz clock makes the period " << SecondsText(used)
        << " (" << SecondsText(asked) << " asked)\n";
}

std::optional<double> ParseFinite(const std::string& text) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text.front())))
        return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> CheckedNumber(const std::string& option, const std::string& value, const NumberRange& range,
                                    std::string& problem, NumberUnits units) {
    const auto number = units == NumberUnits::Seconds ? ParseSeconds(value)
                        : units == NumberUnits::Hertz ? ParseHertz(value)
                                                      : ParseFinite(value);
    if (number && *number >= range.min && *number <= range.max &&
        (!range.whole || std::floor(*number) == *number))
        return number;
    problem = option + ": '" + TerminalText(value) + "' is not " +
              (range.whole ? "a whole number" : "a number") + " from " + Limit(range.min) + " to " +
              Limit(range.max) + range.unit;
    return std::nullopt;
}

bool EndsWithNoCase(const std::string& text, const std::string& suffix)
{
    if (text.size() < suffix.size())
        return false;
    for (std::size_t i = 0; i < suffix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[text.size() - suffix.size() + i])) != suffix[i])
            return false;
    return true;
}

} // namespace tesmar
