#pragma once
// How many points per channel a recording reserves at its start and how it grows. The record
// is sized by its need (the auto-stop interval, or the one-day limit) within the memory the
// machine really has, so a recording that cannot fit fails before the stream starts instead of
// being killed half-way.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

namespace tesmar {

inline constexpr std::size_t kRecorderSpare = 10'000;   // points reserved beyond the need
inline constexpr std::size_t kRecorderGrowth = 1'000;   // growth step with dynamic memory
inline constexpr std::size_t kRecorderHeadroom = 100;   // free places that trigger the capacity check
// Memory per point and channel: the value and its share of the min/max summary.
inline constexpr double kRecorderBytesPerPoint = 8.6;
// Share of the available memory a record may take; the rest is left for drawing and others.
inline constexpr double kRecorderMemoryShare = 0.75;

// Bytes the machine can still give (MemAvailable on Linux); a test passes its own.
using MemoryProbe = std::function<std::uint64_t()>;
std::uint64_t AvailableMemoryBytes();

struct CapacityInput {
    double pointPeriod = 1e-3;               // Tp, s
    int channels = 1;
    std::optional<double> autoStopSeconds;   // auto-stop interval
    bool dynamicMemory = false;
};

struct CapacityPlan {
    std::size_t capacity = 0; // C, points per channel
    std::size_t growth = 0;   // G; 0: not extendable
    bool fits = false;        // false: status 2
};

// Points in one day of recording at `pointPeriod`.
std::size_t DayPoints(double pointPeriod);
CapacityPlan PlanCapacity(const CapacityInput& input, std::uint64_t availableBytes);
// Whether `points` more points per channel fit into `availableBytes`.
bool GrowthFits(std::size_t points, int channels, std::uint64_t availableBytes);

} // namespace tesmar
