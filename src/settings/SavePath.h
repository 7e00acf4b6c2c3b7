#pragma once
// The rule of every save dialog: the default extension is appended when the upper-cased path
// does not already contain it.

#include <string>

namespace tesmar {

// `extension` with its dot, e.g. ".txt".
std::string WithDefaultExtension(const std::string& path, const std::string& extension);

} // namespace tesmar
