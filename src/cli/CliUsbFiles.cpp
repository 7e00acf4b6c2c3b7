#include "CliUsbFiles.h"

#include "CliDevice.h"
#include "CliText.h"
#include "ExitStatus.h"
#include "device/ReplayTransport.h"
#include "device/UsbRecordWriter.h"

#include <cerrno>
#include <cstring>

namespace tesmar {

CliUsbFiles::CliUsbFiles() = default;
CliUsbFiles::~CliUsbFiles() = default;

int CliUsbFiles::open(const std::string& recordPath, const std::string& replayPath, std::ostream& err)
{
    recordPath_ = recordPath;
    replayPath_ = replayPath;
    if (!replayPath.empty()) {
        std::ifstream in(replayPath, std::ios::binary);
        if (!in) {
            err << "tesmar-cli: cannot read the USB record " << TerminalText(replayPath) << ": " << std::strerror(errno)
                << '\n';
            return kExitFailure;
        }
        UsbRecordParse parsed = ParseUsbRecord(in);
        if (!parsed.error.empty()) {
            err << "tesmar-cli: " << TerminalText(replayPath) << ", " << TerminalText(parsed.error) << '\n';
            return kExitFailure;
        }
        replay_ = std::make_unique<ReplayTransport>(std::move(parsed.entries));
    }
    if (!recordPath.empty()) {
        errno = 0;
        recordFile_.open(recordPath, std::ios::binary | std::ios::trunc);
        if (!recordFile_) {
            err << "tesmar-cli: cannot write the USB record " << TerminalText(recordPath)
                << (errno ? std::string(": ") + std::strerror(errno) : std::string()) << '\n';
            return kExitOutput;
        }
        writer_ = std::make_unique<UsbRecordWriter>(recordFile_);
    }
    return kExitComplete;
}

void CliUsbFiles::applyTo(CliDeviceOptions& device)
{
    device.replay = replay_.get();
    device.record = writer_.get();
}

int CliUsbFiles::finish(int status, std::ostream& err)
{
    if (writer_) {
        recordFile_.close();
        std::string failure = writer_->failure();
        if (failure.empty() && !recordFile_)
            failure = "cannot write the USB record";
        if (!failure.empty()) {
            err << "tesmar-cli: " << TerminalText(recordPath_) << ": " << failure << '\n';
            if (status == kExitComplete)
                status = kExitOutput;
        }
    }
    if (replay_) {
        if (const std::string difference = replay_->finish(); !difference.empty()) {
            err << "tesmar-cli: the program left the USB record " << TerminalText(replayPath_) << " at "
                << TerminalText(difference) << '\n';
            status = kExitReplayDiffers;
        }
    }
    return status;
}

} // namespace tesmar
