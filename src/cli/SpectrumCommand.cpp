#include "SpectrumCommand.h"

#include "AnalogCapture.h"
#include "AnalogDataFiles.h"
#include "CliDevice.h"
#include "CliText.h"
#include "ExitStatus.h"
#include "OutputFile.h"

#include "device/DeviceStartup.h"
#include "device/UsbSession.h"
#include "filter/FilterFile.h"
#include "osc/OscBufferDecoder.h"
#include "formats/DataFileLoad.h"
#include "text/MessageTable.h"
#include "spectrum/SpectrumAcquisition.h"
#include "spectrum/SpectrumProcessing.h"
#include "spectrum/SpectrumReadType.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <optional>

namespace tesmar {

namespace {

const char* const kSpectrumUsage =
    "usage: tesmar-cli [--sim] [--trace-usb] spectrum [options]\n"
    "  --rate HZ          sample rate, a rate of the knob: 100 200 250 300 400 500 700 800 900,\n"
    "                     1k 2k 2.5k 3k … 10k 20k 25k 30k 40k 50k 70k 80k 90k, 100k 110k … 200k (Hz, or\n"
    "                     with k) (default 100k); at most 100k with both channels\n"
    "  --channels a|b|ab  channels on (default a)\n"
    "  --range-a V        input range of A, 0.1 … 20 V: above 2 V the attenuated input (default 20)\n"
    "  --range-b V        the same for B (default 20)\n"
    "  --window none|hamming|hann|blackman|harris   (default none)\n"
    "  --mode buffer|stream    read mode (default buffer: 1024 points per channel)\n"
    "  --size N           stream block length: 2048, 4096, 8192, 16384, 32768 or 65536 (default 8192)\n"
    "  --harmonics K      harmonics summed into kg, 2 … 10 (default 2)\n"
    "  --f1 HZ            fundamental for kg and k3, 1 … rate/3 (default: the largest line)\n"
    "  --db               the curve in dB\n"
    "  --db-ref 0.775|umax     0 dB reference (default 0.775 V)\n"
    "  --filter-a FILE    weight A's spectrum by the response of a filter file (.txt)\n"
    "  --filter-b FILE    the same for B\n"
    "  --timeout T        give up when the record has not come T after the time it takes (N points\n"
    "                     take N / rate), 100ms … 3600s: seconds or with a unit (default 10)\n"
    "  --summary          one row per channel: channel,Uconst_V,Uvaria_V,F_Hz,Umax_V,F1_Hz,kg,k3\n"
    "                     (kg and k3 as ratios to 6 digits; the page rounds them to 2 decimals)\n"
    "                     (a cell is empty where the page shows nothing)\n"
    "  --csv FILE         write the CSV to FILE instead of standard output\n"
    "  --out FILE.dat     write a measurement data file that the program opens (no CSV to standard\n"
    "                     output then, unless --csv names a file)\n"
    "Without --summary the curve: f_Hz, then a_V or a_dB, then b_V or b_dB. The files are checked\n"
    "before the record is taken. Ctrl-C ends the wait for the record.\n";

// The entries of the page's rate knob, Hz.
bool IsKnobRate(double hz)
{
    static const double kEntries[] = {100, 200, 250, 300, 400, 500, 700, 800, 900, 1e3, 2e3, 2.5e3, 3e3, 4e3,
                                      5e3, 6e3, 7e3, 8e3, 9e3, 10e3, 20e3, 25e3, 30e3, 40e3, 50e3, 70e3, 80e3,
                                      90e3, 100e3, 110e3, 120e3, 130e3, 140e3, 150e3, 160e3, 170e3, 180e3,
                                      190e3, 200e3};
    for (double entry : kEntries)
        if (hz == entry)
            return true;
    return false;
}

struct Options {
    SpectrumBlockInput block;
    SpectrumSettings settings;
    bool stream = false;
    int size = 8192;
    bool sizeGiven = false;
    SpectrumScale scale;
    std::array<std::string, 2> filterFiles;
    double timeout = 10;
    bool summary = false;
    std::string csvPath;
    std::string datPath;
};

std::string Cell(double v, const char* format)
{
    char text[64];
    std::snprintf(text, sizeof text, format, v);
    return text;
}

void WriteSummary(std::ostream& csv, const SpectrumRecord& record, const std::array<bool, 2>& on)
{
    csv << "channel,Uconst_V,Uvaria_V,F_Hz,Umax_V,F1_Hz,kg,k3\n";
    for (int c = 0; c < 2; ++c) {
        if (!on[c])
            continue;
        const SpectrumChannel& ch = record.channels[c];
        csv << (c == 0 ? 'a' : 'b') << ',';
        if (ch.hasData() && ch.params) {
            csv << Cell(ch.params->Uconst, "%.6f") << ',' << Cell(ch.params->Uvaria, "%.6f") << ',';
            if (ch.params->F > 0)
                csv << Cell(ch.params->F, "%.3f");
            csv << ',' << Cell(ch.peaks.Umax, "%.6f") << ',' << Cell(ch.fundamental.F1, "%.3f") << ',';
            if (ch.distortion)
                csv << Cell(ch.distortion->kgRatio, "%.6g") << ',' << Cell(ch.distortion->k3Ratio, "%.6g");
            else
                csv << ',';
        } else {
            csv << ",,,,,,";
        }
        csv << '\n';
    }
}

void WriteCurve(std::ostream& csv, const SpectrumRecord& record, const std::array<bool, 2>& on, bool dB)
{
    csv << "f_Hz";
    for (int c = 0; c < 2; ++c)
        if (on[c])
            csv << ',' << (c == 0 ? 'a' : 'b') << (dB ? "_dB" : "_V");
    csv << '\n';
    const int first = on[0] ? 0 : 1;
    const SpectrumCurvePoints& base = record.channels[first].curve;
    const double unit = SpectrumFrequencyUnit(record.sampleRate);
    for (std::size_t i = 0; i < base.x.size(); ++i) {
        csv << Cell(base.x[i] * unit, "%.6g");
        for (int c = 0; c < 2; ++c)
            if (on[c]) {
                const auto& y = record.channels[c].curve.y;
                csv << ',' << (i < y.size() ? Cell(y[i], "%.6g") : std::string());
            }
        csv << '\n';
    }
}

} // namespace

int RunSpectrumCommand(UsbSession& session, const std::vector<std::string>& args, std::ostream& out,
                       std::ostream& err, const std::atomic<bool>* interrupted)
{
    Options o;
    o.block.sampleRate = 100'000;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& key = args[i];
        if (key == "--help") {
            out << kSpectrumUsage << kExitStatusHelp;
            return kExitComplete;
        }
        if (key == "--db") {
            o.scale.dB = true;
            continue;
        }
        if (key == "--summary") {
            o.summary = true;
            continue;
        }
        static const char* const kValued[] = {"--rate", "--channels", "--range-a", "--range-b", "--window",
                                              "--mode", "--size", "--harmonics", "--f1", "--db-ref", "--filter-a",
                                              "--filter-b", "--timeout", "--csv", "--out"};
        if (std::find(std::begin(kValued), std::end(kValued), key) == std::end(kValued)) {
            err << "tesmar-cli spectrum: unknown option " << TerminalText(key) << "\n" << kSpectrumUsage;
            return 64;
        }
        if (i + 1 >= args.size()) {
            err << "tesmar-cli spectrum: " << key << " needs a value\n" << kSpectrumUsage;
            return 64;
        }
        const std::string value = args[++i];
        const std::optional<double> number = ParseFinite(value);
        const char* range = nullptr; // what the option allows, for the message
        bool ok = true;
        if (key == "--rate") {
            const auto rate = ParseHertz(value);
            range = "a rate of the knob from 100 to 200000 Hz, see --help";
            ok = rate && IsKnobRate(*rate);
            if (ok)
                o.block.sampleRate = *rate;
        } else if (key == "--channels") {
            range = "a, b or ab";
            ok = value == "a" || value == "b" || value == "ab";
            o.block.chAOn = value != "b";
            o.block.chBOn = value != "a";
        } else if (key == "--range-a" || key == "--range-b") {
            range = "0.1 … 20 V";
            ok = number && *number >= 0.1 && *number <= 20;
            if (ok)
                (key == "--range-a" ? o.block.rangeA : o.block.rangeB) = *number;
        } else if (key == "--window") {
            static const char* const names[] = {"none", "hamming", "hann", "blackman", "harris"};
            range = "none, hamming, hann, blackman or harris";
            ok = false;
            for (int w = 0; w < 5; ++w)
                if (value == names[w]) {
                    o.settings.window = static_cast<SpectrumWindow>(w);
                    ok = true;
                }
        } else if (key == "--mode") {
            range = "buffer or stream";
            ok = value == "buffer" || value == "stream";
            o.stream = value == "stream";
        } else if (key == "--size") {
            range = "2048, 4096, 8192, 16384, 32768 or 65536";
            ok = false;
            for (int n : {2048, 4096, 8192, 16384, 32768, 65536})
                if (number && *number == n) {
                    o.size = n;
                    ok = o.sizeGiven = true;
                }
        } else if (key == "--harmonics") {
            range = "a whole number 2 … 10";
            ok = number && *number >= 2 && *number <= 10 && std::floor(*number) == *number;
            if (ok)
                o.settings.harmonics = static_cast<int>(*number);
        } else if (key == "--f1") {
            range = "1 … rate/3 Hz";
            ok = number && *number >= 1;
            if (ok)
                o.settings.manualF1 = *number;
        } else if (key == "--db-ref") {
            range = "0.775 or umax";
            ok = value == "0.775" || value == "umax";
            o.scale.referenceUmax = value == "umax";
        } else if (key == "--filter-a" || key == "--filter-b") {
            o.filterFiles[key == "--filter-a" ? 0 : 1] = value;
        } else if (key == "--timeout") {
            range = "0.1 … 3600 s, or with a unit: 100ms, 3600s";
            const auto seconds = ParseSeconds(value);
            ok = seconds && *seconds >= 0.1 && *seconds <= 3600;
            if (ok)
                o.timeout = *seconds;
        } else if (key == "--csv") {
            ok = !value.empty();
            range = "a file name";
            o.csvPath = value;
        } else if (key == "--out") {
            ok = EndsWithNoCase(value, ".dat");
            range = "a file name ending in .dat";
            o.datPath = value;
        }
        if (!ok) {
            err << "tesmar-cli spectrum: bad value '" << TerminalText(value) << "' for " << key << " (allowed: " << range
                << ")\n";
            return 64;
        }
    }
    const bool both = o.block.chAOn && o.block.chBOn;
    if (both && o.block.sampleRate > 100'000) {
        err << "tesmar-cli spectrum: with both channels --rate is at most 100k\n";
        return 64;
    }
    if (o.sizeGiven && !o.stream) {
        err << "tesmar-cli spectrum: --size needs --mode stream (a buffer read has 1024 points)\n";
        return 64;
    }
    if (o.settings.manualF1 && *o.settings.manualF1 > o.block.sampleRate / 3) {
        err << "tesmar-cli spectrum: --f1 must be at most rate/3 (" << o.block.sampleRate / 3 << " Hz)\n";
        return 64;
    }

