#include "UsbSession.h"

#include <thread>

namespace tesmar {

UsbSession::UsbSession(UsbTransport& transport)
    : transport_(transport),
      sleep_([](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); })
{
}

UsbSession::~UsbSession()
{
    // The transport's thread must not call back into a destroyed session.
    if (open_)
        transport_.uninit();
}

void UsbSession::pause(int milliseconds) const
{
    if (milliseconds > 0)
        sleep_(milliseconds);
}

bool UsbSession::DeviceOpen(std::chrono::milliseconds attachWait, bool keepWatching)
{
    if (open_)
        DeviceClose();
    device_ = 0;
    interfaceStatus_ = usb_status::DeviceNotFound;
    {
        std::lock_guard lock(attachMutex_);
        attachSignalled_ = false;
    }
    const UsbStatus initStatus = transport_.init([this](UsbDeviceHandle d) { return onAttach(d); },
                                                 [this](UsbDeviceHandle d) { onDetach(d); });
    if (initStatus != usb_status::Success) {
        transport_.uninit();
        return false;
    }
    open_ = true;
    bool signalled = false;
    {
        std::unique_lock lock(attachMutex_);
        signalled = attachEvent_.wait_for(lock, attachWait, [this] { return attachSignalled_; });
    }
    if (signalled && interfaceStatus_ == usb_status::Success && device_ != 0)
        return true;
    if (!keepWatching)
        DeviceClose();
    return false;
}

void UsbSession::DeviceClose()
{
    if (open_)
        transport_.uninit();
    open_ = false;
    device_ = 0;
}

bool UsbSession::onAttach(UsbDeviceHandle device)
{
    UsbDeviceHandle none = 0;
    // Only the first matching device is taken.
    if (!device_.compare_exchange_strong(none, device))
        return false;
    const UsbStatus status = transport_.setInterface(device, 0, 0);
    interfaceStatus_ = status;
    if (status != usb_status::Success)
        device_ = 0;
    else
        ++attachCount_;
    {
        std::lock_guard lock(attachMutex_);
        attachSignalled_ = true;
    }
    attachEvent_.notify_all();
    if (status == usb_status::Success && deviceListener_)
        deviceListener_();
    return status == usb_status::Success;
}

void UsbSession::onDetach(UsbDeviceHandle device)
{
    UsbDeviceHandle expected = device;
    if (device_.compare_exchange_strong(expected, 0) && deviceListener_)
        deviceListener_();
}

void UsbSession::DeviceReset()
{
    transport_.reset(device_.load());
    pause(settings_.resetTimeoutMs);
}

std::uint32_t UsbSession::WriteCommand(const std::uint8_t* data, std::uint16_t length)
{
    setup_.wLength = length;
    return WriteCommandPacket(setup_, data, length);
}

std::uint32_t UsbSession::WriteCommandPacket(SetupPacket setup, const std::uint8_t* data, std::uint16_t length)
{
    UsbStatus status = usb_status::Success;
    const std::uint32_t count = writeCommandWith(setup, data, length, settings_.writeTimeoutMs, status);
    // A device that is gone (before or during the transfer) is silent: that is no exchange error.
    if (isAttached() || status != usb_status::DeviceNotFound)
        reportIfFailed(status);
    return count;
}

std::uint32_t UsbSession::ReadDataPipe(std::uint8_t* buffer, std::uint32_t length)
{
    UsbStatus status = usb_status::Success;
    const std::uint32_t count = readPipe(buffer, length, settings_.readTimeoutMs, status);
    if (isAttached() || status != usb_status::DeviceNotFound)
        reportIfFailed(status);
    return count;
}

std::uint32_t UsbSession::writeCommandWith(SetupPacket setup, const std::uint8_t* data, std::uint16_t length,
                                           int timeoutMs, UsbStatus& status)
{
    setup.wLength = length;
    const UsbDeviceHandle device = device_.load();
    if (device == 0) {
        // No device: no transfer is attempted and nothing is reported.
        status = usb_status::DeviceNotFound;
        return 0;
    }
    std::size_t transferred = 0;
    status = transport_.controlOut(device, setup, data, length, transferred, timeoutMs);
    lastWriteStatus_ = status;
    return static_cast<std::uint32_t>(transferred);
}

std::uint32_t UsbSession::readPipe(std::uint8_t* buffer, std::uint32_t length, int timeoutMs, UsbStatus& status)
{
    const UsbDeviceHandle device = device_.load();
    if (device == 0) {
        status = usb_status::DeviceNotFound;
        return 0;
    }
    std::size_t transferred = 0;
    status = transport_.bulkIn(device, kDataPipe, buffer, length, transferred, timeoutMs);
    lastReadStatus_ = status;
    return static_cast<std::uint32_t>(transferred);
}

void UsbSession::HaltTransfers()
{
    const UsbDeviceHandle device = device_.load();
    if (device != 0) {
        transport_.halt(device, kControlPipe);
        transport_.halt(device, kDataPipe);
    }
    pause(100);
}

void UsbSession::reportIfFailed(UsbStatus status) const
{
    if (status != usb_status::Success && settings_.showExchangeError && reportError_)
        reportError_(status);
}

} // namespace tesmar
