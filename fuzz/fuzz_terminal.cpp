// Any file as terminal transmit data: its first 1024 bytes, as they are.

#include "TempInput.h"
#include "terminal/TerminalDataFile.h"

#include <algorithm>
#include <cstdlib>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tesmar;
    const std::string path = fuzz::WriteTempInput("terminal.bin", data, size);
    const auto bytes = LoadTerminalData(path);
    unlink(path.c_str());
    const std::size_t kept = std::min<std::size_t>(size, TerminalBuffer{}.size());
    if (!bytes || bytes->size() != kept || !std::equal(bytes->begin(), bytes->end(), data))
        std::abort();
    return 0;
}
