#include "LogicOptions.h"

#include "CliText.h"
#include "ExitStatus.h"
#include "GeneratorInput.h"

#include "formats/DataFileLoad.h"
#include "logic/ChannelSetup.h"
#include "logic/GeneratorData.h"
#include "logic/GeneratorEditing.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>

namespace tesmar {

const char* const kLogicUsage =
    "usage: tesmar-cli [--sim] [--trace-usb] logic [options] --out FILE\n"
    "  --out FILE          .vcd, .csv, .dat or .sr (by extension; required)\n"
    "  --rate HZ           a rate of the knob: 1k 2k 2.5k 3k … 10k 20k 25k … 100k 150k 200k 250k\n"
    "                      300k … 900k 1M, and the fast rates 2M 2.667M 4M 6M 8M (8 lines, buffer\n"
    "                      only; 4M and above: 128 samples, no pre-trigger, no pulse skipping)\n"
    "                      (default 1M); with --ext-clock it only scales the time axis\n"
    "  --lines 8|16        8: bus A; 16: bus B as a second input (buffer only, 772 samples per bus)\n"
    "                      (default 8)\n"
    "  --mode buffer|stream  buffer: 1544 samples from the instrument's memory; stream: --depth\n"
    "                      samples, 8 lines, 1 MHz and slower, no generator (default: stream at\n"
    "                      250k and slower, buffer above, as the page's default options)\n"
    "  --depth N|64K       stream depth: 4K 8K 16K … 256M, or the number of samples (default 64K)\n"
    "  --pre PERCENT       stream: samples before the trigger, 1 … 99 % of the depth (default 10);\n"
    "                      buffer: 8 … 120 samples in steps of 8 (default 32); only with a trigger,\n"
    "                      not with --lines 16, --generator or --skip, not at the fast rates\n"
    "  --trigger-mask BITS up to 8 of 0 1 x, first the highest line (e.g. 1x0: line 2 high, line 0 low)\n"
    "  --trigger-bus a|b   the bus the mask is compared with; b only with --lines 16 (default a)\n"
    "  --trigger-edge LINE:rising|falling   trigger on an edge of LINE (instead of a mask); bus A\n"
    "                      lines, or any line in buffer mode without the generator; B lines at 2M … 8M\n"
    "  --skip N:LINE:rising|falling   skip N pulses (1 … 32767) on LINE before the trigger counts;\n"
    "                      needs a trigger, buffer mode, not at 4M and above\n"
    "  --ext-clock LINE:rising|falling   sample on the edges of a bus B line (1 MHz and slower,\n"
    "                      not with --generator)\n"
    "  --generator FILE    bus B plays the 1544 bytes of FILE (a generator data file; a shorter file\n"
    "                      is padded with zeros, with a warning); 1 MHz and slower, 8 lines, buffer\n"
    "  --loopback          (virtual instrument only) wire the generator's outputs to bus A\n"
    "  --setup FILE.txt    channel setup file: its line names may be used for LINE, and the\n"
    "                      lines are written under them (.vcd, .csv, .sr)\n"
    "  --timeout T         give up when the capture stops advancing for T beyond the time it takes\n"
    "                      (no trigger, no external clock), 1ms … 86400s: seconds or with a unit\n"
    "                      (default 10)\n"
    "LINE is A.0 … B.7, an index 0 … 15, or a name from --setup.\n"
    "A stream shows its progress on standard error; Ctrl-C ends it and writes what was captured\n"
    "(exit status 130). Exit status: 0 complete capture written, 1 no or incomplete capture,\n"
    "2 no instrument, 64 bad command line, 74 the file cannot be written (checked before the\n"
    "capture).\n";

const std::vector<double>& LogicRateEntries()
{
    static const std::vector<double> entries = [] {
        std::vector<double> e;
        for (double kHz : {1.0, 2.0, 2.5, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0, 9.0, 10.0, 20.0, 25.0, 30.0, 40.0, 50.0, 60.0, 70.0,
                           80.0, 90.0, 100.0, 150.0, 200.0, 250.0, 300.0, 400.0, 500.0, 600.0, 700.0, 800.0, 900.0})
            e.push_back(kHz * 1e3);
        for (double MHz : {1.0, 2.0, 24.0 / 9, 4.0, 6.0, 8.0})
            e.push_back(MHz * 1e6);
        return e;
    }();
    return entries;
}

namespace {

// A number with an optional k, K, M suffix ("250k", "2.667M", "64K").
std::optional<double> ScaledNumber(std::string text, double kilo)
{
    double scale = 1;
    if (!text.empty()) {
        const char last = text.back();
        if (last == 'k' || last == 'K')
            scale = kilo;
        else if (last == 'M')
            scale = kilo * kilo;
        if (scale != 1)
            text.pop_back();
    }
    const auto value = ParseFinite(text);
    if (!value)
        return std::nullopt;
    return *value * scale;
}

std::optional<int> RateEntryOf(const std::string& text)
{
    const auto hz = ScaledNumber(text, 1000);
    if (!hz)
        return std::nullopt;
    const auto& entries = LogicRateEntries();
    for (std::size_t e = 0; e < entries.size(); ++e)
        if (std::fabs(*hz - entries[e]) <= entries[e] * 2e-4)
            return static_cast<int>(e);
    if (std::fabs(*hz - 2.6e6) < 1) // the knob's own caption of 24 MHz / 9
        return 33;
    return std::nullopt;
}

struct EdgeSpec {
    int line = 0;
    bool rising = true;
    int count = 0;
};

class Parser {
public:
    Parser(const std::vector<std::string>& args, bool simulated) : args_(args), simulated_(simulated) {}

