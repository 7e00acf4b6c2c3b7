#include "decoders/I2cDecoder.h"
#include "decoders/I2cEncoder.h"
#include "text/MessageTable.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tesmar {
namespace {

constexpr int kScl = 0, kSda = 1;

// A hand-driven bus: quarter-bit slots of `q` samples each.
class I2cBus {
public:
    explicit I2cBus(int q = 3) : q_(q) { idle(2); }
    void idle(int slots) { put(slots, 1, 1); }
    void start() { put(1, 1, 1); put(1, 1, 0); put(1, 0, 0); }
    void repeatedStart() { put(1, 0, 1); put(2, 1, 1); put(1, 1, 0); put(1, 0, 0); }
    void bit(int v) { put(1, 0, v); put(2, 1, v); put(1, 0, v); }
    void byte(unsigned value, int ack)
    {
        for (int k = 7; k >= 0; --k)
            bit((value >> k) & 1);
        bit(ack);
    }
    void stop() { put(1, 0, 0); put(1, 1, 0); put(2, 1, 1); }
    // Bits of a byte cut short: `count` bits only.
    void partial(unsigned value, int count)
    {
        for (int k = 7; k > 7 - count; --k)
            bit((value >> k) & 1);
    }
    std::vector<std::uint8_t>& samples() { return bus_; }

private:
    void put(int slots, int scl, int sda)
    {
        for (int i = 0; i < slots * q_; ++i)
            bus_.push_back(static_cast<std::uint8_t>((scl << kScl) | (sda << kSda)));
    }
    int q_;
    std::vector<std::uint8_t> bus_;
};

I2cDecodeResult Decode(std::vector<std::uint8_t> samples, double marker = 0.0)
{
    const auto capture = MakeLogicCapture(std::move(samples), {}, 1e-6, 0);
    return DecodeI2c(ChannelQueries(capture), {kScl, kSda, marker});
}

TEST(I2cDecoder, ThreeByteReadGivesThreeRowsWithStartAddressAndStop)
{
    I2cBus bus;
    bus.start();
    bus.byte(0x50 * 2 + 1, 0);
    bus.byte(0x11, 0);
    bus.byte(0x22, 0);
    bus.byte(0x33, 1);
    bus.stop();
    bus.idle(8);
    const auto result = Decode(bus.samples());
    ASSERT_FALSE(result.error);
    const auto& grid = result.grid;
    ASSERT_EQ(grid.count, 3);
    const auto& r1 = grid.rows[0].cells;
    EXPECT_EQ(r1[I2cStart], "    Start");
    EXPECT_EQ(r1[I2cAddress], "1010000");
    EXPECT_EQ(r1[I2cDirection], "R");
    EXPECT_EQ(r1[I2cAddressAck], "ACK");
    EXPECT_EQ(r1[I2cData], "00010001");
    EXPECT_EQ(r1[I2cDataAck], "ACK");
    EXPECT_EQ(r1[I2cStop], "");
    EXPECT_EQ(grid.rows[1].cells[I2cAddress], "");
    EXPECT_EQ(grid.rows[1].cells[I2cData], "00100010");
    EXPECT_EQ(grid.rows[2].cells[I2cData], "00110011");
    EXPECT_EQ(grid.rows[2].cells[I2cDataAck], "NACK");
    EXPECT_EQ(grid.rows[2].cells[I2cStop], "    Stop");
    EXPECT_DOUBLE_EQ(result.quarterPeriod, 3e-6);
    // Elements keep time order along the row.
    EXPECT_LT(grid.rows[0].times[I2cStart], grid.rows[0].times[I2cAddress]);
    EXPECT_LT(grid.rows[0].times[I2cAddress], grid.rows[0].times[I2cDirection]);
    EXPECT_LT(grid.rows[0].times[I2cDirection], grid.rows[0].times[I2cAddressAck]);
    EXPECT_LT(grid.rows[0].times[I2cAddressAck], grid.rows[0].times[I2cData]);
    EXPECT_EQ(grid.rows[1].times[I2cStart], kNoElementTime);
}

TEST(I2cDecoder, MarkerWhileSclHighAndSdaLowCountsAsStart)
{
    I2cBus bus;
    bus.start();
    bus.byte(0x20 * 2, 0);
    bus.byte(0x7E, 0);
    bus.stop();
    bus.idle(4);
    // Samples 9 … 11 are the START's SCL-high, SDA-low part; the marker is in it.
    const std::size_t marker = 10;
    const auto result = Decode(bus.samples(), marker * 1e-6);
    ASSERT_FALSE(result.error);
    ASSERT_EQ(result.grid.count, 1);
    EXPECT_EQ(result.grid.rows[0].cells[I2cStart], "    Start");
    EXPECT_DOUBLE_EQ(result.grid.rows[0].times[I2cStart], marker * 1e-6);
    EXPECT_EQ(result.grid.rows[0].cells[I2cAddress], "0100000");
    EXPECT_EQ(result.grid.rows[0].cells[I2cData], "01111110");
}

TEST(I2cDecoder, ByteCutByRepeatedStartIsDroppedAndTheNextByteIsAnAddress)
{
    I2cBus bus;
    bus.start();
    bus.byte(0x50 * 2, 0);
    bus.byte(0x01, 0);
    bus.partial(0xFF, 4);
    bus.repeatedStart();
    bus.byte(0x50 * 2 + 1, 0);
    bus.byte(0x99, 1);
    bus.stop();
    bus.idle(4);
    const auto result = Decode(bus.samples());
    ASSERT_EQ(result.grid.count, 2);
    EXPECT_EQ(result.grid.rows[0].cells[I2cDirection], "W");
    EXPECT_EQ(result.grid.rows[0].cells[I2cData], "00000001");
    EXPECT_EQ(result.grid.rows[1].cells[I2cStart], "    Start");
    EXPECT_EQ(result.grid.rows[1].cells[I2cAddress], "1010000");
    EXPECT_EQ(result.grid.rows[1].cells[I2cDirection], "R");
    EXPECT_EQ(result.grid.rows[1].cells[I2cData], "10011001");
    EXPECT_EQ(result.grid.rows[1].cells[I2cStop], "    Stop");
}

TEST(I2cDecoder, AddressFollowedByStopLeavesItsRowForTheNextTransaction)
{
    I2cBus bus;
    bus.start();
    bus.byte(0x10 * 2, 1);
    bus.stop();
    bus.idle(4);
    bus.start();
    bus.byte(0x11 * 2, 0);
    bus.byte(0xAB, 0);
    bus.stop();
    bus.idle(4);
    const auto result = Decode(bus.samples());
    ASSERT_EQ(result.grid.count, 1);
    EXPECT_EQ(result.grid.rows[0].cells[I2cAddress], "0010001");
    EXPECT_EQ(result.grid.rows[0].cells[I2cData], "10101011");
    EXPECT_EQ(result.grid.rows[0].cells[I2cStop], "    Stop");
}

TEST(I2cDecoder, ByteCutByTheEndOfTheCaptureIsNotReported)
{
    // The capture ends while SCL is high in the first, third or seventh bit of a byte.
    for (const int bitsBeforeCut : {0, 2, 6}) {
        SCOPED_TRACE(bitsBeforeCut);
        I2cBus bus(3);
        bus.start();
        bus.byte(0x50 * 2, 0);
        bus.byte(0x12, 0);
        bus.partial(0x5F, bitsBeforeCut);
        bus.bit(1);
        auto samples = bus.samples();
        samples.resize(samples.size() - 3); // the last quarter (SCL low) is not captured
        const auto result = Decode(samples);
        ASSERT_FALSE(result.error);
        ASSERT_EQ(result.grid.count, 1);
        EXPECT_EQ(result.grid.rows[0].cells[I2cAddress], "1010000");
        EXPECT_EQ(result.grid.rows[0].cells[I2cData], "00010010");
        for (std::size_t r = 1; r < result.grid.rows.size(); ++r) {
            EXPECT_EQ(result.grid.rows[r].cells[I2cData], "");
            EXPECT_EQ(result.grid.rows[r].cells[I2cAddress], "");
        }
    }
}

TEST(I2cDecoder, ByteWhoseAcknowledgeIsCutByTheEndIsReportedWithoutIt)
{
    // The eighth bit's clock pulse is captured, whole or up to its last sample; the
    // acknowledge is not.
    for (const int cut : {3, 4}) {
        SCOPED_TRACE(cut);
        I2cBus bus(3);
        bus.start();
        bus.byte(0x50 * 2, 0);
        bus.byte(0x12, 0);
        bus.partial(0x5F, 8);
        auto samples = bus.samples();
        samples.resize(samples.size() - static_cast<std::size_t>(cut));
        const auto result = Decode(samples);
        ASSERT_FALSE(result.error);
        ASSERT_EQ(result.grid.count, 2);
        const I2cRow& last = result.grid.rows[1];
        EXPECT_EQ(last.cells[I2cData], "01011111");
        EXPECT_EQ(last.cells[I2cDataAck], "?ACK");
        EXPECT_GT(last.times[I2cData], result.grid.rows[0].times[I2cDataAck]);
        EXPECT_EQ(last.times[I2cDataAck], kNoElementTime); // nothing in the capture to show
        EXPECT_EQ(last.cells[I2cStop], "");
    }
}

TEST(I2cDecoder, AStopBeforeTheFirstStartIsNotShown)
{
    // A write of two bytes, then a read of two bytes; the capture (or marker 1) begins in the
    // middle of the write, so its stop closes nothing that is shown.
    I2cBus bus;
    bus.start();
    bus.byte(0x50 * 2, 0);
    bus.partial(0x12, 3);
    const auto inside = bus.samples().size();
    bus.partial(0x12 << 3, 5);
    bus.bit(0);
    bus.byte(0x34, 0);
    bus.stop();
    bus.idle(4);
    bus.start();
    bus.byte(0x51 * 2 + 1, 0);
    bus.byte(0xAB, 0);
    bus.byte(0xCD, 1);
    bus.stop();
    bus.idle(4);
    const auto& all = bus.samples();
    const struct {
        const char* what;
        std::vector<std::uint8_t> samples;
        double marker;
    } cases[] = {
        {"capture begins inside", {all.begin() + static_cast<std::ptrdiff_t>(inside), all.end()}, 0.0},
        {"marker 1 inside", all, static_cast<double>(inside) * 1e-6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto result = Decode(c.samples, c.marker);
        ASSERT_FALSE(result.error);
        ASSERT_EQ(result.grid.count, 2);
        const I2cRow& first = result.grid.rows[0];
        EXPECT_EQ(first.cells[I2cStart], "    Start");
        EXPECT_EQ(first.cells[I2cAddress], "1010001");
        EXPECT_EQ(first.cells[I2cData], "10101011");
        EXPECT_EQ(first.cells[I2cStop], "");
        EXPECT_EQ(first.times[I2cStop], kNoElementTime);
        EXPECT_EQ(result.grid.rows[1].cells[I2cData], "11001101");
        EXPECT_EQ(result.grid.rows[1].cells[I2cStop], "    Stop");
        EXPECT_GT(result.grid.rows[1].times[I2cStop], first.times[I2cStart]);
    }
}

TEST(I2cDecoder, RefusesNoDataAndNoStart)
{
    LogicCapture empty;
    EXPECT_EQ(DecodeI2c(ChannelQueries(empty), {kScl, kSda, 0.0}).error->key, Msg::strLanI2cNoDataA);
    I2cBus bus;
    bus.idle(20);
    EXPECT_EQ(Decode(bus.samples()).error->key, Msg::strLanI2cNoStart);
}

TEST(I2cEncoder, ChecksInOrder)
{
    GeneratorData generator;
    const std::vector<I2cEncodeRow> rows = {{"1010000", "W", "00000001"}};
    const struct {
        GeneratorData* generator;
        int scl, sda;
        const char* rate;
        std::vector<I2cEncodeRow> rows;
        DecoderMessage expected;
    } cases[] = {
        {nullptr, 9, 8, "100", rows, {Msg::strLanUartNoG, {}}},
        {&generator, 9, 0, "100", rows, {Msg::strLanI2cNoSDA, {}}},
        {&generator, 1, 8, "100", rows, {Msg::strLanI2cNoSCL, {}}},
        {&generator, 8, 8, "100", rows, {Msg::strLanI2cSDA_SCL, {}}},
        {&generator, 9, 8, "abc", rows, {Msg::strLanUartErrBaud, {std::string("abc")}}},
        {&generator, 9, 8, "401", rows, {Msg::strLanI2cRngBaud, {}}},
        {&generator, 9, 8, "250", rows, {Msg::strLanI2cTdLessG, {std::string("1000")}}},
        {&generator, 9, 8, "100", {{"", "", ""}}, {Msg::strLanI2cNoDataG, {}}},
    };
    for (const auto& c : cases) {
        I2cEncodeRequest request;
        request.scl = c.scl;
        request.sda = c.sda;
        request.rateText = c.rate;
        request.rows = c.rows;
        const auto result = EncodeI2c({c.generator, 1e-6}, request);
        ASSERT_TRUE(result.error);
        EXPECT_EQ(*result.error, c.expected);
    }
}

TEST(I2cEncoder, SameAddressWriteThenReadInsertsARepeatedStartWithoutStop)
{
    GeneratorData generator;
    I2cEncodeRequest request;
    request.rateText = "100";
    request.rows = {{"1010000", "W", "00000001"}, {"", "R", "11110000"}, {"", "", "00001111"}, {"0000011", "W", "10101010"}};
    const auto result = EncodeI2c({&generator, 1e-6}, request);
    ASSERT_FALSE(result.error);
    const auto& rows = result.grid.rows;
    ASSERT_EQ(result.grid.count, 4);
    EXPECT_EQ(rows[0].cells[I2cStart], "    Start");
    EXPECT_EQ(rows[0].cells[I2cStop], "");                // no stop before the repeated start
    EXPECT_EQ(rows[1].cells[I2cStart], "    Start");      // repeated start
    EXPECT_EQ(rows[1].cells[I2cAddress], "1010000");      // address repeated from the row above
    EXPECT_EQ(rows[1].cells[I2cDirection], "R");
    EXPECT_EQ(rows[1].cells[I2cDataAck], "ACK");
    EXPECT_EQ(rows[2].cells[I2cStart], "");
    EXPECT_EQ(rows[2].cells[I2cAddress], "");
    EXPECT_EQ(rows[2].cells[I2cStop], "    Stop");        // a new address ends the transaction
    EXPECT_EQ(rows[3].cells[I2cStart], "    Start");
    EXPECT_EQ(rows[3].cells[I2cAddressAck], "?ACK");
    EXPECT_EQ(rows[3].cells[I2cDataAck], "?ACK");
    EXPECT_EQ(rows[3].cells[I2cStop], "    Stop");
    // First element: slot 0 → b/8 = 1.25 µs.
    EXPECT_DOUBLE_EQ(rows[0].times[I2cStart], 1.25e-6);
    // The address starts after the 3 START slots.
    EXPECT_DOUBLE_EQ(rows[0].times[I2cAddress], 3 * 2.5e-6 + 1.25e-6);
    // 100 kbit/s at 1 MHz: 2.5 samples per slot; the START drops SDA at sample 2 (slot 1 = 2.5 … 5).
    EXPECT_TRUE(generator.line(0, 0));
    EXPECT_TRUE(generator.line(2, 0));
    EXPECT_FALSE(generator.line(3, 0));
    EXPECT_TRUE(generator.line(4, 1));
    EXPECT_FALSE(generator.line(5, 1));
    EXPECT_TRUE(generator.line(GeneratorData::kSampleCount - 1, 0));
    EXPECT_TRUE(generator.line(GeneratorData::kSampleCount - 1, 1));
}

TEST(I2cRoundTrip, EncodedTableDecodesToTheSameCells)
{
    for (const char* rate : {"100", "50", "40"}) {
        SCOPED_TRACE(rate);
        GeneratorData generator;
        I2cEncodeRequest request;
        request.scl = 14;
        request.sda = 11;
        request.rateText = rate;
        request.rows = {{"1010000", "W", "00000001"}, {"", "R", "11110000"}, {"0000011", "W", "10101010"}};
        const auto encoded = EncodeI2c({&generator, 1e-6}, request);
        ASSERT_FALSE(encoded.error);
        LogicCapture capture;
        const auto decoded = DecodeI2c(ChannelQueries(capture, &generator, 1e-6), {14, 11, 0.0});
        ASSERT_FALSE(decoded.error);
        ASSERT_EQ(decoded.grid.count, encoded.grid.count);
        const int rows = decoded.grid.count;
        for (int r = 0; r < rows; ++r) {
            for (int c : {I2cStart, I2cAddress, I2cDirection, I2cData, I2cStop})
                EXPECT_EQ(decoded.grid.rows[r].cells[c], encoded.grid.rows[r].cells[c]) << r << ' ' << c;
            // The encoder leaves SDA high on write acknowledges: nobody answers.
            EXPECT_EQ(decoded.grid.rows[r].cells[I2cDataAck], encoded.grid.rows[r].cells[I2cDataAck] == "ACK" ? "ACK" : "NACK");
        }
    }
}

TEST(I2cTable, HeadersComeFromTheMessageTable)
{
    I2cGrid grid;
    grid.row(1).cells[I2cData] = "00000001";
    const auto table = I2cDecoderTable(grid, MessageTable());
    EXPECT_EQ(table.headers[1], "    Старт");
    EXPECT_EQ(table.headers[7], "    Стоп");
    EXPECT_EQ(table.rows[0][0], "1");
    EXPECT_TRUE(std::isnan(table.times[0][I2cData]));
}

} // namespace
} // namespace tesmar
