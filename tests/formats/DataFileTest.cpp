#include "formats/DataFile.h"
#include "formats/DataFileBytes.h"
#include "formats/DataFileLoad.h"
#include "formats/DataFileSource.h"
#include "text/MessageTable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tesmar {
namespace {

template <class T> const T& Settings(const DataFile& file) { return std::get<T>(file.settings); }

DataFile ReadOk(const std::vector<std::uint8_t>& bytes)
{
    auto result = ReadDataFile(bytes);
    if (auto* error = std::get_if<DataFileReadError>(&result))
        ADD_FAILURE() << "refused: problem " << static_cast<int>(error->problem) << " at " << error->offset;
    return std::get<DataFile>(std::move(result));
}

TEST(DataFile, OscilloscopeWithOnlyChannelBWritesOneDataChunk)
{
    OscSettingsChunk settings;
    settings.samplePeriod = 1e-6;
    settings.cbOscZoom = 15;
    settings.sbOscOnCh2 = true;
    settings.knOscCh1 = 3;
    settings.knOscCh2 = 0x1234;
    settings.triggerLevelB = -0.5;
    settings.firstTimeB = -3.2e-5;
    settings.timeAxis = {1e-3, -1e-4};
    settings.paramsB = {0.1, 0.2, 1.5, -1.5, 1000};
    DataFile file{settings, {}, std::nullopt, std::vector<double>{1.5, -2.25, 0.0}, {}, {}};
    const auto bytes = WriteDataFile(file);
    // settings, empty remark, one 0x82 chunk of 3 floats, end chunk
    ASSERT_EQ(bytes.size(), static_cast<std::size_t>(kOscSettingsLength + 9 + 9 + 24 + 5));
    EXPECT_EQ(bytes[0], 0x80);
    EXPECT_EQ(bytes[5], 0x10); // format mark
    EXPECT_EQ(bytes[kOscSettingsLength], 0x01);
    EXPECT_EQ(bytes[kOscSettingsLength + 9], 0x82);
    EXPECT_EQ(bytes.back(), 0);
    EXPECT_EQ(bytes[bytes.size() - 5], 0);
    // knOscCh2 index at offset 20, little-endian
    EXPECT_EQ(bytes[20], 0x34);
    EXPECT_EQ(bytes[21], 0x12);

    const DataFile back = ReadOk(bytes);
    EXPECT_EQ(Settings<OscSettingsChunk>(back), settings);
    EXPECT_FALSE(back.channelA);
    ASSERT_TRUE(back.channelB);
    EXPECT_EQ(*back.channelB, (std::vector<double>{1.5, -2.25, 0.0}));
}

TEST(DataFile, EverySettingsChunkKeepsItsLengthAndFields)
{
    SpectrumSettingsChunk spectrum;
    spectrum.sampleRate = 100000;
    spectrum.spbtFFTCh10dB = true;
    spectrum.knFFTCh2 = 7;
    spectrum.frequencyAxis = {50000, 0};
    spectrum.summary = {1, 2, 3, 4, 5, 6};
    spectrum.cbFFTKNIMax = true;
    spectrum.edFFTKNIF = "1000";
    spectrum.lbFFTKNI1Ch1 = "0,12 %";
    spectrum.lbFFTF1Ch2 = "очень длинный текст"; // cut to 9 characters

    RecorderSettingsChunk recorder;
    recorder.samplePeriod = 0.01;
    recorder.knRecTimeDiv = 12;
    recorder.lbRecRunTime = "00:01:02:003";
    recorder.lbRecUsrCh2 = "1,25 В";
    recorder.markers[0] = {true, "старт", 0x0000FF, 0.5};
    recorder.markers[98] = {true, std::string(200, 'x'), 0xFF0000, 1.25};

    LogicSettingsChunk logic;
    logic.sampleRate = 2666666.6666666665;
    logic.cbLANZoom = 20;
    logic.sbLANModeBusA = true;
    logic.modeByte = 5;
    logic.displayMask = 0x0F;
    logic.timeUnitFactor = 1000;
    logic.firstSampleTime = -0.012;
    logic.timeAxis = {0.5, -0.012};

    const struct {
        DataFileSettings settings;
        std::size_t length;
    } cases[] = {{spectrum, kSpectrumSettingsLength}, {recorder, kRecorderSettingsLength}, {logic, kLogicSettingsLength}};
    for (const auto& c : cases) {
        DataFile file{c.settings, {"a"}, {}, {}, {}, {}};
        const auto bytes = WriteDataFile(file);
        EXPECT_EQ(bytes.size(), c.length + 9 + 3 + 5);
        EXPECT_EQ(DataFileFieldReader(bytes).i32(1), static_cast<std::int32_t>(c.length));
        const DataFile back = ReadOk(bytes);
        ASSERT_EQ(back.settings.index(), c.settings.index());
        if (c.settings.index() == 1) {
            auto expected = spectrum;
            expected.lbFFTF1Ch2 = "очень дли";
            EXPECT_EQ(Settings<SpectrumSettingsChunk>(back), expected);
            // text[9] of edFFTKNIF at 203: length byte, then the characters
            EXPECT_EQ(bytes[203], 4);
            EXPECT_EQ(bytes[204], '1');
        } else if (c.settings.index() == 2) {
            auto expected = recorder;
            expected.markers[98].comment = std::string(128, 'x');
            EXPECT_EQ(Settings<RecorderSettingsChunk>(back), expected);
            // marker 99's slot starts at 145 + 142 × 98
            EXPECT_EQ(bytes[145 + 142 * 98], 1);
            EXPECT_EQ(bytes[145 + 142], 0); // marker 2 absent
        } else {
            EXPECT_EQ(Settings<LogicSettingsChunk>(back), logic);
        }
    }
}

TEST(DataFile, SpectrumChunkOf2049ValuesReadsWhole)
{
    SpectrumSettingsChunk settings;
    std::vector<double> values(2049);
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = static_cast<double>(i) * 0.5;
    const DataFile back = ReadOk(WriteDataFile({settings, {}, values, {}, {}, {}}));
    ASSERT_TRUE(back.channelA);
    EXPECT_EQ(back.channelA->size(), 2049u); // transform length 2 × 2049 − 2 = 4096 for the page
    EXPECT_EQ(back.channelA->back(), 1024.0);
}

TEST(DataFile, LogicFileWithBusAOnlyHasNoBusBChunk)
{
    LogicSettingsChunk settings;
    settings.sampleRate = 24e6;
    settings.sbLANModeBusG = true;
    const std::vector<std::uint8_t> busA = {0x00, 0xFF, 0x55};
    const auto bytes = WriteDataFile({settings, {}, {}, {}, busA, std::nullopt});
    ASSERT_EQ(bytes.size(), static_cast<std::size_t>(kLogicSettingsLength + 9 + 9 + 3 + 5));
    EXPECT_EQ(bytes[kLogicSettingsLength + 9], 0xB1);
    const DataFile back = ReadOk(bytes);
    EXPECT_EQ(*back.busA, busA);
    EXPECT_FALSE(back.busB);
}

TEST(DataFile, RemarkLinesEndWithCrLfInCp1251)
{
    EXPECT_EQ(EncodeRemark({"a", "b"}), (std::vector<std::uint8_t>{'a', '\r', '\n', 'b', '\r', '\n'}));
    EXPECT_EQ(EncodeRemark({"Я"}), (std::vector<std::uint8_t>{0xDF, '\r', '\n'}));
    EXPECT_TRUE(EncodeRemark({}).empty());
    const struct {
        std::vector<std::uint8_t> payload;
        std::vector<std::string> lines;
    } cases[] = {{{'a', '\r', '\n', 'b', '\r', '\n'}, {"a", "b"}},
                 {{'a', '\r', '\n', '\r', '\n'}, {"a", ""}},
                 {{'a', '\r', '\n', 'b'}, {"a", "b"}},
                 {{0xDF, 'x', '\n'}, {"Яx"}},
                 {{}, {}}};
    for (const auto& c : cases)
        EXPECT_EQ(DecodeRemark(c.payload), c.lines);

    OscSettingsChunk settings;
    const auto bytes = WriteDataFile({settings, {"a", "b"}, {}, {}, {}, {}});
    EXPECT_EQ(DataFileFieldReader(std::span(bytes).subspan(kOscSettingsLength)).i32(5), 6);
    EXPECT_EQ(ReadOk(bytes).remarkLines, (std::vector<std::string>{"a", "b"}));
}

TEST(DataFile, ExtensionRule)
{
    const struct {
        const char* typed;
        const char* saved;
    } cases[] = {{"run1", "run1.dat"},
                 {"RUN1.DAT", "RUN1.DAT"},
                 {"/home/u/data.dat/run1", "/home/u/data.dat/run1"},
                 {"run1.txt", "run1.txt.dat"},
                 {"run1.Dat", "run1.Dat"},
                 {"", ".dat"}};
    for (const auto& c : cases)
        EXPECT_EQ(WithDataFileExtension(c.typed), c.saved) << c.typed;
}

std::vector<std::uint8_t> ValidLogicFile()
{
    LogicSettingsChunk settings;
    settings.sampleRate = 1e6;
    return WriteDataFile({settings, {"r"}, {}, {}, std::vector<std::uint8_t>(100, 0xA5), std::vector<std::uint8_t>(10, 1)});
}

void PutI32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::int32_t value)
{
    for (int k = 0; k < 4; ++k)
        bytes[offset + k] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * k));
}

