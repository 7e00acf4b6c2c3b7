#include "cli/DecodeCommand.h"

#include "CaptureLines.h"
#include "CliOptions.h"
#include "CliText.h"
#include "ExitStatus.h"
#include "DecoderTableText.h"
#include "FileProgress.h"
#include "StreamedLines.h"
#include "StreamedUart.h"
#include "UartTableText.h"

#include "decoders/DecoderText.h"
#include "decoders/I2cDecoder.h"
#include "decoders/OneWireDecoder.h"
#include "decoders/SpiDecoder.h"
#include "decoders/UartBaudEstimate.h"
#include "decoders/UartDecoder.h"
#include "formats/DataFileLoad.h"
#include "text/MessageTable.h"
#include "logic/ChannelNames.h"
#include "logic/ChannelQueries.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <variant>

#include <unistd.h>

namespace tesmar {

namespace {

const char* const kDecodeUsage =
    "usage: tesmar-cli decode PROTOCOL FILE [options]   (FILE: .dat, .vcd, .csv or .sr, or a\n"
    "                                                   1544-byte generator data file)\n"
    "       tesmar-cli decode --list-lines FILE [--rate R]  (the lines, their names and edges)\n"
    "  uart   --rx CH --tx CH --baud N --bits 5..8 --parity none|even|odd --stop 1|2\n"
    "         only the lines given are decoded, the other's columns stay empty; with neither,\n"
    "         --rx is the first line of the capture\n"
    "         --estimate-baud (print the baud rate estimated on --rx and stop)\n"
    "         --baud: any whole rate (default 9600) at which one bit spans more than 2 samples\n"
    "         of the capture\n"
    "  spi    --sck CH --mosi CH --miso CH --mode 0..3 (or --cpol 0|1 --cpha 0|1) --order msb|lsb\n"
    "         --sck defaults to the first line; only the data lines given are decoded (at least\n"
    "         one), the other's columns stay empty\n"
    "         --cs CH --cs-active low|high (default low): only clock edges while the chip is\n"
    "         selected count, and each selection starts a new byte\n"
    "  i2c    --scl CH --sda CH (both needed; each defaults to the first line)\n"
    "  1wire  --dq CH (default: the first line) --device none|thermometer\n"
    "common:  --marker1 T --marker2 T (seconds, or with a unit: 12us, 3.5ms; default: the\n"
    "         start of the capture; --marker2 is where TxD starts, by default at --marker1)\n"
    "         --csv (CSV instead of columns)\n"
    "         --limit N (at most N rows; default: the whole capture)\n"
    "         --rate HZ (generator data files: the rate they are played at, default 1M; CSV\n"
    "         files that state no sample rate and have no time column: their sample rate;\n"
    "         1 … 1G, with k or M: 250k, 1M)\n"
    "CH is a name the file gives a line (RX, SDA, D3 …), a line name A.0 … B.7 or an index\n"
    "0 … 15, and the capture must have that line.\n"
    "decode exits 1 also when nothing was decoded (the reason on standard error).\n";

struct DecodeContext {
    const ChannelQueries& queries;
    const DecodeInput& input;
    const LogicCapture& capture;
    const CliOptions& options;
    const MessageTable& table;
    std::ostream& out;
    std::ostream& err;
    const std::string& path;
    // Told how far a pass over a streamed file has come.
    const ReadProgress& progress;
    // Set by a refused option: 64 for a bad command line, 1 for what the file does not hold.
    mutable int status = 0;

