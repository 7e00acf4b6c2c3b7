#include "logic/ChannelQueries.h"

#include <cmath>

namespace tesmar {

namespace {
// Times come back as index × period; the slack keeps indexAt(timeAt(i)) == i despite rounding.
constexpr double kIndexSlack = 1e-6;
} // namespace

ChannelQueries::ChannelQueries(const LogicCapture& capture, const GeneratorData* generator,
                               double generatorPeriod)
    : capture_(capture), generator_(generator), generatorPeriod_(generatorPeriod)
{
}

std::span<const std::uint8_t> ChannelQueries::data(int channel) const
{
    if (channel < 8)
        return capture_.busA;
    if (generator_)
        return generator_->samples();
    return capture_.busB;
}

double ChannelQueries::period(int channel) const
{
    return fromGenerator(channel) ? generatorPeriod_ : capture_.samplePeriod;
}

bool ChannelQueries::hasPoints(int channel) const
{
    if (channel < 8)
        return !capture_.busA.empty() && ((capture_.drawnLinesA >> channel) & 1);
    return !data(channel).empty();
}

std::int64_t ChannelQueries::samples(int channel) const
{
    if (!hasPoints(channel))
        return 0;
    return static_cast<std::int64_t>(data(channel).size()) - 1;
}

double ChannelQueries::firstTime(int channel) const
{
    return fromGenerator(channel) ? 0.0 : capture_.firstSampleTime;
}

std::int64_t ChannelQueries::indexAt(int channel, double seconds) const
{
    if (!hasPoints(channel))
        return 0;
    return IndexAt(seconds, firstTime(channel), period(channel));
}

std::int64_t ChannelQueries::IndexAt(double seconds, double firstTime, double step)
{
    if (!(step > 0.0))
        return 0;
    const double position = (seconds - firstTime) / step + kIndexSlack;
    if (!(position > 0.0))
        return 0;
    if (position > 9.0e18)
        return INT64_MAX;
    return static_cast<std::int64_t>(std::trunc(position));
}

double ChannelQueries::timeAt(int channel, std::int64_t index) const
{
    return firstTime(channel) + period(channel) * static_cast<double>(index);
}

} // namespace tesmar
