#include "DeviceAccess.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace tesmar {

namespace {

// Single quotes for a shell word.
std::string Quoted(const std::string& text)
{
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

} // namespace

std::string UdevRuleText()
{
    return "# Tesmar USB measuring instrument: access for the user at the seat and for group plugdev.\n"
           "SUBSYSTEM==\"usb\", ATTRS{idVendor}==\"10c4\", ATTRS{idProduct}==\"ea67\", "
           "MODE=\"0660\", GROUP=\"plugdev\", TAG+=\"uaccess\"\n";
}

std::string DesktopEntryText(const DesktopEntry& entry)
{
    std::string text = "[Desktop Entry]\n";
    text += "Type=" + std::string(entry.exec.empty() ? "Link" : "Application") + "\n";
    text += "Name=" + entry.name + "\n";
    if (!entry.comment.empty())
        text += "Comment=" + entry.comment + "\n";
    if (!entry.exec.empty())
        text += "Exec=" + entry.exec + "\n";
    else
        text += "URL=" + entry.url + "\n";
    if (!entry.icon.empty())
        text += "Icon=" + entry.icon + "\n";
    if (!entry.exec.empty())
        text += "Terminal=false\nCategories=Science;Electronics;\n";
    return text;
}

std::vector<std::string> UdevInstallCommands(const std::string& ruleSource)
{
    return {"install -m 0644 " + Quoted(ruleSource) + " " + std::string(kUdevRuleFolder) + kUdevRuleName,
            "udevadm control --reload-rules",
            "udevadm trigger --action=add --subsystem-match=usb --attr-match=idVendor=10c4"};
}

std::string UdevInstallShellLine(const std::string& ruleSource)
{
    std::string line;
    for (const std::string& command : UdevInstallCommands(ruleSource))
        line += (line.empty() ? "" : " && ") + command;
    return line;
}

WriteOutcome WriteFileIfMissing(const std::string& path, const std::string& content)
{
    std::error_code error;
    if (std::filesystem::exists(path, error))
        return WriteOutcome::Existed;
    const auto folder = std::filesystem::path(path).parent_path();
    if (!folder.empty())
        std::filesystem::create_directories(folder, error);
    std::ofstream out(path, std::ios::binary);
    if (!out || !(out << content) || !out.flush())
        return WriteOutcome::Failed;
    return WriteOutcome::Written;
}

} // namespace tesmar
