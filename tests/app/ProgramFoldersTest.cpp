#include "app/ProgramFolders.h"
#include "app/ProgramHelp.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace tesmar {
namespace {

TEST(ProgramFolders, InstalledProgramWritesOnlyIntoTheUsersFolders)
{
    FolderFacts installed{"/usr/bin", false, false, "/home/ann/.config", "/home/ann/Documents"};
    const ProgramFolders folders = ChooseProgramFolders(installed);
    EXPECT_EQ(folders.settings, "/home/ann/.config/tesmar/");
    EXPECT_EQ(folders.data, "/home/ann/Documents/Tesmar/");
    EXPECT_FALSE(folders.portable);
    EXPECT_EQ(folders.settings.find(' '), std::string::npos);
}

TEST(ProgramFolders, PortableCopyAndBuildTreeKeepEverythingBesideTheProgram)
{
    for (const auto& [marker, buildTree] : {std::pair{true, false}, std::pair{false, true}}) {
        FolderFacts facts{"/opt/tesmar", marker, buildTree, "/home/ann/.config", "/home/ann/Documents"};
        const ProgramFolders folders = ChooseProgramFolders(facts);
        EXPECT_EQ(folders.settings, "/opt/tesmar/");
        EXPECT_EQ(folders.data, "/opt/tesmar/");
        EXPECT_TRUE(folders.portable);
    }
}

TEST(ProgramHelp, HelpAndVersionAnswerWithoutAWindow)
{
    EXPECT_EQ(HelpOrVersionText({"--version"}, "2.0"), "tesmar 2.0\n");
    EXPECT_EQ(HelpOrVersionText({"-SIM", "-V"}, "2.0"), "tesmar 2.0\n");
    for (const char* option : {"--help", "-h"}) {
        const auto text = HelpOrVersionText({option}, "2.0");
        ASSERT_TRUE(text.has_value()) << option;
        EXPECT_EQ(text->rfind("Usage: tesmar", 0), 0u);
        EXPECT_NE(text->find("-SIM"), std::string::npos);
    }
    EXPECT_FALSE(HelpOrVersionText({"-SIM", "-DEBUG"}, "2.0").has_value());
    EXPECT_FALSE(HelpOrVersionText({}, "2.0").has_value());
}

TEST(ProgramHelp, ADisplayIsAnyOfX11WaylandOrAnExplicitPlatform)
{
    const auto with = [](std::map<std::string, std::string> vars) {
        return DisplayAvailable([&vars](const char* name) -> const char* {
            const auto it = vars.find(name);
            return it == vars.end() ? nullptr : it->second.c_str();
        });
    };
    EXPECT_FALSE(with({}));
    EXPECT_FALSE(with({{"DISPLAY", ""}}));
    EXPECT_TRUE(with({{"DISPLAY", ":0"}}));
    EXPECT_TRUE(with({{"WAYLAND_DISPLAY", "wayland-0"}}));
    EXPECT_TRUE(with({{"QT_QPA_PLATFORM", "offscreen"}}));
}

} // namespace
} // namespace tesmar
