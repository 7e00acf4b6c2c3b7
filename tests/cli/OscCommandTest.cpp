#include "cli/AnalogDataFiles.h"
#include "cli/OscCommand.h"
#include "cli/SpectrumCommand.h"
#include "formats/DataFileLoad.h"
#include "ui/knob/KnobScales.h"
#include "device/UsbSession.h"
#include "sim/AnalogEngine.h"
#include "sim/VirtualInstrument.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tesmar {
namespace {

struct OscCommandFixture : ::testing::Test {
    SimClock clock{50.0};
    VirtualInstrument instrument{clock};
    UsbSession session{instrument};
    std::ostringstream out, err;

    OscCommandFixture()
    {
        InstallAnalogEngine(instrument);
        session.setSleeper([this](int ms) { clock.sleepMs(ms); });
    }

    std::vector<std::string> lines() const
    {
        std::vector<std::string> rows;
        std::istringstream in(out.str());
        for (std::string line; std::getline(in, line);)
            rows.push_back(line);
        return rows;
    }
};

double Value(const std::string& row, int column)
{
    std::istringstream in(row);
    std::string cell;
    for (int i = 0; i <= column; ++i)
        std::getline(in, cell, ',');
    return std::stod(cell);
}

TEST_F(OscCommandFixture, PeriodIsSaidWhenTheClockRoundsIt)
{
    // 7e-6 × 24 MHz is 167.999… in binary: truncated, the period is 167 ticks.
    const struct {
        std::vector<std::string> args;
        double period;      // the CSV's time step
        std::string said;   // on standard error; empty: nothing
    } cases[] = {
        {{"--period", "7us"}, 167 / 24e6, "the instrument's 24 MHz clock makes the period 6.95833us (7us asked)"},
        {{"--time-div", "7e-6"}, 167 / 24e6, "makes the period 6.95833us (7us asked)"},
        {{"--period", "25us"}, 25e-6, ""},
        {{"--period", "10ms"}, 10e-3, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[1]);
        out.str({});
        err.str({});
        ASSERT_EQ(RunOscCommand(session, c.args, out, err), 0) << err.str();
        const auto rows = lines();
        ASSERT_GT(rows.size(), 3u);
        EXPECT_NEAR(Value(rows[2], 0) - Value(rows[1], 0), c.period, 1e-12);
        if (c.said.empty())
            EXPECT_EQ(err.str(), "");
        else
            EXPECT_NE(err.str().find(c.said), std::string::npos) << err.str();
    }
    EXPECT_EQ(RunOscCommand(session, {"--period", "7us", "--time-div", "7us"}, out, err), 64);
    EXPECT_NE(err.str().find("--period is given twice"), std::string::npos) << err.str();
}

TEST_F(OscCommandFixture, TimeOutCountsFromTheRecordsOwnEnd)
{
    // A buffer of 1126 points at 10 ms (or at 100 Hz) takes 11 s of the instrument's time, far
    // longer than these time-outs: they count only once that time is over.
    ASSERT_EQ(RunOscCommand(session, {"--period", "10ms", "--timeout", "1ms"}, out, err), 0) << err.str();
    EXPECT_EQ(lines().size(), 1127u);
    out.str({});
    ASSERT_EQ(RunSpectrumCommand(session, {"--rate", "100", "--timeout", "100ms", "--summary"}, out, err), 0)
        << err.str();
    EXPECT_EQ(lines().size(), 2u);
}

TEST_F(OscCommandFixture, OneTriggeredRecordAsCsv)
{
    ASSERT_EQ(RunOscCommand(session, {"--time-div", "25us", "--trigger", "a", "--level", "0"}, out, err), 0) << err.str();
    const auto rows = lines();
    ASSERT_EQ(rows.size(), 1127u);
    EXPECT_EQ(rows[0], "time_s,a_V");
    EXPECT_EQ(rows[100].rfind("0,", 0), 0u) << rows[100]; // point 99 is the trigger point, at time 0
    EXPECT_LE(Value(rows[99], 1), 0.05);
    EXPECT_GE(Value(rows[101], 1), -0.05);
    EXPECT_NEAR(Value(rows[1], 0), -99 * 25e-6, 1e-12);
}

// The time-out counts from when the record should have come: a slow stream is not cut short.
TEST_F(OscCommandFixture, SlowStreamOutlastsTheTimeOut)
{
    ASSERT_EQ(RunOscCommand(session, {"--time-div", "10ms", "--mode", "stream", "--depth", "2048", "--timeout", "0.1"}, out, err), 0)
        << err.str();
    EXPECT_EQ(lines().size(), 2049u);
}

TEST_F(OscCommandFixture, BothChannelsInStreamMode)
{
    ASSERT_EQ(RunOscCommand(session, {"--channels", "ab", "--time-div", "0.1ms", "--mode", "stream", "--depth", "2048",
                                      "--pre", "10"},
                            out, err),
              0)
        << err.str();
    const auto rows = lines();
    ASSERT_EQ(rows.size(), 2049u);
    EXPECT_EQ(rows[0], "time_s,a_V,b_V");
    EXPECT_NEAR(std::abs(Value(rows[5], 2)), 1.0, 0.05); // B: the ±1 V square
}

TEST_F(OscCommandFixture, BadOptionsAndNoRecord)
{
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string message; // part of standard error
    };
    const Case cases[] = {
        {{"--time-div", "fast"}, 64, "--time-div: 'fast' is not a number from 5e-06 to 0.01 s (5us to 10ms)"},
        {{"--time-div", "41ns"}, 64, "--time-div: '41ns' is not a number from 5e-06"},
        {{"--time-div", "nan"}, 64, "--time-div: 'nan' is not a number"},
        {{"--channels", "c"}, 64, "--channels: 'c' is not one of a b ab"},
        {{"--mode", "stream", "--trigger", "ext"}, 64, "the external trigger works only in buffer mode"},
        {{"--pre", "7"}, 64, "--pre: '7' is not a whole number from 8 to 200 (in steps of 4) in buffer mode"},
        {{"--pre", "8.5"}, 64, "--pre: '8.5' is not a whole number"},
        {{"--pre", "10"}, 64, "--pre: '10' is not a whole number from 8 to 200 in steps of 4"},
        {{"--mode", "stream", "--depth", "16.9"}, 64, "--depth: '16.9' is not a whole number from 16 to 65536"},
        {{"--mode", "stream", "--pre", "1000", "--depth", "16", "--trigger", "a"}, 64,
         "--pre (1000) must be less than --depth (16) in stream mode"},
        {{"--channels", "a", "--trigger", "b"}, 64, "--trigger b needs channel B on (--channels b or ab)"},
        {{"--channels", "b", "--trigger", "a"}, 64, "--trigger a needs channel A on"},
        {{"--level", "nan", "--trigger", "a"}, 64, "--level: 'nan' is not a number from -20 to 20 V"},
        {{"--level", "3", "--range-a", "2", "--trigger", "a"}, 64, "--level: '3' is not a number from -2 to 2 V"},
        {{"--threshold", "0"}, 64, "--threshold: '0' is not a number from 0.2 to 20 V"},
        {{"--range-b", "inf"}, 64, "--range-b: 'inf' is not a number from 0.1 to 20 V"},
        {{"--timeout", "1e10"}, 64, "--timeout: '1e10' is not a number from 0.001 to 86400 s"},
        {{"--timeout", "inf"}, 64, "--timeout: 'inf' is not a number"},
        {{"--bogus", "1"}, 64, "unknown option --bogus"},
        {{"--level"}, 64, "--level needs a value"},
        {{"--trigger", "a", "--level", "19", "--timeout", "0.3"}, 1, "no record within the time-out"}, // never reached
    };
    for (const Case& c : cases) {
        out.str({});
        err.str({});
        SCOPED_TRACE(c.args[0] + (c.args.size() > 1 ? " " + c.args[1] : ""));
        EXPECT_EQ(RunOscCommand(session, c.args, out, err), c.code);
        EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
    }
}

} // namespace
} // namespace tesmar

