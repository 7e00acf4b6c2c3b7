#include "text/MessageFormat.h"

#include <gtest/gtest.h>

namespace tesmar {
namespace {

TEST(FormatMessage, FormatsTheProgramsOwnTexts) {
    EXPECT_EQ(FormatMessage("Во время обмена произошла ошибка.\rКод ошибки: %8x\rОписание: %s",
                            {0x20000015ULL, std::string("Timeout expired")}),
              "Во время обмена произошла ошибка.\rКод ошибки: 20000015\rОписание: Timeout expired");
    EXPECT_EQ(FormatMessage("Ошибка инициализации. Код: %4x", {0x26LL}), "Ошибка инициализации. Код:   26");
    EXPECT_EQ(FormatMessage("Уровень = %6.2f В", {2.0}), "Уровень =   2.00 В");
    EXPECT_EQ(FormatMessage("Файл %s уже существует.", {std::string("/tmp/a b.dat")}),
              "Файл /tmp/a b.dat уже существует.");
    EXPECT_EQ(FormatMessage("Выделено: %d..%d", {3LL, 17LL}), "Выделено: 3..17");
    EXPECT_EQ(FormatMessage("%d.%d (%s/%s/%s)",
                            {2LL, 5LL, std::string("07"), std::string("11"), std::string("09")}),
              "2.5 (07/11/09)");
}

TEST(FormatMessage, ConversionsFlagsAndMismatchedArguments) {
    struct Case {
        const char* format;
        FormatArg arg;
        const char* expected;
    };
    const Case cases[] = {
        {"%X", 0xabcULL, "ABC"},
        {"%08x", 0x1fLL, "0000001f"},
        {"%-5d|", 42LL, "42   |"},
        {"%+d", 7LL, "+7"},
        {"%u", 7ULL, "7"},
        {"%5.1f", 3.14159, "  3.1"},
        {"%5.0f", 1234.5, " 1234"},
        {"%e", 1500.0, "1.500000e+03"},
        {"%g", 0.0001, "0.0001"},
        {"%d", 2.9, "2"},                // a float where an integer is asked: truncated
        {"%f", 3LL, "3.000000"},         // an integer where a float is asked
        {"%d", std::string("12"), "12"}, // a number given as text
        {"%d", std::string("abc"), "0"},
        {"%s", 42LL, "42"}, // a number where text is asked
        {"%s", 2.5, "2.5"},
        {"%.3s", std::string("Частота"), "Час"}, // precision counts characters, not bytes
        {"%6s|", std::string("Гц"), "    Гц|"},
        {"%-4s|", std::string("В"), "В   |"},
        {"%c", 0x44CLL, "ь"},
        {"%c", std::string("Яx"), "Я"},
        {"%ld", 5LL, "5"},                    // C length modifiers are accepted and ignored
        {"%d", 1e300, "9200000000000000000"}, // huge floats are clamped, not undefined
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatMessage(c.format, {c.arg}), c.expected) << c.format;
}

TEST(FormatMessage, HostileFormatsAreHarmless) {
    struct Case {
        const char* format;
        const char* expected;
    };
    const Case cases[] = {
        {"%n%s%s%99999999d%", "%nab%"}, // %n copied, missing arguments give nothing, huge width is capped
        {"100%", "100%"},
        {"%%d", "%d"},
        {"%q%p%z", "%q%p%z"},
        {"%5", "%5"},
        {"%.", "%."},
        {"%-", "%-"},
    };
    for (const auto& c : cases) {
        std::string out = FormatMessage(c.format, {std::string("a"), std::string("b")});
        EXPECT_EQ(out, c.expected) << c.format;
    }
    const std::string wide = FormatMessage("%99999999d", {1LL});
    EXPECT_LE(wide.size(), 300u);
    EXPECT_EQ(wide.back(), '1');
    const std::string precise = FormatMessage("%.99999999f", {1.0});
    EXPECT_LE(precise.size(), 300u);
    EXPECT_EQ(precise.substr(0, 2), "1.");
    EXPECT_EQ(FormatMessage("%s %s %s", {}), "  ");
}

} // namespace
} // namespace tesmar

namespace tesmar {
namespace {

// Language files are edited by hand; any text at all must format without harm and stay small.
TEST(FormatMessage, RandomFormatsStayBounded) {
    const std::string alphabet = "%%%sdiuxXfegEGc.-+ #0123456789lhnqЖ";
    unsigned state = 12345;
    auto next = [&] { return state = state * 1103515245u + 12345u, (state >> 16) & 0x7FFF; };
    for (int round = 0; round < 3000; ++round) {
        std::string format;
        const int length = static_cast<int>(next() % 24);
        for (int i = 0; i < length; ++i)
            format += alphabet[next() % alphabet.size()];
        const std::string out =
            FormatMessage(format, {-1LL, 1e308, std::string("текст"), 0xFFFFFFFFFFFFFFFFULL});
        ASSERT_LT(out.size(), 4 * (256 + 64 + 400)) << format;
    }
}

} // namespace
} // namespace tesmar
