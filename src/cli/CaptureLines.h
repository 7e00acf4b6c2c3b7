#pragma once
// What the decode command reads: a capture file (.dat, .vcd, .csv, .sr) or a generator data
// file, and its lines by the names the file gives them.

#include "formats/ChangeStream.h"
#include "logic/LogicCapture.h"

#include <array>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <variant>

namespace tesmar {

struct DecodeInput {
    LogicCapture capture;
    std::array<std::string, 16> fileNames{}; // empty where the file names no line
    bool generatorData = false;               // bus B only, from a raw generator data file
    // A value change dump or CSV kept as its changes, decoded as they stream past: the capture
    // then has its period and first time but no samples.
    std::shared_ptr<ChangeStream> changes;

    std::int64_t sampleCount() const;
};

// Whether a capture file is decoded as its changes stream past (a value change dump or a CSV).
bool StreamedCaptureFile(const std::string& path);

// A value change dump or CSV whose lines are decoded as its changes stream past, in memory
// bounded whatever its length; any other file is read whole (LoadDecodeInput). `givenRate` is
// for a CSV that states none. The readers' warnings go to `err`, and `progress` is told the
// bytes of the pass over the file.
std::variant<DecodeInput, std::string> OpenStreamedInput(const std::string& path, std::optional<double> givenRate,
                                                         std::ostream& err, const ReadProgress& progress = {});

// The generator plays at the logic analyser's rate; 1 MHz unless told otherwise.
inline constexpr double kDefaultGeneratorRate = 1e6;

// A capture file, or a ".dat" of exactly 1544 bytes that is no data file: generator data, played
// on B.0 … B.7 at `givenRate` (else the default rate). A CSV file that states no rate and has no
// time column needs `givenRate`. The readers' warnings go to `err`; the string says why the file
// cannot be decoded.
std::variant<DecodeInput, std::string> LoadDecodeInput(const std::string& path, std::optional<double> givenRate,
                                                       std::ostream& err, const ReadProgress& progress = {});

// Whether the capture holds the line at all (bus A or bus B present).
bool HasCaptureLine(const DecodeInput& input, int channel);

// The line `text` names: a name the file gives one of its lines (exactly, else regardless of
// case when that is unique), A.0 … B.7 or an index 0 … 15. None, with the reason in `problem`
// ("no line 'X'", "'X' names both A.0 and A.3", "the capture has no line B.1").
std::optional<int> FindCaptureLine(const std::string& text, const DecodeInput& input, std::string& problem);

// One row per line the capture holds: its channel, the file's name for it and its edge count;
// false, with the reason in `problem`, when a streamed file could not be read again.
bool ListCaptureLines(const DecodeInput& input, std::ostream& out, std::string& problem);

} // namespace tesmar
