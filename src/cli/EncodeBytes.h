#pragma once
// The byte lists the encode command takes: hex bytes ("48 65 0x6C,6f") and I2C transactions
// ("w 0x50 12 34; r 0x50 00").

#include "decoders/I2cEncoder.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tesmar {

// Bytes of one or two hex digits (an optional 0x), separated by blanks or commas; none, with
// the offending word in `problem`, when one is not a byte.
std::optional<std::vector<std::uint8_t>> ParseHexBytes(const std::string& text, std::string& problem);

// Transactions separated by ";": "w" or "r", a 7-bit address (0x50 or 80) and its data bytes;
// each byte becomes one row of the I2C window's table.
std::optional<std::vector<I2cEncodeRow>> ParseI2cTransactions(const std::string& text, std::string& problem);

} // namespace tesmar
