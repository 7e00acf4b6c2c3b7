#include "formats/CsvRows.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

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

CsvRows::CsvRows(TextSource& source, std::optional<double> givenRate, std::int64_t maxRows, const ReadProgress& progress)
    : lines_(source), source_(source), givenRate_(givenRate), maxRows_(maxRows), progress_(progress)
{
}

bool CsvRows::refuse(std::string reason)
{
    problem_ = std::move(reason);
    return false;
}

std::vector<std::string> CsvRows::warnings() const
{
    std::vector<std::string> warnings = headerWarnings_;
    if (unknownLevels_ > 0)
        warnings.push_back(std::to_string(unknownLevels_) + " unknown level(s) (x or z, the first at " + firstUnknown_ +
                           ") read as 0");
    return warnings;
}

bool CsvRows::next(std::vector<LineChange>& changes, double& at, bool& fixesGrid)
{
    changes.clear();
    if (!problem_.empty())
        return false;
    std::string_view line;
    while (lines_.next(line)) {
        ++lineNumber_;
        if (progress_ && lineNumber_ % 65536 == 0)
            progress_(lines_.consumed(), source_.size());
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.remove_suffix(1);
        if (line.empty())
            continue;
        if (line.front() == ';' || line.front() == '#') {
            if (!headerRead_)
                ReadComment(line.substr(1), statedRate_, commentNames_);
            continue;
        }
        if (!separator_)
            separator_ = line.find(',') != std::string_view::npos ? ','
                         : line.find(';') != std::string_view::npos ? ';'
                                                                    : '\t';
        SplitCells(line, separator_, cells_);
        if (!headerRead_) {
            bool isData = false;
            if (!readHeader(isData))
                return false;
            if (!isData)
                continue;
        }
        return readRow(changes, at, fixesGrid);
    }
    if (!lines_.problem().empty())
        return refuse(lines_.problem());
    return false;
}

bool CsvRows::readHeader(bool& isData)
{
    headerRead_ = true;
    // The first row: a header when any cell is not a number.
    bool header = false;
    double ignored = 0;
    for (auto cell : cells_)
        header = header || !ParseDouble(cell, ignored);
    isData = !header;
    TimeUnit timeUnit = TimeUnit::Seconds;
    std::size_t logicColumn = 0;
    for (std::size_t c = 0; c < cells_.size(); ++c) {
        const std::string name = header ? std::string(cells_[c]) : "";
        const auto unit = header && timeColumn_ < 0 ? TimeColumnUnit(name) : std::nullopt;
        if (unit) {
            timeColumn_ = static_cast<int>(c);
            timeUnit = *unit;
            names_.push_back("");
            continue;
        }
        // sigrok names its columns by their kind ("logic") and lists the channel names in a
        // comment.
        if (Lower(name) == "logic")
            names_.push_back(logicColumn < commentNames_.size() ? commentNames_[logicColumn] : "");
        else
            names_.push_back(name);
        ++logicColumn;
    }
    rate_ = statedRate_ ? statedRate_ : (timeColumn_ < 0 || timeUnit == TimeUnit::Samples) ? givenRate_ : std::nullopt;
    if (givenRate_ && statedRate_)
        headerWarnings_.push_back("the file states its own sample rate; the rate given is not used");
    else if (givenRate_ && !rate_)
        headerWarnings_.push_back("the file has a time column; the rate given is not used");
    if (!rate_ && timeColumn_ < 0)
        return refuse("the file states no sample rate and has no time column (give the rate)");
    if (!rate_ && timeUnit == TimeUnit::Samples)
        return refuse("the file counts time in samples but states no sample rate (give the rate)");
    if (rate_ && !(*rate_ > 0 && *rate_ <= 1e12))
        return refuse("the sample rate is out of range");
    if (timeColumn_ >= 0)
        toSeconds_ = SecondsPer(timeUnit, rate_);

    std::vector<std::string> lineNames;
    for (std::size_t c = 0; c < names_.size(); ++c)
        if (static_cast<int>(c) != timeColumn_)
            lineNames.push_back(names_[c]);
    const auto assigned = AssignCaptureLines(lineNames, headerWarnings_);
    channels_.assign(names_.size(), -1);
    std::size_t next = 0;
    for (std::size_t c = 0; c < names_.size(); ++c)
        if (static_cast<int>(c) != timeColumn_) {
            channels_[c] = assigned[next++];
            hasBusB_ = hasBusB_ || channels_[c] >= 8;
            // Every column is a line, named or not.
            if (channels_[c] >= 0)
                lineNames_[static_cast<std::size_t>(channels_[c])] = names_[c].empty() ? CaptureLineName(channels_[c]) : names_[c];
        }
    previous_.assign(names_.size(), 2);
    return true;
}

