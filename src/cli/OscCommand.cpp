#include "OscCommand.h"

#include "AnalogCapture.h"
#include "AnalogDataFiles.h"
#include "CliDevice.h"
#include "CliText.h"
#include "ExitStatus.h"
#include "OutputFile.h"

#include "device/DeviceStartup.h"
#include "device/UsbSession.h"
#include "formats/DataFileLoad.h"
#include "text/MessageTable.h"
#include "osc/OscReaders.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

namespace tesmar {

namespace {

const char* const kOscUsage =
    "usage: tesmar-cli [--sim] [--trace-usb] osc [options]\n"
    "  --period T         sample period of one channel, 5us … 10ms: seconds, or with a unit: 5us, 0.1ms\n"
    "                     (default 10us); the instrument's 24 MHz clock may round it (7us: 6.958us),\n"
    "                     which is said on standard error. --time-div is another name for it\n"
    "  --channels a|b|ab  channels on (default a)\n"
    "  --range-a V        volts per half screen of A, 0.1 … 20: above 2 V the attenuated input (default 20)\n"
    "  --range-b V        the same for B (default 20)\n"
    "  --trigger off|a|b|ext   trigger source, a channel that is on (default off)\n"
    "  --edge rising|falling   (default rising)\n"
    "  --kind level|diff       level or difference trigger (default level)\n"
    "  --level V          trigger level, within the source channel's range (default 0)\n"
    "  --threshold V      difference threshold, 0.2 … 20 V (default 0.2)\n"
    "  --mode buffer|stream    read mode (default buffer)\n"
    "  --pre N            pre-trigger points: 8 … 200 in steps of 4 (buffer), 10 … 1000 and fewer than\n"
    "                     --depth (stream) (default 100)\n"
    "  --depth N          stream record length per channel, 16 … 65536 (default 8192)\n"
    "  --timeout T        give up when the record has not come T after the time it takes (its\n"
    "                     points × --period), 1ms … 86400s: seconds or with a unit (default 10)\n"
    "  --csv FILE         write the CSV to FILE instead of standard output\n"
    "  --out FILE.dat     write a measurement data file that the program opens (no CSV to standard\n"
    "                     output then, unless --csv names a file)\n"
    "Both files are checked before the record is taken. Ctrl-C ends the wait for the record.\n";

// The limits of the page's knobs and fields.
constexpr NumberRange kPeriodRange{5e-6, 10e-3, false, " s (5us to 10ms)"};
constexpr NumberRange kVoltsRange{0.1, 20, false, " V"};
constexpr NumberRange kThresholdRange{kMinDifferenceThreshold, kMaxDifferenceThreshold, false, " V"};
constexpr NumberRange kBufferPreRange{8, 200, true, " (in steps of 4) in buffer mode"};
constexpr NumberRange kStreamPreRange{10, 1000, true, " in stream mode"};
constexpr NumberRange kDepthRange{16, 65536, true, ""};
constexpr NumberRange kTimeoutRange{0.001, 86400, false, " s"};

struct OscCommandOptions {
    OscBlockInput in;
    std::string csvPath;
    std::string datPath;
    double timeoutSeconds = 10;
};

// The options into `options`; -1 when the record is to be taken, else the exit status (after
// the help or a message).
int ParseOscOptions(const std::vector<std::string>& args, OscCommandOptions& options, std::ostream& out,
                    std::ostream& err)
{
    OscBlockInput& in = options.in;
    in.timeDiv = 10e-6;
    in.disableAveraging = true;
    int depth = 8192;
    bool stream = false;
    std::map<std::string, std::string> values;
    std::string periodName = "--period";
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& key = args[i];
        if (key == "--help") {
            out << kOscUsage << kExitStatusHelp;
            return kExitComplete;
        }
        static const char* const kKeys[] = {"--period", "--time-div", "--channels", "--range-a", "--range-b", "--trigger", "--edge",
                                            "--kind", "--level", "--threshold", "--mode", "--pre", "--depth",
                                            "--timeout", "--csv", "--out"};
        if (std::find_if(std::begin(kKeys), std::end(kKeys), [&](const char* k) { return key == k; }) == std::end(kKeys)) {
            err << "tesmar-cli osc: unknown option " << TerminalText(key) << "\n" << kOscUsage;
            return kExitUsage;
        }
        if (i + 1 >= args.size()) {
            err << "tesmar-cli osc: " << key << " needs a value\n" << kOscUsage;
            return kExitUsage;
        }
        // The old name of --period stays for scripts; messages use the name given.
        const std::string name = key == "--time-div" ? "--period" : key;
        if (key == "--time-div")
            periodName = key;
        if (values.count(name) != 0) {
            err << "tesmar-cli osc: " << name << " is given twice\n";
            return kExitUsage;
        }
        values[name] = args[++i];
    }
    auto has = [&](const char* key) { return values.count(key) != 0; };
    std::string problem;
    auto refuse = [&](const std::string& text) {
        err << "tesmar-cli osc: " << text << '\n';
        return kExitUsage;
    };
    // A choice among fixed words; false (with the message) for any other.
    auto choice = [&](const char* key, std::initializer_list<const char*> words, const char* fallback, std::string& chosen) {
        chosen = has(key) ? values[key] : fallback;
        for (const char* word : words)
            if (chosen == word)
                return true;
        problem = std::string(key) + ": '" + TerminalText(chosen) + "' is not one of";
        for (const char* word : words)
            problem += std::string(" ") + word;
        return false;
    };
    auto number = [&](const char* key, const NumberRange& range, double fallback, bool seconds = false) -> std::optional<double> {
        if (!has(key))
            return fallback;
        return CheckedNumber(key == std::string("--period") ? periodName : key, values[key], range, problem, seconds);
    };

