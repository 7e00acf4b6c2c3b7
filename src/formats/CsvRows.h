#pragma once
// The rows of a logic capture CSV (CsvFile.h) read one after the other: the comments and header
// first, then each data row as the changes it makes. Shared by the reader that holds a whole
// capture and the one that streams its changes.

#include "formats/LineReader.h"
#include "formats/VcdTimeline.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tesmar {

class CsvRows {
public:
    // `givenRate` (Hz) is used only when the file states no rate and has no time column; rows
    // beyond `maxRows` refuse the file.
    CsvRows(TextSource& source, std::optional<double> givenRate, std::int64_t maxRows, const ReadProgress& progress = {});

    // The next data row: `changes` gets the changes it makes (times on the grid of rowUnit()),
    // `at` its time, `fixesGrid` whether that time counts for the sample grid. False at the end,
    // or when the file is refused (problem() says why).
    bool next(std::vector<LineChange>& changes, double& at, bool& fixesGrid);
    const std::string& problem() const { return problem_; }
    // Bytes of the text gone through.
    std::int64_t consumed() const { return lines_.consumed(); }

    // Known once the header has been read.
    const CaptureLineNames& lineNames() const { return lineNames_; }
    bool hasBusB() const { return hasBusB_; }
    // The stated (or given) rate when the rows are placed on its grid by sample index.
    std::optional<double> rate() const { return rate_; }
    bool hasTimeColumn() const { return timeColumn_ >= 0; }
    double firstTime() const { return firstTime_; }
    // After the last row.
    std::int64_t rows() const { return rows_; }
    double lastTime() const { return lastTime_; }
    // The warnings of the header, and once the rows are read, of the levels.
    std::vector<std::string> warnings() const;

private:
    // Reads the header from the cells of the first line; false when the file is refused.
    // `isData`: the line was no header but the first row.
    bool readHeader(bool& isData);
    bool readRow(std::vector<LineChange>& changes, double& at, bool& fixesGrid);
    bool refuse(std::string reason);

    LineReader lines_;
    TextSource& source_;
    std::optional<double> givenRate_;
    std::int64_t maxRows_;
    ReadProgress progress_;
    std::string problem_;
    std::vector<std::string_view> cells_;
    char separator_ = 0;
    bool headerRead_ = false;
    std::vector<std::string> names_;
    int timeColumn_ = -1;
    double toSeconds_ = 1.0;
    std::optional<double> statedRate_;
    std::vector<std::string> commentNames_;
    std::vector<int> channels_;
    std::vector<unsigned> previous_;
    std::vector<std::string> headerWarnings_;
    CaptureLineNames lineNames_{};
    bool hasBusB_ = false;
    std::optional<double> rate_;
    std::size_t lineNumber_ = 0;
    std::int64_t rows_ = 0;
    double firstTime_ = 0.0;
    double lastTime_ = 0.0;
    std::size_t lastLineNumber_ = 0;
    std::size_t unknownLevels_ = 0;
    std::string firstUnknown_;
};

// The grid the rows are placed on: `period` in the units of the row times (one sample when they
// are sample indexes, else seconds) and the sample period in seconds. `estimate` (from the times
// of the rows that fix the grid) is used when no rate is known; its doubts go to `warnings`.
struct CsvGrid {
    double period = 1.0;
    double seconds = 0.0;
};
CsvGrid CsvRowGrid(std::optional<double> rate, const PeriodEstimate& estimate, std::vector<std::string>& warnings);

} // namespace tesmar
