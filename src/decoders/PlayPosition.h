#pragma once
// Position in a bit or slot stream of generator sample `offset`, when each sample advances it
// by `step`. Computed from the offset rather than summed step by step, and nudged so that a
// position meant to be a whole number is not truncated to the one below it.

#include <cstdint>

namespace tesmar {

inline double PlayPosition(std::int64_t offset, double step)
{
    return static_cast<double>(offset) * step + 1e-9;
}

} // namespace tesmar
