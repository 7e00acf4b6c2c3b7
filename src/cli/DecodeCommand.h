#pragma once
// tesmar-cli decode uart|spi|i2c|1wire FILE [options]: the bus decoders over a capture file
// (.dat, .vcd, .csv or .sr), printing the result grid with its element times.

#include <ostream>
#include <string>
#include <vector>

namespace tesmar {

int RunDecodeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace tesmar
