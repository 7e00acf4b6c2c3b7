#include "formats/CsvFile.h"

#include "formats/CsvRows.h"
#include "formats/VcdTimeline.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>

namespace tesmar {

std::string WriteCaptureCsv(const CaptureSamples& capture, const CaptureLineNames& names)
{
    std::ostringstream text;
    WriteCaptureCsv(capture, text, names);
    return text.str();
}

void WriteCaptureCsv(const CaptureSamples& capture, std::ostream& stream, const CaptureLineNames& names,
                     const ReadProgress& progress)
{
    const std::vector<CaptureLine> lines = CaptureLinesOf(capture, names);
    const std::size_t count = std::max(capture.busA.size(), capture.busB.size());
    std::string out = "time";
    for (const CaptureLine& line : lines) {
        // A name is one cell: separators and quotes inside it would split or end it.
        std::string name = line.name;
        for (char& c : name)
            if (c == ',' || c == ';' || c == '"' || c == '\t' || c == '\r' || c == '\n')
                c = '_';
        out += "," + name;
    }
    out += "\n";
    out.reserve(kWriteChunk + 64);
    char time[40];
    for (std::size_t i = 0; i < count && stream; ++i) {
        // "%.12g", without the cost of printf on every row.
        const auto written = std::to_chars(time, time + sizeof time,
                                           capture.firstSampleTime + capture.samplePeriod * static_cast<double>(i),
                                           std::chars_format::general, 12);
        out.append(time, static_cast<std::size_t>(written.ptr - time));
        const unsigned value = (i < capture.busA.size() ? capture.busA[i] : 0u) |
                               ((i < capture.busB.size() ? capture.busB[i] : 0u) << 8);
        for (const CaptureLine& line : lines) {
            out += ',';
            out += ((value >> line.channel) & 1) ? '1' : '0';
        }
        out += '\n';
        if (out.size() >= kWriteChunk) {
            stream.write(out.data(), static_cast<std::streamsize>(out.size()));
            out.clear();
            if (progress)
                progress(static_cast<std::int64_t>(i), static_cast<std::int64_t>(count));
        }
    }
    stream.write(out.data(), static_cast<std::streamsize>(out.size()));
}

std::variant<CaptureImport, std::string> ReadCaptureCsv(std::string_view text, std::optional<double> givenRate)
{
    MemoryTextSource source(text);
    return ReadCaptureCsvFrom(source, givenRate);
}

std::variant<CaptureImport, std::string> ReadCaptureCsvFrom(TextSource& source, std::optional<double> givenRate,
                                                        const ReadProgress& progress)
{
    CsvRows rows(source, givenRate, kMaxInterchangeSamples, progress);
    std::vector<LineChange> changes, rowChanges;
    std::vector<double> rowTimes;
    double at = 0.0;
    bool fixesGrid = false;
    while (rows.next(rowChanges, at, fixesGrid)) {
        changes.insert(changes.end(), rowChanges.begin(), rowChanges.end());
        if (fixesGrid && (rowTimes.empty() || rowTimes.back() != at))
            rowTimes.push_back(at);
    }
    if (!rows.problem().empty())
        return rows.problem();
    if (rows.rows() == 0)
        return std::string("the file holds no samples");
    CaptureImport result;
    result.warnings = rows.warnings();
    result.lineNames = rows.lineNames();
    const double lastTime = rows.lastTime();
    if (rowTimes.empty() || rowTimes.back() != lastTime)
        rowTimes.push_back(lastTime);

    const CsvGrid grid = CsvRowGrid(rows.rate(), rows.rate() ? PeriodEstimate{} : EstimateSamplePeriod(rowTimes),
                                    result.warnings);
    const double count = std::round(lastTime / grid.period) + 1;
    if (count > static_cast<double>(kMaxInterchangeSamples))
        return TooManySamplesText(count);
    result.capture = ResampleChanges(changes, grid.period, static_cast<std::int64_t>(count), rows.hasBusB());
    result.capture.samplePeriod = grid.seconds;
    result.capture.firstSampleTime = rows.hasTimeColumn() ? rows.firstTime() : 0.0;
    return result;
}

} // namespace tesmar
