#pragma once

#include <atomic>
#include <ostream>
#include <string>
#include <vector>

namespace tesmar {

class UsbSession;

// One oscilloscope record from the instrument, printed or written as CSV (time in seconds,
// volts of A and B). Returns the exit code; `interrupted` ends the wait for the record.
int RunOscCommand(UsbSession& session, const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  const std::atomic<bool>* interrupted = nullptr);

} // namespace tesmar
