// tesmar-cli under bad input: every case ends with a message naming the problem and its exit
// status, never with an abort, a hang or a silent success.

#include "cli/CliMain.h"
#include "cli/CliText.h"
#include "formats/CsvFile.h"
#include "formats/DataFile.h"
#include "formats/DataFileLoad.h"

#include "CliTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <streambuf>

namespace tesmar {
namespace {

namespace fs = std::filesystem;

using CliRun = testing::CommandRun;

CliRun RunWords(const std::vector<std::string>& words) {
    return testing::RunCommand(RunCli, words);
}

// A capture of UART traffic ("U" at 9600 baud on A.0) sampled at 1 MHz, 8 lines.
CaptureSamples SmallCapture(double period = 1e-6) {
    CaptureSamples capture;
    capture.samplePeriod = period;
    capture.busA.assign(3000, 1);
    for (int bit = 0; bit < 10; ++bit) {
        const std::uint8_t level = bit == 0 ? 0 : bit == 9 ? 1 : ((0x55 >> (bit - 1)) & 1);
        for (int i = 0; i < 104; ++i)
            capture.busA[static_cast<std::size_t>(500 + bit * 104 + i)] = level;
    }
    return capture;
}

class CliBadInput : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"folder.dat", "folder.vcd", "folder.csv"})
            fs::create_directories(scratch_.folder() / name);
        text("nan-first.csv", "time,A.0\nnan,1\n0.000001,0\n");
        text("nan-middle.csv", "time,A.0\n0,1\n0.000001,nan\n0.000002,1\n");
        text("inf-time.csv", "time,A.0\n0,1\ninf,0\n");
        text("word.csv", "time,A.0\n0,1\n0.000001,high\n");
        for (const char* level : {"2", "-1", "0.5", "1e308"})
            text(std::string("level") + level + ".csv", std::string("time,D0,D1\n0,0,1\n0.000001,1,") + level + "\n");
        text("same-time.csv", "time,A.0\n0,0\n0.000001,1\n0.000001,0\n0.000001,1\n0.000002,0\n");
        text("femto.vcd",
             "$timescale 1 fs $end $var wire 1 ! a $end $enddefinitions $end #0 1! #3 0! #5 1! #10\n");
        text("escape.vcd", "\x1b[31mred\x07 $timescale 1 us $end $var wire 1 ! a $end $enddefinitions $end "
                           "#0 1! #10 0! #20\n");
        EXPECT_EQ(SaveCaptureFile(path("uart.dat"), SmallCapture()), "");
        EXPECT_EQ(SaveCaptureFile(path("peta.dat"), SmallCapture(1e-15)), "");
        for (const auto& [name, rate] : std::vector<std::pair<std::string, double>>{
                 {"rate-zero.dat", 0.0},
                 {"rate-negative.dat", -1e6},
                 {"rate-nan.dat", std::nan("")},
                 {"rate-inf.dat", std::numeric_limits<double>::infinity()}}) {
            DataFile file = LogicDataFile(SmallCapture());
            std::get<LogicSettingsChunk>(file.settings).sampleRate = rate;
            bytes(name, WriteDataFile(file));
        }
        DataFile empty = LogicDataFile(SmallCapture());
        empty.busA.reset();
        bytes("no-samples.dat", WriteDataFile(empty));
        DataFile uneven = LogicDataFile(SmallCapture());
        uneven.busB = std::vector<std::uint8_t>(10, 0xFF);
        bytes("buses-differ.dat", WriteDataFile(uneven));
        bytes("oscilloscope.dat",
              WriteDataFile(DataFile{
                  OscSettingsChunk{}, {"\x1b]0;title\x07remark"}, std::vector<double>{1, 2}, {}, {}, {}}));
    }
    std::string path(const std::string& name) const { return scratch_.path(name); }
    void text(const std::string& name, const std::string& content) {
        WriteWholeFile(path(name), content.data(), content.size());
    }
    void bytes(const std::string& name, const std::vector<std::uint8_t>& content) {
        WriteWholeFile(path(name), content.data(), content.size());
    }

    testing::ScratchFolder scratch_{"tesmar_bad_"};
};

