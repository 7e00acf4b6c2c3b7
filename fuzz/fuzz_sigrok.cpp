// Any bytes as a sigrok session file (a zip): refused with a reason, or read into a capture of a
// sensible size that our own writer stores and reads back to the same samples.

#include "TempInput.h"
#include "formats/SigrokSession.h"
#include "formats/VcdTimeline.h"

#include <cmath>
#include <cstdlib>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tesmar;
    const std::string path = fuzz::WriteTempInput("in.sr", data, size);
    // A small limit, so that members that claim or inflate to gigabytes are refused, not read.
    const auto result = ReadSigrokSession(path, std::uint64_t{64} << 20);
    unlink(path.c_str());
    const auto* imported = std::get_if<CaptureImport>(&result);
    if (!imported)
        return 0;
    const CaptureSamples& capture = imported->capture;
    if (capture.busA.empty() || static_cast<std::int64_t>(capture.busA.size()) > kMaxInterchangeSamples)
        std::abort();
    if (!capture.busB.empty() && capture.busB.size() != capture.busA.size())
        std::abort();
    if (!std::isfinite(capture.samplePeriod) || capture.samplePeriod <= 0)
        std::abort();
    if (capture.busA.size() > (std::size_t{1} << 16))
        return 0; // the round trip of large captures costs more than it finds
    const std::string copy = fuzz::WriteTempInput("copy.sr", nullptr, 0);
    if (!WriteSigrokSession(copy, capture).empty())
        std::abort();
    const auto again = ReadSigrokSession(copy);
    unlink(copy.c_str());
    const auto* reread = std::get_if<CaptureImport>(&again);
    if (!reread || reread->capture.busA != capture.busA || reread->capture.busB != capture.busB)
        std::abort();
    return 0;
}
