#pragma once
// Logic captures as sigrok session files (".sr"): a zip holding "version" (2), "metadata" (INI
// text: sample rate, unit size, probe names) and the samples in "logic-1-1", "logic-1-2", …,
// unit size bytes per sample, little-endian, bit i = probe i + 1. Probes 1 … 8 are bus A,
// 9 … 16 bus B. Version 1 files are read as well: the same metadata, all samples in the one
// member that "capturefile" names ("logic-1").

#include "formats/DataFileCapture.h"
#include "formats/VcdFile.h"

#include <string>
#include <variant>

namespace tesmar {

// An empty string on success, else what went wrong. The capture's first sample time is not part
// of the format; the sample period travels as the sample rate.
// The probes are the lines of CaptureLinesOf(capture, names), in that order.
std::string WriteSigrokSession(const std::string& path, const CaptureSamples& capture,
                               const CaptureLineNames& names = {});

// The capture, or why it cannot be read (in English): not a zip, a format version other than 1
// or 2, no metadata, a sample rate or unit size no capture can have, more sample data than
// `maxBytes`.
std::variant<CaptureImport, std::string> ReadSigrokSession(const std::string& path,
                                                            std::uint64_t maxBytes = std::uint64_t{4} << 30);

} // namespace tesmar