TEST_F(CliBadInput, EveryBadInputEndsWithItsMessageAndStatus) {
    const struct {
        std::vector<std::string> words; // "@name" is a file of the test's folder
        int status;
        std::string message; // part of standard error
    } cases[] = {
        // Folders given as files.
        {{"decode", "uart", "@folder.vcd"}, 1, "cannot read @folder.vcd: is a directory"},
        {{"info", "@folder.dat"}, 1, "cannot read @folder.dat: is a directory"},
        {{"convert", "@folder.csv", "@out.vcd"}, 1, "cannot read @folder.csv: is a directory"},
        {{"convert", "@folder.dat", "@out.csv"}, 1, "cannot read @folder.dat: is a directory"},
        {{"decode", "i2c", "@missing.vcd"}, 1, "cannot read @missing.vcd: no such file or directory"},
        // Numbers in CSV cells that are not finite, or no numbers at all.
        {{"convert", "@nan-first.csv", "@out.vcd"}, 1, "line 2: bad time 'nan'"},
        {{"decode", "uart", "@nan-middle.csv"}, 1, "line 3: bad value 'nan' in column 2"},
        {{"convert", "@inf-time.csv", "@out.dat"}, 1, "line 3: bad time 'inf'"},
        {{"convert", "@word.csv", "@out.dat"}, 1, "line 3: bad value 'high'"},
        // Numbers that are no logic level, and rows that share a time.
        {{"convert", "@level2.csv", "@out.vcd"}, 1, "line 3: bad value '2' in column 3"},
        {{"convert", "@level-1.csv", "@out.vcd"}, 1, "line 3: bad value '-1' in column 3"},
        {{"decode", "uart", "@level0.5.csv"}, 1, "line 3: bad value '0.5' in column 3"},
        {{"convert", "@level1e308.csv", "@out.sr"}, 1, "line 3: bad value '1e308' in column 3"},
        {{"convert", "@same-time.csv", "@out.vcd"}, 1, "line 4: the same time as line 3 ('0.000001')"},
        // A measurement data file is no generator data.
        {{"encode", "uart", "--text", "U", "--in", "@oscilloscope.dat", "--out", "@gen.dat"},
         1,
         "--in: @oscilloscope.dat is a measurement data file, not generator data"},
        {{"encode", "uart", "--text", "U", "--in", "@uart.dat", "--out", "@gen.dat"},
         1,
         "a generator data file has 1 to 1544"},
        {{"--sim", "logic", "--generator", "@oscilloscope.dat", "--out", "@out.vcd"},
         1,
         "--generator: @oscilloscope.dat is a measurement data file"},
        // Sample periods of 1 fs: decoding ends at once and says why it found nothing.
        {{"decode", "uart", "@femto.vcd"}, 1, "nothing decoded: a frame at 9600 baud"},
        {{"decode", "uart", "@peta.dat", "--baud", "115200"}, 1, "nothing decoded: a frame at 115200 baud"},
        // Data files whose rate cannot be used.
        {{"decode", "uart", "@rate-zero.dat", "--estimate-baud"},
         1,
         "the sample rate is not a positive number"},
        {{"decode", "uart", "@rate-negative.dat"}, 1, "the sample rate is not a positive number"},
        {{"info", "@rate-nan.dat"}, 1, "the sample rate is not a positive number"},
        {{"convert", "@rate-inf.dat", "@out.vcd"}, 1, "the sample rate is not a positive number"},
        // Results that would be empty for a reason.
        {{"decode", "uart", "@uart.dat", "--rx", "B.0"}, 1, "--rx: the capture has no line B.0"},
        {{"decode", "spi", "@uart.dat", "--sck", "A.0", "--miso", "B.7"},
         1,
         "--miso: the capture has no line B.7"},
        {{"decode", "uart", "@uart.dat", "--marker1", "10s"},
         1,
         "--marker1: 10s is outside the capture (0 … 0.003 s)"},
        {{"decode", "i2c", "@uart.dat", "--marker1", "-1ms"}, 1, "--marker1: -1ms is outside the capture"},
        {{"decode", "uart", "@uart.dat", "--rx", "A.1", "--tx", "A.2"},
         1,
         "nothing decoded: no frame on RxD (A.1) or TxD (A.2)"},
        {{"decode", "uart", "@no-samples.dat"}, 1, "no-samples.dat holds no samples"},
        {{"convert", "@buses-differ.dat", "@out.vcd"}, 1, "bus A and bus B hold different numbers of samples"},
        {{"decode", "1wire", "@oscilloscope.dat"}, 1, "oscilloscope.dat holds no logic analyser capture"},
        // Options.
        {{"decode", "uart", "@uart.dat", "--baud", "0"},
         64,
         "--baud: '0' is not a whole number from 1 to 1000000000 baud"},
        {{"decode", "uart", "@uart.dat", "--baud", "9600.5"}, 64, "--baud: '9600.5' is not a whole number"},
        {{"decode", "uart", "@uart.dat", "--baud", "nan"}, 64, "--baud: 'nan' is not a whole number"},
        {{"decode", "uart", "@uart.dat", "--marker1", "inf"}, 64, "--marker1: not a time 'inf'"},
        {{"decode", "uart", "@uart.dat", "--rx", "\x1b[2J"}, 64, "--rx: no line '\\x1B[2J'"},
        {{"decode", "can", "@uart.dat"}, 64, "unknown protocol 'can'"},
        {{"frobnicate"}, 64, "unknown command 'frobnicate'"},
        {{"convert", "@uart.dat", "@no/such/folder/out.vcd"}, 74, "cannot write @no/such/folder/out.vcd: no such folder"},
        {{"convert", "@oscilloscope.dat", "@out.vcd"},
         64,
         "holds analogue data, which converts to .csv only"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> words;
        std::string trace;
        for (const auto& word : c.words) {
            words.push_back(word[0] == '@' ? path(word.substr(1)) : word);
            trace += word + " ";
        }
        SCOPED_TRACE(trace);
        std::string message = c.message;
        for (auto at = message.find('@'); at != std::string::npos; at = message.find('@'))
            message.replace(at, 1, scratch_.folder().string() + "/");
        const CliRun run = RunWords(words);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
        EXPECT_FALSE(run.err.empty());
        EXPECT_EQ(run.err.find('\x1b'), std::string::npos);
    }
    // A 1 PHz capture is still decoded where it can be.
    const CliRun decoded = RunWords({"decode", "uart", path("uart.dat")});
    EXPECT_EQ(decoded.status, 0) << decoded.err;
    EXPECT_NE(decoded.out.find("01010101   55"), std::string::npos) << decoded.out;
}

TEST_F(CliBadInput, TextFromFilesReachesTheTerminalWithoutControlCharacters) {
    const CliRun warned = RunWords({"convert", path("escape.vcd"), path("out.csv")});
    EXPECT_EQ(warned.status, 0) << warned.err;
    EXPECT_NE(warned.err.find("words outside the header sections skipped (from '\\x1B[31mred\\x07')"),
              std::string::npos)
        << warned.err;
    const CliRun info = RunWords({"info", path("oscilloscope.dat")});
    EXPECT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find("remark:\n  \\x1B]0;title\\x07remark\n"), std::string::npos) << info.out;

    EXPECT_EQ(TerminalText("Сброс\rline\ttab\x7f\xc2\x9b\xff"), "Сброс\nline\ttab\\x7F\\xC2\\x9B\\xFF");
}

