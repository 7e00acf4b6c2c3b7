#include "logic/CapturePatch.h"

#include <algorithm>
#include <cmath>

namespace tesmar {

namespace {

double LastSampleTime(const LogicCapture& main)
{
    const auto n = std::max(main.busA.size(), main.busB.size());
    return main.firstSampleTime + static_cast<double>(n == 0 ? 0 : n - 1) * main.samplePeriod;
}

// The main capture's sample under time t. Patch positions are whole steps from a main sample,
// so rounding takes away what floating point adds; truncating would drop a sample now and then.
std::int64_t MainSampleAt(const LogicCapture& main, double t)
{
    return std::llround((t - main.firstSampleTime) / main.samplePeriod);
}

void WriteBus(std::vector<std::uint8_t>& bus, const std::vector<std::uint8_t>& patch, std::int64_t c, std::int64_t d)
{
    if (static_cast<std::int64_t>(bus.size()) < d)
        bus.resize(static_cast<std::size_t>(d), 0);
    for (std::int64_t i = c; i < d; ++i) {
        const std::int64_t j = i - c;
        if (i >= 0 && j < static_cast<std::int64_t>(patch.size()))
            bus[static_cast<std::size_t>(i)] = patch[static_cast<std::size_t>(j)];
    }
}

} // namespace

double PendingPatch::lastTime() const
{
    const auto n = std::max(busA.size(), busB.size());
    return firstTime() + static_cast<double>(n == 0 ? 0 : n - 1) * period;
}

bool SamePatchPeriod(double a, double b)
{
    return std::fabs(a - b) <= 1e-12 * std::max(std::fabs(a), std::fabs(b));
}

PendingPatch PlacePatch(const LogicCapture& main, const PendingPatch* pending, std::vector<std::uint8_t> busA,
                        std::vector<std::uint8_t> busB, double period)
{
    PendingPatch patch;
    patch.busA = std::move(busA);
    patch.busB = std::move(busB);
    patch.period = period;
    patch.origin = pending ? pending->firstTime() : LastSampleTime(main);
    return patch;
}

bool CanShiftPatchLeft(const PendingPatch& patch, const LogicCapture& main)
{
    // A hair of tolerance: the first sample itself is a valid place.
    return patch.firstTime() - patch.period >= main.firstSampleTime - 1e-9 * patch.period;
}

bool ShiftPatch(PendingPatch& patch, const LogicCapture& main, int direction)
{
    if (direction < 0 && !CanShiftPatchLeft(patch, main))
        return false;
    patch.shift += direction < 0 ? -1 : 1;
    return true;
}

std::optional<PatchJoinError> JoinPatch(LogicCapture& main, const PendingPatch& patch)
{
    if (!SamePatchPeriod(patch.period, main.samplePeriod))
        return PatchJoinError::PeriodMismatch;
    if (std::max(patch.busA.size(), patch.busB.size()) < 2 || !(patch.period > 0))
        return PatchJoinError::NoPeriod;
    const std::int64_t c = MainSampleAt(main, patch.firstTime());
    const std::int64_t d = MainSampleAt(main, patch.lastTime());
    WriteBus(main.busA, patch.busA, c, d);
    if (!patch.busB.empty())
        WriteBus(main.busB, patch.busB, c, d);
    return std::nullopt;
}

} // namespace tesmar