// The logic settings hold the sample rate as a double at byte 6.
std::vector<std::uint8_t> WithRate(std::vector<std::uint8_t> bytes, double rate)
{
    std::memcpy(bytes.data() + 6, &rate, sizeof rate);
    return bytes;
}

TEST(DataFile, DamagedFilesAreRefused)
{
    const auto valid = ValidLogicFile();
    const std::size_t remark = kLogicSettingsLength;
    const std::size_t busA = remark + 9 + 3;
    const struct {
        const char* name;
        std::vector<std::uint8_t> bytes;
        DataFileProblem problem;
    } cases[] = {
        {"empty", {}, DataFileProblem::UnknownFormat},
        {"first byte 0x81", [&] { auto b = valid; b[0] = 0x81; return b; }(), DataFileProblem::UnknownFormat},
        {"only the type", {0xB0}, DataFileProblem::UnknownFormat},
        {"settings over 64 K", [&] { auto b = valid; PutI32(b, 1, 65537); return b; }(), DataFileProblem::SettingsTooLong},
        {"settings past the end", std::vector<std::uint8_t>(valid.begin(), valid.begin() + 500), DataFileProblem::ChunkPastEnd},
        {"negative settings length", [&] { auto b = valid; PutI32(b, 1, -5); return b; }(), DataFileProblem::BadChunkLength},
        {"negative count", [&] { auto b = valid; PutI32(b, busA + 5, -1); return b; }(), DataFileProblem::BadCount},
        {"huge count", [&] { auto b = valid; PutI32(b, busA + 5, 0x7FFFFFFF); return b; }(), DataFileProblem::ChunkPastEnd},
        {"huge remark", [&] { auto b = valid; PutI32(b, remark + 5, 1 << 30); return b; }(), DataFileProblem::ChunkPastEnd},
        {"truncated data", std::vector<std::uint8_t>(valid.begin(), valid.begin() + busA + 50), DataFileProblem::ChunkPastEnd},
        {"no end chunk", std::vector<std::uint8_t>(valid.begin(), valid.end() - 5), DataFileProblem::MissingEnd},
        {"cut end chunk", std::vector<std::uint8_t>(valid.begin(), valid.end() - 2), DataFileProblem::MissingEnd},
        {"no remark", std::vector<std::uint8_t>(valid.begin(), valid.begin() + remark), DataFileProblem::MissingEnd},
        {"unknown chunk with short length", [&] { auto b = valid; b[busA] = 0x42; PutI32(b, busA + 1, 3); return b; }(),
         DataFileProblem::BadChunkLength},
        {"sample rate 0", WithRate(valid, 0.0), DataFileProblem::BadSampleRate},
        {"negative sample rate", WithRate(valid, -1e6), DataFileProblem::BadSampleRate},
        {"sample rate NaN", WithRate(valid, std::nan("")), DataFileProblem::BadSampleRate},
        {"infinite sample rate", WithRate(valid, HUGE_VAL), DataFileProblem::BadSampleRate},
        {"denormal sample rate: an infinite period", WithRate(valid, 2.7e-312), DataFileProblem::BadSampleRate},
    };
    const std::string path = testing::TempDir() + "/damaged.dat";
    for (const auto& c : cases) {
        const auto result = ReadDataFile(c.bytes);
        ASSERT_TRUE(std::holds_alternative<DataFileReadError>(result)) << c.name;
        EXPECT_EQ(std::get<DataFileReadError>(result).problem, c.problem) << c.name;
        // Read from the file in pieces, the same problem at the same place.
        std::ofstream(path, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(c.bytes.data()), static_cast<std::streamsize>(c.bytes.size()));
        std::string problem;
        const auto source = FileDataSource::Open(path, problem);
        ASSERT_TRUE(source) << problem;
        const auto scanned = ScanDataFile(*source);
        ASSERT_TRUE(std::holds_alternative<DataFileReadError>(scanned)) << c.name;
        EXPECT_EQ(std::get<DataFileReadError>(scanned).problem, c.problem) << c.name;
        EXPECT_EQ(std::get<DataFileReadError>(scanned).offset, std::get<DataFileReadError>(result).offset) << c.name;
    }
}

