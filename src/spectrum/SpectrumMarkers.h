#pragma once
// The readouts under the two frequency markers: frequencies, each channel's value at them and
// the differences.

#include "SpectrumCurve.h"

#include <array>
#include <optional>
#include <string>

namespace tesmar {

enum class DifferenceColour { Green, Purple }; // green when the second value is the larger

struct ReadoutDifference {
    std::string text;
    DifferenceColour colour = DifferenceColour::Purple;
};

struct SpectrumMarkerReadouts {
    std::array<std::string, 2> frequency;               // M1, M2
    ReadoutDifference frequencyDifference;              // M2 − M1
    std::array<std::array<std::string, 2>, 2> value;    // [marker][channel]
    std::array<ReadoutDifference, 2> valueDifference;   // [channel]
};

struct SpectrumMarkerInput {
    std::array<double, 2> markerFrequency{};            // axis units
    double unit = 1.0;                                  // 1 Hz or 1000 kHz
    std::array<const SpectrumCurvePoints*, 2> curves{}; // null: no curve
    std::array<SpectrumScale, 2> scales{};
    char decimalSeparator = ',';
    // Unit suffixes in the language shown (the message table's).
    std::string hertz = " Гц", kilohertz = " кГц", decibel = " дБ", volt = " В";
};

// The value of an equally spaced curve at axis frequency f: linear between neighbours, none
// outside the curve or for fewer than two points.
std::optional<double> SpectrumValueAt(const SpectrumCurvePoints& curve, double f);

SpectrumMarkerReadouts ComputeSpectrumMarkerReadouts(const SpectrumMarkerInput& input);

} // namespace tesmar
