#pragma once
// The points the chart draws for one channel of a record in a time window: at most two per
// pixel column (its smallest and largest value, from the min/max summary) while the window
// holds more points than columns, the exact samples once it does not.

#include "RecorderRecord.h"

#include <optional>
#include <vector>

namespace tesmar {

struct ChartPoint {
    double time = 0; // days
    double value = 0;
};

// `columns` is the plot width in pixels. The result is sorted by time.
void BuildEnvelope(const RecorderRecord& record, int channel, double from, double to, int columns,
                   std::vector<ChartPoint>& out);

} // namespace tesmar

namespace tesmar {

// The value of a channel at time t, linearly between its neighbouring points, or its end value
// within half a period beyond either end; none with fewer than 2 points or further outside.
std::optional<double> RecordValueAt(const RecorderRecord& record, int channel, double t);

} // namespace tesmar
