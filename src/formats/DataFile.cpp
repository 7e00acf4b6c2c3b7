#include "formats/DataFile.h"

#include "text/Cp1251.h"
#include "formats/DataFileBytes.h"
#include "formats/DataFileSource.h"
#include "text/MessageFormat.h"
#include "text/MessageTable.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <cmath>
#include <cstring>

namespace tesmar {

namespace {

void WriteChunkHeader(DataFileByteWriter& w, std::uint8_t type, std::size_t elementSize, std::size_t count)
{
    w.u8(type);
    w.i32(static_cast<std::int32_t>(kDataChunkHeader + count * elementSize));
    w.i32(static_cast<std::int32_t>(count));
}

void WriteFloats(DataFileByteWriter& w, std::uint8_t type, const std::vector<double>& values)
{
    WriteChunkHeader(w, type, 8, values.size());
    for (double value : values)
        w.f64(value);
}

void WriteBytes(DataFileByteWriter& w, std::uint8_t type, const std::vector<std::uint8_t>& values)
{
    WriteChunkHeader(w, type, 1, values.size());
    w.bytes(values);
}

std::optional<int> SettingsLength(std::uint8_t type)
{
    switch (type) {
    case 0x80: return kOscSettingsLength;
    case 0x90: return kSpectrumSettingsLength;
    case 0xA0: return kRecorderSettingsLength;
    case 0xB0: return kLogicSettingsLength;
    default: return std::nullopt;
    }
}

// Walks the chunks of a file read at offsets; only headers and the remark are read.
class ChunkCursor {
public:
    explicit ChunkCursor(DataFileSource& source) : source_(source), size_(source.size()) {}
    std::uint64_t offset() const { return offset_; }
    std::uint64_t remaining() const { return size_ - offset_; }
    void skip(std::uint64_t count) { offset_ += count; }
    // The next `count` bytes without moving on; false when they cannot be read.
    bool peek(std::span<std::uint8_t> out) { return source_.read(offset_, out.data(), out.size()); }

private:
    DataFileSource& source_;
    std::uint64_t size_;
    std::uint64_t offset_ = 0;
};

constexpr std::size_t kWriteBlockValues = 65536;

// The values of one data chunk, piece by piece, as little-endian bytes.
void WriteFloatChunk(std::ostream& out, std::uint8_t type, const DataValues& values)
{
    std::vector<std::uint8_t> block;
    DataFileByteWriter w(block);
    WriteChunkHeader(w, type, 8, values.count);
    out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size()));
    block.clear();
    for (std::size_t first = 0; first < values.count && out;) {
        std::span<const double> piece = values.piece(first);
        piece = piece.first(std::min(piece.size(), values.count - first));
        if (piece.empty())
            break;
        if constexpr (std::endian::native == std::endian::little) {
            out.write(reinterpret_cast<const char*>(piece.data()), static_cast<std::streamsize>(piece.size_bytes()));
        } else {
            for (std::size_t i = 0; i < piece.size(); i += kWriteBlockValues) {
                for (std::size_t k = i; k < std::min(piece.size(), i + kWriteBlockValues); ++k)
                    w.f64(piece[k]);
                out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size()));
                block.clear();
            }
        }
        first += piece.size();
    }
}

DataValues ValuesOf(const std::vector<double>& values)
{
    return {values.size(), [&values](std::size_t first) { return std::span<const double>(values).subspan(first); }};
}

bool Fits(std::size_t count, std::size_t size)
{
    constexpr std::size_t kMaxChunk = 0x7FFFFFFF;
    return count <= (kMaxChunk - kDataChunkHeader) / size;
}

} // namespace

DataFilePage DataFile::page() const
{
    // In the order of the settings variant.
    static constexpr DataFilePage kPages[] = {DataFilePage::Oscilloscope, DataFilePage::Spectrum,
                                              DataFilePage::Recorder, DataFilePage::Logic};
    return kPages[settings.index()];
}

std::uint8_t DataChunkTypeA(DataFilePage page) { return static_cast<std::uint8_t>(static_cast<int>(page) + 1); }
std::uint8_t DataChunkTypeB(DataFilePage page) { return static_cast<std::uint8_t>(static_cast<int>(page) + 2); }

std::vector<std::uint8_t> EncodeRemark(const std::vector<std::string>& lines)
{
    std::vector<std::uint8_t> payload;
    for (const std::string& line : lines) {
        for (char c : Utf8ToCp1251(line))
            payload.push_back(static_cast<std::uint8_t>(c));
        payload.push_back('\r');
        payload.push_back('\n');
    }
    return payload;
}

