#include "decoders/UartBaudEstimate.h"
#include "decoders/UartDecoder.h"
#include "decoders/UartEncoder.h"
#include "text/MessageTable.h"
#include "LineBuilder.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tesmar {
namespace {

using test::LineBuilder;

// Frames written with edges at the exact bit times (rounded to samples), after `idleBits` of idle.
std::vector<std::uint8_t> UartSignal(const std::vector<std::uint8_t>& bytes, double baud, double fs,
                                     const UartSettings& settings, int line = 0, double idleBits = 3,
                                     std::vector<std::int64_t>* frameStarts = nullptr)
{
    std::vector<std::uint8_t> bus;
    LineBuilder writer(bus, line);
    const double samplesPerBit = fs / baud;
    double bitPosition = idleBits;
    writer.holdUntil(std::llround(bitPosition * samplesPerBit), true);
    for (std::uint8_t value : bytes) {
        if (frameStarts)
            frameStarts->push_back(writer.position());
        for (std::uint8_t bit : UartFrameBits(value, settings)) {
            bitPosition += 1;
            writer.holdUntil(std::llround(bitPosition * samplesPerBit), bit != 0);
        }
    }
    writer.hold(static_cast<std::int64_t>(samplesPerBit * 3), true);
    return bus;
}

TEST(UartDecoder, DecodesFramesAtTheirStartTimesAcrossRatesAndFormats)
{
    struct Case {
        double baud;
        double fs;
        UartSettings settings;
    };
    const Case cases[] = {
        {9600, 1e6, {9600, 8, UartParity::None, 1}},
        {115200, 1e6, {115200, 8, UartParity::None, 1}},
        {9600, 1e6, {9600, 8, UartParity::None, 2}},
        {19200, 1e6, {19200, 7, UartParity::Even, 1}},
        {2400, 100e3, {2400, 5, UartParity::Odd, 1}},
    };
    const std::vector<std::uint8_t> bytes = {0x55, 0x00, 0xFF, 0xA5, 0x0F, 0x80, 0x01};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.baud);
        std::vector<std::int64_t> starts;
        auto capture = MakeLogicCapture(UartSignal(bytes, c.baud, c.fs, c.settings, 2, 3, &starts), {}, 1.0 / c.fs, 0);
        const ChannelQueries queries(capture);
        std::vector<DecoderMessage> messages;
        const auto line = DecodeUartLine(queries, 2, c.settings, 0.0, "RxD", messages);
        EXPECT_TRUE(messages.empty());
        ASSERT_EQ(line.bytes.size(), bytes.size());
        const unsigned dataMask = (1u << c.settings.dataBits) - 1;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            EXPECT_EQ(line.bytes[i], bytes[i] & dataMask) << i;
            // The frame start is the last idle sample before the start bit or its first sample.
            EXPECT_NEAR(line.startTimes[i], static_cast<double>(starts[i]) / c.fs, 1.01 / c.fs) << i;
        }
    }
}

TEST(UartDecoder, SampleRateOfTwiceTheBaudRateIsRefusedPerLine)
{
    auto capture = MakeLogicCapture(std::vector<std::uint8_t>(100, 0xFF), {}, 1.0 / 19200, 0);
    const ChannelQueries queries(capture);
    UartDecodeRequest request;
    request.rxd = 0;
    request.txd = 1;
    request.settings.baud = 9600;
    const auto result = DecodeUart(queries, request);
    ASSERT_EQ(result.messages.size(), 2u);
    EXPECT_EQ(result.messages[0], (DecoderMessage{Msg::strLanUartTdDecode, {std::string("RxD"), std::string("19200")}}));
    EXPECT_EQ(result.messages[1].args[0], FormatArg(std::string("TxD")));
    const MessageTable table;
    EXPECT_NE(FormatDecoderMessage(result.messages[0], table).find("по каналу RxD"), std::string::npos);
}

