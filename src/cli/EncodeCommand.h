#pragma once
// tesmar-cli encode uart|spi|i2c [options] --out FILE.dat: bytes turned into generator data (the
// raw 1544-byte file the generator plays on bus B) by the decoder windows' encoders.

#include <ostream>
#include <string>
#include <vector>

namespace tesmar {

int RunEncodeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace tesmar
