#include "cli/CliMain.h"

#include "CliDevice.h"
#include "CliText.h"
#include "ConvertCommand.h"
#include "DecodeCommand.h"
#include "DeviceInfoCommand.h"
#include "EncodeCommand.h"
#include "FileInfoCommand.h"
#include "InterruptWatch.h"
#include "LogicCommand.h"
#include "OscCommand.h"
#include "RecordCommand.h"
#include "ServiceCommands.h"
#include "SpectrumCommand.h"
#include "text/MessageTable.h"
#include "usb/LibUsbTransport.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <new>

namespace tesmar {

namespace {

const char* const kUsage =
    "usage: tesmar-cli [--sim] [--trace-usb] COMMAND [ARGS]\n"
    "  --sim          use the virtual instrument instead of USB\n"
    "  --sim-fast     the virtual instrument on a fast clock: streams as fast as they are read\n"
    "  --trace-usb    print every USB transfer on standard error\n"
    "  --probe        exit 0 when an instrument is plugged in, 1 otherwise\n"
    "commands:\n"
    "  info           identity, version, calibration, type and number of the instrument\n"
    "  info FILE.dat  the chunks and settings of a data file\n"
    "  osc [options]  one oscilloscope record as CSV (osc --help)\n"
    "  spectrum [options]  one spectrum as CSV: the curve or a summary (spectrum --help)\n"
    "  record [options]  a recorder record as CSV or data file, until Ctrl-C or a duration (record --help)\n"
    "  logic [options] --out FILE   one logic analyser capture to .vcd, .csv, .dat or .sr\n"
    "                 (logic --help)\n"
    "  decode uart|spi|i2c|1wire FILE [options]   decode captured lines (decode --help)\n"
    "  encode uart|spi|i2c [options] --out FILE.dat   generator data from bytes (encode --help)\n"
    "  convert IN OUT convert between .dat, .vcd, .csv and .sr by extension\n"
    "  plot FILE.dat --out PICTURE   the page's chart of a data file as .svg, .pdf, .png or .bmp\n"
    "                 (plot --help)\n"
    "  calibration read | write FILE.txt --pair P | default   the instrument's calibration record\n"
    "  firmware FILE.bin  update the instrument's firmware (at most 16 KB)\n"
    "exit status: 0 complete result, 1 refused or incomplete, 64 bad usage, 70 internal error,\n"
    "  74 the output could not be written\n";

// Fast enough that the virtual instrument's pacing never holds a reader back.
constexpr double kFastSimSpeed = 1e6;

int RunCommand(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
    CliDeviceOptions device;
    std::vector<std::string> rest;
    for (const std::string& word : words) {
        if (word == "--sim")
            device.simulate = true;
        else if (word == "--sim-fast") {
            device.simulate = true;
            device.simSpeed = kFastSimSpeed;
        }
        else if (word == "--trace-usb")
            device.traceUsb = true;
        else if (word == "--probe" && rest.empty())
            return LibUsbTransport::instrumentPresent() ? 0 : 1;
        else if ((word == "--help" || word == "-h") && rest.empty()) {
            out << kUsage;
            return 0;
        } else
            rest.push_back(word);
    }
    if (rest.empty()) {
        err << kUsage;
        return kExitUsage;
    }
    const std::string command = rest.front();
    const std::vector<std::string> args(rest.begin() + 1, rest.end());

    if (command == "info" && args.empty()) {
        CliDevice instrument(device, err);
        return RunDeviceInfoCommand(instrument.session(), MessageTable(), out, err);
    }
    if (command == "osc") {
        CliDevice instrument(device, err);
        return RunOscCommand(instrument.session(), args, out, err);
    }
    if (command == "spectrum") {
        CliDevice instrument(device, err);
        return RunSpectrumCommand(instrument.session(), args, out, err);
    }
    if (command == "record" || command == "rec") {
        const InterruptWatch watch; // before the instrument's threads start
        CliDevice instrument(device, err);
        return RunRecordCommand(instrument.session(), args, out, err, watch.interrupted());
    }
    if (command == "calibration")
        return RunCalibrationCommand(device, args, out, err);
    if (command == "firmware") {
        const InterruptWatch watch; // before the instrument's threads start
        return RunFirmwareCommand(device, args, out, err, &watch.interrupted());
    }
    if (command == "logic") {
        const InterruptWatch watch; // before the instrument's threads start
        CliDevice instrument(device, err);
        return RunLogicCommand(instrument.session(), instrument.simulatedLogic(), args, out, err,
                               &watch.interrupted());
    }
    if (command == "info")
        return RunFileInfoCommand(args, out, err);
    if (command == "decode")
        return RunDecodeCommand(args, out, err);
    if (command == "encode")
        return RunEncodeCommand(args, out, err);
    if (command == "convert")
        return RunConvertCommand(args, out, err);
    if (command == "plot") {
        err << "tesmar-cli plot: this build has no window code to draw charts with\n";
        return 1;
    }
    err << "tesmar-cli: unknown command '" << TerminalText(command) << "'\n" << kUsage;
    return kExitUsage;
}

} // namespace

int RunCli(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
    int status = 0;
    try {
        errno = 0;
        status = RunCommand(words, out, err);
    } catch (const std::bad_alloc&) {
        err << "tesmar-cli: out of memory\n";
        status = kExitInternal;
    } catch (const std::exception& error) {
        err << "tesmar-cli: internal error: " << TerminalText(error.what()) << '\n';
        status = kExitInternal;
    } catch (...) {
        err << "tesmar-cli: internal error\n";
        status = kExitInternal;
    }
    try {
        out.flush();
    } catch (...) {
        // The stream's own exceptions: its state tells the same.
    }
    // A command that failed on its output has said so already.
    if (!out && status != kExitInternal && status != kExitOutput) {
        const int cause = errno;
        err << "tesmar-cli: cannot write the output"
            << (cause ? std::string(": ") + std::strerror(cause) : std::string()) << '\n';
        return kExitOutput;
    }
    return status;
}

} // namespace tesmar
