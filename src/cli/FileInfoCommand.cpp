#include "cli/FileInfoCommand.h"

#include "CliText.h"
#include "ExitStatus.h"

#include "formats/DataFile.h"
#include "formats/DataFileBytes.h"
#include "formats/DataFileLoad.h"
#include "formats/DataFileSource.h"
#include "ui/knob/KnobScales.h"
#include "ui/knob/ScaleLineParser.h"

#include <algorithm>
#include <memory>
#include <cmath>
#include <cstdio>
#include <string_view>

namespace tesmar {

namespace {

const char* const kInfoUsage =
    "usage: tesmar-cli info                  the instrument: identity, version, calibration, type, number\n"
    "       tesmar-cli info FILE.dat         a data file: what it holds (page, rate, channels, ranges,\n"
    "                                        trigger, markers, remark)\n"
    "       tesmar-cli info --raw FILE.dat   its chunks and every stored setting under its own name\n";

std::string Hex(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

std::string Number(double value)
{
    if (value == 0)
        value = 0; // never "-0"
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

// What the data file holds, as a user reads it.
std::string Seconds(double seconds)
{
    return SecondsText(seconds == 0 ? 0.0 : seconds);
}
std::string Hertz(double hertz)
{
    char text[40];
    if (hertz >= 1e6)
        std::snprintf(text, sizeof text, "%.6g MHz", hertz / 1e6);
    else if (hertz >= 1e3)
        std::snprintf(text, sizeof text, "%.6g kHz", hertz / 1e3);
    else
        std::snprintf(text, sizeof text, "%.6g Hz", hertz);
    return text;
}
std::string Volts(double volts)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.6g V", volts == 0 ? 0.0 : volts);
    return text;
}
// The value of a page knob's entry, as the page shows it.
std::string KnobVolts(std::string_view knob, int index)
{
    const auto scale = PageKnobScale(knob);
    if (!scale || index < 0 || index >= static_cast<int>(scale->lines.size()))
        return "unknown (entry " + std::to_string(index) + ")";
    return "±" + Volts(ParseScaleLine(scale->lines[static_cast<std::size_t>(index)]).data.ValueReal);
}
std::string Points(const std::optional<std::vector<double>>& values)
{
    return std::to_string(values ? values->size() : 0);
}
void Line(std::ostream& out, const std::string& name, const std::string& value)
{
    out << name << ": " << TerminalText(value) << '\n';
}
void SignalLine(std::ostream& out, const char* channel, const StoredSignalParams& p)
{
    if (p == StoredSignalParams{})
        return;
    Line(out, std::string("  measured ") + channel,
         "mean " + Volts(p[0]) + ", rms of the variation " + Volts(p[1]) + ", max " + Volts(p[2]) + ", min " +
             Volts(p[3]) + (p[4] > 0 ? ", frequency " + Hertz(p[4]) : std::string()));
}

void PrintSummary(const DataFile& file, const OscSettingsChunk& c, std::ostream& out)
{
    Line(out, "page", "oscilloscope");
    Line(out, "sample period", Seconds(c.samplePeriod) + (c.samplePeriod > 0 ? " (" + Hertz(1 / c.samplePeriod) + ")" : ""));
    const std::optional<std::vector<double>>* values[] = {&file.channelA, &file.channelB};
    const bool on[] = {c.sbOscOnCh1, c.sbOscOnCh2};
    const int knobs[] = {c.knOscCh1, c.knOscCh2};
    const double levels[] = {c.triggerLevelA, c.triggerLevelB};
    const double first[] = {c.firstTimeA, c.firstTimeB};
    const StoredSignalParams* params[] = {&c.paramsA, &c.paramsB};
    for (int ch = 0; ch < 2; ++ch) {
        const std::string name = ch == 0 ? "channel A" : "channel B";
        if (!on[ch]) {
            Line(out, name, "off");
            continue;
        }
        const std::size_t n = *values[ch] ? (*values[ch])->size() : 0;
        Line(out, name, std::to_string(n) + " points, range " + KnobVolts(ch == 0 ? "knOscCh1" : "knOscCh2", knobs[ch]) +
                            ", trigger level " + Volts(levels[ch]));
        if (n > 0)
            Line(out, "  time from the trigger",
                 Seconds(first[ch]) + " … " + Seconds(first[ch] + static_cast<double>(n - 1) * c.samplePeriod));
        SignalLine(out, ch == 0 ? "A" : "B", *params[ch]);
    }
}

void PrintSummary(const DataFile& file, const SpectrumSettingsChunk& c, std::ostream& out)
{
    Line(out, "page", "spectrum analyser");
    Line(out, "sample rate", Hertz(c.sampleRate) + (c.sampleRate > 0 ? " (period " + Seconds(1 / c.sampleRate) + ")" : ""));
    Line(out, "fundamental", c.cbFFTKNIMax ? "the largest line" : "typed: " + c.edFFTKNIF + " Hz");
    const std::optional<std::vector<double>>* values[] = {&file.channelA, &file.channelB};
    const bool on[] = {c.sbFFTOnCh1, c.sbFFTOnCh2};
    const bool dB[] = {c.spbtFFTCh1dB, c.spbtFFTCh2dB};
    const bool umax[] = {c.spbtFFTCh10dB, c.spbtFFTCh20dB};
    const int knobs[] = {c.knFFTCh1, c.knFFTCh2};
    const std::string* kg[] = {&c.lbFFTKNI1Ch1, &c.lbFFTKNI1Ch2};
    const std::string* k3[] = {&c.lbFFTKNI3Ch1, &c.lbFFTKNI3Ch2};
    const std::string* f1[] = {&c.lbFFTF1Ch1, &c.lbFFTF1Ch2};
    for (int ch = 0; ch < 2; ++ch) {
        const std::string name = ch == 0 ? "channel A" : "channel B";
        if (!on[ch]) {
            Line(out, name, "off");
            continue;
        }
        Line(out, name, Points(*values[ch]) + " lines, range " + KnobVolts(ch == 0 ? "knFFTCh1" : "knFFTCh2", knobs[ch]) +
                            ", in " + (dB[ch] ? std::string("dB (0 dB: ") + (umax[ch] ? "Umax)" : "0.775 V)") : "V"));
        Line(out, "  largest line", Volts(c.summary[ch]) + "; fundamental " + Hertz(c.summary[4 + ch]) + ", " +
                                        Volts(c.summary[2 + ch]));
        auto trimmed = [](std::string text) { return text.erase(text.find_last_not_of(' ') + 1); };
        if (!trimmed(*kg[ch]).empty())
            Line(out, "  distortion", "kg " + trimmed(*kg[ch]) + ", k3 " + trimmed(*k3[ch]) + " (F1 " + trimmed(*f1[ch]) + " Hz)");
        SignalLine(out, ch == 0 ? "A" : "B", ch == 0 ? c.paramsA : c.paramsB);
    }
}

void PrintSummary(const DataFile& file, const RecorderSettingsChunk& c, std::ostream& out)
{
    Line(out, "page", "recorder");
    Line(out, "point period", Seconds(c.samplePeriod) + (c.samplePeriod > 0 ? " (" + Hertz(1 / c.samplePeriod) + ")" : ""));
    const std::size_t n = std::max(file.channelA ? file.channelA->size() : 0, file.channelB ? file.channelB->size() : 0);
    Line(out, "length", std::to_string(n) + " points, " + Seconds(static_cast<double>(n) * c.samplePeriod) +
                            (c.lbRecRunTime.empty() ? "" : " (run time " + c.lbRecRunTime + ")"));
    const bool on[] = {c.sbRecOnCh1, c.sbRecOnCh2};
    const int knobs[] = {c.knRecCh1, c.knRecCh2};
    const std::optional<std::vector<double>>* values[] = {&file.channelA, &file.channelB};
    for (int ch = 0; ch < 2; ++ch) {
        const std::string name = ch == 0 ? "channel A" : "channel B";
        if (!on[ch]) {
            Line(out, name, "off");
            continue;
        }
        std::string line = "range " + KnobVolts(ch == 0 ? "knRecCh1" : "knRecCh2", knobs[ch]);
        // The page's labels carry its language's units: the values say the same in volts.
        if (*values[ch] && !(*values[ch])->empty()) {
            const auto& v = **values[ch];
            const auto [low, high] = std::minmax_element(v.begin(), v.end());
            double sum = 0;
            for (const double x : v)
                sum += x;
            line += ", max " + Volts(*high) + ", min " + Volts(*low) + ", mean " + Volts(sum / static_cast<double>(v.size()));
        }
        Line(out, name, line);
    }
    for (std::size_t k = 0; k < c.markers.size(); ++k) {
        const RecorderMarkerSlot& marker = c.markers[k];
        if (marker.exists)
            Line(out, "marker " + std::to_string(k + 1),
                 "at " + Seconds(marker.position * 86400.0) + (marker.comment.empty() ? "" : ", \"" + marker.comment + "\""));
    }
}

void PrintSummary(const DataFile& file, const LogicSettingsChunk& c, std::ostream& out)
{
    Line(out, "page", "logic analyser");
    Line(out, "sample rate", Hertz(c.sampleRate) + (c.sampleRate > 0 ? " (period " + Seconds(1 / c.sampleRate) + ")" : ""));
    const std::size_t a = file.busA ? file.busA->size() : 0, b = file.busB ? file.busB->size() : 0;
    Line(out, "bus A", std::to_string(a) + " samples");
    Line(out, "bus B", b == 0 ? std::string("not captured")
                              : std::to_string(b) + " samples" + (c.sbLANModeBusG ? " (the generator's data)" : ""));
    const double unit = c.timeUnitFactor > 0 ? c.timeUnitFactor : 1.0;
    const double first = c.firstSampleTime / unit;
    if (c.sampleRate > 0)
        Line(out, "trigger", first < 0 ? "at sample " + std::to_string(std::llround(-first * c.sampleRate)) + " (" +
                                             Seconds(-first) + " after the first sample)"
                                       : std::string("before the first sample (no pre-trigger part)"));
    std::string lines;
    for (int bit = 0; bit < 8; ++bit)
        if (c.displayMask >> bit & 1)
            lines += (lines.empty() ? "A." : ", A.") + std::to_string(bit);
    Line(out, "lines shown", lines.empty() ? "none" : lines);
}

} // namespace

int RunFileInfoCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << kInfoUsage << kExitStatusHelp;
        return kExitComplete;
    }
    const bool raw = !args.empty() && args[0] == "--raw";
    if (args.size() != (raw ? 2u : 1u)) {
        err << kInfoUsage;
        return kExitUsage;
    }
    const std::string& path = args.back();
    // The chunk list needs the bytes; the summary reads the values alone, without the file's copy.
    std::vector<std::uint8_t> bytes;
    std::unique_ptr<DataFileSource> source;
    std::string refusal;
    if (raw) {
        auto read = ReadFileBytes(path);
        if (auto* whole = std::get_if<std::vector<std::uint8_t>>(&read))
            bytes = std::move(*whole), source = std::make_unique<MemoryDataSource>(bytes);
        else
            refusal = std::get<std::string>(read);
    } else {
        source = FileDataSource::Open(path, refusal);
    }
    if (!source) {
        err << "tesmar-cli info: " << TerminalText(refusal) << '\n';
        return kExitFailure;
    }
    const auto result = ReadDataFile(*source);
    if (const auto* error = std::get_if<DataFileReadError>(&result)) {
        err << "tesmar-cli info: " << TerminalText("cannot read " + path + ": " + DataFileProblemText(*error)) << '\n';
        return kExitFailure;
    }
    const DataFile& file = std::get<DataFile>(result);
    if (raw) {
        PrintChunks(bytes, out);
        out << "settings:\n";
        std::visit([&](const auto& settings) { PrintSettings(settings, out); }, file.settings);
    } else {
        std::visit([&](const auto& settings) { PrintSummary(file, settings, out); }, file.settings);
    }
    out << "remark:\n";
    for (const auto& line : file.remarkLines)
        out << "  " << TerminalText(line) << '\n';
    return 0;
}

} // namespace tesmar