TEST(DataFile, UnknownChunksAreSkippedByTheirLength)
{
    auto bytes = ValidLogicFile();
    // An oscilloscope data chunk inside a logic file: skipped.
    const std::size_t busA = kLogicSettingsLength + 9 + 3;
    std::vector<std::uint8_t> foreign = {0x81, 9 + 8, 0, 0, 0, 1, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8};
    bytes.insert(bytes.begin() + busA, foreign.begin(), foreign.end());
    const DataFile back = ReadOk(bytes);
    EXPECT_EQ(back.busA->size(), 100u);
    EXPECT_EQ(back.busB->size(), 10u);
}

TEST(DataFile, ErrorTextsNameTheFile)
{
    const MessageTable table;
    EXPECT_EQ(DataFileErrorText({DataFileProblem::UnknownFormat, 0}, "/tmp/x.dat", table),
              "Не возможно открыть выбранный файл:\r/tmp/x.dat\rНе известный формат файла.");
    const std::string damaged = DataFileErrorText({DataFileProblem::MissingEnd, 1200}, "/tmp/x.dat", table);
    EXPECT_EQ(damaged.rfind("Не возможно открыть выбранный файл:\r/tmp/x.dat\r", 0), 0u);
    EXPECT_NE(damaged.find("1200"), std::string::npos);
}

} // namespace
} // namespace tesmar

