#include "cli/EncodeCommand.h"

#include "CliMain.h"
#include "CliOptions.h"
#include "CliText.h"
#include "EncodeBytes.h"
#include "GeneratorInput.h"
#include "InterruptWatch.h"
#include "OutputFile.h"
#include "decoders/I2cEncoder.h"
#include "decoders/SpiEncoder.h"
#include "decoders/UartEncoder.h"
#include "device/DeviceClock.h"
#include "formats/DataFileLoad.h"
#include "text/MessageTable.h"
#include "logic/ChannelNames.h"
#include "logic/GeneratorEditing.h"

#include <cmath>
#include <map>
#include <optional>

namespace tesmar {

namespace {

const char* const kEncodeUsage =
    "usage: tesmar-cli encode PROTOCOL [options] --out FILE.dat\n"
    "  writes generator data: the raw 1544-byte file the pattern generator plays on bus B\n"
    "  uart   --tx CH (B.0) --baud N (9600; 300 … 115200) --bits 5..8 --parity none|even|odd\n"
    "         --stop 1|2, and the bytes as --data HEX or --text TEXT\n"
    "  spi    --mosi CH (B.0) --sck CH (B.1) --clock KHZ (100; 5 … 1000) --mode 0..3 (or --cpol 0|1\n"
    "         --cpha 0|1) --order msb|lsb, and the bytes as --data HEX or --text TEXT\n"
    "  i2c    --sda CH (B.0) --scl CH (B.1) --speed KBITS (100; 10 … 400)\n"
    "         --transactions \"w ADDR BYTE …; r ADDR BYTE …\" (ADDR 0 … 127 or 0x00 … 0x7F; a\n"
    "         transaction to the address and direction of the one before continues it)\n"
    "common:  --rate HZ (1M; 1k … 1M, with k or M or without): the rate the generator plays at\n"
    "         --start T (0): where the traffic starts (seconds, or 12us, 3.5ms)\n"
    "         --in FILE.dat: start from this generator data (the other lines are kept)\n"
    "HEX is bytes like \"48 65 0x6C,6F\"; CH is B.0 … B.7 or 8 … 15.\n"
    "exit status: 0 when all the traffic fits and the file is written, 1 when the encoder refuses\n"
    "or not all of it fits (nothing is written), 64 for a bad command line, 74 when the file\n"
    "cannot be written.\n";

// The options an encoder's refusal is about.
const char* OptionsOf(Msg key, const std::string& protocol)
{
    switch (key) {
    case Msg::strLanUartErrBaud: // a rate that is not a whole number, in every encoder
        return protocol == "uart" ? "--baud" : protocol == "spi" ? "--clock" : "--speed";
    case Msg::strLanUartRngBaud:
        return "--baud";
    case Msg::strLanUartTdLessG:
        return "--baud, --rate";
    case Msg::strLanUartNoGTxd:
        return "--tx";
    case Msg::strLanSpiNoGMOSI:
        return "--mosi";
    case Msg::strLanSpiNoGSCK:
        return "--sck";
    case Msg::strLanSpiMOSI_SCK:
        return "--mosi, --sck";
    case Msg::strLanSpiRngBaud:
        return "--clock";
    case Msg::strLanSpiTdLessG:
        return "--clock, --rate";
    case Msg::strLanI2cNoSDA:
        return "--sda";
    case Msg::strLanI2cNoSCL:
        return "--scl";
    case Msg::strLanI2cSDA_SCL:
        return "--sda, --scl";
    case Msg::strLanI2cRngBaud:
        return "--speed";
    case Msg::strLanI2cTdLessG:
        return "--speed, --rate";
    case Msg::strLanUartNoDataG:
    case Msg::strLanSpiNoDataG:
        return "--data";
    case Msg::strLanI2cNoDataG:
        return "--transactions";
    default:
        return nullptr;
    }
}

struct EncodeContext {
    std::string protocol;
    const CliOptions& options;
    const MessageTable& table;
    std::ostream& err;
    GeneratorTarget target;
    double start = 0.0;
    double dataEnd() const { return GeneratorData::kSampleCount * target.samplePeriod; }