std::vector<std::string> DecodeRemark(std::span<const std::uint8_t> payload)
{
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < payload.size(); ++i) {
        const char c = static_cast<char>(payload[i]);
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < payload.size() && payload[i + 1] == '\n')
                ++i;
            lines.push_back(Cp1251ToUtf8(line));
            line.clear();
        } else {
            line.push_back(c);
        }
    }
    if (!line.empty())
        lines.push_back(Cp1251ToUtf8(line));
    return lines;
}

std::vector<std::uint8_t> WriteDataFile(const DataFile& file)
{
    std::vector<std::uint8_t> out;
    std::visit([&](const auto& chunk) { WriteSettingsChunk(chunk, out); }, file.settings);
    DataFileByteWriter w(out);
    WriteBytes(w, kRemarkChunk, EncodeRemark(file.remarkLines));
    const DataFilePage page = file.page();
    if (page == DataFilePage::Logic) {
        if (file.busA)
            WriteBytes(w, DataChunkTypeA(page), *file.busA);
        if (file.busB)
            WriteBytes(w, DataChunkTypeB(page), *file.busB);
    } else {
        if (file.channelA)
            WriteFloats(w, DataChunkTypeA(page), *file.channelA);
        if (file.channelB)
            WriteFloats(w, DataChunkTypeB(page), *file.channelB);
    }
    w.u8(kEndChunk);
    w.i32(0);
    return out;
}

void WriteDataFile(const DataFile& file, std::ostream& out)
{
    if (file.page() != DataFilePage::Logic) {
        DataFileView view{file, {}, {}};
        if (file.channelA)
            view.channelA = ValuesOf(*file.channelA);
        if (file.channelB)
            view.channelB = ValuesOf(*file.channelB);
        WriteDataFile(view, out);
        return;
    }
    std::vector<std::uint8_t> block;
    std::visit([&](const auto& chunk) { WriteSettingsChunk(chunk, block); }, file.settings);
    DataFileByteWriter w(block);
    WriteBytes(w, kRemarkChunk, EncodeRemark(file.remarkLines));
    auto flush = [&] {
        out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size()));
        block.clear();
    };
    auto bytes = [&](std::uint8_t type, const std::vector<std::uint8_t>& values) {
        WriteChunkHeader(w, type, 1, values.size());
        flush();
        out.write(reinterpret_cast<const char*>(values.data()), static_cast<std::streamsize>(values.size()));
    };
    if (file.busA)
        bytes(DataChunkTypeA(DataFilePage::Logic), *file.busA);
    if (file.busB)
        bytes(DataChunkTypeB(DataFilePage::Logic), *file.busB);
    w.u8(kEndChunk);
    w.i32(0);
    flush();
}

void WriteDataFile(const DataFileView& file, std::ostream& out)
{
    const DataFile& head = file.head;
    std::vector<std::uint8_t> block;
    std::visit([&](const auto& chunk) { WriteSettingsChunk(chunk, block); }, head.settings);
    DataFileByteWriter w(block);
    WriteBytes(w, kRemarkChunk, EncodeRemark(head.remarkLines));
    out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size()));
    const DataFilePage page = head.page();
    if (file.channelA)
        WriteFloatChunk(out, DataChunkTypeA(page), *file.channelA);
    if (file.channelB)
        WriteFloatChunk(out, DataChunkTypeB(page), *file.channelB);
    block.clear();
    w.u8(kEndChunk);
    w.i32(0);
    out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size()));
}

bool DataFileFitsFormat(const DataFile& file)
{
    return Fits(file.channelA ? file.channelA->size() : 0, 8) && Fits(file.channelB ? file.channelB->size() : 0, 8) &&
           Fits(file.busA ? file.busA->size() : 0, 1) && Fits(file.busB ? file.busB->size() : 0, 1) &&
           Fits(EncodeRemark(file.remarkLines).size(), 1);
}

bool DataFileFitsFormat(const DataFileView& file)
{
    return Fits(file.channelA ? file.channelA->count : 0, 8) && Fits(file.channelB ? file.channelB->count : 0, 8) &&
           Fits(EncodeRemark(file.head.remarkLines).size(), 1);
}

