#pragma once
// The program's switches. Each argument is compared without regard to case and matches a switch
// when it contains the keyword, so "-setup" and "/x-SETUPx" both open the installation.

#include <string>
#include <vector>

namespace tesmar {

struct CommandLine {
    bool calibration = false;  // -CLBR: calibration menu, no logic-only view
    bool debug = false;        // -DEBUG: service buttons
    bool setup = false;        // -SETUP: driver installation
    bool simulate = false;     // -SIM: the virtual instrument instead of USB

    static CommandLine Parse(const std::vector<std::string>& arguments);
};

} // namespace tesmar
