#pragma once
// tesmar-cli spectrum: one spectrum measurement as CSV, the curve or a summary per channel.

#include <ostream>
#include <string>
#include <vector>

namespace tesmar {

class UsbSession;

int RunSpectrumCommand(UsbSession& session, const std::vector<std::string>& args, std::ostream& out,
                       std::ostream& err);

} // namespace tesmar
