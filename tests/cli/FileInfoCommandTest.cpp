#include "cli/AnalogDataFiles.h"
#include "cli/FileInfoCommand.h"
#include "formats/DataFile.h"
#include "formats/DataFileLoad.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>
#include <unistd.h>

namespace tesmar {
namespace {

namespace fs = std::filesystem;

struct FileInfoFixture : ::testing::Test {
    fs::path folder = fs::temp_directory_path() / ("tesmar_info_" + std::to_string(::getpid()));
    void SetUp() override { fs::create_directories(folder); }
    void TearDown() override { fs::remove_all(folder); }

    std::string write(const char* name, const DataFile& file)
    {
        const std::string path = (folder / name).string();
        EXPECT_EQ(SaveDataFile(path, file), "");
        return path;
    }
    std::string info(const std::vector<std::string>& args)
    {
        std::ostringstream out, err;
        EXPECT_EQ(RunFileInfoCommand(args, out, err), 0) << err.str();
        return out.str();
    }
};

TEST_F(FileInfoFixture, SaysWhatTheFileHoldsInWordsAndKeepsTheRawSettingsBehindRaw)
{
    OscSettingsChunk osc;
    osc.samplePeriod = 10e-6;
    osc.sbOscOnCh1 = true;
    osc.knOscCh1 = static_cast<std::uint16_t>(KnobIndexFor("knOscCh1", 20));
    osc.triggerLevelA = -0.0;
    osc.firstTimeA = -20e-6;
    osc.timeAxis = {-0.0, -0.0};
    DataFile oscFile{osc, {"bench 3"}, std::vector<double>(5, 1.0), {}, {}, {}};

    RecorderSettingsChunk rec;
    rec.samplePeriod = 1e-3;
    rec.sbRecOnCh1 = rec.sbRecOnCh2 = true;
    rec.markers[2] = {true, "heater on", 0xFF, 0.5 / 86400};
    DataFile recFile{rec, {}, std::vector<double>{1, 2, 3}, std::vector<double>{-1, 0, -2}, {}, {}};

    LogicSettingsChunk logic;
    logic.sampleRate = 1e6;
    logic.timeUnitFactor = 1e6;
    logic.firstSampleTime = -32;
    logic.displayMask = 0x05;
    DataFile logicFile{logic, {}, {}, {}, std::vector<std::uint8_t>(1544, 1), {}};

    const struct {
        std::string path;
        std::vector<std::string> said;
    } cases[] = {
        {write("osc.dat", oscFile),
         {"page: oscilloscope\n", "sample period: 10us (100 kHz)\n",
          "channel A: 5 points, range ±20 V, trigger level 0 V\n", "  time from the trigger: -20us … 20us\n",
          "channel B: off\n", "remark:\n  bench 3\n"}},
        {write("rec.dat", recFile),
         {"page: recorder\n", "point period: 1ms (1 kHz)\n", "length: 3 points, 3ms\n",
          "channel A: range ±", ", max 3 V, min 1 V, mean 2 V\n", ", max 0 V, min -2 V, mean -1 V\n",
          "marker 3: at 500ms, \"heater on\"\n"}},
        {write("logic.dat", logicFile),
         {"page: logic analyser\n", "sample rate: 1 MHz (period 1us)\n", "bus A: 1544 samples\n",
          "bus B: not captured\n", "trigger: at sample 32 (32us after the first sample)\n", "lines shown: A.0, A.2\n"}},
    };
    const std::regex controlName("\\b(cb|kn|lb|sb|spbt|ed)[A-Z][A-Za-z0-9]*");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const std::string text = info({c.path});
        for (const auto& line : c.said)
            EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
        EXPECT_FALSE(std::regex_search(text, controlName)) << text;
        EXPECT_EQ(text.find("-0 "), std::string::npos) << text;
        EXPECT_EQ(text.find("-0\n"), std::string::npos) << text;
        const std::string raw = info({"--raw", c.path});
        EXPECT_NE(raw.find("chunks:\n"), std::string::npos) << raw;
        EXPECT_TRUE(std::regex_search(raw, controlName)) << raw;
        EXPECT_EQ(raw.find(": -0\n"), std::string::npos) << raw;
        EXPECT_EQ(raw.find("-0 …"), std::string::npos) << raw;
    }
}

} // namespace
} // namespace tesmar
