#include "SpectrumReadType.h"

#include "device/DeviceClock.h"

namespace tesmar {

SpectrumReadType ChooseSpectrumReadType(double knobRate, std::optional<double> boundaryRate, bool bothChannels,
                                        int streamLength)
{
    double boundary = boundaryRate ? QuantizeRate(*boundaryRate) : 0.0;
    if (bothChannels)
        boundary /= 2;
    SpectrumReadType type;
    type.sampleRate = QuantizeRate(knobRate);
    type.buffered = type.sampleRate > boundary;
    type.length = type.buffered ? kSpectrumBufferLength : streamLength;
    return type;
}

} // namespace tesmar
