#pragma once
// The instrument as the command-line tool reaches it: USB, the virtual instrument or the replay of
// a session record, optionally recorded to a file and traced transfer by transfer on standard error.

#include "device/Calibration.h"
#include "device/UsbSession.h"
#include "sim/SimClock.h"
#include "sim/SimFault.h"

#include <memory>
#include <ostream>
#include <variant>
#include <vector>

namespace tesmar {

class LogicEngine;
class RecordingTransport;
class ReplayTransport;
class TracingTransport;
class UsbRecordWriter;
class UsbTransport;

struct CliDeviceOptions {
    bool simulate = false;
    bool traceUsb = false;
    double simSpeed = 1.0; // the virtual instrument's clock: above 1 it runs ahead of real time
    std::vector<SimFault> simFaults; // armed on the virtual instrument before the command starts
    ReplayTransport* replay = nullptr; // answers instead of the instrument when set
    UsbRecordWriter* record = nullptr; // every transfer is written to it when set
};

class CliDevice {
public:
    CliDevice(const CliDeviceOptions& options, std::ostream& trace);
    ~CliDevice();

    UsbSession& session() { return *session_; }
    // The virtual instrument's logic side, to change its scene; none on USB.
    LogicEngine* simulatedLogic() { return logic_; }

private:
    SimClock clock_;
    std::unique_ptr<UsbTransport> transport_;
    std::unique_ptr<RecordingTransport> recording_;
    std::unique_ptr<TracingTransport> tracing_;
    std::unique_ptr<UsbSession> session_;
    LogicEngine* logic_ = nullptr; // owned by the virtual instrument
};

// Takes up the instrument for a measurement: its calibration pairs (built-in ones when it has
// none), or, after a message on `err`, the exit status: 2 no instrument, 3 it
// waits in its boot loader.
std::variant<CalibrationSet, int> TakeUpForMeasurement(UsbSession& session, std::ostream& err);

} // namespace tesmar
