#pragma once
// The input multiplexer and the 10-bit converter of the virtual instrument: an input selector
// code picks a channel and its range, and the voltage becomes the code the host turns back into
// volts with the same calibration pair.

#include "AnalogScene.h"
#include "device/Calibration.h"

#include <cstdint>

namespace tesmar {

class AnalogFrontEnd {
public:
    // `record` is the instrument's calibration record; a blank record, or a pair that cannot
    // convert (not finite, or not a positive step), leaves the built-in default for that pair.
    AnalogFrontEnd(const AnalogScene& scene, const CalibrationRecord& record);

    // The raw sample 0 … 1023 of the input `selectorCode` at `seconds`.
    int sample(std::uint8_t selectorCode, double seconds) const;
    // The external trigger input's logic level at `seconds`.
    bool externalHigh(double seconds) const;

    static int VoltsToRaw(double volts, const CalibrationPair& pair);
    const CalibrationSet& pairs() const { return pairs_; }

private:
    AnalogScene scene_;
    CalibrationSet pairs_;
};

} // namespace tesmar
