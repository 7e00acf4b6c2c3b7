#include "formats/VcdFile.h"

#include "formats/VcdStream.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <optional>
#include <cstdio>
#include <sstream>

namespace tesmar {

namespace {

struct TimescaleUnit {
    const char* name;
    double seconds;
};
constexpr TimescaleUnit kUnits[] = {{"s", 1.0}, {"ms", 1e-3}, {"us", 1e-6}, {"ns", 1e-9}, {"ps", 1e-12}, {"fs", 1e-15}};

std::string TimescaleText(double tick)
{
    for (const TimescaleUnit& unit : kUnits)
        for (int multiple : {100, 10, 1})
            if (std::fabs(tick - multiple * unit.seconds) <= 1e-6 * tick)
                return std::to_string(multiple) + " " + unit.name;
    return "1 ps";
}

std::string WireId(int line)
{
    return std::string(1, static_cast<char>('!' + line));
}

// A reference is one word: blanks inside a line's name become underscores.
std::string VcdReference(std::string name)
{
    for (char& c : name)
        if (static_cast<unsigned char>(c) <= ' ')
            c = '_';
    return name;
}

} // namespace

double VcdTimescaleFor(double samplePeriod, std::size_t sampleCount)
{
    // Stamps are 64-bit: the whole capture must fit in ticks.
    const double samples = static_cast<double>(sampleCount) + 1;
    auto fits = [&](double tick) { return samplePeriod / tick * samples < 4e18; };
    for (const TimescaleUnit& unit : kUnits) {
        for (int multiple : {100, 10, 1}) {
            const double tick = multiple * unit.seconds;
            const double ticks = samplePeriod / tick;
            if (ticks >= 0.999999 && std::fabs(ticks - std::round(ticks)) <= 1e-4 && fits(tick))
                return tick;
        }
    }
    for (double tick : {1e-12, 1e-9, 1e-6, 1e-3})
        if (fits(tick))
            return tick;
    return 1.0;
}

std::string WriteVcd(const CaptureSamples& capture, const CaptureLineNames& names)
{
    std::ostringstream text;
    WriteVcd(capture, text, names);
    return text.str();
}

void WriteVcd(const CaptureSamples& capture, std::ostream& stream, const CaptureLineNames& names,
              const ReadProgress& progress)
{
    const std::size_t count = std::max(capture.busA.size(), capture.busB.size());
    const double tick = VcdTimescaleFor(capture.samplePeriod, count);
    const double ticksPerSample = capture.samplePeriod / tick;
    const std::vector<CaptureLine> written = CaptureLinesOf(capture, names);
    unsigned mask = 0;
    for (const CaptureLine& line : written)
        mask |= 1u << line.channel;

    std::string out;
    out += "$version tesmar $end\n";
    out += "$timescale " + TimescaleText(tick) + " $end\n";
    // The exact period goes along in a comment: rounded stamps over a long idle stretch, or a
    // capture whose lines change only every few samples, cannot tell it on their own.
    char hint[64];
    std::snprintf(hint, sizeof hint, "$comment sample_period %.17g $end\n", capture.samplePeriod);
    out += hint;
    const auto zero = std::llround(capture.firstSampleTime / tick);
    if (zero != 0)
        out += "$timezero " + std::to_string(zero) + " $end\n";
    out += "$scope module tesmar $end\n";
    for (const CaptureLine& line : written)
        out += "$var wire 1 " + WireId(line.channel) + " " + VcdReference(line.name) + " $end\n";
    out += "$upscope $end\n$enddefinitions $end\n";

    auto sample = [&](std::size_t i) -> unsigned {
        const unsigned a = i < capture.busA.size() ? capture.busA[i] : 0;
        const unsigned b = i < capture.busB.size() ? capture.busB[i] : 0;
        return a | (b << 8);
    };
    auto stamp = [&](std::size_t i) {
        return "#" + std::to_string(std::llround(static_cast<double>(i) * ticksPerSample)) + "\n";
    };
    if (count == 0) {
        out += "#0\n";
        stream.write(out.data(), static_cast<std::streamsize>(out.size()));
        return;
    }
    unsigned previous = sample(0);
    out += "#0\n$dumpvars\n";
    for (const CaptureLine& line : written)
        out += ((previous >> line.channel) & 1 ? "1" : "0") + WireId(line.channel) + "\n";
    out += "$end\n";
    for (std::size_t i = 1; i < count && stream; ++i) {
        const unsigned value = sample(i);
        const unsigned changed = (value ^ previous) & mask;
        if (!changed)
            continue;
        if (out.size() >= kWriteChunk) {
            stream.write(out.data(), static_cast<std::streamsize>(out.size()));
            out.clear();
            if (progress)
                progress(static_cast<std::int64_t>(i), static_cast<std::int64_t>(count));
        }
        out += stamp(i);
        for (int line = 0; line < 16; ++line)
            if ((changed >> line) & 1)
                out += ((value >> line) & 1 ? "1" : "0") + WireId(line) + "\n";
        previous = value;
    }
    out += stamp(count); // the end of the last sample
    stream.write(out.data(), static_cast<std::streamsize>(out.size()));
}

std::variant<CaptureImport, std::string> ReadVcd(std::string_view text)
{
    return ReadVcdFrom(std::make_unique<MemoryTextSource>(text));
}

std::variant<CaptureImport, std::string> ReadVcdFrom(std::unique_ptr<TextSource> source, const ReadProgress& progress)
{
    auto opened = VcdStream::Open(std::move(source), {}, progress);
    if (auto* refusal = std::get_if<std::string>(&opened))
        return std::move(*refusal);
    VcdStream& stream = *std::get<std::unique_ptr<VcdStream>>(opened);
    auto samples = stream.samples(progress);
    if (auto* refusal = std::get_if<std::string>(&samples))
        return std::move(*refusal);
    CaptureImport result;
    result.capture = std::move(std::get<CaptureSamples>(samples));
    result.warnings = stream.warnings();
    result.lineNames = stream.lineNames();
    return result;
}

} // namespace tesmar
