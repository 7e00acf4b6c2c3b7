#pragma once
// Windows-1251 is the 8-bit character set of every text file the program reads or writes; in
// memory all text is UTF-8. Conversion happens only at the file boundary.

#include <string>
#include <string_view>

namespace tesmar {

std::string Cp1251ToUtf8(std::string_view cp1251);
// Characters without a Windows-1251 form become '?'; malformed UTF-8 bytes become '?'.
std::string Utf8ToCp1251(std::string_view utf8);

} // namespace tesmar
