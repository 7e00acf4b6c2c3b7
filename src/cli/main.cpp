// tesmar-cli: the program's device and file code without windows.

#include "CliDevice.h"
#include "ConvertCommand.h"
#include "DecodeCommand.h"
#include "DeviceInfoCommand.h"
#include "FileInfoCommand.h"
#include "OscCommand.h"
#include "SpectrumCommand.h"
#include "files/MessageTable.h"
#include "usb/LibUsbTransport.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

const char* const kUsage =
    "usage: tesmar-cli [--sim] [--trace-usb] COMMAND [ARGS]\n"
    "  --sim          use the virtual instrument instead of USB\n"
    "  --trace-usb    print every USB transfer on standard error\n"
    "  --probe        exit 0 when an instrument is plugged in, 1 otherwise\n"
    "commands:\n"
    "  info           identity, version, calibration, type and number of the instrument\n"
    "  info FILE.dat  the chunks and settings of a data file\n"
    "  osc [options]  one oscilloscope record as CSV (osc --help)\n"
    "  spectrum [options]  one spectrum as CSV: the curve or a summary (spectrum --help)\n"
    "  decode uart|spi|i2c|1wire FILE [options]   decode captured lines (decode --help)\n"
    "  convert IN OUT convert between .dat, .vcd and .csv by extension\n";

} // namespace

int main(int argc, char* argv[])
{
    using namespace tesmar;
    tesmar::CliDeviceOptions device;
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--sim")
            device.simulate = true;
        else if (arg == "--trace-usb")
            device.traceUsb = true;
        else if (arg == "--probe")
            return LibUsbTransport::instrumentPresent() ? 0 : 1;
        else if (arg == "--help" || arg == "-h") {
            if (words.empty()) {
                std::cout << kUsage;
                return 0;
            }
            words.push_back(arg);
        } else
            words.push_back(arg);
    }
    if (words.empty()) {
        std::cerr << kUsage;
        return 64;
    }
    const std::string command = words.front();
    const std::vector<std::string> args(words.begin() + 1, words.end());

    if (command == "info" && args.empty()) {
        CliDevice instrument(device, std::cerr);
        return RunDeviceInfoCommand(instrument.session(), MessageTable(), std::cout, std::cerr);
    }
    if (command == "osc") {
        CliDevice instrument(device, std::cerr);
        return RunOscCommand(instrument.session(), args, std::cout, std::cerr);
    }
    if (command == "spectrum") {
        CliDevice instrument(device, std::cerr);
        return RunSpectrumCommand(instrument.session(), args, std::cout, std::cerr);
    }
    if (command == "info")
        return RunFileInfoCommand(args, std::cout, std::cerr);
    if (command == "decode")
        return RunDecodeCommand(args, std::cout, std::cerr);
    if (command == "convert")
        return RunConvertCommand(args, std::cout, std::cerr);
    std::cerr << "tesmar-cli: unknown command '" << command << "'\n" << kUsage;
    return 64;
}
