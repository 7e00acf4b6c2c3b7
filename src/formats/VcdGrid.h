#pragma once
// The sample grid of a value change dump. The exact period when the file states it (our own
// sample_period comment, or another analyser's sample rate in a header comment), else the
// greatest common divisor of the change times, so that every change keeps its own sample. A
// grid that would not fit the memory limit is made coarser as long as no two changes merge.

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tesmar {

struct VcdGridSource {
    double tick = 1e-9;        // s, the file's timescale
    double statedPeriod = 0.0; // s, 0: not stated
    double statedRate = 0.0;   // Hz, 0: not stated
    bool endMarker = false;    // the last time ends the last sample instead of starting it
};

struct VcdGrid {
    double periodTicks = 1.0;
    double seconds = 0.0; // the sample period
    std::int64_t samples = 1;
    std::string note; // set when the grid is not the one the file asked for
};

// `times`: distinct change times in ticks from sample 0, ascending (the end marker last).
std::variant<VcdGrid, std::string> ChooseVcdGrid(const std::vector<std::uint64_t>& times,
                                                 const VcdGridSource& source);

// The sample rate a header comment states ("… at 1 MHz", "samplerate 24MHz"), in Hz; 0 when none.
double StatedSampleRate(const std::vector<std::string_view>& words);

} // namespace tesmar
