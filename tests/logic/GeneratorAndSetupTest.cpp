#include "settings/IniFile.h"
#include "logic/ChannelSetup.h"
#include "logic/GeneratorEditing.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace tesmar {
namespace {

TEST(GeneratorEditing, CountingRepeatingAndLines)
{
    GeneratorData d;
    d.setSample(0, 0xFE);
    CountIn(d, {0, 299}, 1, false);
    EXPECT_EQ(d.sample(0), 0xFE);
    EXPECT_EQ(d.sample(1), 0xFF);
    EXPECT_EQ(d.sample(2), 0x00);
    EXPECT_EQ(d.sample(3), 0x01);
    CountIn(d, {0, 2}, 3, true);
    EXPECT_EQ(d.sample(2), 0xF8);

    GeneratorData r;
    r.setSample(0, 1);
    r.setSample(1, 2);
    r.setSample(2, 3);
    EXPECT_EQ(RepeatBlock(r, {0, 2}), 1543);
    EXPECT_EQ(r.sample(3), 1);
    EXPECT_EQ(r.sample(1541), 1541 % 3 + 1);
    EXPECT_EQ(r.sample(1543), 1543 % 3 + 1);

    GeneratorData lines;
    lines.setSample(0, 0x01);
    lines.setSample(5, 0xF0);
    RepeatBlock(lines, {0, 0}, 0); // only B.0 is copied
    EXPECT_EQ(lines.sample(5), 0xF1);
    SetLineIn(lines, {0, 1543}, 7, true);
    InvertLineIn(lines, {5, 5}, 0);
    EXPECT_EQ(lines.sample(5), 0xF0);
    FillSamples(lines, {10, 12}, 0xFF);
    InvertSamples(lines, {12, 13});
    EXPECT_EQ(lines.sample(12), 0x00);
    EXPECT_EQ(lines.sample(13), 0x7E);
}

TEST(GeneratorEditing, ClipboardAndMoves)
{
    GeneratorData d;
    for (int i = 0; i < 1544; ++i)
        d.setSample(i, static_cast<std::uint8_t>(i));
    const auto block = CopySamples(d, {0, 99});
    ASSERT_EQ(block.size(), 100u);
    EXPECT_EQ(PasteSamples(d, 1499, block), 1543); // only 45 samples fit
    EXPECT_EQ(d.sample(1499), 0);
    EXPECT_EQ(d.sample(1543), 44);

    GeneratorData m;
    for (int i = 0; i < 1544; ++i)
        m.setSample(i, static_cast<std::uint8_t>(i + 1));
    GeneratorSelection s = MoveUp(m, {0, 2}); // from the top: sample 0 is dropped
    EXPECT_EQ(m.sample(0), 2);
    EXPECT_EQ(m.sample(1), 3);
    EXPECT_EQ(m.sample(2), 0);
    EXPECT_EQ(s.first, 0);
    EXPECT_EQ(s.last, 1);
    s = MoveDown(m, {1542, 1543}); // the last sample falls off
    EXPECT_EQ(m.sample(1542), 0);
    EXPECT_EQ(m.sample(1543), static_cast<std::uint8_t>(1543));
    EXPECT_EQ(s.first, 1543);
}

TEST(GeneratorEditing, FilesOfAnySize)
{
    const auto dir = std::filesystem::temp_directory_path();
    const auto path = (dir / "tesmar-generator-test.dat").string();
    std::ofstream(path, std::ios::binary) << std::string(10, '\x55');
    GeneratorData d;
    d.setSample(100, 7);
    EXPECT_FALSE(ReadGeneratorFile(path, d));
    EXPECT_EQ(d.sample(9), 0x55);
    EXPECT_EQ(d.sample(10), 0);
    EXPECT_EQ(d.sample(100), 0);
    ASSERT_TRUE(WriteGeneratorFile(path, d));
    EXPECT_EQ(std::filesystem::file_size(path), 1544u);
    EXPECT_TRUE(ReadGeneratorFile(dir.string(), d).has_value());
    std::filesystem::remove(path);
}

TEST(ChannelSetup, FileAndSettingsRoundTrip)
{
    const auto path = (std::filesystem::temp_directory_path() / "tesmar-setup-test.txt").string();
    std::ofstream(path) << "[main]\r\nname3=CLK\r\n";
    ChannelSetup s;
    ASSERT_TRUE(ReadChannelSetupFile(path, s));
    EXPECT_EQ(s.names[3], "CLK");
    EXPECT_EQ(s.names[4], "A.4");
    EXPECT_EQ(s.colours[3], 0x0000FFu);
    s.names[10] = "SDA";
    s.colours[10] = 0x00FF00;
    ASSERT_TRUE(WriteChannelSetupFile(path, s));
    ChannelSetup back;
    ASSERT_TRUE(ReadChannelSetupFile(path, back));
    EXPECT_EQ(back, s);

    IniFile ini;
    WriteChannelSetup(ini, "lan", s);
    EXPECT_EQ(ini.readString("lan", "name_b2", ""), "SDA");
    ChannelSetup fromSettings;
    ReadChannelSetup(ini, "lan", fromSettings);
    EXPECT_EQ(fromSettings, s);
    EXPECT_FALSE(ReadChannelSetupFile(path + ".missing", back));
    std::filesystem::remove(path);
}

} // namespace
} // namespace tesmar
