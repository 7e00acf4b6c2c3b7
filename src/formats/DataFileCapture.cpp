#include "formats/DataFileCapture.h"

#include <algorithm>
#include <cmath>

namespace tesmar {

std::string CaptureLineName(int line)
{
    std::string name = line < 8 ? "A." : "B.";
    name += static_cast<char>('0' + (line & 7));
    return name;
}

std::vector<CaptureLine> CaptureLinesOf(const CaptureSamples& capture, const CaptureLineNames& names)
{
    const int count = capture.busB.empty() ? 8 : 16;
    std::vector<CaptureLine> lines;
    for (int c = 0; c < count; ++c)
        if (!names[static_cast<std::size_t>(c)].empty())
            lines.push_back({c, names[static_cast<std::size_t>(c)]});
    if (lines.empty())
        for (int c = 0; c < count; ++c)
            lines.push_back({c, CaptureLineName(c)});
    return lines;
}

CaptureLineNames NameEveryLine(CaptureLineNames names)
{
    for (std::size_t c = 0; c < names.size(); ++c)
        if (names[c].empty())
            names[c] = CaptureLineName(static_cast<int>(c));
    return names;
}

bool CaptureBusesDiffer(const DataFile& file)
{
    const std::size_t a = file.busA ? file.busA->size() : 0;
    const std::size_t b = file.busB ? file.busB->size() : 0;
    return std::holds_alternative<LogicSettingsChunk>(file.settings) && b > 0 && b != a;
}

std::optional<CaptureSamples> CaptureFromDataFile(const DataFile& file)
{
    const auto* settings = std::get_if<LogicSettingsChunk>(&file.settings);
    if (!settings || CaptureBusesDiffer(file))
        return std::nullopt;
    CaptureSamples capture;
    if (file.busA)
        capture.busA = *file.busA;
    if (file.busB)
        capture.busB = *file.busB;
    // The reader refuses samples without a usable rate; a file of none keeps the default period,
    // so that nothing downstream divides by a period of 0.
    if (std::isfinite(settings->sampleRate) && settings->sampleRate > 0 && std::isfinite(1.0 / settings->sampleRate))
        capture.samplePeriod = 1.0 / settings->sampleRate;
    const double unit = settings->timeUnitFactor > 0 ? settings->timeUnitFactor : 1.0;
    capture.firstSampleTime = settings->firstSampleTime / unit;
    return capture;
}

DataFile LogicDataFile(const CaptureSamples& capture)
{
    LogicSettingsChunk settings;
    settings.sampleRate = capture.samplePeriod > 0 ? 1.0 / capture.samplePeriod : 0.0;
    settings.cbLANZoom = 15; // "1:1"
    settings.sbLANModeBusA = !capture.busB.empty();
    settings.modeByte = capture.busA.size() <= 1544 ? 5 : 6;
    settings.displayMask = 0xFF;
    // The unit the page picks for a window of 128 samples.
    double unit = 1e6;
    double span = unit * 128 * capture.samplePeriod;
    while (span > 10000 && unit > 1) {
        unit /= 1000;
        span /= 1000;
    }
    settings.timeUnitFactor = unit;
    settings.firstSampleTime = capture.firstSampleTime * unit;
    const double samples = static_cast<double>(std::max(capture.busA.size(), capture.busB.size()));
    const double last = capture.firstSampleTime + capture.samplePeriod * std::max(0.0, samples - 1);
    const double window = std::min(last, capture.firstSampleTime + 128 * capture.samplePeriod);
    settings.timeAxis = {window * unit, capture.firstSampleTime * unit};

    DataFile file{settings, {}, {}, {}, capture.busA, std::nullopt};
    if (!capture.busB.empty())
        file.busB = capture.busB;
    return file;
}

} // namespace tesmar
