#include "CliDevice.h"

#include "ExitStatus.h"
#include "device/DeviceStartup.h"
#include "device/RecordingTransport.h"
#include "device/ReplayTransport.h"
#include "device/TracingTransport.h"
#include "sim/AnalogEngine.h"
#include "sim/LogicEngine.h"
#include "sim/SceneSettings.h"
#include "sim/VirtualInstrument.h"
#include "usb/LibUsbTransport.h"

namespace tesmar {

CliDevice::CliDevice(const CliDeviceOptions& options, std::ostream& trace) : clock_(options.simSpeed)
{
    if (options.simulate) {
        auto instrument = std::make_unique<VirtualInstrument>(clock_);
        std::string problems;
        InstallAnalogEngine(*instrument, SceneFromEnvironment(problems));
        logic_ = &InstallLogicEngine(*instrument);
        trace << problems;
        instrument->armFaults(options.simFaults);
        transport_ = std::move(instrument);
    }
    else if (!options.replay) {
        transport_ = std::make_unique<LibUsbTransport>();
    }
    UsbTransport* used = transport_.get();
    if (options.replay)
        used = options.replay;
    if (options.record) {
        recording_ = std::make_unique<RecordingTransport>(*used, *options.record);
        used = recording_.get();
    }
    if (options.traceUsb) {
        tracing_ = std::make_unique<TracingTransport>(*used, trace);
        used = tracing_.get();
    }
    session_ = std::make_unique<UsbSession>(*used);
    if (options.simulate && options.simSpeed != 1.0)
        session_->setSleeper([this](int ms) { clock_.sleepMs(ms); });
    if (options.replay)
        session_->setSleeper([](int) {}); // the record's answers are there already

}

CliDevice::~CliDevice()
{
    session_.reset(); // stops the transport's callbacks before the transport goes
}

std::variant<CalibrationSet, int> TakeUpForMeasurement(UsbSession& session, std::ostream& err)
{
    const DeviceTakeUp device = TakeUpDevice(session, true, [](int, const std::function<void()>& step) { step(); });
    if (device.outcome == DeviceTakeUp::Outcome::Ready)
        return device.pairs.value_or(CalibrationSet{});
    if (device.outcome == DeviceTakeUp::Outcome::NoDevice) {
        err << "tesmar-cli: no instrument found (is it plugged in? --sim uses the virtual instrument)\n";
        return kExitNoInstrument;
    }
    err << "tesmar-cli: the instrument waits in its boot loader: update its firmware (tesmar-cli firmware FILE.bin)\n";
    return kExitBootLoader;
}

} // namespace tesmar
