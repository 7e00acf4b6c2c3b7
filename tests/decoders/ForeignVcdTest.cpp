// Value change dumps as other analysers write them (change-only, one line per change or time and
// value on one line, their own header lines, a stated sample rate), read and decoded.

#include "cli/CliMain.h"
#include "decoders/UartDecoder.h"
#include "decoders/UartEncoder.h"
#include "formats/DataFileLoad.h"
#include "formats/VcdFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>

namespace tesmar {
namespace {

struct Change {
    long long tick;
    int wire;
    int level;
};

// UART frames on one wire as changes only, with `idle` ticks of quiet before each byte: edges at
// the exact bit times rounded to the capture's ticks (`ticksPerSecond`).
std::vector<Change> UartChanges(const std::vector<std::uint8_t>& bytes, const UartSettings& settings,
                                double ticksPerSecond, long long idle, int wire = 0) {
    std::vector<Change> changes{{0, wire, 1}};
    int level = 1;
    double at = 0;
    for (std::uint8_t value : bytes) {
        at += static_cast<double>(idle);
        double bit = 0;
        for (std::uint8_t b : UartFrameBits(value, settings)) {
            const long long tick = std::llround(at + bit * ticksPerSecond / settings.baud);
            if (b != level)
                changes.push_back({tick, wire, b});
            level = b;
            bit += 1;
        }
        at += bit * ticksPerSecond / settings.baud;
    }
    return changes;
}

struct VcdShape {
    std::string timescale = "1 us";
    std::string header;     // lines before $date (a tool's metadata) and comments
    bool oneLine = false;   // "#1000 0!" instead of the stamp on a line of its own
    long long endTick = -1; // a final timestamp without changes; none when negative
};

std::string ForeignVcd(const std::vector<Change>& changes, const VcdShape& shape) {
    std::string text = shape.header;
    text += "$date Thu Dec 10 2026 $end\n$version other analyser 0.5 $end\n";
    text += "$timescale " + shape.timescale + " $end\n$scope module capture $end\n";
    text += "$var wire 1 ! D0 $end\n$var wire 1 \" D1 $end\n$upscope $end\n$enddefinitions $end\n";
    long long current = -1;
    for (const Change& change : changes) {
        if (change.tick != current) {
            text += (current < 0 || !shape.oneLine ? "" : "\n");
            text += "#" + std::to_string(change.tick) + (shape.oneLine ? " " : "\n");
            current = change.tick;
        } else if (shape.oneLine) {
            text += " ";
        }
        text += std::to_string(change.level) + (change.wire == 0 ? "!" : "\"") + (shape.oneLine ? "" : "\n");
    }
    if (shape.oneLine)
        text += "\n";
    if (shape.endTick >= 0)
        text += "#" + std::to_string(shape.endTick) + "\n";
    return text;
}

std::vector<std::uint8_t> DecodeRx(const CaptureSamples& samples, const UartSettings& settings) {
    const auto capture = MakeLogicCapture(samples.busA, samples.busB, samples.samplePeriod, 0);
    std::vector<DecoderMessage> messages;
    const auto line = DecodeUartLine(ChannelQueries(capture), 0, settings, 0.0, "RxD", messages);
    EXPECT_TRUE(messages.empty());
    return line.bytes;
}

TEST(ForeignVcd, UartCapturesKeepTheirSampleGridAndDecode) {
    const std::vector<std::uint8_t> hello = {'H', 'i', '\n'};
    const struct {
        const char* name;
        UartSettings settings;
        double ticksPerSecond;
        long long idle;
        VcdShape shape;
        double period;
    } cases[] = {
        // Change-only at 1 us, a second of quiet before each byte, nothing stated: the grid is the
        // tick, not the shortest interval between changes.
        {"9600 8N1, 1 us, quiet stretches", {9600, 8, UartParity::None, 1}, 1e6, 1000000, {}, 1e-6},
        {"1200 7E1, 1 us", {1200, 7, UartParity::Even, 1}, 1e6, 5000, {}, 1e-6},
        // A tool's metadata line before $date, the rate in a comment, time and value on one line.
        {"19200 8O1, stated 1 MHz, one line per stamp",
         {19200, 8, UartParity::Odd, 1},
         1e6,
         20000,
         {"1 us",
          "; exported by another analyser\n$comment\n  Acquisition with 2/8 channels at 1 MHz\n$end\n", true,
          -1},
         1e-6},
        // 921 600 baud captured at 5 MHz, stamps in ns: only the stated rate gives the grid.
        {"921600 8N1, stated 5 MHz, 1 ns ticks",
         {921600, 8, UartParity::None, 1},
         1e9,
         100000,
         {"1 ns", "$comment Acquisition with 2/8 channels at 5 MHz $end\n", false, -1},
         2e-7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto changes = UartChanges(hello, c.settings, c.ticksPerSecond, c.idle);
        // The file ends at the last change: the rise to the stop bit of "\n".
        const std::string vcd = ForeignVcd(changes, c.shape);
        const auto read = ReadVcd(vcd);
        ASSERT_TRUE(std::holds_alternative<CaptureImport>(read)) << std::get<std::string>(read);
        const auto& imported = std::get<CaptureImport>(read);
        const bool stray = !c.shape.header.empty() && c.shape.header[0] == ';';
        EXPECT_EQ(imported.warnings.size(), stray ? 1u : 0u);
        EXPECT_DOUBLE_EQ(imported.capture.samplePeriod, c.period);
        EXPECT_EQ(DecodeRx(imported.capture, c.settings), hello);
    }
}

TEST(ForeignVcd, ChangesBeforeTheFirstTimestampAreKeptInTimeOrder) {
    const std::string vcd = "$timescale 1 us $end $var wire 1 ! a $end $enddefinitions $end\n"
                            "#50\n1!\n#20\n0!\n#30\n1!\n#0\n0!\n#60\n";
    const auto read = ReadVcd(vcd);
    ASSERT_TRUE(std::holds_alternative<CaptureImport>(read));
    const auto& imported = std::get<CaptureImport>(read);
    ASSERT_EQ(imported.warnings.size(), 1u);
    EXPECT_NE(imported.warnings[0].find("sorted"), std::string::npos);
    // Changes at 0, 20, 30, 50 on a 10 us grid, ended at 60.
    EXPECT_DOUBLE_EQ(imported.capture.samplePeriod, 10e-6);
    EXPECT_EQ(imported.capture.busA, (std::vector<std::uint8_t>{0, 0, 0, 1, 1, 1}));
    EXPECT_DOUBLE_EQ(imported.capture.firstSampleTime, 0.0);
}

TEST(ForeignVcd, FastUartIsDecodedOnTheCommandLineAtAnyBaudTheCaptureHolds) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("tesmar_foreign_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "fast.vcd").string();
    const UartSettings settings{921600, 8, UartParity::None, 1};
    const std::string vcd = ForeignVcd(UartChanges({0x55, 0xA3}, settings, 1e9, 50000),
                                       {"1 ns", "$comment at 5 MHz $end\n", false, 2000000});
    ASSERT_TRUE(WriteWholeFile(path, vcd.data(), vcd.size()));
    auto run = [&](std::vector<std::string> words, std::string& out, std::string& err) {
        std::ostringstream o, e;
        const int status = RunCli(words, o, e);
        out = o.str();
        err = e.str();
        return status;
    };
    std::string out, err;
    EXPECT_EQ(
        run({"decode", "uart", path, "--rx", "A.0", "--tx", "A.1", "--baud", "921600", "--csv"}, out, err), 0)
        << err;
    EXPECT_NE(out.find("\n1,01010101,55,"), std::string::npos) << out;
    EXPECT_NE(out.find("\n2,10100011,A3,"), std::string::npos) << out;
    // 5 MHz holds 5.4 samples per bit at 921 600 baud, but not 2 at 3 Mbaud.
    EXPECT_EQ(run({"decode", "uart", path, "--baud", "3000000"}, out, err), 1);
    EXPECT_NE(err.find("RxD"), std::string::npos) << err;
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace tesmar
