#pragma once
// Text conversions of the logic-analyser tools and the time text of the recorder's marker table.

#include <cstdint>
#include <string>
#include <string_view>

namespace tesmar {

// Eight "0"/"1" characters, most significant bit first; dotted puts a "." after the fourth.
std::string ByteToBinText(std::uint8_t value, bool dotted);

// Trimmed text read as binary: every character shifts left by one bit and adds 1 for "1",
// 0 for anything else. Longer texts wrap around 32 bits.
std::int32_t BinTextToInt(std::string_view text);

// Trimmed, upper-cased text read as hexadecimal without validation: characters below ":" count
// c - 48, all others c - 55. Longer texts wrap around 32 bits.
std::int32_t HexTextToInt(std::string_view text);

// Time of day of a time in days, rounded to the microsecond, as "mm:ss:mmm:uuu" (hours are not
// shown). A time that is not a finite number gives zeros.
std::string TimeToTextUs(double days);

} // namespace tesmar
