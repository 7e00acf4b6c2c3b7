#include "ServiceCommands.h"

#include "CliDevice.h"
#include "CliMain.h"
#include "CliText.h"
#include "device/Calibration.h"
#include "device/Commands.h"
#include "device/UsbSession.h"
#include "settings/IniFile.h"
#include "service/CalibrationSheet.h"
#include "service/CalibrationTransfer.h"
#include "service/FirmwareUpdate.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>

namespace tesmar {

namespace {

const char* const kCalibrationUsage =
    "usage: tesmar-cli calibration read | write FILE.txt --pair A1/20|A1/2|B1/20|B1/2 | default\n"
    "  read      the four pairs, type and number stored in the instrument\n"
    "  write     the new pair (u0_, k_) of a calibration file into one pair of the instrument\n"
    "  default   the built-in pairs into the instrument (type, number and other bytes kept)\n"
    "  A new pair must lie within u0_ -100 … 100 V and k_ 1e-06 … 0.01 V per unit.\n";

// What an instrument's input can have: the built-in pairs are about 2.5 V and 7.5e-5 V per unit
// (normal range) and 23 V and 7.1e-4 V per unit (attenuated).
constexpr double kMaxZeroVolts = 100.0;
constexpr double kMinVoltsPerUnit = 1e-6, kMaxVoltsPerUnit = 1e-2;

std::optional<double> ParseDecimal(std::string text)
{
    for (char& c : text)
        if (c == ',')
            c = '.';
    if (text.empty())
        return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

CalibrationPair* PairByName(CalibrationSet& set, const std::string& name)
{
    if (name == "A1/20" || name == "a1/20")
        return &set.aAttenuated;
    if (name == "A1/2" || name == "a1/2")
        return &set.aNormal;
    if (name == "B1/20" || name == "b1/20")
        return &set.bAttenuated;
    if (name == "B1/2" || name == "b1/2")
        return &set.bNormal;
    return nullptr;
}

void PrintPair(std::ostream& out, const char* name, const CalibrationPair& pair)
{
    char line[160];
    std::snprintf(line, sizeof line, "%-6s zero %.15g V, %.15g V/unit\n", name, pair.zero, pair.voltsPerUnit);
    out << line;
}

// Opens the instrument and makes sure its application runs; the exit code on failure.
int OpenApplication(UsbSession& session, std::ostream& err)
{
    if (!session.DeviceOpen()) {
        err << "tesmar-cli: no instrument found\n";
        return kExitNoInstrument;
    }
    const auto id = QueryDevice(session, CmdGetId, 50, 1);
    if (id.size() == 1 && id[0] == kIdBootLoader) {
        err << "tesmar-cli: the instrument runs its boot loader; update its firmware first\n";
        return kExitBootLoader;
    }
    if (id.size() != 1 || id[0] != kIdMainApplication) {
        err << "tesmar-cli: the instrument does not answer\n";
        return kExitFailure;
    }
    return kExitComplete;
}

int ReadRecord(UsbSession& session, std::ostream& err, CalibrationRecord& record)
{
    const auto read = ReadCalibrationRecord(session);
    if (!read) {
        err << "tesmar-cli: the calibration record could not be read\n";
        return 1;
    }
    record = *read;
    return 0;
}

int WriteAndVerify(UsbSession& session, const CalibrationRecord& record, std::ostream& out, std::ostream& err)
{
    if (!WriteAndVerifyCalibrationRecord(session, record)) {
        err << "tesmar-cli: the instrument did not keep the calibration record\n";
        return 1;
    }
    out << "calibration written\n";
    return 0;
}

} // namespace

int RunCalibrationCommand(const CliDeviceOptions& device, const std::vector<std::string>& args, std::ostream& out,
                          std::ostream& err)
{
    const std::string verb = args.empty() ? std::string() : args[0];
    std::optional<CalibrationPair> newPair;
    std::string pairName;
    if (verb == "write") {
        if (args.size() != 4 || args[2] != "--pair") {
            err << kCalibrationUsage;
            return kExitUsage;
        }
        pairName = args[3];
        CalibrationSet probe;
        if (!PairByName(probe, pairName)) {
            err << "tesmar-cli: --pair must be A1/20, A1/2, B1/20 or B1/2, not \"" << pairName << "\"\n";
            return kExitUsage;
        }
        std::error_code error;
        if (std::filesystem::is_directory(args[1], error)) {
            err << "tesmar-cli: cannot read " << TerminalText(args[1]) << ": is a directory\n";
            return kExitFailure;
        }
        IniFile file(args[1]);
        if (!file.load()) {
            err << "tesmar-cli: cannot read " << TerminalText(args[1]) << '\n';
            return kExitFailure;
        }
        CalibrationSheet sheet;
        ReadCalibrationSheet(file, sheet);
        const auto zero = ParseDecimal(sheet.u0New);
        const auto k = ParseDecimal(sheet.kNew);
        if (!zero || !k || *k == 0.0) {
            err << "tesmar-cli: " << TerminalText(args[1]) << " has no usable new pair (keys u0_ and k_ in section main)\n";
            return kExitFailure;
        }
        if (std::fabs(*zero) > kMaxZeroVolts || *k < kMinVoltsPerUnit || *k > kMaxVoltsPerUnit) {
            char range[320];
            std::snprintf(range, sizeof range,
                          "the new pair u0_ = %.10g V, k_ = %.10g V per unit is not one an input can have: u0_ must "
                          "lie within -%g … %g V and k_ within %g … %g V per unit",
                          *zero, *k, kMaxZeroVolts, kMaxZeroVolts, kMinVoltsPerUnit, kMaxVoltsPerUnit);
            err << "tesmar-cli: " << TerminalText(args[1]) << ": " << range << '\n';
            return kExitFailure;
        }
        newPair = CalibrationPair{*zero, *k};
    } else if ((verb != "read" && verb != "default") || args.size() != 1) {
        const bool help = verb == "--help" && args.size() == 1;
        (help ? out : err) << kCalibrationUsage << kExitStatusHelp;
        return help ? kExitComplete : kExitUsage;
    }

    CliDevice instrument(device, err);
    UsbSession& session = instrument.session();
    if (const int code = OpenApplication(session, err))
        return code;
    CalibrationRecord record;
    if (const int code = ReadRecord(session, err, record))
        return code;

    if (verb == "read") {
        if (record.isBlank()) {
            out << "record blank: the built-in pairs are in effect\n";
        } else {
            const CalibrationSet pairs = record.pairs();
            PrintPair(out, "A1/20", pairs.aAttenuated);
            PrintPair(out, "A1/2", pairs.aNormal);
            PrintPair(out, "B1/20", pairs.bAttenuated);
            PrintPair(out, "B1/2", pairs.bNormal);
        }
        out << "type " << int(record.instrumentType()) << ", number " << record.instrumentNumber() << '\n';
        return 0;
    }
    CalibrationSet pairs = record.isBlank() ? CalibrationSet{} : record.pairs();
    if (verb == "default")
        pairs = CalibrationSet{};
    else
        *PairByName(pairs, pairName) = *newPair;
    record.setPairs(pairs);
    return WriteAndVerify(session, record, out, err);
}

int RunFirmwareCommand(const CliDeviceOptions& device, const std::vector<std::string>& args, std::ostream& out,
                       std::ostream& err, const std::atomic<bool>* interrupted)
{
    // FILE and --force in either order; anything else starting with "-" is no file name.
    bool force = false;
    std::vector<std::string> files;
    bool unknown = false;
    const bool help = args.size() == 1 && args[0] == "--help";
    for (const std::string& arg : args) {
        if (arg == "--force") {
            force = true;
        } else if (!arg.empty() && arg[0] == '-') {
            unknown = true;
            if (!help)
                err << "tesmar-cli firmware: unknown option " << TerminalText(arg) << '\n';
        } else {
            files.push_back(arg);
        }
    }
    if (help || unknown || files.size() != 1) {
        (help ? out : err) << "usage: tesmar-cli firmware FILE.bin [--force]   (at most 16384 bytes)\n"
                              "  A file that does not look like firmware for this instrument (one byte repeated,\n"
                              "  or a major version other than the installed one's) is refused before anything\n"
                              "  is erased; --force writes it all the same.\n"
                              "  Ctrl-C ends the update between two blocks, never inside one; exit status 130 then.\n"
                           << kExitStatusHelp;
        return help ? kExitComplete : kExitUsage;
    }
    FirmwareImage image;
    switch (image.loadFile(files[0])) {
    case FirmwareImage::LoadResult::Loaded: break;
    case FirmwareImage::LoadResult::TooLarge:
        err << "tesmar-cli: " << files[0] << " is larger than 16384 bytes: not a firmware image\n";
        return 1;
    case FirmwareImage::LoadResult::Empty: err << "tesmar-cli: " << files[0] << " is empty\n"; return 1;
    case FirmwareImage::LoadResult::Unreadable: err << "tesmar-cli: cannot read " << files[0] << '\n'; return 1;
    }

    CliDevice instrument(device, err);
    UsbSession& session = instrument.session();
    if (!session.DeviceOpen()) {
        err << "tesmar-cli: no instrument found\n";
        return kExitNoInstrument;
    }
    const auto installed = InstalledFirmwareVersion(session);
    const FirmwareImage::Doubt doubt =
        image.doubt(installed ? std::optional<std::uint8_t>((*installed)[0]) : std::nullopt);
    if (doubt != FirmwareImage::Doubt::None && !force) {
        err << "tesmar-cli: " << TerminalText(files[0]) << " does not look like firmware for this instrument: ";
        if (doubt == FirmwareImage::Doubt::OneRepeatedByte)
            err << "it is one byte repeated";
        else
            err << "its version " << int(image.versionMajor()) << '.' << int(image.versionMinor())
                << " does not continue the installed " << int((*installed)[0]) << '.' << int((*installed)[1]);
        err << "; nothing was written (--force writes it all the same)\n";
        return kExitFailure;
    }
    FirmwareUpdateListener listener;
    listener.stage = [&err](FirmwareStage stage) {
        err << (stage == FirmwareStage::EnteringBootLoader ? "entering the boot loader\n" : "writing the image\n");
    };
    listener.progress = [&err](int value, int maximum) {
        if (value > 0 && value % 8 == 0)
            err << "block " << value / 8 << " of " << maximum / 8 << '\n';
    };
    switch (UpdateFirmware(session, image, listener, interrupted)) {
    case FirmwareUpdateResult::NoBootLoader:
        err << "tesmar-cli: the instrument could not be switched to its boot loader\n";
        return 1;
    case FirmwareUpdateResult::BlockFailed:
        err << "tesmar-cli: the update failed; the instrument waits in its boot loader: unplug it, plug it in "
               "again and repeat the update\n";
        return 1;
    case FirmwareUpdateResult::Cancelled:
        err << "tesmar-cli: interrupted before anything was erased; the firmware is unchanged\n";
        return kExitInterrupted;
    case FirmwareUpdateResult::Interrupted:
        err << "tesmar-cli: interrupted; the update is not complete and the instrument waits in its boot loader "
               "(it runs no application until an update completes): run 'tesmar-cli firmware "
            << TerminalText(files[0]) << "' again to finish it\n";
        return kExitInterrupted;
    case FirmwareUpdateResult::Done: break;
    }
    session.pause(500);
    const auto version = InstalledFirmwareVersion(session);
    out << "firmware updated; version " << (version ? FormatFirmwareVersion(*version) : std::string("not reported"))
        << '\n';
    return 0;
}

} // namespace tesmar