    double captureStart() const { return capture.firstSampleTime; }
    double captureEnd() const
    {
        return capture.firstSampleTime + capture.samplePeriod * static_cast<double>(input.sampleCount());
    }
    // The line of option `key`, by default the first line the capture holds.
    std::optional<int> channel(const std::string& key) const { return lineOf(key); }
    // The line of option `key`, none when it is not given and `byDefault` is false; false when
    // the option names no line of the capture.
    bool optionalChannel(const std::string& key, bool byDefault, std::optional<int>& found) const
    {
        found.reset();
        if (!byDefault && !options.has(key))
            return true;
        found = lineOf(key);
        return found.has_value();
    }
    std::optional<int> lineOf(const std::string& key) const
    {
        const std::string text = options.get(key, input.generatorData ? "B.0" : "A.0");
        std::string problem;
        const auto found = FindCaptureLine(text, input, problem);
        if (!found) {
            err << "tesmar-cli decode: " << key << ": " << problem << '\n';
            // A line the capture does not hold is the file's matter; a bad command line (64)
            // takes precedence.
            status = ParseChannel(text) ? std::max(status, 1) : 64;
        }
        return found;
    }
    // The number of rows asked for, or all of them.
    std::int64_t limit() const { return rowLimit; }
    std::int64_t rowLimit = INT64_MAX;
    // A grid of `count` rows printed a chunk at a time (`rows`: numbered from 1 in each chunk),
    // cut to --limit rows: the grid's texts are never held whole.
    int printRows(const DecoderTable& frame, std::size_t count, const DecoderRowChunk& rows) const
    {
        count = static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(count), rowLimit));
        const auto numbered = [&rows](std::size_t from, std::size_t to) {
            DecoderTable part = rows(from, to);
            for (std::size_t r = 0; r < part.rows.size(); ++r)
                part.rows[r][0] = std::to_string(from + r + 1);
            return part;
        };
        PrintDecoderRows(frame, count, numbered, options.has("--csv"), out);
        return 0;
    }
    std::optional<double> marker(const std::string& key) const
    {
        if (!options.has(key))
            return captureStart();
        const std::string text = options.get(key, "");
        const auto seconds = ParseSeconds(text);
        if (!seconds) {
            err << "tesmar-cli decode: " << key << ": not a time '" << TerminalText(text) << "'\n";
            status = 64;
        } else if (*seconds < captureStart() || *seconds >= captureEnd()) {
            err << "tesmar-cli decode: " << key << ": " << TerminalText(text) << " is outside the capture ("
                << TimeText(captureStart()) << " … " << TimeText(captureEnd()) << " s)\n";
            status = std::max(status, 1); // a bad command line (64) takes precedence
            return std::nullopt;
        }
        return seconds;
    }
    // Where the lines of a streamed file lie in time.
    LineTiming timing() const { return {capture.samplePeriod, capture.firstSampleTime, input.sampleCount()}; }
    // The lines followed through a streamed file.
    StreamLineEvents events(std::initializer_list<std::optional<int>> channels) const
    {
        return StreamLineEvents(*input.changes, channels, progress);
    }
    // Whether a streamed file could not be read to its end (said on standard error).
    bool unreadable() const
    {
        if (!input.changes || input.changes->problem().empty())
            return false;
        err << "tesmar-cli decode: " << TerminalText(path + ": " + input.changes->problem()) << '\n';
        return true;
    }
    // The status of a refused option (64 unless set otherwise).
    int refused() const { return status ? status : 64; }
    // An empty result says why and is not a success.
    int nothingFound(const std::string& why) const
    {
        err << "tesmar-cli decode: nothing decoded: " << why << '\n';
        return 1;
    }
    int refuse(const DecoderMessage& message) const
    {
        err << TerminalText(FormatDecoderMessage(message, table)) << '\n';
        return 1;
    }
    std::optional<int> choice(const std::string& key, const std::vector<std::string>& items, int fallback) const
    {
        const auto index = options.choice(key, items, fallback, err);
        if (!index)
            status = 64;
        return index;
    }
};

// Items `from` … `to` - 1 of `items`, as far as it has them.
template <class Items> Items Slice(const Items& items, std::size_t from, std::size_t to)
{
    from = std::min(from, items.size());
    to = std::min(to, items.size());
    return Items(items.begin() + static_cast<std::ptrdiff_t>(from), items.begin() + static_cast<std::ptrdiff_t>(to));
}