    int usage(const std::string& problem) const
    {
        err << "tesmar-cli encode: " << problem << '\n';
        return kExitUsage;
    }
    int refuse(const DecoderMessage& message) const
    {
        err << "tesmar-cli encode: ";
        if (const char* about = OptionsOf(message.key, protocol))
            err << about << ": ";
        err << TerminalText(FormatDecoderMessage(message, table)) << '\n';
        return 1;
    }
    int tooLong(std::size_t given, const char* faster) const
    {
        err << "tesmar-cli encode: the " << given << " bytes do not all fit into the generator data (1544 samples, "
            << dataEnd() * 1e3 << " ms at this --rate): give fewer bytes, a higher " << faster
            << " or a lower --rate; nothing written\n";
        return 1;
    }
    // A line option; its bus is the encoder's check, with the window's message.
    std::optional<int> line(const std::string& key, const char* fallback) const
    {
        const std::string text = options.get(key, fallback);
        const auto channel = ParseChannel(text);
        if (!channel)
            err << "tesmar-cli encode: " << key << ": no line '" << TerminalText(text) << "' (B.0 … B.7 or 8 … 15)\n";
        return channel;
    }
    std::optional<int> choice(const std::string& key, const std::vector<std::string>& items, int fallback) const
    {
        return options.choice(key, items, fallback, err);
    }
    // A rate option as the encoder reads it: a whole number in the window's range; none with a
    // message naming the option.
    std::optional<std::string> wholeRate(const std::string& key, const char* fallback, const NumberRange& range) const
    {
        std::string problem;
        const auto value = CheckedNumber(key, options.get(key, fallback), range, problem);
        if (!value) {
            err << "tesmar-cli encode: " << problem << '\n';
            return std::nullopt;
        }
        return std::to_string(static_cast<long long>(*value));
    }
    // --data or --text; none with a message when neither or both is given or a byte is bad.
    std::optional<std::vector<std::uint8_t>> bytes() const
    {
        if (options.has("--data") == options.has("--text")) {
            err << "tesmar-cli encode: give the bytes as --data HEX or as --text TEXT\n";
            return std::nullopt;
        }
        if (options.has("--text")) {
            const std::string text = options.get("--text", "");
            return std::vector<std::uint8_t>(text.begin(), text.end());
        }
        std::string problem;
        auto parsed = ParseHexBytes(options.get("--data", ""), problem);
        if (!parsed)
            err << "tesmar-cli encode: --data: " << problem << '\n';
        return parsed;
    }
};

int EncodeUartCommand(const EncodeContext& c)
{
    const auto tx = c.line("--tx", "B.0");
    const auto bits = c.choice("--bits", {"5", "6", "7", "8"}, 3);
    const auto parity = c.choice("--parity", {"none", "even", "odd"}, 0);
    const auto stop = c.choice("--stop", {"1", "2"}, 0);
    const auto baud = c.wholeRate("--baud", "9600", {300, 115200, true, " baud"});
    const auto bytes = baud ? c.bytes() : std::nullopt;
    if (!tx || !bits || !parity || !stop || !baud || !bytes)
        return kExitUsage;
    UartEncodeRequest request;
    request.txd = *tx;
    request.baudText = *baud;
    request.settings = {9600, *bits + 5, static_cast<UartParity>(*parity), *stop + 1};
    if (request.settings.stopBits == 2 && request.settings.parity != UartParity::None)
        return c.usage("two stop bits and parity exclude each other");
    request.bytes = *bytes;
    request.marker1 = c.start;
    const UartEncodeResult result = EncodeUart(c.target, request);
    if (result.error)
        return c.refuse(*result.error);
    // The stop bits need no room: the line idles high after the data.
    const double frameBody =
        (1 + request.settings.dataBits + (request.settings.parity != UartParity::None)) / std::stod(*baud);
    if (result.txdTimes.size() < bytes->size() || result.txdTimes.back() + frameBody > c.dataEnd() + 1e-12)
        return c.tooLong(bytes->size(), "--baud");
    return 0;
}

int EncodeSpiCommand(const EncodeContext& c)
{
    const auto mosi = c.line("--mosi", "B.0");
    const auto sck = c.line("--sck", "B.1");
    const auto mode = c.choice("--mode", {"0", "1", "2", "3"}, 0);
    const auto order = c.choice("--order", {"msb", "lsb"}, 0);
    const auto clock = c.wholeRate("--clock", "100", {5, 1000, true, " kHz"});
    const auto bytes = clock ? c.bytes() : std::nullopt;
    if (!mosi || !sck || !mode || !order || !clock || !bytes)
        return kExitUsage;
    SpiEncodeRequest request;
    request.mosi = *mosi;
    request.sck = *sck;
    request.clockText = *clock;
    request.settings = SpiMode(*mode, *order == 0);
    const auto cpol = c.choice("--cpol", {"0", "1"}, request.settings.polarity);
    const auto cpha = c.choice("--cpha", {"0", "1"}, request.settings.phase);
    if (!cpol || !cpha)
        return kExitUsage;
    request.settings.polarity = *cpol;
    request.settings.phase = *cpha;
    request.bytes = *bytes;
    request.marker1 = c.start;
    const SpiEncodeResult result = EncodeSpi(c.target, request);
    if (result.error)
        return c.refuse(*result.error);
    // The last bit is taken half a clock before the byte's end.
    const double byteTime = 7.5e-3 / std::stod(request.clockText);
    if (result.mosiTimes.size() < bytes->size() || result.mosiTimes.back() + byteTime > c.dataEnd() + 1e-12)
        return c.tooLong(bytes->size(), "--clock");
    return 0;
}

int EncodeI2cCommand(const EncodeContext& c)
{
    const auto sda = c.line("--sda", "B.0");
    const auto scl = c.line("--scl", "B.1");
    const auto speed = c.wholeRate("--speed", "100", {10, 400, true, " kbit/s"});
    if (!sda || !scl || !speed)
        return kExitUsage;
    if (!c.options.has("--transactions"))
        return c.usage("give the traffic as --transactions \"w ADDR BYTE …; r ADDR BYTE …\"");
    std::string problem;
    const auto rows = ParseI2cTransactions(c.options.get("--transactions", ""), problem);
    if (!rows)
        return c.usage("--transactions: " + problem);
    I2cEncodeRequest request;
    request.sda = *sda;
    request.scl = *scl;
    request.rateText = *speed;
    request.rows = *rows;
    request.marker1 = c.start;
    const I2cEncodeResult result = EncodeI2c(c.target, request);
    if (result.error)
        return c.refuse(*result.error);
    // Complete when every row was played and the final stop lies inside the data.
    const double bitTime = 1e-3 / std::stod(request.rateText);
    const auto played = static_cast<std::size_t>(result.grid.count);
    const double stop = played > 0 && played <= result.grid.rows.size() ? result.grid.rows[played - 1].times[I2cStop] : 0.0;
    if (played < rows->size() || stop + bitTime / 4 > c.dataEnd() - c.target.samplePeriod + 1e-12)
        return c.tooLong(rows->size(), "--speed");
    return 0;
}

int RunEncode(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                     InterruptWatch* watch)
{
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        out << kEncodeUsage << kExitStatusHelp;
        return kExitComplete;
    }
    if (args.empty()) {
        err << kEncodeUsage;
        return kExitUsage;
    }
    const std::string& protocol = args[0];
    const std::vector<std::string> common = {"--rate", "--start", "--in", "--out"};
    const std::map<std::string, std::vector<std::string>> protocolOptions = {
        {"uart", {"--tx", "--baud", "--bits", "--parity", "--stop", "--data", "--text"}},
        {"spi", {"--mosi", "--sck", "--clock", "--mode", "--cpol", "--cpha", "--order", "--data", "--text"}},
        {"i2c", {"--sda", "--scl", "--speed", "--transactions"}},
    };
    const auto own = protocolOptions.find(protocol);
    if (own == protocolOptions.end()) {
        err << "tesmar-cli encode: unknown protocol '" << TerminalText(protocol) << "'\n" << kEncodeUsage;
        return kExitUsage;
    }
    std::vector<std::string> valued = own->second;
    valued.insert(valued.end(), common.begin(), common.end());
    CliOptions options("encode", kEncodeUsage);
    if (!options.parse(args, 1, valued, {}, err))
        return kExitUsage;
    const MessageTable table;
    EncodeContext context{protocol, options, table, err, {}, 0.0};
    if (!options.has("--out"))
        return context.usage("--out FILE.dat is needed");
    const std::string path = options.get("--out", "");
    std::string problem;
    const auto rate =
        CheckedNumber("--rate", options.get("--rate", "1000000"), {1000, 1e6, false, " Hz"}, problem, NumberUnits::Hertz);
    if (!rate)
        return context.usage(problem);
    // The generator plays at a whole division of the instrument's clock.
    const double played = QuantizeRate(*rate);
    if (std::fabs(played - *rate) > 1e-9 * played)
        err << "tesmar-cli encode: --rate: the generator plays " << TerminalText(options.get("--rate", "")) << " Hz as "
            << played << " Hz\n";
    const auto start = CheckedNumber("--start", options.get("--start", "0"),
                                     {0, (GeneratorData::kSampleCount - 1) / played, false, " s"}, problem, true);
    if (!start)
        return context.usage(problem);
    context.start = *start;

