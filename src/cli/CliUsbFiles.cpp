#include "CliUsbFiles.h"

#include "CliDevice.h"
#include "CliText.h"
#include "ExitStatus.h"

namespace tesmar {

int CliUsbFiles::open(const std::string& recordPath, const std::string& replayPath, std::ostream& err)
{
    recordPath_ = recordPath;
    replayPath_ = replayPath;
    if (!replayPath.empty()) {
        if (const std::string problem = files_.openReplay(replayPath); !problem.empty()) {
            err << "tesmar-cli: " << TerminalText(problem) << '\n';
            return kExitFailure;
        }
    }
    if (!recordPath.empty()) {
        if (const std::string problem = files_.openRecord(recordPath); !problem.empty()) {
            err << "tesmar-cli: " << TerminalText(problem) << '\n';
            return kExitOutput;
        }
    }
    return kExitComplete;
}

void CliUsbFiles::applyTo(CliDeviceOptions& device)
{
    device.replay = files_.replay();
    device.record = files_.writer();
}

int CliUsbFiles::finish(int status, std::ostream& err)
{
    if (const std::string failure = files_.closeRecord(); !failure.empty()) {
        err << "tesmar-cli: " << TerminalText(recordPath_) << ": " << failure << '\n';
        if (status == kExitComplete)
            status = kExitOutput;
    }
    if (files_.replay()) {
        if (const std::string difference = files_.replay()->finish(); !difference.empty()) {
            err << "tesmar-cli: the program left the USB record " << TerminalText(replayPath_) << " at "
                << TerminalText(difference) << '\n';
            status = kExitReplayDiffers;
        }
    }
    return status;
}

} // namespace tesmar
