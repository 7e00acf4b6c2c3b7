#pragma once
// The spectrum's measurement on the oscilloscope's readers: what the reader takes from the
// spectrum block, and the samples of each channel taken from the finished record.

#include "device/AnalogBlockBuilders.h"
#include "osc/OscAcquisitionParams.h"
#include "osc/OscResult.h"

#include <span>

namespace tesmar {

// No trigger; a stream record holds exactly the block's capacity (N) per channel.
OscAcquisitionParams SpectrumAcquisitionParams(const SpectrumBlock& block, bool eightBit);

// The captured samples of `channel` (0 A, 1 B), at most N of them; empty when not captured.
std::span<const double> SpectrumSamples(const OscResult& result, int channel, int length);

} // namespace tesmar
