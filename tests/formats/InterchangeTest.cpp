#include "formats/AnalogCsv.h"
#include "formats/CsvFile.h"
#include "formats/DataFileCapture.h"
#include "formats/VcdFile.h"
#include "formats/VcdGrid.h"
#include "formats/VcdTimeline.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tesmar {
namespace {

CaptureSamples Counter(std::size_t count, double period, double first, bool busB)
{
    CaptureSamples capture;
    capture.samplePeriod = period;
    capture.firstSampleTime = first;
    for (std::size_t i = 0; i < count; ++i) {
        capture.busA.push_back(static_cast<std::uint8_t>(i * 7 / 3));
        if (busB)
            capture.busB.push_back(static_cast<std::uint8_t>(i % 5 == 0 ? 0xA5 : 0x5A));
    }
    // Long steady stretches, as real traffic has.
    for (std::size_t i = count / 2; i < count * 3 / 4; ++i)
        capture.busA[i] = 0x11;
    return capture;
}

std::variant<CaptureImport, std::string> ReadCsv(std::string_view text)
{
    return ReadCaptureCsv(text);
}

template <class Read> CaptureImport ReadOk(Read read, const std::string& text)
{
    auto result = read(text);
    if (auto* error = std::get_if<std::string>(&result))
        ADD_FAILURE() << *error;
    return std::get<CaptureImport>(std::move(result));
}

void ExpectSameCapture(const CaptureSamples& back, const CaptureSamples& original)
{
    EXPECT_EQ(back.busA, original.busA);
    EXPECT_EQ(back.busB, original.busB);
    EXPECT_NEAR(back.samplePeriod, original.samplePeriod, original.samplePeriod * 1e-12);
    EXPECT_NEAR(back.firstSampleTime, original.firstSampleTime, original.samplePeriod * 1e-3);
}

TEST(Interchange, VcdAndCsvRoundTripsKeepSamplesPeriodAndOrigin)
{
    const struct {
        std::size_t count;
        double period;
        double first;
        bool busB;
        const char* timescale;
    } cases[] = {
        {1544, 1e-6, -31e-6, false, "1 us"},
        {772, 1e-5, 0.0, true, "10 us"},
        {5000, 1.0 / 300000, 0.0, false, "1 ps"},            // 3.333 µs: no decimal tick
        {1160, 1.0 / 2666666.6666666665, -8 / 2666666.6666666665, false, "1 ns"}, // 375 ns
        {3000, 1.0 / 6000000, 0.0, false, "1 ps"},
        {100, 1e-3, -0.01, true, "1 ms"},
        {1, 1e-6, 0.0, false, "1 us"},
        {100000, 10.0 / 3, -10.0 / 3, true, "1 ps"}, // femtoseconds would overflow the stamps
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.count << " samples of " << c.period);
        const CaptureSamples original = Counter(c.count, c.period, c.first, c.busB);
        const std::string vcd = WriteVcd(original);
        EXPECT_NE(vcd.find(std::string("$timescale ") + c.timescale + " $end"), std::string::npos);
        EXPECT_NE(vcd.find("$var wire 1 ! A.0 $end"), std::string::npos);
        EXPECT_EQ(vcd.find("B.0") != std::string::npos, c.busB);
        const auto fromVcd = ReadOk(ReadVcd, vcd);
        EXPECT_TRUE(fromVcd.warnings.empty());
        ExpectSameCapture(fromVcd.capture, original);

        const std::string csv = WriteCaptureCsv(original);
        EXPECT_EQ(csv.substr(0, 20), "time,A.0,A.1,A.2,A.3");
        const auto fromCsv = ReadOk(ReadCsv, csv);
        if (c.count > 1) {
            EXPECT_TRUE(fromCsv.warnings.empty());
        }
        ExpectSameCapture(fromCsv.capture, original);
    }
}

TEST(Interchange, LinesChangingOnlyEveryFewSamplesKeepTheSamplePeriod)
{
    // A 100 kHz clock sampled at 1 MHz changes every 5 samples; the capture still has 1 µs.
    CaptureSamples capture;
    capture.samplePeriod = 1e-6;
    for (int i = 0; i < 1001; ++i)
        capture.busA.push_back(static_cast<std::uint8_t>((i / 5) % 2));
    for (const auto& text : {WriteVcd(capture), WriteCaptureCsv(capture)}) {
        const auto back = text[0] == '$' ? ReadOk(ReadVcd, text) : ReadOk(ReadCsv, text);
        EXPECT_EQ(back.capture.busA, capture.busA);
        EXPECT_EQ(back.capture.samplePeriod, capture.samplePeriod);
    }
}

