// tesmar-cli decode on files from other tools (lines by their names, the whole capture, --limit,
// SPI framed by chip select) and tesmar-cli encode, checked by decoding what it wrote.

#include "cli/CliMain.h"
#include "decoders/UartEncoder.h"
#include "formats/DataFileLoad.h"
#include "logic/GeneratorEditing.h"

#include "CliTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace tesmar {
namespace {

namespace fs = std::filesystem;

using CliRun = testing::CommandRun;

CliRun Cli(const std::vector<std::string>& words)
{
    return testing::RunCommand(RunCli, words);
}

// The rows of CSV output (header left out), split into cells.
std::vector<std::vector<std::string>> CsvRows(const std::string& text)
{
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(text);
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        std::vector<std::string> cells;
        std::istringstream cellsIn(line);
        for (std::string cell; std::getline(cellsIn, cell, ',');)
            cells.push_back(cell);
        rows.push_back(cells);
    }
    return rows;
}

// The hex column `column` of every row, as one string ("48 69 21").
std::string HexColumn(const std::string& csv, std::size_t column)
{
    std::string text;
    for (const auto& row : CsvRows(csv))
        if (row.size() > column && !row[column].empty())
            text += (text.empty() ? "" : " ") + row[column];
    return text;
}

class CliLinesEncode : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return scratch_.path(name); }

    std::string write(const std::string& name, const std::string& text) const
    {
        std::ofstream(path(name), std::ios::binary) << text;
        return path(name);
    }

    testing::ScratchFolder scratch_{"tesmar_cli_lines_"};
};

// UART frames at 115 200 baud on bit `line` of a 1 MHz capture, one idle bit between frames.
void AddUart(std::vector<std::uint8_t>& bus, int line, const std::vector<std::uint8_t>& bytes)
{
    UartSettings settings;
    settings.baud = 115200;
    const double samplesPerBit = 1e6 / settings.baud;
    double at = static_cast<double>(bus.size());
    std::vector<int> levels;
    for (std::uint8_t value : bytes) {
        std::vector<std::uint8_t> bits = UartFrameBits(value, settings);
        bits.push_back(1); // idle
        for (std::uint8_t bit : bits) {
            const auto end = static_cast<std::size_t>(at + samplesPerBit);
            while (bus.size() < end)
                bus.push_back(static_cast<std::uint8_t>(bit << line));
            at += samplesPerBit;
        }
    }
}

TEST_F(CliLinesEncode, LinesAreFoundByTheNamesOfAnotherToolsVcd)
{
    // Two wires in another tool's scope: RX on A.0 and a clock named "SCL" on A.1.
    const std::string vcd = write("named.vcd", "$timescale 1 us $end\n$scope module top $end\n"
                                               "$var wire 1 ! RX $end\n$var wire 1 \" SCL $end\n$var wire 1 # "
                                               "data $end\n$var wire 1 $ DATA $end\n$upscope $end\n$enddefinitions $end\n"
                                               "#0 1! 0\" 0# 0$\n#100 0!\n#109 1!\n#118 0!\n#127 1!\n#200 1\"\n#201 0\"\n#300\n");
    const CliRun list = Cli({"decode", "--list-lines", vcd});
    ASSERT_EQ(list.status, 0) << list.err;
    EXPECT_NE(list.out.find("A.0   RX"), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("A.1   SCL"), std::string::npos) << list.out;
    EXPECT_EQ(list.out.find("A.4"), std::string::npos) << list.out; // lines the file does not name

    // One frame of 9 µs bits on RX.
    for (const std::string name : {"RX", "rx", "A.0", "0"}) {
        const CliRun byName = Cli({"decode", "uart", vcd, "--rx", name, "--tx", "SCL", "--baud", "111111", "--csv"});
        EXPECT_EQ(byName.status, 0) << name << ": " << byName.err;
        EXPECT_EQ(HexColumn(byName.out, 2), "FD") << name;
    }
    const CliRun rate = Cli({"decode", "uart", vcd, "--rate", "1000"});
    EXPECT_EQ(rate.status, 64);
    EXPECT_NE(rate.err.find("--rate is for generator data files"), std::string::npos) << rate.err;
    // "data" and "DATA" are two lines; the exact name tells them apart, another case cannot.
    EXPECT_EQ(Cli({"decode", "uart", vcd, "--rx", "DATA", "--baud", "9600"}).err.find("names more than one"),
              std::string::npos);
    const CliRun ambiguous = Cli({"decode", "uart", vcd, "--rx", "Data", "--baud", "9600"});
    EXPECT_EQ(ambiguous.status, 64);
    EXPECT_NE(ambiguous.err.find("--rx: 'Data' names more than one line (A.2, A.3)"), std::string::npos)
        << ambiguous.err;
    const CliRun unknown = Cli({"decode", "i2c", vcd, "--scl", "SCL", "--sda", "SDA"});
    EXPECT_EQ(unknown.status, 64);
    EXPECT_NE(unknown.err.find("--sda: no line 'SDA'"), std::string::npos) << unknown.err;
    EXPECT_NE(unknown.err.find("--list-lines"), std::string::npos);
    const CliRun noBusB = Cli({"decode", "uart", vcd, "--rx", "B.1"});
    EXPECT_EQ(noBusB.status, 1);
    EXPECT_NE(noBusB.err.find("--rx: the capture has no line B.1"), std::string::npos) << noBusB.err;
    EXPECT_EQ(Cli({"decode", "--list-lines"}).status, 64);
}

