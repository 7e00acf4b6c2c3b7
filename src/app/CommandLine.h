#pragma once
// The program's switches. Each argument is compared without regard to case and matches a switch
// when it contains the keyword, so "-setup" and "/x-SETUPx" both open the installation.

#include <functional>
#include <string>
#include <vector>

namespace tesmar {

struct CommandLine {
    bool calibration = false;  // -CLBR: calibration menu, no logic-only view
    bool debug = false;        // -DEBUG: service buttons
    bool setup = false;        // -SETUP: driver installation
    bool simulate = false;     // -SIM: the virtual instrument instead of USB
    // From the environment, since a file name may contain any switch's keyword.
    std::string recordUsb;     // TESMAR_RECORD_USB: every USB transfer is written to this file
    std::string replayUsb;     // TESMAR_REPLAY_USB: a session record answers instead of the instrument

    static CommandLine Parse(const std::vector<std::string>& arguments);
    // Takes the session record files from `environment` (getenv or a stand-in).
    void readEnvironment(const std::function<const char*(const char*)>& environment);
};

} // namespace tesmar