TEST(Interchange, LongIdleStretchAtAnInexactPeriodKeepsItsSamples)
{
    // One change near the start, then millions of idle samples: the rounded stamps alone
    // cannot pin a 6 MHz period down over that span.
    CaptureSamples capture;
    capture.samplePeriod = 4 / 24e6;
    capture.busA.assign(2000000, 0);
    capture.busA[1] = 1;
    capture.busA[2] = 0;
    capture.busA[1999990] = 3;
    const auto back = ReadOk(ReadVcd, WriteVcd(capture));
    EXPECT_EQ(back.capture.busA, capture.busA);
    EXPECT_EQ(back.capture.samplePeriod, capture.samplePeriod);
}

TEST(Interchange, VcdFromAnotherToolWithVectorsXZAndAnOddTimescale)
{
    const std::string vcd =
        "$date today $end\n$version other $end\n$comment made elsewhere $end\n"
        "$timescale 100ns $end\n$scope module top $end\n"
        "$var wire 1 ! clk $end\n$var wire 1 \" data $end\n$var wire 8 # bus [7:0] $end\n"
        "$var reg 1 $ B.3 $end\n$upscope $end\n$enddefinitions $end\n"
        "#0\n$dumpvars\nx!\n1\"\nb00000000 #\nz$\n$end\n"
        "#20\n1!\n#40\n0!\n0\"\nb1010 #\n#60\n1!\n1$\n#80\n0!\n#100\n";
    const auto imported = ReadOk(ReadVcd, vcd);
    ASSERT_EQ(imported.warnings.size(), 1u); // the vector
    const CaptureSamples& capture = imported.capture;
    EXPECT_DOUBLE_EQ(capture.samplePeriod, 2e-6); // 20 ticks of 100 ns
    ASSERT_EQ(capture.busA.size(), 5u);          // #100 ends the fifth sample
    ASSERT_EQ(capture.busB.size(), 5u);
    // clk → A.0, data → A.1 (free channels in order), B.3 keeps its own line
    const std::uint8_t expectedA[] = {0b10, 0b11, 0b00, 0b01, 0b00};
    const std::uint8_t expectedB[] = {0, 0, 0, 0b1000, 0b1000};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(capture.busA[i], expectedA[i]) << i;
        EXPECT_EQ(capture.busB[i], expectedB[i]) << i;
    }
}

TEST(Interchange, WhatACaptureCannotHoldIsReported)
{
    std::string many = "$timescale 1 us $end\n";
    for (int i = 0; i < 20; ++i)
        many += "$var wire 1 w" + std::to_string(i) + " line" + std::to_string(i) + " $end\n";
    many += "$enddefinitions $end\n#0\n";
    for (int i = 0; i < 20; ++i)
        many += "1w" + std::to_string(i) + "\n";
    many += "#1\n";
    const auto imported = ReadOk(ReadVcd, many);
    ASSERT_EQ(imported.warnings.size(), 1u);
    EXPECT_NE(imported.warnings[0].find("4 ignored"), std::string::npos);
    EXPECT_EQ(imported.capture.busA, std::vector<std::uint8_t>{0xFF});
    EXPECT_EQ(imported.capture.busB, std::vector<std::uint8_t>{0xFF});

    // Rows 1 µs, 1.5 µs and 3.6 µs apart share no sample grid.
    const std::string uneven = "time,A.0\n0,0\n0.000001,1\n0.0000025,0\n0.0000061,1\n";
    const auto resampled = ReadOk(ReadCsv, uneven);
    ASSERT_EQ(resampled.warnings.size(), 1u);
    EXPECT_NE(resampled.warnings[0].find("not evenly spaced"), std::string::npos);

    const struct {
        const char* name;
        std::string text;
    } refused[] = {
        {"not a vcd", "hello world"},
        {"bad timescale", "$timescale 1 parsec $end $var wire 1 ! a $end $enddefinitions $end #0 1!"},
        {"undeclared id", "$var wire 1 ! a $end $enddefinitions $end #0 1?"},
        {"too many samples", "$timescale 1 fs $end $var wire 1 ! a $end $enddefinitions $end #0 1! #1 0! #900000000000 1!"},
        {"no wires", "$var wire 4 ! a $end $enddefinitions $end #0 b1 !"},
    };
    for (const auto& r : refused)
        EXPECT_TRUE(std::holds_alternative<std::string>(ReadVcd(r.text))) << r.name;
    EXPECT_TRUE(std::holds_alternative<std::string>(ReadCaptureCsv("time,A.0\n0,1\nzz,0\n")));
    EXPECT_TRUE(std::holds_alternative<std::string>(ReadCaptureCsv("time,A.0\n1,1\n0,0\n")));
    EXPECT_TRUE(std::holds_alternative<std::string>(ReadCaptureCsv("time,A.0,A.1\n0,1\n")));
}

