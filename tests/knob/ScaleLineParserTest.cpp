#include "ui/knob/ScaleLineParser.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tesmar {
namespace {

TEST(ScaleLineParser, TagsOfALine) {
    using FontSize = ScaleLabelStyle::FontSize;
    struct Case {
        const char* line;
        double value, exp;
        const char* dimension;
        const char* hint;
        bool small, hidden, rotated;
        int dx, dy;
        FontSize fontKind;
        int font;
    };
    const Case cases[] = {
        {"#v=2  #h=set 2  #y=+4 #x=-1", 2, 0, "", "set 2", false, false, false, -1, 4, FontSize::Default, 0},
        {"#v=1  #h=set 1  #s #p", 1, 0, "", "set 1", true, true, false, 0, 0, FontSize::Default, 0},
        {"ignored text #V2,5#E-3#Dмс#Hhint #R", 2.5, -3, "мс", "hint", false, false, true, 0, 0,
         FontSize::Default, 0},
        {"#v=1 #v=7 #x=3 #x=-2", 7, 0, "", "", false, false, false, -2, 0, FontSize::Default,
         0},                                                                            // later wins
        {"#v=5 #v=abc", 0, 0, "", "", false, false, false, 0, 0, FontSize::Default, 0}, // bad → default
        {"#d=В #h=no value", 0, 0, "В", "no value", false, false, false, 0, 0, FontSize::Default, 0},
        {"#v=3 #q=7 #z #x=1.5 #y=", 3, 0, "", "", false, false, false, 0, 0, FontSize::Default, 0},
        {"#v=1 ## #x=4#", 1, 0, "", "", false, false, false, 4, 0, FontSize::Default,
         0}, // doubled and final '#'
        {"#v=\t 4 \r", 4, 0, "", "", false, false, false, 0, 0, FontSize::Default,
         0}, // blanks and controls trimmed
        {"#f=9", 0, 0, "", "", false, false, false, 0, 0, FontSize::Absolute, 9},
        {"#f=+2", 0, 0, "", "", false, false, false, 0, 0, FontSize::Relative, 2},
        {"#f-3", 0, 0, "", "", false, false, false, 0, 0, FontSize::Relative, -3},
        {"#f=big", 0, 0, "", "", false, false, false, 0, 0, FontSize::Default, 0},
        {"", 0, 0, "", "", false, false, false, 0, 0, FontSize::Default, 0},
        {"#", 0, 0, "", "", false, false, false, 0, 0, FontSize::Default, 0},
    };
    for (const auto& c : cases) {
        const auto line = ParseScaleLine(c.line);
        SCOPED_TRACE(c.line);
        EXPECT_EQ(line.data.Value, c.value);
        EXPECT_EQ(line.data.Exp, c.exp);
        EXPECT_DOUBLE_EQ(line.data.ValueReal, c.value * std::pow(10.0, c.exp));
        EXPECT_EQ(line.data.Dimension, c.dimension);
        EXPECT_EQ(line.data.Hint, c.hint);
        EXPECT_EQ(line.style.smallTick, c.small);
        EXPECT_EQ(line.style.hideLabel, c.hidden);
        EXPECT_EQ(line.style.rotated, c.rotated);
        EXPECT_EQ(line.style.offsetX, c.dx);
        EXPECT_EQ(line.style.offsetY, c.dy);
        EXPECT_EQ(line.style.fontSizeKind, c.fontKind);
        if (c.fontKind != FontSize::Default) {
            EXPECT_EQ(line.style.fontSize, c.font);
        }
    }
}

TEST(ScaleLineParser, FontSizeResolvesAgainstTheScaleFont) {
    EXPECT_EQ(ParseScaleLine("#f=9").style.resolveFontSize(12), 9);
    EXPECT_EQ(ParseScaleLine("#f=+2").style.resolveFontSize(12), 14);
    EXPECT_EQ(ParseScaleLine("#f=-3").style.resolveFontSize(12), 9);
    EXPECT_EQ(ParseScaleLine("#v=1").style.resolveFontSize(12), 12);
}

TEST(ScaleLineParser, DecimalPointOrCommaInAnyLocale) {
    struct Case {
        const char* text;
        std::optional<double> value;
    };
    const Case cases[] = {
        {"2.5", 2.5},    {"2,5", 2.5},    {"-0,25", -0.25}, {"+3", 3.0}, {"1e3", 1000.0},
        {"1.234,5", {}}, {"1,234.5", {}}, {"", {}},         {"abc", {}}, {"2,5x", {}},
        {"nan", {}},     {"inf", {}},     {"++1", {}},      {"2.", 2.0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseScaleNumber(c.text), c.value) << c.text;
    // The same line with either decimal point gives the same entry.
    const auto point = ParseScaleLine("#v=2.5 #e=-3");
    const auto comma = ParseScaleLine("#v=2,5 #e=-3");
    EXPECT_EQ(point.data.ValueReal, comma.data.ValueReal);
    EXPECT_DOUBLE_EQ(comma.data.ValueReal, 0.0025);
}

TEST(ScaleLineParser, EntryTextIsTheShortestNumberAndItsUnit) {
    struct Case {
        const char* line;
        char separator;
        const char* text;
    };
    const Case cases[] = {
        {"#v=2,5 #d=мс", ',', "2,5мс"}, {"#v=2.5 #d=мс", '.', "2.5мс"},   {"#v=200 #d=кГц", ',', "200кГц"},
        {"#v=0.1 #d=В", ',', "0,1В"},   {"#h=no number #d=В", ',', "0В"}, {"#v=2,667", ',', "2,667"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ScaleEntryText(ParseScaleLine(c.line).data, c.separator), c.text) << c.line;
    EXPECT_EQ(ScaleEntryText(ParseScaleLine("#v=5 #d=В").data, ',', false), "5");
    EXPECT_EQ(FormatScaleNumber(1.0 / 3, '.'), "0.333333333333333");
}

} // namespace
} // namespace tesmar
