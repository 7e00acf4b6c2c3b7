#include "RecorderEnvelope.h"

#include <algorithm>
#include <cmath>

namespace tesmar {

void BuildEnvelope(const RecorderRecord& record, int channel, double from, double to, int columns,
                   std::vector<ChartPoint>& out)
{
    out.clear();
    if (!record.on(channel))
        return;
    const auto [first, last] = record.indexRange(channel, from, to);
    if (first >= last)
        return;
    const RecordChannel& values = record.channel(channel);
    const std::size_t n = last - first;
    columns = std::max(1, columns);
    if (n <= 2 * static_cast<std::size_t>(columns)) {
        out.reserve(n);
        for (std::size_t i = first; i < last; ++i)
            out.push_back({record.timeOf(channel, i), values.at(i)});
        return;
    }
    // Column c covers the points whose index falls in its share of [first, last).
    out.reserve(2 * static_cast<std::size_t>(columns) + 2);
    const double perColumn = static_cast<double>(n) / columns;
    bool minFirst = true;
    out.push_back({record.timeOf(channel, first), values.at(first)});
    for (int c = 0; c < columns; ++c) {
        const std::size_t a = first + static_cast<std::size_t>(std::floor(c * perColumn));
        const std::size_t b = c + 1 == columns ? last : first + static_cast<std::size_t>(std::floor((c + 1) * perColumn));
        if (a >= b)
            continue;
        const MinMax m = values.range(a, b);
        const double t = record.timeOf(channel, a);
        // Alternating the order keeps the joining lines short between neighbouring columns.
        if (minFirst) {
            out.push_back({t, m.min});
            out.push_back({t, m.max});
        } else {
            out.push_back({t, m.max});
            out.push_back({t, m.min});
        }
        minFirst = !minFirst;
    }
    out.push_back({record.timeOf(channel, last - 1), values.at(last - 1)});
}

} // namespace tesmar

namespace tesmar {

std::optional<double> RecordValueAt(const RecorderRecord& record, int channel, double t)
{
    const std::size_t n = record.count();
    if (!record.on(channel) || n < 2)
        return std::nullopt;
    const double last = static_cast<double>(n - 1);
    double position = (t - record.timeOf(channel, 0)) / record.dtDays();
    // Channel B's points lie half a period after A's: a time within half a point of either end
    // still belongs to the curve and reads its end value (a marker at the record's start reads
    // both channels).
    if (!(position >= -0.5) || position > last + 0.5)
        return std::nullopt;
    position = std::clamp(position, 0.0, last);
    const auto i = std::min(static_cast<std::size_t>(position), n - 2);
    const double f = position - static_cast<double>(i);
    const RecordChannel& c = record.channel(channel);
    return c.at(i) + (c.at(i + 1) - c.at(i)) * f;
}

} // namespace tesmar
