#include "cli/DecodeCommand.h"

#include "CliText.h"

#include "decoders/DecoderText.h"
#include "decoders/I2cDecoder.h"
#include "decoders/OneWireDecoder.h"
#include "decoders/SpiDecoder.h"
#include "decoders/UartBaudEstimate.h"
#include "decoders/UartDecoder.h"
#include "files/DataFileLoad.h"
#include "files/MessageTable.h"
#include "logic/ChannelNames.h"
#include "logic/ChannelQueries.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <variant>

namespace tesmar {

namespace {

const char* const kDecodeUsage =
    "usage: tesmar-cli decode PROTOCOL FILE [options]   (FILE: .dat, .vcd, .csv or .sr)\n"
    "  uart   --rx CH --tx CH --baud N --bits 5..8 --parity none|even|odd --stop 1|2\n"
    "         --estimate-baud (print the baud rate estimated on --rx and stop)\n"
    "         --baud: any whole rate (default 9600) at which one bit spans more than 2 samples\n"
    "         of the capture\n"
    "  spi    --sck CH --mosi CH --miso CH --mode 0..3 (or --cpol 0|1 --cpha 0|1) --order msb|lsb\n"
    "  i2c    --scl CH --sda CH\n"
    "  1wire  --dq CH --device none|thermometer\n"
    "common:  --marker1 T --marker2 T (seconds, or with a unit: 12us, 3.5ms; default: the\n"
    "         start of the capture; --marker2 is where TxD starts)  --csv (CSV instead of columns)\n"
    "CH is a line name A.0 … B.7 or an index 0 … 15, and the capture must have that line.\n"
    "exit status: 0 when something was decoded, 1 when nothing was (the reason on standard\n"
    "error) or the file is refused, 64 for a bad command line.\n";

std::string TimeText(double seconds)
{
    if (std::isnan(seconds))
        return "";
    char text[40];
    std::snprintf(text, sizeof text, "%.9g", seconds);
    return text;
}

// The grid followed by the time columns its decoder names.
DecoderTable WithTimeColumns(const DecoderTable& grid)
{
    DecoderTable out;
    out.headers = grid.headers;
    for (const std::string& name : grid.timeNames)
        out.headers.push_back("t " + name + ", s");
    for (std::size_t r = 0; r < grid.rows.size(); ++r) {
        std::vector<std::string> row = grid.rows[r];
        for (int column : grid.timeColumns)
            row.push_back(TimeText(grid.times[r][static_cast<std::size_t>(column)]));
        out.rows.push_back(std::move(row));
    }
    return out;
}

void PrintTable(const DecoderTable& grid, bool csv, std::ostream& out)
{
    // The window's leading blanks centre texts in its cells; columns here align by themselves.
    DecoderTable table = WithTimeColumns(grid);
    for (auto& header : table.headers)
        header = TrimBlanks(header);
    for (auto& row : table.rows)
        for (auto& cell : row)
            cell = TrimBlanks(cell);
    if (csv) {
        auto cell = [](const std::string& text) {
            if (text.find_first_of(",\"") == std::string::npos)
                return text;
            std::string quoted = "\"";
            for (char c : text)
                quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
            return quoted + "\"";
        };
        auto line = [&](const std::vector<std::string>& cells) {
            for (std::size_t c = 0; c < cells.size(); ++c)
                out << (c ? "," : "") << cell(cells[c]);
            out << '\n';
        };
        line(table.headers);
        for (const auto& row : table.rows)
            line(row);
        return;
    }
    // Columns as wide as their longest text, counted in characters, not bytes.
    auto width = [](const std::string& text) {
        return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
    };
    std::vector<std::size_t> widths(table.headers.size(), 0);
    for (std::size_t c = 0; c < table.headers.size(); ++c) {
        widths[c] = width(table.headers[c]);
        for (const auto& row : table.rows)
            widths[c] = std::max(widths[c], width(row[c]));
    }
    auto line = [&](const std::vector<std::string>& cells) {
        std::string text;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            text += cells[c];
            if (c + 1 < cells.size())
                text += std::string(widths[c] - width(cells[c]) + 2, ' ');
        }
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
        out << text << '\n';
    };
    line(table.headers);
    for (const auto& row : table.rows)
        line(row);
}

class Options {
public:
    // Options of the form --name VALUE and flags; false with a message on a bad one.
    bool parse(const std::vector<std::string>& args, std::size_t from, const std::vector<std::string>& valued,
               const std::vector<std::string>& flags, std::ostream& err)
    {
        for (std::size_t i = from; i < args.size(); ++i) {
            const std::string& key = args[i];
            if (std::find(flags.begin(), flags.end(), key) != flags.end()) {
                values_[key] = "1";
            } else if (std::find(valued.begin(), valued.end(), key) != valued.end()) {
                if (i + 1 >= args.size()) {
                    err << "tesmar-cli decode: " << key << " needs a value\n";
                    return false;
                }
                values_[key] = args[++i];
            } else {
                err << "tesmar-cli decode: unknown option " << TerminalText(key) << "\n" << kDecodeUsage;
                return false;
            }
        }
        return true;
    }
    bool has(const std::string& key) const { return values_.count(key) != 0; }
    std::string get(const std::string& key, const std::string& fallback) const
    {
        const auto it = values_.find(key);
        return it == values_.end() ? fallback : it->second;
    }

private:
    std::map<std::string, std::string> values_;
};

struct DecodeContext {
    const ChannelQueries& queries;
    const LogicCapture& capture;
    const Options& options;
    const MessageTable& table;
    std::ostream& out;
    std::ostream& err;
    // Set by a refused option: 64 for a bad command line, 1 for what the file does not hold.
    mutable int status = 0;

