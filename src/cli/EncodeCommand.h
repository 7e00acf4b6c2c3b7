#pragma once
// tesmar-cli encode uart|spi|i2c [options] --out FILE.dat: bytes turned into generator data (the
// raw 1544-byte file the generator plays on bus B) by the decoder windows' encoders.

#include <ostream>
#include <string>
#include <vector>

namespace tesmar {

class InterruptWatch;

int RunEncodeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// The same; a signal then removes the unfinished output before the process ends.
int RunEncodeCommandWatched(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                             InterruptWatch& watch);

} // namespace tesmar
