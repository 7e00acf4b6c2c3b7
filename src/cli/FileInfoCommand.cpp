#include "cli/FileInfoCommand.h"

#include "CliText.h"
#include "ExitStatus.h"

#include "formats/DataFile.h"
#include "formats/DataFileBytes.h"
#include "formats/DataFileLoad.h"

#include <algorithm>
#include <cstdio>

namespace tesmar {

namespace {

const char* const kInfoUsage =
    "usage: tesmar-cli info              the instrument: identity, version, calibration, type, number\n"
    "       tesmar-cli info FILE.dat     a data file: its chunks, settings and remark\n";

std::string Hex(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

std::string Number(double value)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.12g", value);
    return text;
}

const char* ChunkName(std::uint8_t type, std::size_t index)
{
    if (index == 1)
        return "remark";
    switch (type) {
    case 0x00: return "end";
    case 0x80: return "oscilloscope settings";
    case 0x90: return "spectrum settings";
    case 0xA0: return "recorder settings";
    case 0xB0: return "logic analyser settings";
    case 0x81: case 0xA1: return "channel A data";
    case 0x82: case 0xA2: return "channel B data";
    case 0x91: return "channel A spectrum";
    case 0x92: return "channel B spectrum";
    case 0xB1: return "bus A capture";
    case 0xB2: return "bus B capture";
    default: return "unknown";
    }
}

// The chunk list of a file that has already read cleanly.
void PrintChunks(const std::vector<std::uint8_t>& bytes, std::ostream& out)
{
    out << "chunks:\n";
    std::size_t offset = 0;
    for (std::size_t index = 0; offset < bytes.size(); ++index) {
        const DataFileFieldReader header{std::span<const std::uint8_t>(bytes).subspan(offset)};
        const std::uint8_t type = header.u8(0);
        const std::int32_t length = header.i32(1);
        out << "  @" << offset << "  " << Hex(type) << "  " << ChunkName(type, index) << "  length " << length;
        if (index == 0) {
            offset += static_cast<std::size_t>(length);
        } else if (type == 0 && index > 1) {
            out << '\n';
            break;
        } else {
            const std::int32_t count = header.i32(5);
            out << "  n " << count;
            const bool known = index == 1 || type == bytes[0] + 1 || type == bytes[0] + 2;
            const std::size_t element = index == 1 || bytes[0] == 0xB0 ? 1 : 8;
            offset += known ? kDataChunkHeader + static_cast<std::size_t>(count) * element : static_cast<std::size_t>(length);
        }
        out << '\n';
    }
}

void Field(std::ostream& out, const char* name, const std::string& value) { out << "  " << name << ": " << TerminalText(value) << '\n'; }
void Field(std::ostream& out, const char* name, double value) { Field(out, name, Number(value)); }
void Axis(std::ostream& out, const char* name, const AxisLimits& axis)
{
    Field(out, name, Number(axis.min) + " … " + Number(axis.max));
}
void Params(std::ostream& out, const char* name, const StoredSignalParams& params)
{
    Field(out, name, "Uconst " + Number(params[0]) + ", Uvaria " + Number(params[1]) + ", Umax " + Number(params[2]) +
                         ", Umin " + Number(params[3]) + ", F " + Number(params[4]));
}

void PrintSettings(const OscSettingsChunk& c, std::ostream& out)
{
    Field(out, "sample period, s", c.samplePeriod);
    Field(out, "cbOscZoom", c.cbOscZoom);
    Field(out, "sbOscOnCh1", c.sbOscOnCh1);
    Field(out, "sbOscOnCh2", c.sbOscOnCh2);
    Field(out, "knOscCh1", c.knOscCh1);
    Field(out, "knOscCh2", c.knOscCh2);
    Field(out, "trigger level A, V", c.triggerLevelA);
    Field(out, "trigger level B, V", c.triggerLevelB);
    Field(out, "first sample time A, s", c.firstTimeA);
    Field(out, "first sample time B, s", c.firstTimeB);
    Axis(out, "left axis", c.leftAxis);
    Axis(out, "right axis", c.rightAxis);
    Axis(out, "time axis", c.timeAxis);
    Params(out, "parameters A", c.paramsA);
    Params(out, "parameters B", c.paramsB);
}

void PrintSettings(const SpectrumSettingsChunk& c, std::ostream& out)
{
    Field(out, "sample rate, Hz", c.sampleRate);
    Field(out, "cbFFTZoom", c.cbFFTZoom);
    Field(out, "sbFFTOnCh1", c.sbFFTOnCh1);
    Field(out, "sbFFTOnCh2", c.sbFFTOnCh2);
    Field(out, "spbtFFTCh1dB", c.spbtFFTCh1dB);
    Field(out, "spbtFFTCh10dB", c.spbtFFTCh10dB);
    Field(out, "spbtFFTCh2dB", c.spbtFFTCh2dB);
    Field(out, "spbtFFTCh20dB", c.spbtFFTCh20dB);
    Field(out, "knFFTCh1", c.knFFTCh1);
    Field(out, "knFFTCh2", c.knFFTCh2);
    Axis(out, "left axis", c.leftAxis);
    Axis(out, "right axis", c.rightAxis);
    Axis(out, "frequency axis", c.frequencyAxis);
    Params(out, "parameters A", c.paramsA);
    Params(out, "parameters B", c.paramsB);
    Field(out, "largest value A, B", Number(c.summary[0]) + ", " + Number(c.summary[1]));
    Field(out, "first harmonic amplitude A, B", Number(c.summary[2]) + ", " + Number(c.summary[3]));
    Field(out, "first harmonic frequency A, B, Hz", Number(c.summary[4]) + ", " + Number(c.summary[5]));
    Field(out, "cbFFTKNIMax", c.cbFFTKNIMax);
    Field(out, "edFFTKNIF", c.edFFTKNIF);
    Field(out, "lbFFTKNI1Ch1", c.lbFFTKNI1Ch1);
    Field(out, "lbFFTKNI3Ch1", c.lbFFTKNI3Ch1);
    Field(out, "lbFFTF1Ch1", c.lbFFTF1Ch1);
    Field(out, "lbFFTKNI1Ch2", c.lbFFTKNI1Ch2);
    Field(out, "lbFFTKNI3Ch2", c.lbFFTKNI3Ch2);
    Field(out, "lbFFTF1Ch2", c.lbFFTF1Ch2);
}

void PrintSettings(const RecorderSettingsChunk& c, std::ostream& out)
{
    Field(out, "sample period, s", c.samplePeriod);
    Field(out, "cbRecZoom", c.cbRecZoom);
    Field(out, "sbRecOnCh1", c.sbRecOnCh1);
    Field(out, "sbRecOnCh2", c.sbRecOnCh2);
    Field(out, "knRecTimeDiv", c.knRecTimeDiv);
    Field(out, "knRecCh1", c.knRecCh1);
    Field(out, "knRecCh2", c.knRecCh2);
    Axis(out, "left axis", c.leftAxis);
    Axis(out, "right axis", c.rightAxis);
    Axis(out, "time axis", c.timeAxis);
    Field(out, "lbRecRunTime", c.lbRecRunTime);
    Field(out, "lbRecUmaxCh1", c.lbRecUmaxCh1);
    Field(out, "lbRecUminCh1", c.lbRecUminCh1);
    Field(out, "lbRecUsrCh1", c.lbRecUsrCh1);
    Field(out, "lbRecUmaxCh2", c.lbRecUmaxCh2);
    Field(out, "lbRecUminCh2", c.lbRecUminCh2);
    Field(out, "lbRecUsrCh2", c.lbRecUsrCh2);
    for (std::size_t k = 0; k < c.markers.size(); ++k) {
        const RecorderMarkerSlot& marker = c.markers[k];
        if (!marker.exists)
            continue;
        out << "  marker " << k + 1 << ": at " << Number(marker.position) << " d, colour " << Hex(marker.colour >> 16)
            << Hex(marker.colour >> 8 & 0xFF).substr(2) << Hex(marker.colour & 0xFF).substr(2) << ", \"" << TerminalText(marker.comment)
            << "\"\n";
    }
}

void PrintSettings(const LogicSettingsChunk& c, std::ostream& out)
{
    Field(out, "sample rate, Hz", c.sampleRate);
    Field(out, "cbLANZoom", c.cbLANZoom);
    Field(out, "sbLANModeBusG", c.sbLANModeBusG);
    Field(out, "sbLANModeBusA", c.sbLANModeBusA);
    Field(out, "mode byte", Hex(c.modeByte));
    Field(out, "lan_use_ch_mask", Hex(c.displayMask));
    Field(out, "time unit factor", c.timeUnitFactor);
    Field(out, "first sample time (axis units)", c.firstSampleTime);
    Axis(out, "time axis", c.timeAxis);
}

} // namespace

int RunFileInfoCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << kInfoUsage << kExitStatusHelp;
        return kExitComplete;
    }
    if (args.size() != 1) {
        err << kInfoUsage;
        return kExitUsage;
    }
    const auto read = ReadFileBytes(args[0]);
    if (const auto* refusal = std::get_if<std::string>(&read)) {
        err << "tesmar-cli info: " << TerminalText(*refusal) << '\n';
        return 1;
    }
    const auto& bytes = std::get<std::vector<std::uint8_t>>(read);
    const auto result = ReadDataFile(bytes);
    if (const auto* error = std::get_if<DataFileReadError>(&result)) {
        err << "tesmar-cli info: " << TerminalText("cannot read " + args[0] + ": " + DataFileProblemText(*error)) << '\n';
        return 1;
    }
    const DataFile& file = std::get<DataFile>(result);
    PrintChunks(bytes, out);
    out << "settings:\n";
    std::visit([&](const auto& settings) { PrintSettings(settings, out); }, file.settings);
    out << "remark:\n";
    for (const auto& line : file.remarkLines)
        out << "  " << TerminalText(line) << '\n';
    return 0;
}

} // namespace tesmar
