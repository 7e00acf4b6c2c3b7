#pragma once
// A logic capture as the files hold it (data file, VCD, CSV): one byte per sample and bus,
// bit k = line k, with its sample period and the time of its first sample.

#include "formats/DataFile.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tesmar {

struct CaptureSamples {
    std::vector<std::uint8_t> busA;
    std::vector<std::uint8_t> busB; // empty: bus B was not captured
    double samplePeriod = 1e-6;     // s
    double firstSampleTime = 0.0;   // s

    bool operator==(const CaptureSamples&) const = default;
};

// "A.0" … "B.7" for lines 0 … 15.
std::string CaptureLineName(int line);

// The name a file gives each of the 16 lines; empty where it holds none.
using CaptureLineNames = std::array<std::string, 16>;

// A line as a file holds it: its channel (bit k of bus A is k, of bus B 8 + k) and its name.
struct CaptureLine {
    int channel = 0;
    std::string name;
    bool operator==(const CaptureLine&) const = default;
};

// The lines a file written from `capture` holds, in channel order: the lines of the captured
// buses that `names` names, under those names; when it names none, every line of the captured
// buses, named A.0 … B.7.
std::vector<CaptureLine> CaptureLinesOf(const CaptureSamples& capture, const CaptureLineNames& names = {});
// Every line named: a channel setup's blank name becomes the line's A.0 … B.7.
CaptureLineNames NameEveryLine(CaptureLineNames names);

// The capture of a logic analyser data file; nullopt for another page's file, and for one whose
// bus B holds a number of samples other than bus A's (a capture's buses run side by side).
std::optional<CaptureSamples> CaptureFromDataFile(const DataFile& file);
// True for a logic analyser data file whose bus B holds samples, but not as many as bus A.
bool CaptureBusesDiffer(const DataFile& file);
// A logic analyser data file showing the capture as the page would after a buffered or
// streamed capture (rate code 5 up to 1544 samples, else 6) with bus B as second input
// when it has samples.
DataFile LogicDataFile(const CaptureSamples& capture);

} // namespace tesmar
