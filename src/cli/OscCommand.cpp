#include "OscCommand.h"

#include "CliText.h"

#include "device/DeviceStartup.h"
#include "device/UsbSession.h"
#include "files/MessageTable.h"
#include "osc/OscReaders.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

namespace tesmar {

namespace {

const char* const kOscUsage =
    "usage: tesmar-cli [--sim] [--trace-usb] osc [options]\n"
    "  --time-div T       sample period of one channel: seconds, or with a unit: 5us, 0.1ms, 10ms (default 10us)\n"
    "  --channels a|b|ab  channels on (default a)\n"
    "  --range-a V        volts per half screen of A: above 2 V the attenuated input (default 20)\n"
    "  --range-b V        the same for B (default 20)\n"
    "  --trigger off|a|b|ext   trigger source (default off)\n"
    "  --edge rising|falling   (default rising)\n"
    "  --kind level|diff       level or difference trigger (default level)\n"
    "  --level V          trigger level of the source channel (default 0)\n"
    "  --threshold V      difference threshold, 0.2 … 20 V (default 0.5)\n"
    "  --mode buffer|stream    read mode (default buffer)\n"
    "  --pre N            pre-trigger points (default 100)\n"
    "  --depth N          stream record length per channel (default 8192)\n"
    "  --timeout S        give up after S seconds without a record (default 10)\n"
    "  --csv FILE         write the CSV to FILE instead of standard output\n";

std::optional<double> ParseNumber(const std::string& text)
{
    try {
        std::size_t used = 0;
        const double v = std::stod(text, &used);
        return used == text.size() ? std::optional<double>(v) : std::nullopt;
    } catch (...) {
        return std::nullopt;
    }
}

} // namespace

int RunOscCommand(UsbSession& session, const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    OscBlockInput in;
    in.timeDiv = 10e-6;
    in.disableAveraging = true;
    std::string csvPath;
    double timeoutSeconds = 10;
    int depth = 8192;
    bool stream = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& key = args[i];
        if (key == "--help") {
            out << kOscUsage;
            return 0;
        }
        if (i + 1 >= args.size()) {
            err << "tesmar-cli osc: " << key << " needs a value\n" << kOscUsage;
            return 64;
        }
        const std::string value = args[++i];
        std::optional<double> number = ParseNumber(value);
        bool ok = true;
        if (key == "--time-div") {
            const auto td = ParseSeconds(value);
            ok = td && *td > 0 && *td <= 10;
            if (ok)
                in.timeDiv = *td;
        } else if (key == "--channels") {
            ok = value == "a" || value == "b" || value == "ab";
            in.chAOn = value != "b";
            in.chBOn = value != "a";
        } else if (key == "--range-a" || key == "--range-b") {
            ok = number && *number > 0;
            (key == "--range-a" ? in.rangeA : in.rangeB) = number.value_or(20);
        } else if (key == "--trigger") {
            ok = value == "off" || value == "a" || value == "b" || value == "ext";
            in.triggerOn = value != "off";
            in.triggerSource = value == "b" ? TriggerSource::ChannelB
                               : value == "ext" ? TriggerSource::External
                                                : TriggerSource::ChannelA;
        } else if (key == "--edge") {
            ok = value == "rising" || value == "falling";
            in.triggerEdge = value == "falling" ? TriggerEdge::Falling : TriggerEdge::Rising;
        } else if (key == "--kind") {
            ok = value == "level" || value == "diff";
            in.triggerKind = value == "diff" ? TriggerKind::Difference : TriggerKind::Absolute;
        } else if (key == "--level") {
            ok = number.has_value();
            in.levelA = in.levelB = number.value_or(0);
        } else if (key == "--threshold") {
            ok = number.has_value();
            in.typedThreshold = number;
        } else if (key == "--mode") {
            ok = value == "buffer" || value == "stream";
            stream = value == "stream";
        } else if (key == "--pre") {
            ok = number && *number >= 1 && *number <= 1000;
            in.preTriggerCount = static_cast<int>(number.value_or(100));
        } else if (key == "--depth") {
            ok = number && *number >= 16 && *number <= 65536;
            depth = static_cast<int>(number.value_or(8192));
        } else if (key == "--timeout") {
            ok = number && *number > 0;
            timeoutSeconds = number.value_or(10);
        } else if (key == "--csv") {
            csvPath = value;
        } else {
            err << "tesmar-cli osc: unknown option " << key << "\n" << kOscUsage;
            return 64;
        }
        if (!ok) {
            err << "tesmar-cli osc: bad value '" << value << "' for " << key << "\n";
            return 64;
        }
    }
    if (stream && in.triggerSource == TriggerSource::External) {
        err << "tesmar-cli osc: the external trigger works only in buffer mode\n";
        return 64;
    }
    const int pre = in.preTriggerCount;
    if (stream ? (pre < 10 || pre > 1000) : (pre < 8 || pre > 200 || pre % 4 != 0)) {
        err << "tesmar-cli osc: --pre must be 8 … 200 in steps of 4 (buffer) or 10 … 1000 (stream)\n";
        return 64;
    }
    in.streamMode = stream;
    in.capacity = stream ? depth : kOscBufferSamples;

