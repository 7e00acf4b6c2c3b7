// Any text given to the CSV reader: refused with a reason or read into a capture of a sensible
// size.

#include "formats/CsvFile.h"
#include "formats/VcdTimeline.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tesmar;
    const auto result = ReadCaptureCsv(std::string_view(reinterpret_cast<const char*>(data), size));
    if (const auto* imported = std::get_if<CaptureImport>(&result)) {
        const auto& capture = imported->capture;
        if (capture.busA.empty() || static_cast<std::int64_t>(capture.busA.size()) > kMaxInterchangeSamples)
            std::abort();
        if (!capture.busB.empty() && capture.busB.size() != capture.busA.size())
            std::abort();
    }
    return 0;
}
