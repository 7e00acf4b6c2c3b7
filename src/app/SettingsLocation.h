#pragma once

#include <string>

namespace tesmar {

// Where "tesmar.ini" and the data folders live: the program's folder when it may be written,
// otherwise the user's configuration folder. Ends with '/'.
std::string SettingsFolder();

} // namespace tesmar
