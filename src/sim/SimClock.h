#pragma once
// The virtual instrument's sense of time. At speed 1 it is paced in real time, so a recorder grows
// on screen as with the instrument; tests run it faster so that waits of the protocol (pauses,
// time-outs, sample pacing) shrink by the same factor.

#include <chrono>
#include <cstdint>

namespace tesmar {

class SimClock {
public:
    explicit SimClock(double speed = 1.0) : speed_(speed > 0 ? speed : 1.0) {}

    double speed() const { return speed_; }
    // Instrument time since the clock was made, in microseconds.
    std::int64_t nowUs() const;
    // Waits `milliseconds` of instrument time.
    void sleepMs(double milliseconds) const;
    // Real duration of `milliseconds` of instrument time.
    std::chrono::microseconds realDuration(double milliseconds) const;

private:
    double speed_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

} // namespace tesmar
