#pragma once
// tesmar-cli convert IN OUT: logic captures between .dat, .vcd and .csv by extension, and
// oscilloscope, spectrum and recorder data files to .csv.

#include <ostream>
#include <string>
#include <vector>

namespace tesmar {

class InterruptWatch;

int RunConvertCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// The same; a signal then removes the unfinished output before the process ends.
int RunConvertCommandWatched(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                             InterruptWatch& watch);

} // namespace tesmar
