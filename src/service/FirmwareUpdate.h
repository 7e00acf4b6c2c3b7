#pragma once
// The firmware update through the instrument's boot loader: switch to it, erase, write the blocks
// from the last to the first, start the new application.

#include "FirmwareImage.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tesmar {

class UsbSession;

using FirmwareVersion = std::array<std::uint8_t, 5>; // major, minor, three date bytes

// The version the running application reports; none unless it answers as the main application.
std::optional<FirmwareVersion> InstalledFirmwareVersion(UsbSession& session);
// "major.minor (dd/dd/dd)".
std::string FormatFirmwareVersion(const FirmwareVersion& version);

enum class FirmwareStage { EnteringBootLoader, Loading };
enum class FirmwareUpdateResult {
    Done,
    NoBootLoader,
    BlockFailed,
    Cancelled,   // stopped before the flash was erased: the old application runs as before
    Interrupted, // stopped between blocks: the instrument waits in its boot loader for a new update
};

struct FirmwareUpdateListener {
    std::function<void(FirmwareStage)> stage;
    std::function<void(int value, int maximum)> progress;
};

// One 512-byte block at byte `offset`: eight chunks, then the program command with up to five
// tries. `blocksBefore` counts the blocks already written, for the progress.
bool WriteFirmwareBlock(UsbSession& session, const FirmwareImage& image, std::size_t offset, int blocksBefore,
                        const FirmwareUpdateListener& listener);

// A failed update leaves the instrument in its boot loader, from where the update can be repeated.
// `stop` (if given) is looked at only between blocks, never while one is being written: a block
// cut half-way could not be told from a good one.
FirmwareUpdateResult UpdateFirmware(UsbSession& session, const FirmwareImage& image,
                                    const FirmwareUpdateListener& listener,
                                    const std::atomic<bool>* stop = nullptr);

} // namespace tesmar
