#pragma once
// Measurement data files of the oscilloscope and spectrum analyser commands, laid out as the
// program's pages save them, so that the program's Open shows the same measurement.

#include "formats/DataFile.h"
#include "osc/OscResult.h"
#include "spectrum/SpectrumProcessing.h"

#include <array>
#include <optional>
#include <string_view>

namespace tesmar {

// The entry of a page knob nearest to a value (its `IndexSelectData`); 0 for an unknown knob.
int KnobIndexFor(std::string_view knob, double value);

struct OscFileInput {
    double pointPeriod = 0;              // s
    std::array<bool, 2> on{true, false};
    std::array<double, 2> rangeVolts{20, 20};
    std::array<double, 2> triggerLevels{2.0, -2.0};
};
DataFile OscilloscopeDataFile(const OscResult& result, const OscFileInput& in);

struct SpectrumFileInput {
    std::array<bool, 2> on{true, false};
    std::array<double, 2> rangeVolts{20, 20};
    SpectrumScale scale;
    std::optional<double> manualF1;
};
DataFile SpectrumDataFile(const SpectrumRecord& record, const SpectrumFileInput& in);

} // namespace tesmar
