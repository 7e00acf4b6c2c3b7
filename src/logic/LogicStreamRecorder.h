#pragma once
// The stream reader's work on the received bytes: stored as they come when there is no
// pre-trigger; otherwise a P-byte ring searched for the trigger byte by byte across block
// boundaries, then the rest of the depth after it. Bytes are compared in the device's bit order.

#include <cstdint>
#include <span>
#include <vector>

namespace tesmar {

struct LogicStreamTrigger {
    bool mask = true;          // mask mode, else edge mode
    std::uint8_t value = 0;    // mask value, or the edge bit
    std::uint8_t care = 0;
    bool rising = true;
};

class LogicStreamRecorder {
public:
    // `capture` must hold `depth` bytes; nothing else is allocated while recording.
    LogicStreamRecorder(std::span<std::uint8_t> capture, std::int64_t preTrigger, const LogicStreamTrigger& trigger);

    void feed(std::span<const std::uint8_t> bytes);
    bool full() const { return next_ >= static_cast<std::int64_t>(capture_.size()); }
    bool triggered() const { return triggered_; }
    std::int64_t ringPosition() const { return ringPosition_; }
    // Bytes stored so far (up to the depth).
    std::int64_t stored() const { return next_; }

private:
    enum class Phase { Filling, Searching, After };

    std::span<std::uint8_t> capture_;
    std::int64_t pre_;
    LogicStreamTrigger trigger_;
    Phase phase_;
    std::int64_t next_ = 0;   // write index
    std::uint8_t previous_ = 0;
    bool triggered_ = false;
    std::int64_t ringPosition_ = 0;
};

} // namespace tesmar
