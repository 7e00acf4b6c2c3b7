#include "files/DataFileLoad.h"

#include "files/CsvFile.h"
#include "files/DataFile.h"

#include <algorithm>
#include <cctype>
#include <fstream>

namespace tesmar {

std::optional<CaptureFileKind> CaptureFileKindOf(const std::string& path)
{
    const auto dot = path.rfind('.');
    if (dot == std::string::npos)
        return std::nullopt;
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == "dat")
        return CaptureFileKind::DataFile;
    if (extension == "vcd")
        return CaptureFileKind::Vcd;
    if (extension == "csv")
        return CaptureFileKind::Csv;
    return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return std::nullopt;
    return bytes;
}

bool WriteWholeFile(const std::string& path, const void* data, std::size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    return static_cast<bool>(out);
}

std::variant<CaptureImport, std::string> LoadCaptureFile(const std::string& path, const MessageTable& table)
{
    const auto kind = CaptureFileKindOf(path);
    if (!kind)
        return "unknown file type (not .dat, .vcd or .csv): " + path;
    const auto bytes = ReadWholeFile(path);
    if (!bytes)
        return "cannot read " + path;
    if (*kind == CaptureFileKind::Vcd)
        return ReadVcd(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    if (*kind == CaptureFileKind::Csv)
        return ReadCaptureCsv(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    auto file = ReadDataFile(*bytes);
    if (const auto* error = std::get_if<DataFileReadError>(&file))
        return DataFileErrorText(*error, path, table);
    const auto capture = CaptureFromDataFile(std::get<DataFile>(file));
    if (!capture)
        return path + " holds no logic analyser capture";
    return CaptureImport{*capture, {}};
}

std::string SaveCaptureFile(const std::string& path, const CaptureSamples& capture)
{
    const auto kind = CaptureFileKindOf(path);
    if (!kind)
        return "unknown file type (not .dat, .vcd or .csv): " + path;
    bool written = false;
    if (*kind == CaptureFileKind::DataFile) {
        const auto bytes = WriteDataFile(LogicDataFile(capture));
        written = WriteWholeFile(path, bytes.data(), bytes.size());
    } else {
        const std::string text = *kind == CaptureFileKind::Vcd ? WriteVcd(capture) : WriteCaptureCsv(capture);
        written = WriteWholeFile(path, text.data(), text.size());
    }
    return written ? std::string() : "cannot write " + path;
}

} // namespace tesmar
