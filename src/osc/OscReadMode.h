#pragma once
// Which way a record is read: through the instrument's buffer for short sample periods, as a
// stream beyond the boundary the options set, with the record length and pre-trigger of that way.

#include "OscBufferDecoder.h"
#include "OscOptions.h"

#include <optional>

namespace tesmar {

struct OscReadMode {
    bool stream = false;
    int capacity = kOscBufferSamples; // points per channel
    int preTrigger = 100;
    double quantizedTd = 0.0;        // QuantizePeriod of the sample period
};

// `boundaryPeriod` is the period of the time-base entry the option "Tд грн. буфера" names; none
// for "Все" (every period reads through the buffer). With both channels on the boundary doubles.
OscReadMode ChooseOscReadMode(double samplePeriod, std::optional<double> boundaryPeriod, bool bothChannels,
                              const OscOptions& options);

} // namespace tesmar
