#pragma once
// The files of --record-usb and --replay-usb: opened before the command talks to the instrument,
// and looked at after it, when a record that could not be written or a program that left the
// replayed record changes the exit status.

#include "device/UsbSessionFiles.h"

#include <ostream>
#include <string>

namespace tesmar {

struct CliDeviceOptions;

class CliUsbFiles {
public:
    // Opens the record (empty path: none) and reads the replay; 0, or the exit status after a
    // message on `err`.
    int open(const std::string& recordPath, const std::string& replayPath, std::ostream& err);
    void applyTo(CliDeviceOptions& device);
    // The exit status once the command has returned `status`, with a message for what went wrong.
    int finish(int status, std::ostream& err);

private:
    std::string recordPath_, replayPath_;
    UsbSessionFiles files_;
};

} // namespace tesmar
