#pragma once
// Terminal data files: raw bytes, nothing else. The receive buffer is saved as its count of
// bytes; transmit data is read from the start of a file, at most the buffer's size.

#include "TerminalHexView.h"

#include <optional>
#include <string>
#include <vector>

namespace tesmar {

// Writes `count` bytes of `buffer` to a new or truncated file; false when the file cannot be
// written completely.
bool SaveTerminalData(const std::string& path, const TerminalBuffer& buffer, int count);

// Up to 1024 bytes from the start of the file; none when it cannot be read.
std::optional<std::vector<std::uint8_t>> LoadTerminalData(const std::string& path);

} // namespace tesmar
