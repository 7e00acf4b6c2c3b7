// Any bytes as a filter file: refused with a reason, or a response the designer can draw (at
// most 99 points, finite values, ascending frequencies) that a write and a read keep.

#include "filter/FilterFile.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

std::string ScratchPath(const char* what)
{
    return "/tmp/fuzz_filter_" + std::to_string(getpid()) + what;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tesmar;
    const std::string path = ScratchPath(".txt");
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const FilterResponse current;
    for (char separator : {',', '.'}) {
        const auto result = ReadFilterFile(path, current, separator);
        const auto* response = std::get_if<FilterResponse>(&result);
        if (!response)
            continue;
        if (response->points.size() > static_cast<std::size_t>(kFilterMaxPoints))
            std::abort();
        for (const FilterPoint& p : response->points)
            if (!std::isfinite(p.frequency) || !std::isfinite(p.gain))
                std::abort();
        const std::string copy = ScratchPath(".copy.txt");
        std::remove(copy.c_str());
        if (!WriteFilterFile(copy, *response, separator))
            std::abort();
        const auto again = ReadFilterFile(copy, FilterResponse{}, separator);
        const auto* reread = std::get_if<FilterResponse>(&again);
        if (!reread || reread->points.size() != response->points.size())
            std::abort();
    }
    return 0;
}
