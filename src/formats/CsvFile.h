#pragma once
// Logic captures as CSV: a header of line names, then one row per sample with its time in
// seconds and one 0/1 column per line. The reader takes what other analysers write: comment
// lines (";" or "#"), "," ";" or tab separators, an optional time column (named "time"), and
// resamples rows onto a uniform period when their times are not evenly spaced. A time must be a
// finite number, a level a finite number (non-zero is high) or x/z (read as low); any other
// cell refuses the file with its line number.

#include "formats/VcdFile.h"

#include <string>
#include <string_view>
#include <variant>

namespace tesmar {

std::string WriteCaptureCsv(const CaptureSamples& capture);
// The same text written in pieces (see WriteVcd).
void WriteCaptureCsv(const CaptureSamples& capture, std::ostream& stream);
std::variant<CaptureImport, std::string> ReadCaptureCsv(std::string_view text);

} // namespace tesmar
