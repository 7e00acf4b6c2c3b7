#pragma once
// The command line of `tesmar-cli logic` turned into what the page's controls would hold, with
// the page's mode rules applied: whatever the page would not allow is refused with a message
// naming the option and its allowed values.

#include "device/LogicBlock.h"
#include "logic/ChannelNames.h"
#include "logic/LogicMode.h"

#include <optional>
#include <string>
#include <vector>

namespace tesmar {

struct LogicCommandOptions {
    LogicBlockInput block;      // everything but the generator image
    LogicMode mode;
    std::optional<GeneratorImage> generator;
    bool loopBack = false;
    double timeoutSeconds = 10;
    std::string outPath;
    ChannelNameList names = DefaultChannelNames();
    std::vector<std::string> warnings;
};

struct LogicOptionsResult {
    std::optional<LogicCommandOptions> options; // none: help was asked for or the line is refused
    int status = 0;                             // exit status when there are no options
    std::string text;                           // the help (status 0) or the refusal
};

extern const char* const kLogicUsage;

// `simulated`: the virtual instrument is in use (--loopback needs it).
LogicOptionsResult ParseLogicOptions(const std::vector<std::string>& args, bool simulated);

// The rate knob's entries, Hz, in order (1 kHz … 1 MHz, then 2, 2.667, 4, 6, 8 MHz).
const std::vector<double>& LogicRateEntries();

} // namespace tesmar
