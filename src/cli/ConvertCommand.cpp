#include "cli/ConvertCommand.h"

#include "CliText.h"

#include "files/AnalogCsv.h"
#include "files/DataFile.h"
#include "files/DataFileLoad.h"
#include "files/MessageTable.h"

#include <algorithm>

namespace tesmar {

namespace {

const char* const kConvertUsage =
    "usage: tesmar-cli convert IN OUT\n"
    "  logic captures between .dat, .vcd and .csv (by extension);\n"
    "  oscilloscope, spectrum and recorder .dat files to .csv\n";

} // namespace

int RunConvertCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << kConvertUsage;
        return 0;
    }
    if (args.size() != 2) {
        err << kConvertUsage;
        return 64;
    }
    const std::string& input = args[0];
    const std::string& output = args[1];
    const auto inKind = CaptureFileKindOf(input);
    const auto outKind = CaptureFileKindOf(output);
    if (!inKind || !outKind) {
        err << "tesmar-cli convert: files must end in .dat, .vcd or .csv\n";
        return 64;
    }
    const MessageTable table;

    // An analogue page's data file has no capture: it becomes a table of values.
    if (*inKind == CaptureFileKind::DataFile) {
        const auto bytes = ReadWholeFile(input);
        if (!bytes) {
            err << "tesmar-cli convert: cannot read " << input << '\n';
            return 1;
        }
        const auto file = ReadDataFile(*bytes);
        if (const auto* error = std::get_if<DataFileReadError>(&file)) {
            err << "tesmar-cli convert: " << TerminalText(DataFileErrorText(*error, input, table)) << '\n';
            return 1;
        }
        if (const auto csv = AnalogDataFileToCsv(std::get<DataFile>(file))) {
            if (*outKind != CaptureFileKind::Csv) {
                err << "tesmar-cli convert: " << input << " holds analogue data, which converts to .csv only\n";
                return 64;
            }
            if (!WriteWholeFile(output, csv->data(), csv->size())) {
                err << "tesmar-cli convert: cannot write " << output << '\n';
                return 1;
            }
            return 0;
        }
    }

    const auto loaded = LoadCaptureFile(input, table);
    if (const auto* message = std::get_if<std::string>(&loaded)) {
        err << "tesmar-cli convert: " << TerminalText(*message) << '\n';
        return 1;
    }
    const CaptureImport& imported = std::get<CaptureImport>(loaded);
    for (const auto& warning : imported.warnings)
        err << "tesmar-cli convert: " << input << ": " << warning << '\n';
    if (imported.capture.busA.empty() && imported.capture.busB.empty()) {
        err << "tesmar-cli convert: " << TerminalText(table.text(Msg::strNoDataToSave)) << '\n';
        return 1;
    }
    const std::string problem = SaveCaptureFile(output, imported.capture);
    if (!problem.empty()) {
        err << "tesmar-cli convert: " << problem << '\n';
        return 1;
    }
    return 0;
}

} // namespace tesmar
