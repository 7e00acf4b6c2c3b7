#include "RecorderSummary.h"

#include <cmath>
#include <cstdio>

namespace tesmar {

std::optional<Msg> RecorderStatusMessage(int status)
{
    switch (status) {
    case 1: return Msg::strRecErrRead;
    case 2: return Msg::strRecErrOutMemAs;
    case 3: return Msg::strRecErrOutMem;
    case 4: return Msg::strRecErrOutMemShow;
    case 5: return Msg::strRecErrOutTime;
    default: return std::nullopt;
    }
}

std::optional<ChannelSummary> SummarizeChannel(const RecorderRecord& record, int channel)
{
    const std::size_t n = record.count();
    if (!record.on(channel) || n == 0)
        return std::nullopt;
    const RecordChannel& c = record.channel(channel);
    const MinMax extent = c.range(0, n);
    return ChannelSummary{extent.max, extent.min, c.sum() / static_cast<double>(n), c.absSum() / static_cast<double>(n)};
}

namespace {

std::string Format(const char* format, double value, char separator, const std::string& unit)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    std::string out(text);
    for (char& c : out)
        if (c == '.')
            c = separator;
    return out + unit;
}

std::string Voltage(double u, bool asVolts, char separator, const std::string& volts, const std::string& millivolts)
{
    return asVolts ? Format("%5.2f", u, separator, volts) : Format("%3.0f", 1000.0 * u, separator, millivolts);
}

} // namespace

SummaryTexts FormatSummary(const std::optional<ChannelSummary>& s, char separator, const std::string& volts,
                           const std::string& millivolts)
{
    if (!s)
        return {};
    return {Voltage(s->max, std::fabs(s->max) > 1, separator, volts, millivolts),
            Voltage(s->min, std::fabs(s->min) > 1, separator, volts, millivolts),
            Voltage(s->mean, s->meanAbs > 1, separator, volts, millivolts)};
}

} // namespace tesmar
