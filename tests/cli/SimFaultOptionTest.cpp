// tesmar-cli --sim-fault: checked like every other option, and each fault ends a measurement
// with a message and a failing status instead of a hang.

#include "cli/CliMain.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <unistd.h>

namespace tesmar {
namespace {

struct Outcome {
    int status;
    std::string out, err;
};

Outcome RunWords(std::vector<std::string> words)
{
    std::ostringstream out, err;
    const int status = RunCli(words, out, err);
    return {status, out.str(), err.str()};
}

TEST(SimFaultOption, BadUseIsRefusedNamingTheFault)
{
    const struct {
        std::vector<std::string> words;
        const char* said;
    } cases[] = {
        {{"--sim", "--sim-fault", "melt-after=1s", "info"}, "unknown fault \"melt\""},
        {{"--sim", "--sim-fault", "unplug-after=soon", "info"}, "unplug-after: \"soon\""},
        {{"--sim", "--sim-fault", "replug-after=2reads", "info"}, "replug-after"},
        {{"--sim", "info", "--sim-fault"}, "--sim-fault needs faults"},
        {{"--sim", "--sim-fault", "--sim-fast", "info"}, "--sim-fault needs faults"},
        {{"--sim-fault", "unplug-after=1s", "info"}, "(add --sim)"},
        {{"--sim", "--sim-fault", "stall-after=1s", "--sim-fault", "error-after=1s", "info"}, "given twice"},
    };
    for (const auto& c : cases) {
        const Outcome o = RunWords(c.words);
        EXPECT_EQ(o.status, 64) << c.said;
        EXPECT_NE(o.err.find(c.said), std::string::npos) << o.err;
        EXPECT_TRUE(o.out.empty());
    }
}

// Every measuring command meets each fault at its first data and later in its data. The take-up
// before a measurement reads twice (identity, calibration), so a command's own first read is the
// third.
TEST(SimFaultOption, EachFaultEndsEveryMeasurementWithAMessage)
{
    const auto folder = std::filesystem::temp_directory_path() / ("tesmar-sim-fault-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string logic = (folder / "capture.vcd").string();
    const struct {
        std::vector<std::string> command;
        std::vector<const char*> moments;
    } cases[] = {
        {{"osc", "--timeout", "0.5"}, {"2reads", "3reads"}},
        {{"osc", "--mode", "stream", "--period", "1ms", "--timeout", "0.5"}, {"2reads", "6reads"}},
        {{"spectrum", "--timeout", "0.5"}, {"2reads", "3reads"}},
        {{"spectrum", "--rate", "50k", "--mode", "stream", "--timeout", "0.5"}, {"2reads", "6reads"}},
        {{"record", "--duration", "1m"}, {"2reads", "6reads"}},
        {{"logic", "--out", logic}, {"2reads", "3reads"}},
        {{"logic", "--rate", "250k", "--mode", "stream", "--out", logic}, {"2reads", "6reads"}},
        {{"calibration", "read"}, {"0reads", "1reads"}},
    };
    for (const char* fault : {"unplug", "stall", "error"}) {
        for (const auto& c : cases) {
            for (const char* moment : c.moments) {
                const std::string spec = std::string(fault) + "-after=" + moment;
                std::vector<std::string> words{"--sim-fast", "--sim-fault", spec};
                words.insert(words.end(), c.command.begin(), c.command.end());
                SCOPED_TRACE(spec + " " + c.command[0] + " " + c.command[1]);
                const Outcome o = RunWords(words);
                if (o.status == 0) {
                    // Only one transfer error met while waiting for a record, which is asked again,
                    // may be made good.
                    EXPECT_EQ(std::string(fault), "error");
                    continue;
                }
                EXPECT_NE(o.status, 70) << o.err;
                EXPECT_FALSE(o.err.empty());
            }
        }
    }
    std::filesystem::remove_all(folder);
}

TEST(SimFaultOption, UnplugAfterATimeCutsARecordThatKeepsItsPoints)
{
    // The real-time clock: a time of the fast one passes before the instrument is taken up.
    const Outcome o = RunWords({"--sim", "--sim-fault", "unplug-after=1s", "record", "--duration", "1h"});
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.err.find("Ошибка чтения данных из устройства"), std::string::npos) << o.err;
    EXPECT_GT(std::count(o.out.begin(), o.out.end(), '\n'), 50);
}

} // namespace
} // namespace tesmar
