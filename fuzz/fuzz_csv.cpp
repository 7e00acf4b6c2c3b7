// Any text given to the CSV readers: refused with a reason or read into a capture of a sensible
// size. The streamed reader (changes only, read again when they exceed what it keeps) must give
// the capture the whole-file reader gives, pass after pass.

#include "formats/CsvFile.h"
#include "formats/CsvStream.h"
#include "formats/TextSource.h"
#include "formats/VcdTimeline.h"

#include <cstdlib>
#include <memory>
#include <optional>

namespace {

using namespace tesmar;

// The samples of every pass over the stream's changes; aborts when the passes differ or a change
// lies outside the capture.
CaptureSamples Replay(ChangeStream& stream)
{
    CaptureSamples first;
    for (int pass = 0; pass < 2; ++pass) {
        if (!stream.restart())
            std::abort(); // text in memory can always be read again
        const auto count = static_cast<std::size_t>(stream.sampleCount());
        CaptureSamples samples;
        samples.busA.assign(count, 0);
        if (stream.hasBusB())
            samples.busB.assign(count, 0);
        std::uint16_t levels = 0;
        std::int64_t last = 0;
        SampleChange change{};
        while (stream.next(change)) {
            if (change.index < last || change.index >= stream.sampleCount() || change.channel < 0 ||
                change.channel > 15 || (change.channel > 7 && !stream.hasBusB()))
                std::abort();
            for (std::int64_t i = last; i < change.index; ++i) {
                samples.busA[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(levels);
                if (stream.hasBusB())
                    samples.busB[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(levels >> 8);
            }
            last = change.index;
            levels = static_cast<std::uint16_t>(change.level ? levels | (1u << change.channel)
                                                             : levels & ~(1u << change.channel));
        }
        for (std::int64_t i = last; i < stream.sampleCount(); ++i) {
            samples.busA[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(levels);
            if (stream.hasBusB())
                samples.busB[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(levels >> 8);
        }
        if (pass == 0)
            first = std::move(samples);
        else if (samples != first)
            std::abort();
    }
    first.samplePeriod = stream.samplePeriod();
    first.firstSampleTime = stream.firstSampleTime();
    return first;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // With and without a rate from the caller: files without rate or time are read only with one.
    for (const std::optional<double> rate : {std::optional<double>(), std::optional<double>(1e6)}) {
        const auto result = ReadCaptureCsv(text, rate);
        const auto* imported = std::get_if<CaptureImport>(&result);
        if (imported) {
            const auto& capture = imported->capture;
            if (capture.busA.empty() || static_cast<std::int64_t>(capture.busA.size()) > kMaxInterchangeSamples)
                std::abort();
            if (!capture.busB.empty() && capture.busB.size() != capture.busA.size())
                std::abort();
        }
        // Kept changes of a few bytes only, so that the passes read the text again.
        CsvStreamLimits limits;
        limits.keptBytes = 16;
        auto opened = CsvStream::Open(std::make_unique<MemoryTextSource>(text, 7), rate, limits);
        auto* stream = std::get_if<std::unique_ptr<CsvStream>>(&opened);
        if (!stream) {
            if (imported)
                std::abort(); // what the whole-file reader reads, the stream reads too
            continue;
        }
        // Large captures are compared by the tests; here the samples are laid out only when small.
        if ((*stream)->sampleCount() <= 0 || (*stream)->sampleCount() > (std::int64_t(1) << 22))
            continue;
        const CaptureSamples replayed = Replay(**stream);
        if (imported && (replayed.busA != imported->capture.busA || replayed.busB != imported->capture.busB))
            std::abort();
    }
    return 0;
}
