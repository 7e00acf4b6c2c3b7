#pragma once
// tesmar-cli info FILE.dat: the chunks of a measurement data file and its settings fields.

#include <ostream>
#include <string>
#include <vector>

namespace tesmar {

int RunFileInfoCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace tesmar
