#include "CliText.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace tesmar {

std::string TerminalText(std::string text)
{
    std::replace(text.begin(), text.end(), '\r', '\n');
    return text;
}

std::optional<double> ParseSeconds(const std::string& text)
{
    static const std::pair<const char*, double> kUnits[] = {
        {"ns", 1e-9}, {"us", 1e-6}, {"µs", 1e-6}, {"ms", 1e-3}, {"s", 1.0}};
    double scale = 1.0;
    std::string number = text;
    for (const auto& [suffix, factor] : kUnits) {
        const std::string s = suffix;
        if (number.size() > s.size() && number.compare(number.size() - s.size(), s.size(), s) == 0) {
            number.resize(number.size() - s.size());
            scale = factor;
            break;
        }
    }
    char* end = nullptr;
    const double value = std::strtod(number.c_str(), &end);
    if (number.empty() || end != number.c_str() + number.size() || !std::isfinite(value))
        return std::nullopt;
    return value * scale;
}

} // namespace tesmar
