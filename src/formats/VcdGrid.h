#pragma once
// The sample grid of a value change dump. The exact period when the file states it (our own
// sample_period comment, or another analyser's sample rate in a header comment), else the
// greatest common divisor of the change times, so that every change keeps its own sample. A
// grid that would not fit the memory limit is made coarser as long as no two changes merge.

#include "formats/VcdTimeline.h"

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
    // The most samples the grid may have: a capture held sample by sample must fit in memory;
    // one kept as its changes need not.
    std::int64_t maxSamples = kMaxInterchangeSamples;
};

struct VcdGrid {
    double periodTicks = 1.0;
    double seconds = 0.0; // the sample period
    std::int64_t samples = 1;
    std::string note; // set when the grid is not the one the file asked for
};

// What the grid depends on in the change times, gathered one time after the other so that a
// file need not keep them: distinct times in ticks from sample 0, ascending (the end marker last).
class VcdTimes {
public:
    explicit VcdTimes(const VcdGridSource& source);
    void add(std::uint64_t time);
    std::uint64_t last() const { return last_; }
    std::uint64_t shortest() const { return shortest_; }
    std::uint64_t divisor() const { return divisor_; }
    // Every time lies on the stated period's grid (false when none is stated).
    bool fitStatedPeriod() const { return fitsStated_; }

private:
    double statedTicks_;
    bool fitsStated_;
    bool any_ = false;
    std::uint64_t last_ = 0;
    std::uint64_t shortest_ = 0; // between two changes
    std::uint64_t divisor_ = 0;
};

std::variant<VcdGrid, std::string> ChooseVcdGrid(const VcdTimes& times, const VcdGridSource& source);
// `times`: distinct change times in ticks from sample 0, ascending (the end marker last).
std::variant<VcdGrid, std::string> ChooseVcdGrid(const std::vector<std::uint64_t>& times,
                                                 const VcdGridSource& source);

// The sample rate a header comment states ("… at 1 MHz", "samplerate 24MHz"), in Hz; 0 when none.
double StatedSampleRate(const std::vector<std::string_view>& words);

} // namespace tesmar
