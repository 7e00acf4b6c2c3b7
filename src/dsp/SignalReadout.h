#pragma once
// Texts of the three parameter labels of a channel ("U- =", "U~=", "F  =" readouts).
// The page passes what its labels show now: volts or millivolts is chosen with hysteresis
// from that, so a value near 1 V does not flip the unit on every record.

#include "dsp/SignalParams.h"

#include <optional>
#include <string>

namespace tesmar {

// Unit texts, normally taken from the message table so that a language file can replace them.
struct ReadoutUnits {
    std::string volts = " В";
    std::string millivolts = " мВ";
    std::string hertz = " Гц";
    std::string kilohertz = " кГц";
    std::string undetermined = "не опред.";
};

struct SignalReadout {
    std::string constant;  // Uconst
    std::string variable;  // Uvaria
    std::string frequency; // F

    bool operator==(const SignalReadout&) const = default;
};

// A channel that was not captured (nullopt) gets empty texts.
SignalReadout FormatSignalParams(const std::optional<SignalParams>& params, const SignalReadout& shown,
                                 const ReadoutUnits& units = {}, char decimalSeparator = '.');

// Volts as "%5.2f" + volts, or millivolts: a label showing millivolts keeps them up to 1.1 V,
// any other label switches to them below 0.9 V.
std::string FormatVoltage(double volts, const std::string& shownText, const ReadoutUnits& units = {},
                          char decimalSeparator = '.');

// 0: undetermined; above 5000 Hz in kHz "%5.2f"; above 1000 Hz "%5.0f"; else "%5.1f".
std::string FormatFrequency(double hertz, const ReadoutUnits& units = {}, char decimalSeparator = '.');

// printf "%<width>.<precision>f" independent of the process locale, with the given separator.
std::string FormatFixed(double value, int width, int precision, char decimalSeparator = '.');

} // namespace tesmar
