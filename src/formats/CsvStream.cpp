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

    // The first pass: every row checked, the changes and the times that fix the grid kept while
    // they fit, the shortest interval between those times found either way.
    CsvRows rows(*s.source_, givenRate, s.maxRows_, progress);
    std::vector<LineChange> rowChanges;
    std::vector<double> rowTimes;
    bool kept = true;
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
        if (kept)
            rowTimes.push_back(time);
    };
    bool fixesGrid = false;
    while (rows.next(rowChanges, at, fixesGrid)) {
        if (kept) {
            s.kept_.insert(s.kept_.end(), rowChanges.begin(), rowChanges.end());
            if (s.kept_.size() * sizeof(LineChange) + rowTimes.size() * sizeof(double) > limits.keptBytes) {
                kept = false;
                s.kept_ = {};
                rowTimes = {};
            }
        }
        if (fixesGrid)
            addTime(at);
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

    PeriodEstimate estimate;
    if (!rows.rate() && kept) {
        estimate = EstimateSamplePeriod(rowTimes);
    } else if (!rows.rate()) {
        // The times again, in the same order, for the fit.
        if (!s.source_->rewind())
            return std::string("the file cannot be read again");
        CsvRows again(*s.source_, givenRate, s.maxRows_, progress);
        SamplePeriodFit fit(shortest);
        bool any = false;
        double last = 0.0;
        while (again.next(rowChanges, at, fixesGrid))
            if (fixesGrid && (!any || last != at)) {
                fit.add(at);
                last = at;
                any = true;
            }
        if (!again.problem().empty())
            return again.problem();
        if (!any || last != lastTime)
            fit.add(lastTime);
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
    const LineChange* found = nullptr;
    if (keptAll_) {
        if (replayed_ >= kept_.size())
            return false;
        found = &kept_[replayed_++];
    } else {
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
        found = &rowChanges_[rowPosition_++];
    }
    change.index = indexOf(found->time);
    change.channel = found->channel;
    change.level = found->level;
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
