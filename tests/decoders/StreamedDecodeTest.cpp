// SPI, I2C and 1-Wire decoded, and the baud rate estimated, on a value change dump as its changes
// stream past give exactly what the decoders give on the same capture held sample by sample.
// SPI and I2C decode both ways with one decoder: for them the table holds the changes read from
// the file, kept or read again on every pass, against those of the arrays; their results
// themselves are fixed by hand in SpiTest, SpiFramingTest and I2cTest.

#include "cli/DecodeCommand.h"
#include "cli/StreamedLines.h"
#include "decoders/I2cDecoder.h"
#include "decoders/OneWireDecoder.h"
#include "decoders/SpiDecoder.h"
#include "decoders/UartBaudEstimate.h"
#include "formats/DataFileLoad.h"
#include "formats/VcdFile.h"
#include "formats/VcdStream.h"
#include "sim/LogicScene.h"

#include "CliTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>


namespace tesmar {
namespace {

// The default scene's lines: UART on A.0, SPI SCK/MOSI/MISO on A.1 … A.3 with CS on A.7, I2C
// SCL/SDA on A.4/A.5, 1-Wire on A.6.
constexpr int kRx = 0, kSck = 1, kMosi = 2, kMiso = 3, kScl = 4, kSda = 5, kDq = 6, kCs = 7;

struct Capture {
    std::string name;
    CaptureSamples samples;
};

// `count` samples `stepNs` apart from scene time `startNs`; `flip` inverts lines of bus A.
CaptureSamples SceneCapture(std::int64_t startNs, std::int64_t stepNs, std::size_t count, double firstTime,
                            std::uint8_t flip = 0)
{
    const LogicScene scene = LogicScene::Default();
    CaptureSamples samples;
    samples.samplePeriod = static_cast<double>(stepNs) * 1e-9;
    samples.firstSampleTime = firstTime;
    for (std::size_t i = 0; i < count; ++i) {
        const std::int64_t t = startNs + static_cast<std::int64_t>(i) * stepNs;
        samples.busA.push_back(static_cast<std::uint8_t>(scene.busAAt(t) ^ flip));
        samples.busB.push_back(scene.busBAt(t));
    }
    return samples;
}

// Every line toggling at random, now and then on neighbouring samples.
CaptureSamples NoiseCapture(std::size_t count, unsigned seed)
{
    std::mt19937 random(seed);
    CaptureSamples samples;
    samples.samplePeriod = 1e-6;
    samples.firstSampleTime = -3e-4;
    std::uint16_t levels = 0;
    std::array<int, 16> left{};
    for (std::size_t i = 0; i < count; ++i) {
        for (int c = 0; c < 16; ++c)
            if (left[static_cast<std::size_t>(c)]-- <= 0) {
                levels ^= static_cast<std::uint16_t>(1u << c);
                const int runs[] = {1, 2, 3, 5, 8, 12, 20, 60, 500};
                left[static_cast<std::size_t>(c)] = runs[random() % 9] - 1;
            }
        samples.busA.push_back(static_cast<std::uint8_t>(levels));
        samples.busB.push_back(static_cast<std::uint8_t>(levels >> 8));
    }
    return samples;
}

std::vector<Capture> Captures()
{
    return {
        {"the scene at 1 MHz", SceneCapture(0, 1000, 24000, -2e-4)},
        {"the scene at 4 MHz, cut inside transfers", SceneCapture(30'123, 250, 48000, 0.0)},
        {"the scene at 0.7 us", SceneCapture(777'000, 700, 30000, -1.05e-3)},
        {"the scene with SCK and CS inverted", SceneCapture(5'000, 500, 20000, 0.0, 0x82)},
        {"noise", NoiseCapture(20000, 7)},
        {"three samples", SceneCapture(0, 1000, 3, 0.0)},
    };
}

// Seconds at `fraction` of the capture.
double At(const CaptureSamples& samples, double fraction)
{
    return samples.firstSampleTime + fraction * samples.samplePeriod * static_cast<double>(samples.busA.size());
}

void ExpectSame(const SpiDecodeResult& a, const SpiDecodeResult& b)
{
    EXPECT_EQ(a.error, b.error);
    EXPECT_EQ(a.miso, b.miso);
    EXPECT_EQ(a.mosi, b.mosi);
    EXPECT_EQ(a.misoTimes, b.misoTimes);
    EXPECT_EQ(a.mosiTimes, b.mosiTimes);
    EXPECT_EQ(a.edgeSpacing, b.edgeSpacing);
}

void ExpectSame(const I2cDecodeResult& a, const I2cDecodeResult& b)
{
    EXPECT_EQ(a.error, b.error);
    EXPECT_EQ(a.quarterPeriod, b.quarterPeriod);
    EXPECT_EQ(a.grid.count, b.grid.count);
    ASSERT_EQ(a.grid.rows.size(), b.grid.rows.size());
    for (std::size_t r = 0; r < a.grid.rows.size(); ++r) {
        EXPECT_EQ(a.grid.rows[r].cells, b.grid.rows[r].cells) << r;
        EXPECT_EQ(a.grid.rows[r].times, b.grid.rows[r].times) << r;
    }
}

void ExpectSame(const OneWireDecodeResult& a, const OneWireDecodeResult& b)
{
    EXPECT_EQ(a.error, b.error);
    ASSERT_EQ(a.rows.size(), b.rows.size());
    for (std::size_t r = 0; r < a.rows.size(); ++r) {
        EXPECT_EQ(a.rows[r].element, b.rows[r].element) << r;
        EXPECT_EQ(a.rows[r].value, b.rows[r].value) << r;
        EXPECT_EQ(a.rows[r].description, b.rows[r].description) << r;
        EXPECT_EQ(a.rows[r].time, b.rows[r].time) << r;
    }
}

std::vector<std::pair<std::string, SpiDecodeRequest>> SpiRequests(const CaptureSamples& samples)
{
    std::vector<std::pair<std::string, SpiDecodeRequest>> requests;
    for (int mode = 0; mode < 4; ++mode) {
        SpiDecodeRequest plain{kSck, kMosi, kMiso, SpiMode(mode), samples.firstSampleTime};
        requests.emplace_back("mode " + std::to_string(mode), plain);
        SpiDecodeRequest selected = plain;
        selected.cs = kCs;
        requests.emplace_back("mode " + std::to_string(mode) + " with CS", selected);
    }
    SpiDecodeRequest lsb{kSck, kMosi, kMiso, SpiMode(0, false), At(samples, 0.31)};
    lsb.cs = kCs;
    lsb.csActiveLow = false;
    requests.emplace_back("LSB first, CS active high, marker inside", lsb);
    for (const double fraction : {0.013, 0.5, 0.977}) {
        SpiDecodeRequest inside{kSck, kMosi, kMiso, SpiMode(0), At(samples, fraction)};
        inside.cs = kCs;
        requests.emplace_back("CS, marker at " + std::to_string(fraction), inside);
    }
    requests.emplace_back("MISO only", SpiDecodeRequest{kSck, std::nullopt, kMiso, SpiMode(1), At(samples, 0.2)});
    requests.emplace_back("MOSI only", SpiDecodeRequest{kSck, kMosi, std::nullopt, SpiMode(2), samples.firstSampleTime});
    SpiDecodeRequest limited{kSck, kMosi, kMiso, SpiMode(0), samples.firstSampleTime};
    limited.cs = kCs;
    limited.maxPairs = 4;
    requests.emplace_back("a limit of 4", limited);
    requests.emplace_back("marker at the end", SpiDecodeRequest{kSck, kMosi, kMiso, SpiMode(0), At(samples, 1.0)});
    requests.emplace_back("SCK on bus B", SpiDecodeRequest{9, kMosi, 12, SpiMode(3), samples.firstSampleTime});
    return requests;
}

std::vector<std::pair<std::string, I2cDecodeRequest>> I2cRequests(const CaptureSamples& samples)
{
    std::vector<std::pair<std::string, I2cDecodeRequest>> requests;
    for (const double fraction : {0.0, 0.0371, 0.4, 0.9})
        requests.emplace_back("marker at " + std::to_string(fraction), I2cDecodeRequest{kScl, kSda, At(samples, fraction)});
    I2cDecodeRequest limited{kScl, kSda, samples.firstSampleTime};
    limited.maxRows = 3;
    requests.emplace_back("a limit of 3", limited);
    requests.emplace_back("the lines swapped", I2cDecodeRequest{kSda, kScl, samples.firstSampleTime});
    requests.emplace_back("SPI's lines", I2cDecodeRequest{kSck, kMosi, samples.firstSampleTime});
    return requests;
}

std::vector<std::pair<std::string, OneWireRequest>> OneWireRequests(const CaptureSamples& samples)
{
    std::vector<std::pair<std::string, OneWireRequest>> requests;
    for (const double fraction : {0.0, 0.25, 0.6})
        for (const OneWireDevice device : {OneWireDevice::Unknown, OneWireDevice::Thermometer})
            requests.emplace_back("marker at " + std::to_string(fraction) + (device == OneWireDevice::Unknown ? "" : ", thermometer"),
                                  OneWireRequest{kDq, device, At(samples, fraction)});
    OneWireRequest limited{kDq, OneWireDevice::Thermometer, samples.firstSampleTime};
    limited.maxRows = 7;
    requests.emplace_back("a limit of 7", limited);
    requests.emplace_back("UART's line", OneWireRequest{kRx, OneWireDevice::Thermometer, samples.firstSampleTime});
    return requests;
}

TEST(StreamedDecode, GivesWhatTheSamplesGiveForEveryCaptureAndRequest)
{
    std::size_t rows = 0;
    for (const Capture& capture : Captures()) {
        const std::string vcd = WriteVcd(capture.samples);
        // Changes kept in memory, and read again from the text on every pass.
        for (const std::size_t kept : {kVcdKeptChangeBytes, std::size_t(0)}) {
            SCOPED_TRACE(capture.name + (kept ? "" : ", read again"));
            VcdStreamLimits limits;
            limits.keptChangeBytes = kept;
            auto opened = VcdStream::Open(std::make_unique<MemoryTextSource>(vcd, 61), limits);
            ASSERT_TRUE(std::holds_alternative<std::unique_ptr<VcdStream>>(opened));
            VcdStream& stream = *std::get<std::unique_ptr<VcdStream>>(opened);
            // The capture the file holds, decoded from its arrays.
            const auto whole = stream.samples();
            ASSERT_TRUE(std::holds_alternative<CaptureSamples>(whole));
            const CaptureSamples& read = std::get<CaptureSamples>(whole);
            ASSERT_EQ(read.busA, capture.samples.busA);
            LogicCapture held;
            held.busA = read.busA;
            held.busB = read.busB;
            held.samplePeriod = stream.samplePeriod();
            held.firstSampleTime = stream.firstSampleTime();
            const ChannelQueries queries(held);
            const LineTiming timing = StreamTiming(stream);

            for (const auto& [name, request] : SpiRequests(capture.samples)) {
                SCOPED_TRACE("spi, " + name);
                StreamLineEvents events(stream, {request.sck, request.mosi, request.miso, request.cs});
                const SpiDecodeResult expected = DecodeSpi(queries, request);
                ExpectSame(DecodeSpiEvents(events, timing, request), expected);
                rows += expected.mosi.size() + expected.miso.size();
            }
            for (const auto& [name, request] : I2cRequests(capture.samples)) {
                SCOPED_TRACE("i2c, " + name);
                StreamLineEvents events(stream, {request.scl, request.sda});
                const I2cDecodeResult expected = DecodeI2c(queries, request);
                ExpectSame(DecodeI2cEvents(events, timing, request), expected);
                rows += expected.grid.rows.size();
            }
            for (const auto& [name, request] : OneWireRequests(capture.samples)) {
                SCOPED_TRACE("1-wire, " + name);
                StreamLineEvents events(stream, {request.dq});
                const OneWireDecodeResult expected = DecodeOneWire(queries, request);
                ExpectSame(DecodeOneWireEvents(events, timing, request), expected);
                rows += expected.rows.size();
            }
            for (const int rx : {kRx, kSck, kDq, 15}) {
                SCOPED_TRACE("baud estimate on " + std::to_string(rx));
                StreamLineEvents events(stream, {rx});
                EXPECT_EQ(EstimateUartBaudEvents(events, timing, rx, "R"), EstimateUartBaud(queries, rx, "R"));
            }
            EXPECT_TRUE(stream.problem().empty()) << stream.problem();
        }
    }
    // The table decodes something: the comparison is not one of empty results.
    EXPECT_GT(rows, 2000u);
}

// Several lines followed at once: one event per sample at which any of them ends up changed,
// with the levels of all of them, as the samples show.
TEST(StreamedDecode, EventsAreTheSamplesAtWhichTheLinesChange)
{
    // Stamps finer than the stated grid: several changes fall on one sample, some undoing others.
    const std::string vcd = "$timescale 1 ns $end $comment sample_period 1e-06 $end $var wire 1 ! a $end "
                            "$var wire 1 \" b $end $var wire 1 # c $end $enddefinitions $end "
                            "#0 1! 0\" #2000 1\" #2200 0\" #3000 1# #4000 0! #4300 1! #4400 1\" #6000 0# 0\" #9000\n";
    auto opened = VcdStream::Open(std::make_unique<MemoryTextSource>(vcd));
    ASSERT_TRUE(std::holds_alternative<std::unique_ptr<VcdStream>>(opened));
    VcdStream& stream = *std::get<std::unique_ptr<VcdStream>>(opened);
    const auto whole = stream.samples();
    ASSERT_TRUE(std::holds_alternative<CaptureSamples>(whole));
    const auto& bus = std::get<CaptureSamples>(whole).busA;
    for (const std::uint16_t watched : {0x3, 0x1, 0x4, 0x7}) {
        StreamLineEvents events(stream, {watched & 1 ? std::optional<int>(0) : std::nullopt,
                                         watched & 2 ? std::optional<int>(1) : std::nullopt,
                                         watched & 4 ? std::optional<int>(2) : std::nullopt});
        std::vector<std::pair<std::int64_t, std::uint16_t>> expected, got;
        std::uint16_t before = 0;
        for (std::size_t i = 0; i < bus.size(); ++i) {
            const std::uint16_t now = bus[i] & watched;
            if (now != before)
                expected.emplace_back(static_cast<std::int64_t>(i), now);
            before = now;
        }
        ASSERT_TRUE(events.restart());
        std::int64_t at = 0;
        std::uint16_t levels = 0;
        while (events.next(at, levels))
            got.emplace_back(at, levels & watched);
        EXPECT_EQ(got, expected) << watched;
        EXPECT_GE(expected.size(), 2u) << watched;
    }
}

class StreamedDecodeCommand : public ::testing::Test {
protected:
    using Run = testing::CommandRun;
    std::string path(const std::string& name) const { return scratch_.path(name); }
    static Run Decode(const std::vector<std::string>& args) { return testing::RunCommand(RunDecodeCommand, args); }

    testing::ScratchFolder scratch_{"tesmar_streamed_"};
};

// The first line where two outputs differ, for a short failure message.
std::string FirstDifference(const std::string& a, const std::string& b)
{
    std::istringstream inA(a), inB(b);
    std::string lineA, lineB;
    for (int line = 1;; ++line) {
        const bool moreA = static_cast<bool>(std::getline(inA, lineA));
        const bool moreB = static_cast<bool>(std::getline(inB, lineB));
        if (!moreA && !moreB)
            return "no difference";
        if (!moreA || !moreB || lineA != lineB)
            return "line " + std::to_string(line) + ":\n  " + (moreA ? lineA : "(none)") + "\n  " + (moreB ? lineB : "(none)");
    }
}

// The line and edge count of each row of --list-lines (the names depend on the format).
std::vector<std::string> EdgeCounts(const std::string& list)
{
    std::vector<std::string> rows;
    std::istringstream in(list);
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line))
        rows.push_back(line.substr(0, line.find(' ')) + " " + line.substr(line.rfind(' ') + 1));
    return rows;
}

// Option sets of each protocol, run on a capture held sample by sample and on the same capture as
// a value change dump or CSV (streamed): the same output, refusals included.
const std::vector<std::vector<std::string>>& CommandTable()
{
    static const std::vector<std::vector<std::string>> table = {
        {"spi", "--sck", "A.1", "--mosi", "A.2", "--miso", "A.3"},
        {"spi", "--sck", "A.1", "--mosi", "A.2", "--miso", "A.3", "--cs", "A.7", "--csv"},
        {"spi", "--sck", "A.1", "--miso", "A.3", "--cs", "A.7", "--mode", "3", "--order", "lsb", "--marker1", "1.03ms"},
        {"spi", "--sck", "A.1", "--mosi", "A.2", "--cpol", "1", "--cpha", "0", "--cs", "A.7", "--cs-active", "high"},
        {"spi", "--sck", "A.1", "--mosi", "A.2", "--cs", "A.7", "--limit", "5", "--csv"},
        {"i2c", "--scl", "A.4", "--sda", "A.5"},
        {"i2c", "--scl", "A.4", "--sda", "A.5", "--marker1", "2.2ms", "--csv", "--limit", "4"},
        {"i2c", "--scl", "A.0", "--sda", "A.6"},
        {"1wire", "--dq", "A.6", "--device", "thermometer"},
        {"1wire", "--dq", "A.6", "--marker1", "7ms", "--csv"},
        {"1wire", "--dq", "A.0"},
        {"uart", "--rx", "A.0", "--estimate-baud"},
        {"uart", "--rx", "A.1", "--estimate-baud"},
        {"uart", "--rx", "A.0", "--tx", "A.6", "--baud", "115200", "--csv"},
    };
    return table;
}

TEST_F(StreamedDecodeCommand, AVcdDecodesAsTheSameCaptureHeldWhole)
{
    // From time 0: a CSV's times are decimal text, so another first time would round apart.
    const CaptureSamples samples = SceneCapture(0, 500, 40000, 0.0);
    ASSERT_EQ(SaveCaptureFile(path("scene.dat"), samples), "");
    ASSERT_EQ(SaveCaptureFile(path("scene.vcd"), samples), "");
    ASSERT_EQ(SaveCaptureFile(path("scene.csv"), samples), "");
    std::size_t lines = 0;
    for (const char* name : {"scene.vcd", "scene.csv"}) {
        SCOPED_TRACE(name);
        for (auto args : CommandTable()) {
            SCOPED_TRACE(args[0] + " " + args[2]);
            args.insert(args.begin() + 1, path("scene.dat"));
            const Run whole = Decode(args);
            args[1] = path(name);
            const Run streamed = Decode(args);
            EXPECT_EQ(streamed.status, whole.status);
            EXPECT_TRUE(streamed.out == whole.out) << FirstDifference(streamed.out, whole.out);
            EXPECT_EQ(streamed.err, whole.err);
            lines += static_cast<std::size_t>(std::count(whole.out.begin(), whole.out.end(), '\n'));
        }
        const Run whole = Decode({"--list-lines", path("scene.dat")});
        const Run streamed = Decode({"--list-lines", path(name)});
        EXPECT_EQ(EdgeCounts(streamed.out), EdgeCounts(whole.out));
        EXPECT_EQ(EdgeCounts(whole.out).size(), 16u);
        EXPECT_EQ(whole.status, 0);
        EXPECT_EQ(streamed.status, 0);
    }
    EXPECT_GT(lines, 600u);
}

// The cells of a CSV grid without the time columns that follow them.
std::vector<std::string> CellsWithoutTimes(const std::string& csv)
{
    std::vector<std::string> rows;
    std::istringstream in(csv);
    std::string header, line;
    std::getline(in, header);
    std::size_t timeColumns = 0;
    for (std::size_t at = header.find(", s"); at != std::string::npos; at = header.find(", s", at + 1))
        ++timeColumns;
    // A time column's heading holds a comma of its own ("t MISO, s").
    const auto columns = std::count(header.begin(), header.end(), ',') + 1 - static_cast<std::ptrdiff_t>(timeColumns);
    while (std::getline(in, line)) {
        std::size_t cut = line.size();
        for (std::size_t k = 0; k < timeColumns; ++k)
            cut = line.rfind(',', cut - 1);
        rows.push_back(line.substr(0, cut));
        EXPECT_EQ(std::count(line.begin(), line.end(), ','), columns - 1) << line;
    }
    return rows;
}

// The default scene's bus A at 1 MHz: a burst of traffic from the first sample, a long quiet
// stretch and the same burst again, written change by change. `last` is the sample of the end
// marker.
// A CSV (by the name's end) states the rate and has a row for each change, by sample index.
void WriteBursts(const std::string& path, std::int64_t burst, std::int64_t secondAt, std::int64_t last)
{
    const bool csv = path.ends_with(".csv");
    std::ofstream out(path);
    if (csv) {
        out << "; Samplerate: 1 MHz\ntime";
        for (int c = 0; c < 8; ++c)
            out << ",line" << c;
        out << '\n';
    } else {
        out << "$timescale 1 us $end\n$comment sample_period 1e-06 $end\n$scope module scene $end\n";
        for (int c = 0; c < 8; ++c)
            out << "$var wire 1 " << static_cast<char>('!' + c) << " line" << c << " $end\n";
        out << "$upscope $end\n$enddefinitions $end\n";
    }
    const LogicScene scene = LogicScene::Default();
    int levels = -1;
    auto row = [&](std::int64_t at, int now) {
        out << at;
        for (int c = 0; c < 8; ++c)
            out << ',' << ((now >> c) & 1);
        out << '\n';
    };
    for (const std::int64_t start : {std::int64_t(0), secondAt})
        // The quiet stretch after a burst holds the idle levels the scene starts with.
        for (std::int64_t i = 0; i <= burst; ++i) {
            const int now = scene.busAAt(i < burst ? i * 1000 : 0);
            if (now == levels)
                continue;
            if (csv) {
                row(start + i, now);
            } else {
                out << '#' << start + i << '\n';
                for (int c = 0; c < 8; ++c)
                    if (levels < 0 || ((now ^ levels) >> c & 1))
                        out << ((now >> c) & 1) << static_cast<char>('!' + c) << '\n';
            }
            levels = now;
        }
    // The end: the last sample of a CSV, the end of the last sample of a VCD.
    if (csv)
        row(last - 1, levels);
    else
        out << '#' << last << '\n';
}

// More samples than a capture held sample by sample may have: refused that way, decoded as the
// changes stream past, with the rows the same traffic gives in a capture that does fit.
TEST_F(StreamedDecodeCommand, ACaptureLongerThanAnyHeldWholeDecodes)
{
    constexpr std::int64_t kBurst = 30000;
    constexpr std::int64_t kSecond = kMaxInterchangeSamples + 12345;
    constexpr std::int64_t kLast = kMaxInterchangeSamples + 50000;
    // The same bursts with a quiet stretch of a few milliseconds between them, held whole.
    WriteBursts(path("short.vcd"), kBurst, kBurst + 4000, kBurst + 4000 + (kLast - kSecond));
    const auto shortCapture = LoadCaptureFile(path("short.vcd"));
    ASSERT_TRUE(std::holds_alternative<CaptureImport>(shortCapture));
    ASSERT_EQ(SaveCaptureFile(path("short.sr"), std::get<CaptureImport>(shortCapture).capture,
                              std::get<CaptureImport>(shortCapture).lineNames),
              "");
    for (const std::string name : {"long.vcd", "long.csv"}) {
        SCOPED_TRACE(name);
        const std::string file = path(name);
        WriteBursts(file, kBurst, kSecond, kLast);
        EXPECT_LT(std::filesystem::file_size(file), std::uintmax_t(8) << 20);
        const auto held = LoadCaptureFile(file);
        ASSERT_TRUE(std::holds_alternative<std::string>(held));
        EXPECT_NE(std::get<std::string>(held).find("samples"), std::string::npos) << std::get<std::string>(held);
        for (auto args : CommandTable()) {
            if (std::find(args.begin(), args.end(), "--marker1") != args.end())
                continue;
            SCOPED_TRACE(args[0] + " " + args[2]);
            args.insert(args.begin() + 1, path("short.sr"));
            if (std::find(args.begin(), args.end(), "--csv") == args.end() && args.back() != "--estimate-baud")
                args.push_back("--csv");
            const Run whole = Decode(args);
            args[1] = file;
            const Run streamed = Decode(args);
            ASSERT_EQ(streamed.status, whole.status) << streamed.err;
            EXPECT_EQ(streamed.err, whole.err);
            if (args.back() == "--estimate-baud") {
                EXPECT_EQ(streamed.out, whole.out);
                continue;
            }
            const auto rows = CellsWithoutTimes(streamed.out);
            const auto wholeRows = CellsWithoutTimes(whole.out);
            auto joined = [](const std::vector<std::string>& lines) {
                std::string text;
                for (const auto& line : lines)
                    text += line + "\n";
                return text;
            };
            EXPECT_TRUE(rows == wholeRows) << FirstDifference(joined(rows), joined(wholeRows));
            if (whole.status == 0 && std::find(args.begin(), args.end(), "--limit") == args.end()) {
                // The second burst lies past the samples a held capture may have.
                EXPECT_GT(rows.size(), 8u);
                const std::string last = streamed.out.substr(streamed.out.rfind('\n', streamed.out.size() - 2) + 1);
                EXPECT_NE(last.find(",268."), std::string::npos) << last;
            }
        }
        const Run whole = Decode({"--list-lines", path("short.sr")});
        const Run streamed = Decode({"--list-lines", file});
        EXPECT_EQ(EdgeCounts(streamed.out), EdgeCounts(whole.out));
        EXPECT_EQ(EdgeCounts(whole.out).size(), 8u);
    }
}

} // namespace
} // namespace tesmar