TEST_F(CliLinesEncode, TheWholeCaptureIsDecodedUnlessLimited)
{
    // More bytes than the window's grid holds: 21 000 frames on A.3, 2 M samples.
    std::vector<std::uint8_t> bytes(21000);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7);
    CaptureSamples capture;
    capture.samplePeriod = 1e-6;
    capture.busA.assign(50, 0x08);
    AddUart(capture.busA, 3, bytes);
    capture.busA.insert(capture.busA.end(), 50, 0x08);
    const std::string sr = path("long.sr");
    ASSERT_EQ(SaveCaptureFile(sr, capture), "");

    const CliRun all = Cli({"decode", "uart", sr, "--rx", "A.3", "--tx", "A.3", "--baud", "115200", "--csv"});
    ASSERT_EQ(all.status, 0) << all.err;
    const auto rows = CsvRows(all.out);
    ASSERT_EQ(rows.size(), bytes.size());
    EXPECT_EQ(rows.back()[0], "21000");
    EXPECT_EQ(rows.back()[2], "31"); // 20 999 × 7 mod 256

    const CliRun limited = Cli({"decode", "uart", sr, "--rx", "A.3", "--baud", "115200", "--csv", "--limit", "100"});
    ASSERT_EQ(limited.status, 0) << limited.err;
    EXPECT_EQ(CsvRows(limited.out).size(), 100u);
    for (const std::string bad : {"0", "2.5", "-3", "many"}) {
        const CliRun refused = Cli({"decode", "uart", sr, "--limit", bad});
        EXPECT_EQ(refused.status, 64) << bad;
        EXPECT_NE(refused.err.find("--limit: '" + bad + "'"), std::string::npos) << refused.err;
    }
    const CliRun twice = Cli({"decode", "uart", sr, "--limit", "5", "--limit", "6"});
    EXPECT_EQ(twice.status, 64);
    EXPECT_NE(twice.err.find("--limit is given twice"), std::string::npos);
}

