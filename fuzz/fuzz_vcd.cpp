// Any text given to the VCD reader: refused with a reason or read into a capture of a sensible
// size whose lines all hold samples.

#include "formats/VcdFile.h"
#include "formats/VcdTimeline.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tesmar;
    const auto result = ReadVcd(std::string_view(reinterpret_cast<const char*>(data), size));
    if (const auto* imported = std::get_if<CaptureImport>(&result)) {
        const auto& capture = imported->capture;
        if (capture.busA.empty() || static_cast<std::int64_t>(capture.busA.size()) > kMaxInterchangeSamples)
            std::abort();
        if (!capture.busB.empty() && capture.busB.size() != capture.busA.size())
            std::abort();
        // Our own output must read back to the same samples.
        if (capture.busA.size() < 100000 && capture.samplePeriod > 1e-12 && capture.samplePeriod < 1e3) {
            const auto again = ReadVcd(WriteVcd(capture));
            const auto* back = std::get_if<CaptureImport>(&again);
            if (!back || back->capture.busA != capture.busA || back->capture.busB != capture.busB)
                std::abort();
        }
    }
    return 0;
}
