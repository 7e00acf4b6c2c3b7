#include "service/DeviceAccess.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace tesmar {
namespace {

TEST(DeviceAccess, RuleMatchesTheInstrumentOnly)
{
    const std::string rule = UdevRuleText();
    EXPECT_NE(rule.find("ATTRS{idVendor}==\"10c4\""), std::string::npos);
    EXPECT_NE(rule.find("ATTRS{idProduct}==\"ea67\""), std::string::npos);
    EXPECT_NE(rule.find("TAG+=\"uaccess\""), std::string::npos);
}

TEST(DeviceAccess, InstallCommandsQuoteTheSourceAndReloadUdev)
{
    const auto commands = UdevInstallCommands("/tmp/it's here/60-tesmar.rules");
    ASSERT_EQ(commands.size(), 3u);
    EXPECT_EQ(commands[0], "install -m 0644 '/tmp/it'\\''s here/60-tesmar.rules' /etc/udev/rules.d/60-tesmar.rules");
    EXPECT_EQ(commands[1], "udevadm control --reload-rules");
    EXPECT_EQ(UdevInstallShellLine("r").find(" && udevadm control"), UdevInstallCommands("r")[0].size());
}

TEST(DeviceAccess, DesktopEntriesForProgramsAndLinks)
{
    const std::string app = DesktopEntryText({"Tesmar2", "Измерительный прибор", "/usr/bin/tesmar", {}, "tesmar"});
    EXPECT_NE(app.find("Type=Application\nName=Tesmar2\n"), std::string::npos);
    EXPECT_NE(app.find("Exec=/usr/bin/tesmar\n"), std::string::npos);
    const std::string link = DesktopEntryText({"ReadMe", {}, {}, "file:///usr/share/doc/tesmar/README.md", {}});
    EXPECT_NE(link.find("Type=Link\n"), std::string::npos);
    EXPECT_NE(link.find("URL=file:///usr/share/doc/tesmar/README.md\n"), std::string::npos);
}

TEST(DeviceAccess, OnlyMissingFilesAreWritten)
{
    const auto folder = std::filesystem::temp_directory_path() / ("tesmar-device-access-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    const std::string path = (folder / "group" / "entry.desktop").string();
    EXPECT_EQ(WriteFileIfMissing(path, "first"), WriteOutcome::Written);
    EXPECT_EQ(WriteFileIfMissing(path, "second"), WriteOutcome::Existed);
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "first");
    EXPECT_EQ(WriteFileIfMissing((folder / "group" / "entry.desktop" / "x").string(), "y"), WriteOutcome::Failed);
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace tesmar

namespace tesmar {
namespace {

TEST(DeviceAccess, PackagedRuleIsTheOneTheWindowInstalls)
{
    std::ifstream in(std::string(TESMAR_PACKAGING_DIR) + "/60-tesmar.rules");
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), UdevRuleText());
}

} // namespace
} // namespace tesmar
