#pragma once
// A model of the instrument's firmware behind the same transport interface as the real USB
// device: it decodes the vendor commands, answers on the data pipe, keeps its memory and
// calibration, and can be unplugged, re-plugged and made to fail on demand.

#include "AcquisitionEngine.h"
#include "I2cEngine.h"
#include "InstrumentState.h"
#include "SimClock.h"
#include "SimFault.h"
#include "device/UsbTransport.h"

#include <condition_variable>
#include <deque>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tesmar {

class VirtualInstrument final : public UsbTransport {
public:
    // `calibrationFile`, when given, keeps the calibration record between runs.
    explicit VirtualInstrument(const SimClock& clock, std::optional<std::string> calibrationFile = {});
    ~VirtualInstrument() override;

    // UsbTransport
    UsbStatus init(AttachCallback onAttach, DetachCallback onDetach) override;
    void uninit() override;
    UsbStatus setInterface(UsbDeviceHandle device, int interfaceNumber, int alternateSetting) override;
    UsbStatus controlOut(UsbDeviceHandle device, const SetupPacket& setup, const std::uint8_t* data,
                         std::size_t length, std::size_t& transferred, int timeoutMs) override;
    UsbStatus bulkIn(UsbDeviceHandle device, std::uint8_t pipe, std::uint8_t* buffer, std::size_t length,
                     std::size_t& transferred, int timeoutMs) override;
    void halt(UsbDeviceHandle device, std::uint8_t pipe) override;
    UsbStatus reset(UsbDeviceHandle device) override;

    // Cable: a plugged instrument is reported to the host (at init, or at once when watching).
    void plug();
    void unplug();
    bool isPlugged() const;
    // Reports a second matching instrument; returns whether the host took it.
    bool plugSecondInstrument();

    // Faults for the next transfers of one kind: each fails with `status` (no data moves).
    void failNextReads(int count, UsbStatus status = usb_status::TimeOut);
    void failNextWrites(int count, UsbStatus status = usb_status::PidStall);
    // The read after the next `skipReads` reads delivers at most `bytes` bytes.
    void shortenNextRead(std::size_t bytes, int skipReads = 0);
    // Boot loader faults: the block at byte `offset` (every block when none) never programs.
    void refuseBootBlocks(std::optional<std::size_t> offset = {});
    // The instrument drops off the bus once `blocks` more blocks have been programmed.
    void unplugAfterBootBlocks(int blocks);

    // Keeps the flash image and whether the boot loader runs in `path` between runs, so that a
    // flashed version, or an interrupted update, is still there at the next start.
    void keepFirmwareIn(std::string path);

    // Arms `faults` (see SimFault.h), replacing those armed before: times run on the instrument's
    // clock from this call, counts from the next transfer. A stall and a transfer error end with
    // the next plug-in, reset or arming.
    void armFaults(std::vector<SimFault> faults);
    // Transfers and data-pipe reads the host began since the faults were last armed.
    int transfersSinceArmed() const;
    int readsSinceArmed() const;
    // Armed faults that have not met a transfer or their time yet (a re-plug delay is no fault).
    int faultsWaiting() const;

    void addEngine(std::unique_ptr<AcquisitionEngine> engine);

    // The firmware's state; lock it while looking from another thread than the host's.
    InstrumentState& state() { return state_; }
    std::mutex& stateMutex() { return mutex_; }
    const SimClock& clock() const { return clock_; }

    int resetCount() const;

    // The terminal's bus (EEPROM and master); lock the state mutex while using it.
    I2cEngine& i2c() { return *i2c_; }

private:
    void handleCommand(const SetupPacket& setup, const std::vector<std::uint8_t>& data);
    void answer(std::vector<std::uint8_t> bytes);
    void storeCalibration();
    void storeFirmware() const;
    void runEvent(std::function<void()> event);
    void joinEvents();
    bool deviceValid(UsbDeviceHandle device) const;
    UsbDeviceHandle plugLocked();
    UsbDeviceHandle unplugLocked();
    void announce(UsbDeviceHandle attached, UsbDeviceHandle detached);
    // Counts a transfer the host begins and fires the faults it makes due.
    void beginTransfer(bool read);
    // Fires the armed faults that are due (those counting reads only at a read); returns the
    // handle it unplugged, if any.
    UsbDeviceHandle fireDueFaultsLocked(bool atRead);
    void runFaultTimer();
    void stopFaultTimer();

    const SimClock& clock_;
    std::optional<std::string> calibrationFile_;
    std::optional<std::string> firmwareFile_;

    mutable std::mutex mutex_;
    std::condition_variable dataArrived_;
    InstrumentState state_;
    std::deque<std::uint8_t> answer_;
    std::vector<std::unique_ptr<AcquisitionEngine>> engines_;
    AcquisitionEngine* activeEngine_ = nullptr;
    I2cEngine* i2c_ = nullptr;
    unsigned haltGeneration_ = 0;
    int resets_ = 0;

    bool plugged_ = true;
    bool watching_ = false;
    UsbDeviceHandle handle_ = 0;
    UsbDeviceHandle nextHandle_ = 1;
    AttachCallback onAttach_;
    DetachCallback onDetach_;

    int failingReads_ = 0, failingWrites_ = 0;
    UsbStatus readFault_ = 0, writeFault_ = 0;
    std::optional<std::size_t> shortRead_;
    int readsBeforeShort_ = 0;
    bool refuseBootBlocks_ = false;
    std::optional<std::size_t> refusedBootBlock_;
    std::optional<int> bootBlocksBeforeUnplug_;
    bool unplugPending_ = false;

    std::vector<SimFault> armedFaults_;
    std::int64_t faultsArmedUs_ = 0;
    int transfersSinceArmed_ = 0, readsSinceArmed_ = 0;
    std::optional<double> replugDelayMs_;
    std::optional<std::int64_t> replugAtUs_;
    bool stalled_ = false;
    bool transferErrorPending_ = false;
    bool stopFaultTimer_ = false;
    std::condition_variable faultTimerWake_;
    std::thread faultTimer_; // started by the first armFaults with a time in it

    std::mutex eventsMutex_;
    std::vector<std::thread> events_;
    std::shared_future<void> lastEvent_; // events reach the host in the order they happened
};

} // namespace tesmar
