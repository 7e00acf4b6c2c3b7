#pragma once
// tesmar-cli as a function: the words after the program name in, the exit status out.

#include "ExitStatus.h"

#include <ostream>
#include <string>
#include <vector>

namespace tesmar {

// Runs one command. Nothing escapes: an exception ends in one line on `err`; a failed write to
// `out` (checked after the final flush) ends in a message and kExitOutput.
int RunCli(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);

} // namespace tesmar
