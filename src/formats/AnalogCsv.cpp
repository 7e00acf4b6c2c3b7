#include "formats/AnalogCsv.h"

#include <algorithm>
#include <cstdio>

namespace tesmar {

namespace {

void AppendNumber(std::string& out, double value)
{
    char text[40];
    const int length = std::snprintf(text, sizeof text, "%.12g", value);
    out.append(text, static_cast<std::size_t>(length));
}

// The abscissa of point i of a channel.
struct Axis {
    const char* title;
    double originA;
    double originB;
    double step;
};

std::string Table(const DataFile& file, const Axis& axis)
{
    static const std::vector<double> none;
    const std::vector<double>& a = file.channelA ? *file.channelA : none;
    const std::vector<double>& b = file.channelB ? *file.channelB : none;
    std::string out = std::string(axis.title) + ",A,B\n";
    const std::size_t rows = std::max(a.size(), b.size());
    for (std::size_t i = 0; i < rows; ++i) {
        const double origin = i < a.size() ? axis.originA : axis.originB;
        AppendNumber(out, origin + axis.step * static_cast<double>(i));
        out += ',';
        if (i < a.size())
            AppendNumber(out, a[i]);
        out += ',';
        if (i < b.size())
            AppendNumber(out, b[i]);
        out += '\n';
    }
    return out;
}

} // namespace

std::optional<std::string> AnalogDataFileToCsv(const DataFile& file)
{
    if (const auto* osc = std::get_if<OscSettingsChunk>(&file.settings))
        return Table(file, {"time_s", osc->firstTimeA, osc->firstTimeB, osc->samplePeriod});
    if (const auto* spectrum = std::get_if<SpectrumSettingsChunk>(&file.settings)) {
        // n spectrum values of a transform of 2n − 2 points: bin i at i × Fs / (2n − 2).
        const std::size_t n = std::max(file.channelA ? file.channelA->size() : 0, file.channelB ? file.channelB->size() : 0);
        const double length = n > 1 ? static_cast<double>(2 * n - 2) : 1.0;
        return Table(file, {"frequency_hz", 0.0, 0.0, spectrum->sampleRate / length});
    }
    if (const auto* recorder = std::get_if<RecorderSettingsChunk>(&file.settings))
        return Table(file, {"time_s", 0.0, 0.0, recorder->samplePeriod});
    return std::nullopt;
}

} // namespace tesmar
