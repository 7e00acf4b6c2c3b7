#pragma once
// Logic captures as CSV: a header of line names, then one row per sample with its time in
// seconds and one 0/1 column per line. The reader takes what other analysers write: comment
// lines (";" or "#"), sigrok's among them with the sample rate and the channel names, "," ";"
// or tab separators, an optional time column (named "time", or by its unit as sigrok does),
// and resamples rows onto a uniform period when their times are not evenly spaced. A stated
// rate fixes the period; without one the time column gives it; with neither the file is refused
// unless the caller gives the rate. A time must be a finite number later than the row before, a
// level 0 or 1, or x/z (read as low, with a warning); any other cell refuses the file with its
// line number.

#include "formats/VcdFile.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace tesmar {

// One column per line of CaptureLinesOf(capture, names), headed by its name.
std::string WriteCaptureCsv(const CaptureSamples& capture, const CaptureLineNames& names = {});
// The same text written in pieces (see WriteVcd).
// `progress` is told the samples written of all.
void WriteCaptureCsv(const CaptureSamples& capture, std::ostream& stream, const CaptureLineNames& names = {},
                     const ReadProgress& progress = {});
// `givenRate` (Hz) is used only when the file states no rate and has no time column.
std::variant<CaptureImport, std::string> ReadCaptureCsv(std::string_view text,
                                                        std::optional<double> givenRate = std::nullopt);
// The same from text read piece by piece (a file): only the capture and its changes are held.
std::variant<CaptureImport, std::string> ReadCaptureCsvFrom(TextSource& source, std::optional<double> givenRate = std::nullopt,
                                                        const ReadProgress& progress = {});

} // namespace tesmar
