#include "app/CommandLine.h"
#include "app/DialogFolders.h"
#include "settings/IniFile.h"

#include <gtest/gtest.h>

namespace tesmar {
namespace {

TEST(CommandLine, SwitchesMatchByContainmentIgnoringCase)
{
    struct Case {
        std::vector<std::string> args;
        bool clbr, debug, setup, sim;
    };
    const Case cases[] = {
        {{}, false, false, false, false},
        {{"-setup"}, false, false, true, false},
        {{"x-SeTuPx", "-clbr"}, true, false, true, false},
        {{"/-DEBUG", "-Sim"}, false, true, false, true},
        {{"setup", "CLBR"}, false, false, false, false},
    };
    for (const Case& c : cases) {
        const CommandLine line = CommandLine::Parse(c.args);
        EXPECT_EQ(line.calibration, c.clbr);
        EXPECT_EQ(line.debug, c.debug);
        EXPECT_EQ(line.setup, c.setup);
        EXPECT_EQ(line.simulate, c.sim);
    }
}

TEST(CommandLine, SessionRecordFilesComeFromTheEnvironment)
{
    // A path with a switch's keyword in it switches nothing on.
    CommandLine line = CommandLine::Parse({});
    line.readEnvironment([](const char* name) -> const char* {
        if (std::string(name) == "TESMAR_RECORD_USB")
            return "/tmp/x-SIM-session.txt";
        return nullptr;
    });
    EXPECT_EQ(line.recordUsb, "/tmp/x-SIM-session.txt");
    EXPECT_EQ(line.replayUsb, "");
    EXPECT_FALSE(line.simulate);
    line.readEnvironment([](const char* name) -> const char* {
        return std::string(name) == "TESMAR_REPLAY_USB" ? "old.txt" : nullptr;
    });
    EXPECT_EQ(line.recordUsb, "");
    EXPECT_EQ(line.replayUsb, "old.txt");
}

TEST(DialogFolders, DefaultsFollowTheBaseAndTheLastFile)
{
    DialogFolders folders("/opt/tesmar");
    EXPECT_EQ(folders.folder("sdSaveFileData"), "/opt/tesmar/data/");
    EXPECT_EQ(folders.folder("odOpenTerminalData"), "/opt/tesmar/Terminal/");
    EXPECT_EQ(DialogFolders::defaultSubFolders().size(), 22u); // with the CSV export's
    EXPECT_EQ(folders.folder("sdSaveFileCSV"), "/opt/tesmar/csv/");
    folders.rememberFile("odOpenFlt", "/home/u/filters/low.flt");
    IniFile ini;
    folders.write(ini);
    DialogFolders again("/elsewhere/");
    again.read(ini);
    EXPECT_EQ(again.folder("odOpenFlt"), "/home/u/filters/");
    EXPECT_EQ(again.folder("sdSaveFileBMP"), "/opt/tesmar/bmp/");
}

} // namespace
} // namespace tesmar