    std::array<FilterResponse, 2> filters;
    for (int c = 0; c < 2; ++c) {
        if (o.filterFiles[c].empty())
            continue;
        auto read = ReadFilterFile(o.filterFiles[c], DefaultFilterResponse(), '.');
        if (auto* problem = std::get_if<std::string>(&read)) {
            err << "tesmar-cli spectrum: cannot use the filter file " << TerminalText(o.filterFiles[c]) << ": "
                << TerminalText(*problem) << '\n';
            return kExitFilterFile;
        }
        filters[c] = std::get<FilterResponse>(read);
    }

    // The files are taken before the record: a record is not taken to be lost.
    OutputFile csvFile, datFile;
    if (const int status = OpenOutputs("spectrum", {{&csvFile, o.csvPath}, {&datFile, o.datPath}}, err))
        return status;

    const auto device = TakeUpForMeasurement(session, err);
    if (const int* status = std::get_if<int>(&device))
        return *status;
    o.block.calibration = std::get<CalibrationSet>(device);
    const int length = o.stream ? o.size : kSpectrumBufferLength;
    o.block.streamMode = o.stream;
    o.block.capacity = o.stream ? length : kOscBufferSamples;
    const SpectrumBlock block = BuildSpectrumBlock(o.block);
    const OscAcquisitionParams params = SpectrumAcquisitionParams(block, false);

