#pragma once
// General parameters of a sampled channel as shown beside the oscilloscope and spectrum charts.

#include <span>

namespace tesmar {

struct SignalParams {
    double Uconst = 0.0; // mean, V
    double Uvaria = 0.0; // population standard deviation (RMS of the variable part), V
    double Umax = 0.0;
    double Umin = 0.0;
    double F = 0.0; // Hz from zero crossings; 0 when it cannot be determined
};

// Fs is the sample rate in Hz. An empty record gives all zeros.
SignalParams ComputeSignalParams(std::span<const double> samples, double sampleRate);

} // namespace tesmar
