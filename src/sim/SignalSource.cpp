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

SignalSource& SignalSource::withHarmonic(int order, double relative)
{
    harmonics_.push_back({order, relative});
    return *this;
}

std::optional<SignalSource> SignalSource::Parse(const std::string& text, std::string* error)
{
    auto fail = [&](const std::string& why) -> std::optional<SignalSource> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    auto number = [](const std::string& s) -> std::optional<double> {
        try {
            std::size_t used = 0;
            const double v = std::stod(s, &used);
            if (used == s.size() && std::isfinite(v))
                return v;
        } catch (...) {
        }
        return std::nullopt;
    };
    std::vector<std::string> parts;
    std::string part;
    for (char c : text + ",") {
        if (c == ',') {
            parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    std::vector<std::string> fields;
    for (char c : parts[0] + ":") {
        if (c == ':') {
            fields.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    std::vector<double> values;
    for (std::size_t i = 1; i < fields.size(); ++i) {
        const auto v = number(fields[i]);
        if (!v)
            return fail("not a number: '" + fields[i] + "'");
        values.push_back(*v);
    }
    const std::string& kind = fields[0];
    SignalSource source;
    if (kind == "dc" && values.size() == 1) {
        source = Dc(values[0]);
    } else if (kind == "noise" && (values.size() == 1 || values.size() == 2)) {
        source = Noise(values[0], values.size() == 2 ? values[1] : 0.0);
    } else if ((kind == "sine" || kind == "square" || kind == "triangle") && (values.size() == 2 || values.size() == 3)) {
        const Waveform w = kind == "sine" ? Waveform::Sine : kind == "square" ? Waveform::Square : Waveform::Triangle;
        if (!(values[1] > 0))
            return fail("the frequency must be above 0");
        source = SignalSource(w, values[0], values[1], values.size() == 3 ? values[2] : 0.0);
    } else {
        return fail("expected sine|square|triangle:AMPLITUDE:FREQUENCY[:OFFSET], dc:VOLTS or noise:DEVIATION");
    }
    for (std::size_t i = 1; i < parts.size(); ++i) {
        const std::string& p = parts[i];
        const auto eq = p.find('=');
        const auto v = eq == std::string::npos ? std::nullopt : number(p.substr(eq + 1));
        if (!v)
            return fail("expected hN=RELATIVE or noise=DEVIATION: '" + p + "'");
        if (p.rfind("noise=", 0) == 0) {
            source.withNoise(*v);
        } else if (p.size() > 1 && p[0] == 'h') {
            const auto order = number(p.substr(1, eq - 1));
            if (!order || *order < 2 || *order > 50 || *order != std::floor(*order))
                return fail("harmonic order must be a whole number 2 … 50: '" + p + "'");
            source.withHarmonic(static_cast<int>(*order), *v);
        } else {
            return fail("expected hN=RELATIVE or noise=DEVIATION: '" + p + "'");
        }
    }
    return source;
}

double SignalSource::valueAt(double seconds) const
{
    double value = offset_ + periodic(seconds);
    if (!harmonics_.empty()) {
        const double cycles = frequency_ * seconds + phaseDegrees_ / 360.0;
        const double fraction = cycles - std::floor(cycles);
        for (const Harmonic& h : harmonics_)
            value += amplitude_ * h.relative * std::sin(2.0 * std::numbers::pi * h.order * fraction);
    }
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
