#include "dsp/TextHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace tesmar {
namespace {

TEST(ByteToBinText, PlainAndDotted) {
    EXPECT_EQ(ByteToBinText(0xA5, true), "1010.0101");
    EXPECT_EQ(ByteToBinText(0xA5, false), "10100101");
    EXPECT_EQ(ByteToBinText(0x00, false), "00000000");
    EXPECT_EQ(ByteToBinText(0x81, true), "1000.0001");
}

TEST(TextToInt, BinaryAndHexadecimal) {
    struct Case {
        const char* text;
        std::int32_t binary;
        std::int32_t hex;
    };
    const Case cases[] = {
        {"0101", 5, 0x101},    {"  1f  ", 2, 31},
        {"\t11\r\n", 3, 0x11}, {"", 0, 0},
        {"FF", 0, 255},        {"7fffffff", 0, 0x7fffffff},
        {"ffffffff", 0, -1},   {"1x1", 5, 1 * 256 + ('X' - 55) * 16 + 1}, // not validated: "X" counts 33
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BinTextToInt(c.text), c.binary) << '"' << c.text << '"';
        EXPECT_EQ(HexTextToInt(c.text), c.hex) << '"' << c.text << '"';
    }
    // Overlong texts wrap instead of overflowing.
    EXPECT_EQ(BinTextToInt(std::string(40, '1')), -1);
    EXPECT_EQ(HexTextToInt("1ffffffff"), -1);
}

TEST(TimeToTextUs, MinutesSecondsMillisecondsMicroseconds) {
    constexpr double kSecond = 1.0 / 86400.0;
    struct Case {
        double days;
        const char* expected;
    };
    const Case cases[] = {
        {(3600 + 120 + 3.004005) * kSecond, "02:03:004:005"},
        {0.0, "00:00:000:000"},
        {59.9999996 * kSecond, "01:00:000:000"}, // the rounded microsecond carries into the minute
        {0.0019996 * kSecond, "00:00:002:000"},  // the microseconds round into the next millisecond
        {0.0012344 * kSecond, "00:00:001:234"},
        {45000.0 + 61.5 * kSecond, "01:01:500:000"},
        {(23 * 3600 + 59 * 60 + 59.9999999) * kSecond, "00:00:000:000"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TimeToTextUs(c.days), c.expected) << c.days;
    EXPECT_EQ(TimeToTextUs(std::nan("")), "00:00:000:000");
}

} // namespace
} // namespace tesmar
