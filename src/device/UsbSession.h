#pragma once
// The one connection between the program and the instrument: the attached device, the shared
// setup packet and the transfer primitives every other part is built on.

#include "SetupPacket.h"
#include "UsbStatus.h"
#include "UsbTransport.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

namespace tesmar {

// Section `system` values the session uses, as they stand (no range checks).
struct TransferSettings {
    int writeTimeoutMs = 50;          // usb_wr_timeout
    int readTimeoutMs = 50;           // usb_rd_timeout
    std::uint16_t resetTimeoutMs = 50; // usb_reset_timeout
    bool showExchangeError = false;   // show_exchange_error
};

class UsbSession {
public:
    // Called on whichever thread the failed transfer ran; the receiver must hand the report to the
    // user-interface thread itself.
    using ExchangeErrorReporter = std::function<void(UsbStatus)>;
    using Sleeper = std::function<void(int milliseconds)>;
    // Called on the transport's thread after an attach that took a device and after a detach.
    using DeviceListener = std::function<void()>;

    explicit UsbSession(UsbTransport& transport);
    ~UsbSession();
    UsbSession(const UsbSession&) = delete;
    UsbSession& operator=(const UsbSession&) = delete;

    TransferSettings& settings() { return settings_; }
    const TransferSettings& settings() const { return settings_; }
    void setExchangeErrorReporter(ExchangeErrorReporter reporter) { reportError_ = std::move(reporter); }
    // Set before DeviceOpen; the receiver hands the news to its own thread.
    void setDeviceListener(DeviceListener listener) { deviceListener_ = std::move(listener); }
    // Replaces the real sleep (a fast clock in tests).
    void setSleeper(Sleeper sleeper) { sleep_ = std::move(sleeper); }
    void pause(int milliseconds) const;

    // The shared setup record; commands set their own fields in it.
    SetupPacket& setupPacket() { return setup_; }

    // Starts the transport and waits up to `attachWait` for the instrument; true when one is
    // attached and its interface selected. With `keepWatching`, a session that finds none stays
    // open, so that an instrument plugged in later is attached.
    bool DeviceOpen(std::chrono::milliseconds attachWait = std::chrono::seconds(1), bool keepWatching = false);
    void DeviceClose();
    // Resets the device (also when none is attached) and waits the reset time-out.
    void DeviceReset();
    // Control OUT on pipe 0 with the shared setup packet; wLength becomes `length`.
    std::uint32_t WriteCommand(const std::uint8_t* data, std::uint16_t length);
    // One bulk IN transfer on pipe 0x83 with the read time-out.
    std::uint32_t ReadDataPipe(std::uint8_t* buffer, std::uint32_t length);
    // Ends pending transfers on pipes 0 and 0x83, then waits 100 ms.
    void HaltTransfers();

    // WriteCommand with a setup packet of the caller's own (a reader thread's copy).
    std::uint32_t WriteCommandPacket(SetupPacket setup, const std::uint8_t* data, std::uint16_t length);

    // For reader threads: their own setup packet and time-outs, no exchange error message.
    std::uint32_t writeCommandWith(SetupPacket setup, const std::uint8_t* data, std::uint16_t length,
                                   int timeoutMs, UsbStatus& status);
    std::uint32_t readPipe(std::uint8_t* buffer, std::uint32_t length, int timeoutMs, UsbStatus& status);

    bool isOpen() const { return open_; }
    bool isAttached() const { return device_.load() != 0; }
    // Counts the devices taken since the program started: a new count is a new attach.
    unsigned attachCount() const { return attachCount_.load(); }
    UsbStatus lastReadStatus() const { return lastReadStatus_.load(); }
    UsbStatus lastWriteStatus() const { return lastWriteStatus_.load(); }

private:
    bool onAttach(UsbDeviceHandle device);
    void onDetach(UsbDeviceHandle device);
    void reportIfFailed(UsbStatus status) const;

    UsbTransport& transport_;
    TransferSettings settings_;
    SetupPacket setup_;
    ExchangeErrorReporter reportError_;
    Sleeper sleep_;
    DeviceListener deviceListener_;
    std::atomic<unsigned> attachCount_{0};

    bool open_ = false;
    std::atomic<UsbDeviceHandle> device_{0};
    std::atomic<UsbStatus> interfaceStatus_{usb_status::DeviceNotFound};
    std::atomic<UsbStatus> lastReadStatus_{0};
    std::atomic<UsbStatus> lastWriteStatus_{0};

    // The attach event: the open waits on it, the transport's thread signals it.
    std::mutex attachMutex_;
    std::condition_variable attachEvent_;
    bool attachSignalled_ = false;
};

} // namespace tesmar
