#pragma once
// One analogue record from the instrument for the command-line tool: buffer or stream read on
// the calling thread, ended by a time-out when no record comes.

#include "osc/OscAcquisitionParams.h"
#include "osc/OscResult.h"

namespace tesmar {

class UsbSession;

enum class AnalogCaptureOutcome { Complete, TimedOut, Failed };

AnalogCaptureOutcome CaptureAnalogRecord(UsbSession& session, const OscAcquisitionParams& params,
                                         double timeoutSeconds, OscResult& result);

} // namespace tesmar
