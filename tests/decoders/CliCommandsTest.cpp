#include "cli/ConvertCommand.h"
#include "cli/DecodeCommand.h"
#include "cli/FileInfoCommand.h"
#include "decoders/I2cEncoder.h"
#include "decoders/SpiEncoder.h"
#include "decoders/UartEncoder.h"
#include "formats/DataFileLoad.h"

#include "CliTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tesmar {
namespace {

namespace fs = std::filesystem;

class CliCommands : public ::testing::Test {
protected:
    using Run = testing::CommandRun;
    std::string path(const std::string& name) const { return scratch_.path(name); }
    template <class Command> static Run run(Command command, const std::vector<std::string>& args)
    {
        return testing::RunCommand(command, args);
    }

    // Bus B traffic from the encoders copied into a capture with a pre-trigger part:
    // UART on B.0, SPI on B.1 (SCK) and B.2 (MOSI), I2C on B.3 (SCL) and B.4 (SDA).
    std::string writeTrafficCapture()
    {
        CaptureSamples capture;
        capture.samplePeriod = 1e-6;
        capture.firstSampleTime = -32e-6;
        GeneratorData uart, spi, i2c;
        UartEncodeRequest u;
        u.txd = 8;
        u.baudText = "57600";
        u.bytes = {0x48, 0x69, 0x21};
        EXPECT_FALSE(EncodeUart({&uart, 1e-6}, u).error);
        SpiEncodeRequest s;
        s.sck = 9;
        s.mosi = 10;
        s.clockText = "100";
        s.bytes = {0xA5, 0x3C};
        EXPECT_FALSE(EncodeSpi({&spi, 1e-6}, s).error);
        I2cEncodeRequest i;
        i.scl = 11;
        i.sda = 12;
        i.rateText = "100";
        i.rows = {{"1010000", "W", "00010010"}, {"", "", "00110100"}};
        EXPECT_FALSE(EncodeI2c({&i2c, 1e-6}, i).error);
        for (int k = 0; k < GeneratorData::kSampleCount; ++k) {
            capture.busA.push_back(0);
            capture.busB.push_back(static_cast<std::uint8_t>((uart.sample(k) & 0x01) | (spi.sample(k) & 0x06) |
                                                             (i2c.sample(k) & 0x18)));
        }
        const std::string dat = path("traffic.dat");
        EXPECT_EQ(SaveCaptureFile(dat, capture), "");
        return dat;
    }

