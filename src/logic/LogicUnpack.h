#pragma once
// Turning what the instrument sent into one byte per sample and bus: the buffered read-out's
// head and body blocks by rate code, the stream's pre-trigger ring, and bus A's bit order.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace tesmar {

inline constexpr int kLogicHeadBytes = 137; // 136 samples and the ring pointer
inline constexpr int kLogicBodyBytes = 1408;

struct LogicBufferFrame {
    std::array<std::uint8_t, kLogicHeadBytes> head{};
    std::array<std::uint8_t, kLogicBodyBytes> body{};
};

struct LogicBufferLayout {
    int rateCode = 5;
    bool sixteenLines = false;
    bool triggerOn = false;
    bool pulseSkip = false;      // active pulse skipping
    bool generator = false;
    std::uint8_t preTriggerByte = 0; // byte 7 of the block
    int preTrigger = 0;          // the mode's pre-trigger count, kept unless a rule sets it
    bool busAInverse = true;
};

struct UnpackedLogic {
    std::vector<std::uint8_t> busA, busB;
    int preTrigger = 0;
};

std::uint8_t ReverseBits(std::uint8_t byte);
void ReverseBits(std::span<std::uint8_t> bytes);

UnpackedLogic UnpackLogicBuffer(const LogicBufferFrame& frame, const LogicBufferLayout& layout);

// A stream whose trigger fired at `ringPosition` of the P-byte pre-trigger ring: puts the ring in
// time order, the trigger sample at P − 1.
void RotateLogicRing(std::span<std::uint8_t> capture, std::int64_t preTrigger, std::int64_t ringPosition);

} // namespace tesmar
