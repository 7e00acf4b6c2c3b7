#include "TerminalDataFile.h"

#include <algorithm>
#include <fstream>

namespace tesmar {

bool SaveTerminalData(const std::string& path, const TerminalBuffer& buffer, int count) {
    const auto n = static_cast<std::streamsize>(std::clamp(count, 0, static_cast<int>(buffer.size())));
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    out.write(reinterpret_cast<const char*>(buffer.data()), n);
    out.close();
    return !out.fail();
}

std::optional<std::vector<std::uint8_t>> LoadTerminalData(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::vector<std::uint8_t> bytes(TerminalBuffer{}.size());
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (in.bad())
        return std::nullopt;
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

} // namespace tesmar
