#pragma once
// The record to and from a measurement data file without a copy of its values: saving hands the
// writer the record's chunks, opening reads the file's values in pieces straight into them.

#include "RecorderStream.h"
#include "formats/DataFile.h"

#include <memory>

namespace tesmar {

class DataFileSource;

// The values of a channel below the record's published count, in the record's own chunks.
DataValues RecordValues(const RecorderRecord& record, int channel);

// The record of a checked recorder file, its values read from `source`; null when the file has
// no values, the memory is not there or a read fails.
std::unique_ptr<RecorderStream> RecordFromDataFile(const DataFileScan& scan, DataFileSource& source);

} // namespace tesmar
