#include "VirtualInstrument.h"

#include "device/Commands.h"

#include <algorithm>
#include <fstream>
#include <utility>

namespace tesmar {

namespace {
// How often a read waiting for an engine looks again, in real time.
constexpr auto kEnginePoll = std::chrono::microseconds(500);
} // namespace

VirtualInstrument::VirtualInstrument(const SimClock& clock, std::optional<std::string> calibrationFile)
    : clock_(clock), calibrationFile_(std::move(calibrationFile))
{
    // The terminal's I2C bus is part of every instrument.
    auto i2c = std::make_unique<I2cEngine>(clock_);
    i2c_ = i2c.get();
    engines_.push_back(std::move(i2c));
    if (calibrationFile_) {
        std::ifstream in(*calibrationFile_, std::ios::binary);
        CalibrationBytes bytes{};
        if (in.read(reinterpret_cast<char*>(bytes.data()), bytes.size()))
            state_.calibration.bytes = bytes;
    }
}

VirtualInstrument::~VirtualInstrument()
{
    stopFaultTimer();
    uninit();
}

UsbStatus VirtualInstrument::init(AttachCallback onAttach, DetachCallback onDetach)
{
    UsbDeviceHandle present = 0;
    {
        std::lock_guard lock(mutex_);
        onAttach_ = std::move(onAttach);
        onDetach_ = std::move(onDetach);
        watching_ = true;
        if (plugged_) {
            handle_ = nextHandle_++;
            present = handle_;
        }
    }
    if (present != 0)
        runEvent([this, present] { if (onAttach_) onAttach_(present); });
    return usb_status::Success;
}

void VirtualInstrument::uninit()
{
    {
        std::lock_guard lock(mutex_);
        watching_ = false;
    }
    joinEvents();
    std::lock_guard lock(mutex_);
    onAttach_ = nullptr;
    onDetach_ = nullptr;
}

UsbStatus VirtualInstrument::setInterface(UsbDeviceHandle device, int interfaceNumber, int alternateSetting)
{
    std::lock_guard lock(mutex_);
    if (!deviceValid(device))
        return usb_status::DeviceNotFound;
    return (interfaceNumber == 0 && alternateSetting == 0) ? usb_status::Success : usb_status::InvalidParameter;
}

bool VirtualInstrument::deviceValid(UsbDeviceHandle device) const
{
    return plugged_ && device != 0 && device == handle_;
}

UsbStatus VirtualInstrument::controlOut(UsbDeviceHandle device, const SetupPacket& setup, const std::uint8_t* data,
                                        std::size_t length, std::size_t& transferred, int /*timeoutMs*/)
{
    transferred = 0;
    std::vector<std::uint8_t> payload(data, data + (data ? length : 0));
    beginTransfer(false);
    {
        std::lock_guard lock(mutex_);
        if (!deviceValid(device))
            return usb_status::DeviceNotFound;
        if (std::exchange(transferErrorPending_, false))
            return usb_status::UsbdError;
        if (failingWrites_ > 0) {
            --failingWrites_;
            return writeFault_;
        }
        if (setup.bmRequestType != 0x40 || setup.wLength != length || length > 64)
            return usb_status::InvalidParameter;
        handleCommand(setup, payload);
    }
    dataArrived_.notify_all();
    transferred = length;
    bool dropOff = false;
    {
        std::lock_guard lock(mutex_);
        dropOff = std::exchange(unplugPending_, false);
    }
    if (dropOff)
        unplug();
    return usb_status::Success;
}

void VirtualInstrument::answer(std::vector<std::uint8_t> bytes)
{
    // The instrument's answer buffer holds one answer; an unread one is overwritten.
    answer_.assign(bytes.begin(), bytes.end());
}

void VirtualInstrument::handleCommand(const SetupPacket& setup, const std::vector<std::uint8_t>& data)
{
    InstrumentState& s = state_;
    if (s.bootLoader) {
        switch (setup.bRequest) {
        case CmdGetId: answer({kIdBootLoader}); break;
        case CmdSwitchFirmware: s.bootLoader = false; break;
        case CmdBootWriteChunk:
            for (std::size_t i = 0; i < data.size() && setup.wValue + i < s.bootBlock.size(); ++i)
                s.bootBlock[setup.wValue + i] = data[i];
            break;
        case CmdBootProgramBlock: {
            const bool refused = refuseBootBlocks_ && (!refusedBootBlock_ || *refusedBootBlock_ == setup.wValue);
            if (!refused && setup.wValue + s.bootBlock.size() <= s.flash.size()) {
                std::copy(s.bootBlock.begin(), s.bootBlock.end(), s.flash.begin() + setup.wValue);
                answer({0});
                if (bootBlocksBeforeUnplug_ && --*bootBlocksBeforeUnplug_ <= 0) {
                    bootBlocksBeforeUnplug_.reset();
                    unplugPending_ = true;
                }
            } else {
                answer({1});
            }
            break;
        }
        case CmdBootBegin: std::fill(s.flash.begin(), s.flash.end(), 0); break;
        default: break; // the boot loader knows nothing else
        }
        if (setup.bRequest == CmdSwitchFirmware || setup.bRequest == CmdBootProgramBlock || setup.bRequest == CmdBootBegin)
            storeFirmware();
        return;
    }

    switch (setup.bRequest) {
    case CmdGetId: answer({kIdMainApplication}); return;
    case CmdLedOn: s.ledOn = true; return;
    case CmdLedOff: s.ledOn = false; return;
    case CmdSwitchFirmware:
        s.bootLoader = true;
        answer_.clear();
        storeFirmware();
        return;
    case CmdWriteMemory: s.writeMemory(setup.wValue, setup.wIndex, data); return;
    case CmdReleaseOutputs: s.outputsHeld = false; return;
    case CmdGetVersion: {
        const auto v = s.version();
        answer({v.begin(), v.end()});
        return;
    }
    case CmdReadCalibration: answer({s.calibration.bytes.begin(), s.calibration.bytes.end()}); return;
    case CmdStoreCalibration: storeCalibration(); return;
    default: break;
    }

    // A part request belongs to the measurement that is running.
    if (setup.bRequest == CmdReadPart && activeEngine_ && activeEngine_->handles(CmdReadPart)) {
        activeEngine_->onCommand(setup, data, s);
        return;
    }
    for (auto& engine : engines_) {
        if (engine->handles(setup.bRequest)) {
            if (setup.bRequest != CmdReadPart) {
                if (activeEngine_ && activeEngine_ != engine.get())
                    activeEngine_->stop();
                activeEngine_ = engine.get();
                answer_.clear();
            }
            engine->onCommand(setup, data, s);
            return;
        }
    }
}

void VirtualInstrument::keepFirmwareIn(std::string path)
{
    std::lock_guard lock(mutex_);
    firmwareFile_ = std::move(path);
    std::ifstream in(*firmwareFile_, std::ios::binary);
    std::vector<char> bytes(1 + InstrumentState::kFlashSize);
    if (in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
        state_.bootLoader = bytes[0] != 0;
        std::copy(bytes.begin() + 1, bytes.end(), state_.flash.begin());
    }
}

void VirtualInstrument::storeFirmware() const
{
    if (!firmwareFile_)
        return;
    std::ofstream out(*firmwareFile_, std::ios::binary | std::ios::trunc);
    out.put(state_.bootLoader ? 1 : 0);
    out.write(reinterpret_cast<const char*>(state_.flash.data()), static_cast<std::streamsize>(state_.flash.size()));
}

void VirtualInstrument::storeCalibration()
{
    std::copy_n(state_.space1.begin(), kCalibrationRecordSize, state_.calibration.bytes.begin());
    if (calibrationFile_) {
        std::ofstream out(*calibrationFile_, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(state_.calibration.bytes.data()), kCalibrationRecordSize);
    }
}

UsbStatus VirtualInstrument::bulkIn(UsbDeviceHandle device, std::uint8_t pipe, std::uint8_t* buffer,
                                    std::size_t length, std::size_t& transferred, int timeoutMs)
{
    transferred = 0;
    const auto deadline = std::chrono::steady_clock::now() + clock_.realDuration(timeoutMs);
    beginTransfer(true);
    std::unique_lock lock(mutex_);
    if (!deviceValid(device))
        return usb_status::DeviceNotFound;
    if (pipe != kDataPipe)
        return usb_status::InvalidParameter;
    if (failingReads_ > 0) {
        --failingReads_;
        return readFault_;
    }
    std::size_t limit = length;
    if (shortRead_ && readsBeforeShort_-- == 0) {
        limit = std::min(limit, *shortRead_);
        shortRead_.reset();
    }
    const unsigned generation = haltGeneration_;
    for (;;) {
        if (!deviceValid(device))
            return usb_status::DeviceNotFound;
        if (haltGeneration_ != generation)
            return usb_status::Cancelled;
        if (std::exchange(transferErrorPending_, false))
            return usb_status::UsbdError;
        if (stalled_) {
            // Nothing comes out of a stalled pipe: the read waits for its time-out or a halt.
            if (std::chrono::steady_clock::now() >= deadline)
                return usb_status::TimeOut;
            dataArrived_.wait_until(lock, deadline);
            continue;
        }
        if (!answer_.empty()) {
            const std::size_t n = std::min(limit, answer_.size());
            std::copy_n(answer_.begin(), n, buffer);
            answer_.erase(answer_.begin(), answer_.begin() + static_cast<std::ptrdiff_t>(n));
            transferred = n;
            return usb_status::Success;
        }
        if (activeEngine_) {
            const std::vector<std::uint8_t> bytes = activeEngine_->produce(limit, clock_.nowUs());
            if (!bytes.empty()) {
                const std::size_t n = std::min(limit, bytes.size());
                std::copy_n(bytes.begin(), n, buffer);
                transferred = n;
                return usb_status::Success;
            }
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            return usb_status::TimeOut;
        const auto wakeAt = activeEngine_ ? std::min(deadline, now + kEnginePoll) : deadline;
        dataArrived_.wait_until(lock, wakeAt);
    }
}

void VirtualInstrument::halt(UsbDeviceHandle device, std::uint8_t pipe)
{
    {
        std::lock_guard lock(mutex_);
        if (pipe == kDataPipe)
            ++haltGeneration_;
    }
    dataArrived_.notify_all();
}

UsbStatus VirtualInstrument::reset(UsbDeviceHandle device)
{
    {
        std::lock_guard lock(mutex_);
        if (!deviceValid(device))
            return usb_status::DeviceNotFound;
        ++resets_;
        if (activeEngine_)
            activeEngine_->stop();
        activeEngine_ = nullptr;
        answer_.clear();
        ++haltGeneration_; // a pending read ends with the reset
        stalled_ = false;
        transferErrorPending_ = false;
    }
    dataArrived_.notify_all();
    return usb_status::Success;
}

void VirtualInstrument::plug()
{
    UsbDeviceHandle attached = 0;
    {
        std::lock_guard lock(mutex_);
        attached = plugLocked();
    }
    announce(attached, 0);
}

void VirtualInstrument::unplug()
{
    UsbDeviceHandle detached = 0;
    {
        std::lock_guard lock(mutex_);
        detached = unplugLocked();
    }
    faultTimerWake_.notify_all(); // a re-plug may be due later
    announce(0, detached);
}

UsbDeviceHandle VirtualInstrument::plugLocked()
{
    if (plugged_)
        return 0;
    plugged_ = true;
    handle_ = nextHandle_++;
    replugAtUs_.reset();
    stalled_ = false;
    transferErrorPending_ = false;
    return watching_ ? handle_ : 0;
}

UsbDeviceHandle VirtualInstrument::unplugLocked()
{
    if (!plugged_)
        return 0;
    plugged_ = false;
    const UsbDeviceHandle detached = watching_ ? handle_ : 0;
    handle_ = 0;
    if (activeEngine_)
        activeEngine_->stop();
    activeEngine_ = nullptr;
    answer_.clear();
    if (replugDelayMs_)
        replugAtUs_ = clock_.nowUs() + static_cast<std::int64_t>(*replugDelayMs_ * 1000.0);
    return detached;
}

void VirtualInstrument::announce(UsbDeviceHandle attached, UsbDeviceHandle detached)
{
    dataArrived_.notify_all();
    if (detached != 0)
        runEvent([this, detached] { if (onDetach_) onDetach_(detached); });
    if (attached != 0)
        runEvent([this, attached] { if (onAttach_) onAttach_(attached); });
}

bool VirtualInstrument::isPlugged() const
{
    std::lock_guard lock(mutex_);
    return plugged_;
}

bool VirtualInstrument::plugSecondInstrument()
{
    AttachCallback attach;
    UsbDeviceHandle second = 0;
    {
        std::lock_guard lock(mutex_);
        if (!watching_)
            return false;
        attach = onAttach_;
        second = nextHandle_++;
    }
    bool taken = false;
    std::thread event([&] { taken = attach && attach(second); });
    event.join();
    return taken;
}

void VirtualInstrument::failNextReads(int count, UsbStatus status)
{
    std::lock_guard lock(mutex_);
    failingReads_ = count;
    readFault_ = status;
}

void VirtualInstrument::failNextWrites(int count, UsbStatus status)
{
    std::lock_guard lock(mutex_);
    failingWrites_ = count;
    writeFault_ = status;
}

void VirtualInstrument::shortenNextRead(std::size_t bytes, int skipReads)
{
    std::lock_guard lock(mutex_);
    shortRead_ = bytes;
    readsBeforeShort_ = skipReads;
}

void VirtualInstrument::refuseBootBlocks(std::optional<std::size_t> offset)
{
    std::lock_guard lock(mutex_);
    refuseBootBlocks_ = true;
    refusedBootBlock_ = offset;
}

void VirtualInstrument::unplugAfterBootBlocks(int blocks)
{
    std::lock_guard lock(mutex_);
    bootBlocksBeforeUnplug_ = blocks;
}

void VirtualInstrument::addEngine(std::unique_ptr<AcquisitionEngine> engine)
{
    std::lock_guard lock(mutex_);
    engines_.push_back(std::move(engine));
}

int VirtualInstrument::resetCount() const
{
    std::lock_guard lock(mutex_);
    return resets_;
}

void VirtualInstrument::armFaults(std::vector<SimFault> faults)
{
    bool timed = false;
    {
        std::lock_guard lock(mutex_);
        armedFaults_.clear();
        replugDelayMs_.reset();
        stalled_ = false;
        transferErrorPending_ = false;
        for (const SimFault& fault : faults) {
            if (fault.kind == SimFaultKind::Replug)
                replugDelayMs_ = fault.amount;
            else
                armedFaults_.push_back(fault);
            timed = timed || fault.trigger == SimFaultTrigger::Time;
        }
        faultsArmedUs_ = clock_.nowUs();
        transfersSinceArmed_ = 0;
        readsSinceArmed_ = 0;
        if (timed && !faultTimer_.joinable())
            faultTimer_ = std::thread([this] { runFaultTimer(); });
    }
    faultTimerWake_.notify_all();
}

int VirtualInstrument::transfersSinceArmed() const
{
    std::lock_guard lock(mutex_);
    return transfersSinceArmed_;
}

int VirtualInstrument::readsSinceArmed() const
{
    std::lock_guard lock(mutex_);
    return readsSinceArmed_;
}

int VirtualInstrument::faultsWaiting() const
{
    std::lock_guard lock(mutex_);
    return static_cast<int>(armedFaults_.size());
}

void VirtualInstrument::beginTransfer(bool read)
{
    UsbDeviceHandle detached = 0;
    {
        std::lock_guard lock(mutex_);
        detached = fireDueFaultsLocked(read);
        ++transfersSinceArmed_;
        if (read)
            ++readsSinceArmed_;
    }
    if (detached != 0) {
        faultTimerWake_.notify_all();
        announce(0, detached);
    }
}

UsbDeviceHandle VirtualInstrument::fireDueFaultsLocked(bool atRead)
{
    const std::int64_t now = clock_.nowUs();
    UsbDeviceHandle detached = 0;
    std::erase_if(armedFaults_, [&](const SimFault& fault) {
        const bool due = fault.trigger == SimFaultTrigger::Time
                             ? now - faultsArmedUs_ >= static_cast<std::int64_t>(fault.amount * 1000.0)
                         : fault.trigger == SimFaultTrigger::Transfers ? transfersSinceArmed_ >= fault.amount
                                                                       : atRead && readsSinceArmed_ >= fault.amount;
        if (!due)
            return false;
        switch (fault.kind) {
        case SimFaultKind::Unplug: detached = unplugLocked(); break;
        case SimFaultKind::Stall: stalled_ = true; break;
        case SimFaultKind::TransferError: transferErrorPending_ = true; break;
        case SimFaultKind::Replug: break;
        }
        return true;
    });
    return detached;
}

void VirtualInstrument::runFaultTimer()
{
    std::unique_lock lock(mutex_);
    while (!stopFaultTimer_) {
        const std::size_t armedBefore = armedFaults_.size();
        const UsbDeviceHandle detached = fireDueFaultsLocked(false);
        UsbDeviceHandle attached = 0;
        if (replugAtUs_ && clock_.nowUs() >= *replugAtUs_)
            attached = plugLocked();
        if (detached != 0 || attached != 0 || armedFaults_.size() != armedBefore) {
            lock.unlock();
            announce(attached, detached);
            lock.lock();
            continue;
        }
        // Sleep until the next time something is due, or until the schedule changes.
        std::optional<std::int64_t> nextUs = replugAtUs_;
        for (const SimFault& fault : armedFaults_)
            if (fault.trigger == SimFaultTrigger::Time) {
                const std::int64_t at = faultsArmedUs_ + static_cast<std::int64_t>(fault.amount * 1000.0);
                nextUs = nextUs ? std::min(*nextUs, at) : at;
            }
        if (!nextUs) {
            faultTimerWake_.wait(lock);
            continue;
        }
        const double waitMs = static_cast<double>(*nextUs - clock_.nowUs()) / 1000.0;
        faultTimerWake_.wait_for(lock, clock_.realDuration(waitMs) + std::chrono::microseconds(1));
    }
}

void VirtualInstrument::stopFaultTimer()
{
    {
        std::lock_guard lock(mutex_);
        stopFaultTimer_ = true;
    }
    faultTimerWake_.notify_all();
    if (faultTimer_.joinable())
        faultTimer_.join();
}

void VirtualInstrument::runEvent(std::function<void()> event)
{
    // Attach and detach reach the host on a thread of their own, as from a USB library, and in
    // the order they happened: a late detach must not meet the next attach.
    std::lock_guard lock(eventsMutex_);
    std::promise<void> done;
    std::shared_future<void> previous = std::exchange(lastEvent_, done.get_future().share());
    events_.emplace_back([previous, event = std::move(event), done = std::move(done)]() mutable {
        if (previous.valid())
            previous.wait();
        event();
        done.set_value();
    });
}

void VirtualInstrument::joinEvents()
{
    std::vector<std::thread> events;
    {
        std::lock_guard lock(eventsMutex_);
        events.swap(events_);
    }
    for (std::thread& t : events)
        if (t.joinable())
            t.join();
}

} // namespace tesmar