namespace tesmar {
namespace {

std::string Contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(DataFileSaving, StreamedFileHasTheBytesOfTheWholeOne)
{
    DataFile file{RecorderSettingsChunk{}, {"a", "b"}, std::vector<double>(70000), std::vector<double>(70000), {}, {}};
    for (std::size_t i = 0; i < 70000; ++i)
        (*file.channelA)[i] = std::sin(i * 0.01), (*file.channelB)[i] = -double(i);
    std::get<RecorderSettingsChunk>(file.settings).samplePeriod = 1e-3;
    const std::string path = testing::TempDir() + "/streamed.dat";
    ASSERT_EQ(SaveDataFile(path, file), "");
    const std::vector<std::uint8_t> whole = WriteDataFile(file);
    EXPECT_EQ(Contents(path), std::string(whole.begin(), whole.end()));
}

// Values handed out in pieces of `pieceSize` (the last one shorter), as a record in chunks is.
DataValues InPieces(const std::vector<double>& values, std::size_t pieceSize)
{
    return {values.size(), [&values, pieceSize](std::size_t first) {
                return std::span<const double>(values).subspan(first, std::min(pieceSize, values.size() - first));
            }};
}

TEST(DataFileSaving, ValuesInPiecesGiveTheBytesOfTheWholeFile)
{
    std::vector<double> many(300'000), few{1.5, -2.25, 1e300};
    for (std::size_t i = 0; i < many.size(); ++i)
        many[i] = std::sin(double(i) * 0.001) * 10;
    const struct {
        const char* name;
        const std::vector<double>* a;
        const std::vector<double>* b;
        std::size_t pieceSize;
    } cases[] = {
        {"small, channel A", &few, nullptr, 2},
        {"small, channel B", nullptr, &few, 1},
        {"both, pieces cross every block", &many, &many, 262'144},
        {"odd pieces", &many, &few, 7'777},
        {"no values", nullptr, nullptr, 1},
    };
    const std::string path = testing::TempDir() + "/pieces.dat";
    for (const auto& c : cases) {
        RecorderSettingsChunk settings;
        settings.samplePeriod = 1e-3;
        settings.markers[4] = {true, "пик", 0x0000FF, 0.25};
        DataFile whole{settings, {"строка", ""}, {}, {}, {}, {}};
        DataFileView view{whole, {}, {}};
        if (c.a)
            whole.channelA = *c.a, view.channelA = InPieces(*c.a, c.pieceSize);
        if (c.b)
            whole.channelB = *c.b, view.channelB = InPieces(*c.b, c.pieceSize);
        const std::vector<std::uint8_t> expected = WriteDataFile(whole);
        std::ostringstream out;
        WriteDataFile(view, out);
        EXPECT_EQ(out.str(), std::string(expected.begin(), expected.end())) << c.name;
        ASSERT_EQ(SaveDataFile(path, view), "") << c.name;
        EXPECT_EQ(Contents(path), std::string(expected.begin(), expected.end())) << c.name;

        // Checked by its headers, then its values read at any place.
        std::string problem;
        const auto source = FileDataSource::Open(path, problem);
        ASSERT_TRUE(source) << problem;
        auto scanned = ScanDataFile(*source);
        ASSERT_TRUE(std::holds_alternative<DataFileScan>(scanned)) << c.name;
        const DataFileScan& scan = std::get<DataFileScan>(scanned);
        EXPECT_EQ(scan.head.remarkLines, whole.remarkLines);
        EXPECT_TRUE(std::get<RecorderSettingsChunk>(scan.head.settings).markers[4].exists);
        EXPECT_FALSE(scan.head.channelA || scan.head.channelB); // the values stay in the file
        ASSERT_EQ(scan.chunkA.has_value(), c.a != nullptr);
        ASSERT_EQ(scan.chunkB.has_value(), c.b != nullptr);
        if (c.a) {
            std::vector<double> tail(2);
            const std::size_t first = c.a->size() - 2;
            ASSERT_TRUE(ReadDataFileFloats(*source, *scan.chunkA, first, tail));
            EXPECT_EQ(tail, std::vector<double>(c.a->end() - 2, c.a->end()));
            std::vector<double> pastEnd(3);
            EXPECT_FALSE(ReadDataFileFloats(*source, *scan.chunkA, first, pastEnd));
        }
        auto read = ReadDataFile(*source);
        ASSERT_TRUE(std::holds_alternative<DataFile>(read)) << c.name;
        EXPECT_EQ(WriteDataFile(std::get<DataFile>(read)), expected) << c.name;
    }
}

TEST(DataFileSaving, FailedWriteLeavesTheOlderFileWhole)
{
    const std::string path = testing::TempDir() + "/kept.dat";
    std::ofstream(path, std::ios::binary) << "older measurement";
    EXPECT_FALSE(WriteFileWith(path, [](std::ostream& out) {
        out << "half of a new one";
        out.setstate(std::ios::badbit); // a full disk
    }));
    EXPECT_EQ(Contents(path), "older measurement");
    EXPECT_FALSE(std::filesystem::exists(path + ".part"));
    // A folder that cannot be written: nothing changes either.
    EXPECT_NE(SaveDataFile(testing::TempDir() + "/no such folder/x.dat", DataFile{OscSettingsChunk{}, {}, {}, {}, {}, {}}),
              "");
    EXPECT_TRUE(WriteFileWith(path, [](std::ostream& out) { out << "new"; }));
    // A record written piece by piece that fails halfway leaves the older file too.
    const std::vector<double> values(1000, 1.0);
    EXPECT_FALSE(WriteFileWith(path, [&](std::ostream& out) {
        DataValues failing = InPieces(values, 100);
        failing.piece = [&](std::size_t first) {
            if (first >= 500)
                out.setstate(std::ios::badbit); // the disk fills up
            return std::span<const double>(values).subspan(first, 100);
        };
        WriteDataFile(DataFileView{DataFile{RecorderSettingsChunk{}, {}, {}, {}, {}, {}}, failing, {}}, out);
    }));
    EXPECT_EQ(Contents(path), "new");
    EXPECT_EQ(Contents(path), "new");
}

} // namespace
} // namespace tesmar
