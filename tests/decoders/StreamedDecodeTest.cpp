// SPI, I2C and 1-Wire decoded, and the baud rate estimated, on a value change dump as its changes
// stream past give exactly what the decoders give on the same capture held sample by sample.

#include "cli/StreamedLines.h"
#include "decoders/I2cDecoder.h"
#include "decoders/OneWireDecoder.h"
#include "decoders/SpiDecoder.h"
#include "decoders/UartBaudEstimate.h"
#include "formats/VcdFile.h"
#include "formats/VcdStream.h"
#include "sim/LogicScene.h"

#include <gtest/gtest.h>

#include <random>

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
            // The sample-array decoders read the capture the file holds.
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

} // namespace
} // namespace tesmar
