#pragma once
// The measurement data file: a page settings chunk, the remark, up to two data chunks and the
// end chunk, little-endian and packed. One file holds one page's measurement.
//
// The reader does not trust the file: every length and count is checked against the bytes that
// are there, and a damaged file is refused as a whole, so a page is only ever restored from a
// file that read completely.

#include "formats/DataFileSettings.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace tesmar {

class MessageTable;

inline constexpr std::uint8_t kRemarkChunk = 0x01;
inline constexpr std::uint8_t kEndChunk = 0x00;
inline constexpr std::size_t kDataChunkHeader = 9;
// The settings chunk is read into a buffer of this size; a longer one is refused.
inline constexpr std::int64_t kMaxSettingsChunk = 65536;

using DataFileSettings = std::variant<OscSettingsChunk, SpectrumSettingsChunk, RecorderSettingsChunk, LogicSettingsChunk>;

struct DataFile {
    DataFileSettings settings;
    std::vector<std::string> remarkLines; // UTF-8, without line ends
    // Oscilloscope, spectrum and recorder pages: values of channel A and B.
    std::optional<std::vector<double>> channelA;
    std::optional<std::vector<double>> channelB;
    // Logic analyser page: the bus A and bus B captures.
    std::optional<std::vector<std::uint8_t>> busA;
    std::optional<std::vector<std::uint8_t>> busB;

    DataFilePage page() const;
};

// Analogue values kept elsewhere (a record in chunks), handed to the writer in contiguous pieces
// so that saving needs no copy of them.
struct DataValues {
    std::size_t count = 0;
    // The values from `first` (< count) on that lie together: at least one, at most count − first.
    std::function<std::span<const double>(std::size_t first)> piece;
};

// An oscilloscope, spectrum or recorder file whose values are written from where they are kept:
// `head` gives the settings and the remark (its own value vectors are not used).
struct DataFileView {
    DataFile head;
    std::optional<DataValues> channelA, channelB;
};

// Data chunk types of a page: channel (bus) A and B.
std::uint8_t DataChunkTypeA(DataFilePage page);
std::uint8_t DataChunkTypeB(DataFilePage page);

std::vector<std::uint8_t> WriteDataFile(const DataFile& file);
// The same straight to a stream, the values in blocks.
void WriteDataFile(const DataFile& file, std::ostream& out);
// The same, the values taken piece by piece; the bytes are those of the file above.
void WriteDataFile(const DataFileView& file, std::ostream& out);
// False when a data chunk holds more values than its 32-bit length can count.
bool DataFileFitsFormat(const DataFile& file);
bool DataFileFitsFormat(const DataFileView& file);
// The remark payload: CP1251, every line (the last included) ended by CR LF.
std::vector<std::uint8_t> EncodeRemark(const std::vector<std::string>& lines);
std::vector<std::string> DecodeRemark(std::span<const std::uint8_t> payload);

enum class DataFileProblem {
    UnknownFormat,    // empty file, or a first chunk that is no page settings chunk
    SettingsTooLong,  // a settings chunk longer than the reader's buffer
    ChunkPastEnd,     // a chunk runs past the end of the file
    BadCount,         // a negative element count
    MissingEnd,       // the file ends before its end chunk
    BadChunkLength,   // a chunk length that cannot be skipped
    BadSampleRate,    // a logic capture whose sample rate is not a positive finite number
};

struct DataFileReadError {
    DataFileProblem problem;
    std::size_t offset; // where the reader stopped
};

class DataFileSource;

// Where a data chunk's payload lies in the file.
struct DataChunkPlace {
    std::uint64_t offset = 0; // of the first element
    std::size_t count = 0;
};

// A file checked whole, its values left in the file: the settings and the remark in `head`
// (without values), and where the data chunks of its page are (the last of each type).
struct DataFileScan {
    DataFile head;
    std::optional<DataChunkPlace> chunkA, chunkB;
};

// Reads every chunk header and checks every length against the file, without reading the values.
std::variant<DataFileScan, DataFileReadError> ScanDataFile(DataFileSource& source);
// Values [first, first + out.size()) of a chunk of 64-bit floats, straight into `out`; false when
// they cannot be read.
bool ReadDataFileFloats(DataFileSource& source, const DataChunkPlace& chunk, std::size_t first, std::span<double> out);

std::variant<DataFile, DataFileReadError> ReadDataFile(DataFileSource& source);
std::variant<DataFile, DataFileReadError> ReadDataFile(std::span<const std::uint8_t> bytes);

// The message for a refused file: the unknown-format message for an unknown format, and for a
// damaged file the same opening followed by what is wrong.
std::string DataFileErrorText(const DataFileReadError& error, const std::string& path, const MessageTable& table);

// The same in English for the command line: "not a measurement data file", or "damaged data
// file: what is wrong (at byte N)".
std::string DataFileProblemText(const DataFileReadError& error);

// ".dat" appended when the upper-cased path does not contain ".DAT" anywhere.
std::string WithDataFileExtension(const std::string& path);

} // namespace tesmar
