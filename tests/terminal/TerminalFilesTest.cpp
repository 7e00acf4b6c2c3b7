// Section `terminal` of the settings file and the terminal's data files.

#include "settings/IniFile.h"
#include "terminal/TerminalDataFile.h"
#include "terminal/TerminalSettings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

using namespace tesmar;

TEST(TerminalSettings, DefaultsRoundTripAndRanges) {
    IniFile ini;
    TerminalSettings s;
    ReadTerminalSettings(ini, s);
    EXPECT_EQ(s.read.count, 16);
    EXPECT_FALSE(s.read.master);
    EXPECT_TRUE(s.write.master);
    EXPECT_EQ(s.write.masterAddress, "0000000");
    EXPECT_EQ(s.write.speed, 100);

    s.read = {
        .count = 600, .master = true, .masterAddress = "1010000", .slaveAddress = "0000001", .speed = 400};
    s.write.count = 1024;
    WriteTerminalSettings(ini, s);
    EXPECT_NE(ini.text().find("[terminal]"), std::string::npos);
    EXPECT_NE(ini.text().find("edI2CMasterAddRd=1010000"), std::string::npos);
    EXPECT_NE(ini.text().find("rbI2CMasterWr=1"), std::string::npos);
    TerminalSettings back;
    ReadTerminalSettings(ini, back);
    EXPECT_EQ(back.read.count, 600);
    EXPECT_TRUE(back.read.master);
    EXPECT_EQ(back.read.masterAddress, "1010000");
    EXPECT_EQ(back.read.slaveAddress, "0000001");
    EXPECT_EQ(back.read.speed, 400);
    EXPECT_EQ(back.write.count, 1024);

    ini.setText("[terminal]\nudI2CCountRd=0\nudI2CSpeedWr=9000\nedI2CSlaveAddWr=12\n");
    ReadTerminalSettings(ini, back);
    EXPECT_EQ(back.read.count, 1);
    EXPECT_EQ(back.write.speed, 400);
    EXPECT_EQ(back.write.slaveAddress, "0000010"); // "12" read as binary: the 2 counts as 0
}

TEST(TerminalDataFile, SavesTheCountAndOpensAtMostTheBuffer) {
    const std::string path = (std::filesystem::temp_directory_path() / "tesmar_terminal_data.bin").string();
    TerminalBuffer buffer{};
    for (std::size_t i = 0; i < buffer.size(); ++i)
        buffer[i] = static_cast<std::uint8_t>(i * 7);
    {
        std::ofstream old(path, std::ios::binary);
        old << std::string(2000, 'x'); // an older, longer file is truncated
    }
    ASSERT_TRUE(SaveTerminalData(path, buffer, 12));
    EXPECT_EQ(std::filesystem::file_size(path), 12u);
    auto bytes = LoadTerminalData(path);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes, std::vector<std::uint8_t>(buffer.begin(), buffer.begin() + 12));

    {
        std::ofstream big(path, std::ios::binary | std::ios::trunc);
        big << std::string(3000, 'y');
    }
    bytes = LoadTerminalData(path);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), 1024u);
    std::filesystem::remove(path);
    EXPECT_FALSE(LoadTerminalData(path));
    EXPECT_FALSE(SaveTerminalData("/nonexistent-folder/x.bin", buffer, 4));
}