    double captureStart() const { return capture.firstSampleTime; }
    double captureEnd() const
    {
        const auto samples = std::max(capture.busA.size(), capture.busB.size());
        return capture.firstSampleTime + capture.samplePeriod * static_cast<double>(samples);
    }
    std::optional<int> channel(const std::string& key) const
    {
        const std::string text = options.get(key, "A.0");
        const auto parsed = ParseChannel(text);
        if (!parsed) {
            err << "tesmar-cli decode: " << key << ": no line '" << TerminalText(text) << "' (A.0 … B.7 or 0 … 15)\n";
            status = 64;
        } else if (*parsed >= 8 && capture.busB.empty()) {
            err << "tesmar-cli decode: " << key << ": the capture has no line " << DefaultChannelName(*parsed)
                << " (it holds the 8 lines A.0 … A.7)\n";
            status = std::max(status, 1); // a bad command line (64) takes precedence
            return std::nullopt;
        }
        return parsed;
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
        if (!options.has(key))
            return fallback;
        const std::string value = options.get(key, "");
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i] == value)
                return static_cast<int>(i);
        err << "tesmar-cli decode: " << key << ": '" << TerminalText(value) << "' is not one of";
        for (const auto& item : items)
            err << ' ' << item;
        err << '\n';
        status = 64;
        return std::nullopt;
    }
};

// The baud rate: any whole positive number; whether the capture has enough samples for it is
// the decoder's check.
constexpr NumberRange kBaudRange{1, 1e9, true, " baud"};

int DecodeUartCommand(const DecodeContext& context)
{
    const auto rx = context.channel("--rx");
    const auto tx = context.channel("--tx");
    if (!rx || !tx)
        return context.refused();
    if (context.options.has("--estimate-baud")) {
        const auto estimate = EstimateUartBaud(context.queries, *rx, DefaultChannelName(*rx));
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
    request.rxd = *rx;
    request.txd = *tx;
    request.settings = {static_cast<int>(*baud), *bits + 5, static_cast<UartParity>(*parity), *stop + 1};
    // Two stop bits and parity exclude each other, as in the window.
    if (request.settings.stopBits == 2 && request.settings.parity != UartParity::None) {
        context.err << "tesmar-cli decode: two stop bits and parity exclude each other\n";
        return 64;
    }
    request.marker1 = *marker1;
    request.marker2 = *marker2;
    const auto result = DecodeUart(context.queries, request);
    if (!result.messages.empty()) {
        PrintTable(UartTable(result, context.table), context.options.has("--csv"), context.out);
        for (const auto& message : result.messages)
            context.refuse(message);
        return 1;
    }
    if (result.rxd.bytes.empty() && result.txd.bytes.empty()) {
        // Up to its stop bit, as the decoder counts it.
        const double frame = (1.0 + request.settings.dataBits + (request.settings.parity != UartParity::None)) / *baud;
        if (frame > context.captureEnd() - context.captureStart())
            return context.nothingFound("a frame at " + std::to_string(request.settings.baud) + " baud (" +
                                        TimeText(frame) + " s) is longer than the capture (" +
                                        TimeText(context.captureEnd() - context.captureStart()) + " s)");
        return context.nothingFound("no frame on RxD (" + DefaultChannelName(*rx) + ") or TxD (" +
                                    DefaultChannelName(*tx) + ") after the markers");
    }
    PrintTable(UartTable(result, context.table), context.options.has("--csv"), context.out);
    return 0;
}

int DecodeSpiCommand(const DecodeContext& context)
{
    const auto sck = context.channel("--sck");
    const auto mosi = context.channel("--mosi");
    const auto miso = context.channel("--miso");
    const auto mode = context.choice("--mode", {"0", "1", "2", "3"}, 0);
    const auto order = context.choice("--order", {"msb", "lsb"}, 0);
    const auto marker1 = context.marker("--marker1");
    if (!sck || !mosi || !miso || !mode || !order || !marker1)
        return context.refused();
    SpiSettings settings = SpiMode(*mode, *order == 0);
    const auto cpol = context.choice("--cpol", {"0", "1"}, settings.polarity);
    const auto cpha = context.choice("--cpha", {"0", "1"}, settings.phase);
    if (!cpol || !cpha)
        return context.refused();
    settings.polarity = *cpol;
    settings.phase = *cpha;
    const auto result = DecodeSpi(context.queries, {*sck, *mosi, *miso, settings, *marker1});
    if (result.error)
        return context.refuse(*result.error);
    const DecoderTable table = SpiTable(result, context.table);
    if (table.rows.empty())
        return context.nothingFound("no clock edges on SCK (" + DefaultChannelName(*sck) + ") after --marker1");
    PrintTable(table, context.options.has("--csv"), context.out);
    return 0;
}

int DecodeI2cCommand(const DecodeContext& context)
{
    const auto scl = context.channel("--scl");
    const auto sda = context.channel("--sda");
    const auto marker1 = context.marker("--marker1");
    if (!scl || !sda || !marker1)
        return context.refused();
    const auto result = DecodeI2c(context.queries, {*scl, *sda, *marker1});
    if (result.error)
        return context.refuse(*result.error);
    const DecoderTable table = I2cDecoderTable(result.grid, context.table);
    if (table.rows.empty())
        return context.nothingFound("no whole byte after a start on SCL (" + DefaultChannelName(*scl) + ") and SDA (" +
                                    DefaultChannelName(*sda) + ")");
    PrintTable(table, context.options.has("--csv"), context.out);
    return 0;
}

int DecodeOneWireCommand(const DecodeContext& context)
{
    const auto dq = context.channel("--dq");
    const auto device = context.choice("--device", {"none", "thermometer"}, 0);
    const auto marker1 = context.marker("--marker1");
    if (!dq || !device || !marker1)
        return context.refused();
    const auto result = DecodeOneWire(context.queries, {*dq, static_cast<OneWireDevice>(*device), *marker1});
    if (result.error)
        return context.refuse(*result.error);
    const DecoderTable table = OneWireTable(result, context.table);
    if (table.rows.empty())
        return context.nothingFound("no 1-Wire traffic on DQ (" + DefaultChannelName(*dq) + ") after --marker1");
    PrintTable(table, context.options.has("--csv"), context.out);
    return 0;
}

} // namespace

int RunDecodeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        out << kDecodeUsage;
        return 0;
    }
    if (args.size() < 2) {
        err << kDecodeUsage;
        return 64;
    }
    const std::string& protocol = args[0];
    const std::map<std::string, std::vector<std::string>> valuedOptions = {
        {"uart", {"--rx", "--tx", "--baud", "--bits", "--parity", "--stop", "--marker1", "--marker2"}},
        {"spi", {"--sck", "--mosi", "--miso", "--mode", "--cpol", "--cpha", "--order", "--marker1"}},
        {"i2c", {"--scl", "--sda", "--marker1"}},
        {"1wire", {"--dq", "--device", "--marker1"}},
    };
    const auto valued = valuedOptions.find(protocol);
    if (valued == valuedOptions.end()) {
        err << "tesmar-cli decode: unknown protocol '" << TerminalText(protocol) << "'\n" << kDecodeUsage;
        return 64;
    }
    Options options;
    std::vector<std::string> flags = {"--csv"};
    if (protocol == "uart")
        flags.push_back("--estimate-baud");
    if (!options.parse(args, 2, valued->second, flags, err))
        return 64;

    const MessageTable table;
    auto loaded = LoadCaptureFile(args[1]);
    if (const auto* message = std::get_if<std::string>(&loaded)) {
        err << "tesmar-cli decode: " << TerminalText(*message) << '\n';
        return 1;
    }
    CaptureImport& imported = std::get<CaptureImport>(loaded);
    for (const auto& warning : imported.warnings)
        err << "tesmar-cli decode: " << TerminalText(args[1] + ": " + warning) << '\n';
    LogicCapture capture;
    capture.busA = std::move(imported.capture.busA);
    capture.busB = std::move(imported.capture.busB);
    capture.samplePeriod = imported.capture.samplePeriod;
    capture.firstSampleTime = imported.capture.firstSampleTime;
    if (!(capture.samplePeriod > 0 && std::isfinite(capture.samplePeriod) && std::isfinite(capture.firstSampleTime))) {
        err << "tesmar-cli decode: " << TerminalText(args[1]) << ": the capture has no usable sample period\n";
        return 1;
    }
    const double pre = std::clamp(std::round(-capture.firstSampleTime / capture.samplePeriod), -2147483648.0, 2147483647.0);
    capture.preTriggerCount = static_cast<std::int32_t>(pre);
    const ChannelQueries queries(capture);
    const DecodeContext context{queries, capture, options, table, out, err};
    if (protocol == "uart")
        return DecodeUartCommand(context);
    if (protocol == "spi")
        return DecodeSpiCommand(context);
    if (protocol == "i2c")
        return DecodeI2cCommand(context);
    return DecodeOneWireCommand(context);
}

} // namespace tesmar