TEST(Interchange, CsvCellsThatAreNoFiniteNumbersAreRefusedWithTheirLine)
{
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"time,A.0\nnan,1\n0.000001,0\n", "line 2: bad time 'nan'"},
        {"time,A.0\n0,1\n-inf,0\n", "line 3: bad time '-inf'"},
        {"time,A.0\n0,1\n1e309,0\n", "line 3: bad time '1e309'"},
        {"time,A.0\n-1e308,1\n1e308,0\n", "line 3: time out of range"},
        {"time,A.0\n0,1\n0.000001,nan\n0.000002,1\n", "line 3: bad value 'nan' in column 2"},
        {"; Samplerate: 1 MHz\nA.0,A.1\n1,inf\n", "line 3: bad value 'inf' in column 2"},
        {"time,A.0,A.1\n0,1,\n", "line 2: bad value '' in column 3"},
        {"# comment\ntime;A.0\n0;high\n", "line 3: bad value 'high' in column 2"},
        {"time,A.0\n0,1\n1,0\n1e308,1\n", "the capture would need 1e+308 samples; at most 268435456 fit"},
    };
    for (const auto& c : cases) {
        const auto result = ReadCaptureCsv(c.text);
        ASSERT_TRUE(std::holds_alternative<std::string>(result)) << c.text;
        EXPECT_EQ(std::get<std::string>(result), c.message);
    }
    // Unknown levels x and z read as low, as in a VCD.
    const auto xz = ReadOk(ReadCsv, "time,A.0,A.1\n0,x,1\n0.000001,1,Z\n");
    EXPECT_EQ(xz.capture.busA, (std::vector<std::uint8_t>{2, 1}));
    // … and the reader says so.
    ASSERT_EQ(xz.warnings.size(), 1u);
    EXPECT_EQ(xz.warnings[0], "2 unknown level(s) (x or z, the first at line 2 column 2) read as 0");
}

// Numbers that are no logic level, and rows that share one sample, are refused, not guessed at.
TEST(Interchange, CsvLevelsOtherThanZeroOrOneAndRepeatedTimesAreRefused)
{
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"time,A.0\n0,0\n0.000001,2\n", "line 3: bad value '2' in column 2"},
        {"time,A.0\n0,-1\n", "line 2: bad value '-1' in column 2"},
        {"time,A.0\n0,1\n0.000001,0.5\n", "line 3: bad value '0.5' in column 2"},
        {"time,A.0\n0,1\n0.000001,1e308\n", "line 3: bad value '1e308' in column 2"},
        {"time,A.0\n0,0\n0.000001,1\n0.000001,0\n0.000001,1\n", "line 4: the same time as line 3 ('0.000001')"},
        {"; Samplerate: 1 MHz\ntime,A.0\n0,0\n0.0000004,1\n",
         "line 4: the same time as line 3 ('0.0000004') on the sample grid of the stated rate"},
    };
    for (const auto& c : cases) {
        const auto result = ReadCaptureCsv(c.text);
        ASSERT_TRUE(std::holds_alternative<std::string>(result)) << c.text;
        EXPECT_EQ(std::get<std::string>(result), c.message);
    }
    // 1.0 and 0.0 are levels.
    EXPECT_EQ(ReadOk(ReadCsv, "time,A.0\n0,1.0\n0.000001,0.0\n").capture.busA, (std::vector<std::uint8_t>{1, 0}));
}