    LogicOptionsResult run();

private:
    bool has(const char* key) const { return values_.count(key) != 0; }
    const std::string& value(const char* key) { return values_[key]; }
    LogicOptionsResult refuse(const std::string& text) const { return {std::nullopt, 64, "tesmar-cli logic: " + text + "\n"}; }
    std::string lineList(LogicLineList lines) const;
    // "LINE:rising|falling", with "N:" in front when `withCount`.
    std::optional<EdgeSpec> edgeSpec(const char* key, bool withCount, LogicLineList allowed, std::string& problem) const;

    const std::vector<std::string>& args_;
    bool simulated_;
    std::map<std::string, std::string> values_;
    bool loopBack_ = false;
    LogicCommandOptions o_;
};

std::string Parser::lineList(LogicLineList lines) const
{
    const int first = lines == LogicLineList::BusB ? 8 : 0;
    const int last = lines == LogicLineList::BusA ? 8 : 16;
    std::string text;
    for (int c = first; c < last; ++c)
        text += (c == first ? "" : " ") + o_.names[static_cast<std::size_t>(c)];
    return text;
}

std::optional<EdgeSpec> Parser::edgeSpec(const char* key, bool withCount, LogicLineList allowed, std::string& problem) const
{
    const std::string& text = values_.at(key);
    const std::string form = withCount ? "N:LINE:rising|falling" : "LINE:rising|falling";
    const auto lastColon = text.rfind(':');
    if (lastColon == std::string::npos) {
        problem = std::string(key) + ": '" + TerminalText(text) + "' is not " + form;
        return std::nullopt;
    }
    EdgeSpec spec;
    const std::string edge = text.substr(lastColon + 1);
    if (edge != "rising" && edge != "falling") {
        problem = std::string(key) + ": the edge '" + TerminalText(edge) + "' is not rising or falling";
        return std::nullopt;
    }
    spec.rising = edge == "rising";
    std::string line = text.substr(0, lastColon);
    if (withCount) {
        const auto colon = line.find(':');
        if (colon == std::string::npos) {
            problem = std::string(key) + ": '" + TerminalText(text) + "' is not " + form;
            return std::nullopt;
        }
        const auto count = CheckedNumber(std::string(key) + " N", line.substr(0, colon), {1, 32767, true, " pulses"}, problem);
        if (!count)
            return std::nullopt;
        spec.count = static_cast<int>(*count);
        line = line.substr(colon + 1);
    }
    const auto channel = ParseChannel(line, &o_.names);
    const int first = allowed == LogicLineList::BusB ? 8 : 0;
    const int last = allowed == LogicLineList::BusA ? 8 : 16;
    if (!channel || *channel < first || *channel >= last) {
        problem = std::string(key) + ": the line '" + TerminalText(line) + "' is not one of " + lineList(allowed) +
                  " here";
        return std::nullopt;
    }
    spec.line = *channel;
    return spec;
}

LogicOptionsResult Parser::run()
{
    static const char* const kKeys[] = {"--rate", "--lines", "--mode", "--depth", "--pre", "--trigger-mask",
                                        "--trigger-bus", "--trigger-edge", "--skip", "--ext-clock", "--generator",
                                        "--setup", "--timeout", "--out"};
    for (std::size_t i = 0; i < args_.size(); ++i) {
        const std::string& key = args_[i];
        if (key == "--help" || key == "-h")
            return {std::nullopt, 0, std::string(kLogicUsage) + kExitStatusHelp};
        if (key == "--loopback") {
            loopBack_ = true;
            continue;
        }
        if (std::find_if(std::begin(kKeys), std::end(kKeys), [&](const char* k) { return key == k; }) == std::end(kKeys))
            return {std::nullopt, 64, "tesmar-cli logic: unknown option " + TerminalText(key) + "\n" + kLogicUsage};
        if (i + 1 >= args_.size())
            return {std::nullopt, 64, "tesmar-cli logic: " + key + " needs a value\n" + kLogicUsage};
        if (has(key.c_str()))
            return refuse(key + " is given twice");
        values_[key] = args_[++i];
    }
    if (!has("--out"))
        return {std::nullopt, 64, "tesmar-cli logic: --out FILE is required\n" + std::string(kLogicUsage)};
    o_.outPath = value("--out");
    if (!CaptureFileKindOf(o_.outPath))
        return refuse("--out: '" + TerminalText(o_.outPath) + "' does not end in .vcd, .csv, .dat or .sr");

    std::string problem;
    if (has("--setup")) {
        ChannelSetup setup;
        const std::string& path = value("--setup");
        std::error_code error;
        if (!std::filesystem::is_regular_file(path, error) || !ReadChannelSetupFile(path, setup))
            return {std::nullopt, 1, "tesmar-cli logic: --setup: cannot read the channel setup file " + TerminalText(path) + "\n"};
        o_.names = setup.names;
    }
    const auto timeout = has("--timeout") ? CheckedNumber("--timeout", value("--timeout"), {0.001, 86400, false, " s"}, problem, true)
                                          : std::optional<double>(10);
    if (!timeout)
        return refuse(problem);
    o_.timeoutSeconds = *timeout;

    // Rate and bus B.
    int entry = 31;
    if (has("--rate")) {
        const auto found = RateEntryOf(value("--rate"));
        if (!found)
            return refuse("--rate: '" + TerminalText(value("--rate")) +
                          "' is not a rate of the knob (1k … 10k in steps as on the knob, 20k … 100k, 150k, 200k, "
                          "250k, 300k … 900k, 1M, 2M, 2.667M, 4M, 6M, 8M)");
        entry = *found;
    }
    const bool fast = entry >= kLogicFastEntry;
    const std::string lines = has("--lines") ? value("--lines") : "8";
    if (lines != "8" && lines != "16")
        return refuse("--lines: '" + TerminalText(lines) + "' is not 8 or 16");
    const bool sixteen = lines == "16";
    const bool generator = has("--generator");
    const bool external = has("--ext-clock");
    if (fast && (sixteen || generator || external))
        return refuse(std::string(sixteen ? "--lines 16" : generator ? "--generator" : "--ext-clock") +
                      " works at 1 MHz and slower only; the fast rates capture bus A alone");
    if (sixteen && generator)
        return refuse("--lines 16 and --generator both need bus B: choose one");
    if (generator && external)
        return refuse("--ext-clock cannot be used with --generator (the generator plays at the internal rate)");
    if (loopBack_ && !simulated_)
        return refuse("--loopback exists on the virtual instrument only (add --sim)");
    if (loopBack_ && !generator)
        return refuse("--loopback wires the generator's outputs to bus A: it needs --generator");
    o_.loopBack = loopBack_;

    // Trigger.
    const bool mask = has("--trigger-mask");
    const bool edge = has("--trigger-edge");
    if (mask && edge)
        return refuse("--trigger-mask and --trigger-edge are two kinds of trigger: choose one");
    if (has("--trigger-bus") && !mask)
        return refuse("--trigger-bus needs --trigger-mask");
    const bool triggerOn = mask || edge;
    if (has("--skip") && !triggerOn)
        return refuse("--skip needs a trigger (--trigger-mask or --trigger-edge)");
    if (has("--pre") && !triggerOn)
        return refuse("--pre needs a trigger (--trigger-mask or --trigger-edge)");

    // The mode as the page derives it.
    std::string modeWord = has("--mode") ? value("--mode") : "";
    if (!modeWord.empty() && modeWord != "buffer" && modeWord != "stream")
        return refuse("--mode: '" + TerminalText(modeWord) + "' is not buffer or stream");
    if (modeWord == "stream" && (fast || sixteen || generator))
        return refuse(std::string("--mode stream works with 8 lines at 1 MHz and slower, without ") +
                      (fast ? "the fast rates" : sixteen ? "--lines 16" : "--generator"));
    const std::vector<double>& entries = LogicRateEntries();
    LogicModeInput in;
    in.rateEntry = entry;
    in.entryValues = entries;
    in.generator = generator;
    in.sixteenLines = sixteen;
    in.externalClock = external;
    in.triggerOn = triggerOn;
    in.pulseSkipActive = has("--skip");
    // The buffer limit decides buffer or stream: 0 ("all buffered"), this entry (streamed), or the
    // page's default "250 K".
    in.bufferLimitIndex = modeWord == "buffer" ? 0 : modeWord == "stream" ? std::min(entry, 31) + 1 : 24;
    if (has("--depth")) {
        if (modeWord == "buffer" || fast)
            return refuse("--depth is for stream mode only (buffered captures have a fixed length)");
        const auto samples = ScaledNumber(value("--depth"), 1024);
        int index = -1;
        for (int i = 0; i <= 16 && samples; ++i)
            if (*samples == static_cast<double>(LogicStreamDepth(i)))
                index = i;
        if (index < 0)
            return refuse("--depth: '" + TerminalText(value("--depth")) +
                          "' is not one of 4K 8K 16K 32K 64K 128K 256K 512K 1M 2M 4M 8M 16M 32M 64M 128M 256M");
        in.streamDepthIndex = index;
    }
    LogicMode mode = ChooseLogicMode(in);
    if (has("--depth") && mode.buffered)
        return refuse("--depth is for stream mode only: at this rate the capture is buffered (add --mode stream)");
    if (has("--pre")) {
        const bool noPre = fast || has("--skip") || generator || sixteen;
        if (noPre)
            return refuse(std::string("--pre: no pre-trigger ") +
                          (fast ? "at the fast rates" : has("--skip") ? "with --skip" : generator ? "with --generator" : "with --lines 16"));
        if (mode.buffered) {
            const auto pre = CheckedNumber("--pre", value("--pre"), {8, 120, true, " samples (in steps of 8) in buffer mode"}, problem);
            if (!pre || static_cast<int>(*pre) % 8 != 0)
                return refuse(pre ? "--pre: '" + TerminalText(value("--pre")) +
                                        "' is not a whole number from 8 to 120 in steps of 8 samples in buffer mode"
                                  : problem);
            in.bufferedPreTrigger = static_cast<int>(*pre);
        } else {
            const auto pre = CheckedNumber("--pre", value("--pre"), {1, 99, true, " % of the depth in stream mode"}, problem);
            if (!pre)
                return refuse(problem);
            in.streamPrePercent = static_cast<int>(*pre);
        }
        mode = ChooseLogicMode(in);
    }

    LogicBlockInput& b = o_.block;
    b.rateEntry = entry;
    b.sampleRate = mode.sampleRate;
    b.bufferMode = mode.buffered;
    b.busBAnalyser = sixteen;
    b.busBGenerator = generator;
    b.cyclicGeneration = false;
    b.keepOutputs = false;
    b.triggerOn = triggerOn;
    b.patternTrigger = !edge;
    if (mask) {
        const std::string& bits = value("--trigger-mask");
        if (bits.empty() || bits.size() > 8 || bits.find_first_not_of("01xX") != std::string::npos)
            return refuse("--trigger-mask: '" + TerminalText(bits) + "' is not 1 to 8 of the characters 0 1 x");
        b.patternText = bits;
        const std::string bus = has("--trigger-bus") ? value("--trigger-bus") : "a";
        if (bus != "a" && bus != "b")
            return refuse("--trigger-bus: '" + TerminalText(bus) + "' is not a or b");
        if (bus == "b" && !mode.maskOnBusBEnabled)
            return refuse("--trigger-bus b needs --lines 16");
        b.patternOnBusA = bus == "a";
    } else {
        b.patternText = "00000000";
        b.patternOnBusA = true;
    }
    if (edge) {
        const auto spec = edgeSpec("--trigger-edge", false, mode.edgeLines, problem);
        if (!spec)
            return refuse(problem);
        b.edgeLine = spec->line;
        b.edgeRising = spec->rising;
    }
    if (has("--skip")) {
        if (!mode.passEnabled)
            return refuse(std::string("--skip works in buffer mode below 4 MHz only") +
                          (mode.buffered ? "" : " (this capture is streamed: add --mode buffer)"));
        const auto spec = edgeSpec("--skip", true, mode.passLines, problem);
        if (!spec)
            return refuse(problem);
        b.skipLine = spec->line;
        b.skipRising = spec->rising;
        b.skipFalling = !spec->rising;
        b.skipCount = spec->count;
    }
    if (external) {
        const auto spec = edgeSpec("--ext-clock", false, LogicLineList::BusB, problem);
        if (!spec)
            return refuse(problem);
        b.externalClock = true;
        b.externalClockLine = spec->line - 8;
        b.externalEdgeRising = spec->rising;
    }
    b.busAInverse = true;
    b.preTrigger = static_cast<std::uint8_t>(mode.preTrigger & 0xFF);

    if (generator) {
        const std::string& path = value("--generator");
        std::vector<std::string> warnings;
        auto read = ReadGeneratorInput(path, warnings);
        if (const auto* refusal = std::get_if<std::string>(&read))
            return {std::nullopt, 1, "tesmar-cli logic: --generator: " + TerminalText(*refusal) + "\n"};
        for (const auto& warning : warnings)
            o_.warnings.push_back("--generator: " + warning);
        const GeneratorData& data = std::get<GeneratorData>(read);
        GeneratorImage image{};
        std::copy(data.samples().begin(), data.samples().end(), image.begin());
        o_.generator = image;
    }
    o_.mode = mode;
    return {std::move(o_), 0, {}};
}

} // namespace

LogicOptionsResult ParseLogicOptions(const std::vector<std::string>& args, bool simulated)
{
    return Parser(args, simulated).run();
}

} // namespace tesmar
