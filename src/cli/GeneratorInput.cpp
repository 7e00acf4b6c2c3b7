#include "cli/GeneratorInput.h"


#include "formats/DataFile.h"
#include "formats/DataFileLoad.h"

namespace tesmar {

std::variant<GeneratorData, std::string> ReadGeneratorInput(const std::string& path, std::vector<std::string>& warnings)
{
    const auto read = ReadFileBytes(path);
    if (const auto* refusal = std::get_if<std::string>(&read))
        return *refusal;
    const auto& bytes = std::get<std::vector<std::uint8_t>>(read);
    const auto size = bytes.size();
    if (size == 0 || size > static_cast<std::size_t>(GeneratorData::kSampleCount))
        return path + " has " + std::to_string(size) + " bytes; a generator data file has 1 to 1544";
    // A measurement file small enough to pass for samples is still no pattern.
    if (std::holds_alternative<DataFile>(ReadDataFile(bytes)))
        return path + " is a measurement data file, not generator data";
    if (size < static_cast<std::size_t>(GeneratorData::kSampleCount))
        warnings.push_back(path + " has " + std::to_string(size) + " bytes of 1544; the rest of the pattern is 0");
    GeneratorData data;
    for (std::size_t i = 0; i < size; ++i)
        data.setSample(static_cast<int>(i), bytes[i]);
    return data;
}

} // namespace tesmar