    testing::ScratchFolder scratch_{"tesmar_cli_"};
};

TEST_F(CliCommands, DecodeGivesTheSameRowsFromTheDatAndFromItsVcdAndCsv)
{
    const std::string dat = writeTrafficCapture();
    ASSERT_EQ(run(RunConvertCommand, {dat, path("traffic.vcd")}).status, 0);
    ASSERT_EQ(run(RunConvertCommand, {dat, path("traffic.csv")}).status, 0);
    ASSERT_EQ(run(RunConvertCommand, {path("traffic.vcd"), path("again.dat")}).status, 0);

    const std::vector<std::vector<std::string>> decodes = {
        {"uart", "--rx", "B.0", "--tx", "B.0", "--baud", "57600"},
        {"spi", "--sck", "9", "--mosi", "B.2", "--miso", "B.2", "--mode", "0"},
        {"i2c", "--scl", "B.3", "--sda", "B.4"},
        {"uart", "--rx", "B.0", "--tx", "B.0", "--baud", "57600", "--csv", "--marker1", "10us"},
    };
    for (const auto& words : decodes) {
        SCOPED_TRACE(words[0]);
        std::vector<std::string> args = words;
        args.insert(args.begin() + 1, dat);
        const Run fromDat = run(RunDecodeCommand, args);
        ASSERT_EQ(fromDat.status, 0) << fromDat.err;
        EXPECT_EQ(fromDat.err, "");
        for (const char* other : {"traffic.vcd", "traffic.csv", "again.dat"}) {
            args[1] = path(other);
            const Run fromOther = run(RunDecodeCommand, args);
            EXPECT_EQ(fromOther.status, 0) << other;
            EXPECT_EQ(fromOther.out, fromDat.out) << other;
        }
    }
    const Run uart = run(RunDecodeCommand, {"uart", dat, "--rx", "B.0", "--tx", "A.7", "--baud", "57600"});
    EXPECT_EQ(uart.out.substr(0, uart.out.find('\n')), "№  BIN (RxD)  HEX  BIN (TxD)  HEX  t RxD, s  t TxD, s");
    // The first frame starts at sample 0, 32 µs before the trigger.
    EXPECT_NE(uart.out.find("1  01001000   48                   -3.2e-05\n"), std::string::npos) << uart.out;
    const Run uartCsv = run(RunDecodeCommand, {"uart", dat, "--rx", "B.0", "--tx", "B.0", "--baud", "57600", "--csv"});
    EXPECT_NE(uartCsv.out.find("3,00100001,21,00100001,21,0.000316,0.000316\n"), std::string::npos) << uartCsv.out;
    const Run spi = run(RunDecodeCommand, {"spi", dat, "--sck", "B.1", "--mosi", "B.2", "--miso", "B.2", "--csv"});
    EXPECT_NE(spi.out.find("1,10100101,A5,10100101,A5"), std::string::npos) << spi.out;
    const Run i2c = run(RunDecodeCommand, {"i2c", dat, "--scl", "B.3", "--sda", "B.4", "--csv"});
    EXPECT_NE(i2c.out.find("\n1,Start,1010000,W,NACK,00010010,NACK,,"), std::string::npos) << i2c.out;
    EXPECT_NE(i2c.out.find("\n2,,,,,00110100,NACK,Stop,,,,,"), std::string::npos) << i2c.out;
}

// A data line that is not given is not decoded: its two columns stay empty, while the line given
// shows the bytes sent on it.
TEST_F(CliCommands, DataLinesNotGivenLeaveTheirColumnsEmpty)
{
    const std::string dat = writeTrafficCapture();
    // The same traffic on bus A, so that the UART line is A.0, the first line of the capture.
    auto loaded = LoadCaptureFile(dat);
    ASSERT_TRUE(std::holds_alternative<CaptureImport>(loaded));
    CaptureSamples onA = std::get<CaptureImport>(loaded).capture;
    onA.busA = onA.busB;
    onA.busB.clear();
    const std::string busA = path("bus-a.dat");
    ASSERT_EQ(SaveCaptureFile(busA, onA), "");
    struct Case {
        std::vector<std::string> args;
        int filledHex; // the HEX column that holds the bytes
        int emptyHex;  // the HEX column of the line not given
        std::vector<std::string> bytes;
    };
    const Case cases[] = {
        {{"uart", dat, "--rx", "B.0", "--baud", "57600", "--csv"}, 2, 4, {"48", "69", "21"}},
        {{"uart", busA, "--rx", "A.0", "--baud", "57600", "--csv"}, 2, 4, {"48", "69", "21"}},
        {{"uart", busA, "--tx", "A.0", "--baud", "57600", "--csv"}, 4, 2, {"48", "69", "21"}},
        {{"spi", busA, "--sck", "A.1", "--mosi", "A.2", "--csv"}, 4, 2, {"A5", "3C"}},
        {{"uart", dat, "--tx", "B.0", "--baud", "57600", "--csv"}, 4, 2, {"48", "69", "21"}},
        {{"spi", dat, "--sck", "B.1", "--mosi", "B.2", "--csv"}, 4, 2, {"A5", "3C"}},
        {{"spi", dat, "--sck", "B.1", "--miso", "B.2", "--csv"}, 2, 4, {"A5", "3C"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[2]);
        const Run decoded = run(RunDecodeCommand, c.args);
        ASSERT_EQ(decoded.status, 0) << decoded.err;
        std::istringstream lines(decoded.out);
        std::string line;
        std::getline(lines, line); // header
        std::vector<std::string> filled;
        while (std::getline(lines, line)) {
            std::vector<std::string> cells;
            std::istringstream row(line);
            for (std::string cell; std::getline(row, cell, ',');)
                cells.push_back(cell);
            cells.resize(7);
            filled.push_back(cells[static_cast<std::size_t>(c.filledHex)]);
            EXPECT_EQ(cells[static_cast<std::size_t>(c.emptyHex)], "") << line;
            EXPECT_EQ(cells[static_cast<std::size_t>(c.emptyHex - 1)], "") << line;
        }
        EXPECT_EQ(filled, c.bytes);
    }
    // SPI with no data line has nothing to decode.
    EXPECT_EQ(run(RunDecodeCommand, {"spi", dat, "--sck", "B.1"}).status, 64);
    // The help says what the lines default to.
    const Run help = run(RunDecodeCommand, {"--help"});
    EXPECT_NE(help.out.find("only the lines given are decoded"), std::string::npos);
}

// A capture of four lines named D0 … D3 keeps four lines under those names in every format that
// holds names; sigrok-cli, when present, reads them back as an independent judge.
TEST_F(CliCommands, ConvertKeepsTheNumberAndNamesOfTheLines)
{
    const std::string csv = path("four.csv");
    const std::string rows = "time,D0,D1,D2,D3\n"
                             "0,0,1,0,1\n"
                             "0.000001,1,1,0,0\n"
                             "0.000002,0,0,1,1\n"
                             "0.000003,1,0,1,0\n";
    ASSERT_TRUE(WriteWholeFile(csv, rows.data(), rows.size()));
    // Each line's levels, sample by sample, as written above.
    const std::vector<std::string> levels = {"0101", "1100", "0011", "1010"};
    auto text = [](const std::string& file) {
        std::ifstream in(file);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    for (const char* name : {"out.sr", "out.vcd", "out.csv"}) {
        SCOPED_TRACE(name);
        const Run converted = run(RunConvertCommand, {csv, path(name)});
        ASSERT_EQ(converted.status, 0) << converted.err;
        EXPECT_EQ(converted.err, "");
        // Read back by our own reader: the four lines and nothing else.
        const Run listed = run(RunDecodeCommand, {"--list-lines", path(name)});
        ASSERT_EQ(listed.status, 0) << listed.err;
        EXPECT_EQ(std::count(listed.out.begin(), listed.out.end(), '\n'), 5) << listed.out;
        for (const char* line : {"D0", "D1", "D2", "D3"})
            EXPECT_NE(listed.out.find(line), std::string::npos) << listed.out;
    }
    EXPECT_EQ(text(path("out.csv")).substr(0, 17), "time,D0,D1,D2,D3\n");
    const std::string vcd = text(path("out.vcd"));
    std::size_t wires = 0;
    for (auto at = vcd.find("$var wire"); at != std::string::npos; at = vcd.find("$var wire", at + 1))
        ++wires;
    EXPECT_EQ(wires, 4u) << vcd;
    for (const char* line : {" D0 $end", " D1 $end", " D2 $end", " D3 $end"})
        EXPECT_NE(vcd.find(line), std::string::npos) << vcd;
    EXPECT_EQ(vcd.find("A.4"), std::string::npos) << vcd;

    if (std::system("command -v sigrok-cli > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "sigrok-cli is not installed";
    const std::string shown = path("shown.txt");
    const std::string bits = path("bits.txt");
    const std::vector<std::pair<std::string, std::string>> inputs = {
        {path("out.sr"), ""},
        {path("out.vcd"), ""},
        {path("out.csv"), " -I csv:header=yes:column_formats=t,4l:samplerate=1000000"},
    };
    for (const auto& [file, format] : inputs) {
        SCOPED_TRACE(file);
        ASSERT_EQ(std::system(("sigrok-cli -i " + file + format + " --show > " + shown + " 2>&1").c_str()), 0)
            << text(shown);
        const std::string show = text(shown);
        EXPECT_NE(show.find("Channels: 4\n- D0: logic\n- D1: logic\n- D2: logic\n- D3: logic\n"), std::string::npos)
            << show;
        if (file.ends_with(".vcd"))
            continue; // sigrok resamples a VCD on its own grid
        ASSERT_EQ(std::system(("sigrok-cli -i " + file + format + " -O bits > " + bits + " 2>&1").c_str()), 0);
        const std::string out = text(bits);
        for (std::size_t line = 0; line < levels.size(); ++line)
            EXPECT_NE(out.find("D" + std::to_string(line) + ":" + levels[line]), std::string::npos) << out;
    }
}

// A sigrok session carries no trigger time: its samples start at 0 s. The decoded bytes are the
// .dat's, and the .vcd made from the session decodes exactly as the session does.
TEST_F(CliCommands, SigrokSessionConvertsAndDecodesLikeTheOtherFormats)
{
    const std::string dat = writeTrafficCapture();
    const std::string sr = path("traffic.sr");
    const std::string vcd = path("from-sr.vcd");
    ASSERT_EQ(run(RunConvertCommand, {dat, sr}).status, 0);
    ASSERT_EQ(run(RunConvertCommand, {sr, vcd}).status, 0);

    // The CSV rows without their two time columns.
    auto bytesOnly = [](const std::string& csv) {
        std::istringstream lines(csv);
        std::string line, out;
        while (std::getline(lines, line)) {
            for (int cut = 0; cut < 2; ++cut)
                line = line.substr(0, line.rfind(','));
            out += line + '\n';
        }
        return out;
    };
    const std::vector<std::vector<std::string>> decodes = {
        {"uart", "--rx", "B.0", "--tx", "B.0", "--baud", "57600", "--csv"},
        {"spi", "--sck", "B.1", "--mosi", "B.2", "--miso", "B.2", "--csv"},
    };
    for (const auto& words : decodes) {
        SCOPED_TRACE(words[0]);
        auto args = words;
        args.insert(args.begin() + 1, dat);
        const Run fromDat = run(RunDecodeCommand, args);
        args[1] = sr;
        const Run fromSr = run(RunDecodeCommand, args);
        args[1] = vcd;
        const Run fromVcd = run(RunDecodeCommand, args);
        ASSERT_EQ(fromSr.status, 0) << fromSr.err;
        ASSERT_EQ(fromVcd.status, 0) << fromVcd.err;
        EXPECT_EQ(fromVcd.out, fromSr.out);
        EXPECT_EQ(bytesOnly(fromSr.out), bytesOnly(fromDat.out));
        EXPECT_GT(std::count(fromSr.out.begin(), fromSr.out.end(), '\n'), 2);
    }
    const Run uart = run(RunDecodeCommand, {"uart", sr, "--rx", "B.0", "--tx", "B.0", "--baud", "57600", "--csv"});
    EXPECT_NE(uart.out.find("3,00100001,21,00100001,21,0.000348,0.000348\n"), std::string::npos) << uart.out;

    // Damage: not a zip, a zip cut short, a missing file; each refused with the file's name.
    const std::string notZip = path("text.sr");
    WriteWholeFile(notZip, "version=2\n", 10);
    auto zipBytes = *ReadWholeFile(sr);
    zipBytes.resize(zipBytes.size() / 2);
    const std::string cut = path("cut.sr");
    WriteWholeFile(cut, zipBytes.data(), zipBytes.size());
    for (const std::string& bad : {notZip, cut, path("missing.sr")}) {
        SCOPED_TRACE(bad);
        const Run converted = run(RunConvertCommand, {bad, path("out.vcd")});
        EXPECT_EQ(converted.status, 1);
        EXPECT_EQ(converted.err.rfind("tesmar-cli convert: ", 0), 0u) << converted.err;
        EXPECT_NE(converted.err.find(bad), std::string::npos) << converted.err;
        EXPECT_FALSE(fs::exists(path("out.vcd")));
        const Run decoded = run(RunDecodeCommand, {"uart", bad, "--rx", "B.0"});
        EXPECT_EQ(decoded.status, 1);
        EXPECT_EQ(decoded.out, "");
    }
    EXPECT_NE(run(RunConvertCommand, {notZip, path("out.vcd")}).err.find("not a sigrok session (.sr)"), std::string::npos);
    EXPECT_NE(run(RunConvertCommand, {path("missing.sr"), path("out.vcd")}).err.find("no such file"), std::string::npos);
}

TEST_F(CliCommands, BaudEstimateAndRefusals)
{
    const std::string dat = writeTrafficCapture();
    const Run estimate = run(RunDecodeCommand, {"uart", dat, "--rx", "B.0", "--estimate-baud"});
    EXPECT_EQ(estimate.status, 0);
    EXPECT_EQ(estimate.out, "57600\n");

    const Run badBaud = run(RunDecodeCommand, {"uart", dat, "--baud", "9k6"});
    EXPECT_EQ(badBaud.status, 64);
    EXPECT_EQ(badBaud.err, "tesmar-cli decode: --baud: '9k6' is not a whole number from 1 to 1000000000 baud\n");

    const Run noStart = run(RunDecodeCommand, {"i2c", dat, "--scl", "A.0", "--sda", "A.1"});
    EXPECT_EQ(noStart.status, 1);
    EXPECT_NE(noStart.err.find("не найден сигнал старта"), std::string::npos);

    EXPECT_EQ(run(RunDecodeCommand, {"uart", dat, "--rx", "C.9"}).status, 64);
    EXPECT_EQ(run(RunDecodeCommand, {"can", dat}).status, 64);
    EXPECT_EQ(run(RunDecodeCommand, {"spi", dat, "--bogus", "1"}).status, 64);
    EXPECT_EQ(run(RunDecodeCommand, {"i2c", path("missing.vcd")}).status, 1);
    EXPECT_EQ(run(RunDecodeCommand, {"1wire", dat, "--marker1", "later"}).status, 64);
}

TEST_F(CliCommands, InfoListsChunksAndSettingsAndRefusesDamage)
{
    const std::string dat = writeTrafficCapture();
    const Run info = run(RunFileInfoCommand, {"--raw", dat});
    EXPECT_EQ(info.status, 0);
    EXPECT_NE(info.out.find("@0  0xB0  logic analyser settings  length 1076"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("@1076  0x01  remark  length 9  n 0"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("0xB2  bus B capture  length 1553  n 1544"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("sample rate, Hz: 1000000"), std::string::npos);
    EXPECT_NE(info.out.find("sbLANModeBusA: 1"), std::string::npos);
    EXPECT_NE(info.out.find("first sample time (axis units): -32"), std::string::npos);

    auto bytes = *ReadWholeFile(dat);
    bytes.resize(bytes.size() - 100);
    const std::string cut = path("cut.dat");
    WriteWholeFile(cut, bytes.data(), bytes.size());
    const Run damaged = run(RunFileInfoCommand, {cut});
    EXPECT_EQ(damaged.status, 1);
    EXPECT_NE(damaged.err.find("tesmar-cli info: cannot read " + cut + ": damaged data file: a chunk runs past the end of the file (at byte "),
              std::string::npos) << damaged.err;
    EXPECT_EQ(damaged.out, "");
}

// UART at 9600 baud sampled at 250 kHz in sigrok-cli's CSV: with its rate comment, with a time
// column in microseconds, and bare (header=false, the rate only on the command line).
TEST_F(CliCommands, SigrokCsvDecodesAtItsStatedRateOrTheOneGiven)
{
    std::vector<int> levels(40, 1);
    for (std::uint8_t value : {0x48, 0x69}) {
        for (std::uint8_t bit : UartFrameBits(value, {9600, 8, UartParity::None, 1}))
            for (int k = 0; k < 26; ++k) // 250 kHz / 9600 baud
                levels.push_back(bit);
    }
    levels.insert(levels.end(), 40, 1);
    std::string rows, timed;
    for (std::size_t i = 0; i < levels.size(); ++i) {
        rows += std::to_string(levels[i]) + ",0\n";
        timed += std::to_string(4 * (i + 1)) + "," + std::to_string(levels[i]) + ",0\n";
    }
    const std::string comments = "; CSV generated by libsigrok 0.5.2\n; Channels (2/8): RX, D1\n; Samplerate: 250 kHz\n";
    auto write = [&](const std::string& name, const std::string& text) {
        ASSERT_TRUE(WriteWholeFile(path(name), text.data(), text.size()));
    };
    write("stated.csv", comments + "logic,logic\n" + rows);
    write("timed.csv", comments + "microseconds,logic,logic\n" + timed);
    write("bare.csv", "logic,logic\n" + rows);

    const std::vector<std::string> uart = {"--rx", "A.0", "--tx", "A.0", "--baud", "9600", "--csv"};
    auto decode = [&](const std::string& file, std::vector<std::string> extra) {
        std::vector<std::string> args = {"uart", path(file)};
        args.insert(args.end(), uart.begin(), uart.end());
        args.insert(args.end(), extra.begin(), extra.end());
        return run(RunDecodeCommand, args);
    };
    const Run stated = decode("stated.csv", {});
    ASSERT_EQ(stated.status, 0) << stated.err;
    EXPECT_EQ(stated.err, "");
    EXPECT_NE(stated.out.find("1,01001000,48,01001000,48,"), std::string::npos) << stated.out;
    EXPECT_NE(stated.out.find("2,01101001,69,01101001,69,"), std::string::npos) << stated.out;
    EXPECT_NE(run(RunDecodeCommand, {"uart", path("stated.csv"), "--rx", "RX", "--baud", "9600"}).out.find("48"),
              std::string::npos);
    const Run timed1 = decode("timed.csv", {});
    ASSERT_EQ(timed1.status, 0) << timed1.err;
    // The same bytes, the times 4 µs later: the first row is at one period.
    EXPECT_NE(timed1.out.find("1,01001000,48,01001000,48,"), std::string::npos) << timed1.out;

    const Run bare = decode("bare.csv", {});
    EXPECT_EQ(bare.status, 1);
    EXPECT_EQ(bare.out, "");
    EXPECT_NE(bare.err.find("states no sample rate"), std::string::npos) << bare.err;
    const Run given = decode("bare.csv", {"--rate", "250000"});
    ASSERT_EQ(given.status, 0) << given.err;
    EXPECT_EQ(given.out, stated.out);
    // The lines of such a file are listed with the rate given, as they are decoded.
    EXPECT_EQ(run(RunDecodeCommand, {"--list-lines", path("bare.csv")}).status, 1);
    const Run listed = run(RunDecodeCommand, {"--list-lines", path("bare.csv"), "--rate", "250k"});
    ASSERT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.out, "line  name  edges\nA.0   A.0   14\nA.1   A.1   0\n");
    EXPECT_EQ(run(RunDecodeCommand, {"--list-lines", path("bare.csv"), "--rate", "0"}).status, 64);
    EXPECT_EQ(run(RunDecodeCommand, {"--list-lines", path("bare.csv"), "--baud", "9600"}).status, 64);

    EXPECT_EQ(run(RunConvertCommand, {path("bare.csv"), path("bare.vcd")}).status, 1);
    EXPECT_FALSE(fs::exists(path("bare.vcd")));
    ASSERT_EQ(run(RunConvertCommand, {path("bare.csv"), path("bare.vcd"), "--rate", "250000"}).status, 0);
    EXPECT_EQ(decode("bare.vcd", {}).out, stated.out);
    EXPECT_EQ(run(RunConvertCommand, {path("bare.vcd"), path("again.csv"), "--rate", "250000"}).status, 64);
    const Run ignored = decode("stated.csv", {"--rate", "1000000"});
    EXPECT_EQ(ignored.out, stated.out);
    EXPECT_NE(ignored.err.find("the rate given is not used"), std::string::npos) << ignored.err;
}

TEST_F(CliCommands, ConvertRefusesWhatItCannotWrite)
{
    const std::string dat = writeTrafficCapture();
    EXPECT_EQ(run(RunConvertCommand, {dat, path("x.txt")}).status, 64);
    EXPECT_EQ(run(RunConvertCommand, {path("none.vcd"), path("x.csv")}).status, 1);
    WriteWholeFile(path("empty.dat"), "", 0);
    const Run empty = run(RunConvertCommand, {path("empty.dat"), path("x.vcd")});
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.err.find("cannot read " + path("empty.dat") + ": not a measurement data file"), std::string::npos) << empty.err;
}

} // namespace
} // namespace tesmar
