#pragma once
// The work of the two logic analyser reader threads as plain functions over the session, so the
// program's threads and the command-line tool run the same exchange.

#include "LogicStreamRecorder.h"
#include "LogicUnpack.h"
#include "device/LogicBlock.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace tesmar {

class UsbSession;

inline constexpr int kLogicFirstReadTimeoutMs = 10'000; // repeated until the instrument answers
inline constexpr int kLogicPartTimeoutMs = 500;
inline constexpr int kLogicStreamTimeoutMs = 30'000;

// Buffered read-out: the block, then the head (rate codes 0 … 2) or the four parts. True when
// every transfer of the read-out succeeded.
bool ReadLogicBuffer(UsbSession& session, const LogicBlockResult& block, LogicBufferFrame& frame,
                     const std::atomic<bool>& stop);

enum class LogicStreamStatus { Good = 0, ReadError = 1, OutOfMemory = 2, Stopped = 3 };

struct LogicStreamResult {
    LogicStreamStatus status = LogicStreamStatus::Good;
    std::vector<std::uint8_t> capture; // bus A, the depth's bytes in the device's bit order
    std::int64_t stored = 0;           // bytes received (the depth when complete)
    bool triggered = false;
    std::int64_t ringPosition = 0;
};

// Stream: reserves the depth, sends the block, records until full, failed or stopped, then
// resets the device. `progress` (if set) hears the bytes stored after every block.
LogicStreamResult ReadLogicStream(UsbSession& session, const LogicBlockResult& block, std::int64_t depth,
                                  std::int64_t preTrigger, const std::atomic<bool>& stop,
                                  const std::function<void(std::int64_t stored)>& progress = {});

// The stream's bus A in time order and in line order: the ring rotated when the trigger fired,
// cut to what arrived, bits reversed when the instrument sends them reversed. None when the
// bytes cannot be put in order (a failure while the trigger was still being searched).
std::optional<std::vector<std::uint8_t>> FinishLogicStream(LogicStreamResult&& result, std::int64_t preTrigger,
                                                          bool busAInverse);

// How a buffered read-out of this block is unpacked; `modePreTrigger` is the mode's count.
LogicBufferLayout BufferLayoutOf(const LogicBlockInput& input, const LogicBlockResult& block, int modePreTrigger);

// The trigger the stream reader looks for, from the block it sends.
LogicStreamTrigger StreamTriggerOf(const LogicBlock& block);

} // namespace tesmar
