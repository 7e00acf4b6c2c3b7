#include "dsp/SignalReadout.h"

#include <charconv>
#include <cmath>

namespace tesmar {
namespace {

bool EndsWith(const std::string& text, const std::string& suffix) {
    return !suffix.empty() && text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

} // namespace

std::string FormatFixed(double value, int width, int precision, char decimalSeparator) {
    // Room for the largest double in fixed notation (309 digits) plus sign, point and digits.
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
    std::string text(buffer, result.ec == std::errc{} ? result.ptr : buffer);
    for (char& c : text)
        if (c == '.')
            c = decimalSeparator;
    if (static_cast<int>(text.size()) < width)
        text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    return text;
}

std::string FormatVoltage(double volts, const std::string& shownText, const ReadoutUnits& units,
                          char decimalSeparator) {
    const double magnitude = std::fabs(volts);
    const bool showsMillivolts = EndsWith(shownText, units.millivolts);
    const bool millivolts = showsMillivolts ? !(magnitude > 1.1) : magnitude < 0.9;
    if (millivolts)
        return FormatFixed(1000.0 * volts, 5, 2, decimalSeparator) + units.millivolts;
    return FormatFixed(volts, 5, 2, decimalSeparator) + units.volts;
}

std::string FormatFrequency(double hertz, const ReadoutUnits& units, char decimalSeparator) {
    if (hertz == 0.0)
        return units.undetermined;
    if (hertz > 5000.0)
        return FormatFixed(hertz / 1000.0, 5, 2, decimalSeparator) + units.kilohertz;
    if (hertz > 1000.0)
        return FormatFixed(hertz, 5, 0, decimalSeparator) + units.hertz;
    return FormatFixed(hertz, 5, 1, decimalSeparator) + units.hertz;
}

SignalReadout FormatSignalParams(const std::optional<SignalParams>& params, const SignalReadout& shown,
                                 const ReadoutUnits& units, char decimalSeparator) {
    if (!params)
        return {};
    return {FormatVoltage(params->Uconst, shown.constant, units, decimalSeparator),
            FormatVoltage(params->Uvaria, shown.variable, units, decimalSeparator),
            FormatFrequency(params->F, units, decimalSeparator)};
}

} // namespace tesmar
