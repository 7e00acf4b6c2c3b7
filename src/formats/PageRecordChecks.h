#pragma once
// Whether a data file holds a record an analogue page can show, checked whole before the page
// changes anything: the page's settings, when they and the stored values can be shown.

#include "formats/DataFile.h"

namespace tesmar {

// The oscilloscope's settings of `file`; null when the file is no usable oscilloscope record.
const OscSettingsChunk* OscRecordSettings(const DataFile& file);
// The spectrum analyser's settings: null also for spectra of different lengths, of fewer than 2
// or more values than the largest transform gives, or with a value that is not finite.
const SpectrumSettingsChunk* SpectrumRecordSettings(const DataFile& file);
// The recorder's settings of a file or of a scanned file's head (values not needed).
const RecorderSettingsChunk* RecorderRecordSettings(const DataFile& head);

} // namespace tesmar
