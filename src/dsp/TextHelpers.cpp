#include "dsp/TextHelpers.h"

#include <cmath>
#include <cstdio>

namespace tesmar {
namespace {

std::string_view Trimmed(std::string_view text) {
    // Blanks and control characters, as the text fields may carry either.
    const auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

std::string ByteToBinText(std::uint8_t value, bool dotted) {
    std::string text;
    for (int bit = 7; bit >= 0; --bit) {
        text += (value >> bit) & 1 ? '1' : '0';
        if (dotted && bit == 4)
            text += '.';
    }
    return text;
}

std::int32_t BinTextToInt(std::string_view text) {
    std::uint32_t value = 0;
    for (char c : Trimmed(text))
        value = (value << 1) + (c == '1' ? 1u : 0u);
    return static_cast<std::int32_t>(value);
}

std::int32_t HexTextToInt(std::string_view text) {
    std::uint32_t value = 0;
    for (char c : Trimmed(text)) {
        unsigned code = static_cast<unsigned char>(c);
        if (code >= 'a' && code <= 'z')
            code -= 'a' - 'A';
        const std::uint32_t digit = code < ':' ? code - 48u : code - 55u;
        value = value * 16u + digit;
    }
    return static_cast<std::int32_t>(value);
}

std::string TimeToTextUs(double days) {
    if (!std::isfinite(days))
        return "00:00:000:000";
    constexpr long long kMicrosecondsPerDay = 86'400'000'000LL;
    const double dayFraction = days - std::floor(days);
    // Rounding the whole time to microseconds first keeps the fields consistent: a millisecond
    // that rounds up is borrowed back from the microseconds, never shown as 1000.
    long long micro = std::llround(dayFraction * static_cast<double>(kMicrosecondsPerDay));
    micro %= kMicrosecondsPerDay;
    const long long microseconds = micro % 1000;
    const long long milliseconds = micro / 1000 % 1000;
    const long long seconds = micro / 1'000'000 % 60;
    const long long minutes = micro / 60'000'000 % 60;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02lld:%02lld:%03lld:%03lld", minutes, seconds, milliseconds,
                  microseconds);
    return buffer;
}

} // namespace tesmar