TEST(UartDecoder, FramingErrorDropsTheFrameAndResynchronisesOneBitLater)
{
    // A low run of ten bits (a 0x00 frame whose stop bit is low), idle, then a good frame.
    const double fs = 1e6, baud = 9600;
    const UartSettings settings{9600, 8, UartParity::None, 1};
    std::vector<std::uint8_t> bus;
    LineBuilder writer(bus, 0);
    const double bit = fs / baud;
    writer.hold(300, true);
    writer.hold(std::llround(bit * 10), false);
    writer.hold(std::llround(bit * 4), true);
    const auto goodStart = writer.position();
    auto good = UartSignal({0x3C}, baud, fs, settings, 0, 0);
    bus.insert(bus.begin() + goodStart, good.begin(), good.end());
    bus.resize(goodStart + good.size());

    auto capture = MakeLogicCapture(bus, {}, 1 / fs, 0);
    std::vector<DecoderMessage> messages;
    const auto line = DecodeUartLine(ChannelQueries(capture), 0, settings, 0.0, "RxD", messages);
    // The broken frame at sample 299 is not listed; the search resumes one bit later, where the
    // rest of the low run reads as a 0x00 frame with a good stop bit.
    ASSERT_EQ(line.bytes.size(), 2u);
    EXPECT_EQ(line.bytes[0], 0x00);
    EXPECT_NEAR(line.startTimes[0], (299 + 105) / fs, 1.01 / fs);
    EXPECT_EQ(line.bytes[1], 0x3C);
    EXPECT_NEAR(line.startTimes[1], goodStart / fs, 1.01 / fs);
}

TEST(UartDecoder, StopsAfterTheEntryLimitAndDropsFramesCutByTheEnd)
{
    const UartSettings settings{115200, 8, UartParity::None, 1};
    std::vector<std::uint8_t> bytes(kUartMaxEntries + 5, 0x5A);
    auto bus = UartSignal(bytes, 115200, 1e6, settings, 0, 1);
    auto capture = MakeLogicCapture(bus, {}, 1e-6, 0);
    std::vector<DecoderMessage> messages;
    auto line = DecodeUartLine(ChannelQueries(capture), 0, settings, 0.0, "RxD", messages);
    EXPECT_EQ(line.bytes.size(), static_cast<std::size_t>(kUartMaxEntries + 1));

    // The same traffic cut in the middle of its last frame.
    auto shortBus = UartSignal({0x11, 0x22}, 9600, 1e6, {9600, 8, UartParity::None, 1}, 0, 1);
    shortBus.resize(shortBus.size() - 3 * 105 - 500);
    capture = MakeLogicCapture(shortBus, {}, 1e-6, 0);
    line = DecodeUartLine(ChannelQueries(capture), 0, {9600, 8, UartParity::None, 1}, 0.0, "RxD", messages);
    ASSERT_EQ(line.bytes.size(), 1u);
    EXPECT_EQ(line.bytes[0], 0x11);
}

TEST(UartDecoder, ByteWhoseStopBitIsCutByTheEndIsTheLastRow)
{
    const UartSettings settings{9600, 8, UartParity::None, 1};
    std::vector<std::int64_t> starts;
    auto bus = UartSignal({0x11, 0x0A}, 9600, 1e6, settings, 0, 1, &starts);
    // Idle bit, two frames of 10 bits: the capture ends half-way through the last stop bit, and
    // then one sample into it.
    for (const double stopPart : {0.5, 1e-6}) {
        SCOPED_TRACE(stopPart);
        auto cut = bus;
        cut.resize(static_cast<std::size_t>(std::llround((1 + 19 + stopPart) * 1e6 / 9600)) + 1);
        const auto capture = MakeLogicCapture(cut, {}, 1e-6, 0);
        std::vector<DecoderMessage> messages;
        const auto line = DecodeUartLine(ChannelQueries(capture), 0, settings, 0.0, "RxD", messages);
        EXPECT_TRUE(messages.empty());
        ASSERT_EQ(line.bytes, (std::vector<std::uint8_t>{0x11, 0x0A}));
        EXPECT_DOUBLE_EQ(line.startTimes[1], static_cast<double>(starts[1]) * 1e-6);
    }
}

TEST(UartDecoder, BitsOfMillionsOfSamplesEndAtOnceWithoutFrames)
{
    // 1544 samples at 1 PHz: a bit at 9600 baud would span 10^11 samples.
    auto bus = UartSignal({0x55}, 9600, 1e6, {9600, 8, UartParity::None, 1});
    bus.resize(1544);
    const auto capture = MakeLogicCapture(bus, {}, 1e-15, 0);
    std::vector<DecoderMessage> messages;
    const auto line = DecodeUartLine(ChannelQueries(capture), 0, {9600, 8, UartParity::None, 1}, 0.0, "RxD", messages);
    EXPECT_TRUE(line.bytes.empty());
    EXPECT_TRUE(messages.empty());
}

