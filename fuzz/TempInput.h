#pragma once
// Readers that take a path get the fuzzer's bytes through a file of this process's own, in
// memory when /dev/shm is there, so that parallel runs never share one.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace tesmar::fuzz {

inline std::string WriteTempInput(const char* name, const std::uint8_t* data, std::size_t size)
{
    const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    const std::string path = std::string(folder) + "/tesmar-fuzz-" + std::to_string(getpid()) + "-" + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
        std::abort(); // the harness, not the reader, failed
    return path;
}

} // namespace tesmar::fuzz