namespace tesmar {
namespace {

TEST_F(OscCommandFixture, DataFileHoldsTheValuesOfTheCsv)
{
    const std::string dat = ::testing::TempDir() + "/osc-out.dat";
    const std::string csv = ::testing::TempDir() + "/osc-out.csv";
    ASSERT_EQ(RunOscCommand(session, {"--channels", "ab", "--range-a", "5", "--trigger", "a", "--out", dat, "--csv", csv},
                            out, err),
              0)
        << err.str();
    EXPECT_TRUE(out.str().empty());
    const auto read = ReadDataFile(*ReadWholeFile(dat));
    ASSERT_TRUE(std::holds_alternative<DataFile>(read));
    const DataFile& file = std::get<DataFile>(read);
    const auto& s = std::get<OscSettingsChunk>(file.settings);
    EXPECT_DOUBLE_EQ(s.samplePeriod, 10e-6);
    EXPECT_TRUE(s.sbOscOnCh1 && s.sbOscOnCh2);
    EXPECT_EQ(s.knOscCh1, KnobIndexFor("knOscCh1", 5));
    EXPECT_EQ(s.leftAxis, (AxisLimits{5, -5}));
    std::ifstream table(csv);
    std::string row;
    std::getline(table, row);
    ASSERT_TRUE(file.channelA && file.channelB);
    for (std::size_t i = 0; std::getline(table, row); ++i) {
        ASSERT_LT(i, file.channelA->size());
        EXPECT_NEAR(Value(row, 1), (*file.channelA)[i], 5e-7);
        EXPECT_NEAR(Value(row, 2), (*file.channelB)[i], 5e-7);
        if (i == 0) {
            EXPECT_NEAR(Value(row, 0), s.firstTimeA, 1e-12);
        }
    }
    // A name that is no data file is refused before anything is measured.
    EXPECT_EQ(RunOscCommand(session, {"--out", "capture.csv"}, out, err), 64);
    EXPECT_NE(err.str().find("--out"), std::string::npos);
}

TEST(KnobIndex, NearestEntryOfTheScale)
{
    const auto scale = PageKnobScale("knOscCh1");
    ASSERT_TRUE(scale);
    const int twenty = KnobIndexFor("knOscCh1", 20);
    EXPECT_EQ(twenty, scale->initialIndex); // the page starts at 20 V
    EXPECT_NE(KnobIndexFor("knOscCh1", 0.1), twenty);
    EXPECT_EQ(KnobIndexFor("no such knob", 1), 0);
}

} // namespace
} // namespace tesmar
