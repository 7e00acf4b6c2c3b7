// Any bytes as a logic channel setup file: the names and colours read without harm, and what was
// read survives a write and a read.

#include "SameOnDisk.h"
#include "text/Cp1251.h"
#include "logic/ChannelSetup.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tesmar;
    const std::string path = "/tmp/fuzz_channel_setup_" + std::to_string(getpid()) + ".txt";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    ChannelSetup setup;
    if (!ReadChannelSetupFile(path, setup))
        return 0;
    const std::string copy = path + ".copy";
    std::remove(copy.c_str());
    if (!WriteChannelSetupFile(copy, setup))
        std::abort();
    ChannelSetup again;
    if (!ReadChannelSetupFile(copy, again) || !fuzz::SameOnDisk(again, setup))
        std::abort();
    return 0;
}
