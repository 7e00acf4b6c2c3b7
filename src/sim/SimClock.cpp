#include "SimClock.h"

#include <thread>

namespace tesmar {

std::int64_t SimClock::nowUs() const
{
    const auto real = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start_);
    return static_cast<std::int64_t>(static_cast<double>(real.count()) * speed_);
}

void SimClock::sleepMs(double milliseconds) const
{
    if (milliseconds > 0)
        std::this_thread::sleep_for(realDuration(milliseconds));
}

std::chrono::microseconds SimClock::realDuration(double milliseconds) const
{
    return std::chrono::microseconds(static_cast<std::int64_t>(milliseconds * 1000.0 / speed_));
}

} // namespace tesmar
