#pragma once

#include <atomic>
#include <ostream>
#include <string>
#include <vector>

namespace tesmar {

class LogicEngine;
class UsbSession;

// One logic analyser capture from the instrument, written to a .vcd, .csv, .dat or .sr file.
// `simulated` is the virtual instrument's logic side (none on USB); `interrupted` (if given) ends
// a capture early, keeping what arrived. Returns the exit code.
int RunLogicCommand(UsbSession& session, LogicEngine* simulated, const std::vector<std::string>& args,
                    std::ostream& out, std::ostream& err, const std::atomic<bool>* interrupted = nullptr);

} // namespace tesmar
