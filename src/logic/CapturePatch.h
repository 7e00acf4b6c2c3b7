#pragma once
// Patching: a new buffered capture waits, drawn after the one shown, until the user has slid it
// into line sample by sample and joins it onto the bus captures.

#include "logic/LogicCapture.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace tesmar {

struct PendingPatch {
    std::vector<std::uint8_t> busA, busB; // the new capture, not yet part of the bus captures
    double period = 1e-6;                 // its sample period, s
    double origin = 0.0;                  // where its sample 0 was placed, s
    std::int64_t shift = 0;               // samples of its own period moved from the origin

    double firstTime() const { return origin + static_cast<double>(shift) * period; }
    double lastTime() const;
};

// Whether two sample periods are the same rate (the page compares the capture's 1/Fs values).
bool SamePatchPeriod(double a, double b);

// A new capture placed after `main`: at its last sample, or where a pending patch starts (a new
// capture replaces the pending one in the same place).
PendingPatch PlacePatch(const LogicCapture& main, const PendingPatch* pending, std::vector<std::uint8_t> busA,
                        std::vector<std::uint8_t> busB, double period);

// A patch never starts before the main capture's first sample; to the right there is no limit.
bool CanShiftPatchLeft(const PendingPatch& patch, const LogicCapture& main);
// One sample left (-1) or right (+1); false when it may not move.
bool ShiftPatch(PendingPatch& patch, const LogicCapture& main, int direction);

enum class PatchJoinError {
    PeriodMismatch, // the rates differ
    NoPeriod,       // the patch has fewer than two samples: no step to join by
};

// Writes the patch into the bus captures: patch sample j goes to sample c + j for c … d − 1,
// c and d being the main capture's samples under the patch's first and last sample; the buses
// grow with low samples to d where they are shorter (bus B only when the patch has bus B).
std::optional<PatchJoinError> JoinPatch(LogicCapture& main, const PendingPatch& patch);

} // namespace tesmar
