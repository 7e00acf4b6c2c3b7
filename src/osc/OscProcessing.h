#pragma once
// The processing chain between a finished record and the chart: channel arithmetic, general
// parameters before or after processing, wavelet smoothing and the spectral filter.

#include "OscResult.h"
#include "dsp/FilterPoint.h"
#include "dsp/SignalParams.h"

#include <optional>
#include <span>
#include <vector>

namespace tesmar {

enum class ChannelMath { None, AplusB, AminusB, BplusA, BminusA };

struct ChannelProcessing {
    bool invert = false;               // "A=-A" / "B=-B"
    int smoothingLevel = 0;            // 0 none … 3 maximal
    bool filterOn = false;             // the channel's filter check box
    std::span<const FilterPoint> response; // applied when it has more than one point
};

struct ProcessedChannel {
    std::vector<double> values;        // empty: the channel has no points
    std::optional<SignalParams> params;
    int trigIndex = 0;
    double shift = 0.0;                // in point intervals: B lies half an interval later
};

struct ProcessedRecord {
    ProcessedChannel a, b;
};

// Wavelet order and level count of a smoothing level of the menu.
struct SmoothingStrength {
    int levels = 0, order = 4;
};
SmoothingStrength SmoothingFor(int menuLevel);

ProcessedRecord ProcessOscRecord(const OscResult& record, double dt, bool paramsBeforeProcessing,
                                 const ChannelProcessing& a, const ChannelProcessing& b, ChannelMath math);

} // namespace tesmar
