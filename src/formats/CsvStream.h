#pragma once
// A logic capture CSV (CsvFile.h) read as a stream of changes: one pass over the rows finds the
// sample grid (two when the grid comes from the row times and they are too many to keep), after
// which the changes can be gone through again on it as often as needed. The changes are kept
// only while they fit a budget; beyond it the file is read again for every pass, so a file of
// any length is read in bounded memory. The rules are those of ReadCaptureCsv.

#include "formats/ChangeStream.h"
#include "formats/CsvRows.h"
#include "formats/VcdStream.h"

#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tesmar {

struct CsvStreamLimits {
    // The memory kept for changes at most (a byte each and the time of each row that has any).
    std::size_t keptBytes = kVcdKeptChangeBytes;
    // Samples (and rows) the capture may have.
    std::int64_t maxSamples = kMaxInterchangeSamples;
};

class CsvStream final : public ChangeStream {
public:
    // Reads the file through once (twice when needed); the reason when it is refused. `givenRate`
    // is used only when the file states no rate and has no time column. `progress` is told the
    // bytes gone through.
    static std::variant<std::unique_ptr<CsvStream>, std::string> Open(std::unique_ptr<TextSource> source,
                                                                     std::optional<double> givenRate,
                                                                     const CsvStreamLimits& limits = {},
                                                                     const ReadProgress& progress = {});

    const CaptureLineNames& lineNames() const override { return lineNames_; }
    const std::vector<std::string>& warnings() const override { return warnings_; }
    double samplePeriod() const override { return samplePeriod_; }
    double firstSampleTime() const override { return firstSampleTime_; }
    std::int64_t sampleCount() const override { return sampleCount_; }
    bool hasBusB() const override { return hasBusB_; }
    bool changesKept() const override { return keptAll_; }

    bool restart() override;
    bool next(SampleChange& change) override;
    const std::string& problem() const override { return problem_; }
    std::int64_t passDone() const override;
    std::int64_t passTotal() const override;

private:
    CsvStream() = default;
    // A new pass over the file's rows; false when it cannot be read again.
    bool readAgain();
    std::int64_t indexOf(double time) const;

    std::unique_ptr<TextSource> source_;
    std::optional<double> givenRate_;
    std::int64_t maxRows_ = 0;
    std::unique_ptr<CsvRows> rows_;
    std::vector<LineChange> rowChanges_; // of the row being gone through
    std::size_t rowPosition_ = 0;
    // The changes kept: a byte each (line, level, whether it is the first of its row), and the
    // time of each row that has any.
    static constexpr std::uint8_t kChannel = 0x0F;
    static constexpr std::uint8_t kLevel = 0x10;
    static constexpr std::uint8_t kNewRow = 0x20;
    std::vector<std::uint8_t> packed_;
    std::vector<double> times_;
    bool keptAll_ = false;
    std::size_t replayed_ = 0;
    std::size_t timeIndex_ = 0;
    double time_ = 0.0;
    double gridPeriod_ = 1.0; // in the units of the row times
    CaptureLineNames lineNames_{};
    std::vector<std::string> warnings_;
    double samplePeriod_ = 0.0;
    double firstSampleTime_ = 0.0;
    std::int64_t sampleCount_ = 0;
    bool hasBusB_ = false;
    std::string problem_;
};

} // namespace tesmar
