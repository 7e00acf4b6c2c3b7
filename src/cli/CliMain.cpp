#include "cli/CliMain.h"

#include "CliDevice.h"
#include "CliText.h"
#include "CliUsbFiles.h"
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
#include <optional>

namespace tesmar {

namespace {

const char* const kUsage =
    "usage: tesmar-cli [--sim] [--trace-usb] [--record-usb FILE | --replay-usb FILE] COMMAND [ARGS]\n"
    "  --sim          use the virtual instrument instead of USB\n"
    "  --sim-fast     the virtual instrument on a fast clock: streams as fast as they are read\n"
    "  --sim-fault F  faults of the virtual instrument (with --sim), e.g. unplug-after=0.5s,replug-after=2s:\n"
    "                 KIND-after=WHEN, KIND unplug, stall, error or replug; WHEN 0.5s, 200ms, 12transfers\n"
    "                 or 3reads (replug: a time after each unplug)\n"
    "  --trace-usb    print every USB transfer on standard error\n"
    "  --record-usb FILE   write every USB transfer both ways, with times, to FILE (text)\n"
    "  --replay-usb FILE   answer as the instrument did in a record of --record-usb, checking\n"
    "                 that the program sends the same (see docs/usb-session-record.md)\n"
    "  --probe        exit 0 when an instrument is plugged in, 1 otherwise\n"
    "  --version      print the program's version\n"
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
    "Ctrl-C or SIGTERM ends any command cleanly: no partial file is left behind, and what was\n"
    "captured so far is written.\n";

// Fast enough that the virtual instrument's pacing never holds a reader back.
constexpr double kFastSimSpeed = 1e6;

// The commands that talk to the instrument.
bool TalksToInstrument(const std::string& command, const std::vector<std::string>& args)
{
    return (command == "info" && args.empty()) || command == "osc" || command == "spectrum" || command == "record" ||
           command == "rec" || command == "calibration" || command == "firmware" || command == "logic";
}

int RunOnInstrument(const std::string& command, const std::vector<std::string>& args, const CliDeviceOptions& device,
                    std::ostream& out, std::ostream& err, InterruptWatch& watch);

int RunCommand(const std::vector<std::string>& words, std::ostream& out, std::ostream& err, InterruptWatch& watch) {
    CliDeviceOptions device;
    std::vector<std::string> rest;
    std::optional<std::string> faultText;
    std::string recordPath, replayPath;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "--sim-fault") {
            if (faultText) {
                err << "tesmar-cli: --sim-fault is given twice (put every fault in one, separated by commas)\n";
                return kExitUsage;
            }
            if (i + 1 == words.size() || words[i + 1].empty() || words[i + 1][0] == '-') {
                err << "tesmar-cli: --sim-fault needs faults, e.g. --sim-fault unplug-after=0.5s\n";
                return kExitUsage;
            }
            faultText = words[++i];
        } else if (word == "--record-usb" || word == "--replay-usb") {
            if (i + 1 >= words.size() || words[i + 1].empty()) {
                err << "tesmar-cli: " << word << " needs a file name\n";
                return kExitUsage;
            }
            (word == "--record-usb" ? recordPath : replayPath) = words[++i];
        } else if (word == "--sim")
            device.simulate = true;
        else if (word == "--sim-fast") {
            device.simulate = true;
            device.simSpeed = kFastSimSpeed;
        }
        else if (word == "--trace-usb")
            device.traceUsb = true;
        else if (word == "--probe" && rest.empty())
            return LibUsbTransport::instrumentPresent() ? kExitComplete : kExitFailure;
        else if ((word == "--help" || word == "-h") && rest.empty()) {
            out << kUsage << kExitStatusHelp;
            return kExitComplete;
        } else if ((word == "--version" || word == "-V") && rest.empty()) {
            out << "tesmar-cli " << TESMAR_VERSION << '\n';
            return kExitComplete;
        } else
            rest.push_back(word);
    }
    if (faultText) {
        std::string why;
        const auto faults = ParseSimFaults(*faultText, &why);
        if (!faults) {
            err << "tesmar-cli: --sim-fault: " << TerminalText(why) << '\n';
            return kExitUsage;
        }
        if (!device.simulate) {
            err << "tesmar-cli: --sim-fault exists on the virtual instrument only (add --sim)\n";
            return kExitUsage;
        }
        device.simFaults = *faults;
    }
    if (rest.empty()) {
        err << kUsage << kExitStatusHelp;
        return kExitUsage;
    }
    const std::string command = rest.front();
    const std::vector<std::string> args(rest.begin() + 1, rest.end());
    if (!replayPath.empty() && device.simulate) {
        err << "tesmar-cli: --replay-usb answers in place of the instrument; it cannot go with --sim\n";
        return kExitUsage;
    }
    if (TalksToInstrument(command, args)) {
        CliUsbFiles files;
        if (const int status = files.open(recordPath, replayPath, err))
            return status;
        files.applyTo(device);
        return files.finish(RunOnInstrument(command, args, device, out, err, watch), err);
    }
    if (command == "info")
        return RunFileInfoCommand(args, out, err);
    if (command == "decode")
        return RunDecodeCommand(args, out, err);
    if (command == "encode")
        return RunEncodeCommandWatched(args, out, err, watch);
    if (command == "convert")
        return RunConvertCommandWatched(args, out, err, watch);
    if (command == "plot") {
        err << "tesmar-cli plot: this build has no window code to draw charts with\n";
        return kExitFailure;
    }
    err << "tesmar-cli: unknown command '" << TerminalText(command) << "'\n" << kUsage;
    return kExitUsage;
}

int RunOnInstrument(const std::string& command, const std::vector<std::string>& args, const CliDeviceOptions& device,
                    std::ostream& out, std::ostream& err, InterruptWatch& watch)
{
    if (command == "info") {
        CliDevice instrument(device, err);
        return RunDeviceInfoCommand(instrument.session(), MessageTable(), out, err);
    }
    if (command == "osc") {
        CliDevice instrument(device, err);
        return RunOscCommand(instrument.session(), args, out, err, &watch.takeOver());
    }
    if (command == "spectrum") {
        CliDevice instrument(device, err);
        return RunSpectrumCommand(instrument.session(), args, out, err, &watch.takeOver());
    }
    if (command == "record" || command == "rec") {
        CliDevice instrument(device, err);
        return RunRecordCommand(instrument.session(), args, out, err, watch.takeOver());
    }
    if (command == "calibration")
        return RunCalibrationCommand(device, args, out, err);
    if (command == "firmware")
        return RunFirmwareCommand(device, args, out, err, &watch.takeOver());
    if (command == "logic") {
        CliDevice instrument(device, err);
        return RunLogicCommand(instrument.session(), instrument.simulatedLogic(), args, out, err, &watch.takeOver());
    }
    return kExitUsage; // TalksToInstrument names no other command
}

} // namespace

int RunCli(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
    int status = 0;
    try {
        // Before any thread of the instrument starts, so that they all leave the signals to it.
        InterruptWatch watch;
        errno = 0;
        status = RunCommand(words, out, err, watch);
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
