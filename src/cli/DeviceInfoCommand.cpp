#include "DeviceInfoCommand.h"

#include "CliText.h"

#include "device/Commands.h"
#include "device/DeviceStartup.h"
#include "device/UsbSession.h"
#include "text/MessageTable.h"

#include <cstdio>
#include <string>

namespace tesmar {

namespace {

std::string PairLine(const char* name, const CalibrationPair& pair)
{
    char line[160];
    std::snprintf(line, sizeof line, "  %-22s zero %.15g V, %.15g V/unit\n", name, pair.zero, pair.voltsPerUnit);
    return line;
}

} // namespace

int RunDeviceInfoCommand(UsbSession& session, const MessageTable& messages, std::ostream& out, std::ostream& err)
{
    int failedStep = 0;
    const DeviceTakeUp device = TakeUpDevice(session, true, [&](int code, const std::function<void()>& step) {
        try {
            step();
        } catch (...) {
            failedStep = code;
        }
    });
    if (device.outcome == DeviceTakeUp::Outcome::NoDevice) {
        err << TerminalText(messages.text(Msg::strInitError)) << '\n';
        return 2;
    }
    if (device.outcome == DeviceTakeUp::Outcome::BootLoader) {
        out << "Identity: 0x55 (boot loader)\n";
        err << TerminalText(messages.text(Msg::strErrorBL)) << '\n';
        return 3;
    }
    out << "Identity: 0xAA (main application)\n";
    const auto v = QueryDevice(session, CmdGetVersion, 10, 5);
    if (v.size() == 5) {
        char line[64];
        std::snprintf(line, sizeof line, "Version: %d.%d (%02d/%02d/%02d)\n", v[0], v[1], v[2], v[3], v[4]);
        out << line;
    } else {
        out << "Version: not answered\n";
    }

    const CalibrationSet pairs = device.pairs.value_or(CalibrationSet{});
    out << "Calibration in effect ("
        << (device.pairs ? "from the instrument" : device.record ? "built-in: the record is blank" : "built-in: no record read")
        << "):\n";
    out << PairLine("A, normal range:", pairs.aNormal) << PairLine("A, attenuated range:", pairs.aAttenuated)
        << PairLine("B, normal range:", pairs.bNormal) << PairLine("B, attenuated range:", pairs.bAttenuated);
    if (device.record) {
        const int type = device.record->instrumentType();
        out << "Instrument type: " << type
            << (type == 0 ? " (logic analyser only)" : type == 255 ? " (not set)" : "") << '\n';
        out << "Instrument number: " << device.record->instrumentNumber() << '\n';
    }
    if (failedStep != 0) {
        err << "Step " << failedStep << " failed\n";
        return 1;
    }
    return 0;
}

} // namespace tesmar
