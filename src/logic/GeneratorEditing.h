#pragma once
// The pattern generator's editing operations on a selection of samples (0-based, first … last
// inclusive), its clipboard, and the generator data file (raw bytes, sample i = byte i).

#include "GeneratorData.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tesmar {

struct GeneratorSelection {
    int first = 0, last = 0; // samples, inclusive
};

void FillSamples(GeneratorData& data, GeneratorSelection s, std::uint8_t value);  // "Все 0" / "Все 1"
void InvertSamples(GeneratorData& data, GeneratorSelection s);                   // "Все ~"
void SetLineIn(GeneratorData& data, GeneratorSelection s, int line, bool high);  // "Кн. 0" / "Кн. 1"
void InvertLineIn(GeneratorData& data, GeneratorSelection s, int line);         // "Кн. ~"
// INC/DEC: each sample is the one before plus (or minus) the step, mod 256; the first keeps its value.
void CountIn(GeneratorData& data, GeneratorSelection s, int step, bool down);
// The block repeated from the sample after it up to the last sample (the last copy cut); with a
// line, only that line's bits are copied. Returns the last sample written.
int RepeatBlock(GeneratorData& data, GeneratorSelection s, std::optional<int> line = std::nullopt);

// Clipboard: copy the selection; paste from `at`, cut at the last sample. Paste returns the
// last sample written.
std::vector<std::uint8_t> CopySamples(const GeneratorData& data, GeneratorSelection s);
int PasteSamples(GeneratorData& data, int at, const std::vector<std::uint8_t>& block);

// Up: the selection moves one sample earlier (at the top the first sample is dropped), its last
// sample becomes 0. Down: one later (the last sample may fall off), its first becomes 0. Each
// returns the new selection.
GeneratorSelection MoveUp(GeneratorData& data, GeneratorSelection s);
GeneratorSelection MoveDown(GeneratorData& data, GeneratorSelection s);

// Reading clears the data and takes up to 1544 bytes; none with a reason when the file cannot be
// read (a folder, missing, unreadable).
std::optional<std::string> ReadGeneratorFile(const std::string& path, GeneratorData& data);
bool WriteGeneratorFile(const std::string& path, const GeneratorData& data);

} // namespace tesmar