// A stream buffer that takes nothing, as a full disk does.
class FullBuffer : public std::streambuf {
  protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
    std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

TEST_F(CliBadInput, FailedOutputIsAnErrorAndEscapesAreCaught) {
    // Standard output on a full disk.
    for (const std::vector<std::string>& words : std::vector<std::vector<std::string>>{
             {"decode", "uart", path("uart.dat")}, {"info", path("uart.dat")}, {"--help"}}) {
        FullBuffer full;
        std::ostream out(&full);
        std::ostringstream err;
        EXPECT_EQ(RunCli(words, out, err), kExitOutput) << words[0];
        EXPECT_NE(err.str().find("cannot write the output"), std::string::npos) << err.str();
    }
    if (fs::exists("/dev/full")) {
        std::ofstream full("/dev/full");
        std::ostringstream err;
        EXPECT_EQ(RunCli({"info", path("uart.dat")}, full, err), kExitOutput);
        EXPECT_NE(err.str().find("cannot write the output: No space left on device"), std::string::npos)
            << err.str();
    }
    // A command that reports its own failed output is not reported twice.
    {
        FullBuffer full;
        std::ostream out(&full);
        std::ostringstream err;
        EXPECT_EQ(RunCli({"--sim", "spectrum"}, out, err), kExitOutput);
        const std::string said = err.str();
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    }
    // What a command lets escape ends in one line and a status, not in an abort.
    FullBuffer full;
    std::ostream throwing(&full);
    throwing.exceptions(std::ios::badbit);
    std::ostringstream err;
    EXPECT_EQ(RunCli({"info", path("uart.dat")}, throwing, err), kExitInternal);
    EXPECT_NE(err.str().find("tesmar-cli: internal error: "), std::string::npos) << err.str();

    // A file that cannot be written whole is not left half-written.
    CaptureSamples big = SmallCapture();
    big.busA.resize(3'000'000, 1);
    if (fs::exists("/dev/full")) {
        std::ofstream disk("/dev/full");
        WriteCaptureCsv(big, disk);
        EXPECT_FALSE(disk);
    }
}

} // namespace
} // namespace tesmar