TEST(UartDecoder, MarkerInsideAFrameStartsAtThatFramesStartBit)
{
    const UartSettings settings{9600, 8, UartParity::None, 1};
    std::vector<std::int64_t> starts;
    auto capture = MakeLogicCapture(UartSignal({0x00, 0x81}, 9600, 1e6, settings, 0, 3, &starts), {}, 1e-6, 0);
    std::vector<DecoderMessage> messages;
    // Marker in the low run of the first frame: the decoder backs up to its falling edge.
    const auto line = DecodeUartLine(ChannelQueries(capture), 0, settings, (starts[0] + 400) * 1e-6, "RxD", messages);
    ASSERT_EQ(line.bytes.size(), 2u);
    EXPECT_EQ(line.bytes[0], 0x00);
    EXPECT_EQ(line.bytes[1], 0x81);
}

TEST(UartBaudEstimate, SnapsToTheListWithinFivePercent)
{
    const struct {
        double estimate;
        long long expected;
    } cases[] = {{9580, 9600}, {10500, 10500}, {9600 * 1.049, 9600}, {9600 * 1.06, 10176}, {114000, 115200}, {500, 500}};
    for (const auto& c : cases)
        EXPECT_EQ(SnapUartBaud(c.estimate), c.expected) << c.estimate;
}

TEST(UartBaudEstimate, EstimatesFromCapturedTraffic)
{
    const struct {
        double baud;
        double fs;
        long long expected;
    } cases[] = {{9580, 1e6, 9600}, {10500, 2e6, 10500}, {115200, 1e6, 115200}, {38400, 1e6, 38400}};
    for (const auto& c : cases) {
        const UartSettings settings{static_cast<int>(c.baud), 8, UartParity::None, 1};
        auto capture = MakeLogicCapture(UartSignal({0x55, 0x55, 0x55, 0x12, 0x55}, c.baud, c.fs, settings), {}, 1 / c.fs, 0);
        const auto estimate = EstimateUartBaud(ChannelQueries(capture), 0, "A.0");
        ASSERT_TRUE(std::holds_alternative<long long>(estimate)) << c.baud;
        EXPECT_NEAR(static_cast<double>(std::get<long long>(estimate)), static_cast<double>(c.expected), 2.0) << c.baud;
    }
}

TEST(UartBaudEstimate, RefusesWithoutDataFewPulsesOrPulsesNearTheSampleRate)
{
    LogicCapture empty;
    EXPECT_EQ(std::get<DecoderMessage>(EstimateUartBaud(ChannelQueries(empty), 3, "A.3")),
              (DecoderMessage{Msg::strLanUartNoData, {std::string("A.3")}}));

    // Four long low pulses only.
    std::vector<std::uint8_t> bus;
    LineBuilder writer(bus, 0);
    writer.hold(10, true);
    for (int i = 0; i < 4; ++i)
        writer.hold(5000, false).hold(5000, true);
    auto capture = MakeLogicCapture(bus, {}, 1e-6, 0);
    EXPECT_EQ(std::get<DecoderMessage>(EstimateUartBaud(ChannelQueries(capture), 0, "A.0")).key, Msg::strLanUartTdMore);

    // One-sample low pulses.
    bus.clear();
    LineBuilder fast(bus, 0);
    fast.hold(3, true);
    for (int i = 0; i < 10; ++i)
        fast.hold(1, false).hold(3, true);
    capture = MakeLogicCapture(bus, {}, 1e-6, 0);
    EXPECT_EQ(std::get<DecoderMessage>(EstimateUartBaud(ChannelQueries(capture), 0, "A.0")).key, Msg::strLanUartTdLess);
}

TEST(UartEncoder, Writes55At8N1FromMarker1ThenIdleHigh)
{
    GeneratorData generator;
    generator.fillLine(2, false);
    UartEncodeRequest request;
    request.txd = 10; // B.2
    request.baudText = "9600";
    request.bytes = {0x55};
    // Fs = 96 kHz: 10 samples per bit.
    const GeneratorTarget exact{&generator, 1.0 / 96000};
    request.marker1 = 20.0 / 96000;
    const auto result = EncodeUart(exact, request);
    ASSERT_FALSE(result.error);
    ASSERT_EQ(result.txdTimes.size(), 1u);
    EXPECT_NEAR(result.txdTimes[0], 20.0 / 96000, 1e-12);
    const int expectedBits[] = {0, 1, 0, 1, 0, 1, 0, 1, 0, 1};
    for (int i = 0; i < 20; ++i)
        EXPECT_TRUE(generator.line(i, 2)) << i;
    for (int b = 0; b < 10; ++b)
        for (int s = 0; s < 10; ++s)
            EXPECT_EQ(generator.line(20 + b * 10 + s, 2), expectedBits[b] == 1) << b << ' ' << s;
    for (int i = 120; i < GeneratorData::kSampleCount; ++i)
        ASSERT_TRUE(generator.line(i, 2)) << i;
}

