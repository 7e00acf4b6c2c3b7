#pragma once
// The stream side of the oscilloscope: bytes from the data pipe become 10-bit samples, samples
// are averaged into points, a software trigger (level with noise filter, or difference) finds the
// trigger point in a pre-trigger ring, and the record ends when the active channel is full.
// Plain code with no allocation per read, so the reader thread keeps up with the instrument.

#include "OscAcquisitionParams.h"
#include "OscResult.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace tesmar {

// The level trigger's noise filter: F points beyond the level after at least kMinStartingSide
// on the starting side; F2 points on the starting side clear the count beyond and keep the
// starting side's count at kMinStartingSide.
inline constexpr int kTriggerFilterBeyond = 5;   // F
inline constexpr int kTriggerFilterStarting = 5; // F2
inline constexpr int kTriggerMinStartingSide = 3;

// Level trigger with its noise filter; returns true on the point that triggers.
class LevelTrigger {
public:
    LevelTrigger(double level, bool rising) : level_(level), rising_(rising) {}
    bool test(double v);

private:
    double level_;
    bool rising_;
    std::uint8_t beyond_ = 0, starting_ = 0;
};

class OscStreamRecorder {
public:
    // `result` must hold at least capacity + P + F + 1 points per channel.
    OscStreamRecorder(const OscAcquisitionParams& params, OscResult& result);

    // Takes the bytes of one read and decodes every complete group. Returns true once the record
    // is full (later bytes are ignored).
    bool feed(const std::uint8_t* data, std::size_t count);
    bool full() const { return full_; }
    // Puts the record in time order and sets counts and trigger indexes; DataReady when full.
    void finish();
    // The points so far in time order, into `out` (DataReady false), leaving the record alone.
    // Until the trigger fires that is the pre-trigger ring, its newest points at the trigger
    // point; afterwards the record as finish() will lay it out.
    void snapshot(OscResult& out) const;

private:
    void addSample(int raw);
    void addPoint(double a, double b);
    void triggerStep(double v);

    OscAcquisitionParams params_;
    OscResult& result_;
    const bool both_;
    const double kA_, kB_; // volts per raw unit (× 64 folded in)
    const bool levelTrigger_;
    const int ringLength_;  // P, raised by F for the level trigger

    std::array<std::uint8_t, 1024> ring_{};
    std::size_t readPos_ = 0, writePos_ = 0, buffered_ = 0;
    int sampleInGroup_ = 0;

    double sumA_ = 0, sumB_ = 0, pendingA_ = 0;
    int summed_ = 0;
    int posA_ = 0, posB_ = 0;
    bool triggered_ = false, ringFilled_ = false, full_ = false;
    int triggerRingPos_ = 0;
    LevelTrigger level_;
    double previous_ = 0;
    bool havePrevious_ = false;
};

} // namespace tesmar