    OscResult result;
    if (o.stream)
        err << "tesmar-cli spectrum: recording " << length << " points per channel at " << block.sampleRate
            << " Hz…\n";
    // A slow record takes its own time before the time-out starts to count.
    const int points = o.stream ? length : kOscBufferSamples;
    const double recordSeconds = points / block.sampleRate;
    switch (CaptureAnalogRecord(session, params, o.timeout + recordSeconds, result, interrupted)) {
    case AnalogCaptureOutcome::Complete:
        break;
    case AnalogCaptureOutcome::TimedOut:
        err << "tesmar-cli spectrum: no record within the time-out\n";
        return kExitFailure;
    case AnalogCaptureOutcome::Interrupted:
        err << "tesmar-cli spectrum: interrupted before the record came; nothing written\n";
        return kExitInterrupted;
    case AnalogCaptureOutcome::Failed:
        err << "tesmar-cli spectrum: the exchange with the instrument failed\n";
        return kExitFailure;
    }

    SpectrumRecord record;
    record.length = length;
    record.sampleRate = block.sampleRate;
    const std::array<bool, 2> on{params.chAOn, params.chBOn};
    std::array<SpectrumChannelInput, 2> inputs{};
    for (int c = 0; c < 2; ++c) {
        inputs[c].captured = on[c];
        inputs[c].samples = SpectrumSamples(result, c, length);
        inputs[c].filterOn = filters[c].designed();
        inputs[c].response = filters[c].points;
        inputs[c].scale = o.scale;
    }
    ProcessSpectrum(SpectrumMode::Full, record, inputs, o.settings);

    int status = kExitComplete;
    if (datFile.isOpen()) {
        const SpectrumFileInput file{on, {o.block.rangeA, o.block.rangeB}, o.scale, o.settings.manualF1};
        const DataFile data = SpectrumDataFile(record, file);
        status = CommitOutput("spectrum", datFile, [&](const std::string& path) { return SaveDataFile(path, data); }, err);
        if (!csvFile.isOpen())
            return status;
    }
    const auto writeCsv = [&](std::ostream& csv) {
        if (o.summary)
            WriteSummary(csv, record, on);
        else
            WriteCurve(csv, record, on, o.scale.dB);
    };
    if (!csvFile.isOpen()) {
        writeCsv(out);
        out.flush();
        if (!out) {
            err << "tesmar-cli spectrum: writing the CSV failed\n";
            return kExitOutput;
        }
        return status;
    }
    return std::max(status, CommitOutput("spectrum", csvFile, StreamWriter(writeCsv), err));
}

} // namespace tesmar
