#pragma once
// The work of the recorder's reader thread as a plain function over the session, so the program's
// thread and the command-line tool run the same exchange.

#include "RecorderStream.h"
#include "device/AnalogBlockBuilders.h"

#include <atomic>
#include <functional>

namespace tesmar {

class UsbSession;

inline constexpr int kRecorderReadTimeoutMs = 30'000;
inline constexpr std::uint32_t kRecorderReadLength = 512;
inline constexpr int kRecorderStartPauseMs = 100;

// Reserves the record (status 2 ends here), sends the block and records until `stop`, a status,
// auto-stop or the one-day limit; then resets the device. Every read's points are published as
// they are decoded; `onRead` (optional) runs on this thread after each.
void ReadRecorderStream(UsbSession& session, const RecorderBlock& block, RecorderStream& stream,
                        const std::atomic<bool>& stop, const std::function<void()>& onRead = {});

} // namespace tesmar
