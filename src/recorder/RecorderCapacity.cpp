#include "RecorderCapacity.h"

#include "RecorderRecord.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>
#include <string>
#include <unistd.h>

namespace tesmar {

std::uint64_t AvailableMemoryBytes()
{
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    std::uint64_t kib = 0;
    std::string unit;
    while (meminfo >> key >> kib >> unit)
        if (key == "MemAvailable:")
            return kib * 1024;
    const long pages = sysconf(_SC_AVPHYS_PAGES);
    const long size = sysconf(_SC_PAGESIZE);
    return pages > 0 && size > 0 ? static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(size) : 0;
}

std::size_t DayPoints(double pointPeriod)
{
    // A small allowance keeps 86 400 s / 1 ms at 86 400 000 despite rounding.
    const double points = std::ceil(kSecondsPerDay / pointPeriod - 1e-6);
    if (!(points > 0))
        return 0;
    // A period so short (a damaged file's) that a day holds more points than can be counted:
    // more than any memory holds, with room left for the spare added to it.
    constexpr std::size_t kUncountable = std::numeric_limits<std::size_t>::max() / 4;
    return points < static_cast<double>(kUncountable) ? static_cast<std::size_t>(points) : kUncountable;
}

namespace {

double UsableBytes(std::uint64_t available)
{
    return static_cast<double>(available) * kRecorderMemoryShare;
}

double BytesFor(std::size_t points, int channels)
{
    return static_cast<double>(points) * channels * kRecorderBytesPerPoint;
}

} // namespace

CapacityPlan PlanCapacity(const CapacityInput& in, std::uint64_t availableBytes)
{
    CapacityPlan plan;
    const int channels = std::max(1, in.channels);
    if (in.autoStopSeconds) {
        plan.capacity = static_cast<std::size_t>(std::llround(*in.autoStopSeconds / in.pointPeriod)) + kRecorderSpare;
        plan.fits = BytesFor(plan.capacity, channels) <= UsableBytes(availableBytes);
    } else if (in.dynamicMemory) {
        plan.capacity = kRecorderSpare;
        plan.growth = kRecorderGrowth;
        plan.fits = BytesFor(plan.capacity, channels) <= UsableBytes(availableBytes);
    } else {
        const std::size_t need = DayPoints(in.pointPeriod) + kRecorderSpare;
        const auto affordable = static_cast<std::size_t>(UsableBytes(availableBytes) / (channels * kRecorderBytesPerPoint));
        plan.capacity = std::min(need, affordable);
        plan.fits = plan.capacity > kRecorderSpare;
    }
    return plan;
}

bool GrowthFits(std::size_t points, int channels, std::uint64_t availableBytes)
{
    return BytesFor(points, channels) <= UsableBytes(availableBytes);
}

} // namespace tesmar
