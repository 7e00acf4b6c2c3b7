#include "SignalSource.h"

#include <cmath>
#include <numbers>

namespace tesmar {

namespace {

// splitmix64: a well-mixed 64-bit value from any input, so neighbouring instants are unrelated.
std::uint64_t Mix(std::uint64_t x)
{
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

double Unit(std::uint64_t bits)
{
    // 53 bits into (0, 1]: never 0, so the logarithm below stays finite.
    return (static_cast<double>(bits >> 11) + 1.0) / 9007199254740992.0;
}

} // namespace

SignalSource::SignalSource(Waveform waveform, double amplitude, double frequency, double offset)
    : waveform_(waveform), amplitude_(amplitude), frequency_(frequency), offset_(offset)
{
}

SignalSource SignalSource::Sine(double amplitude, double frequency, double offset)
{
    return {Waveform::Sine, amplitude, frequency, offset};
}

SignalSource SignalSource::Square(double amplitude, double frequency, double offset)
{
    return {Waveform::Square, amplitude, frequency, offset};
}

SignalSource SignalSource::Triangle(double amplitude, double frequency, double offset)
{
    return {Waveform::Triangle, amplitude, frequency, offset};
}

SignalSource SignalSource::Dc(double volts)
{
    return {Waveform::Dc, 0.0, 0.0, volts};
}

SignalSource SignalSource::Noise(double deviation, double offset, std::uint64_t seed)
{
    SignalSource source{Waveform::Noise, 0.0, 0.0, offset};
    source.withNoise(deviation, seed);
    return source;
}

SignalSource& SignalSource::withPhase(double degrees)
{
    phaseDegrees_ = degrees;
    return *this;
}

SignalSource& SignalSource::withNoise(double deviation, std::uint64_t seed)
{
    noiseDeviation_ = deviation;
    seed_ = seed;
    return *this;
}

double SignalSource::valueAt(double seconds) const
{
    double value = offset_ + periodic(seconds);
    if (noiseDeviation_ != 0.0)
        value += noiseDeviation_ * gaussian(seconds);
    return value;
}

double SignalSource::periodic(double seconds) const
{
    const double cycles = frequency_ * seconds + phaseDegrees_ / 360.0;
    const double fraction = cycles - std::floor(cycles); // 0 … 1 within the period
    switch (waveform_) {
    case Waveform::Sine: return amplitude_ * std::sin(2.0 * std::numbers::pi * fraction);
    case Waveform::Square: return fraction < 0.5 ? amplitude_ : -amplitude_;
    case Waveform::Triangle: {
        // In step with the sine: 0 rising at the start, peak at a quarter period.
        double u = fraction + 0.25;
        u -= std::floor(u);
        return amplitude_ * (1.0 - 4.0 * std::fabs(u - 0.5));
    }
    case Waveform::Dc:
    case Waveform::Noise: return 0.0;
    }
    return 0.0;
}

double SignalSource::gaussian(double seconds) const
{
    // Keyed by the nanosecond of the sample: a repeated run sees the same noise.
    const auto instant = static_cast<std::uint64_t>(std::llround(seconds * 1e9));
    const std::uint64_t first = Mix(seed_ ^ Mix(instant));
    const std::uint64_t second = Mix(first);
    // Box–Muller from two uniforms.
    return std::sqrt(-2.0 * std::log(Unit(first))) * std::cos(2.0 * std::numbers::pi * Unit(second));
}

} // namespace tesmar
