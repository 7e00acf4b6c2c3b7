#pragma once
// The terminal's hex view of a 1024-byte buffer: 64 rows of 16 bytes, column 0 the row's offset,
// columns 1 … 16 the bytes, column 17 the row as characters. Bytes at or past the view's count
// are not valid and are drawn greyed.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tesmar {

inline constexpr int kHexViewRows = 64;
inline constexpr int kHexViewColumns = 18;
inline constexpr int kHexBytesPerRow = 16;
inline constexpr int kHexCharsColumn = 17;

using TerminalBuffer = std::array<std::uint8_t, kHexViewRows * kHexBytesPerRow>;

// "0000", "0010", … "03F0".
std::string HexOffsetText(int row);
// Two upper-case hex digits.
std::string HexByteText(std::uint8_t value);
// The 16 bytes of `row` as characters (Windows-1251, UTF-8 here); control codes show as ".".
std::string HexCharsText(const TerminalBuffer& buffer, int row);
// The text of any cell.
std::string HexCellText(const TerminalBuffer& buffer, int row, int column);

// Index of the byte shown in a byte column (1 … 16), else none.
std::optional<int> HexByteIndex(int row, int column);
// A byte cell is valid while its index is below the count.
bool HexCellValid(int row, int column, int count);

// Byte cells take hex digits and control keys; at most two digits.
bool HexKeyAccepted(char32_t key);
// An edited byte cell: trimmed hex digits read as a byte; empty or not hex gives none.
std::optional<std::uint8_t> ParseHexByteText(std::string_view text);

} // namespace tesmar
