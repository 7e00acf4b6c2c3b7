#pragma once
// tesmar-cli spectrum: one spectrum measurement as CSV, the curve or a summary per channel.

#include <atomic>
#include <ostream>
#include <string>
#include <vector>

namespace tesmar {

class UsbSession;

// `interrupted` ends the wait for the record.
int RunSpectrumCommand(UsbSession& session, const std::vector<std::string>& args, std::ostream& out,
                       std::ostream& err, const std::atomic<bool>* interrupted = nullptr);

} // namespace tesmar
