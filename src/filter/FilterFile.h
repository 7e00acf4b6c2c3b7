#pragma once
// Filter files: section `main` of an INI-format text file with the response's keys.

#include "FilterResponse.h"

#include <string>
#include <variant>

namespace tesmar {

// Every key is read with the value of `current` as default. A file with more than 99 points,
// values that are not finite or frequencies that do not ascend gives a Russian reason instead.
std::variant<FilterResponse, std::string> ReadFilterFile(const std::string& path, const FilterResponse& current,
                                                         char decimalSeparator);
// Writes the keys into the file, keeping whatever else it holds. False when it cannot be written.
bool WriteFilterFile(const std::string& path, const FilterResponse& response, char decimalSeparator);

} // namespace tesmar
