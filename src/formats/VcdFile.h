#pragma once
// Value change dump files, the capture format of GTKWave, PulseView and most other analysers.
// Written: one 1-bit wire per captured line, named by its channel name, with a timescale in
// which the sample period is a whole number of ticks where one exists, and a final timestamp
// one sample after the last. Read: any timescale; 1-bit wires become lines, vectors and reals
// are ignored with a warning, x and z read as 0, and the changes are resampled onto the
// uniform period they fit.

#include "formats/DataFileCapture.h"
#include "formats/TextSource.h"

#include <array>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tesmar {

struct CaptureImport {
    CaptureSamples capture;
    std::vector<std::string> warnings; // what the file held that the capture cannot
    // The name the file gives each of the 16 lines; empty where it names none.
    CaptureLineNames lineNames{};
};

// The lines written are those of CaptureLinesOf(capture, names).
std::string WriteVcd(const CaptureSamples& capture, const CaptureLineNames& names = {});
// The same text written in pieces, so that a capture of any size never needs its whole text in
// memory; stops at the first failed write (the stream's state tells).
// `progress` is told the samples written of all.
void WriteVcd(const CaptureSamples& capture, std::ostream& stream, const CaptureLineNames& names = {},
              const ReadProgress& progress = {});
// Text is handed to a stream in pieces of about this size.
inline constexpr std::size_t kWriteChunk = 1 << 20;
// The tick the writer uses for a capture, in seconds: the coarsest in which the sample period
// is whole and the capture's span fits 64-bit stamps, else the finest that fits.
double VcdTimescaleFor(double samplePeriod, std::size_t sampleCount);

// Either the capture or the reason it cannot be read.
std::variant<CaptureImport, std::string> ReadVcd(std::string_view text);
// The same from text read piece by piece (a file): in memory are only the capture and, up to a
// budget, the changes (VcdStream.h). `progress` is told the bytes of each pass over the text.
std::variant<CaptureImport, std::string> ReadVcdFrom(std::unique_ptr<TextSource> source, const ReadProgress& progress = {});

} // namespace tesmar