TEST(Interchange, VcdSampleGridFromStatementCommonDivisorOrMemory)
{
    const struct {
        const char* name;
        std::vector<std::uint64_t> times;
        VcdGridSource source;
        double seconds;
        std::int64_t samples;
        bool note;
    } cases[] = {
        {"common divisor", {0, 20, 40, 100}, {1e-7, 0, 0, true}, 2e-6, 5, false},
        {"one tick apart", {0, 104, 209, 313}, {1e-6, 0, 0, false}, 1e-6, 314, false},
        {"a single time", {0}, {1e-9, 0, 0, false}, 1e-9, 1, false},
        {"stated period", {0, 1000, 3000}, {1e-9, 1e-6, 0, false}, 1e-6, 4, false},
        {"stated period that does not fit", {0, 1500}, {1e-9, 1e-6, 0, false}, 1.5e-6, 2, false},
        {"stated rate", {0, 1085, 2170}, {1e-9, 0, 5e6, false}, 2e-7, 12, false},
        {"coarser to fit the memory", {0, 999, 1000000000}, {1e-9, 0, 0, false}, 4e-9, 250000001, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto grid = ChooseVcdGrid(c.times, c.source);
        ASSERT_TRUE(std::holds_alternative<VcdGrid>(grid)) << std::get<std::string>(grid);
        const VcdGrid& chosen = std::get<VcdGrid>(grid);
        EXPECT_NEAR(chosen.seconds, c.seconds, c.seconds * 1e-12);
        EXPECT_EQ(chosen.samples, c.samples);
        EXPECT_EQ(chosen.note.empty(), !c.note) << chosen.note;
        EXPECT_LE(chosen.samples, kMaxInterchangeSamples);
    }
    // A grid coarse enough to fit would put two changes on one sample.
    const auto merged = ChooseVcdGrid({0, 1, 1000000000}, {1e-9, 0, 0, false});
    ASSERT_TRUE(std::holds_alternative<std::string>(merged));
    EXPECT_NE(std::get<std::string>(merged).find("would merge changes 1e-09 s apart"), std::string::npos);

    using Words = std::vector<std::string_view>;
    EXPECT_DOUBLE_EQ(StatedSampleRate(Words{"Acquisition", "with", "2/8", "channels", "at", "1", "MHz"}), 1e6);
    EXPECT_DOUBLE_EQ(StatedSampleRate(Words{"samplerate", "24MHz"}), 24e6);
    EXPECT_DOUBLE_EQ(StatedSampleRate(Words{"at", "250", "kHz"}), 250e3);
    EXPECT_DOUBLE_EQ(StatedSampleRate(Words{"clock", "8", "MHz"}), 0.0);
    EXPECT_DOUBLE_EQ(StatedSampleRate(Words{"at", "nan", "MHz"}), 0.0);
    EXPECT_DOUBLE_EQ(StatedSampleRate(Words{"at", "noon"}), 0.0);
}

TEST(Interchange, VcdWithTextOfItsOwnBeforeTheHeaderAndStampsOnTheValueLine)
{
    const std::string vcd = "Exported by a logic analyser, version 2\n$date today $end\n$timescale 1 us $end\n"
                            "$var wire 1 ! D0 $end\n$enddefinitions $end\n#0 1!\n#3 0!\n#7 1!\n#9\n";
    const auto imported = ReadOk(ReadVcd, vcd);
    ASSERT_EQ(imported.warnings.size(), 1u);
    EXPECT_EQ(imported.warnings[0], "7 words outside the header sections skipped (from 'Exported')");
    EXPECT_DOUBLE_EQ(imported.capture.samplePeriod, 1e-6);
    EXPECT_EQ(imported.capture.busA, (std::vector<std::uint8_t>{1, 1, 1, 0, 0, 0, 0, 1, 1}));
}

TEST(Interchange, CsvFromAnotherAnalyser)
{
    // Comment lines, semicolons, no time column and no stated rate: the rate is not guessed.
    const std::string text = "; exported\nD0;D1\n1;0\n1;1\n0;1\n";
    const auto refused = ReadCaptureCsv(text);
    ASSERT_TRUE(std::holds_alternative<std::string>(refused));
    EXPECT_EQ(std::get<std::string>(refused), "the file states no sample rate and has no time column (give the rate)");
    const auto given = ReadCaptureCsv(text, 250e3);
    ASSERT_TRUE(std::holds_alternative<CaptureImport>(given));
    const CaptureImport& imported = std::get<CaptureImport>(given);
    EXPECT_TRUE(imported.warnings.empty());
    EXPECT_EQ(imported.capture.busA, (std::vector<std::uint8_t>{1, 3, 2}));
    EXPECT_DOUBLE_EQ(imported.capture.samplePeriod, 4e-6);
}

TEST(Interchange, SamplePeriodEstimate)
{
    const struct {
        std::vector<double> times;
        double period;
        bool uniform;
    } cases[] = {
        {{0, 4, 8, 20}, 4, true},
        {{0, 6, 9, 21}, 3, true},           // shortest gap 3
        {{0, 4, 6}, 2, true},               // half the shortest gap
        {{0, 3333333, 6666667, 10000000}, 3333333.3333333335, true},
        {{0, 1, 2.5, 6.1}, 1, false},
        {{0}, 0, true},
    };
    for (const auto& c : cases) {
        const auto estimate = EstimateSamplePeriod(c.times);
        EXPECT_NEAR(estimate.period, c.period, 1e-9 * std::max(1.0, c.period));
        EXPECT_EQ(estimate.uniform, c.uniform);
    }
    EXPECT_DOUBLE_EQ(SnapToDeviceClock(1 / 300000.0 * (1 + 1e-10)), 80 / 24e6);
    EXPECT_DOUBLE_EQ(SnapToDeviceClock(1.234567e-6), 1.234567e-6);
}

TEST(Interchange, LogicDataFileCarriesTheCapture)
{
    const CaptureSamples capture = Counter(1544, 1e-6, -31e-6, true);
    const DataFile file = LogicDataFile(capture);
    const auto& settings = std::get<LogicSettingsChunk>(file.settings);
    EXPECT_DOUBLE_EQ(settings.sampleRate, 1e6);
    EXPECT_TRUE(settings.sbLANModeBusA);
    EXPECT_EQ(settings.modeByte, 5);
    EXPECT_DOUBLE_EQ(settings.timeUnitFactor, 1e6);
    EXPECT_DOUBLE_EQ(settings.firstSampleTime, -31);
    const auto back = CaptureFromDataFile(std::get<DataFile>(ReadDataFile(WriteDataFile(file))));
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, capture);
    EXPECT_FALSE(CaptureFromDataFile(DataFile{OscSettingsChunk{}, {}, {}, {}, {}, {}}));

    // Buses of different lengths cannot be lined up sample by sample.
    DataFile uneven = file;
    uneven.busB = std::vector<std::uint8_t>(10, 0xFF);
    EXPECT_FALSE(CaptureFromDataFile(uneven));
    uneven.busA.reset();
    EXPECT_FALSE(CaptureFromDataFile(uneven));

    // A page saved before any capture: no samples, and no rate to divide by.
    for (const double rate : {0.0, -1.0, 2.7e-312, HUGE_VAL, std::nan("")}) {
        LogicSettingsChunk empty;
        empty.sampleRate = rate;
        const auto none = CaptureFromDataFile(DataFile{empty, {}, {}, {}, {}, {}});
        ASSERT_TRUE(none);
        EXPECT_TRUE(none->busA.empty() && none->busB.empty());
        EXPECT_TRUE(std::isfinite(none->samplePeriod) && none->samplePeriod > 0) << rate;
    }
}

TEST(Interchange, AnalogueFilesBecomeCsvRows)
{
    OscSettingsChunk osc;
    osc.samplePeriod = 1e-3;
    osc.firstTimeA = -0.002;
    const auto oscCsv = AnalogDataFileToCsv({osc, {}, std::vector<double>{1, 2, 3}, std::vector<double>{-1}, {}, {}});
    EXPECT_EQ(*oscCsv, "time_s,A,B\n-0.002,1,-1\n-0.001,2,\n0,3,\n");

    SpectrumSettingsChunk spectrum;
    spectrum.sampleRate = 1000;
    const auto fftCsv = AnalogDataFileToCsv({spectrum, {}, {}, std::vector<double>{0.5, 0.25, 0.125}, {}, {}});
    EXPECT_EQ(*fftCsv, "frequency_hz,A,B\n0,,0.5\n250,,0.25\n500,,0.125\n");

    EXPECT_FALSE(AnalogDataFileToCsv({LogicSettingsChunk{}, {}, {}, {}, {}, {}}));
}

} // namespace
} // namespace tesmar
