#pragma once
// One analogue signal the virtual instrument's inputs see: a waveform of time with amplitude,
// frequency and offset, optionally with Gaussian noise. The noise comes from a fixed seed and the
// moment of the sample, so the same scene sampled at the same times gives the same values.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tesmar {

enum class Waveform { Sine, Square, Triangle, Dc, Noise };

class SignalSource {
public:
    SignalSource() = default;
    SignalSource(Waveform waveform, double amplitude, double frequency, double offset = 0.0);

    static SignalSource Sine(double amplitude, double frequency, double offset = 0.0);
    static SignalSource Square(double amplitude, double frequency, double offset = 0.0);
    static SignalSource Triangle(double amplitude, double frequency, double offset = 0.0);
    static SignalSource Dc(double volts);
    // Noise only: `deviation` is the standard deviation around `offset`.
    static SignalSource Noise(double deviation, double offset = 0.0, std::uint64_t seed = 1);

    // Starting phase of the periodic waveforms, degrees.
    SignalSource& withPhase(double degrees);
    // Gaussian noise of standard deviation `deviation` added to the waveform.
    SignalSource& withNoise(double deviation, std::uint64_t seed = 1);
    // A sine at `order` times the frequency, `relative` times the amplitude, in phase with it.
    SignalSource& withHarmonic(int order, double relative);

    // "sine:2:1000", "square:1:500:0.5", "dc:1.5", "noise:0.1", each optionally followed by
    // ",h3=0.1" harmonics and ",noise=0.01"; none with a reason in `error` when it does not parse.
    static std::optional<SignalSource> Parse(const std::string& text, std::string* error = nullptr);

    Waveform waveform() const { return waveform_; }
    double amplitude() const { return amplitude_; }
    double frequency() const { return frequency_; }
    double offset() const { return offset_; }

    // Volts at `seconds` of instrument time.
    double valueAt(double seconds) const;

private:
    double periodic(double seconds) const;
    double gaussian(double seconds) const;

    Waveform waveform_ = Waveform::Dc;
    double amplitude_ = 0.0;
    double frequency_ = 0.0;
    double offset_ = 0.0;
    double phaseDegrees_ = 0.0;
    double noiseDeviation_ = 0.0;
    std::uint64_t seed_ = 1;
    struct Harmonic {
        int order;
        double relative;
    };
    std::vector<Harmonic> harmonics_;
};

} // namespace tesmar