std::variant<DataFileScan, DataFileReadError> ScanDataFile(DataFileSource& source)
{
    ChunkCursor cursor(source);
    auto fail = [&](DataFileProblem problem) {
        return DataFileReadError{problem, static_cast<std::size_t>(cursor.offset())};
    };

    std::array<std::uint8_t, kDataChunkHeader> header{};
    if (cursor.remaining() < 5 || !cursor.peek(std::span(header).first(5)) || !SettingsLength(header[0]))
        return fail(DataFileProblem::UnknownFormat);
    const std::uint8_t settingsType = header[0];
    const std::int32_t settingsLength = DataFileFieldReader(header).i32(1);
    if (settingsLength > kMaxSettingsChunk)
        return fail(DataFileProblem::SettingsTooLong);
    if (settingsLength < 5)
        return fail(DataFileProblem::BadChunkLength);
    if (static_cast<std::uint64_t>(settingsLength) > cursor.remaining())
        return fail(DataFileProblem::ChunkPastEnd);
    std::vector<std::uint8_t> settingsBytes(static_cast<std::size_t>(settingsLength));
    if (!cursor.peek(settingsBytes))
        return fail(DataFileProblem::ChunkPastEnd);
    cursor.skip(settingsBytes.size());

    DataFileScan scan;
    DataFile& file = scan.head;
    switch (static_cast<DataFilePage>(settingsType)) {
    case DataFilePage::Oscilloscope: file.settings = ReadOscSettings(settingsBytes); break;
    case DataFilePage::Spectrum: file.settings = ReadSpectrumSettings(settingsBytes); break;
    case DataFilePage::Recorder: file.settings = ReadRecorderSettings(settingsBytes); break;
    case DataFilePage::Logic: file.settings = ReadLogicSettings(settingsBytes); break;
    }
    const DataFilePage page = file.page();
    const std::size_t elementSize = page == DataFilePage::Logic ? 1 : 8;

    // The chunk after the settings is the remark whatever its type.
    bool remarkRead = false;
    for (;;) {
        if (cursor.remaining() < 1 || !cursor.peek(std::span(header).first(1)))
            return fail(DataFileProblem::MissingEnd);
        const std::uint8_t type = header[0];
        if (type == kEndChunk && remarkRead) {
            if (cursor.remaining() < 5)
                return fail(DataFileProblem::MissingEnd);
            break;
        }
        if (cursor.remaining() < kDataChunkHeader || !cursor.peek(header))
            return fail(remarkRead ? DataFileProblem::MissingEnd : DataFileProblem::ChunkPastEnd);
        const DataFileFieldReader fields(header);
        const std::int32_t length = fields.i32(1);
        const std::int32_t count = fields.i32(5);
        if (count < 0)
            return fail(DataFileProblem::BadCount);

        const bool isData = remarkRead && (type == DataChunkTypeA(page) || type == DataChunkTypeB(page));
        if (!remarkRead || isData) {
            const std::size_t size = remarkRead ? elementSize : 1;
            if (static_cast<std::uint64_t>(count) * size > cursor.remaining() - kDataChunkHeader)
                return fail(DataFileProblem::ChunkPastEnd);
            cursor.skip(kDataChunkHeader);
            const DataChunkPlace place{cursor.offset(), static_cast<std::size_t>(count)};
            if (!remarkRead) {
                std::vector<std::uint8_t> remark(place.count);
                if (!cursor.peek(remark))
                    return fail(DataFileProblem::ChunkPastEnd);
                file.remarkLines = DecodeRemark(remark);
                remarkRead = true;
            } else {
                (type == DataChunkTypeA(page) ? scan.chunkA : scan.chunkB) = place;
            }
            cursor.skip(static_cast<std::uint64_t>(count) * size);
            continue;
        }
        // A chunk this page does not hold: skipped by its length.
        if (length < static_cast<std::int32_t>(kDataChunkHeader))
            return fail(DataFileProblem::BadChunkLength);
        if (static_cast<std::uint64_t>(length) > cursor.remaining())
            return fail(DataFileProblem::ChunkPastEnd);
        cursor.skip(static_cast<std::uint64_t>(length));
    }
    // Every time of a capture is derived from its rate: without a usable one it cannot be shown.
    if (const auto* logic = std::get_if<LogicSettingsChunk>(&file.settings);
        logic && (scan.chunkA || scan.chunkB) &&
        !(std::isfinite(logic->sampleRate) && logic->sampleRate > 0 && std::isfinite(1.0 / logic->sampleRate)))
        return DataFileReadError{DataFileProblem::BadSampleRate, 6}; // where the rate is stored
    return scan;
}

