#include "formats/DataFile.h"

#include "text/Cp1251.h"
#include "formats/DataFileBytes.h"
#include "text/MessageFormat.h"
#include "text/MessageTable.h"

#include <algorithm>
#include <cmath>
#include <bit>
#include <cctype>

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

class ChunkCursor {
public:
    explicit ChunkCursor(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::size_t offset() const { return offset_; }
    std::size_t remaining() const { return bytes_.size() - offset_; }
    std::span<const std::uint8_t> take(std::size_t count)
    {
        auto part = bytes_.subspan(offset_, count);
        offset_ += count;
        return part;
    }
    std::span<const std::uint8_t> peek(std::size_t count) const { return bytes_.subspan(offset_, count); }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t offset_ = 0;
};

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
    std::vector<std::uint8_t> block;
    auto flush = [&] {
        out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size()));
        block.clear();
    };
    std::visit([&](const auto& chunk) { WriteSettingsChunk(chunk, block); }, file.settings);
    DataFileByteWriter w(block);
    WriteBytes(w, kRemarkChunk, EncodeRemark(file.remarkLines));
    flush();
    constexpr std::size_t kBlockValues = 65536;
    const DataFilePage page = file.page();
    auto floats = [&](std::uint8_t type, const std::vector<double>& values) {
        WriteChunkHeader(w, type, 8, values.size());
        for (std::size_t i = 0; i < values.size(); ++i) {
            w.f64(values[i]);
            if (block.size() >= kBlockValues * 8)
                flush();
        }
        flush();
    };
    auto bytes = [&](std::uint8_t type, const std::vector<std::uint8_t>& values) {
        WriteChunkHeader(w, type, 1, values.size());
        flush();
        out.write(reinterpret_cast<const char*>(values.data()), static_cast<std::streamsize>(values.size()));
    };
    if (page == DataFilePage::Logic) {
        if (file.busA)
            bytes(DataChunkTypeA(page), *file.busA);
        if (file.busB)
            bytes(DataChunkTypeB(page), *file.busB);
    } else {
        if (file.channelA)
            floats(DataChunkTypeA(page), *file.channelA);
        if (file.channelB)
            floats(DataChunkTypeB(page), *file.channelB);
    }
    w.u8(kEndChunk);
    w.i32(0);
    flush();
}

bool DataFileFitsFormat(const DataFile& file)
{
    constexpr std::size_t kMaxChunk = 0x7FFFFFFF;
    auto fits = [](std::size_t count, std::size_t size) { return count <= (kMaxChunk - kDataChunkHeader) / size; };
    return fits(file.channelA ? file.channelA->size() : 0, 8) && fits(file.channelB ? file.channelB->size() : 0, 8) &&
           fits(file.busA ? file.busA->size() : 0, 1) && fits(file.busB ? file.busB->size() : 0, 1) &&
           fits(EncodeRemark(file.remarkLines).size(), 1);
}

std::variant<DataFile, DataFileReadError> ReadDataFile(std::span<const std::uint8_t> bytes)
{
    ChunkCursor cursor(bytes);
    auto fail = [&](DataFileProblem problem) { return DataFileReadError{problem, cursor.offset()}; };

    if (cursor.remaining() < 5 || !SettingsLength(bytes[0]))
        return fail(DataFileProblem::UnknownFormat);
    const DataFileFieldReader head(cursor.peek(5));
    const std::int32_t settingsLength = head.i32(1);
    if (settingsLength > kMaxSettingsChunk)
        return fail(DataFileProblem::SettingsTooLong);
    if (settingsLength < 5)
        return fail(DataFileProblem::BadChunkLength);
    if (static_cast<std::size_t>(settingsLength) > cursor.remaining())
        return fail(DataFileProblem::ChunkPastEnd);
    const auto settingsBytes = cursor.take(static_cast<std::size_t>(settingsLength));

    DataFile file;
    switch (static_cast<DataFilePage>(bytes[0])) {
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
        if (cursor.remaining() < 1)
            return fail(DataFileProblem::MissingEnd);
        const std::uint8_t type = cursor.peek(1)[0];
        if (type == kEndChunk && remarkRead) {
            if (cursor.remaining() < 5)
                return fail(DataFileProblem::MissingEnd);
            break;
        }
        if (cursor.remaining() < kDataChunkHeader)
            return fail(remarkRead ? DataFileProblem::MissingEnd : DataFileProblem::ChunkPastEnd);
        const DataFileFieldReader header(cursor.peek(kDataChunkHeader));
        const std::int32_t length = header.i32(1);
        const std::int32_t count = header.i32(5);
        if (count < 0)
            return fail(DataFileProblem::BadCount);

        const bool isData = remarkRead && (type == DataChunkTypeA(page) || type == DataChunkTypeB(page));
        if (!remarkRead || isData) {
            const std::size_t size = remarkRead ? elementSize : 1;
            if (static_cast<std::uint64_t>(count) * size > cursor.remaining() - kDataChunkHeader)
                return fail(DataFileProblem::ChunkPastEnd);
            cursor.take(kDataChunkHeader);
            const auto payload = cursor.take(static_cast<std::size_t>(count) * size);
            if (!remarkRead) {
                file.remarkLines = DecodeRemark(payload);
                remarkRead = true;
            } else if (page == DataFilePage::Logic) {
                (type == DataChunkTypeA(page) ? file.busA : file.busB).emplace(payload.begin(), payload.end());
            } else {
                std::vector<double> values(static_cast<std::size_t>(count));
                const DataFileFieldReader reader(payload);
                for (std::size_t i = 0; i < values.size(); ++i)
                    values[i] = reader.f64(8 * i);
                (type == DataChunkTypeA(page) ? file.channelA : file.channelB) = std::move(values);
            }
            continue;
        }
        // A chunk this page does not hold: skipped by its length.
        if (length < static_cast<std::int32_t>(kDataChunkHeader))
            return fail(DataFileProblem::BadChunkLength);
        if (static_cast<std::size_t>(length) > cursor.remaining())
            return fail(DataFileProblem::ChunkPastEnd);
        cursor.take(static_cast<std::size_t>(length));
    }
    // Every time of a capture is derived from its rate: without a usable one it cannot be shown.
    if (const auto* logic = std::get_if<LogicSettingsChunk>(&file.settings);
        logic && (file.busA || file.busB) && !(std::isfinite(logic->sampleRate) && logic->sampleRate > 0))
        return DataFileReadError{DataFileProblem::BadSampleRate, 6}; // where the rate is stored
    return file;
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
