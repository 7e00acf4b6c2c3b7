#pragma once

#include <atomic>
#include <ostream>
#include <string>
#include <vector>

namespace tesmar {

class UsbSession;

// One recording from the instrument for a duration or until `interrupted` (Ctrl-C), written as
// CSV (time in seconds, volts of A and B) or as a data file; what was recorded is written also
// when the recording ends early. Progress on `err`. Returns the exit code: 0 for a complete
// record.
int RunRecordCommand(UsbSession& session, const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                     const std::atomic<bool>& interrupted);

} // namespace tesmar
