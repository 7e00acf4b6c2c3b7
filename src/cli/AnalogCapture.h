#pragma once
// One analogue record from the instrument for the command-line tool: buffer or stream read on
// the calling thread, ended by a time-out when no record comes.

#include "osc/OscAcquisitionParams.h"
#include "osc/OscResult.h"

#include <atomic>

namespace tesmar {

class UsbSession;

enum class AnalogCaptureOutcome { Complete, TimedOut, Interrupted, Failed };

// `interrupted` (Ctrl-C) ends the wait as the time-out does.
AnalogCaptureOutcome CaptureAnalogRecord(UsbSession& session, const OscAcquisitionParams& params,
                                         double timeoutSeconds, OscResult& result,
                                         const std::atomic<bool>* interrupted = nullptr);

} // namespace tesmar