    std::string channels, trigger, edge, kind, mode;
    if (!choice("--channels", {"a", "b", "ab"}, "a", channels) || !choice("--trigger", {"off", "a", "b", "ext"}, "off", trigger) ||
        !choice("--edge", {"rising", "falling"}, "rising", edge) || !choice("--kind", {"level", "diff"}, "level", kind) ||
        !choice("--mode", {"buffer", "stream"}, "buffer", mode))
        return refuse(problem);
    stream = mode == "stream";
    const auto timeDiv = number("--period", kPeriodRange, 10e-6, true);
    const auto rangeA = number("--range-a", kVoltsRange, 20);
    const auto rangeB = number("--range-b", kVoltsRange, 20);
    const auto threshold = number("--threshold", kThresholdRange, kMinDifferenceThreshold);
    const auto pre = number("--pre", stream ? kStreamPreRange : kBufferPreRange, 100);
    const auto depthValue = number("--depth", kDepthRange, 8192);
    const auto timeout = number("--timeout", kTimeoutRange, 10, true);
    if (!timeDiv || !rangeA || !rangeB || !threshold || !pre || !depthValue || !timeout)
        return refuse(problem);
    in.timeDiv = *timeDiv;
    in.chAOn = channels != "b";
    in.chBOn = channels != "a";
    in.rangeA = *rangeA;
    in.rangeB = *rangeB;
    in.triggerOn = trigger != "off";
    in.triggerSource = trigger == "b" ? TriggerSource::ChannelB : trigger == "ext" ? TriggerSource::External : TriggerSource::ChannelA;
    in.triggerEdge = edge == "falling" ? TriggerEdge::Falling : TriggerEdge::Rising;
    in.triggerKind = kind == "diff" ? TriggerKind::Difference : TriggerKind::Absolute;
    if (has("--threshold"))
        in.typedThreshold = *threshold;
    in.preTriggerCount = static_cast<int>(*pre);
    depth = static_cast<int>(*depthValue);
    options.timeoutSeconds = *timeout;
    options.csvPath = has("--csv") ? values["--csv"] : "";
    options.datPath = has("--out") ? values["--out"] : "";
    if (has("--out") && !EndsWithNoCase(options.datPath, ".dat"))
        return refuse("--out: '" + TerminalText(options.datPath) + "' does not end in .dat");

