// Every bound a --help names, at the bound and just beyond it, written with and without a unit:
// a number with a unit is read exactly, so "5us" is the same bound as "5e-6".

#include "cli/CliMain.h"
#include "cli/CliText.h"
#include "formats/DataFileLoad.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace tesmar {
namespace {

namespace fs = std::filesystem;

struct Bound {
    std::vector<std::string> words;
    bool accepted;
};

TEST(OptionBounds, UnitsAreReadExactly)
{
    const std::pair<const char*, double> seconds[] = {
        {"5us", 5e-6}, {"5µs", 5e-6}, {"0.005ms", 5e-6}, {"5000ns", 5e-6}, {"10ms", 0.01}, {"0.1ms", 1e-4},
        {"7us", 7e-6}, {"1.5e3us", 1.5e-3}, {"3s", 3}, {"0.3", 0.3}, {"100ms", 0.1}, {"2.5e-1s", 0.25}};
    for (const auto& [text, value] : seconds)
        EXPECT_EQ(ParseSeconds(text), value) << text;
    const std::pair<const char*, double> hertz[] = {{"1M", 1e6}, {"2.5k", 2500}, {"0.1k", 100}, {"1.001M", 1.001e6},
                                                    {"2.667M", 2.667e6}, {"1G", 1e9}, {"250000", 250000}};
    for (const auto& [text, value] : hertz)
        EXPECT_EQ(ParseHertz(text), value) << text;
    for (const char* bad : {"us", "5 us", "5uss", "nanus", "infms", "0x10us", "1e99999999999us", "5e", "1e400s", "--5us",
                            "1.2.3ms", "5eus"})
        EXPECT_FALSE(ParseSeconds(bad)) << bad;
}

class OptionBoundsFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = fs::temp_directory_path() / ("tesmar_bounds_" + std::to_string(::getpid()));
        fs::create_directories(folder_);
        CaptureSamples capture;
        capture.samplePeriod = 1e-6;
        capture.busA.assign(2000, 1);
        ASSERT_EQ(SaveCaptureFile(path("capture.vcd"), capture), "");
    }
    void TearDown() override { fs::remove_all(folder_); }
    std::string path(const std::string& name) const { return (folder_ / name).string(); }

    fs::path folder_;
};

