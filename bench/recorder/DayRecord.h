#pragma once
// A day-long record at 1 ms on both channels (86.4 M points each) for the drawing benchmarks:
// a slow random walk with a little noise, built once per program.

#include "recorder/RecorderRecord.h"

#include <memory>
#include <random>

namespace tesmar::bench {

inline constexpr std::size_t kDayPoints = 86'400'000;

inline const RecorderRecord& DayRecord()
{
    static const std::unique_ptr<RecorderRecord> record = [] {
        auto r = std::make_unique<RecorderRecord>(RecordLayout{1e-3, true, true, false}, kDayPoints);
        if (!r->reserve(kDayPoints))
            throw std::bad_alloc();
        std::minstd_rand random(3);
        double walk = 0;
        for (std::size_t i = 0; i < kDayPoints; ++i) {
            walk += (static_cast<double>(random()) / random.max() - 0.5) * 0.01;
            const double noise = (static_cast<double>(random()) / random.max() - 0.5) * 0.1;
            r->channel(0).append(walk + noise);
            r->channel(1).append(-walk + noise);
            if ((i & 0xFFFF) == 0xFFFF) {
                r->channel(0).summarise();
                r->channel(1).summarise();
            }
        }
        r->channel(0).summarise();
        r->channel(1).summarise();
        r->publish(kDayPoints);
        return r;
    }();
    return *record;
}

} // namespace tesmar::bench
