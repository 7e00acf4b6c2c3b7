#pragma once
// Which read a spectrum measurement uses at a sample rate, and how many samples it takes.

#include <optional>

namespace tesmar {

inline constexpr int kSpectrumBufferLength = 1024;
inline constexpr int kSpectrumRateEntriesBoth = 29; // up to 100 kHz with both channels on

struct SpectrumReadType {
    double sampleRate = 0.0; // Fs: the knob rate on the instrument's clock
    bool buffered = true;
    int length = kSpectrumBufferLength; // N
};

// `boundaryRate` is the rate of the option's knob entry, none for "Все" (every rate buffered).
SpectrumReadType ChooseSpectrumReadType(double knobRate, std::optional<double> boundaryRate, bool bothChannels,
                                        int streamLength);

} // namespace tesmar
