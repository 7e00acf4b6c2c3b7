#include "formats/VcdGrid.h"

#include "formats/VcdTimeline.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <numeric>

namespace tesmar {

namespace {

// A time within half a tick of a whole number of periods.
bool FitsPeriod(std::uint64_t time, double period) {
    const double t = static_cast<double>(time);
    return std::fabs(t - std::round(t / period) * period) <= 0.5 + 1e-6 * period;
}

bool UsablePeriod(double period) {
    return period > 0 && std::isfinite(period);
}

std::string SecondsText(double seconds) {
    char text[40];
    std::snprintf(text, sizeof text, "%.6g s", seconds);
    return text;
}

double RateUnit(std::string_view unit) {
    if (unit == "Hz")
        return 1.0;
    if (unit == "kHz" || unit == "KHz")
        return 1e3;
    if (unit == "MHz")
        return 1e6;
    if (unit == "GHz")
        return 1e9;
    return 0.0;
}

// "24", "1.5" followed by a unit, or "24MHz" in one word.
double RateAt(const std::vector<std::string_view>& words, std::size_t i) {
    std::string_view number = words[i];
    std::size_t digits = 0;
    while (digits < number.size() &&
           (std::isdigit(static_cast<unsigned char>(number[digits])) || number[digits] == '.'))
        ++digits;
    std::string_view unit = number.substr(digits);
    number = number.substr(0, digits);
    if (unit.empty() && i + 1 < words.size())
        unit = words[i + 1];
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (number.empty() || error != std::errc() || end != number.data() + number.size())
        return 0.0;
    // Rates no analyser has (and whose period would not be a finite number) are no statement.
    const double rate = value * RateUnit(unit);
    return rate >= 1e-3 && rate <= 1e12 ? rate : 0.0;
}

} // namespace

double StatedSampleRate(const std::vector<std::string_view>& words) {
    for (std::size_t i = 0; i + 1 < words.size(); ++i) {
        const std::string_view word = words[i];
        if (word == "at" || word == "samplerate" || word == "samplerate:" || word == "samplerate=" ||
            word == "rate" || word == "rate:")
            if (const double rate = RateAt(words, i + 1); rate > 0)
                return rate;
    }
    return 0.0;
}

VcdTimes::VcdTimes(const VcdGridSource& source)
    : statedTicks_(source.statedPeriod / source.tick), fitsStated_(UsablePeriod(statedTicks_)) {
}

void VcdTimes::add(std::uint64_t time) {
    if (divisor_ != 1)
        divisor_ = std::gcd(divisor_, time);
    if (any_ && time > last_ && (shortest_ == 0 || time - last_ < shortest_))
        shortest_ = time - last_;
    if (fitsStated_ && !FitsPeriod(time, statedTicks_))
        fitsStated_ = false;
    any_ = true;
    last_ = time;
}

std::variant<VcdGrid, std::string> ChooseVcdGrid(const std::vector<std::uint64_t>& times,
                                                 const VcdGridSource& source) {
    VcdTimes gathered(source);
    for (std::uint64_t time : times)
        gathered.add(time);
    return ChooseVcdGrid(gathered, source);
}

std::variant<VcdGrid, std::string> ChooseVcdGrid(const VcdTimes& times, const VcdGridSource& source) {
    VcdGrid grid;
    const double span = static_cast<double>(times.last());
    const std::uint64_t shortest = times.shortest();
    const std::uint64_t divisor = times.divisor();

    if (source.statedPeriod > 0 && times.fitStatedPeriod()) {
        grid.periodTicks = source.statedPeriod / source.tick;
        grid.seconds = source.statedPeriod;
    } else if (source.statedRate > 0) {
        grid.periodTicks = 1.0 / (source.statedRate * source.tick);
        grid.seconds = 1.0 / source.statedRate;
    } else {
        grid.periodTicks = divisor > 0 ? static_cast<double>(divisor) : 1.0;
        grid.seconds = SnapToDeviceClock(grid.periodTicks * source.tick);
    }

    auto samplesAt = [&](double period) { return std::round(span / period) + (source.endMarker ? 0 : 1); };
    const double wanted = samplesAt(grid.periodTicks);
    const double most = static_cast<double>(source.maxSamples);
    if (wanted > most) {
        // The fewest whole periods per sample that fit; refused when that merges changes.
        const double factor = std::ceil(wanted / most);
        const double coarse = grid.periodTicks * factor;
        const double needed = samplesAt(coarse);
        if (static_cast<double>(shortest) < coarse || needed > most)
            return TooManySamplesText(wanted, source.maxSamples) + " at " + SecondsText(grid.seconds) +
                   ", and a coarser grid would merge changes " +
                   SecondsText(static_cast<double>(shortest) * source.tick) + " apart";
        grid.note = "sampled every " + SecondsText(coarse * source.tick) + " instead of " +
                    SecondsText(grid.seconds) + " so that the capture fits in " +
                    std::to_string(source.maxSamples) + " samples";
        grid.periodTicks = coarse;
        grid.seconds = SnapToDeviceClock(coarse * source.tick);
    }
    grid.samples = static_cast<std::int64_t>(std::max(1.0, samplesAt(grid.periodTicks)));
    return grid;
}

} // namespace tesmar