TEST_F(CliLinesEncode, EncodedGeneratorDataDecodesBack)
{
    const std::string gen = path("gen.dat");
    const CliRun uart = Cli({"encode", "uart", "--tx", "B.2", "--baud", "57600", "--text", "Hi!", "--out", gen});
    ASSERT_EQ(uart.status, 0) << uart.err;
    EXPECT_EQ(fs::file_size(gen), 1544u);
    // Another protocol on other lines of the same data.
    const std::string both = path("both.dat");
    const CliRun spi = Cli({"encode", "spi", "--in", gen, "--mosi", "B.0", "--sck", "B.1", "--mode", "1", "--data",
                            "A5 0x3c", "--clock", "50", "--start", "100us", "--out", both});
    ASSERT_EQ(spi.status, 0) << spi.err;

    const CliRun u = Cli({"decode", "uart", both, "--rx", "B.2", "--tx", "B.2", "--baud", "57600", "--rate", "1e6", "--csv"});
    ASSERT_EQ(u.status, 0) << u.err;
    EXPECT_EQ(HexColumn(u.out, 2), "48 69 21");
    const CliRun s = Cli({"decode", "spi", both, "--sck", "B.1", "--mosi", "B.0", "--miso", "B.0", "--mode", "1", "--csv"});
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(HexColumn(s.out, 4), "A5 3C");
    const CliRun list = Cli({"decode", "--list-lines", both});
    EXPECT_NE(list.out.find("B.7"), std::string::npos) << list.out;
    EXPECT_EQ(list.out.find("A.0"), std::string::npos) << list.out; // generator data is bus B alone

    const std::string i2c = path("i2c.dat");
    const CliRun e = Cli({"encode", "i2c", "--sda", "B.3", "--scl", "B.4", "--speed", "100", "--transactions",
                          "w 0x50 12 34; r 80 56", "--out", i2c});
    ASSERT_EQ(e.status, 0) << e.err;
    const CliRun d = Cli({"decode", "i2c", i2c, "--scl", "B.4", "--sda", "B.3", "--csv"});
    ASSERT_EQ(d.status, 0) << d.err;
    const auto rows = CsvRows(d.out);
    ASSERT_EQ(rows.size(), 3u) << d.out;
    EXPECT_EQ(rows[0][2], "1010000");
    EXPECT_EQ(rows[0][3], "W");
    EXPECT_EQ(rows[0][5], "00010010");
    EXPECT_EQ(rows[1][5], "00110100");
    EXPECT_EQ(rows[2][3], "R");
    EXPECT_EQ(rows[2][5], "01010110");
}

TEST_F(CliLinesEncode, EncodeChecksEveryOptionAndWritesNothingHalfDone)
{
    const std::string out = path("g.dat");
    struct Case {
        std::vector<std::string> words;
        int status;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"uart", "--text", "x"}, 64, "--out FILE.dat is needed"},
        {{"uart", "--out", out}, 64, "--data HEX or as --text"},
        {{"uart", "--data", "48 GG", "--out", out}, 64, "--data: 'GG' is not a hex byte"},
        {{"uart", "--data", "48", "--rate", "5", "--out", out}, 64, "--rate: '5'"},
        {{"uart", "--data", "48", "--start", "2s", "--out", out}, 64, "--start: '2s'"},
        {{"uart", "--data", "48", "--tx", "Q.9", "--out", out}, 64, "--tx: no line 'Q.9'"},
        {{"uart", "--data", "48", "--bits", "9", "--out", out}, 64, "--bits: '9' is not one of"},
        {{"uart", "--data", "48", "--parity", "odd", "--stop", "2", "--out", out}, 64, "exclude each other"},
        // Rates are options: out of range, not whole or not numbers, a bad command line.
        {{"uart", "--data", "48", "--baud", "115201", "--out", out}, 64, "--baud: '115201' is not a whole number from 300 to 115200 baud"},
        {{"uart", "--data", "48", "--baud", "96OO", "--out", out}, 64, "--baud: '96OO' is not a whole number"},
        {{"i2c", "--transactions", "w 0x50 12", "--speed", "1000", "--out", out}, 64, "--speed: '1000' is not a whole number from 10 to 400 kbit/s"},
        // The encoders' own checks, with the windows' messages.
        {{"uart", "--data", "48", "--tx", "A.0", "--out", out}, 1, "--tx: "},
        {{"spi", "--data", "48", "--mosi", "B.1", "--sck", "B.1", "--out", out}, 1, "--mosi, --sck: "},
        {{"i2c", "--transactions", "w 0x80 12", "--out", out}, 64, "'0x80' is not a 7-bit address"},
        {{"i2c", "--transactions", "x 0x50 12", "--out", out}, 64, "is not w (write) or r (read)"},
        // 2 bytes at 9600 baud need 2.1 ms; the data lasts 1.5 ms.
        {{"uart", "--text", "UU", "--out", out}, 1, "do not all fit"},
        {{"spi", "--text", "UU", "--clock", "5", "--out", out}, 1, "do not all fit"},
        {{"jtag", "--out", out}, 64, "unknown protocol 'jtag'"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> words = {"encode"};
        words.insert(words.end(), c.words.begin(), c.words.end());
        const CliRun run = Cli(words);
        EXPECT_EQ(run.status, c.status) << c.words[0] << ' ' << c.words[1] << ": " << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_FALSE(fs::exists(out)) << c.words[1];
    }
    const CliRun folder = Cli({"encode", "uart", "--text", "x", "--out", scratch_.folder().string()});
    EXPECT_EQ(folder.status, 74);
    EXPECT_NE(folder.err.find("cannot write"), std::string::npos);
}