// The baud rate: any whole positive number; whether the capture has enough samples for it is
// the decoder's check.
constexpr NumberRange kBaudRange{1, 1e9, true, " baud"};

int DecodeUartCommand(const DecodeContext& context)
{
    // A line not given is not decoded; with neither, RxD is the first line.
    const bool neither = !context.options.has("--rx") && !context.options.has("--tx");
    std::optional<int> rx, tx;
    const bool rxFound = context.optionalChannel("--rx", neither || context.options.has("--estimate-baud"), rx);
    const bool txFound = context.optionalChannel("--tx", false, tx);
    if (!rxFound || !txFound)
        return context.refused();
    if (context.options.has("--estimate-baud")) {
        std::variant<long long, DecoderMessage> estimate;
        if (context.input.changes) {
            StreamLineEvents events = context.events({rx});
            estimate = EstimateUartBaudEvents(events, context.timing(), *rx, DefaultChannelName(*rx));
            if (context.unreadable())
                return 1;
        } else {
            estimate = EstimateUartBaud(context.queries, *rx, DefaultChannelName(*rx));
        }
        if (const auto* message = std::get_if<DecoderMessage>(&estimate))
            return context.refuse(*message);
        context.out << std::get<long long>(estimate) << '\n';
        return 0;
    }
    std::string problem;
    const auto baud = CheckedNumber("--baud", context.options.get("--baud", "9600"), kBaudRange, problem);
    if (!baud) {
        context.err << "tesmar-cli decode: " << problem << '\n';
        return 64;
    }
    const auto bits = context.choice("--bits", {"5", "6", "7", "8"}, 3);
    const auto parity = context.choice("--parity", {"none", "even", "odd"}, 0);
    const auto stop = context.choice("--stop", {"1", "2"}, 0);
    const auto marker1 = context.marker("--marker1");
    const auto marker2 = context.marker("--marker2");
    if (!bits || !parity || !stop || !marker1 || !marker2)
        return context.refused();
    UartDecodeRequest request;
    request.rxd = rx;
    request.txd = tx;
    request.settings = {static_cast<int>(*baud), *bits + 5, static_cast<UartParity>(*parity), *stop + 1};
    // Two stop bits and parity exclude each other, as in the window.
    if (request.settings.stopBits == 2 && request.settings.parity != UartParity::None) {
        context.err << "tesmar-cli decode: two stop bits and parity exclude each other\n";
        return 64;
    }
    request.marker1 = *marker1;
    if (context.options.has("--marker2"))
        request.marker2 = *marker2;
    request.maxEntries = context.limit();
    StreamedUartResult streamed;
    if (context.input.changes) {
        std::string problem;
        streamed = DecodeStreamedUart(*context.input.changes, context.capture, request, context.progress, problem);
        if (!problem.empty()) {
            context.err << "tesmar-cli decode: " << TerminalText(context.path + ": " + problem) << '\n';
            return 1;
        }
    } else {
        streamed.decoded = DecodeUart(context.queries, request);
    }
    const UartDecodeResult& result = streamed.decoded;
    const UartLineResult& txd = streamed.txd();
    const auto printUart = [&] {
        PrintUartTable(result.rxd, txd, context.table, context.options.has("--csv"),
                       static_cast<std::size_t>(std::min<std::int64_t>(context.rowLimit, INT64_MAX)), context.out);
    };
    if (!result.messages.empty()) {
        // What was decoded before the refusal, without a header over nothing.
        if (!result.rxd.bytes.empty() || !txd.bytes.empty())
            printUart();
        for (const auto& message : result.messages)
            context.refuse(message);
        return 1;
    }
    if (result.rxd.bytes.empty() && txd.bytes.empty()) {
        // Up to its stop bit, as the decoder counts it.
        const double frame = (1.0 + request.settings.dataBits + (request.settings.parity != UartParity::None)) / *baud;
        if (frame > context.captureEnd() - context.captureStart())
            return context.nothingFound("a frame at " + std::to_string(request.settings.baud) + " baud (" +
                                        TimeText(frame) + " s) is longer than the capture (" +
                                        TimeText(context.captureEnd() - context.captureStart()) + " s)");
        std::string lines;
        if (rx)
            lines = "RxD (" + DefaultChannelName(*rx) + ")";
        if (tx)
            lines += (lines.empty() ? "TxD (" : " or TxD (") + DefaultChannelName(*tx) + ")";
        return context.nothingFound("no frame on " + lines + " after the markers");
    }
    printUart();
    return 0;
}

