// UART decoded on a value change dump as its changes stream past gives what the decoder gives on
// the same capture held sample by sample, and its grid prints as the window's grid does.

#include "cli/DecodeCommand.h"
#include "cli/DecoderTableText.h"
#include "cli/StreamedUart.h"
#include "cli/UartTableText.h"
#include "decoders/UartEncoder.h"
#include "formats/DataFileLoad.h"
#include "formats/VcdFile.h"
#include "formats/VcdStream.h"
#include "text/MessageTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <random>
#include <sstream>

#include <unistd.h>

namespace tesmar {
namespace {

// UART traffic on A.0 and A.3 with idle gaps, glitches and framing errors (a byte cut short),
// sampled `samplesPerBit` per bit, ending as `endHigh` says (a frame cut by the end, or idle).
CaptureSamples UartCapture(double samplesPerBit, std::size_t frames, unsigned seed, bool endHigh)
{
    std::mt19937 random(seed);
    CaptureSamples capture;
    capture.samplePeriod = 1e-6;
    capture.firstSampleTime = -1e-4;
    const UartSettings settings{static_cast<int>(std::lround(1e6 / samplesPerBit)), 8, UartParity::None, 1};
    for (int line : {0, 3}) {
        std::size_t at = 0;
        double bitStart = 0;
        auto hold = [&](double until, bool level) {
            const auto end = static_cast<std::size_t>(std::llround(until));
            if (capture.busA.size() < end)
                capture.busA.resize(end, 0);
            for (; at < end; ++at)
                capture.busA[at] = static_cast<std::uint8_t>(level ? capture.busA[at] | (1u << line)
                                                                   : capture.busA[at] & ~(1u << line));
        };
        // Lines start low for a while: the decoder looks back for the last high sample.
        hold(static_cast<double>(random() % 7), false);
        bitStart = static_cast<double>(at);
        for (std::size_t f = 0; f < frames; ++f) {
            bitStart += samplesPerBit * static_cast<double>(random() % 4);
            hold(bitStart, true);
            auto bits = UartFrameBits(static_cast<std::uint8_t>(random()), settings);
            if (random() % 9 == 0)
                bits.back() = 0; // a framing error
            for (std::uint8_t bit : bits) {
                bitStart += samplesPerBit;
                hold(bitStart, bit != 0);
            }
            if (random() % 11 == 0)
                hold(bitStart + 1, false); // a one-sample glitch
        }
    }
    const std::size_t size = capture.busA.size();
    for (std::size_t i = 0; i < size; ++i)
        if (!endHigh && i + 30 > size)
            capture.busA[i] &= ~1u;
    return capture;
}

struct Request {
    const char* name;
    UartDecodeRequest request;
};

std::vector<Request> Requests(double samplesPerBit)
{
    const UartSettings settings{static_cast<int>(std::lround(1e6 / samplesPerBit)), 8, UartParity::None, 1};
    std::vector<Request> requests;
    UartDecodeRequest both;
    both.rxd = 0;
    both.txd = 3;
    both.settings = settings;
    both.marker1 = -1e-4;
    requests.push_back({"both lines from the start", both});
    UartDecodeRequest markers = both;
    markers.marker1 = 2.5e-4;
    markers.marker2 = 7.77e-4;
    requests.push_back({"markers inside frames", markers});
    UartDecodeRequest limited = both;
    limited.maxEntries = 4;
    requests.push_back({"row limit", limited});
    UartDecodeRequest even = both;
    even.txd.reset();
    even.settings.parity = UartParity::Even;
    even.settings.dataBits = 7;
    requests.push_back({"7E1 on RxD only", even});
    UartDecodeRequest tooFast = both;
    tooFast.settings.baud = 900000;
    requests.push_back({"a baud rate above half the sample rate", tooFast});
    UartDecodeRequest sameLine = both;
    sameLine.txd = 0;
    requests.push_back({"one line as both", sameLine});
    return requests;
}

void ExpectSameLine(const UartLineResult& a, const UartLineResult& b)
{
    EXPECT_EQ(a.bytes, b.bytes);
    EXPECT_EQ(a.startTimes, b.startTimes);
}

TEST(StreamedUart, DecodesAsTheWholeCaptureWhateverThePiecesAndTheKeptBudget)
{
    struct File {
        double samplesPerBit;
        std::size_t frames;
        bool endHigh;
    };
    const File files[] = {{8.68, 60, true}, {8.68, 60, false}, {104.17, 25, true}, {3.2, 90, false}};
    unsigned seed = 5;
    for (const File& file : files) {
        const CaptureSamples samples = UartCapture(file.samplesPerBit, file.frames, ++seed, file.endHigh);
        const std::string vcd = WriteVcd(samples);
        const LogicCapture capture = MakeLogicCapture(samples.busA, {}, samples.samplePeriod, 100);
        const ChannelQueries queries(capture);
        for (const Request& r : Requests(file.samplesPerBit)) {
            const UartDecodeResult whole = DecodeUart(queries, r.request);
            for (const auto& [piece, kept] : {std::pair{std::size_t(3), std::size_t(0)}, {std::size_t(64), std::size_t(160)},
                                              {std::size_t(1) << 20, kVcdKeptChangeBytes}}) {
                SCOPED_TRACE(std::string(r.name) + ", " + std::to_string(file.samplesPerBit) + " samples per bit, pieces of " +
                             std::to_string(piece) + ", kept " + std::to_string(kept));
                VcdStreamLimits limits;
                limits.keptChangeBytes = kept;
                auto opened = VcdStream::Open(std::make_unique<MemoryTextSource>(vcd, piece), limits);
                ASSERT_TRUE(std::holds_alternative<std::unique_ptr<VcdStream>>(opened));
                VcdStream& stream = *std::get<std::unique_ptr<VcdStream>>(opened);
                std::string problem;
                const StreamedUartResult streamed = DecodeStreamedUart(stream, capture, r.request, {}, problem);
                EXPECT_TRUE(problem.empty()) << problem;
                ExpectSameLine(streamed.decoded.rxd, whole.rxd);
                ExpectSameLine(streamed.txd(), whole.txd);
                ASSERT_EQ(streamed.decoded.messages.size(), whole.messages.size());
                for (std::size_t m = 0; m < whole.messages.size(); ++m)
                    EXPECT_EQ(streamed.decoded.messages[m].key, whole.messages[m].key);
            }
            if (std::string(r.name) == "both lines from the start") {
                EXPECT_GT(whole.rxd.bytes.size(), file.frames / 2);
            }
        }
    }
}

TEST(StreamedUart, SeveralChangesOnOneSampleCountAsTheirLast)
{
    // Stamps finer than the stated grid: changes 0.3 and 0.6 samples apart fall on one sample.
    const std::string vcd = "$timescale 1 ns $end $comment sample_period 1e-06 $end $var wire 1 ! rx $end "
                            "$enddefinitions $end #0 1! #3000 0! #3300 1! #3600 0! #5000 1! #5200 0! #5400 1! #9000\n";
    auto opened = VcdStream::Open(std::make_unique<MemoryTextSource>(vcd));
    ASSERT_TRUE(std::holds_alternative<std::unique_ptr<VcdStream>>(opened));
    VcdStream& stream = *std::get<std::unique_ptr<VcdStream>>(opened);
    const auto samples = stream.samples();
    ASSERT_TRUE(std::holds_alternative<CaptureSamples>(samples));
    ASSERT_TRUE(stream.restart());
    LineChanges changes(stream, 0);
    std::vector<std::int64_t> at;
    for (std::int64_t index = 0; changes.next(index);)
        at.push_back(index);
    // High from 0, low from 3 (3.3 and 3.6 round to 3 and 4: low at 3, high 3.3 → 3, low 3.6 → 4),
    // high from 5 (5.2 → 5 low, 5.4 → 5 high: the last wins).
    const auto& bus = std::get<CaptureSamples>(samples).busA;
    std::vector<std::int64_t> expected;
    for (std::size_t i = 0; i < bus.size(); ++i)
        if ((bus[i] & 1) != (i == 0 ? 0 : (bus[i - 1] & 1)))
            expected.push_back(static_cast<std::int64_t>(i));
    EXPECT_EQ(at, expected);
    EXPECT_FALSE(expected.empty());
}

TEST(EdgeLine, AnswersAsTheSamplesDo)
{
    std::mt19937 random(11);
    std::vector<bool> levels(3000);
    bool level = false;
    std::vector<std::int64_t> changes;
    for (std::size_t i = 0; i < levels.size(); ++i) {
        if (random() % 13 == 0 || i == 0) {
            level = !level;
            changes.push_back(static_cast<std::int64_t>(i));
        }
        levels[i] = level;
    }
    std::size_t given = 0;
    // Handed over a few at a time, fewer than asked for now and then.
    EdgeLine line(static_cast<std::int64_t>(levels.size()), [&](std::int64_t* into, std::size_t room) {
        const std::size_t count = std::min({room, changes.size() - given, std::size_t(1 + given % 5)});
        std::copy_n(changes.begin() + static_cast<std::ptrdiff_t>(given), count, into);
        given += count;
        return count;
    });
    const auto n = static_cast<std::int64_t>(levels.size());
    EXPECT_EQ(line.lastHighAtOrBefore(n - 1), [&] {
        std::int64_t s = n - 1;
        while (s > 0 && !levels[static_cast<std::size_t>(s)])
            --s;
        return s;
    }());
    for (std::int64_t s = 0; s + 20 < n; s += 1 + static_cast<std::int64_t>(random() % 5)) {
        line.release(s);
        EXPECT_EQ(line.high(s), levels[static_cast<std::size_t>(s)]) << s;
        std::int64_t ones = 0;
        for (std::int64_t k = 0; k < 9; ++k)
            ones += levels[static_cast<std::size_t>(s + k)];
        EXPECT_EQ(line.ones(s, 9), ones) << s;
        std::int64_t low = s;
        while (low < s + 20 && levels[static_cast<std::size_t>(low)])
            ++low;
        EXPECT_EQ(line.skipHigh(s, s + 20), low) << s;
        std::int64_t high = s;
        while (high > 0 && !levels[static_cast<std::size_t>(high)])
            --high;
        if (!levels[static_cast<std::size_t>(s)] && s > 0 && changes.front() <= s) {
            EXPECT_EQ(line.lastHighAtOrBefore(s), high) << s;
        }
    }
}

TEST(StreamedUart, TheCommandPrintsWhatTheWholeCaptureDecodesTo)
{
    // The same capture as a VCD (decoded as it streams past) and as a CSV (read whole).
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("tesmar_streamed_uart_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    CaptureSamples samples = UartCapture(8.68, 300, 21, true);
    samples.firstSampleTime = -64e-6;
    CaptureLineNames names{};
    names[0] = "rx";
    names[3] = "tx";
    const std::string vcd = (folder / "uart.vcd").string();
    const std::string csv = (folder / "uart.csv").string();
    ASSERT_EQ(SaveCaptureFile(vcd, samples, names), "");
    ASSERT_EQ(SaveCaptureFile(csv, samples, names), "");
    const std::vector<std::vector<std::string>> options = {
        {"--rx", "rx", "--tx", "tx", "--baud", "115200"},
        {"--rx", "rx", "--tx", "rx", "--baud", "115200", "--csv"},
        {"--tx", "A.3", "--baud", "115200", "--marker2", "1ms", "--limit", "7"},
        {"--rx", "rx", "--baud", "2000000"},
    };
    std::string firstOutput;
    for (const auto& given : options) {
        std::string outputs[2], errors[2];
        int statuses[2];
        for (int f = 0; f < 2; ++f) {
            std::vector<std::string> args = {"uart", f == 0 ? vcd : csv};
            args.insert(args.end(), given.begin(), given.end());
            std::ostringstream out, err;
            statuses[f] = RunDecodeCommand(args, out, err);
            outputs[f] = out.str();
            errors[f] = err.str();
        }
        SCOPED_TRACE(given[1] + " " + given.back());
        if (firstOutput.empty())
            firstOutput = outputs[0];
        EXPECT_EQ(statuses[0], statuses[1]);
        EXPECT_EQ(outputs[0], outputs[1]);
        EXPECT_EQ(errors[0], errors[1]);
    }
    EXPECT_GT(std::count(firstOutput.begin(), firstOutput.end(), '\n'), 250);
    fs::remove_all(folder);
}

TEST(UartTableText, PrintsAsTheWindowGrid)
{
    const MessageTable table;
    UartDecodeResult result;
    for (int i = 0; i < 1200; ++i) {
        result.rxd.bytes.push_back(static_cast<std::uint8_t>(i * 37));
        result.rxd.startTimes.push_back(-2.5e-5 + i * 8.68e-5 + (i % 3) * 1e-13);
    }
    for (int i = 0; i < 17; ++i) {
        result.txd.bytes.push_back(static_cast<std::uint8_t>(255 - i));
        result.txd.startTimes.push_back(i * 1234.5678901234);
    }
    UartDecodeResult txOnly;
    txOnly.txd = result.txd;
    txOnly.txd.startTimes[3] = 1e-300;
    txOnly.txd.startTimes[4] = 0.0;
    UartDecodeResult sameLine;
    sameLine.rxd = result.rxd;
    sameLine.txd = result.rxd;
    sameLine.txd.startTimes[2] = -0.0;
    sameLine.rxd.startTimes[2] = 0.0;
    // More rows than are printed at a time, the widest time near the end.
    UartDecodeResult many;
    for (int i = 0; i < 9000; ++i) {
        many.rxd.bytes.push_back(static_cast<std::uint8_t>(i));
        many.rxd.startTimes.push_back(i * 1e-3);
    }
    many.rxd.startTimes[8990] = -1.23456789e-300;
    for (const UartDecodeResult* r : {&result, &txOnly, &sameLine, &many}) {
        for (const bool csv : {false, true}) {
            for (const std::size_t rows : {std::size_t(5), std::numeric_limits<std::size_t>::max()}) {
                DecoderTable grid = UartTable(*r, table);
                KeepRows(grid, rows);
                std::ostringstream expected, printed;
                PrintDecoderTable(grid, csv, expected);
                PrintUartTable(*r, table, csv, rows, printed);
                EXPECT_EQ(printed.str(), expected.str()) << csv << " " << rows;
            }
        }
    }
}

} // namespace
} // namespace tesmar
