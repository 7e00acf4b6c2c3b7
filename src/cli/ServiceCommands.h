#pragma once
// The service verbs: the instrument's calibration record and the firmware update.

#include <atomic>
#include <ostream>
#include <string>
#include <vector>

namespace tesmar {

class UsbSession;
struct CliDeviceOptions;

// calibration read | write FILE.txt --pair A1/20|A1/2|B1/20|B1/2 | default
// Returns 0, kExitUsage for bad arguments, 1 for a file that cannot be used, no instrument, an
// instrument in its boot loader or a record it did not keep.
int RunCalibrationCommand(const CliDeviceOptions& device, const std::vector<std::string>& args, std::ostream& out,
                          std::ostream& err);

// firmware FILE: the image is checked before the instrument is touched; progress on `err`.
// Returns 0, kExitUsage for bad arguments, 1 for a file that cannot be flashed, a boot loader that
// cannot be reached or a block that did not program (the instrument stays in its boot loader),
// kExitInterrupted when `interrupted` ended the update between blocks or before it began.
int RunFirmwareCommand(const CliDeviceOptions& device, const std::vector<std::string>& args, std::ostream& out,
                       std::ostream& err, const std::atomic<bool>* interrupted = nullptr);

} // namespace tesmar
