#include "formats/VcdTimeline.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <locale>
#include <sstream>

namespace tesmar {

std::string TooManySamplesText(double count, std::int64_t most)
{
    char text[40];
    std::snprintf(text, sizeof text, count < 1e15 ? "%.0f" : "%.3g", count);
    return std::string("the capture would need ") + text + " samples; at most " + std::to_string(most) +
           " fit";
}

std::vector<int> AssignCaptureLines(const std::vector<std::string>& names, std::vector<std::string>& warnings)
{
    std::vector<int> channels(names.size(), -1);
    bool used[16] = {};
    auto ownChannel = [](const std::string& name) -> int {
        if (name.size() == 3 && name[1] == '.' && name[2] >= '0' && name[2] <= '7') {
            if (name[0] == 'A' || name[0] == 'a')
                return name[2] - '0';
            if (name[0] == 'B' || name[0] == 'b')
                return 8 + name[2] - '0';
        }
        return -1;
    };
    for (std::size_t i = 0; i < names.size(); ++i) {
        const int own = ownChannel(names[i]);
        if (own >= 0 && !used[own]) {
            channels[i] = own;
            used[own] = true;
        }
    }
    int next = 0;
    int dropped = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (channels[i] >= 0)
            continue;
        while (next < 16 && used[next])
            ++next;
        if (next >= 16) {
            ++dropped;
            continue;
        }
        channels[i] = next;
        used[next] = true;
    }
    if (dropped > 0)
        warnings.push_back(std::to_string(names.size()) + " lines found; only 16 fit a capture, " +
                           std::to_string(dropped) + " ignored");
    return channels;
}

std::optional<double> ParseRateText(std::string_view text)
{
    std::istringstream in{std::string(text)};
    in.imbue(std::locale::classic());
    double value = 0;
    if (!(in >> value))
        return std::nullopt;
    std::string unit;
    in >> unit;
    const double factor = unit.empty() || unit == "Hz" ? 1 : unit == "kHz" ? 1e3 : unit == "MHz" ? 1e6 : unit == "GHz" ? 1e9 : 0;
    if (factor == 0)
        return std::nullopt;
    return value * factor;
}

PeriodEstimate EstimateSamplePeriod(const std::vector<double>& times)
{
    double shortest = 0.0;
    for (std::size_t i = 1; i < times.size(); ++i) {
        const double gap = times[i] - times[i - 1];
        if (gap > 0 && (shortest == 0.0 || gap < shortest))
            shortest = gap;
    }
    SamplePeriodFit fit(shortest);
    if (shortest > 0.0)
        for (double t : times)
            fit.add(t);
    return fit.result();
}

SamplePeriodFit::SamplePeriodFit(double shortest) : shortest_(shortest)
{
    for (int d = 0; d < kDivisors; ++d) {
        period_[static_cast<std::size_t>(d)] = shortest / (d + 1);
        fits_[static_cast<std::size_t>(d)] = true;
    }
}

void SamplePeriodFit::add(double t)
{
    // Each divisor of the shortest interval is tried on its own; the first that puts every time
    // on a whole sample wins.
    for (std::size_t d = 0; d < period_.size(); ++d) {
        if (!fits_[d])
            continue;
        double& period = period_[d];
        const double k = std::round(t / period);
        if (std::fabs(t - k * period) > 0.01 * period)
            fits_[d] = false;
        else if (k > 0)
            period = t / k; // later times pin the period down more closely
    }
}

PeriodEstimate SamplePeriodFit::result() const
{
    if (shortest_ == 0.0)
        return {0.0, true};
    for (std::size_t d = 0; d < period_.size(); ++d)
        if (fits_[d])
            return {period_[d], true};
    return {shortest_, false};
}

double SnapToDeviceClock(double period)
{
    constexpr double kClockHz = 24'000'000.0;
    const double ticks = period * kClockHz;
    const double whole = std::round(ticks);
    if (whole >= 1 && std::fabs(ticks - whole) <= 5e-9 * ticks)
        return whole / kClockHz;
    return period;
}

CaptureFiller::CaptureFiller(std::int64_t count, bool hasBusB) : count_(count), hasBusB_(hasBusB)
{
    capture_.busA.assign(static_cast<std::size_t>(count), 0);
    if (hasBusB)
        capture_.busB.assign(static_cast<std::size_t>(count), 0);
}

void CaptureFiller::fillTo(std::int64_t end)
{
    end = std::min(end, count_);
    if (filled_ >= end)
        return;
    std::fill(capture_.busA.begin() + filled_, capture_.busA.begin() + end, static_cast<std::uint8_t>(state_));
    if (hasBusB_)
        std::fill(capture_.busB.begin() + filled_, capture_.busB.begin() + end, static_cast<std::uint8_t>(state_ >> 8));
    filled_ = end;
}

void CaptureFiller::change(std::int64_t at, int channel, bool level)
{
    fillTo(at);
    const auto bit = static_cast<std::uint16_t>(1u << channel);
    state_ = level ? static_cast<std::uint16_t>(state_ | bit) : static_cast<std::uint16_t>(state_ & ~bit);
}

CaptureSamples CaptureFiller::finish()
{
    fillTo(count_);
    return std::move(capture_);
}

CaptureSamples ResampleChanges(const std::vector<LineChange>& changes, double period, std::int64_t count,
                               bool hasBusB)
{
    CaptureFiller filler(count, hasBusB);
    for (const LineChange& change : changes)
        filler.change(period > 0 ? static_cast<std::int64_t>(std::llround(change.time / period)) : 0, change.channel,
                      change.level);
    CaptureSamples capture = filler.finish();
    capture.samplePeriod = period;
    return capture;
}

} // namespace tesmar