bool CsvRows::readRow(std::vector<LineChange>& changes, double& at, bool& fixesGrid)
{
    const auto line = [this] { return std::to_string(lineNumber_); };
    if (cells_.size() < names_.size())
        return refuse("line " + line() + " has " + std::to_string(cells_.size()) + " cells, " +
                      std::to_string(names_.size()) + " expected");
    double time = static_cast<double>(rows_);
    if (timeColumn_ >= 0) {
        const std::string_view cell = cells_[static_cast<std::size_t>(timeColumn_)];
        if (!ParseDouble(cell, time) || !std::isfinite(time))
            return refuse("line " + line() + ": bad time '" + std::string(cell.substr(0, 40)) + "'");
        time *= toSeconds_;
    }
    if (rows_ == 0)
        firstTime_ = time;
    at = time - firstTime_;
    // On a stated rate a row's time only says which sample it is (sigrok writes whole units,
    // cut, not rounded).
    if (rate_ && timeColumn_ >= 0)
        at = std::round(at * *rate_);
    if (!std::isfinite(at))
        return refuse("line " + line() + ": time out of range");
    if (rows_ > 0 && at < lastTime_)
        return refuse("line " + line() + ": time goes backwards");
    // Two rows for one sample: which of them holds is anybody's guess.
    if (rows_ > 0 && at == lastTime_ && timeColumn_ >= 0)
        return refuse("line " + line() + ": the same time as line " + std::to_string(lastLineNumber_) + " ('" +
                      std::string(cells_[static_cast<std::size_t>(timeColumn_)].substr(0, 40)) + "')" +
                      (rate_ ? " on the sample grid of the stated rate" : ""));
    bool anyChange = rows_ == 0;
    for (std::size_t c = 0; c < names_.size(); ++c) {
        if (channels_[c] < 0)
            continue;
        const std::string_view cell = cells_[c];
        const auto level = LineLevel(cell);
        if (!level)
            return refuse("line " + line() + ": bad value '" + std::string(cell.substr(0, 40)) + "' in column " +
                          std::to_string(c + 1));
        if (UnknownLevel(cell) && unknownLevels_++ == 0)
            firstUnknown_ = "line " + line() + " column " + std::to_string(c + 1);
        if (*level != previous_[c]) {
            changes.push_back({at, channels_[c], *level == 1});
            previous_[c] = *level;
            anyChange = true;
        }
    }
    // Rows that change something fix the grid, the second row the spacing of rows (lines may
    // change only every few rows), the last row its end.
    fixesGrid = anyChange || rows_ == 1;
    lastTime_ = at;
    lastLineNumber_ = lineNumber_;
    ++rows_;
    if (rows_ > maxRows_)
        return refuse("more than " + std::to_string(maxRows_) + " rows");
    return true;
}

CsvGrid CsvRowGrid(std::optional<double> rate, const PeriodEstimate& estimate, std::vector<std::string>& warnings)
{
    CsvGrid grid;
    if (rate) {
        grid.seconds = 1.0 / *rate;
        return grid;
    }
    if (!estimate.uniform)
        warnings.push_back("rows are not evenly spaced in time; resampled at the shortest interval");
    if (estimate.period > 0) {
        grid.period = estimate.period;
        grid.seconds = SnapToDeviceClock(grid.period);
    } else {
        warnings.push_back("a single row: a sample period of 1 us is assumed");
        grid.seconds = 1e-6;
    }
    return grid;
}

} // namespace tesmar
