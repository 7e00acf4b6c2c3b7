#pragma once
// Logic captures from and to files by extension: ".dat" (measurement data file of the logic
// analyser page), ".vcd" and ".csv". Whole files are read into memory.

#include "files/VcdFile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tesmar {

class MessageTable;

enum class CaptureFileKind { DataFile, Vcd, Csv };

// By the extension, without regard to case; nullopt for any other.
std::optional<CaptureFileKind> CaptureFileKindOf(const std::string& path);

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, const void* data, std::size_t size);

// The capture, or the message saying why it cannot be loaded.
std::variant<CaptureImport, std::string> LoadCaptureFile(const std::string& path, const MessageTable& table);
// An empty string on success, else what went wrong.
std::string SaveCaptureFile(const std::string& path, const CaptureSamples& capture);

} // namespace tesmar
