#pragma once
// A generator data file given to a command: raw samples of bus B, 1 to 1544 bytes. Any other
// file (a measurement data file of any page, a longer file) is refused, not played.

#include "logic/GeneratorData.h"

#include <string>
#include <variant>
#include <vector>

namespace tesmar {

// The data, or why the file is no generator data (in English, naming the file). A shorter file
// is read with a warning: the rest of the pattern is 0.
std::variant<GeneratorData, std::string> ReadGeneratorInput(const std::string& path, std::vector<std::string>& warnings);

} // namespace tesmar
