#include "cli/SpectrumCommand.h"
#include "formats/DataFile.h"
#include "formats/DataFileLoad.h"
#include "device/UsbSession.h"
#include "filter/FilterFile.h"
#include "sim/AnalogEngine.h"
#include "sim/VirtualInstrument.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace tesmar {
namespace {

struct SpectrumCommandFixture : ::testing::Test {
    SimClock clock{50.0};
    VirtualInstrument instrument{clock};
    UsbSession session{instrument};
    std::ostringstream out, err;

    SpectrumCommandFixture()
    {
        InstallAnalogEngine(instrument);
        session.setSleeper([this](int ms) { clock.sleepMs(ms); });
    }

    int run(const std::vector<std::string>& args) { return RunSpectrumCommand(session, args, out, err); }

    std::vector<std::vector<std::string>> rows() const
    {
        std::vector<std::vector<std::string>> table;
        std::istringstream in(out.str());
        for (std::string line; std::getline(in, line);) {
            std::vector<std::string> cells;
            std::istringstream row(line);
            for (std::string cell; std::getline(row, cell, ',');)
                cells.push_back(cell);
            if (!line.empty() && line.back() == ',')
                cells.push_back({});
            table.push_back(cells);
        }
        return table;
    }
};

TEST_F(SpectrumCommandFixture, CurveOfBothChannelsReachesHalfTheRate)
{
    ASSERT_EQ(run({"--channels", "ab", "--rate", "20k"}), 0) << err.str();
    const auto t = rows();
    ASSERT_EQ(t.size(), 1u + 513u);
    EXPECT_EQ(t[0], (std::vector<std::string>{"f_Hz", "a_V", "b_V"}));
    EXPECT_DOUBLE_EQ(std::stod(t.back()[0]), 10'000.0);
    // A's line near 1 kHz (bin 51 of 1024 at 20 kHz) stands above its neighbours far away.
    EXPECT_GT(std::stod(t[1 + 51][1]), 10 * std::stod(t[1 + 200][1]));
}

// A's 1 kHz line (bin 128 of 1024 at 8 kHz) with B on or off: the same height, and the floor
// beside it.
TEST_F(SpectrumCommandFixture, LineOfABothChannelsOnAsWithAAlone)
{
    std::vector<std::vector<std::string>> curves[2];
    for (int both = 0; both < 2; ++both) {
        out.str({});
        ASSERT_EQ(run({"--channels", both ? "ab" : "a", "--rate", "8k", "--window", "hann", "--db"}), 0) << err.str();
        curves[both] = rows();
        ASSERT_EQ(curves[both].size(), 1u + 513u);
    }
    const double alone = std::stod(curves[0][1 + 128][1]);
    EXPECT_GT(alone, 0.0);
    EXPECT_NEAR(std::stod(curves[1][1 + 128][1]), alone, 0.5);
    // From 300 to 700 Hz off the line (the converter's own harmonics lie further out).
    for (int k = 0; k < 512; ++k)
        if (const double off = std::abs(k - 128) * 8000.0 / 1024; off >= 300 && off <= 700) {
            EXPECT_LE(std::stod(curves[1][1 + k][1]), -59.0) << curves[1][1 + k][0] << " Hz";
        }
}

TEST_F(SpectrumCommandFixture, SummaryOfASquareInDbAndStream)
{
    ASSERT_EQ(run({"--channels", "b", "--rate", "50k", "--mode", "stream", "--size", "8192", "--window", "hann",
                   "--summary"}),
              0)
        << err.str();
    const auto t = rows();
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0], (std::vector<std::string>{"channel", "Uconst_V", "Uvaria_V", "F_Hz", "Umax_V", "F1_Hz", "kg", "k3"}));
    ASSERT_EQ(t[1].size(), 8u);
    EXPECT_EQ(t[1][0], "b");
    EXPECT_NEAR(std::stod(t[1][5]), 500, 50'000.0 / 8192);
    EXPECT_NEAR(std::stod(t[1][7]), 0.33, 0.03);
    // kg and k3 keep enough digits to tell 0.051 from 0.049.
    for (const std::string& cell : {t[1][6], t[1][7]}) {
        const std::string digits = cell.substr(cell.find_first_not_of("0.-"));
        EXPECT_GE(digits.size(), 4u) << cell;
    }
    EXPECT_NE(err.str().find("recording 8192 points"), std::string::npos);
}

TEST_F(SpectrumCommandFixture, DistortionCellsEmptyWhenTheFundamentalIsTooHigh)
{
    ASSERT_EQ(run({"--rate", "200k", "--f1", "40000", "--summary"}), 0) << err.str();
    const auto t = rows();
    ASSERT_EQ(t.size(), 2u);
    ASSERT_EQ(t[1].size(), 8u);
    EXPECT_EQ(t[1][5], "40000.000");
    EXPECT_TRUE(t[1][6].empty());
    EXPECT_TRUE(t[1][7].empty());
}

TEST_F(SpectrumCommandFixture, FilterFileWeightsTheSpectrum)
{
    const auto path = (std::filesystem::temp_directory_path() / "tesmar-spectrum-filter.txt").string();
    FilterResponse r = DefaultFilterResponse();
    for (FilterPoint& p : r.points)
        p.gain = 0.5;
    ASSERT_TRUE(WriteFilterFile(path, r, '.'));
    ASSERT_EQ(run({"--rate", "20k", "--summary"}), 0);
    const double plain = std::stod(rows()[1][4]);
    out.str({});
    ASSERT_EQ(run({"--rate", "20k", "--summary", "--filter-a", path}), 0) << err.str();
    EXPECT_NEAR(std::stod(rows()[1][4]), plain / 2, plain * 0.05);
    std::filesystem::remove(path);
}

TEST(SpectrumCommand, KnownThirdHarmonicOfTheScene)
{
    SimClock clock{50.0};
    VirtualInstrument instrument{clock};
    AnalogScene scene;
    scene.channelA = *SignalSource::Parse("sine:2:1000,h3=0.1");
    InstallAnalogEngine(instrument, scene);
    UsbSession session{instrument};
    session.setSleeper([&](int ms) { clock.sleepMs(ms); });
    std::ostringstream out, err;
    ASSERT_EQ(RunSpectrumCommand(session, {"--rate", "50k", "--mode", "stream", "--size", "16384", "--window",
                                           "harris", "--summary"},
                                 out, err),
              0)
        << err.str();
    std::istringstream rows(out.str());
    std::string header, a;
    std::getline(rows, header);
    std::getline(rows, a);
    // channel,Uconst,Uvaria,F,Umax,F1,kg,k3: with K = 2 both factors are the third harmonic's 0.1.
    const auto k3 = a.rfind(','), kg = a.rfind(',', k3 - 1);
    EXPECT_NEAR(std::stod(a.substr(kg + 1)), 0.1, 0.005) << a;
    EXPECT_NEAR(std::stod(a.substr(k3 + 1)), 0.1, 0.005) << a;
}

// The scene's 5 % third harmonic on the 2 V range, where the converter's steps are fine enough:
// k3 is 0.05 wherever the line falls on the bin grid, with and without a window.
TEST(SpectrumCommand, ThirdHarmonicOfTheSceneAtEveryRateAndMode)
{
    SimClock clock{50.0};
    VirtualInstrument instrument{clock};
    AnalogScene scene;
    scene.channelA = *SignalSource::Parse("sine:1:1000,h3=0.05");
    InstallAnalogEngine(instrument, scene);
    UsbSession session{instrument};
    session.setSleeper([&](int ms) { clock.sleepMs(ms); });
    for (const char* rate : {"7k", "10k", "40k", "70k", "130k", "200k"})
        for (const char* mode : {"buffer", "stream"})
            for (const char* window : {"none", "hann"}) {
                std::ostringstream out, err;
                ASSERT_EQ(RunSpectrumCommand(session, {"--range-a", "2", "--rate", rate, "--mode", mode, "--window",
                                                       window, "--summary"},
                                             out, err),
                          0)
                    << err.str();
                const std::string a = out.str().substr(out.str().find("\na,") + 1);
                const double k3 = std::stod(a.substr(a.rfind(',') + 1));
                EXPECT_NEAR(k3, 0.05, 0.005) << rate << ' ' << mode << ' ' << window << ": " << a;
            }
}

// The time-out counts from when the record should have come: a slow stream is not cut short.
TEST_F(SpectrumCommandFixture, SlowStreamOutlastsTheTimeOut)
{
    ASSERT_EQ(run({"--rate", "100", "--mode", "stream", "--size", "2048", "--timeout", "0.1", "--summary"}), 0) << err.str();
    EXPECT_NE(out.str().find("\na,"), std::string::npos) << out.str();
}

TEST_F(SpectrumCommandFixture, BadOptionsAreNamed)
{
    const auto missing = (std::filesystem::temp_directory_path() / "tesmar-no-such-filter.txt").string();
    const struct {
        std::vector<std::string> args;
        int code;
        std::string message;
    } cases[] = {
        {{"--rate", "300k"}, 64, "--rate"},
        {{"--rate", "nan"}, 64, "--rate"},
        {{"--channels", "ab", "--rate", "150k"}, 64, "at most 100k"},
        {{"--range-a", "50"}, 64, "--range-a"},
        {{"--window", "kaiser"}, 64, "--window"},
        {{"--size", "3000", "--mode", "stream"}, 64, "--size"},
        {{"--size", "4096"}, 64, "--mode stream"},
        {{"--harmonics", "11"}, 64, "--harmonics"},
        {{"--harmonics", "2.5"}, 64, "--harmonics"},
        {{"--f1", "50000", "--rate", "100k"}, 64, "rate/3"},
        {{"--timeout", "inf"}, 64, "--timeout"},
        {{"--db-ref", "1"}, 64, "--db-ref"},
        {{"--rate"}, 64, "needs a value"},
        {{"--colour", "red"}, 64, "unknown option"},
        {{"--filter-a", missing}, 65, "filter file"},
        {{"--rate", "12345"}, 64, "bad value '12345' for --rate (allowed: a rate of the knob"},
        {{"--rate", "60k"}, 64, "--rate"},
        {{"--rate", "100.5"}, 64, "--rate"},
        {{"--summary", "--bogus"}, 64, "unknown option --bogus"},
        {{"--bogus\x1b[2J", "1"}, 64, "unknown option --bogus\\x1B[2J"},
        {{"--csv", "/no/such/folder/x.csv"}, 74, "cannot write /no/such/folder/x.csv"},
    };
    for (const auto& c : cases) {
        err.str({});
        EXPECT_EQ(run(c.args), c.code) << c.args[0];
        EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
    }
}

} // namespace
} // namespace tesmar

