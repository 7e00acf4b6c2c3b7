#include "cli/OscCommand.h"
#include "device/UsbSession.h"
#include "sim/AnalogEngine.h"
#include "sim/VirtualInstrument.h"

#include <gtest/gtest.h>

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
    };
    const Case cases[] = {
        {{"--time-div", "fast"}, 64},
        {{"--channels", "c"}, 64},
        {{"--mode", "stream", "--trigger", "ext"}, 64},
        {{"--pre", "7"}, 64},
        {{"--bogus", "1"}, 64},
        {{"--level"}, 64},
        {{"--trigger", "a", "--level", "19", "--timeout", "0.3"}, 1}, // never reached
    };
    for (const Case& c : cases) {
        out.str({});
        err.str({});
        EXPECT_EQ(RunOscCommand(session, c.args, out, err), c.code) << c.args[0];
        EXPECT_FALSE(err.str().empty());
    }
}

} // namespace
} // namespace tesmar
