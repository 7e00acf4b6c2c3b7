// Value change dumps and CSV files read piece by piece give what the whole text gives, wherever
// the pieces end (inside a word, between a stamp and its changes) and whether or not the changes
// fit the memory kept for them.

#include "formats/CsvFile.h"
#include "formats/CsvStream.h"
#include "formats/TextSource.h"
#include "formats/VcdFile.h"
#include "formats/VcdStream.h"
#include "formats/WordReader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

namespace tesmar {
namespace {

// A capture of noisy lines: bursts of changes and quiet stretches on A.0 … A.2 and B.1.
CaptureSamples NoisyCapture(std::size_t samples, unsigned seed)
{
    std::mt19937 random(seed);
    CaptureSamples capture;
    capture.samplePeriod = 1.0 / 3e6;
    capture.firstSampleTime = -20 * capture.samplePeriod;
    capture.busA.resize(samples);
    capture.busB.resize(samples);
    std::uint8_t a = 0, b = 0;
    for (std::size_t i = 0; i < samples; ++i) {
        if (random() % 7 == 0)
            a ^= static_cast<std::uint8_t>(1u << (random() % 3));
        if (random() % 31 == 0)
            b ^= 2;
        capture.busA[i] = a;
        capture.busB[i] = b;
    }
    return capture;
}

const std::vector<std::string>& Dumps()
{
    static const std::vector<std::string> dumps = [] {
        CaptureLineNames names{};
        names[0] = "RX";
        names[1] = "TX";
        names[2] = "CLK";
        names[9] = "B.1";
        std::vector<std::string> texts = {
            WriteVcd(NoisyCapture(5000, 1), names),
            WriteVcd(NoisyCapture(1, 2)),
            // Another analyser: words before the header, a stated rate, stamps on the value
            // line, vectors, a comment among the changes, x and z.
            "Exported by a logic analyser\n$date today $end\n$comment Acquisition at 2 MHz $end\n"
            "$timescale 100 ns $end\n$var wire 1 ! D0 $end\n$var wire 8 # bus $end\n$var wire 1 \" D1 $end\n"
            "$enddefinitions $end\n#0 1! 0\" b1010 #\n#5 0! $comment quiet $end\n#15 x\" 1!\n#20 z! b11 #\n#35 1\"\n#40\n",
            // Stamps out of order: sorted, with a warning.
            "$timescale 1 us $end $var wire 1 ! a $end $var wire 1 aa b $end $enddefinitions $end\n"
            "#50\n1!\n#20\n0!\n1aa\n#30\n1!\n#0\n0!\n0aa\n#60\n",
            // Changes before the first stamp, and an id of several characters.
            "$timescale 10 ns $end $var wire 1 <0> clk $end $enddefinitions $end 1<0> #3 0<0> #9 1<0> #12 0<0>\n",
        };
        return texts;
    }();
    return dumps;
}

void ExpectSameImport(const std::variant<CaptureImport, std::string>& whole,
                      const std::variant<CaptureImport, std::string>& pieces)
{
    ASSERT_EQ(whole.index(), pieces.index());
    if (const auto* refusal = std::get_if<std::string>(&whole)) {
        EXPECT_EQ(*refusal, std::get<std::string>(pieces));
        return;
    }
    const auto& a = std::get<CaptureImport>(whole);
    const auto& b = std::get<CaptureImport>(pieces);
    EXPECT_EQ(a.capture, b.capture);
    EXPECT_EQ(a.warnings, b.warnings);
    EXPECT_EQ(a.lineNames, b.lineNames);
}

TEST(VcdStream, PiecesOfAnySizeReadAsTheWholeText)
{
    for (std::size_t d = 0; d < Dumps().size(); ++d) {
        const std::string& text = Dumps()[d];
        const auto whole = ReadVcd(text);
        ASSERT_TRUE(std::holds_alternative<CaptureImport>(whole)) << d << ": " << std::get<std::string>(whole);
        for (std::size_t piece : {1, 2, 3, 7, 64, 4099}) {
            SCOPED_TRACE(std::to_string(d) + " in pieces of " + std::to_string(piece));
            ExpectSameImport(whole, ReadVcdFrom(std::make_unique<MemoryTextSource>(text, piece)));
        }
    }
}

TEST(VcdStream, ChangesBeyondTheKeptBudgetAreReadAgainFromTheText)
{
    for (std::size_t d = 0; d < Dumps().size(); ++d) {
        SCOPED_TRACE(d);
        const std::string& text = Dumps()[d];
        const auto whole = ReadVcd(text);
        ASSERT_TRUE(std::holds_alternative<CaptureImport>(whole));
        for (std::size_t kept : {std::size_t(0), std::size_t(48), kVcdKeptChangeBytes}) {
            VcdStreamLimits limits;
            limits.keptChangeBytes = kept;
            auto opened = VcdStream::Open(std::make_unique<MemoryTextSource>(text, 5), limits);
            ASSERT_TRUE(std::holds_alternative<std::unique_ptr<VcdStream>>(opened));
            VcdStream& stream = *std::get<std::unique_ptr<VcdStream>>(opened);
            // Out-of-order stamps need every change in memory to be sorted.
            const bool sorted = text.find("#50\n1!\n#20") != std::string::npos;
            if (kept != 48) {
                EXPECT_EQ(stream.changesKept(), kept == kVcdKeptChangeBytes || sorted);
            }
            // Twice: each pass goes through the same changes.
            for (int pass = 0; pass < 2; ++pass) {
                const auto samples = stream.samples();
                ASSERT_TRUE(std::holds_alternative<CaptureSamples>(samples)) << std::get<std::string>(samples);
                EXPECT_EQ(std::get<CaptureSamples>(samples), std::get<CaptureImport>(whole).capture);
            }
            EXPECT_EQ(stream.warnings(), std::get<CaptureImport>(whole).warnings);
        }
    }
}

TEST(VcdStream, RefusalsAreTheSameInPieces)
{
    const char* const refused[] = {
        "$timescale 1 us $end $var wire 1 ! a $end $enddefinitions $end #0 1! #x5 0!",
        "$timescale 1 us $end $var wire 1 ! a $end $enddefinitions $end #0 1? #5 0!",
        "$timescale 1 us $end $var wire 1 ! a $end $enddefinitions $end #0 1! #5 q!",
        "$timescale 3 parsecs $end $var wire 1 ! a $end $enddefinitions $end #0 1!",
        "$timescale 1 us $end $var wire 1 ! a $end",
        "$timescale 1 us $end $var wire 1 ! a $end $enddefinitions $end",
    };
    for (const char* text : refused) {
        SCOPED_TRACE(text);
        const auto whole = ReadVcd(text);
        ASSERT_TRUE(std::holds_alternative<std::string>(whole));
        for (std::size_t piece : {1, 4})
            ExpectSameImport(whole, ReadVcdFrom(std::make_unique<MemoryTextSource>(text, piece)));
    }
}

TEST(VcdStream, WordsSpanningPiecesComeWhole)
{
    const std::string text = "  alpha\tbe\n\nta  #123456789 $end\r\nz";
    for (std::size_t piece : {1, 2, 5, 100}) {
        MemoryTextSource source(text, piece);
        WordReader words(source, 4);
        std::vector<std::string> got;
        std::string_view word;
        while (words.next(word))
            got.emplace_back(word);
        EXPECT_EQ(got, (std::vector<std::string>{"alpha", "be", "ta", "#123456789", "$end", "z"})) << piece;
        EXPECT_TRUE(words.problem().empty());
        EXPECT_EQ(words.consumed(), static_cast<std::int64_t>(text.size()));
    }
}

TEST(CsvStream, PiecesOfAnySizeReadAsTheWholeText)
{
    const std::string ours = WriteCaptureCsv(NoisyCapture(3000, 3));
    const std::vector<std::pair<std::string, std::optional<double>>> files = {
        {ours, std::nullopt},
        {"; exported\r\n; Samplerate: 250 kHz\r\nD0;D1\r\n1;0\r\n1;1\r\n\r\n0;x\r\n0;1", std::nullopt},
        {"D0,D1\n1,0\n1,1\n0,1\n", 1e6},
        {"time,D0\n0,1\n0.5,0\n0.25,1\n", std::nullopt}, // refused: time goes backwards
    };
    for (const auto& [text, rate] : files) {
        const auto whole = ReadCaptureCsv(text, rate);
        for (std::size_t piece : {1, 3, 17, 8192}) {
            SCOPED_TRACE(text.substr(0, 20) + " in pieces of " + std::to_string(piece));
            MemoryTextSource source(text, piece);
            ExpectSameImport(whole, ReadCaptureCsvFrom(source, rate));
        }
    }
}

// The capture a CSV read as a stream of changes holds, sample by sample.
std::variant<CaptureImport, std::string> StreamedCsv(const std::string& text, std::optional<double> rate, std::size_t kept)
{
    CsvStreamLimits limits;
    limits.keptBytes = kept;
    auto opened = CsvStream::Open(std::make_unique<MemoryTextSource>(text, 7), rate, limits);
    if (auto* refusal = std::get_if<std::string>(&opened))
        return *refusal;
    CsvStream& stream = *std::get<std::unique_ptr<CsvStream>>(opened);
    if (kept == 0 || kept == kVcdKeptChangeBytes) {
        EXPECT_EQ(stream.changesKept(), kept > 0);
    }
    CaptureImport result;
    // Twice over: every pass gives the same changes.
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_TRUE(stream.restart());
        CaptureFiller filler(stream.sampleCount(), stream.hasBusB());
        SampleChange change{};
        while (stream.next(change))
            filler.change(change.index, change.channel, change.level);
        EXPECT_EQ(stream.problem(), "");
        result.capture = filler.finish();
    }
    result.capture.samplePeriod = stream.samplePeriod();
    result.capture.firstSampleTime = stream.firstSampleTime();
    result.warnings = stream.warnings();
    result.lineNames = stream.lineNames();
    return result;
}

TEST(CsvChangeStream, HoldsWhatTheWholeCaptureReaderHolds)
{
    CaptureLineNames names{};
    names[2] = "clk";
    names[9] = "B.1";
    CaptureSamples uneven = NoisyCapture(500, 9);
    const std::vector<std::pair<std::string, std::optional<double>>> files = {
        {WriteCaptureCsv(NoisyCapture(3000, 3), names), std::nullopt},
        {"; Samplerate: 250 kHz\r\nD0;D1\r\n1;0\r\n1;1\r\n\r\n0;x\r\n0;1", std::nullopt},
        {"D0,D1\n1,0\n1,1\n0,1\n", 1e6},
        {"Time [s],A,B\n0,1,0\n0.000003,0,0\n0.000004,0,1\n0.00001,1,1\n0.000017,1,0\n", std::nullopt},
        {"time,D0\n0.25,1\n", std::nullopt},
        {"time,D0\n0,1\n0.000002,1\n0.000005,0\n0.00001,1\n0.000011,1\n", std::nullopt},
        {"time\n0\n0.5\n2\n", std::nullopt},
        {"time,D0\n0,1\n0.000001,0\n0.0000025,1\n0.0000041,0\n0.00001,1\n", std::nullopt},
        {"; Samplerate: 1 MHz\ntime,logic,logic\n0,1,0\n12,0,0\n13,1,1\n400,1,1\n", 3e6},
        {"milliseconds,x\n0,0\n1.5,z\n3,1\n4.5,0\n", std::nullopt},
        {"time,D0\n0,1\n0.5,0\n0.25,1\n", std::nullopt},
        {"D0,D1\n1,0\n", std::nullopt},
        {"time,D0\n0,1\n1,2\n", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [text, rate] : files) {
        const auto whole = ReadCaptureCsv(text, rate);
        for (const std::size_t kept : {kVcdKeptChangeBytes, std::size_t(0), std::size_t(40)}) {
            SCOPED_TRACE(text.substr(0, 30) + ", kept " + std::to_string(kept));
            const auto streamed = StreamedCsv(text, rate, kept);
            ASSERT_EQ(whole.index(), streamed.index());
            if (const auto* refusal = std::get_if<std::string>(&whole)) {
                EXPECT_EQ(*refusal, std::get<std::string>(streamed));
                continue;
            }
            const auto& a = std::get<CaptureImport>(whole);
            const auto& b = std::get<CaptureImport>(streamed);
            EXPECT_EQ(a.capture, b.capture);
            EXPECT_EQ(a.capture.samplePeriod, b.capture.samplePeriod);
            EXPECT_EQ(a.capture.firstSampleTime, b.capture.firstSampleTime);
            EXPECT_EQ(a.warnings, b.warnings);
            EXPECT_EQ(a.lineNames, b.lineNames);
        }
    }
}

// Rows need not be held to find the grid of rows unevenly spaced, nor samples to go past the
// most a held capture may have.
TEST(CsvChangeStream, AGridOfMoreSamplesThanACaptureHolds)
{
    const std::string text = "time,D0\n0,0\n0.000001,1\n0.000003,0\n300,1\n";
    const auto whole = ReadCaptureCsv(text);
    ASSERT_TRUE(std::holds_alternative<std::string>(whole));
    EXPECT_NE(std::get<std::string>(whole).find("samples"), std::string::npos);
    CsvStreamLimits limits;
    limits.keptBytes = 0;
    limits.maxSamples = std::int64_t(1) << 40;
    auto opened = CsvStream::Open(std::make_unique<MemoryTextSource>(text), std::nullopt, limits);
    ASSERT_TRUE(std::holds_alternative<std::unique_ptr<CsvStream>>(opened));
    CsvStream& stream = *std::get<std::unique_ptr<CsvStream>>(opened);
    EXPECT_EQ(stream.sampleCount(), 300'000'001);
    EXPECT_DOUBLE_EQ(stream.samplePeriod(), 1e-6);
    std::vector<std::int64_t> at;
    SampleChange change{};
    while (stream.next(change))
        at.push_back(change.index);
    EXPECT_EQ(at, (std::vector<std::int64_t>{0, 1, 3, 300'000'000}));
}

TEST(CsvStream, TimesAreWrittenAsPrintfWritesThem)
{
    for (const double period : {1.0 / 3e6, 1e-6, 41.666666666666664e-9, 2.5e-3}) {
        CaptureSamples capture = NoisyCapture(400, 4);
        capture.samplePeriod = period;
        capture.firstSampleTime = -137 * period;
        const std::string text = WriteCaptureCsv(capture);
        std::size_t at = text.find('\n') + 1;
        for (std::size_t i = 0; i < 400; ++i) {
            char expected[40];
            std::snprintf(expected, sizeof expected, "%.12g", capture.firstSampleTime + period * static_cast<double>(i));
            const std::size_t comma = text.find(',', at);
            ASSERT_EQ(text.substr(at, comma - at), expected) << period << " row " << i;
            at = text.find('\n', at) + 1;
        }
    }
}

} // namespace
} // namespace tesmar
