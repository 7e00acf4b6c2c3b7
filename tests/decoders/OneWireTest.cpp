#include "decoders/OneWireDecoder.h"
#include "text/MessageTable.h"
#include "LineBuilder.h"

#include <gtest/gtest.h>

namespace tesmar {
namespace {

using test::LineBuilder;

// A DQ line at 1 MHz: widths in µs.
class OneWireLine {
public:
    OneWireLine() : writer_(bus_, 0) { writer_.hold(50, true); }
    OneWireLine& low(int us, int recovery = 60)
    {
        writer_.hold(us, false).hold(recovery, true);
        return *this;
    }
    OneWireLine& reset(int us = 480) { return low(us, 70); }
    OneWireLine& presence() { return low(120, 300); }
    OneWireLine& bit(int v) { return low(v ? 6 : 60, v ? 60 : 10); }
    OneWireLine& byte(unsigned value)
    {
        for (int k = 0; k < 8; ++k)
            bit((value >> k) & 1);
        return *this;
    }
    std::vector<std::uint8_t> samples()
    {
        writer_.hold(100, true);
        return bus_;
    }

private:
    std::vector<std::uint8_t> bus_;
    LineBuilder writer_;
};

OneWireDecodeResult Decode(std::vector<std::uint8_t> samples, OneWireDevice device, double period = 1e-6)
{
    const auto capture = MakeLogicCapture(std::move(samples), {}, period, 0);
    return DecodeOneWire(ChannelQueries(capture), {0, device, 0.0});
}

std::vector<std::string> Codes(const OneWireDecodeResult& result)
{
    const auto table = OneWireTable(result, MessageTable());
    std::vector<std::string> codes;
    for (const auto& row : table.rows)
        codes.push_back(row[1] + (row[2].empty() ? "" : " | " + row[2]));
    return codes;
}

TEST(OneWireDecoder, ResetPresenceAndCommandsOfTheThermometer)
{
    OneWireLine line;
    line.reset(460).presence().byte(0xCC).byte(0x44);
    const auto result = Decode(line.samples(), OneWireDevice::Thermometer);
    ASSERT_FALSE(result.error);
    EXPECT_EQ(Codes(result), (std::vector<std::string>{
                                 "Rst | Reset pulse (Импульс сброса - инициализация обмена)",
                                 "Prn | Presence (Импульс присутствия устройства на шине)",
                                 "CC | SKIP ROM (Пропуск процедуры сравнения ID)",
                                 "44 | CONVERT T (Запустить процесс преобразования T)"}));
    EXPECT_DOUBLE_EQ(result.rows[0].time, 50e-6);
}

TEST(OneWireDecoder, SlotWidthDecidesTheBit)
{
    const struct {
        int lowUs;
        std::uint8_t expected;
    } cases[] = {{14, 0xFF}, {15, 0x00}, {1, 0xFF}, {60, 0x00}};
    for (const auto& c : cases) {
        OneWireLine line;
        line.reset().presence();
        for (int k = 0; k < 8; ++k)
            line.low(c.lowUs, 50);
        const auto result = Decode(line.samples(), OneWireDevice::Unknown);
        ASSERT_EQ(result.rows.size(), 3u) << c.lowUs;
        EXPECT_EQ(result.rows[2].value, c.expected) << c.lowUs;
        EXPECT_EQ(result.rows[2].description, "");
    }
}

TEST(OneWireDecoder, PresenceIsExpectedOnlyRightAfterAReset)
{
    OneWireLine line;
    line.reset().presence().low(120, 300).byte(0x00);
    // The second long pulse is a data slot (0): the byte is 0 then 7 zero bits of the next byte.
    const auto result = Decode(line.samples(), OneWireDevice::Unknown);
    ASSERT_GE(result.rows.size(), 3u);
    EXPECT_EQ(result.rows[1].element, OneWireElement::Presence);
    EXPECT_EQ(result.rows[2].element, OneWireElement::Byte);
    EXPECT_EQ(result.rows.size(), 3u); // the last byte lacks one slot and is dropped
}

TEST(OneWireDecoder, SearchRomUsesEveryThirdSlot)
{
    OneWireLine line;
    line.reset().presence().byte(0xF0);
    const std::uint8_t rom[8] = {0x28, 0xFF, 0x00, 0x5A, 0xA5, 0x01, 0x80, 0x3C};
    for (std::uint8_t value : rom)
        for (int k = 0; k < 8; ++k) {
            const int v = (value >> k) & 1;
            line.bit(v).bit(!v).bit(v); // device bit, complement, master's choice
        }
    line.byte(0xCC);
    const auto result = Decode(line.samples(), OneWireDevice::Thermometer);
    const auto codes = Codes(result);
    ASSERT_EQ(codes.size(), 2u + 1 + 8 + 1);
    EXPECT_EQ(codes[2], "F0 | SEARCH ROM (Поиск всех ID)");
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(result.rows[3 + i].value, rom[i]) << i;
        EXPECT_EQ(result.rows[3 + i].description, "WR byte № " + std::to_string(i));
    }
    EXPECT_EQ(codes[11], "CC | SKIP ROM (Пропуск процедуры сравнения ID)");
}

TEST(OneWireDecoder, ReadPowerSupplyIsFollowedByAOneBitByte)
{
    OneWireLine line;
    line.reset().presence().byte(0xCC).byte(0xB4).bit(1).byte(0x4E).byte(0x12).byte(0x34);
    const auto codes = Codes(Decode(line.samples(), OneWireDevice::Thermometer));
    EXPECT_EQ(codes, (std::vector<std::string>{
                         "Rst | Reset pulse (Импульс сброса - инициализация обмена)",
                         "Prn | Presence (Импульс присутствия устройства на шине)",
                         "CC | SKIP ROM (Пропуск процедуры сравнения ID)",
                         "B4 | READ POWER SUPPLY (Паразитное питание на линии)",
                         "01 | WR byte № 0",
                         "4E | WRITE SCRATCHPAD (Запись Th и Tl)",
                         "12 | RD byte № 0",
                         "34 | RD byte № 1"}));
}

TEST(OneWireDecoder, WithoutADeviceOnlyCodesAreListed)
{
    OneWireLine line;
    line.reset().presence().byte(0xF0).byte(0x28);
    const auto codes = Codes(Decode(line.samples(), OneWireDevice::Unknown));
    EXPECT_EQ(codes[2], "F0");
    EXPECT_EQ(codes[3], "28");
}

TEST(OneWireDecoder, ARessetInsideAByteRestartsIt)
{
    OneWireLine line;
    line.reset().presence().bit(1).bit(1).reset(500).presence().byte(0x55);
    const auto codes = Codes(Decode(line.samples(), OneWireDevice::Unknown));
    EXPECT_EQ(codes.size(), 5u);
    EXPECT_EQ(codes[4], "55");
}

TEST(OneWireDecoder, Refusals)
{
    OneWireLine line;
    line.reset().presence();
    EXPECT_EQ(Decode(line.samples(), OneWireDevice::Unknown, 10e-6).error->key, Msg::strLan1WrTdLess);
    LogicCapture empty;
    EXPECT_EQ(DecodeOneWire(ChannelQueries(empty), {0, OneWireDevice::Unknown, 0.0}).error->key, Msg::strLan1WrNoDataA);
    OneWireLine noReset;
    noReset.byte(0x12);
    EXPECT_EQ(Decode(noReset.samples(), OneWireDevice::Unknown).error->key, Msg::strLan1WrNoReset);
    OneWireLine shortReset;
    shortReset.reset(449).presence();
    EXPECT_EQ(Decode(shortReset.samples(), OneWireDevice::Unknown).error->key, Msg::strLan1WrNoReset);
}

} // namespace
} // namespace tesmar
