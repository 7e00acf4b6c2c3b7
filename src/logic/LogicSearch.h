#pragma once
// Finding the next or previous sample where a bus holds a value, or where one line has an edge.
// Works on any capture size: with the capture's summary, blocks that cannot hold a hit are passed
// over whole, and value searches use the C library's byte scan.

#include "logic/LogicSummary.h"

#include <cstdint>
#include <optional>
#include <span>

namespace tesmar {

enum class LogicEdge { Rising, Falling, Any };

struct LogicSearchRequest {
    bool byValue = true;
    std::uint8_t value = 0;     // value searches
    std::uint8_t lineMask = 1;  // edge searches: the bit of the line
    LogicEdge edge = LogicEdge::Rising;
    bool forward = true;
    std::int64_t start = 0;     // raised to 0; a backward start beyond the end begins at the last sample
    // Pass over the rest of the run of samples equal to the value at the start first (value
    // searches continuing from a hit).
    bool skipGroup = false;
};

// Sample index of the hit; for an edge, the first sample after it. `summary`, when given, must
// have been built from `samples`.
std::optional<std::int64_t> FindInCapture(std::span<const std::uint8_t> samples, const LogicSummary* summary,
                                          const LogicSearchRequest& request);

// Where a search begins: from marker 1's sample when there is no hit yet, else next to the hit,
// passing over the hit's run of equal samples when the skip-group option is on.
struct LogicSearchStart {
    std::int64_t index = 0;
    bool skipGroup = false;
};
LogicSearchStart SearchStartFrom(std::optional<std::int64_t> hit, double markerX, double firstX, double step,
                                 bool forward, bool skipGroupOption);

} // namespace tesmar