int DecodeSpiCommand(const DecodeContext& context)
{
    const auto sck = context.channel("--sck");
    std::optional<int> mosi, miso;
    const bool mosiFound = context.optionalChannel("--mosi", false, mosi);
    const bool misoFound = context.optionalChannel("--miso", false, miso);
    const auto mode = context.choice("--mode", {"0", "1", "2", "3"}, 0);
    const auto order = context.choice("--order", {"msb", "lsb"}, 0);
    const auto marker1 = context.marker("--marker1");
    if (!sck || !mosiFound || !misoFound || !mode || !order || !marker1)
        return context.refused();
    SpiSettings settings = SpiMode(*mode, *order == 0);
    const auto cpol = context.choice("--cpol", {"0", "1"}, settings.polarity);
    const auto cpha = context.choice("--cpha", {"0", "1"}, settings.phase);
    if (!cpol || !cpha)
        return context.refused();
    settings.polarity = *cpol;
    settings.phase = *cpha;
    SpiDecodeRequest request{*sck, mosi, miso, settings, *marker1};
    request.maxPairs = context.limit();
    if (context.options.has("--cs")) {
        const auto cs = context.channel("--cs");
        const auto active = context.choice("--cs-active", {"low", "high"}, 0);
        if (!cs || !active)
            return context.refused();
        request.cs = *cs;
        request.csActiveLow = *active == 0;
    } else if (context.options.has("--cs-active")) {
        context.err << "tesmar-cli decode: --cs-active needs --cs\n";
        return 64;
    }
    if (!mosi && !miso) {
        context.err << "tesmar-cli decode: spi needs --mosi, --miso or both (a line not given is not decoded)\n";
        return 64;
    }
    SpiDecodeResult result;
    if (context.input.changes) {
        StreamLineEvents events = context.events({request.sck, request.mosi, request.miso, request.cs});
        result = DecodeSpiEvents(events, context.timing(), request);
        if (context.unreadable())
            return 1;
    } else {
        result = DecodeSpi(context.queries, request);
    }
    if (result.error)
        return context.refuse(*result.error);
    if (result.miso.empty() && result.mosi.empty())
        return context.nothingFound("no whole byte on SCK (" + DefaultChannelName(*sck) + ") after --marker1" +
                                    (request.cs ? std::string(" while CS (") + DefaultChannelName(*request.cs) +
                                                      ") was active"
                                                : std::string()));
    return context.printRows(SpiTable({}, context.table), std::max(result.miso.size(), result.mosi.size()),
                             [&](std::size_t from, std::size_t to) {
                                 SpiDecodeResult part;
                                 part.miso = Slice(result.miso, from, to);
                                 part.mosi = Slice(result.mosi, from, to);
                                 part.misoTimes = Slice(result.misoTimes, from, to);
                                 part.mosiTimes = Slice(result.mosiTimes, from, to);
                                 return SpiTable(part, context.table);
                             });
}

