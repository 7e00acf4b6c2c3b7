#pragma once
// The questions the decoders, the search and the statistics ask about one logic line: its
// bytes, its sample period, how many samples it spans and how sample indexes and times map.
// Channel c is 0 … 15 (A.0 … B.7); bit (c AND 7) of the returned bytes is the line.
//
// In generator mode the bus B lines are the generator data, sampled at the current rate and
// starting at time 0; otherwise they are the bus B capture.

#include "logic/GeneratorData.h"
#include "logic/LogicCapture.h"

#include <cstdint>
#include <span>

namespace tesmar {

class ChannelQueries {
public:
    // `generator` non-null means bus B is the generator; `generatorPeriod` is 1/Fs of the
    // current settings.
    explicit ChannelQueries(const LogicCapture& capture, const GeneratorData* generator = nullptr,
                            double generatorPeriod = 0.0);

    std::span<const std::uint8_t> data(int channel) const;
    static std::uint8_t lineMask(int channel) { return static_cast<std::uint8_t>(1u << (channel & 7)); }
    double period(int channel) const;
    // Whether the chart has points for the line.
    bool hasPoints(int channel) const;
    // The span of the line's points in sample periods: one less than its sample count.
    std::int64_t samples(int channel) const;
    // Sample index of a time in seconds, never below 0.
    std::int64_t indexAt(int channel, double seconds) const;
    // The same for a line whose sample 0 lies at `firstTime` and whose samples are `step` apart.
    static std::int64_t IndexAt(double seconds, double firstTime, double step);
    // Time in seconds of sample `index`.
    double timeAt(int channel, std::int64_t index) const;
    double firstTime(int channel) const;
    bool generatorMode() const { return generator_ != nullptr; }

private:
    bool fromGenerator(int channel) const { return generator_ && channel >= 8; }

    const LogicCapture& capture_;
    const GeneratorData* generator_;
    double generatorPeriod_;
};

} // namespace tesmar