    OutputFile output;
    if (const int status = OpenOutputs("encode", {{&output, path}}, err))
        return status;
    std::optional<InterruptWatch::CleanUp> cleanUp;
    if (watch)
        cleanUp.emplace(*watch, [&output] { output.discard(); });

    GeneratorData generator;
    if (options.has("--in")) {
        const std::string in = options.get("--in", "");
        std::vector<std::string> warnings;
        auto read = ReadGeneratorInput(in, warnings);
        if (const auto* refusal = std::get_if<std::string>(&read)) {
            err << "tesmar-cli encode: --in: " << TerminalText(*refusal) << '\n';
            return 1;
        }
        for (const auto& warning : warnings)
            err << "tesmar-cli encode: --in: " << TerminalText(warning) << '\n';
        generator = std::get<GeneratorData>(read);
    }
    context.target = {&generator, 1.0 / played};
    const int status = protocol == "uart" ? EncodeUartCommand(context)
                       : protocol == "spi" ? EncodeSpiCommand(context)
                                           : EncodeI2cCommand(context);
    if (status != 0)
        return status;
    const auto& bytes = generator.samples();
    return CommitOutput("encode", output, StreamWriter([&](std::ostream& file) {
                            file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
                        }),
                        err);
}

} // namespace

int RunEncodeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    return RunEncode(args, out, err, nullptr);
}

int RunEncodeCommandWatched(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                             InterruptWatch& watch)
{
    return RunEncode(args, out, err, &watch);
}

} // namespace tesmar
