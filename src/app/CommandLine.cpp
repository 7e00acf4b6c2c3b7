#include "CommandLine.h"

#include <algorithm>
#include <cctype>

namespace tesmar {

namespace {

bool ContainsIgnoringCase(std::string text, std::string_view keyword)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text.find(keyword) != std::string::npos;
}

} // namespace

CommandLine CommandLine::Parse(const std::vector<std::string>& arguments)
{
    CommandLine line;
    for (const std::string& arg : arguments) {
        line.calibration = line.calibration || ContainsIgnoringCase(arg, "-CLBR");
        line.debug = line.debug || ContainsIgnoringCase(arg, "-DEBUG");
        line.setup = line.setup || ContainsIgnoringCase(arg, "-SETUP");
        line.simulate = line.simulate || ContainsIgnoringCase(arg, "-SIM");
    }
    return line;
}

void CommandLine::readEnvironment(const std::function<const char*(const char*)>& environment)
{
    const auto value = [&environment](const char* name) {
        const char* text = environment(name);
        return std::string(text ? text : "");
    };
    recordUsb = value("TESMAR_RECORD_USB");
    replayUsb = value("TESMAR_REPLAY_USB");
}

} // namespace tesmar
