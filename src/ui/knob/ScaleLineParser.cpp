#include "ui/knob/ScaleLineParser.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace tesmar {
namespace {

bool IsBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= 0x20 || c == 0x7F;
}

std::string_view TrimArgument(std::string_view s) {
    while (!s.empty() && IsBlankOrControl(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlankOrControl(s.back()))
        s.remove_suffix(1);
    return s;
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

void ApplyTag(char letter, std::string_view argument, ScaleLine& line) {
    auto& data = line.data;
    auto& style = line.style;
    switch (LowerAscii(letter)) {
    case 'v':
        data.Value = ParseScaleNumber(argument).value_or(0.0);
        break;
    case 'e':
        data.Exp = ParseScaleNumber(argument).value_or(0.0);
        break;
    case 'd':
        data.Dimension = std::string(argument);
        break;
    case 'h':
        data.Hint = std::string(argument);
        break;
    case 's':
        style.smallTick = true;
        break;
    case 'p':
        style.hideLabel = true;
        break;
    case 'r':
        style.rotated = true;
        break;
    case 'x':
        style.offsetX = ParseScaleInteger(argument).value_or(0);
        break;
    case 'y':
        style.offsetY = ParseScaleInteger(argument).value_or(0);
        break;
    case 'f': {
        const auto size = ParseScaleInteger(argument);
        if (!size) {
            style.fontSizeKind = ScaleLabelStyle::FontSize::Default;
        } else {
            const bool relative = argument.front() == '+' || argument.front() == '-';
            style.fontSizeKind =
                relative ? ScaleLabelStyle::FontSize::Relative : ScaleLabelStyle::FontSize::Absolute;
            style.fontSize = *size;
        }
        break;
    }
    default:
        break; // unknown letters are ignored
    }
}

} // namespace

int ScaleLabelStyle::resolveFontSize(int defaultSize) const {
    switch (fontSizeKind) {
    case FontSize::Absolute:
        return fontSize;
    case FontSize::Relative:
        return defaultSize + fontSize;
    default:
        return defaultSize;
    }
}

ScaleLine ParseScaleLine(std::string_view text) {
    ScaleLine line;
    std::size_t pos = text.find('#');
    while (pos != std::string_view::npos) {
        if (pos + 1 >= text.size())
            break; // a '#' at the very end carries no tag
        if (text[pos + 1] == '#') {
            pos = pos + 1; // "##": the first one is skipped
            continue;
        }
        const char letter = text[pos + 1];
        std::size_t argStart = pos + 2;
        if (argStart < text.size() && text[argStart] == '=')
            ++argStart;
        const std::size_t next = text.find('#', std::min(argStart, text.size()));
        const std::size_t argEnd = next == std::string_view::npos ? text.size() : next;
        const auto argument =
            argStart < argEnd ? TrimArgument(text.substr(argStart, argEnd - argStart)) : std::string_view{};
        ApplyTag(letter, argument, line);
        pos = next;
    }
    line.data.ValueReal = line.data.Value * std::pow(10.0, line.data.Exp);
    return line;
}

std::optional<double> ParseScaleNumber(std::string_view text) {
    std::string normal(text);
    const auto point = normal.find('.');
    const auto comma = normal.find(',');
    // Of the first point and the first comma the later one is the decimal point; the other,
    // if any, stays and makes the text fail to convert.
    std::size_t decimal = std::string::npos;
    if (point != std::string::npos && comma != std::string::npos)
        decimal = std::max(point, comma);
    else
        decimal = point != std::string::npos ? point : comma;
    if (decimal != std::string::npos)
        normal[decimal] = '.';
    const char* first = normal.data();
    const char* last = normal.data() + normal.size();
    if (first != last && *first == '+')
        ++first;
    if (first == last || *first == '+')
        return std::nullopt;
    double value = 0;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int> ParseScaleInteger(std::string_view text) {
    if (text.empty())
        return std::nullopt;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (*first == '+')
        ++first;
    if (first == last || *first == '+')
        return std::nullopt;
    int value = 0;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last)
        return std::nullopt;
    return value;
}

std::string FormatScaleNumber(double value, char decimalSeparator) {
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    std::string text(buffer, r.ptr);
    std::replace(text.begin(), text.end(), '.', decimalSeparator);
    return text;
}

std::string ScaleEntryText(const TROscKnobData& entry, char decimalSeparator, bool withDimension) {
    std::string text = FormatScaleNumber(entry.Value, decimalSeparator);
    if (withDimension)
        text += entry.Dimension;
    return text;
}

} // namespace tesmar
