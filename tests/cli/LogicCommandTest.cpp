// tesmar-cli logic against the virtual instrument: the capture paths, the files they write, and
// the command lines the page would not allow.

#include "cli/CliMain.h"
#include "cli/DecodeCommand.h"
#include "cli/LogicCommand.h"
#include "device/UsbSession.h"
#include "formats/DataFileLoad.h"
#include "logic/ChannelSetup.h"
#include "sim/LogicEngine.h"
#include "sim/VirtualInstrument.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>
#include <thread>

namespace tesmar {
namespace {

namespace fs = std::filesystem;

struct LogicCommandFixture : ::testing::Test {
    SimClock clock{50.0};
    VirtualInstrument instrument{clock};
    LogicEngine* engine = &InstallLogicEngine(instrument);
    UsbSession session{instrument};
    std::ostringstream out, err;
    fs::path folder;

    void SetUp() override
    {
        session.setSleeper([this](int ms) { clock.sleepMs(ms); });
        folder = fs::temp_directory_path() / ("tesmar_logic_cli_" + std::to_string(::getpid()) + "_" +
                                              ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }
    std::string path(const std::string& name) const { return (folder / name).string(); }

    int run(const std::vector<std::string>& args, const std::atomic<bool>* interrupted = nullptr)
    {
        out.str({});
        err.str({});
        return RunLogicCommand(session, engine, args, out, err, interrupted);
    }
    CaptureSamples load(const std::string& file) const
    {
        auto loaded = LoadCaptureFile(file);
        if (auto* message = std::get_if<std::string>(&loaded)) {
            ADD_FAILURE() << *message;
            return {};
        }
        return std::get<CaptureImport>(loaded).capture;
    }
    void writeGenerator(const std::string& file, std::size_t size)
    {
        std::vector<std::uint8_t> bytes(size);
        for (std::size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<std::uint8_t>(i * 7);
        ASSERT_TRUE(WriteWholeFile(file, bytes.data(), bytes.size()));
    }
};

TEST_F(LogicCommandFixture, BufferedCaptureDecodesTheSceneUartOnA0)
{
    // 3 ms at 500 kHz always hold one whole message (0.7 ms every 0.9 ms).
    const std::string vcd = path("uart.vcd");
    ASSERT_EQ(run({"--rate", "500k", "--out", vcd}), 0) << err.str();
    EXPECT_EQ(err.str(), "");
    const CaptureSamples capture = load(vcd);
    EXPECT_EQ(capture.busA.size(), 1544u);
    EXPECT_TRUE(capture.busB.empty());
    EXPECT_DOUBLE_EQ(capture.samplePeriod, 2e-6);

    std::ostringstream decoded, decodeErr;
    ASSERT_EQ(RunDecodeCommand({"uart", vcd, "--rx", "A.0", "--tx", "A.0", "--baud", "115200", "--csv"}, decoded, decodeErr), 0)
        << decodeErr.str();
    // The HEX column of every row, in order.
    std::string hex;
    std::istringstream rows(decoded.str());
    std::string row;
    std::getline(rows, row);
    while (std::getline(rows, row)) {
        std::istringstream cells(row);
        std::string cell;
        for (int c = 0; c < 3; ++c)
            std::getline(cells, cell, ',');
        hex += cell + ' ';
    }
    EXPECT_NE(hex.find("54 65 73 6D 61 72 0D 0A "), std::string::npos) << hex; // "Tesmar\r\n"
}

TEST_F(LogicCommandFixture, StreamWithMaskTriggerKeepsThePreTriggerPart)
{
    const std::string dat = path("stream.dat");
    ASSERT_EQ(run({"--rate", "100k", "--mode", "stream", "--depth", "8K", "--pre", "25", "--trigger-mask", "1xxxxxxx",
                   "--out", dat}),
              0)
        << err.str();
    EXPECT_NE(err.str().find("8192 of 8192 samples (100 %)"), std::string::npos) << err.str(); // the progress line
    const CaptureSamples capture = load(dat);
    ASSERT_EQ(capture.busA.size(), 8192u);
    EXPECT_NEAR(capture.samplePeriod, 1e-5, 1e-12);
    EXPECT_NEAR(capture.firstSampleTime, -2048 * 1e-5, 1e-9);
    EXPECT_TRUE(capture.busA[2047] & 0x80); // the trigger sample: A.7 (chip select) high
}

TEST_F(LogicCommandFixture, SixteenLinesCaptureBothBuses)
{
    const std::string sr = path("both.sr");
    ASSERT_EQ(run({"--lines", "16", "--rate", "1M", "--out", sr}), 0) << err.str();
    const CaptureSamples capture = load(sr);
    ASSERT_EQ(capture.busA.size(), 772u);
    ASSERT_EQ(capture.busB.size(), 772u);
    // Bus B counts at 100 kHz: a step of one every ten samples.
    int steps = 0;
    for (std::size_t i = 1; i < capture.busB.size(); ++i) {
        const auto step = static_cast<std::uint8_t>(capture.busB[i] - capture.busB[i - 1]);
        EXPECT_LE(step, 1) << i;
        steps += step;
    }
    EXPECT_GE(steps, 76);
}

TEST_F(LogicCommandFixture, GeneratorLoopedBackAppearsOnBusA)
{
    const std::string gen = path("pattern.bin");
    writeGenerator(gen, 1544);
    const std::string csv = path("loop.csv");
    ASSERT_EQ(run({"--generator", gen, "--loopback", "--out", csv}), 0) << err.str();
    CaptureSamples capture = load(csv);
    ASSERT_EQ(capture.busA.size(), 1544u);
    for (std::size_t i = 0; i < capture.busA.size(); ++i)
        ASSERT_EQ(capture.busA[i], static_cast<std::uint8_t>(i * 7)) << i;

    // A short file plays with zeros after it, and says so.
    writeGenerator(gen, 100);
    ASSERT_EQ(run({"--generator", gen, "--loopback", "--out", csv}), 0) << err.str();
    EXPECT_NE(err.str().find("has 100 bytes of 1544; the rest of the pattern is 0"), std::string::npos) << err.str();
    capture = load(csv);
    ASSERT_EQ(capture.busA.size(), 1544u);
    EXPECT_EQ(capture.busA[99], static_cast<std::uint8_t>(99 * 7));
    EXPECT_EQ(capture.busA[100], 0);
}

TEST_F(LogicCommandFixture, InterruptedStreamWritesWhatWasCaptured)
{
    const std::string vcd = path("cut.vcd");
    std::atomic<bool> interrupted{false};
    std::thread user([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        interrupted = true;
    });
    const int status = run({"--rate", "1k", "--depth", "1M", "--out", vcd}, &interrupted);
    user.join();
    EXPECT_EQ(status, kExitInterrupted);
    EXPECT_NE(err.str().find("interrupted; the "), std::string::npos) << err.str();
    const CaptureSamples capture = load(vcd);
    EXPECT_GT(capture.busA.size(), 0u);
    EXPECT_LT(capture.busA.size(), 1u << 20);
}

TEST_F(LogicCommandFixture, ExternalClockSamplesOnTheBusBLineWithTheRateAsTimeScale)
{
    const std::string csv = path("ext.csv");
    ASSERT_EQ(run({"--ext-clock", "B.0:rising", "--rate", "100k", "--mode", "buffer", "--out", csv}), 0) << err.str();
    const CaptureSamples capture = load(csv);
    EXPECT_EQ(capture.busA.size(), 1544u);
    EXPECT_NEAR(capture.samplePeriod, 1e-5, 1e-12);
}

TEST_F(LogicCommandFixture, PulseSkippingTriggersWithoutPreTrigger)
{
    const std::string dat = path("skip.dat");
    ASSERT_EQ(run({"--trigger-edge", "A.7:rising", "--skip", "3:A.7:rising", "--out", dat}), 0) << err.str();
    const CaptureSamples capture = load(dat);
    ASSERT_EQ(capture.busA.size(), 1544u);
    EXPECT_EQ(capture.firstSampleTime, 0.0); // no pre-trigger while pulses are skipped
    // A slow buffered capture is not cut short by a short time-out.
    ASSERT_EQ(run({"--rate", "1k", "--mode", "buffer", "--timeout", "0.001", "--out", dat}), 0) << err.str();
}

TEST_F(LogicCommandFixture, TriggerThatNeverComesEndsAtTheTimeOut)
{
    LogicScene quiet;
    quiet.counterHz = 0; // every line low
    engine->setScene(quiet);
    const std::string vcd = path("never.vcd");
    for (const char* mode : {"buffer", "stream"}) {
        SCOPED_TRACE(mode);
        EXPECT_EQ(run({"--mode", mode, "--rate", "100k", "--trigger-mask", "1", "--timeout", "0.3", "--out", vcd}), 1);
        EXPECT_NE(err.str().find("within the time-out"), std::string::npos) << err.str();
        EXPECT_FALSE(fs::exists(vcd));
    }
    // No external clock ticks either.
    for (const char* mode : {"buffer", "stream"}) {
        SCOPED_TRACE(mode);
        EXPECT_EQ(run({"--mode", mode, "--rate", "100k", "--ext-clock", "B.2:rising", "--timeout", "0.3", "--out", vcd}), 1);
        EXPECT_NE(err.str().find("within the time-out"), std::string::npos) << err.str();
        EXPECT_FALSE(fs::exists(vcd));
    }
}

TEST_F(LogicCommandFixture, RefusesWhatThePageWouldNotAllow)
{
    const std::string out = path("x.vcd");
    const std::string gen = path("big.bin");
    writeGenerator(gen, 2000);
    const struct {
        std::vector<std::string> args;
        int status;
        std::string message;
    } cases[] = {
        {{}, 64, "--out FILE is required"},
        {{"--out", path("x.txt")}, 64, "--out: '"},
        {{"--rate", "3M"}, 64, "--rate: '3M' is not a rate of the knob"},
        {{"--rate", "nan"}, 64, "--rate: 'nan' is not a rate"},
        {{"--lines", "12"}, 64, "--lines: '12' is not 8 or 16"},
        {{"--rate", "4M", "--lines", "16"}, 64, "--lines 16 works at 1 MHz and slower only"},
        {{"--mode", "fast"}, 64, "--mode: 'fast' is not buffer or stream"},
        {{"--mode", "stream", "--lines", "16"}, 64, "--mode stream works with 8 lines"},
        {{"--rate", "2M", "--mode", "stream"}, 64, "--mode stream works with 8 lines at 1 MHz and slower, without the fast rates"},
        {{"--depth", "64K"}, 64, "--depth is for stream mode only"},
        {{"--mode", "stream", "--depth", "5000"}, 64, "--depth: '5000' is not one of 4K"},
        {{"--mode", "stream", "--depth", "512M"}, 64, "--depth: '512M' is not one of"},
        {{"--pre", "10"}, 64, "--pre needs a trigger"},
        {{"--trigger-mask", "1", "--pre", "12"}, 64, "--pre: '12' is not a whole number from 8 to 120 in steps of 8"},
        {{"--trigger-mask", "1", "--mode", "stream", "--pre", "100"}, 64, "--pre: '100' is not a whole number from 1 to 99"},
        {{"--trigger-mask", "1", "--mode", "stream", "--pre", "2.5"}, 64, "--pre: '2.5' is not a whole number"},
        {{"--rate", "4M", "--trigger-mask", "1", "--pre", "8"}, 64, "--pre: no pre-trigger at the fast rates"},
        {{"--trigger-mask", "12"}, 64, "--trigger-mask: '12' is not 1 to 8 of the characters 0 1 x"},
        {{"--trigger-mask", "101010101"}, 64, "--trigger-mask: '101010101' is not"},
        {{"--trigger-mask", "1", "--trigger-bus", "b"}, 64, "--trigger-bus b needs --lines 16"},
        {{"--trigger-bus", "a"}, 64, "--trigger-bus needs --trigger-mask"},
        {{"--trigger-mask", "1", "--trigger-edge", "A.0:rising"}, 64, "choose one"},
        {{"--trigger-edge", "A.0:up"}, 64, "--trigger-edge: the edge 'up' is not rising or falling"},
        {{"--trigger-edge", "C.1:rising"}, 64, "--trigger-edge: the line 'C.1' is not one of A.0 A.1"},
        {{"--rate", "4M", "--trigger-edge", "A.1:rising"}, 64, "is not one of B.0 B.1 B.2 B.3 B.4 B.5 B.6 B.7 here"},
        {{"--mode", "stream", "--trigger-edge", "B.1:rising"}, 64, "is not one of A.0"},
        {{"--skip", "3:A.0:rising"}, 64, "--skip needs a trigger"},
        {{"--trigger-mask", "1", "--skip", "0:A.0:rising"}, 64, "--skip N: '0' is not a whole number from 1 to 32767"},
        {{"--trigger-mask", "1", "--skip", "40000:A.0:rising"}, 64, "from 1 to 32767 pulses"},
        {{"--trigger-mask", "1", "--skip", "A.0:rising"}, 64, "--skip: 'A.0:rising' is not N:LINE:rising|falling"},
        {{"--rate", "8M", "--trigger-mask", "1", "--skip", "2:A.0:rising"}, 64, "--skip works in buffer mode below 4 MHz only"},
        {{"--rate", "100k", "--trigger-mask", "1", "--skip", "2:A.0:rising"}, 64, "(this capture is streamed: add --mode buffer)"},
        {{"--ext-clock", "A.1:rising"}, 64, "--ext-clock: the line 'A.1' is not one of B.0"},
        {{"--rate", "2M", "--ext-clock", "B.1:rising"}, 64, "--ext-clock works at 1 MHz and slower only"},
        {{"--generator", gen, "--ext-clock", "B.1:rising"}, 64, "--ext-clock cannot be used with --generator"},
        {{"--generator", gen, "--lines", "16"}, 64, "choose one"},
        {{"--generator", gen}, 1, "has 2000 bytes; a generator data file has 1 to 1544"},
        {{"--generator", path("none.bin")}, 1, "--generator: cannot read"},
        {{"--loopback"}, 64, "--loopback wires the generator's outputs to bus A: it needs --generator"},
        {{"--setup", path("none.txt")}, 1, "--setup: cannot read the channel setup file"},
        {{"--timeout", "0"}, 64, "--timeout: '0' is not a number from 0.001 to 86400"},
        {{"--timeout", "inf"}, 64, "--timeout: 'inf' is not"},
        {{"--rate", "1M", "--rate", "2M"}, 64, "--rate is given twice"},
        {{"--bogus"}, 64, "unknown option --bogus"},
        {{"--out", path("no/such/x.vcd")}, 74, "cannot write " + path("no/such/x.vcd") + ": no such folder"},
        {{"--rate"}, 64, "--rate needs a value"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        const bool hasOut = std::find(args.begin(), args.end(), "--out") != args.end();
        if (!hasOut && !(args.empty()) && args.back() != "--rate")
            args.insert(args.end(), {"--out", out});
        SCOPED_TRACE(testing::PrintToString(args));
        EXPECT_EQ(run(args), c.status);
        EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
        EXPECT_FALSE(fs::exists(out));
    }
    // The loop-back exists only on the virtual instrument.
    std::ostringstream o, e;
    writeGenerator(gen, 1544);
    EXPECT_EQ(RunLogicCommand(session, nullptr, {"--generator", gen, "--loopback", "--out", out}, o, e), 64);
    EXPECT_NE(e.str().find("--loopback exists on the virtual instrument only"), std::string::npos) << e.str();
}

TEST_F(LogicCommandFixture, HelpListsEveryOptionAndSetupNamesNameLines)
{
    ASSERT_EQ(run({"--help"}), 0);
    for (const char* option : {"--rate", "--lines", "--mode", "--depth", "--pre", "--trigger-mask", "--trigger-bus",
                               "--trigger-edge", "--skip", "--ext-clock", "--generator", "--loopback", "--setup",
                               "--timeout", "--out"})
        EXPECT_NE(out.str().find(option), std::string::npos) << option;

    const std::string setup = path("setup.txt");
    ChannelSetup names;
    names.names[7] = "CS";
    ASSERT_TRUE(WriteChannelSetupFile(setup, names));
    const std::string dat = path("named.dat");
    ASSERT_EQ(run({"--setup", setup, "--trigger-edge", "CS:rising", "--out", dat}), 0) << err.str();
    const CaptureSamples capture = load(dat);
    ASSERT_EQ(capture.busA.size(), 1544u);
    // The default pre-trigger of 32 samples: the rising edge of A.7 at the trigger.
    const auto pre = static_cast<std::size_t>(std::llround(-capture.firstSampleTime / capture.samplePeriod));
    ASSERT_GT(pre, 1u);
    EXPECT_TRUE(capture.busA[pre] & 0x80);
    EXPECT_FALSE(capture.busA[pre - 2] & 0x80);
}

} // namespace
} // namespace tesmar
