#pragma once
// Taking up the instrument at start: open the session, read its identity and calibration record,
// decide whether it is the logic-analyser-only variant, and reset it.

#include "Calibration.h"

#include <functional>
#include <optional>

namespace tesmar {

class UsbSession;

struct DeviceTakeUp {
    enum class Outcome { NoDevice, BootLoader, Ready };
    Outcome outcome = Outcome::NoDevice;
    std::optional<CalibrationRecord> record; // as read, when the read delivered all of it
    std::optional<CalibrationSet> pairs;     // the instrument's pairs, unless its record is blank
    bool logicOnly = false;
};

// Runs one numbered start-up step; the caller reports a failure by its code and goes on.
using GuardedStep = std::function<void(int code, const std::function<void()>& step)>;

// `logicOnlyCheck` is false when the program was started with -CLBR. With `keepWatching`, a
// session that finds no instrument stays open for one plugged in later.
DeviceTakeUp TakeUpDevice(UsbSession& session, bool logicOnlyCheck, const GuardedStep& guarded,
                          bool keepWatching = false);
// The same for an instrument attached to the open session: identity, calibration, reset.
DeviceTakeUp TakeUpAttachedDevice(UsbSession& session, bool logicOnlyCheck, const GuardedStep& guarded);

} // namespace tesmar
