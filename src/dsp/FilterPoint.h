#pragma once
// One breakpoint of a drawn frequency response; the gain is a linear factor (1 = unchanged).

namespace tesmar {

struct FilterPoint {
    double frequency = 0.0; // Hz
    double gain = 1.0;
    bool operator==(const FilterPoint&) const = default;
};

} // namespace tesmar
