#include "formats/CsvStream.h"

#include <cmath>

namespace tesmar {

std::variant<std::unique_ptr<CsvStream>, std::string> CsvStream::Open(std::unique_ptr<TextSource> source,
                                                                     std::optional<double> givenRate,
                                                                     const CsvStreamLimits& limits,
                                                                     const ReadProgress& progress)
{
    std::unique_ptr<CsvStream> stream(new CsvStream);
    CsvStream& s = *stream;
    s.source_ = std::move(source);
    s.givenRate_ = givenRate;
    s.maxRows_ = limits.maxSamples;

    // The first pass: every row checked, the changes kept while they fit (the time of each row
    // that changes something, then a byte per change), the shortest interval between the times
    // that fix the grid found either way.
    CsvRows rows(*s.source_, givenRate, s.maxRows_, progress);
    std::vector<LineChange> rowChanges;
    std::vector<double> unchangedTimes; // of the rows that fix the grid but change nothing (the first two)
    bool kept = limits.keptBytes > 0;
    double at = 0.0, previous = 0.0, shortest = 0.0;
    std::size_t distinctTimes = 0;
    auto addTime = [&](double time) {
        if (distinctTimes > 0 && previous == time)
            return;
        const double gap = time - previous;
        if (distinctTimes > 0 && gap > 0 && (shortest == 0.0 || gap < shortest))
            shortest = gap;
        previous = time;
        ++distinctTimes;
    };
    bool fixesGrid = false;
    while (rows.next(rowChanges, at, fixesGrid)) {
        if (fixesGrid)
            addTime(at);
        if (!kept)
            continue;
        if (rowChanges.empty() && fixesGrid)
            unchangedTimes.push_back(at);
        if (!rowChanges.empty())
            s.times_.push_back(at);
        for (std::size_t k = 0; k < rowChanges.size(); ++k)
            s.packed_.push_back(static_cast<std::uint8_t>(rowChanges[k].channel | (rowChanges[k].level ? kLevel : 0) |
                                                          (k == 0 ? kNewRow : 0)));
        if (s.times_.size() * sizeof(double) + s.packed_.size() > limits.keptBytes) {
            kept = false;
            s.times_ = {};
            s.packed_ = {};
            unchangedTimes = {};
        }
    }
    if (!rows.problem().empty())
        return rows.problem();
    if (rows.rows() == 0)
        return std::string("the file holds no samples");
    s.warnings_ = rows.warnings();
    s.lineNames_ = rows.lineNames();
    s.hasBusB_ = rows.hasBusB();
    const double lastTime = rows.lastTime();
    addTime(lastTime);

    // The times that fix the grid once more, in the same order, for the fit: from memory, or
    // from the file again.
    PeriodEstimate estimate;
    if (!rows.rate()) {
        SamplePeriodFit fit(shortest);
        bool any = false;
        double last = 0.0;
        auto add = [&](double time) {
            if (any && last == time)
                return;
            fit.add(time);
            last = time;
            any = true;
        };
        if (kept) {
            std::size_t unchanged = 0;
            for (const double time : s.times_) {
                for (; unchanged < unchangedTimes.size() && unchangedTimes[unchanged] < time; ++unchanged)
                    add(unchangedTimes[unchanged]);
                add(time);
            }
            for (; unchanged < unchangedTimes.size(); ++unchanged)
                add(unchangedTimes[unchanged]);
        } else {
            if (!s.source_->rewind())
                return std::string("the file cannot be read again");
            CsvRows again(*s.source_, givenRate, s.maxRows_, progress);
            while (again.next(rowChanges, at, fixesGrid))
                if (fixesGrid)
                    add(at);
            if (!again.problem().empty())
                return again.problem();
        }
        add(lastTime);
        estimate = fit.result();
    }
    const CsvGrid grid = CsvRowGrid(rows.rate(), estimate, s.warnings_);
    const double count = std::round(lastTime / grid.period) + 1;
    if (count > static_cast<double>(limits.maxSamples))
        return TooManySamplesText(count, limits.maxSamples);
    s.gridPeriod_ = grid.period;
    s.sampleCount_ = static_cast<std::int64_t>(count);
    s.samplePeriod_ = grid.seconds;
    s.firstSampleTime_ = rows.hasTimeColumn() ? rows.firstTime() : 0.0;
    s.keptAll_ = kept;
    if (!s.restart())
        return s.problem_;
    return stream;
}

bool CsvStream::readAgain()
{
    rows_.reset();
    if (!source_->rewind()) {
        problem_ = "the file cannot be read again";
        return false;
    }
    rows_ = std::make_unique<CsvRows>(*source_, givenRate_, maxRows_);
    return true;
}

bool CsvStream::restart()
{
    replayed_ = 0;
    timeIndex_ = 0;
    rowChanges_.clear();
    rowPosition_ = 0;
    if (keptAll_)
        return true;
    return readAgain();
}

std::int64_t CsvStream::indexOf(double time) const
{
    // As ResampleChanges places them.
    return gridPeriod_ > 0 ? static_cast<std::int64_t>(std::llround(time / gridPeriod_)) : 0;
}

bool CsvStream::next(SampleChange& change)
{
    if (keptAll_) {
        if (replayed_ >= packed_.size())
            return false;
        const std::uint8_t byte = packed_[replayed_++];
        if (byte & kNewRow)
            time_ = times_[timeIndex_++];
        change.index = indexOf(time_);
        change.channel = byte & kChannel;
        change.level = (byte & kLevel) != 0;
        return true;
    }
    while (rowPosition_ >= rowChanges_.size()) {
        double at = 0.0;
        bool fixesGrid = false;
        rowPosition_ = 0;
        if (!rows_ || !rows_->next(rowChanges_, at, fixesGrid)) {
            if (rows_ && !rows_->problem().empty())
                problem_ = rows_->problem();
            rowChanges_.clear();
            return false;
        }
    }
    const LineChange& found = rowChanges_[rowPosition_++];
    change.index = indexOf(found.time);
    change.channel = found.channel;
    change.level = found.level;
    return true;
}

std::int64_t CsvStream::passDone() const
{
    return rows_ ? rows_->consumed() : 0;
}

std::int64_t CsvStream::passTotal() const
{
    return source_->size();
}

} // namespace tesmar