int DecodeI2cCommand(const DecodeContext& context)
{
    const auto scl = context.channel("--scl");
    const auto sda = context.channel("--sda");
    const auto marker1 = context.marker("--marker1");
    if (!scl || !sda || !marker1)
        return context.refused();
    I2cDecodeRequest request{*scl, *sda, *marker1};
    request.maxRows = context.limit();
    I2cDecodeResult result;
    if (context.input.changes) {
        StreamLineEvents events = context.events({request.scl, request.sda});
        result = DecodeI2cEvents(events, context.timing(), request);
        if (context.unreadable())
            return 1;
    } else {
        result = DecodeI2c(context.queries, request);
    }
    if (result.error)
        return context.refuse(*result.error);
    if (result.grid.rows.empty())
        return context.nothingFound("no whole byte after a start on SCL (" + DefaultChannelName(*scl) + ") and SDA (" +
                                    DefaultChannelName(*sda) + ")");
    return context.printRows(I2cDecoderTable({}, context.table), result.grid.rows.size(),
                             [&](std::size_t from, std::size_t to) {
                                 I2cGrid part;
                                 part.rows = Slice(result.grid.rows, from, to);
                                 return I2cDecoderTable(part, context.table);
                             });
}

int DecodeOneWireCommand(const DecodeContext& context)
{
    const auto dq = context.channel("--dq");
    const auto device = context.choice("--device", {"none", "thermometer"}, 0);
    const auto marker1 = context.marker("--marker1");
    if (!dq || !device || !marker1)
        return context.refused();
    OneWireRequest request{*dq, static_cast<OneWireDevice>(*device), *marker1};
    request.maxRows = context.limit();
    OneWireDecodeResult result;
    if (context.input.changes) {
        StreamLineEvents events = context.events({request.dq});
        result = DecodeOneWireEvents(events, context.timing(), request);
        if (context.unreadable())
            return 1;
    } else {
        result = DecodeOneWire(context.queries, request);
    }
    if (result.error)
        return context.refuse(*result.error);
    if (result.rows.empty())
        return context.nothingFound("no 1-Wire traffic on DQ (" + DefaultChannelName(*dq) + ") after --marker1");
    return context.printRows(OneWireTable({}, context.table), result.rows.size(), [&](std::size_t from, std::size_t to) {
        OneWireDecodeResult part;
        part.rows = Slice(result.rows, from, to);
        return OneWireTable(part, context.table);
    });
}

// --rate when given, checked; false after saying why.
bool ReadGivenRate(const CliOptions& options, std::optional<double>& givenRate, std::ostream& err)
{
    if (!options.has("--rate"))
        return true;
    std::string problem;
    const auto rate =
        CheckedNumber("--rate", options.get("--rate", ""), {1, 1e9, false, " Hz"}, problem, NumberUnits::Hertz);
    if (!rate) {
        err << "tesmar-cli decode: " << problem << '\n';
        return false;
    }
    givenRate = *rate;
    return true;
}

// --rate serves only files that may state no rate of their own; false after saying so.
bool RateFitsInput(const CliOptions& options, const DecodeInput& input, const std::string& path, std::ostream& err)
{
    if (!options.has("--rate") || input.generatorData || CaptureFileKindOf(path) == CaptureFileKind::Csv)
        return true;
    err << "tesmar-cli decode: --rate: " << TerminalText(path)
        << " is a capture with its own sample rate (--rate is for generator data files and CSV files"
           " that state none)\n";
    return false;
}

// FILE's capture with the rate given, a VCD or CSV as its changes stream past (in bounded memory),
// with the progress of a large file on a terminal; the exit status after saying why it cannot
// be used.
std::variant<DecodeInput, int> OpenDecodeFile(const std::string& path, const CliOptions& options,
                                              std::optional<double> givenRate, FileProgress& reading,
                                              std::ostream& err)
{
    const ReadProgress progress = reading.callback();
    auto loaded = StreamedCaptureFile(path) ? OpenStreamedInput(path, givenRate, err, progress)
                                            : LoadDecodeInput(path, givenRate, err, progress);
    reading.end();
    if (const auto* message = std::get_if<std::string>(&loaded)) {
        err << "tesmar-cli decode: " << TerminalText(*message) << '\n';
        return 1;
    }
    if (!RateFitsInput(options, std::get<DecodeInput>(loaded), path, err))
        return 64;
    return std::move(std::get<DecodeInput>(loaded));
}

int ListLinesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    CliOptions options("decode", kDecodeUsage);
    if (args.size() < 2 || args[1].rfind("--", 0) == 0) {
        err << "tesmar-cli decode: --list-lines takes one FILE\n" << kDecodeUsage;
        return 64;
    }
    std::optional<double> givenRate;
    if (!options.parse(args, 2, {"--rate"}, {}, err) || !ReadGivenRate(options, givenRate, err))
        return 64;
    FileProgress reading(err, "tesmar-cli decode: ", isatty(STDERR_FILENO) == 1);
    auto opened = OpenDecodeFile(args[1], options, givenRate, reading, err);
    if (const int* status = std::get_if<int>(&opened))
        return *status;
    std::string problem;
    if (!ListCaptureLines(std::get<DecodeInput>(opened), out, problem)) {
        err << "tesmar-cli decode: " << TerminalText(args[1] + ": " + problem) << '\n';
        return 1;
    }
    return 0;
}

} // namespace

int RunDecodeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        out << kDecodeUsage << kExitStatusHelp;
        return kExitComplete;
    }
    if (!args.empty() && args[0] == "--list-lines")
        return ListLinesCommand(args, out, err);
    if (args.size() < 2) {
        err << kDecodeUsage;
        return 64;
    }
    const std::string& protocol = args[0];
    const std::vector<std::string> common = {"--marker1", "--limit", "--rate"};
    const std::map<std::string, std::vector<std::string>> protocolOptions = {
        {"uart", {"--rx", "--tx", "--baud", "--bits", "--parity", "--stop", "--marker2"}},
        {"spi", {"--sck", "--mosi", "--miso", "--mode", "--cpol", "--cpha", "--order", "--cs", "--cs-active"}},
        {"i2c", {"--scl", "--sda"}},
        {"1wire", {"--dq", "--device"}},
    };
    const auto own = protocolOptions.find(protocol);
    if (own == protocolOptions.end()) {
        err << "tesmar-cli decode: unknown protocol '" << TerminalText(protocol) << "'\n" << kDecodeUsage;
        return 64;
    }
    std::vector<std::string> valued = own->second;
    valued.insert(valued.end(), common.begin(), common.end());
    CliOptions options("decode", kDecodeUsage);
    std::vector<std::string> flags = {"--csv"};
    if (protocol == "uart")
        flags.push_back("--estimate-baud");
    if (!options.parse(args, 2, valued, flags, err))
        return 64;
    std::string problem;
    std::int64_t limit = INT64_MAX;
    if (options.has("--limit")) {
        const auto rows = CheckedNumber("--limit", options.get("--limit", ""), {1, 1e15, true, " rows"}, problem);
        if (!rows) {
            err << "tesmar-cli decode: " << problem << '\n';
            return 64;
        }
        limit = static_cast<std::int64_t>(*rows);
    }
    std::optional<double> givenRate;
    if (!ReadGivenRate(options, givenRate, err))
        return 64;

    const MessageTable table;
    // A progress line while a large file is read, on a terminal only.
    FileProgress reading(err, "tesmar-cli decode: ", isatty(STDERR_FILENO) == 1);
    const ReadProgress progress = reading.callback();
    auto opened = OpenDecodeFile(args[1], options, givenRate, reading, err);
    if (const int* status = std::get_if<int>(&opened))
        return *status;
    const DecodeInput& input = std::get<DecodeInput>(opened);
    const ChannelQueries queries(input.capture);
    DecodeContext context{queries, input, input.capture, options, table, out, err, args[1], progress};
    context.rowLimit = limit;
    if (protocol == "uart")
        return DecodeUartCommand(context);
    if (protocol == "spi")
        return DecodeSpiCommand(context);
    if (protocol == "i2c")
        return DecodeI2cCommand(context);
    return DecodeOneWireCommand(context);
}

} // namespace tesmar
