#pragma once
// tesmar-cli as a function: the words after the program name in, the exit status out.

#include <ostream>
#include <string>
#include <vector>

namespace tesmar {

// Exit statuses besides 0 (complete result) and 1 (refused or incomplete result).
inline constexpr int kExitUsage = 64;    // a bad command line
inline constexpr int kExitInternal = 70; // something escaped the commands (out of memory, say)
inline constexpr int kExitOutput = 74;   // the result could not be written
inline constexpr int kExitInterrupted = 130; // Ctrl-C or SIGTERM ended the work before its end

// Runs one command. Nothing escapes: an exception ends in one line on `err`; a failed write to
// `out` (checked after the final flush) ends in a message and kExitOutput.
int RunCli(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);

} // namespace tesmar
