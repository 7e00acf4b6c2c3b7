#include "formats/CsvFile.h"

#include "formats/LineReader.h"
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

namespace {

// Into `cells`, which is reused from line to line.
void SplitCells(std::string_view line, char separator, std::vector<std::string_view>& cells)
{
    cells.clear();
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = line.find(separator, start);
        std::string_view cell = line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        while (!cell.empty() && (cell.front() == ' ' || cell.front() == '"'))
            cell.remove_prefix(1);
        while (!cell.empty() && (cell.back() == ' ' || cell.back() == '"' || cell.back() == '\r'))
            cell.remove_suffix(1);
        cells.push_back(cell);
        if (end == std::string_view::npos)
            return;
        start = end + 1;
    }
}

bool ParseDouble(std::string_view text, double& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

bool UnknownLevel(std::string_view cell)
{
    return cell == "x" || cell == "X" || cell == "z" || cell == "Z";
}

// A line's level: 0 or 1 (also written 0.0, 1.0), or x and z (unknown, read as low). Any other
// number is no logic level.
std::optional<unsigned> LineLevel(std::string_view cell)
{
    if (cell.size() == 1 && (cell[0] == '0' || cell[0] == '1'))
        return static_cast<unsigned>(cell[0] - '0');
    if (UnknownLevel(cell))
        return 0u;
    double number = 0;
    if (!ParseDouble(cell, number) || (number != 0 && number != 1))
        return std::nullopt;
    return number != 0 ? 1u : 0u;
}

std::string Lower(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string_view TrimSpaces(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// How a time column counts: our files and most tools in seconds; sigrok names the column by its
// unit, or "samples" at the slowest rates.
enum class TimeUnit { Seconds, Milliseconds, Microseconds, Nanoseconds, Samples, NamedTime };

std::optional<TimeUnit> TimeColumnUnit(const std::string& header)
{
    const std::string name = Lower(header);
    if (name == "seconds")
        return TimeUnit::Seconds;
    if (name == "milliseconds")
        return TimeUnit::Milliseconds;
    if (name == "microseconds")
        return TimeUnit::Microseconds;
    if (name == "nanoseconds")
        return TimeUnit::Nanoseconds;
    if (name == "samples")
        return TimeUnit::Samples;
    if (name == "time")
        return TimeUnit::NamedTime;
    if (name.find("time") != std::string::npos)
        return TimeUnit::Seconds;
    return std::nullopt;
}

// Seconds per unit of a time column. A column headed just "time" is in seconds, unless the file
// states its rate: then it is sigrok's, labelled by channel, in the unit sigrok picks for that
// rate.
double SecondsPer(TimeUnit unit, std::optional<double> rate)
{
    if (unit == TimeUnit::NamedTime) {
        if (!rate)
            return 1.0;
        unit = *rate > 1e6   ? TimeUnit::Nanoseconds
               : *rate > 1e3 ? TimeUnit::Microseconds
               : *rate > 1   ? TimeUnit::Milliseconds
                             : TimeUnit::Samples;
    }
    switch (unit) {
    case TimeUnit::Milliseconds: return 1e-3;
    case TimeUnit::Microseconds: return 1e-6;
    case TimeUnit::Nanoseconds: return 1e-9;
    case TimeUnit::Samples: return rate ? 1.0 / *rate : 1.0;
    default: return 1.0;
    }
}

// sigrok's comment lines: "Samplerate: 250 kHz" and "Channels (3/13): D0, D1, D2".
void ReadComment(std::string_view comment, std::optional<double>& rate, std::vector<std::string>& channels)
{
    comment = TrimSpaces(comment);
    const std::size_t colon = comment.find(':');
    if (colon == std::string_view::npos)
        return;
    const std::string key = Lower(TrimSpaces(comment.substr(0, colon)));
    const std::string_view value = TrimSpaces(comment.substr(colon + 1));
    if (key == "samplerate") {
        rate = ParseRateText(value);
    } else if (key.starts_with("channels")) {
        channels.clear();
        std::size_t start = 0;
        while (start <= value.size()) {
            const std::size_t comma = std::min(value.find(',', start), value.size());
            channels.emplace_back(TrimSpaces(value.substr(start, comma - start)));
            start = comma + 1;
        }
    }
}

} // namespace

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
    CaptureImport result;
    char separator = 0;
    std::vector<std::string> names;
    int timeColumn = -1;
    TimeUnit timeUnit = TimeUnit::Seconds;
    std::optional<double> statedRate;
    std::vector<std::string> commentNames;
    std::vector<int> channels;
    bool hasBusB = false;
    std::vector<LineChange> changes;
    std::vector<double> rowTimes;
    std::vector<unsigned> previous;
    std::size_t rows = 0;
    double firstTime = 0.0;
    std::size_t lineNumber = 0;
    double lastTime = 0.0;
    std::size_t lastLineNumber = 0;
    std::size_t unknownLevels = 0;
    std::string firstUnknown;
    // Where the rows are placed: on the stated rate's sample grid (by sample index), else in
    // seconds from the time column.
    std::optional<double> rate;
    double toSeconds = 1.0;

    LineReader lines(source);
    std::vector<std::string_view> cells;
    std::string_view line;
    while (lines.next(line)) {
        ++lineNumber;
        if (progress && lineNumber % 65536 == 0)
            progress(lines.consumed(), source.size());
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.remove_suffix(1);
        if (line.empty())
            continue;
        if (line.front() == ';' || line.front() == '#') {
            if (names.empty())
                ReadComment(line.substr(1), statedRate, commentNames);
            continue;
        }
        if (!separator)
            separator = line.find(',') != std::string_view::npos ? ','
                        : line.find(';') != std::string_view::npos ? ';'
                                                                   : '\t';
        SplitCells(line, separator, cells);
        if (channels.empty() && names.empty()) {
            // The first row: a header when any cell is not a number.
            bool header = false;
            double ignored = 0;
            for (auto cell : cells)
                header = header || !ParseDouble(cell, ignored);
            std::size_t logicColumn = 0;
            for (std::size_t c = 0; c < cells.size(); ++c) {
                const std::string name = header ? std::string(cells[c]) : "";
                const auto unit = header && timeColumn < 0 ? TimeColumnUnit(name) : std::nullopt;
                if (unit) {
                    timeColumn = static_cast<int>(c);
                    timeUnit = *unit;
                    names.push_back("");
                    continue;
                }
                // sigrok names its columns by their kind ("logic") and lists the channel names
                // in a comment.
                if (Lower(name) == "logic")
                    names.push_back(logicColumn < commentNames.size() ? commentNames[logicColumn] : "");
                else
                    names.push_back(name);
                ++logicColumn;
            }
            rate = statedRate ? statedRate : (timeColumn < 0 || timeUnit == TimeUnit::Samples) ? givenRate : std::nullopt;
            if (givenRate && statedRate)
                result.warnings.push_back("the file states its own sample rate; the rate given is not used");
            else if (givenRate && !rate)
                result.warnings.push_back("the file has a time column; the rate given is not used");
            if (!rate && timeColumn < 0)
                return std::string("the file states no sample rate and has no time column (give the rate)");
            if (!rate && timeUnit == TimeUnit::Samples)
                return std::string("the file counts time in samples but states no sample rate (give the rate)");
            if (rate && !(*rate > 0 && *rate <= 1e12))
                return std::string("the sample rate is out of range");
            if (timeColumn >= 0)
                toSeconds = SecondsPer(timeUnit, rate);

            std::vector<std::string> lineNames;
            for (std::size_t c = 0; c < names.size(); ++c)
                if (static_cast<int>(c) != timeColumn)
                    lineNames.push_back(names[c]);
            const auto assigned = AssignCaptureLines(lineNames, result.warnings);
            channels.assign(names.size(), -1);
            std::size_t next = 0;
            for (std::size_t c = 0; c < names.size(); ++c)
                if (static_cast<int>(c) != timeColumn) {
                    channels[c] = assigned[next++];
                    hasBusB = hasBusB || channels[c] >= 8;
                    // Every column is a line, named or not.
                    if (channels[c] >= 0)
                        result.lineNames[static_cast<std::size_t>(channels[c])] =
                            names[c].empty() ? CaptureLineName(channels[c]) : names[c];
                }
            previous.assign(names.size(), 2);
            if (header)
                continue;
        }
        if (cells.size() < names.size())
            return "line " + std::to_string(lineNumber) + " has " + std::to_string(cells.size()) + " cells, " +
                   std::to_string(names.size()) + " expected";
        double time = static_cast<double>(rows);
        if (timeColumn >= 0) {
            const std::string_view cell = cells[static_cast<std::size_t>(timeColumn)];
            if (!ParseDouble(cell, time) || !std::isfinite(time))
                return "line " + std::to_string(lineNumber) + ": bad time '" + std::string(cell.substr(0, 40)) + "'";
            time *= toSeconds;
        }
        if (rows == 0)
            firstTime = time;
        double at = time - firstTime;
        // On a stated rate a row's time only says which sample it is (sigrok writes whole units,
        // cut, not rounded).
        if (rate && timeColumn >= 0)
            at = std::round(at * *rate);
        if (!std::isfinite(at))
            return "line " + std::to_string(lineNumber) + ": time out of range";
        if (rows > 0 && at < lastTime)
            return "line " + std::to_string(lineNumber) + ": time goes backwards";
        // Two rows for one sample: which of them holds is anybody's guess.
        if (rows > 0 && at == lastTime && timeColumn >= 0)
            return "line " + std::to_string(lineNumber) + ": the same time as line " + std::to_string(lastLineNumber) +
                   " ('" + std::string(cells[static_cast<std::size_t>(timeColumn)].substr(0, 40)) + "')" +
                   (rate ? " on the sample grid of the stated rate" : "");
        bool anyChange = rows == 0;
        for (std::size_t c = 0; c < names.size(); ++c) {
            if (channels[c] < 0)
                continue;
            const std::string_view cell = cells[c];
            const auto level = LineLevel(cell);
            if (!level)
                return "line " + std::to_string(lineNumber) + ": bad value '" + std::string(cell.substr(0, 40)) +
                       "' in column " + std::to_string(c + 1);
            if (UnknownLevel(cell) && unknownLevels++ == 0)
                firstUnknown = "line " + std::to_string(lineNumber) + " column " + std::to_string(c + 1);
            if (*level != previous[c]) {
                changes.push_back({at, channels[c], *level == 1});
                previous[c] = *level;
                anyChange = true;
            }
        }
        // Rows that change something fix the grid, the second row the spacing of rows (lines
        // may change only every few rows), the last row its end.
        if ((anyChange || rows == 1) && (rowTimes.empty() || rowTimes.back() != at))
            rowTimes.push_back(at);
        lastTime = at;
        lastLineNumber = lineNumber;
        ++rows;
        if (rows > static_cast<std::size_t>(kMaxInterchangeSamples))
            return "more than " + std::to_string(kMaxInterchangeSamples) + " rows";
    }
    if (!lines.problem().empty())
        return lines.problem();
    if (rows == 0)
        return std::string("the file holds no samples");
    if (unknownLevels > 0)
        result.warnings.push_back(std::to_string(unknownLevels) + " unknown level(s) (x or z, the first at " +
                                  firstUnknown + ") read as 0");
    if (rowTimes.empty() || rowTimes.back() != lastTime)
        rowTimes.push_back(lastTime);

    // `period` is the grid in the units of the change times: one sample when they are sample
    // indexes, seconds otherwise.
    double period = 1.0;
    double seconds = 0.0;
    if (rate) {
        seconds = 1.0 / *rate;
    } else {
        const PeriodEstimate estimate = EstimateSamplePeriod(rowTimes);
        if (!estimate.uniform)
            result.warnings.push_back("rows are not evenly spaced in time; resampled at the shortest interval");
        if (estimate.period > 0) {
            period = estimate.period;
            seconds = SnapToDeviceClock(period);
        } else {
            result.warnings.push_back("a single row: a sample period of 1 us is assumed");
            seconds = 1e-6;
        }
    }
    const double count = std::round(lastTime / period) + 1;
    if (count > static_cast<double>(kMaxInterchangeSamples))
        return TooManySamplesText(count);
    result.capture = ResampleChanges(changes, period, static_cast<std::int64_t>(count), hasBusB);
    result.capture.samplePeriod = seconds;
    result.capture.firstSampleTime = timeColumn < 0 ? 0.0 : firstTime;
    return result;
}

} // namespace tesmar
