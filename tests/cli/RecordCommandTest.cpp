#include "cli/RecordCommand.h"
#include "device/UsbSession.h"
#include "formats/DataFile.h"
#include "sim/AnalogEngine.h"
#include "sim/VirtualInstrument.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace tesmar {
namespace {

struct RecordCommandFixture : ::testing::Test {
    SimClock clock{200.0};
    VirtualInstrument instrument{clock};
    UsbSession session{instrument};
    std::ostringstream out, err;
    std::atomic<bool> interrupted{false};

    RecordCommandFixture()
    {
        InstallAnalogEngine(instrument);
        session.setSleeper([this](int ms) { clock.sleepMs(ms); });
    }

    int Run(const std::vector<std::string>& args) { return RunRecordCommand(session, args, out, err, interrupted); }

    std::vector<std::string> Lines() const
    {
        std::vector<std::string> rows;
        std::istringstream in(out.str());
        for (std::string line; std::getline(in, line);)
            rows.push_back(line);
        return rows;
    }
};

TEST_F(RecordCommandFixture, DurationRecordOfBothChannelsAsCsv)
{
    ASSERT_EQ(Run({"--channels", "ab", "--period", "2ms", "--duration", "1s"}), 0) << err.str();
    const auto rows = Lines();
    ASSERT_EQ(rows.size(), 1u + 501u); // the first point ending beyond 1 s is the last
    EXPECT_EQ(rows[0], "time_s,a_V,b_V");
    EXPECT_EQ(rows[2].rfind("0.002,", 0), 0u) << rows[2];
    EXPECT_NE(err.str().find("501 points"), std::string::npos) << err.str();
}

TEST_F(RecordCommandFixture, InterruptKeepsWhatWasRecorded)
{
    const std::string path = ::testing::TempDir() + "record_command_cut.dat";
    std::thread press([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        interrupted = true;
    });
    // Cut short: the file holds the points so far; exit 130 since the duration was not reached.
    const int code = Run({"--duration", "1h", "--out", path});
    press.join();
    EXPECT_EQ(code, 130) << err.str();
    std::ifstream file(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), {});
    const auto read = ReadDataFile(bytes);
    ASSERT_TRUE(std::holds_alternative<DataFile>(read));
    const DataFile& data = std::get<DataFile>(read);
    ASSERT_TRUE(data.channelA);
    EXPECT_GT(data.channelA->size(), 100u);
    EXPECT_FALSE(data.channelB);
    std::remove(path.c_str());

    // Without a duration Ctrl-C is the normal end: exit 0.
    interrupted = false;
    std::thread again([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        interrupted = true;
    });
    out.str({});
    EXPECT_EQ(Run({"--channels", "b"}), 0) << err.str();
    again.join();
    EXPECT_GT(Lines().size(), 100u);
    EXPECT_EQ(Lines()[0], "time_s,b_V");
}

// Standard output that plays the user pressing Ctrl-C once the first rows have arrived: a
// record of an hour ends only when its rows come while it runs.
class InterruptOnRows : public std::stringbuf {
public:
    explicit InterruptOnRows(std::atomic<bool>& flag) : flag_(flag) {}

protected:
    int sync() override
    {
        const std::string text = str();
        if (std::count(text.begin(), text.end(), '\n') > 10)
            flag_ = true;
        return 0;
    }

private:
    std::atomic<bool>& flag_;
};

TEST_F(RecordCommandFixture, StandardOutputGetsTheRowsAsTheyCome)
{
    InterruptOnRows rows(interrupted);
    std::ostream live(&rows);
    EXPECT_EQ(RunRecordCommand(session, {"--duration", "1h"}, live, err, interrupted), 130) << err.str();
    const std::string text = rows.str();
    EXPECT_EQ(text.rfind("time_s,a_V\n0,", 0), 0u) << text.substr(0, 100);
    EXPECT_EQ(std::count(text.begin(), text.end(), 't'), 1); // one header
}

TEST_F(RecordCommandFixture, UnplugKeepsThePointsAndFails)
{
    std::thread pull([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        instrument.unplug();
    });
    EXPECT_EQ(Run({"--duration", "1h"}), 1);
    pull.join();
    EXPECT_NE(err.str().find("Ошибка чтения данных из устройства"), std::string::npos) << err.str();
    EXPECT_GT(Lines().size(), 100u);
}

TEST_F(RecordCommandFixture, BadOptionsAreNamed)
{
    const struct {
        std::vector<std::string> args;
        const char* named;
    } cases[] = {
        {{"--period", "1us"}, "--period"},
        {{"--period", "nan"}, "--period"},
        {{"--period", "20s"}, "--period"},
        {{"--channels", "c"}, "--channels"},
        {{"--range-a", "-1"}, "--range-a"},
        {{"--range-b", "inf"}, "--range-b"},
        {{"--averaging", "1.5"}, "--averaging"},
        {{"--averaging", "0"}, "--averaging"},
        {{"--duration", "25h"}, "--duration"},
        {{"--duration", "0"}, "--duration"},
        {{"--out", "file.txt"}, "--out"},
        {{"--period"}, "--period"},
        {{"--colour", "red"}, "--colour"},
        {{"--channels", "ab", "--period", "5us"}, "--period"},
    };
    for (const auto& c : cases) {
        err.str({});
        EXPECT_EQ(Run(c.args), 64) << c.named;
        EXPECT_NE(err.str().find(c.named), std::string::npos) << err.str();
    }
    out.str({});
    EXPECT_EQ(Run({"--help"}), 0);
    EXPECT_NE(out.str().find("--duration"), std::string::npos);
}

TEST_F(RecordCommandFixture, NoInstrument)
{
    instrument.unplug();
    EXPECT_EQ(Run({"--duration", "1s"}), 2);
    EXPECT_TRUE(out.str().empty());
}

} // namespace
} // namespace tesmar
