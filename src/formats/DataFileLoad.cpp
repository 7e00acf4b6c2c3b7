#include "formats/DataFileLoad.h"

#include "formats/CsvFile.h"
#include "formats/DataFile.h"
#include "formats/SigrokSession.h"
#include "formats/VcdTimeline.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

namespace tesmar {

namespace {

// A reader's refusal names the file it came from.
std::variant<CaptureImport, std::string> WithFileName(const std::string& path, std::variant<CaptureImport, std::string> read)
{
    if (auto* refusal = std::get_if<std::string>(&read))
        *refusal = path + ": " + *refusal;
    return read;
}

} // namespace

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
    if (extension == "sr")
        return CaptureFileKind::SigrokSession;
    return std::nullopt;
}

std::variant<std::vector<std::uint8_t>, std::string> ReadFileBytes(const std::string& path)
{
    auto refusal = [&path](int error) {
        std::string reason = std::strerror(error);
        if (!reason.empty())
            reason[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(reason[0])));
        return "cannot read " + path + ": " + reason;
    };
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file)
        return refusal(errno);
    std::vector<std::uint8_t> bytes;
    std::uint8_t block[65536];
    for (;;) {
        const std::size_t got = std::fread(block, 1, sizeof block, file.get());
        bytes.insert(bytes.end(), block, block + got);
        if (got < sizeof block)
            break;
        // A device that never ends (/dev/zero) or a file no capture needs.
        if (bytes.size() > kMaxInputFileBytes)
            return "cannot read " + path + ": larger than " + std::to_string(kMaxInputFileBytes >> 30) + " GiB";
    }
    // A folder opens like a file and fails on the first read.
    if (std::ferror(file.get()))
        return refusal(errno != 0 ? errno : EIO);
    return bytes;
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path)
{
    auto bytes = ReadFileBytes(path);
    if (auto* read = std::get_if<std::vector<std::uint8_t>>(&bytes))
        return std::move(*read);
    return std::nullopt;
}

bool WriteWholeFile(const std::string& path, const void* data, std::size_t size)
{
    return WriteFileWith(path, [&](std::ostream& out) { out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size)); });
}

bool WriteFileWith(const std::string& path, const std::function<void(std::ostream&)>& write)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    // A device or pipe (/dev/stdout) is written in place; a file is written beside its target
    // and renamed over it, so a failed write leaves the old file whole.
    const bool inPlace = fs::exists(status) && !fs::is_regular_file(status);
    const std::string written = inPlace ? path : path + ".part";
    std::ofstream out(written, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    write(out);
    out.close();
    if (out && (inPlace || (fs::rename(written, path, error), !error)))
        return true;
    if (!inPlace)
        std::remove(written.c_str());
    return false;
}

std::string SaveDataFile(const std::string& path, const DataFile& file)
{
    if (!DataFileFitsFormat(file))
        return "too many values for one data file (at most 268 435 454 per channel)";
    if (!WriteFileWith(path, [&](std::ostream& out) { WriteDataFile(file, out); }))
        return "cannot write " + path;
    return {};
}

std::string SaveDataFile(const std::string& path, const DataFileView& file)
{
    if (!DataFileFitsFormat(file))
        return "too many values for one data file (at most 268 435 454 per channel)";
    if (!WriteFileWith(path, [&](std::ostream& out) { WriteDataFile(file, out); }))
        return "cannot write " + path;
    return {};
}

std::variant<CaptureImport, std::string> LoadCaptureFile(const std::string& path, std::optional<double> givenRate,
                                                         const ReadProgress& progress)
{
    const auto kind = CaptureFileKindOf(path);
    if (!kind)
        return "unknown file type (not .dat, .vcd, .csv or .sr): " + path;
    // The zip reader opens the file itself and refuses more samples than a whole file may hold.
    if (*kind == CaptureFileKind::SigrokSession) {
        // A missing file or a folder is told as such, not as a damaged archive.
        std::error_code error;
        if (std::filesystem::is_directory(path, error))
            return "cannot read " + path + ": is a directory";
        if (!std::filesystem::exists(path, error))
            return "cannot read " + path + ": no such file or directory";
        auto read = ReadSigrokSession(path, kMaxInputFileBytes);
        // The archive is read whole first: its samples keep the limit of every other reader.
        if (const auto* imported = std::get_if<CaptureImport>(&read);
            imported && std::max(imported->capture.busA.size(), imported->capture.busB.size()) >
                            static_cast<std::size_t>(kMaxInterchangeSamples))
            return path + ": more than " + std::to_string(kMaxInterchangeSamples) + " samples";
        return WithFileName(path, std::move(read));
    }
    // Text is read piece by piece: only the capture is held, never the text.
    if (*kind == CaptureFileKind::Vcd || *kind == CaptureFileKind::Csv) {
        std::string problem;
        auto source = FileTextSource::Open(path, problem);
        if (!source)
            return problem;
        if (*kind == CaptureFileKind::Vcd)
            return WithFileName(path, ReadVcdFrom(std::move(source), progress));
        return WithFileName(path, ReadCaptureCsvFrom(*source, givenRate, progress));
    }
    const auto read = ReadFileBytes(path);
    if (const auto* refusal = std::get_if<std::string>(&read))
        return *refusal;
    const auto& bytes = std::get<std::vector<std::uint8_t>>(read);
    auto file = ReadDataFile(bytes);
    if (const auto* error = std::get_if<DataFileReadError>(&file))
        return "cannot read " + path + ": " + DataFileProblemText(*error);
    if (CaptureBusesDiffer(std::get<DataFile>(file)))
        return path + ": bus A and bus B hold different numbers of samples, so they cannot be lined up";
    const auto capture = CaptureFromDataFile(std::get<DataFile>(file));
    if (!capture)
        return path + " holds no logic analyser capture";
    if (capture->busA.empty() && capture->busB.empty())
        return path + " holds no samples";
    return CaptureImport{*capture, {}};
}

std::string SaveCaptureFile(const std::string& path, const CaptureSamples& capture, const CaptureLineNames& names,
                            const ReadProgress& progress)
{
    const auto kind = CaptureFileKindOf(path);
    if (!kind)
        return "unknown file type (not .dat, .vcd, .csv or .sr): " + path;
    bool written = false;
    if (*kind == CaptureFileKind::DataFile) {
        return SaveDataFile(path, LogicDataFile(capture));
    } else if (*kind == CaptureFileKind::SigrokSession) {
        return WriteSigrokSession(path, capture, names);
    } else if (*kind == CaptureFileKind::Vcd) {
        written = WriteFileWith(path, [&](std::ostream& out) { WriteVcd(capture, out, names, progress); });
    } else {
        written = WriteFileWith(path, [&](std::ostream& out) { WriteCaptureCsv(capture, out, names, progress); });
    }
    return written ? std::string() : "cannot write " + path;
}

} // namespace tesmar
