#include "TerminalHexView.h"

#include "text/Cp1251.h"

#include <cstdio>

namespace tesmar {

std::string HexOffsetText(int row) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", (row * kHexBytesPerRow) & 0xFFFF);
    return text;
}

std::string HexByteText(std::uint8_t value) {
    char text[4];
    std::snprintf(text, sizeof text, "%02X", value);
    return text;
}

std::string HexCharsText(const TerminalBuffer& buffer, int row) {
    std::string chars;
    for (int i = 0; i < kHexBytesPerRow; ++i) {
        const std::uint8_t b = buffer[row * kHexBytesPerRow + i];
        // Control codes would break the line or vanish; 0x98 has no character in the code page.
        chars += (b < 0x20 || b == 0x7F || b == 0x98) ? '.' : static_cast<char>(b);
    }
    return Cp1251ToUtf8(chars);
}

std::string HexCellText(const TerminalBuffer& buffer, int row, int column) {
    if (row < 0 || row >= kHexViewRows)
        return {};
    if (column == 0)
        return HexOffsetText(row);
    if (column == kHexCharsColumn)
        return HexCharsText(buffer, row);
    if (const auto index = HexByteIndex(row, column))
        return HexByteText(buffer[*index]);
    return {};
}

std::optional<int> HexByteIndex(int row, int column) {
    if (row < 0 || row >= kHexViewRows || column < 1 || column > kHexBytesPerRow)
        return std::nullopt;
    return row * kHexBytesPerRow + column - 1;
}

bool HexCellValid(int row, int column, int count) {
    const auto index = HexByteIndex(row, column);
    return !index || *index < count;
}

bool HexKeyAccepted(char32_t key) {
    return (key >= U'0' && key <= U'9') || (key >= U'A' && key <= U'F') || (key >= U'a' && key <= U'f') ||
           key < 0x20 || key == 0x7F;
}

std::optional<std::uint8_t> ParseHexByteText(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    if (text.empty() || text.size() > 2)
        return std::nullopt;
    int value = 0;
    for (const char c : text) {
        int digit = 0;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else
            return std::nullopt;
        value = value * 16 + digit;
    }
    return static_cast<std::uint8_t>(value);
}

} // namespace tesmar