    const MessageTable messages;
    const DeviceTakeUp device = TakeUpDevice(session, true, [](int, const std::function<void()>& step) { step(); });
    if (device.outcome != DeviceTakeUp::Outcome::Ready) {
        err << TerminalText(messages.text(device.outcome == DeviceTakeUp::Outcome::NoDevice ? Msg::strInitError
                                                                                            : Msg::strErrorBL))
            << '\n';
        return device.outcome == DeviceTakeUp::Outcome::NoDevice ? 2 : 3;
    }
    in.calibration = device.pairs.value_or(CalibrationSet{});

    const OscBlock block = BuildOscBlock(in);
    const OscAcquisitionParams params = OscAcquisitionParams::FromBlock(block, in, false);
    OscResult result;

    // A record that never comes (no trigger) ends after the time-out, as the reset button would.
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::thread watchdog([&] {
        std::unique_lock lock(mutex);
        if (!done.wait_for(lock, std::chrono::duration<double>(timeoutSeconds), [&] { return finished; })) {
            stop = true;
            session.HaltTransfers();
        }
    });
    bool ok = false;
    if (stream) {
        ok = ReadOscStream(session, params, result, stop);
    } else {
        OscFrame frame{};
        ok = ReadOscBufferFrame(session, params, frame, stop);
        if (ok)
            DecodeOscBuffer(frame, params, {}, result);
        session.DeviceReset();
    }
    {
        std::lock_guard lock(mutex);
        finished = true;
    }
    done.notify_all();
    watchdog.join();
    if (!ok) {
        err << (stop ? "tesmar-cli osc: no record within the time-out (is the trigger level reached?)\n"
                     : "tesmar-cli osc: the exchange with the instrument failed\n");
        return 1;
    }

    std::ofstream file;
    if (!csvPath.empty()) {
        file.open(csvPath, std::ios::trunc);
        if (!file) {
            err << "tesmar-cli osc: cannot write " << csvPath << '\n';
            return 1;
        }
    }
    std::ostream& csv = csvPath.empty() ? out : file;
    csv << "time_s";
    if (params.chAOn)
        csv << ",a_V";
    if (params.chBOn)
        csv << ",b_V";
    csv << '\n';
    const int count = std::max(result.CountA, result.CountB);
    const int trig = params.chAOn ? result.TrigIndexA : result.TrigIndexB;
    char line[96];
    for (int i = 0; i < count; ++i) {
        std::snprintf(line, sizeof line, "%.9g", (i - trig) * block.pointPeriod);
        csv << line;
        if (params.chAOn) {
            std::snprintf(line, sizeof line, ",%.6f", result.ValuesA[i]);
            csv << line;
        }
        if (params.chBOn) {
            std::snprintf(line, sizeof line, ",%.6f", result.ValuesB[i]);
            csv << line;
        }
        csv << '\n';
    }
    return csv ? 0 : 1;
}

} // namespace tesmar
