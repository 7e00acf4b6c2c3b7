// Any bytes given to the data file reader: it must refuse or read, never read out of bounds,
// and what it reads must write back to a file that reads the same. What the pages and tesmar-cli
// make of a file that reads (a logic capture, the analogue values as CSV) is checked too.

#include "formats/AnalogCsv.h"
#include "formats/DataFile.h"
#include "formats/DataFileCapture.h"

#include <cmath>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tesmar;
    const auto result = ReadDataFile(std::span<const std::uint8_t>(data, size));
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
        (void)AnalogDataFileToCsv(*file);
    }
    return 0;
}
