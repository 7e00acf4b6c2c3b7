#include "FirmwareUpdate.h"

#include "device/Commands.h"
#include "device/UsbSession.h"
#include "device/UsbStatus.h"

#include <cstdio>

namespace tesmar {

namespace {

constexpr int kProgramTries = 5;

// The identity byte; asked again while an attached instrument's answer is lost on the way.
std::optional<std::uint8_t> QueryIdentity(UsbSession& session)
{
    for (int attempt = 0; attempt < kProgramTries; ++attempt) {
        const auto id = QueryDevice(session, CmdGetId, 50, 1);
        if (id.size() == 1)
            return id[0];
        if (!session.isAttached())
            break;
    }
    return std::nullopt;
}

bool InBootLoader(UsbSession& session)
{
    return QueryIdentity(session) == kIdBootLoader;
}

void Report(const FirmwareUpdateListener& listener, FirmwareStage stage)
{
    if (listener.stage)
        listener.stage(stage);
}

void Progress(const FirmwareUpdateListener& listener, int value, int maximum)
{
    if (listener.progress)
        listener.progress(value, maximum);
}

// A command the boot loader must get: a chunk or an erase lost on the way would leave a wrong
// image that still programs and starts, so a failed transfer is sent again.
bool SendSurely(UsbSession& session, const DeviceCommand& command)
{
    for (int attempt = 0; attempt < kProgramTries; ++attempt) {
        SendCommand(session, command);
        if (session.isAttached() && session.lastWriteStatus() == usb_status::Success)
            return true;
    }
    return false;
}

// The new application is known to run only when it answers as such: a start command lost on the
// way leaves the instrument in its boot loader, which is no success.
bool StartApplication(UsbSession& session)
{
    for (int attempt = 0; attempt < kProgramTries; ++attempt) {
        // The same command takes the application back to the boot loader: only sent again when
        // the boot loader says it is still there.
        SendCommand(session, {.code = CmdSwitchFirmware});
        session.pause(500);
        const auto id = QueryIdentity(session);
        if (id != kIdBootLoader)
            return id == kIdMainApplication;
    }
    return false;
}

bool Stopped(const std::atomic<bool>* stop)
{
    return stop && stop->load();
}

// The boot loader was entered by this update and nothing is erased yet: the old application is
// whole, so it is started again rather than leaving the instrument waiting for an image.
FirmwareUpdateResult LeaveBootLoaderUnchanged(UsbSession& session)
{
    SendCommand(session, {.code = CmdSwitchFirmware});
    session.pause(500);
    return InBootLoader(session) ? FirmwareUpdateResult::Interrupted : FirmwareUpdateResult::Cancelled;
}

} // namespace

std::optional<FirmwareVersion> InstalledFirmwareVersion(UsbSession& session)
{
    const auto id = QueryDevice(session, CmdGetId, 50, 1);
    if (id.size() != 1 || id[0] != kIdMainApplication)
        return std::nullopt;
    const auto bytes = QueryDevice(session, CmdGetVersion, 10, 5);
    if (bytes.size() != 5)
        return std::nullopt;
    return FirmwareVersion{bytes[0], bytes[1], bytes[2], bytes[3], bytes[4]};
}

std::string FormatFirmwareVersion(const FirmwareVersion& v)
{
    char text[40];
    std::snprintf(text, sizeof text, "%d.%d (%02d/%02d/%02d)", v[0], v[1], v[2], v[3], v[4]);
    return text;
}

bool WriteFirmwareBlock(UsbSession& session, const FirmwareImage& image, std::size_t offset, int blocksBefore,
                        const FirmwareUpdateListener& listener)
{
    const int maximum = FirmwareImage::kChunksPerBlock * image.blockCount();
    for (int i = 0; i < FirmwareImage::kChunksPerBlock; ++i) {
        if (!SendSurely(session, {.code = CmdBootWriteChunk,
                                  .wValue = static_cast<std::uint16_t>(i * FirmwareImage::kChunkSize),
                                  .data = image.chunk(offset, i),
                                  .pauseAfterMs = 50}))
            return false;
        Progress(listener, FirmwareImage::kChunksPerBlock * blocksBefore + i + 1, maximum);
    }
    for (int attempt = 0; attempt < kProgramTries; ++attempt) {
        SendCommand(session, {.code = CmdBootProgramBlock, .wValue = static_cast<std::uint16_t>(offset),
                              .pauseAfterMs = 100});
        std::uint8_t answer = 0xFF;
        const std::uint32_t count = session.ReadDataPipe(&answer, 1);
        if (count == 1 && session.lastReadStatus() == 0 && answer == 0)
            return true;
    }
    // The first block is written last: erase again so that no half image is started.
    if (offset == 0)
        SendCommand(session, {.code = CmdBootBegin, .pauseAfterMs = 100});
    return false;
}

FirmwareUpdateResult UpdateFirmware(UsbSession& session, const FirmwareImage& image,
                                    const FirmwareUpdateListener& listener, const std::atomic<bool>* stop)
{
    if (!image.isLoaded())
        return FirmwareUpdateResult::BlockFailed;
    const int maximum = FirmwareImage::kChunksPerBlock * image.blockCount();
    Progress(listener, 0, maximum);
    bool enteredHere = false;
    if (!InBootLoader(session)) {
        if (Stopped(stop))
            return FirmwareUpdateResult::Cancelled;
        SendSurely(session, {.code = CmdSwitchFirmware});
        Report(listener, FirmwareStage::EnteringBootLoader);
        session.pause(500);
        if (!InBootLoader(session))
            return FirmwareUpdateResult::NoBootLoader;
        enteredHere = true;
    }
    if (Stopped(stop))
        return enteredHere ? LeaveBootLoaderUnchanged(session) : FirmwareUpdateResult::Interrupted;
    if (!SendSurely(session, {.code = CmdBootBegin, .pauseAfterMs = 100}))
        return FirmwareUpdateResult::BlockFailed;
    Report(listener, FirmwareStage::Loading);
    int written = 0;
    for (int block = image.lastBlock(); block >= 0; --block, ++written) {
        if (Stopped(stop)) {
            Progress(listener, 0, maximum);
            return FirmwareUpdateResult::Interrupted;
        }
        if (!WriteFirmwareBlock(session, image, static_cast<std::size_t>(block) * FirmwareImage::kBlockSize, written,
                                listener)) {
            Progress(listener, 0, maximum);
            return FirmwareUpdateResult::BlockFailed;
        }
    }
    if (!StartApplication(session)) {
        Progress(listener, 0, maximum);
        return FirmwareUpdateResult::BlockFailed;
    }
    return FirmwareUpdateResult::Done;
}

} // namespace tesmar
