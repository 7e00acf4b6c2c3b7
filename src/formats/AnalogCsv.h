#pragma once
// Oscilloscope, spectrum and recorder data files as CSV: one row per point with its time (or
// frequency) and the values of channels A and B; a channel without data has an empty column.

#include "formats/DataFile.h"

#include <optional>
#include <string>

namespace tesmar {

// nullopt for a logic analyser file (see CsvFile.h for those).
std::optional<std::string> AnalogDataFileToCsv(const DataFile& file);

} // namespace tesmar
