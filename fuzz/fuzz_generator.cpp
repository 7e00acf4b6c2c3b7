// Any file as generator data: the window's reader takes its first 1544 bytes (the rest of the
// pattern 0); tesmar-cli takes 1 … 1544 bytes that are no measurement data file and refuses
// anything else with a reason.

#include "TempInput.h"
#include "cli/GeneratorInput.h"
#include "logic/GeneratorEditing.h"

#include <cstdlib>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tesmar;
    const std::string path = fuzz::WriteTempInput("generator.dat", data, size);
    GeneratorData window;
    window.setSample(0, 0xA5); // an earlier pattern must not survive the read
    const auto problem = ReadGeneratorFile(path, window);
    std::vector<std::string> warnings;
    const auto command = ReadGeneratorInput(path, warnings);
    unlink(path.c_str());
    if (problem)
        std::abort(); // a readable file is always taken
    for (int i = 0; i < GeneratorData::kSampleCount; ++i)
        if (window.sample(i) != (static_cast<std::size_t>(i) < size ? data[i] : 0))
            std::abort();
    const auto* taken = std::get_if<GeneratorData>(&command);
    if (size == 0 || size > static_cast<std::size_t>(GeneratorData::kSampleCount)) {
        if (taken)
            std::abort();
        return 0;
    }
    if (taken) {
        if (taken->samples() != window.samples())
            std::abort();
        if ((size < static_cast<std::size_t>(GeneratorData::kSampleCount)) != !warnings.empty())
            std::abort(); // a short file is taken with a word, a whole one without
    }
    return 0;
}
