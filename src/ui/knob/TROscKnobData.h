#pragma once
// One entry of a knob's scale: what the entry means and where it sits.

#include <string>
#include <vector>

namespace tesmar {

struct TROscKnobData {
    double ValueReal = 0; // Value × 10^Exp, the physical value
    double Angle = 0;     // degrees, 0 straight up, counter-clockwise positive
    double Value = 0;     // the number shown on the scale and in the caption
    double Exp = 0;       // power of ten
    std::string Dimension;
    std::string Hint;
};

// The parsed scale: one entry per line of the scale list, in the same order.
using TOscKnobData = std::vector<TROscKnobData>;

} // namespace tesmar
