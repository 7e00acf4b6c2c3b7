#include "decoders/DecoderText.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace tesmar {

std::string BinaryDigits(unsigned value, int digits)
{
    std::string text(static_cast<std::size_t>(digits), '0');
    for (int k = 0; k < digits; ++k)
        if ((value >> (digits - 1 - k)) & 1u)
            text[static_cast<std::size_t>(k)] = '1';
    return text;
}

std::string HexByte(std::uint8_t value)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[value >> 4], kDigits[value & 15]};
}

std::string TrimBlanks(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(first, last - first + 1));
}

unsigned ParseBinaryCell(std::string_view text)
{
    unsigned value = 0;
    for (char c : TrimBlanks(text))
        value = (value << 1) | (c == '1' ? 1u : 0u);
    return value;
}

unsigned ParseHexCell(std::string_view text)
{
    unsigned value = 0;
    for (char c : TrimBlanks(text)) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        const int digit = c < ':' ? c - 48 : c - 55;
        value = value * 16 + static_cast<unsigned>(digit);
    }
    return value;
}

std::variant<int, DecoderMessage> ParseRateText(std::string_view text, int min, int max, Msg rangeMessage)
{
    const std::string trimmed = TrimBlanks(text);
    const char* begin = trimmed.data();
    const char* end = begin + trimmed.size();
    if (begin != end && *begin == '+')
        ++begin;
    long long value = 0;
    const auto [stop, error] = std::from_chars(begin, end, value);
    if (trimmed.empty() || error != std::errc() || stop != end)
        return DecoderMessage{Msg::strLanUartErrBaud, {std::string(text)}};
    if (value < min || value > max)
        return DecoderMessage{rangeMessage, {}};
    return static_cast<int>(value);
}

std::string IntegerText(double value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.0f", std::round(value));
    return buffer;
}

} // namespace tesmar
