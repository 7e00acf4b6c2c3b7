#include "cli/ConvertCommand.h"

#include "CliOptions.h"
#include "CliText.h"
#include "ExitStatus.h"
#include "FileProgress.h"
#include "InterruptWatch.h"
#include "OutputFile.h"

#include "formats/AnalogCsv.h"
#include "formats/DataFile.h"
#include "formats/DataFileLoad.h"

#include <algorithm>
#include <optional>

#include <unistd.h>

namespace tesmar {

namespace {

const char* const kConvertUsage =
    "usage: tesmar-cli convert IN OUT [--rate HZ]\n"
    "  logic captures between .dat, .vcd, .csv and .sr (by extension);\n"
    "  oscilloscope, spectrum and recorder .dat files to .csv\n"
    "  --rate HZ: the sample rate of a .csv capture that states none and has no time column\n";

int RunConvert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                      InterruptWatch* watch)
{
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << kConvertUsage << kExitStatusHelp;
        return kExitComplete;
    }
    if (args.size() < 2) {
        err << kConvertUsage;
        return kExitUsage;
    }
    CliOptions options("convert", kConvertUsage);
    if (!options.parse(args, 2, {"--rate"}, {}, err))
        return 64;
    std::optional<double> givenRate;
    if (options.has("--rate")) {
        std::string problem;
        const auto rate = CheckedNumber("--rate", options.get("--rate", ""), {1, 1e9, false, " Hz"}, problem);
        if (!rate) {
            err << "tesmar-cli convert: " << problem << '\n';
            return 64;
        }
        givenRate = *rate;
    }
    const std::string& input = args[0];
    const auto inKind = CaptureFileKindOf(input);
    const auto outKind = CaptureFileKindOf(args[1]);
    if (!inKind || !outKind) {
        err << "tesmar-cli convert: files must end in .dat, .vcd, .csv or .sr\n";
        return kExitUsage;
    }
    if (givenRate && *inKind != CaptureFileKind::Csv) {
        err << "tesmar-cli convert: --rate is for .csv input only (the other formats carry their rate)\n";
        return 64;
    }
    // The output is taken before a large input is read, and never left half-written.
    OutputFile output;
    if (const int status = OpenOutputs("convert", {{&output, args[1]}}, err))
        return status;
    std::optional<InterruptWatch::CleanUp> cleanUp;
    if (watch)
        cleanUp.emplace(*watch, [&output] { output.discard(); });
    // The input is still there: a failed write keeps no copy.
    const auto write = [&](const OutputFile::Writer& writer) { return CommitOutput("convert", output, writer, err, false); };
    // An analogue page's data file has no capture: it becomes a table of values.
    if (*inKind == CaptureFileKind::DataFile) {
        const auto bytes = ReadFileBytes(input);
        if (const auto* refusal = std::get_if<std::string>(&bytes)) {
            err << "tesmar-cli convert: " << TerminalText(*refusal) << '\n';
            return kExitFailure;
        }
        const auto file = ReadDataFile(std::get<std::vector<std::uint8_t>>(bytes));
        if (const auto* error = std::get_if<DataFileReadError>(&file)) {
            err << "tesmar-cli convert: " << TerminalText("cannot read " + input + ": " + DataFileProblemText(*error)) << '\n';
            return kExitFailure;
        }
        if (const auto csv = AnalogDataFileToCsv(std::get<DataFile>(file))) {
            if (*outKind != CaptureFileKind::Csv) {
                err << "tesmar-cli convert: " << TerminalText(input) << " holds analogue data, which converts to .csv only\n";
                return kExitUsage;
            }
            return write(StreamWriter([&](std::ostream& file) { file << *csv; }));
        }
    }

    // A progress line while a large file is read and written, on a terminal only.
    FileProgress progress(err, "tesmar-cli convert: ", isatty(STDERR_FILENO) == 1);
    auto loaded = LoadCaptureFile(input, givenRate, progress.callback());
    progress.end();
    if (const auto* message = std::get_if<std::string>(&loaded)) {
        err << "tesmar-cli convert: " << TerminalText(*message) << '\n';
        return kExitFailure;
    }
    const CaptureImport& imported = std::get<CaptureImport>(loaded);
    for (const auto& warning : imported.warnings)
        err << "tesmar-cli convert: " << TerminalText(input + ": " + warning) << '\n';
    // The lines keep their number and names wherever the output can hold them.
    if (*outKind == CaptureFileKind::DataFile &&
        CaptureLinesOf(imported.capture, imported.lineNames) != CaptureLinesOf(imported.capture))
        err << "tesmar-cli convert: " << TerminalText(args[1])
            << ": a data file holds no line names; its lines are A.0 … A.7 (B.0 … B.7)\n";
    return write([&](const std::string& path) {
        auto saved = SaveCaptureFile(path, imported.capture, imported.lineNames, progress.samplesCallback());
        progress.end();
        return saved;
    });
}

} // namespace

int RunConvertCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    return RunConvert(args, out, err, nullptr);
}

int RunConvertCommandWatched(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                             InterruptWatch& watch)
{
    return RunConvert(args, out, err, &watch);
}

} // namespace tesmar
