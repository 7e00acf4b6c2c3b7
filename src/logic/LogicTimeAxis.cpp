#include "LogicTimeAxis.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tesmar {

namespace {

double Round3(double x)
{
    return std::nearbyint(x * 1000.0) / 1000.0;
}

LogicWindow KeepInside(LogicWindow w, double left, double right)
{
    const double width = w.max - w.min;
    if (w.min < left)
        w = {left, left + width};
    else if (w.max > right)
        w = {right - width, right};
    return w;
}

} // namespace

double LogicZoomOfItem(const std::string& item)
{
    const auto colon = item.find(':');
    if (colon == std::string::npos)
        return 1.0;
    try {
        if (item.rfind("1:", 0) == 0)
            return 1.0 / std::stod(item.substr(colon + 1));
        return std::stod(item.substr(0, colon));
    } catch (...) {
        return 1.0;
    }
}

std::vector<std::int64_t> LogicWideZoomSteps(double samples)
{
    constexpr double kScreen = 128;
    std::vector<std::int64_t> steps;
    if (!std::isfinite(samples) || samples <= kScreen * 500)
        return steps;
    std::int64_t n = 1000;
    // A doubling step close to the whole span would only repeat it.
    for (; kScreen * static_cast<double>(n) * 1.5 < samples; n *= 2)
        steps.push_back(n);
    steps.push_back(static_cast<std::int64_t>(std::ceil(samples / kScreen)));
    return steps;
}

double ChooseLogicMultiplier(double m, double samples, double period, double zoom)
{
    double v = m * samples * period / zoom;
    if (!std::isfinite(v) || v <= 0)
        return m;
    while (v > 10'000 && m > 1) {
        m /= 1000;
        v /= 1000;
    }
    while (v < 10 && m < 1e6) {
        m *= 1000;
        v *= 1000;
    }
    return m;
}

LogicWindow LogicDataWindow(const LogicAxisData& d)
{
    const double span = d.right - d.left;
    const double w = d.period * d.multiplier * 128 / d.zoom;
    const double width = std::min(span, w);
    const double centre = span * d.scrollPosition / kLogicScrollRange + d.left +
                          (span * d.scrollPage / kLogicScrollRange) / 2;
    LogicWindow win;
    if (d.startAtZero)
        win = {0.0, width};
    else if (d.alignTo)
        win = {*d.alignTo, *d.alignTo + width};
    else
        win = {Round3(centre - width / 2), Round3(centre + width / 2)};
    return KeepInside(win, d.left, d.right);
}

LogicWindow LogicEmptyWindow(double period, double multiplier, double zoom, std::int64_t depth, std::int64_t pre)
{
    const double a = pre >= 1 ? (1.0 - static_cast<double>(pre)) * period * multiplier : 0.0;
    const double b = a + static_cast<double>(depth) * period * multiplier;
    // From the first expected sample, as wide as the zoom makes the record.
    return {a, a + (b - a) / zoom};
}

LogicScroll LogicScrollFor(const LogicWindow& axis, double left, double right)
{
    const double span = right - left;
    if (!(span > 0))
        return {};
    LogicScroll s;
    s.page = static_cast<std::int64_t>(
        std::llround(std::max(1.0, std::min(kLogicScrollRange, (axis.max - axis.min) / span * kLogicScrollRange))));
    s.position = static_cast<std::int64_t>(std::llround((axis.min - left) / span * kLogicScrollRange));
    return s;
}

std::optional<LogicWindow> LogicScrollTo(const LogicWindow& axis, const LogicScroll& scroll, std::int64_t position,
                                         double left, double right)
{
    if (scroll.page >= static_cast<std::int64_t>(kLogicScrollRange))
        return std::nullopt;
    const double shift = (position - scroll.position) * (right - left) / kLogicScrollRange;
    if (shift == 0.0)
        return std::nullopt;
    return KeepInside({Round3(axis.min + shift), Round3(axis.max + shift)}, left, right);
}

std::string BusBinaryText(std::uint8_t v)
{
    std::string s;
    for (int k = 7; k >= 0; --k) {
        s += ((v >> k) & 1) ? '1' : '0';
        if (k == 4)
            s += '.';
    }
    return s;
}

std::string BusHexText(std::uint8_t v)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", v);
    return text;
}

std::uint8_t BusValueAt(std::span<const std::uint8_t> samples, double firstX, double step, double x)
{
    if (!(step > 0) || samples.empty())
        return 0;
    if (!(x >= firstX)) // left of the first sample
        return 0;
    const double i = std::trunc((x - firstX) / step);
    if ( i >= static_cast<double>(samples.size()))
        return 0;
    return samples[static_cast<std::size_t>(i)];
}

} // namespace tesmar
