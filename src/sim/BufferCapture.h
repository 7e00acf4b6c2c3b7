#pragma once
// The instrument's buffer-mode record: converter samples go into a pre-trigger ring until the
// hardware trigger fires, then straight on into the rest of the 1412-byte frame.
//
// Frame layout: samples in 5-byte groups (bytes 0 … 3 the upper 8 bits of four samples, byte 4
// their lower bits, sample k at bits 2k). With the trigger on, the first m = 5 × (byte 2 ÷ 4)
// bytes are the ring; it is written from its start with the first sample of the run and wraps.
// When the trigger fires the ring stops with w (bytes 1410 … 1411) at the next byte it would have
// written; the lower bits of the group it was filling are in byte 1408, the group's sample t at
// the 2-bit field 3 − r + t (r = w mod 5, never 4). The record then continues at byte m up to a
// last group of three samples at 1405 … 1407 whose lower bits are in byte 1409.

#include "device/AnalogBlock.h"

#include <array>
#include <cstdint>

namespace tesmar {

class BufferCapture {
public:
    static constexpr int kFrameSize = 1412;
    using Frame = std::array<std::uint8_t, kFrameSize>;

    // The level trigger's noise filter: the trigger point is the first of kBeyondRun samples of the
    // trigger input beyond the level, after at least kStartingRun on the starting side.
    static constexpr int kBeyondRun = 5;
    static constexpr int kStartingRun = 3;

    enum class Trigger { Off, Level, Difference, External };

    BufferCapture(const AnalogBlock& block, std::uint16_t wIndex);

    // The next converter sample. `triggerInput`: it was taken from the trigger input;
    // `externalHigh`: the external trigger input at the same moment. Ignored once complete.
    void feed(int raw, bool triggerInput, bool externalHigh);

    bool complete() const { return complete_; }
    bool triggered() const { return triggered_; }
    Trigger trigger() const { return trigger_; }
    std::int64_t samplesTaken() const { return taken_; }
    const Frame& frame() const { return frame_; }

private:
    bool fires(int raw, bool triggerInput, bool externalHigh);
    bool levelFires(int code);
    void writeRing(int raw);
    void freezeRing();
    void writeRecord(int raw);

    Trigger trigger_ = Trigger::Off;
    bool risingCode_ = false;          // bit 5: the code rises (the voltage falls)
    std::uint16_t level_ = 0;          // level trigger: code in the 16-bit unit
    std::int16_t threshold_ = 0;       // difference trigger: signed change of the code
    int ringGroups_ = 0;
    int recordStart_ = 0;              // frame byte where the record goes on after the ring
    int recordCapacity_ = 0;           // samples after the ring

    Frame frame_{};
    std::int64_t taken_ = 0;
    std::int64_t ringWritten_ = 0;
    std::array<int, 4> ringLowBits_{};
    int recordWritten_ = 0;
    std::array<int, 4> recordLowBits_{};
    bool triggered_ = false;
    bool complete_ = false;

    int startingRun_ = 0, beyondRun_ = 0;
    bool previousKnown_ = false;
    int previousCode_ = 0;
    bool externalKnown_ = false, externalBefore_ = false;
};

} // namespace tesmar
