#pragma once
// What the VCD and CSV readers share: lines named by other tools mapped onto our 16 channels,
// the sample period recovered from change times, and the resampling of changes onto it.

#include "formats/DataFileCapture.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tesmar {

// Captures larger than the deepest stream memory are refused.
inline constexpr std::int64_t kMaxInterchangeSamples = 268435456;

// "the capture would need N samples; at most M fit" for any count, however large.
std::string TooManySamplesText(double count, std::int64_t most = kMaxInterchangeSamples);

// Channel of each named line: its own channel when named "A.k"/"B.k", else the next free one;
// -1 for lines beyond 16 (a warning says how many were dropped).
std::vector<int> AssignCaptureLines(const std::vector<std::string>& names, std::vector<std::string>& warnings);

// A rate as sigrok writes it ("1 MHz", "250kHz", "2.5 MHz", "44100") in hertz; none for
// anything else.
std::optional<double> ParseRateText(std::string_view text);

struct PeriodEstimate {
    double period = 0.0;
    bool uniform = true;
};

// From the distinct change times (ascending, relative to the first): the longest period that
// puts every time on a whole sample, refined over the whole span; the shortest interval, marked
// non-uniform, when no such period exists.
PeriodEstimate EstimateSamplePeriod(const std::vector<double>& times);

// The same estimate from times handed over one after the other, once the shortest interval
// between them is known (a file need not keep its times).
class SamplePeriodFit {
public:
    explicit SamplePeriodFit(double shortest);
    void add(double time);
    PeriodEstimate result() const;

private:
    static constexpr int kDivisors = 8;
    double shortest_;
    std::array<double, kDivisors> period_{};
    std::array<bool, kDivisors> fits_{};
};

// A period within a few parts per billion of a whole number of the instrument's 24 MHz clock
// ticks is taken as exactly that: files written from our captures come back with their rate.
double SnapToDeviceClock(double period);

struct LineChange {
    double time; // relative to the first sample
    int channel;
    bool level;
};

// A capture filled change by change, in time order: each change holds from sample `at` on.
// Changes at or past `count` are outside the capture.
class CaptureFiller {
public:
    CaptureFiller(std::int64_t count, bool hasBusB);
    void change(std::int64_t at, int channel, bool level);
    // The samples, the rest of them at the last state.
    CaptureSamples finish();

private:
    void fillTo(std::int64_t end);

    CaptureSamples capture_;
    std::int64_t count_;
    bool hasBusB_;
    std::uint16_t state_ = 0;
    std::int64_t filled_ = 0;
};

// Changes (in time order) held on a uniform grid of `count` samples.
CaptureSamples ResampleChanges(const std::vector<LineChange>& changes, double period, std::int64_t count,
                               bool hasBusB);

} // namespace tesmar
