#pragma once
// Access to the instrument for the logged-in user and the program's desktop entries: the udev
// rule, the commands that install it with administrator rights, and freedesktop entries.

#include <string>
#include <vector>

namespace tesmar {

inline constexpr const char* kUdevRuleName = "60-tesmar.rules";
inline constexpr const char* kUdevRuleFolder = "/etc/udev/rules.d/";

// The rule that hands 10C4:EA67 to the user at the seat (the "uaccess" tag) and to group plugdev.
std::string UdevRuleText();

struct DesktopEntry {
    std::string name;    // shown name
    std::string comment;
    std::string exec;    // command line; empty for a link
    std::string url;     // link target when `exec` is empty
    std::string icon;
};
std::string DesktopEntryText(const DesktopEntry& entry);

// The commands, one per line, that install `ruleSource` as the system's rule and make udev use it
// at once: what runs elevated, and what a user without the rights is told to type.
std::vector<std::string> UdevInstallCommands(const std::string& ruleSource);
// One shell line of them, joined by " && ".
std::string UdevInstallShellLine(const std::string& ruleSource);

// Writes `content` to `path` unless the file exists (existing files are never replaced).
enum class WriteOutcome { Written, Existed, Failed };
WriteOutcome WriteFileIfMissing(const std::string& path, const std::string& content);

} // namespace tesmar
