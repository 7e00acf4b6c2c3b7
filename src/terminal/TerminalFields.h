#pragma once
// The rules of the terminal's edit fields: byte counts, bus speeds and 7-bit addresses typed as
// binary digits.

#include <cstdint>
#include <string>
#include <string_view>

namespace tesmar {

inline constexpr int kTerminalBufferSize = 1024;
inline constexpr int kTerminalMinCount = 1;
inline constexpr int kTerminalDefaultCount = 16;
inline constexpr int kTerminalMinSpeed = 50; // kbit/s
inline constexpr int kTerminalMaxSpeed = 400;
inline constexpr int kTerminalDefaultSpeed = 100;
inline constexpr int kTerminalCountDigits = 4;
inline constexpr int kTerminalSpeedDigits = 3;
inline constexpr int kTerminalAddressDigits = 7;
inline constexpr const char* kTerminalDefaultAddress = "0000000";

int ClampTerminalCount(long long count);
int ClampTerminalSpeed(long long speed);

// Address edits take "0", "1" and control keys.
bool AddressKeyAccepted(char32_t key);
// The typed text read as binary, kept to its low 7 bits and written as exactly 7 digits.
std::string NormaliseAddressText(std::string_view text);
std::uint8_t AddressFromText(std::string_view text);

} // namespace tesmar
