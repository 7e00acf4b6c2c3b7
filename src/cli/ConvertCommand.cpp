#include "cli/ConvertCommand.h"

#include "CliOptions.h"
#include "CliText.h"

#include "formats/AnalogCsv.h"
#include "formats/DataFile.h"
#include "formats/DataFileLoad.h"

#include <algorithm>

namespace tesmar {

namespace {

const char* const kConvertUsage =
    "usage: tesmar-cli convert IN OUT [--rate HZ]\n"
    "  logic captures between .dat, .vcd, .csv and .sr (by extension);\n"
    "  oscilloscope, spectrum and recorder .dat files to .csv\n"
    "  --rate HZ: the sample rate of a .csv capture that states none and has no time column\n";

} // namespace

int RunConvertCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << kConvertUsage;
        return 0;
    }
    if (args.size() < 2) {
        err << kConvertUsage;
        return 64;
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
    const std::string& output = args[1];
    const auto inKind = CaptureFileKindOf(input);
    const auto outKind = CaptureFileKindOf(output);
    if (!inKind || !outKind) {
        err << "tesmar-cli convert: files must end in .dat, .vcd, .csv or .sr\n";
        return 64;
    }
    if (givenRate && *inKind != CaptureFileKind::Csv) {
        err << "tesmar-cli convert: --rate is for .csv input only (the other formats carry their rate)\n";
        return 64;
    }
    // An analogue page's data file has no capture: it becomes a table of values.
    if (*inKind == CaptureFileKind::DataFile) {
        const auto bytes = ReadFileBytes(input);
        if (const auto* refusal = std::get_if<std::string>(&bytes)) {
            err << "tesmar-cli convert: " << TerminalText(*refusal) << '\n';
            return 1;
        }
        const auto file = ReadDataFile(std::get<std::vector<std::uint8_t>>(bytes));
        if (const auto* error = std::get_if<DataFileReadError>(&file)) {
            err << "tesmar-cli convert: " << TerminalText("cannot read " + input + ": " + DataFileProblemText(*error)) << '\n';
            return 1;
        }
        if (const auto csv = AnalogDataFileToCsv(std::get<DataFile>(file))) {
            if (*outKind != CaptureFileKind::Csv) {
                err << "tesmar-cli convert: " << TerminalText(input) << " holds analogue data, which converts to .csv only\n";
                return 64;
            }
            if (!WriteWholeFile(output, csv->data(), csv->size())) {
                err << "tesmar-cli convert: cannot write " << TerminalText(output) << '\n';
                return 1;
            }
            return 0;
        }
    }

    auto loaded = LoadCaptureFile(input, givenRate);
    if (const auto* message = std::get_if<std::string>(&loaded)) {
        err << "tesmar-cli convert: " << TerminalText(*message) << '\n';
        return 1;
    }
    const CaptureImport& imported = std::get<CaptureImport>(loaded);
    for (const auto& warning : imported.warnings)
        err << "tesmar-cli convert: " << TerminalText(input + ": " + warning) << '\n';
    const std::string problem = SaveCaptureFile(output, imported.capture);
    if (!problem.empty()) {
        err << "tesmar-cli convert: " << TerminalText(problem) << '\n';
        return 1;
    }
    return 0;
}

} // namespace tesmar
