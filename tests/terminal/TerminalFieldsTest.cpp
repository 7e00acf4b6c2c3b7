// The terminal's edits, the bytes of its transfer command and its hex view.

#include "terminal/TerminalFields.h"
#include "device/ServiceCommands.h"
#include "terminal/TerminalHexView.h"

#include <gtest/gtest.h>

using namespace tesmar;

TEST(TerminalFields, AddressTextIsSevenBinaryDigits) {
    const std::pair<const char*, const char*> cases[] = {
        {"101", "0000101"},      {"", "0000000"},     {"1111111", "1111111"},
        {"11111111", "1111111"}, // eight digits keep their low seven
        {"10000001", "0000001"}, {" 11 ", "0000011"}, {"abc", "0000000"},
    };
    for (const auto& [typed, shown] : cases) {
        EXPECT_EQ(NormaliseAddressText(typed), shown) << typed;
        EXPECT_EQ(AddressFromText(shown), AddressFromText(typed)) << typed;
    }
    EXPECT_EQ(AddressFromText("1010000"), 0x50);
    for (const char32_t key : {U'0', U'1', U'\b', U'\r'})
        EXPECT_TRUE(AddressKeyAccepted(key));
    for (const char32_t key : {U'2', U'a', U' ', U'ж'})
        EXPECT_FALSE(AddressKeyAccepted(key));
}

TEST(TerminalFields, CountsAndSpeedsStayInRange) {
    EXPECT_EQ(ClampTerminalCount(0), 1);
    EXPECT_EQ(ClampTerminalCount(5000), 1024);
    EXPECT_EQ(ClampTerminalCount(600), 600);
    EXPECT_EQ(ClampTerminalSpeed(10), 50);
    EXPECT_EQ(ClampTerminalSpeed(999), 400);
}

TEST(TerminalTransferCommand, AddressSpeedAndModeBytes) {
    struct Case {
        bool master, write;
        std::uint8_t address;
        int speed;
        std::uint8_t addressByte, rateByte, mode;
    };
    const Case cases[] = {
        {true, true, 0x50, 100, 0xA0, 0xB0, 0xC0},   // write as master: address × 2
        {true, false, 0x50, 400, 0xA1, 0xEC, 0x80},  // read as master: + 1
        {false, true, 0x42, 50, 0x85, 0x60, 0x40},   // write as slave: + 1
        {false, true, 0x00, 100, 0x00, 0xB0, 0x40},  // ... unless the address is 0
        {false, false, 0x42, 300, 0x84, 0xE5, 0x00}, // read as slave: address × 2; −27 at 300 kbit/s
    };
    GeneratorImage image{};
    for (const Case& c : cases) {
        I2CTransferInput in{.byteCount = 600,
                            .address7 = c.address,
                            .master = c.master,
                            .write = c.write,
                            .kbitPerSecond = c.speed};
        const CommandSequence seq = I2CTransferSequence(in, image);
        const DeviceCommand& start = seq.back();
        EXPECT_EQ(start.code, CmdI2CTransfer);
        EXPECT_EQ(start.wValue, 600);
        EXPECT_EQ(start.wIndex, c.addressByte * 256 + c.rateByte) << int(c.address) << " " << c.speed;
        EXPECT_EQ(start.data, std::vector<std::uint8_t>{c.mode});
        EXPECT_EQ(start.pauseAfterMs, 20);
        // A write sends ⌈600 / 64⌉ + 1 = 11 blocks first, each to its place in memory space 1.
        EXPECT_EQ(seq.size(), c.write ? 12u : 1u);
        for (std::size_t i = 0; i + 1 < seq.size(); ++i) {
            EXPECT_EQ(seq[i].code, CmdWriteMemory);
            EXPECT_EQ(seq[i].wValue, 1);
            EXPECT_EQ(seq[i].wIndex, 64 * i);
            EXPECT_EQ(seq[i].pauseAfterMs, 25);
        }
    }
}

TEST(TerminalHexView, CellsOfTheView) {
    TerminalBuffer buffer{};
    for (std::size_t i = 0; i < buffer.size(); ++i)
        buffer[i] = static_cast<std::uint8_t>(i);
    EXPECT_EQ(HexCellText(buffer, 0, 0), "0000");
    EXPECT_EQ(HexCellText(buffer, 1, 0), "0010");
    EXPECT_EQ(HexCellText(buffer, 63, 0), "03F0");
    EXPECT_EQ(HexCellText(buffer, 10, 11), "AA");
    EXPECT_EQ(HexCellText(buffer, 0, 1), "00");
    EXPECT_EQ(HexCellText(buffer, 0, 17), "................"); // control codes
    EXPECT_EQ(HexCellText(buffer, 4, 17), "@ABCDEFGHIJKLMNO");
    buffer[0xC0] = 0xC0; // Windows-1251 "А"
    EXPECT_EQ(HexCharsText(buffer, 12).substr(0, 2), "А");
    EXPECT_EQ(HexByteIndex(2, 16), 47);
    EXPECT_EQ(HexByteIndex(2, 0), std::nullopt);
    EXPECT_EQ(HexByteIndex(2, 17), std::nullopt);
}

TEST(TerminalHexView, CellsPastTheCountAreNotValid) {
    EXPECT_TRUE(HexCellValid(0, 12, 12));
    EXPECT_FALSE(HexCellValid(0, 13, 12));
    EXPECT_FALSE(HexCellValid(1, 1, 16));
    EXPECT_TRUE(HexCellValid(63, 16, 1024));
    EXPECT_FALSE(HexCellValid(0, 1, 0));
    EXPECT_TRUE(HexCellValid(5, 0, 0)); // offsets and characters are always drawn
    EXPECT_TRUE(HexCellValid(5, 17, 0));
}

TEST(TerminalHexView, EditedByteCells) {
    EXPECT_EQ(ParseHexByteText("a5"), 0xA5);
    EXPECT_EQ(ParseHexByteText(" F "), 0x0F);
    EXPECT_EQ(ParseHexByteText("00"), 0x00);
    for (const char* bad : {"", "  ", "G1", "123", "-1"})
        EXPECT_EQ(ParseHexByteText(bad), std::nullopt) << bad;
    EXPECT_TRUE(HexKeyAccepted(U'f'));
    EXPECT_TRUE(HexKeyAccepted(U'\b'));
    EXPECT_FALSE(HexKeyAccepted(U'g'));
    EXPECT_FALSE(HexKeyAccepted(U' '));
}
