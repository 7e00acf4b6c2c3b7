// Any bytes given to the data file reader: it must refuse or read, never read out of bounds,
// and what it reads must write back to a file that reads the same.

#include "formats/DataFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tesmar;
    const auto result = ReadDataFile(std::span<const std::uint8_t>(data, size));
    if (const auto* file = std::get_if<DataFile>(&result)) {
        const auto again = ReadDataFile(WriteDataFile(*file));
        const auto* back = std::get_if<DataFile>(&again);
        if (!back || back->busA != file->busA || back->busB != file->busB || back->page() != file->page())
            std::abort();
    }
    return 0;
}
