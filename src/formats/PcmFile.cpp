#include "PcmFile.h"

#include <algorithm>
#include <cmath>

namespace tesmar {

std::int16_t PcmSample(double volts)
{
    if (std::isnan(volts))
        return 0;
    return static_cast<std::int16_t>(std::nearbyint(std::clamp(volts, -20.0, 20.0) * 1638.35));
}

std::vector<std::uint8_t> PcmBytes(std::span<const double> a, std::span<const double> b)
{
    std::vector<std::uint8_t> out;
    auto put = [&](double v) {
        const auto s = static_cast<std::uint16_t>(PcmSample(v));
        out.push_back(static_cast<std::uint8_t>(s & 0xFF));
        out.push_back(static_cast<std::uint8_t>(s >> 8));
    };
    if (!a.empty() && !b.empty()) {
        out.reserve(a.size() * 4);
        for (std::size_t i = 0; i < a.size(); ++i) {
            put(a[i]);
            put(i < b.size() ? b[i] : b.back());
        }
    } else {
        for (double v : a.empty() ? b : a)
            put(v);
    }
    return out;
}

} // namespace tesmar