    // What the page itself does not allow.
    if ((trigger == "a" && !in.chAOn) || (trigger == "b" && !in.chBOn))
        return refuse("--trigger " + trigger + " needs channel " + (trigger == "a" ? "A" : "B") +
                      " on (--channels " + trigger + " or ab)");
    if (stream && trigger == "ext")
        return refuse("the external trigger works only in buffer mode");
    if (!stream && in.preTriggerCount % 4 != 0)
        return refuse("--pre: '" + values["--pre"] + "' is not a whole number from 8 to 200 in steps of 4 in buffer mode");
    if (stream && in.preTriggerCount >= depth)
        return refuse("--pre (" + std::to_string(in.preTriggerCount) + ") must be less than --depth (" +
                      std::to_string(depth) + ") in stream mode");
    // The level lies within the source channel's range.
    const double levelLimit = trigger == "b" ? in.rangeB : trigger == "a" ? in.rangeA : 20.0;
    const auto level = number("--level", {-levelLimit, levelLimit, false, " V (the trigger channel's range)"}, 0);
    if (!level)
        return refuse(problem);
    in.levelA = in.levelB = *level;
    in.streamMode = stream;
    in.capacity = stream ? depth : kOscBufferSamples;
    return -1;
}

// Time in seconds from the trigger, then the volts of each channel that is on.
void WriteOscCsv(std::ostream& csv, const OscResult& result, const OscAcquisitionParams& params, double pointPeriod)
{
    csv << "time_s";
    if (params.chAOn)
        csv << ",a_V";
    if (params.chBOn)
        csv << ",b_V";
    csv << '\n';
    const int count = std::max(result.CountA, result.CountB);
    const int trig = params.chAOn ? result.TrigIndexA : result.TrigIndexB;
    char line[96];
    for (int i = 0; i < count && csv; ++i) {
        int used = std::snprintf(line, sizeof line, "%.9g", (i - trig) * pointPeriod);
        if (params.chAOn)
            used += std::snprintf(line + used, sizeof line - used, ",%.6f", result.ValuesA[i]);
        if (params.chBOn)
            used += std::snprintf(line + used, sizeof line - used, ",%.6f", result.ValuesB[i]);
        csv.write(line, used).put('\n');
    }
}

} // namespace

int RunOscCommand(UsbSession& session, const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  const std::atomic<bool>* interrupted)
{
    OscCommandOptions options;
    if (const int status = ParseOscOptions(args, options, out, err); status >= 0)
        return status;
    OscBlockInput& in = options.in;

    // The files are taken before the record: a record is not taken to be lost.
    OutputFile csvFile, datFile;
    if (const int status = OpenOutputs("osc", {{&csvFile, options.csvPath}, {&datFile, options.datPath}}, err))
        return status;

    const auto device = TakeUpForMeasurement(session, err);
    if (const int* status = std::get_if<int>(&device))
        return *status;
    in.calibration = std::get<CalibrationSet>(device);

    const OscBlock block = BuildOscBlock(in);
    const OscAcquisitionParams params = OscAcquisitionParams::FromBlock(block, in, false);
    ReportQuantizedPeriod("osc", in.timeDiv, block.pointPeriod, err);
    OscResult result;

    // A record that never comes (no trigger) ends after the time-out, as the reset button would; a
    // slow record takes its own time before the time-out starts to count.
    const double waitSeconds = options.timeoutSeconds + in.capacity * block.pointPeriod;
    switch (CaptureAnalogRecord(session, params, waitSeconds, result, interrupted)) {
    case AnalogCaptureOutcome::Complete:
        break;
    case AnalogCaptureOutcome::TimedOut:
        err << "tesmar-cli osc: no record within the time-out (is the trigger level reached?)\n";
        return kExitFailure;
    case AnalogCaptureOutcome::Interrupted:
        err << "tesmar-cli osc: interrupted before the record came; nothing written\n";
        return kExitInterrupted;
    case AnalogCaptureOutcome::Failed:
        err << "tesmar-cli osc: the exchange with the instrument failed\n";
        return kExitFailure;
    }

    int status = kExitComplete;
    if (datFile.isOpen()) {
        const OscFileInput file{block.pointPeriod, {params.chAOn, params.chBOn}, {in.rangeA, in.rangeB},
                                {in.levelA, in.levelB}};
        const DataFile data = OscilloscopeDataFile(result, file);
        status = CommitOutput("osc", datFile, [&](const std::string& path) { return SaveDataFile(path, data); }, err);
        if (!csvFile.isOpen())
            return status;
    }
    const auto writeCsv = [&](std::ostream& csv) { WriteOscCsv(csv, result, params, block.pointPeriod); };
    if (!csvFile.isOpen()) {
        // Standard output is checked once flushed, by the caller.
        writeCsv(out);
        return status;
    }
    return std::max(status, CommitOutput("osc", csvFile, StreamWriter(writeCsv), err));
}

} // namespace tesmar
