// Any text given to the CSV reader: refused with a reason or read into a capture of a sensible
// size.

#include "formats/CsvFile.h"
#include "formats/VcdTimeline.h"

#include <cstdlib>
#include <optional>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tesmar;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // With and without a rate from the caller: files without rate or time are read only with one.
    for (const std::optional<double> rate : {std::optional<double>(), std::optional<double>(1e6)}) {
        const auto result = ReadCaptureCsv(text, rate);
        if (const auto* imported = std::get_if<CaptureImport>(&result)) {
            const auto& capture = imported->capture;
            if (capture.busA.empty() || static_cast<std::int64_t>(capture.busA.size()) > kMaxInterchangeSamples)
                std::abort();
            if (!capture.busB.empty() && capture.busB.size() != capture.busA.size())
                std::abort();
        }
    }
    return 0;
}