namespace tesmar {
namespace {

TEST_F(SpectrumCommandFixture, DataFileHoldsTheDrawnCurveOfEachChannel)
{
    const std::string dat = ::testing::TempDir() + "/spectrum-out.dat";
    ASSERT_EQ(run({"--channels", "ab", "--rate", "20k", "--out", dat}), 0) << err.str();
    EXPECT_TRUE(out.str().empty());
    const auto read = ReadDataFile(*ReadWholeFile(dat));
    ASSERT_TRUE(std::holds_alternative<DataFile>(read));
    const DataFile& file = std::get<DataFile>(read);
    const auto& s = std::get<SpectrumSettingsChunk>(file.settings);
    EXPECT_DOUBLE_EQ(s.sampleRate, 20'000.0);
    ASSERT_TRUE(file.channelA && file.channelB);
    // n stored points stand for a transform of 2n − 2 samples: the buffer's 1024.
    EXPECT_EQ(file.channelA->size(), 513u);
    EXPECT_EQ(file.channelB->size(), 513u);
    EXPECT_NEAR(s.summary[4], 1000.0, 20.0); // A's first harmonic near 1 kHz
    EXPECT_FALSE(s.lbFFTF1Ch1.empty());
    EXPECT_EQ(run({"--out", "spectrum.csv"}), 64);
}

} // namespace
} // namespace tesmar