bool ReadDataFileFloats(DataFileSource& source, const DataChunkPlace& chunk, std::size_t first, std::span<double> out)
{
    if (first > chunk.count || out.size() > chunk.count - first)
        return false;
    // The bytes land in the values' own memory and are turned round there when need be.
    if (!source.read(chunk.offset + 8 * static_cast<std::uint64_t>(first), out.data(), out.size_bytes()))
        return false;
    if constexpr (std::endian::native != std::endian::little) {
        for (double& value : out) {
            std::uint8_t bytes[8];
            std::memcpy(bytes, &value, 8);
            value = DataFileFieldReader(bytes).f64(0);
        }
    }
    return true;
}

std::variant<DataFile, DataFileReadError> ReadDataFile(DataFileSource& source)
{
    auto scanned = ScanDataFile(source);
    if (auto* error = std::get_if<DataFileReadError>(&scanned))
        return *error;
    DataFileScan& scan = std::get<DataFileScan>(scanned);
    DataFile file = std::move(scan.head);
    const DataFilePage page = file.page();
    for (int ch = 0; ch < 2; ++ch) {
        const std::optional<DataChunkPlace>& place = ch == 0 ? scan.chunkA : scan.chunkB;
        if (!place)
            continue;
        bool read = false;
        if (page == DataFilePage::Logic) {
            std::vector<std::uint8_t> bytes(place->count);
            read = source.read(place->offset, bytes.data(), bytes.size());
            (ch == 0 ? file.busA : file.busB) = std::move(bytes);
        } else {
            std::vector<double> values(place->count);
            read = ReadDataFileFloats(source, *place, 0, values);
            (ch == 0 ? file.channelA : file.channelB) = std::move(values);
        }
        if (!read)
            return DataFileReadError{DataFileProblem::ChunkPastEnd, static_cast<std::size_t>(place->offset)};
    }
    return file;
}

std::variant<DataFile, DataFileReadError> ReadDataFile(std::span<const std::uint8_t> bytes)
{
    MemoryDataSource source(bytes);
    return ReadDataFile(source);
}

std::string DataFileErrorText(const DataFileReadError& error, const std::string& path, const MessageTable& table)
{
    std::string text = FormatMessage(table.text(Msg::strErrDataToLoad), {path});
    if (error.problem == DataFileProblem::UnknownFormat)
        return text;
    // The table's text names the format as unknown; a damaged file says what is wrong instead.
    const auto cut = text.rfind('\r');
    if (cut != std::string::npos)
        text.resize(cut + 1);
    switch (error.problem) {
    case DataFileProblem::SettingsTooLong: text += "Блок параметров длиннее 65 536 байт."; break;
    case DataFileProblem::ChunkPastEnd: text += "Блок данных выходит за конец файла."; break;
    case DataFileProblem::BadCount: text += "Неверное количество элементов в блоке данных."; break;
    case DataFileProblem::MissingEnd: text += "Файл обрывается до завершающего блока."; break;
    case DataFileProblem::BadChunkLength: text += "Неверная длина блока."; break;
    case DataFileProblem::BadSampleRate: text += "Неверная частота дискретизации."; break;
    case DataFileProblem::UnknownFormat: break;
    }
    text += " (" + std::to_string(error.offset) + ")";
    return text;
}

std::string DataFileProblemText(const DataFileReadError& error)
{
    const char* what = "";
    switch (error.problem) {
    case DataFileProblem::UnknownFormat: return "not a measurement data file";
    case DataFileProblem::SettingsTooLong: what = "settings chunk longer than 65536 bytes"; break;
    case DataFileProblem::ChunkPastEnd: what = "a chunk runs past the end of the file"; break;
    case DataFileProblem::BadCount: what = "negative element count in a data chunk"; break;
    case DataFileProblem::MissingEnd: what = "the file ends before its end chunk"; break;
    case DataFileProblem::BadChunkLength: what = "bad chunk length"; break;
    case DataFileProblem::BadSampleRate: what = "the sample rate is not a positive number"; break;
    }
    return std::string("damaged data file: ") + what + " (at byte " + std::to_string(error.offset) + ")";
}

std::string WithDataFileExtension(const std::string& path)
{
    std::string upper = path;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (upper.find(".DAT") != std::string::npos)
        return path;
    return path + ".dat";
}

} // namespace tesmar