TEST(UartEncoder, ChecksInOrder)
{
    GeneratorData generator;
    const struct {
        GeneratorData* generator;
        int txd;
        const char* baud;
        double fs;
        std::vector<std::uint8_t> bytes;
        DecoderMessage expected;
    } cases[] = {
        {nullptr, 8, "9600", 1e6, {1}, {Msg::strLanUartNoG, {}}},
        {&generator, 3, "9600", 1e6, {1}, {Msg::strLanUartNoGTxd, {}}},
        {&generator, 8, "96x0", 1e6, {1}, {Msg::strLanUartErrBaud, {std::string("96x0")}}},
        {&generator, 8, "200", 1e6, {1}, {Msg::strLanUartRngBaud, {}}},
        {&generator, 8, "115201", 1e6, {1}, {Msg::strLanUartRngBaud, {}}},
        {&generator, 8, "9600", 19200, {1}, {Msg::strLanUartTdLessG, {std::string("19200")}}},
        {&generator, 8, "9600", 1e6, {}, {Msg::strLanUartNoDataG, {}}},
    };
    for (const auto& c : cases) {
        generator.clear();
        UartEncodeRequest request;
        request.txd = c.txd;
        request.baudText = c.baud;
        request.bytes = c.bytes;
        const auto result = EncodeUart({c.generator, 1 / c.fs}, request);
        ASSERT_TRUE(result.error) << c.baud;
        EXPECT_EQ(*result.error, c.expected) << c.baud;
        for (auto s : generator.samples())
            ASSERT_EQ(s, 0); // nothing written on refusal
    }
}

TEST(UartRoundTrip, EncodedFramesDecodeBackThroughTheGenerator)
{
    const struct {
        const char* baud;
        double fs;
        UartSettings settings;
    } cases[] = {
        {"9600", 1e6, {0, 8, UartParity::None, 1}},
        {"19200", 1e6, {0, 8, UartParity::Odd, 1}},
        {"57600", 1e6, {0, 7, UartParity::None, 2}},
        {"115200", 1e6, {0, 5, UartParity::Even, 1}},
    };
    const std::vector<std::uint8_t> bytes = {0xA5, 0x00, 0xFF, 0x12, 0x80};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.baud);
        GeneratorData generator;
        UartEncodeRequest request;
        request.txd = 13;
        request.baudText = c.baud;
        request.settings = c.settings;
        request.bytes = bytes;
        request.marker1 = 5e-6;
        const GeneratorTarget target{&generator, 1 / c.fs};
        const auto encoded = EncodeUart(target, request);
        ASSERT_FALSE(encoded.error);

        LogicCapture capture;
        capture.samplePeriod = 1 / c.fs;
        const ChannelQueries queries(capture, &generator, 1 / c.fs);
        UartSettings settings = c.settings;
        settings.baud = std::atoi(c.baud);
        std::vector<DecoderMessage> messages;
        const auto decoded = DecodeUartLine(queries, 13, settings, 0.0, "TxD", messages);
        const unsigned mask = (1u << settings.dataBits) - 1;
        // 1544 samples hold only part of the slower traffic; a frame cut at the end is not decoded.
        ASSERT_GE(decoded.bytes.size(), 1u);
        ASSERT_LE(encoded.txdTimes.size() - decoded.bytes.size(), 1u);
        for (std::size_t i = 0; i < decoded.bytes.size(); ++i) {
            EXPECT_EQ(decoded.bytes[i], bytes[i] & mask);
            EXPECT_NEAR(decoded.startTimes[i], encoded.txdTimes[i], 1.01 / c.fs);
        }
    }
}

TEST(UartTable, GridHoldsBinAndHexOfBothLines)
{
    UartDecodeResult result;
    result.rxd = {{0xA5, 0x01}, {1e-3, 2e-3}};
    result.txd = {{0x3C}, {5e-3}};
    const DecoderTable grid = UartTable(result, MessageTable());
    ASSERT_EQ(grid.rows.size(), 2u);
    EXPECT_EQ(grid.headers[0], "  №");
    EXPECT_EQ(grid.rows[0], (std::vector<std::string>{"1", "10100101", "A5", "00111100", "3C"}));
    EXPECT_EQ(grid.rows[1], (std::vector<std::string>{"2", "00000001", "01", "", ""}));
    EXPECT_DOUBLE_EQ(grid.times[0][3], 5e-3);
}

} // namespace
} // namespace tesmar
