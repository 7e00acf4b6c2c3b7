#pragma once
// Logic captures from and to files by extension: ".dat" (measurement data file of the logic
// analyser page), ".vcd", ".csv" and ".sr" (sigrok session).

#include "formats/VcdFile.h"

#include <cstdint>
#include <functional>
#include <ostream>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tesmar {

struct DataFile;
struct DataFileView;

enum class CaptureFileKind { DataFile, Vcd, Csv, SigrokSession };

// By the extension, without regard to case; nullopt for any other.
std::optional<CaptureFileKind> CaptureFileKindOf(const std::string& path);

// Input files are read whole; larger ones are refused.
inline constexpr std::size_t kMaxInputFileBytes = std::size_t(4) << 30;

// The bytes, or "cannot read PATH: reason" ("is a directory", "no such file or directory").
std::variant<std::vector<std::uint8_t>, std::string> ReadFileBytes(const std::string& path);
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path);
// The file is written beside its target and renamed over it (a device such as /dev/stdout is
// written in place). False when any write, the close or the rename fails: the partial file is
// then removed and an older file of that name is left as it was.
bool WriteWholeFile(const std::string& path, const void* data, std::size_t size);
bool WriteFileWith(const std::string& path, const std::function<void(std::ostream&)>& write);

// A measurement data file written chunk by chunk, without a copy of its values in memory. An
// empty string on success, else what went wrong (a data chunk too long for the format, or the
// write).
std::string SaveDataFile(const std::string& path, const DataFile& file);
// The same with the values taken piece by piece from where they are kept.
std::string SaveDataFile(const std::string& path, const DataFileView& file);

// The capture, or the message (in English, for the command line) saying why it cannot be loaded.
// `givenRate` (Hz) serves a CSV file that states no rate and has no time column. VCD and CSV
// text is read piece by piece; `progress` is told the bytes of each pass over it.
std::variant<CaptureImport, std::string> LoadCaptureFile(const std::string& path,
                                                         std::optional<double> givenRate = std::nullopt,
                                                         const ReadProgress& progress = {});
// An empty string on success, else what went wrong. VCD, CSV and sigrok sessions hold the lines
// of CaptureLinesOf(capture, names) under their names; a data file has no room for names and
// holds every line of the captured buses.
// `progress` is told the samples written of all (VCD and CSV).
std::string SaveCaptureFile(const std::string& path, const CaptureSamples& capture, const CaptureLineNames& names = {},
                            const ReadProgress& progress = {});

} // namespace tesmar
