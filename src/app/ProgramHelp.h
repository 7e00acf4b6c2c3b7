#pragma once
// What the program says without opening a window: --help, --version, and the message when there
// is no display to open one on.

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tesmar {

// The text for --help (-h) or --version (-V) among the arguments; nothing otherwise.
std::optional<std::string> HelpOrVersionText(const std::vector<std::string>& arguments, const std::string& version);

// Whether a window can be opened: a display, a Wayland session or an explicit Qt platform.
bool DisplayAvailable(const std::function<const char*(const char*)>& environment);

extern const char* const kNoDisplayMessage;

} // namespace tesmar