TEST_F(OptionBoundsFixture, EveryDocumentedBoundWithAndWithoutUnits)
{
    // A measuring command whose options are accepted stops at its output, which has no folder
    // (74) before it measures; a refused option is a bad command line (64).
    const std::string nowhere = path("no/such/x");
    const auto osc = [&](std::vector<std::string> words) {
        words.insert(words.begin(), {"--sim", "osc"});
        words.insert(words.end(), {"--csv", nowhere + ".csv"});
        return words;
    };
    const auto command = [&](const char* name, const char* out, const char* extension) {
        return [=](std::vector<std::string> words) {
            words.insert(words.begin(), {"--sim", name});
            words.insert(words.end(), {out, nowhere + extension});
            return words;
        };
    };
    const auto record = command("record", "--out", ".dat");
    const auto spectrum = command("spectrum", "--csv", ".csv");
    const auto logic = command("logic", "--out", ".vcd");
    const auto encode = [&](std::vector<std::string> words) {
        words.insert(words.end(), {"--out", path("gen.dat")});
        return words;
    };
    const auto decode = [&](std::vector<std::string> words) {
        words.insert(words.begin() + 2, path("capture.vcd"));
        return words;
    };
    const Bound bounds[] = {
        // osc: --period (and its old name) 5us … 10ms.
        {osc({"--period", "5us"}), true},
        {osc({"--period", "5e-6"}), true},
        {osc({"--period", "0.005ms"}), true},
        {osc({"--time-div", "5us"}), true},
        {osc({"--period", "4.99us"}), false},
        {osc({"--period", "4.99e-6"}), false},
        {osc({"--period", "10ms"}), true},
        {osc({"--period", "0.01"}), true},
        {osc({"--period", "10.01ms"}), false},
        {osc({"--period", "0.01001"}), false},
        // osc: ranges, threshold, levels, pre-trigger, depth, time-out.
        {osc({"--range-a", "0.1"}), true},
        {osc({"--range-a", "0.099"}), false},
        {osc({"--range-b", "20"}), true},
        {osc({"--range-b", "20.01"}), false},
        {osc({"--threshold", "0.2"}), true},
        {osc({"--threshold", "0.19"}), false},
        {osc({"--threshold", "20"}), true},
        {osc({"--threshold", "20.1"}), false},
        {osc({"--trigger", "a", "--range-a", "2", "--level", "-2"}), true},
        {osc({"--trigger", "a", "--range-a", "2", "--level", "2.01"}), false},
        {osc({"--pre", "8"}), true},
        {osc({"--pre", "4"}), false},
        {osc({"--pre", "200"}), true},
        {osc({"--pre", "204"}), false},
        {osc({"--mode", "stream", "--pre", "10"}), true},
        {osc({"--mode", "stream", "--pre", "9"}), false},
        {osc({"--mode", "stream", "--pre", "1000"}), true},
        {osc({"--mode", "stream", "--pre", "1001"}), false},
        {osc({"--mode", "stream", "--depth", "16", "--pre", "10"}), true},
        {osc({"--mode", "stream", "--depth", "15", "--pre", "10"}), false},
        {osc({"--mode", "stream", "--depth", "65536"}), true},
        {osc({"--mode", "stream", "--depth", "65537"}), false},
        {osc({"--timeout", "1ms"}), true},
        {osc({"--timeout", "0.001"}), true},
        {osc({"--timeout", "0.9ms"}), false},
        {osc({"--timeout", "86400s"}), true},
        {osc({"--timeout", "86400.1"}), false},
        // record: --period 5us … 10s (10us with both channels), --duration 1ms … 24h.
        {record({"--period", "5us"}), true},
        {record({"--period", "5e-6"}), true},
        {record({"--period", "4.9us"}), false},
        {record({"--period", "10s"}), true},
        {record({"--period", "10"}), true},
        {record({"--period", "10001ms"}), false},
        {record({"--channels", "ab", "--period", "10us"}), true},
        {record({"--channels", "ab", "--period", "1e-5"}), true},
        {record({"--channels", "ab", "--period", "9.99us"}), false},
        {record({"--range-a", "0.1"}), true},
        {record({"--range-a", "0.09"}), false},
        {record({"--range-b", "20"}), true},
        {record({"--range-b", "21"}), false},
        {record({"--averaging", "1"}), true},
        {record({"--averaging", "0"}), false},
        {record({"--averaging", "1.5"}), false},
        {record({"--duration", "1ms"}), true},
        {record({"--duration", "0.001"}), true},
        {record({"--duration", "0.9ms"}), false},
        {record({"--duration", "24h"}), true},
        {record({"--duration", "1440m"}), true},
        {record({"--duration", "86400"}), true},
        {record({"--duration", "86400s"}), true},
        {record({"--duration", "86401"}), false},
        {record({"--duration", "24.01h"}), false},
        // spectrum: --rate 100 … 200k (100k with both channels), --timeout 100ms … 3600s.
        {spectrum({"--rate", "100"}), true},
        {spectrum({"--rate", "0.1k"}), true},
        {spectrum({"--rate", "99"}), false},
        {spectrum({"--rate", "200k"}), true},
        {spectrum({"--rate", "200000"}), true},
        {spectrum({"--rate", "201k"}), false},
        {spectrum({"--rate", "2.5k"}), true},
        {spectrum({"--channels", "ab", "--rate", "100k"}), true},
        {spectrum({"--channels", "ab", "--rate", "110k"}), false},
        {spectrum({"--range-a", "0.1"}), true},
        {spectrum({"--range-a", "0.09"}), false},
        {spectrum({"--harmonics", "2"}), true},
        {spectrum({"--harmonics", "1"}), false},
        {spectrum({"--harmonics", "10"}), true},
        {spectrum({"--harmonics", "11"}), false},
        {spectrum({"--f1", "1"}), true},
        {spectrum({"--f1", "0.9"}), false},
        {spectrum({"--rate", "3k", "--f1", "1000"}), true},
        {spectrum({"--rate", "3k", "--f1", "1001"}), false},
        {spectrum({"--mode", "stream", "--size", "2048"}), true},
        {spectrum({"--mode", "stream", "--size", "1024"}), false},
        {spectrum({"--timeout", "0.1"}), true},
        {spectrum({"--timeout", "100ms"}), true},
        {spectrum({"--timeout", "99ms"}), false},
        {spectrum({"--timeout", "3600s"}), true},
        {spectrum({"--timeout", "3601"}), false},
        // logic: --rate 1k … 8M, --pre, --skip, --timeout 1ms … 86400s.
        {logic({"--rate", "1k"}), true},
        {logic({"--rate", "1000"}), true},
        {logic({"--rate", "999"}), false},
        {logic({"--rate", "8M"}), true},
        {logic({"--rate", "8000000"}), true},
        {logic({"--rate", "9M"}), false},
        {logic({"--mode", "stream", "--trigger-mask", "1", "--pre", "1"}), true},
        {logic({"--mode", "stream", "--trigger-mask", "1", "--pre", "99"}), true},
        {logic({"--mode", "stream", "--trigger-mask", "1", "--pre", "100"}), false},
        {logic({"--mode", "buffer", "--trigger-mask", "1", "--pre", "8"}), true},
        {logic({"--mode", "buffer", "--trigger-mask", "1", "--pre", "120"}), true},
        {logic({"--mode", "buffer", "--trigger-mask", "1", "--pre", "128"}), false},
        {logic({"--mode", "buffer", "--trigger-mask", "1", "--skip", "32767:A.1:rising"}), true},
        {logic({"--mode", "buffer", "--trigger-mask", "1", "--skip", "32768:A.1:rising"}), false},
        {logic({"--timeout", "1ms"}), true},
        {logic({"--timeout", "0.001"}), true},
        {logic({"--timeout", "0.9ms"}), false},
        {logic({"--timeout", "86400s"}), true},
        {logic({"--timeout", "86401"}), false},
        // encode: rates, --start.
        {encode({"encode", "uart", "--text", "U", "--baud", "300", "--rate", "1k"}), true},
        {encode({"encode", "uart", "--text", "U", "--baud", "299"}), false},
        {encode({"encode", "uart", "--text", "U", "--baud", "115200"}), true},
        {encode({"encode", "uart", "--text", "U", "--baud", "115201"}), false},
        {encode({"encode", "uart", "--text", "U", "--baud", "115200", "--rate", "1M"}), true},
        {encode({"encode", "uart", "--text", "U", "--baud", "115200", "--rate", "1000000"}), true},
        {encode({"encode", "uart", "--text", "U", "--baud", "115200", "--rate", "1.001M"}), false},
        {encode({"encode", "uart", "--text", "U", "--baud", "300", "--rate", "1000"}), true},
        {encode({"encode", "uart", "--text", "U", "--baud", "300", "--rate", "0.999k"}), false},
        {encode({"encode", "uart", "--text", "U", "--baud", "115200", "--start", "0us"}), true},
        {encode({"encode", "uart", "--text", "U", "--baud", "115200", "--start", "-1us"}), false},
        {encode({"encode", "spi", "--text", "U", "--clock", "5", "--rate", "1k"}), true},
        {encode({"encode", "spi", "--text", "U", "--clock", "4"}), false},
        {encode({"encode", "spi", "--text", "U", "--clock", "1000"}), true},
        {encode({"encode", "spi", "--text", "U", "--clock", "1001"}), false},
        {encode({"encode", "i2c", "--transactions", "w 0x50 1", "--speed", "10", "--rate", "1k"}), true},
        {encode({"encode", "i2c", "--transactions", "w 0x50 1", "--speed", "9"}), false},
        {encode({"encode", "i2c", "--transactions", "w 0x50 1", "--speed", "400"}), true},
        {encode({"encode", "i2c", "--transactions", "w 0x50 1", "--speed", "401"}), false},
        // decode: --baud 1 … 1e9, --limit, --rate 1 … 1G (generator data files).
        {decode({"decode", "uart", "--baud", "1"}), true},
        {decode({"decode", "uart", "--baud", "0"}), false},
        {decode({"decode", "uart", "--baud", "1000000000"}), true},
        {decode({"decode", "uart", "--baud", "1000000001"}), false},
        {decode({"decode", "uart", "--limit", "1"}), true},
        {decode({"decode", "uart", "--limit", "0"}), false},
        {decode({"decode", "uart", "--marker1", "0us"}), true},
        {decode({"decode", "uart", "--rate", "0.5"}), false},
        {decode({"decode", "uart", "--rate", "1.001G"}), false},
    };
    for (const Bound& bound : bounds) {
        SCOPED_TRACE(::testing::PrintToString(bound.words));
        std::ostringstream out, err;
        const int status = RunCli(bound.words, out, err);
        if (bound.accepted)
            EXPECT_NE(status, kExitUsage) << err.str();
        else
            EXPECT_EQ(status, kExitUsage) << err.str();
    }
    // The generator rate of a data file with k or M, as the other commands take it.
    std::ostringstream out, err;
    ASSERT_EQ(RunCli({"encode", "uart", "--text", "U", "--baud", "115200", "--out", path("gen.dat")}, out, err), 0)
        << err.str();
    for (const char* rate : {"1M", "1000000", "1e6"}) {
        std::ostringstream o, e;
        EXPECT_EQ(RunCli({"decode", "uart", path("gen.dat"), "--rx", "B.0", "--baud", "115200", "--rate", rate}, o, e), 0)
            << rate << ": " << e.str();
        EXPECT_NE(o.str().find("55"), std::string::npos) << o.str();
    }
}

} // namespace
} // namespace tesmar
