#include "OscReadMode.h"

#include "device/DeviceClock.h"

namespace tesmar {

OscReadMode ChooseOscReadMode(double samplePeriod, std::optional<double> boundaryPeriod, bool bothChannels,
                              const OscOptions& options)
{
    double boundary = boundaryPeriod ? QuantizePeriod(*boundaryPeriod) : 999.0;
    if (bothChannels)
        boundary *= 2;
    OscReadMode mode;
    mode.quantizedTd = QuantizePeriod(samplePeriod);
    mode.stream = mode.quantizedTd >= boundary;
    mode.capacity = mode.stream ? options.count_osc_sample_pipe : kOscBufferSamples;
    mode.preTrigger = mode.stream ? options.count_osc_pass_sample_pipe : options.count_osc_pass_sample_buf;
    return mode;
}

} // namespace tesmar
