#pragma once
// Cell texts of the decoder grids and the parsing of what the user types into them.

#include "decoders/DecoderMessage.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace tesmar {

// `digits` binary digits of the low bits of value, most significant first.
std::string BinaryDigits(unsigned value, int digits);
// Two upper-case hex digits.
std::string HexByte(std::uint8_t value);
// Each "1" is a one, any other character a zero, most significant first (blanks trimmed).
unsigned ParseBinaryCell(std::string_view text);
// Upper-cased and trimmed; each character adds its digit value, no validation.
unsigned ParseHexCell(std::string_view text);
std::string TrimBlanks(std::string_view text);

// A rate typed into a decoder window: it must be an integer ("not an integer" message with the
// text) within [min, max] (else `rangeMessage`).
std::variant<int, DecoderMessage> ParseRateText(std::string_view text, int min, int max, Msg rangeMessage);

// Whole number as text, for message fields such as a suggested rate.
std::string IntegerText(double value);

} // namespace tesmar
