#pragma once
// The work of the two oscilloscope reader threads as plain functions over the session, so the
// program's threads and the command-line tool run the same exchange.

#include "OscAcquisitionParams.h"
#include "OscBufferDecoder.h"
#include "OscResult.h"

#include <atomic>

namespace tesmar {

class OscLiveRecord;
class UsbSession;

// Time-outs of the exchange, ms.
inline constexpr int kOscFirstPartTimeoutMs = 10'000; // repeated until the instrument answers
inline constexpr int kOscPartTimeoutMs = 500;
inline constexpr int kOscStreamTimeoutMs = 30'000;

// Buffer mode: sends the block, waits (in slices, until `stop`) for the triggered record and reads
// its three parts. True only when every transfer of the parts succeeded.
bool ReadOscBufferFrame(UsbSession& session, const OscAcquisitionParams& params, OscFrame& frame,
                        const std::atomic<bool>& stop);

// How often a stream reader hands the points so far to the user-interface thread, ms.
inline constexpr int kOscLiveIntervalMs = 200;

// Stream mode: sends the block and records until the record is full, a read fails or `stop`;
// then resets the device (which ends the stream) and finishes the record. With `live`, the
// points so far are offered there every kOscLiveIntervalMs and once more at the end.
bool ReadOscStream(UsbSession& session, const OscAcquisitionParams& params, OscResult& result,
                   const std::atomic<bool>& stop, OscLiveRecord* live = nullptr);

} // namespace tesmar
