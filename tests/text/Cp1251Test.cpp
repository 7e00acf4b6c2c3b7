#include "text/Cp1251.h"

#include <gtest/gtest.h>

namespace tesmar {
namespace {

TEST(Cp1251, EveryDefinedByteSurvivesTheRoundTrip) {
    for (int byte = 0; byte < 256; ++byte) {
        if (byte == 0x98)
            continue;
        const std::string one(1, static_cast<char>(byte));
        EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(one)), one) << "byte " << byte;
    }
}

TEST(Cp1251, KnownCharactersMapBothWays) {
    struct Case {
        unsigned char byte;
        const char* utf8;
    };
    const Case cases[] = {
        {0x80, "Ђ"}, {0x82, "‚"},      {0x85, "…"}, {0x88, "€"}, {0x8F, "Џ"},      {0x96, "–"}, {0x97, "—"},
        {0x99, "™"}, {0xA0, "\u00A0"}, {0xA5, "Ґ"}, {0xA8, "Ё"}, {0xAD, "\u00AD"}, {0xB0, "°"}, {0xB4, "ґ"},
        {0xB8, "ё"}, {0xB9, "№"},      {0xBF, "ї"}, {0xC0, "А"}, {0xDF, "Я"},      {0xE0, "а"}, {0xFF, "я"},
    };
    for (const auto& c : cases) {
        const std::string byte(1, static_cast<char>(c.byte));
        EXPECT_EQ(Cp1251ToUtf8(byte), c.utf8) << int(c.byte);
        EXPECT_EQ(Utf8ToCp1251(c.utf8), byte) << int(c.byte);
    }
}

TEST(Cp1251, UnmappableAndMalformedInputBecomesQuestionMarks) {
    struct Case {
        std::string utf8;
        std::string cp1251;
    };
    const Case cases[] = {
        {"a\u4E2Db", "a?b"},         // CJK has no byte
        {"\xF0\x9F\x98\x80", "?"},   // 4-byte sequence, one character
        {"\xC3", "?"},               // cut short at the end
        {"\xD0x", "?x"},             // missing continuation
        {"\xC0\xAF", "??"},          // overlong form
        {"\xED\xA0\x80", "???"},     // surrogate
        {"\x80z", "?z"},             // stray continuation
        {Cp1251ToUtf8("\x98"), "?"}, // the one undefined byte
    };
    for (const auto& c : cases)
        EXPECT_EQ(Utf8ToCp1251(c.utf8), c.cp1251);
}

} // namespace
} // namespace tesmar
