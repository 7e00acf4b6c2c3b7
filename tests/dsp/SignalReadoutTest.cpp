#include "dsp/SignalReadout.h"

#include <gtest/gtest.h>

namespace tesmar {
namespace {

TEST(FormatVoltage, HysteresisFollowsTheShownUnit) {
    struct Case {
        const char* shown;
        double volts;
        const char* expected;
    };
    const Case cases[] = {
        {" 1.00 В", 0.95, " 0.95 В"},     {" 1.00 В", 0.85, "850.00 мВ"},
        {" 1.00 В", -0.85, "-850.00 мВ"}, {"900.00 мВ", 1.05, "1050.00 мВ"},
        {"900.00 мВ", 1.15, " 1.15 В"},   {"900.00 мВ", -1.15, "-1.15 В"},
        {"", 0.5, "500.00 мВ"},           {"", 1.0, " 1.00 В"},
        {" 1.00 В", 12.3456, "12.35 В"},  {"12.00 мВ", 0.0, " 0.00 мВ"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatVoltage(c.volts, c.shown), c.expected) << c.shown << " " << c.volts;
}

TEST(FormatFrequency, FormsByRange) {
    struct Case {
        double hertz;
        const char* expected;
    };
    const Case cases[] = {
        {0.0, "не опред."},   {12.34, " 12.3 Гц"},   {1000.0, "1000.0 Гц"},  {1000.4, " 1000 Гц"},
        {5000.0, " 5000 Гц"}, {5000.1, " 5.00 кГц"}, {31250.0, "31.25 кГц"}, {1234567.0, "1234.57 кГц"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatFrequency(c.hertz), c.expected) << c.hertz;
}

TEST(FormatSignalParams, ChannelReadout) {
    const SignalParams params{0.25, 1.5, 2.0, -1.0, 31250.0};
    const SignalReadout shown{" 1.00 В", "900.00 мВ", ""};
    EXPECT_EQ(FormatSignalParams(params, shown), (SignalReadout{"250.00 мВ", " 1.50 В", "31.25 кГц"}));
    // Not captured: the labels are cleared.
    EXPECT_EQ(FormatSignalParams(std::nullopt, shown), SignalReadout{});
    // The separator and the unit texts come from the caller (locale, language file).
    ReadoutUnits english{" V", " mV", " Hz", " kHz", "n/a"};
    EXPECT_EQ(FormatSignalParams(SignalParams{0.5, 2.0, 0, 0, 0.0}, SignalReadout{" 1,00 V", "1,00 mV", ""},
                                 english, ','),
              (SignalReadout{"500,00 mV", " 2,00 V", "n/a"}));
}

} // namespace
} // namespace tesmar