// SPI mode 0 on A.0 (SCK) and A.1 (MOSI) with the chip select on A.2; each selection holds whole
// bytes, idle gaps between them.
std::vector<std::uint8_t> SpiWithSelect(const std::vector<std::vector<std::uint8_t>>& selections, bool activeLow)
{
    const std::uint8_t idle = activeLow ? 0x04 : 0x00, active = activeLow ? 0x00 : 0x04;
    std::vector<std::uint8_t> bus(20, idle);
    for (const auto& bytes : selections) {
        bus.insert(bus.end(), 3, active);
        for (std::uint8_t value : bytes)
            for (int bit = 7; bit >= 0; --bit) {
                const std::uint8_t data = static_cast<std::uint8_t>(((value >> bit) & 1) << 1);
                bus.insert(bus.end(), 4, active | data);        // SCK low, data set up
                bus.insert(bus.end(), 4, active | data | 0x01); // SCK high: sampled on the rise
            }
        bus.insert(bus.end(), 3, active);
        bus.insert(bus.end(), 20, idle);
    }
    return bus;
}

TEST_F(CliLinesEncode, ChipSelectFramesSpiInACaptureThatStartsMidByte)
{
    for (const bool activeLow : {true, false}) {
        std::vector<std::uint8_t> bus = SpiWithSelect({{0x5A, 0xC3}, {0x81}, {0x7E, 0x18}}, activeLow);
        // The capture starts three bits into the first byte.
        bus.erase(bus.begin(), bus.begin() + 20 + 3 + 3 * 8 + 2);
        CaptureSamples capture;
        capture.samplePeriod = 1e-6;
        capture.busA = bus;
        const std::string vcd = path(activeLow ? "low.vcd" : "high.vcd");
        ASSERT_EQ(SaveCaptureFile(vcd, capture), "");
        const std::vector<std::string> spi = {"decode", "spi", vcd, "--sck", "A.0", "--mosi", "A.1", "--miso", "A.1",
                                              "--csv"};
        // Without the select every byte after the cut is shifted.
        const CliRun plain = Cli(spi);
        ASSERT_EQ(plain.status, 0) << plain.err;
        EXPECT_NE(HexColumn(plain.out, 4).substr(3), "C3 81 7E 18");
        std::vector<std::string> framed = spi;
        framed.insert(framed.end(), {"--cs", "A.2", "--cs-active", activeLow ? "low" : "high"});
        const CliRun withCs = Cli(framed);
        ASSERT_EQ(withCs.status, 0) << withCs.err;
        EXPECT_EQ(HexColumn(withCs.out, 4), "C3 81 7E 18") << (activeLow ? "active low" : "active high");
        // The select of the other polarity frames the gaps: no whole byte there.
        framed.back() = activeLow ? "high" : "low";
        const CliRun wrong = Cli(framed);
        EXPECT_EQ(wrong.status, 1);
        EXPECT_NE(wrong.err.find("while CS (A.2) was active"), std::string::npos) << wrong.err;
    }
    const std::string vcd = path("low.vcd");
    const CliRun orphan = Cli({"decode", "spi", vcd, "--cs-active", "low"});
    EXPECT_EQ(orphan.status, 64);
    EXPECT_NE(orphan.err.find("--cs-active needs --cs"), std::string::npos);
    const CliRun badLevel = Cli({"decode", "spi", vcd, "--cs", "A.2", "--cs-active", "middle"});
    EXPECT_EQ(badLevel.status, 64);
    EXPECT_NE(badLevel.err.find("--cs-active: 'middle' is not one of low high"), std::string::npos);
}

} // namespace
} // namespace tesmar
