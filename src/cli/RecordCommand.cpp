#include "RecordCommand.h"

#include "CliMain.h"
#include "CliDevice.h"
#include "AnalogDataFiles.h"
#include "CliOptions.h"
#include "CliText.h"
#include "OutputFile.h"

#include "device/DeviceClock.h"
#include "device/DeviceStartup.h"
#include "device/UsbSession.h"
#include "formats/DataFile.h"
#include "formats/DataFileLoad.h"
#include "text/MessageTable.h"
#include "recorder/RecorderDataFile.h"
#include "recorder/RecorderReader.h"
#include "recorder/RecorderSummary.h"
#include "recorder/RecTimeAxis.h"

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <algorithm>
#include <mutex>
#include <optional>
#include <thread>
#include <unistd.h>

namespace tesmar {

namespace {

const char* const kRecordUsage =
    "usage: tesmar-cli [--sim [--sim-fast]] [--trace-usb] record [options]\n"
    "  --period T         point period: seconds or with a unit, 5us … 10s (default 1ms); the\n"
    "                     instrument's 24 MHz clock may round it, which is said on standard error\n"
    "  --channels a|b|ab  channels on (default a); both channels need a period of at least 10us\n"
    "  --range-a V        volts per half screen of A, 0.1 … 20: above 2 V the attenuated input\n"
    "                     (default 20)\n"
    "  --range-b V        the same for B (default 20)\n"
    "  --averaging N      samples averaged into each point, 1 … 65535 (default: the program's choice)\n"
    "  --duration T       record this long, 1ms … 24h: seconds or with a unit (s, ms, m, h);\n"
    "                     without it the record runs until Ctrl-C or the one-day limit\n"
    "  --out FILE         FILE.csv (time in seconds, volts of A and B) or FILE.dat (data file);\n"
    "                     default: CSV on standard output, row by row as the points come; the\n"
    "                     file is checked before recording and written at the end\n"
    "Ctrl-C ends the record and still writes what was recorded. Progress goes to standard error.\n"
    "Exit 0 for a complete record (without --duration: ended by Ctrl-C), 1 when the recording\n"
    "failed, 2 without an instrument, 64 for bad options, 74 when the file cannot be written,\n"
    "130 when Ctrl-C cut a --duration record short.\n";

constexpr double kMinPeriod = 5e-6, kMinPeriodBoth = 10e-6, kMaxPeriod = 10.0;
constexpr NumberRange kPeriodRange{kMinPeriod, kMaxPeriod, false, " s (5us to 10s)"};
constexpr NumberRange kVoltsRange{0.1, 20, false, " V"};
constexpr NumberRange kAveragingRange{1, 65535, true, ""};
constexpr NumberRange kDurationRange{1e-3, kSecondsPerDay, false, " s (1ms to 24h)"};

// Seconds with the units of ParseSeconds, plus minutes and hours.
std::optional<double> ParseDuration(const std::string& text)
{
    for (const auto& [suffix, factor] : {std::pair{'h', 3600.0}, std::pair{'m', 60.0}}) {
        if (text.size() > 1 && text.back() == suffix && text[text.size() - 2] != 'm') {
            const auto n = ParseFinite(text.substr(0, text.size() - 1));
            return n ? std::optional<double>(*n * factor) : std::nullopt;
        }
    }
    return ParseSeconds(text);
}

// The CSV of a record (time in seconds, volts of the channels that are on), written as its
// points are published: the header once, then each row once.
class CsvRows {
public:
    CsvRows(const RecorderRecord& record, std::ostream& csv) : record_(record), csv_(csv) {}
    // Writes the rows below `count` not yet written (the header first, also without rows when
    // `last`); false once the stream has failed.
    bool writeUpTo(std::size_t count, bool last)
    {
        if (!header_ && (count > written_ || last)) {
            csv_ << "time_s" << (record_.on(0) ? ",a_V" : "") << (record_.on(1) ? ",b_V" : "") << '\n';
            header_ = true;
        }
        const double tp = record_.layout().pointPeriod;
        char line[96];
        for (; written_ < count && csv_; ++written_) {
            int used = std::snprintf(line, sizeof line, "%.9g", static_cast<double>(written_) * tp);
            for (int ch = 0; ch < 2; ++ch)
                if (record_.on(ch))
                    used += std::snprintf(line + used, sizeof line - used, ",%.6f", record_.channel(ch).at(written_));
            csv_.write(line, used).put('\n');
        }
        csv_.flush();
        return static_cast<bool>(csv_);
    }

private:
    const RecorderRecord& record_;
    std::ostream& csv_;
    bool header_ = false;
    std::size_t written_ = 0;
};

// The file of a finished recording, its values written straight from the record.
DataFileView RecordDataFile(const RecorderRecord& record, const std::string& runTime, const RecorderBlockInput& in)
{
    DataFileView file;
    RecorderSettingsChunk settings;
    settings.knRecCh1 = static_cast<std::uint16_t>(KnobIndexFor("knRecCh1", in.rangeA));
    settings.knRecCh2 = static_cast<std::uint16_t>(KnobIndexFor("knRecCh2", in.rangeB));
    settings.samplePeriod = record.layout().pointPeriod;
    settings.sbRecOnCh1 = record.on(0);
    settings.sbRecOnCh2 = record.on(1);
    settings.cbRecZoom = kRecZoomHome;
    settings.lbRecRunTime = runTime;
    for (int ch = 0; ch < 2; ++ch) {
        if (!record.on(ch))
            continue;
        const SummaryTexts t = FormatSummary(SummarizeChannel(record, ch));
        (ch == 0 ? settings.lbRecUmaxCh1 : settings.lbRecUmaxCh2) = t.max;
        (ch == 0 ? settings.lbRecUminCh1 : settings.lbRecUminCh2) = t.min;
        (ch == 0 ? settings.lbRecUsrCh1 : settings.lbRecUsrCh2) = t.mean;
        // Written from the record's own chunks: no copy of the values.
        (ch == 0 ? file.channelA : file.channelB) = RecordValues(record, ch);
    }
    file.head.settings = settings;
    return file;
}

void ShowProgress(const RecorderStream& stream, double seconds, bool terminal, std::ostream& err, bool last)
{
    const std::size_t n = stream.record().count();
    char line[128];
    std::snprintf(line, sizeof line, "%s  %zu points  %.0f points/s", RecTimeText(stream.elapsedDays(), false).c_str(),
                  n, seconds > 0 ? n / seconds : 0.0);
    err << (terminal ? "\r" : "") << line << (terminal && !last ? "" : "\n") << std::flush;
}

} // namespace

int RunRecordCommand(UsbSession& session, const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                     const std::atomic<bool>& interrupted)
{
    RecorderBlockInput in;
    in.timeDiv = 1e-3;
    std::optional<int> averaging;
    std::optional<double> duration;
    std::string outPath;
    if (std::find(args.begin(), args.end(), "--help") != args.end()) {
        out << kRecordUsage << kExitStatusHelp;
        return kExitComplete;
    }
    CliOptions options("record", kRecordUsage);
    if (!options.parse(args, 0, {"--period", "--channels", "--range-a", "--range-b", "--averaging", "--duration", "--out"},
                       {}, err))
        return kExitUsage;
    std::string problem;
    const auto number = [&](const char* key, const NumberRange& range, double fallback, bool seconds = false) {
        return options.has(key) ? CheckedNumber(key, options.get(key, ""), range, problem, seconds)
                                : std::optional<double>(fallback);
    };
    const auto refuse = [&](const std::string& text) {
        err << "tesmar-cli record: " << text << '\n';
        return kExitUsage;
    };
    const auto channels = options.choice("--channels", {"a", "b", "ab"}, 0, err);
    if (!channels)
        return kExitUsage;
    in.chAOn = *channels != 1;
    in.chBOn = *channels != 0;
    const auto period = number("--period", kPeriodRange, 1e-3, true);
    const auto rangeA = number("--range-a", kVoltsRange, 20);
    const auto rangeB = number("--range-b", kVoltsRange, 20);
    const auto averagingValue = number("--averaging", kAveragingRange, 1);
    if (!period || !rangeA || !rangeB || !averagingValue)
        return refuse(problem);
    in.timeDiv = *period;
    in.rangeA = *rangeA;
    in.rangeB = *rangeB;
    if (options.has("--averaging"))
        averaging = static_cast<int>(*averagingValue);
    if (options.has("--duration")) {
        const std::string text = options.get("--duration", "");
        duration = ParseDuration(text);
        if (!duration || *duration < kDurationRange.min || *duration > kDurationRange.max)
            return refuse("--duration: '" + TerminalText(text) + "' is not a time from 1ms to 24h");
    }
    outPath = options.get("--out", "");
    if (options.has("--out") && !EndsWithNoCase(outPath, ".csv") && !EndsWithNoCase(outPath, ".dat"))
        return refuse("--out: '" + TerminalText(outPath) + "' is not FILE.csv or FILE.dat");
    if (in.chAOn && in.chBOn && in.timeDiv < kMinPeriodBoth) {
        err << "tesmar-cli record: with both channels --period must be at least 10us\n";
        return kExitUsage;
    }
    // The file is taken before recording: a long record is not taken to be lost at its end.
    OutputFile output;
    if (const int status = OpenOutputs("record", {{&output, outPath}}, err))
        return status;
    // A point takes at least one sample per channel at the converter's 200 kHz.
    in.workingLimit = in.displayLimit = 1.0 / kMinPeriod;

    const auto device = TakeUpForMeasurement(session, err);
    if (const int* status = std::get_if<int>(&device))
        return *status;
    const MessageTable messages;
    in.calibration = std::get<CalibrationSet>(device);
    RecorderBlock block = BuildRecorderBlock(in);
    if (averaging && *averaging != block.averaging) {
        const int channels = in.chAOn && in.chBOn ? 2 : 1;
        const SampleRateCode rate = ComputeSampleRateCode(channels / in.timeDiv, *averaging);
        if (rate.rate > 1.0 / kMinPeriod * (1 + 1e-9)) {
            err << "tesmar-cli record: --averaging " << *averaging << " needs a converter faster than 200 kHz\n";
            return 64;
        }
        block.averaging = *averaging;
        block.rate = rate.rate;
        block.wValue = rate.wValue;
        block.block.timingCode() = rate.timingCode;
        if (rate.inHertz)
            block.block.modeFlags() |= AnalogBlock::kRateInHertz;
        else
            block.block.modeFlags() &= static_cast<std::uint8_t>(~AnalogBlock::kRateInHertz);
    }

    RecorderSettings settings;
    settings.pointPeriod = QuantizePeriod(in.timeDiv);
    ReportQuantizedPeriod("record", in.timeDiv, settings.pointPeriod, err);
    settings.averaging = block.averaging;
    settings.chAOn = block.chAOn;
    settings.chBOn = block.chBOn;
    settings.pairA = block.pairA;
    settings.pairB = block.pairB;
    settings.liveDisplay = false;
    settings.autoStopSeconds = duration;
    settings.dynamicMemory = !duration; // a duration reserves its need at the start
    RecorderStream stream(settings, {});

    // Ctrl-C ends the recording as the page's reset button does: stop, then halt the transfer.
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    const bool terminal = isatty(STDERR_FILENO) == 1;
    const auto started = std::chrono::steady_clock::now();
    const auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(); };
    // Standard output gets the rows as they come; a file is written whole at the end.
    CsvRows live(stream.record(), out);
    bool liveFailed = false;
    std::thread watcher([&] {
        std::unique_lock lock(mutex);
        auto nextProgress = std::chrono::steady_clock::now() + std::chrono::milliseconds(terminal ? 500 : 10'000);
        while (!finished) {
            done.wait_for(lock, std::chrono::milliseconds(20));
            if (outPath.empty() && !liveFailed && !live.writeUpTo(stream.record().count(), false))
                liveFailed = true;
            if ((interrupted || liveFailed) && !stop) {
                stop = true;
                session.HaltTransfers();
            }
            if (!finished && std::chrono::steady_clock::now() >= nextProgress) {
                ShowProgress(stream, elapsed(), terminal, err, false);
                nextProgress += std::chrono::milliseconds(terminal ? 500 : 10'000);
            }
        }
    });
    ReadRecorderStream(session, block, stream, stop);
    {
        std::lock_guard lock(mutex);
        finished = true;
    }
    done.notify_all();
    watcher.join();
    ShowProgress(stream, elapsed(), terminal, err, true);

    const int status = stream.status();
    if (const auto key = RecorderStatusMessage(status))
        err << "tesmar-cli record: " << TerminalText(messages.text(*key)) << '\n';
    if (status == RecNoMemoryAtStart)
        return kExitFailure;

    if (outPath.empty()) {
        if (liveFailed || !live.writeUpTo(stream.record().count(), true)) {
            err << "tesmar-cli record: cannot write standard output\n";
            return kExitOutput;
        }
    } else {
        std::optional<DataFileView> data;
        if (EndsWithNoCase(outPath, ".dat"))
            data = RecordDataFile(stream.record(), RecTimeText(stream.elapsedDays(), false), in);
        const OutputFile::Writer write =
            data ? OutputFile::Writer([&](const std::string& path) { return SaveDataFile(path, *data); })
                 : StreamWriter([&](std::ostream& csv) { CsvRows(stream.record(), csv).writeUpTo(stream.record().count(), true); });
        if (const int status = CommitOutput("record", output, write, err))
            return status;
    }
    if (status != RecOk)
        return kExitFailure;
    if (stop && duration && !stream.autoStopped())
        return kExitInterrupted;
    return kExitComplete;
}

} // namespace tesmar
