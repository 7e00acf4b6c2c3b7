#include "decoders/SpiDecoder.h"
#include "decoders/SpiEncoder.h"
#include "text/MessageTable.h"

#include <gtest/gtest.h>

namespace tesmar {
namespace {

constexpr int kSck = 0, kMosi = 1, kMiso = 2;

// Bytes clocked in the given mode, `half` samples per clock half period. Bit k's clock pulse
// starts at t_k = 3 half + 2 half k; its data changes half a period before the first edge
// (phase 0) or on the first edge (phase 1), so it is stable at the sampling edge.
std::vector<std::uint8_t> SpiSignal(const std::vector<std::uint8_t>& mosi, const std::vector<std::uint8_t>& miso,
                                    const SpiSettings& mode, int half = 5)
{
    const std::int64_t bits = 8 * static_cast<std::int64_t>(mosi.size());
    const std::int64_t lead = 3 * half;
    const std::int64_t total = lead + bits * 2 * half + 4 * half;
    std::vector<std::uint8_t> bus(static_cast<std::size_t>(total), 0);
    const bool idle = mode.polarity == 1;
    auto bitOf = [&](const std::vector<std::uint8_t>& bytes, std::int64_t k) {
        const int shift = mode.msbFirst ? 7 - static_cast<int>(k % 8) : static_cast<int>(k % 8);
        return (bytes[static_cast<std::size_t>(k / 8)] >> shift) & 1;
    };
    for (std::int64_t i = 0; i < total; ++i) {
        const std::int64_t fromFirst = i - lead;
        bool clock = idle;
        if (fromFirst >= 0 && fromFirst < bits * 2 * half)
            clock = (fromFirst % (2 * half)) < half ? !idle : idle;
        const std::int64_t shifted = mode.phase == 0 ? fromFirst + half : fromFirst;
        int moBit = 1, miBit = 1;
        if (shifted >= 0 && shifted < bits * 2 * half) {
            moBit = bitOf(mosi, shifted / (2 * half));
            miBit = bitOf(miso, shifted / (2 * half));
        }
        bus[i] = static_cast<std::uint8_t>((clock ? 1 << kSck : 0) | (moBit << kMosi) | (miBit << kMiso));
    }
    return bus;
}

TEST(SpiDecoder, EachModeSamplesOnItsEdgeInBothBitOrders)
{
    const std::vector<std::uint8_t> mosi = {0xA5, 0x3C, 0x00, 0xFF, 0x81};
    const std::vector<std::uint8_t> miso = {0x5A, 0xC3, 0xFF, 0x00, 0x7E};
    for (int mode = 0; mode < 4; ++mode) {
        for (bool msb : {true, false}) {
            SCOPED_TRACE(::testing::Message() << "mode " << mode << (msb ? " MSB" : " LSB"));
            const SpiSettings settings = SpiMode(mode, msb);
            auto capture = MakeLogicCapture(SpiSignal(mosi, miso, settings), {}, 1e-6, 0);
            SpiDecodeRequest request{kSck, kMosi, kMiso, settings, 0.0};
            const auto result = DecodeSpi(ChannelQueries(capture), request);
            ASSERT_FALSE(result.error);
            EXPECT_EQ(result.mosi, mosi);
            EXPECT_EQ(result.miso, miso);
            EXPECT_DOUBLE_EQ(result.edgeSpacing, 5e-6);
            // Each byte starts one edge spacing before its first sampling edge.
            ASSERT_EQ(result.mosiTimes.size(), mosi.size());
            const double firstEdge = (mode == 0 || mode == 2) ? 15e-6 : 20e-6;
            EXPECT_NEAR(result.mosiTimes[0], firstEdge - 5e-6, 1e-12);
            EXPECT_NEAR(result.mosiTimes[1] - result.mosiTimes[0], 80e-6, 1e-12);
        }
    }
}

TEST(SpiDecoder, WrongModeOrLateMarkerShiftsBits)
{
    const std::vector<std::uint8_t> data = {0xF0, 0x0F};
    auto capture = MakeLogicCapture(SpiSignal(data, data, SpiMode(0)), {}, 1e-6, 0);
    // Marker after the first rising edge: the first bit is missed and the rest shift up.
    SpiDecodeRequest request{kSck, kMosi, kMiso, SpiMode(0), 17e-6};
    const auto result = DecodeSpi(ChannelQueries(capture), request);
    ASSERT_EQ(result.mosi.size(), 1u);
    EXPECT_EQ(result.mosi[0], 0xE0);
}

TEST(SpiDecoder, MeanEdgeSpacingIsZeroWithOneEdge)
{
    const std::uint8_t one[] = {0, 0, 1, 1, 1};
    EXPECT_EQ(MeanEdgeSpacing(one, 5, 1), 0.0);
    const std::uint8_t none[] = {1, 1, 1};
    EXPECT_EQ(MeanEdgeSpacing(none, 3, 1), 0.0);
    const std::uint8_t three[] = {0, 1, 1, 0, 0, 0, 1};
    EXPECT_DOUBLE_EQ(MeanEdgeSpacing(three, 7, 1), 2.5);

    std::vector<std::uint8_t> bus = {0, 0, 0, 1, 1, 1};
    auto capture = MakeLogicCapture(bus, {}, 1e-6, 0);
    const auto result = DecodeSpi(ChannelQueries(capture), {kSck, kSck, kSck, SpiMode(0), 0.0});
    EXPECT_FALSE(result.error);
    EXPECT_EQ(result.edgeSpacing, 0.0);
    EXPECT_TRUE(result.mosi.empty()); // one bit only: the incomplete byte is dropped
}

TEST(SpiDecoder, RefusesAnEmptyCapture)
{
    LogicCapture capture;
    capture.busA = {0};
    const auto result = DecodeSpi(ChannelQueries(capture), {kSck, kMosi, kMiso, SpiMode(0), 0.0});
    ASSERT_TRUE(result.error);
    EXPECT_EQ(result.error->key, Msg::strLanSpiNoDataA);
}

TEST(SpiEncoder, A5InMode0At100kHzWithFs1MHz)
{
    GeneratorData generator;
    SpiEncodeRequest request;
    request.mosi = 8;
    request.sck = 9;
    request.clockText = "100";
    request.bytes = {0xA5};
    const auto result = EncodeSpi({&generator, 1e-6}, request);
    ASSERT_FALSE(result.error);
    ASSERT_EQ(result.mosiTimes.size(), 1u);
    EXPECT_EQ(result.mosiTimes[0], 0.0);
    const int bits[] = {1, 0, 1, 0, 0, 1, 0, 1};
    for (int b = 0; b < 8; ++b) {
        for (int s = 0; s < 10; ++s) {
            const int k = b * 10 + s;
            EXPECT_EQ(generator.line(k, 0), bits[b] == 1) << k;
            EXPECT_EQ(generator.line(k, 1), s >= 5) << k;
        }
    }
    for (int k = 80; k < GeneratorData::kSampleCount; ++k) {
        ASSERT_TRUE(generator.line(k, 0));
        ASSERT_FALSE(generator.line(k, 1));
    }
}

TEST(SpiEncoder, ChecksInOrder)
{
    GeneratorData generator;
    const struct {
        GeneratorData* generator;
        int mosi, sck;
        const char* clock;
        std::vector<std::uint8_t> bytes;
        DecoderMessage expected;
    } cases[] = {
        {nullptr, 8, 9, "100", {1}, {Msg::strLanUartNoG, {}}},
        {&generator, 1, 9, "100", {1}, {Msg::strLanSpiNoGMOSI, {}}},
        {&generator, 8, 2, "100", {1}, {Msg::strLanSpiNoGSCK, {}}},
        {&generator, 9, 9, "100", {1}, {Msg::strLanSpiMOSI_SCK, {}}},
        {&generator, 8, 9, "1e2", {1}, {Msg::strLanUartErrBaud, {std::string("1e2")}}},
        {&generator, 8, 9, "4", {1}, {Msg::strLanSpiRngBaud, {}}},
        {&generator, 8, 9, "500", {1}, {Msg::strLanSpiTdLessG, {std::string("1000")}}},
        {&generator, 8, 9, "100", {}, {Msg::strLanSpiNoDataG, {}}},
    };
    for (const auto& c : cases) {
        SpiEncodeRequest request;
        request.mosi = c.mosi;
        request.sck = c.sck;
        request.clockText = c.clock;
        request.bytes = c.bytes;
        const auto result = EncodeSpi({c.generator, 1e-6}, request);
        ASSERT_TRUE(result.error);
        EXPECT_EQ(*result.error, c.expected);
    }
}

TEST(SpiRoundTrip, EncodedBytesDecodeBackInEveryMode)
{
    const std::vector<std::uint8_t> bytes = {0xA5, 0x01, 0x80, 0xFF, 0x00, 0x3C};
    for (int mode = 0; mode < 4; ++mode) {
        for (const char* clock : {"100", "333", "5"}) {
            SCOPED_TRACE(::testing::Message() << "mode " << mode << " clock " << clock);
            GeneratorData generator;
            SpiEncodeRequest request;
            request.mosi = 12;
            request.sck = 15;
            request.clockText = clock;
            request.settings = SpiMode(mode, mode % 2 == 0);
            request.bytes = bytes;
            const auto encoded = EncodeSpi({&generator, 1e-6}, request);
            ASSERT_FALSE(encoded.error);
            LogicCapture capture;
            const ChannelQueries queries(capture, &generator, 1e-6);
            const auto decoded = DecodeSpi(queries, {15, 12, 12, request.settings, 0.0});
            ASSERT_FALSE(decoded.error);
            const std::size_t played = encoded.mosiTimes.size();
            ASSERT_GE(played, 1u);
            ASSERT_GE(decoded.mosi.size() + 1, played);
            for (std::size_t i = 0; i < decoded.mosi.size(); ++i)
                EXPECT_EQ(decoded.mosi[i], bytes[i]) << i;
        }
    }
}

TEST(SpiTable, RowsHoldMisoThenMosi)
{
    SpiDecodeResult result;
    result.miso = {0x01};
    result.mosi = {0xFE};
    result.misoTimes = {1.0};
    result.mosiTimes = {1.0};
    const auto grid = SpiTable(result, MessageTable());
    EXPECT_EQ(grid.headers[1], "BIN(MISO)");
    EXPECT_EQ(grid.rows[0], (std::vector<std::string>{"1", "00000001", "01", "11111110", "FE"}));
}

} // namespace
} // namespace tesmar
