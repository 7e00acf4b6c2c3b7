// Any bytes given to the data file reader: it must refuse or read, never read out of bounds,
// and what it reads must write back to a file that reads the same. What the pages and tesmar-cli
// make of a file that reads is checked too: the checks each page makes before it changes, the
// logic capture, the analogue values as CSV, and the recorder's record read piece by piece from
// the file, which must hold the file's values with a summary that agrees with them.

#include "formats/AnalogCsv.h"
#include "formats/DataFile.h"
#include "formats/DataFileCapture.h"
#include "formats/DataFileSource.h"
#include "formats/PageRecordChecks.h"
#include "recorder/RecorderDataFile.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

using namespace tesmar;

void CheckSpectrum(const DataFile& file)
{
    if (!SpectrumRecordSettings(file))
        return;
    for (const auto* values : {&file.channelA, &file.channelB})
        if (*values && !std::all_of((*values)->begin(), (*values)->end(), [](double v) { return std::isfinite(v); }))
            std::abort();
}

// The recorder opens a file by scanning it and reading its values into the record in pieces.
void CheckRecorder(std::span<const std::uint8_t> bytes, const DataFile& file)
{
    MemoryDataSource source(bytes);
    const auto scanned = ScanDataFile(source);
    const auto* scan = std::get_if<DataFileScan>(&scanned);
    if (!scan)
        std::abort(); // the whole file read, so its scan must pass
    if (!RecorderRecordSettings(scan->head) || (!scan->chunkA && !scan->chunkB))
        return;
    const auto stream = RecordFromDataFile(*scan, source);
    if (!stream)
        return; // no memory for it
    const RecorderRecord& record = stream->record();
    const std::optional<std::vector<double>>* stored[] = {&file.channelA, &file.channelB};
    for (int ch = 0; ch < 2; ++ch) {
        if (!record.on(ch))
            continue;
        if (!*stored[ch] || record.count() > (*stored[ch])->size())
            std::abort();
        const std::vector<double>& values = **stored[ch];
        bool finite = true;
        double low = 0, high = 0;
        for (std::size_t i = 0; i < record.count(); ++i) {
            const double v = record.channel(ch).at(i);
            if (std::memcmp(&v, &values[i], sizeof v) != 0)
                std::abort();
            finite = finite && std::isfinite(v);
            low = i == 0 ? v : std::min(low, v);
            high = i == 0 ? v : std::max(high, v);
        }
        if (finite && record.count() > 0) {
            const MinMax range = record.channel(ch).range(0, record.count());
            if (range.min != low || range.max != high)
                std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    const auto result = ReadDataFile(bytes);
    if (const auto* file = std::get_if<DataFile>(&result)) {
        const auto again = ReadDataFile(WriteDataFile(*file));
        const auto* back = std::get_if<DataFile>(&again);
        if (!back || back->busA != file->busA || back->busB != file->busB || back->page() != file->page())
            std::abort();
        if (const auto capture = CaptureFromDataFile(*file)) {
            // A page saved before any capture holds no samples; tesmar-cli says so, the page shows none.
            if (!capture->busB.empty() && capture->busB.size() != capture->busA.size())
                std::abort();
            if (!std::isfinite(capture->samplePeriod) || capture->samplePeriod <= 0)
                std::abort();
        }
        (void)OscRecordSettings(*file);
        CheckSpectrum(*file);
        CheckRecorder(bytes, *file);
        (void)AnalogDataFileToCsv(*file);
    }
    return 0;
}
