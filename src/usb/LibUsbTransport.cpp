#include "LibUsbTransport.h"

#include <libusb.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <thread>

namespace tesmar {

namespace {

UsbStatus MapStatus(int result)
{
    switch (result) {
    case LIBUSB_SUCCESS: return usb_status::Success;
    case LIBUSB_ERROR_TIMEOUT: return usb_status::TimeOut;
    case LIBUSB_ERROR_NO_DEVICE:
    case LIBUSB_ERROR_NOT_FOUND: return usb_status::DeviceNotFound;
    case LIBUSB_ERROR_PIPE: return usb_status::PidStall;
    case LIBUSB_ERROR_OVERFLOW: return usb_status::BufferOverrun;
    case LIBUSB_ERROR_INVALID_PARAM: return usb_status::InvalidParameter;
    case LIBUSB_ERROR_INTERRUPTED: return usb_status::Cancelled;
    default: return usb_status::UsbdError;
    }
}

UsbStatus MapTransferStatus(libusb_transfer_status status)
{
    switch (status) {
    case LIBUSB_TRANSFER_COMPLETED: return usb_status::Success;
    case LIBUSB_TRANSFER_TIMED_OUT: return usb_status::TimeOut;
    case LIBUSB_TRANSFER_CANCELLED: return usb_status::Cancelled;
    case LIBUSB_TRANSFER_NO_DEVICE: return usb_status::DeviceNotFound;
    case LIBUSB_TRANSFER_STALL: return usb_status::PidStall;
    case LIBUSB_TRANSFER_OVERFLOW: return usb_status::BufferOverrun;
    default: return usb_status::UsbdError;
    }
}

bool IsInstrument(libusb_device* device)
{
    libusb_device_descriptor d{};
    return libusb_get_device_descriptor(device, &d) == 0 && d.idVendor == kVendorId && d.idProduct == kProductId;
}

// One opened instrument. Transfers hold a reference, so a detach never closes a handle in use.
struct OpenDevice {
    libusb_device* device = nullptr;
    libusb_device_handle* handle = nullptr;
    bool claimed = false;
    std::mutex pendingMutex;
    libusb_transfer* pendingRead = nullptr;

    ~OpenDevice()
    {
        if (claimed)
            libusb_release_interface(handle, 0);
        if (handle)
            libusb_close(handle);
        if (device)
            libusb_unref_device(device);
    }
};

struct ReadCompletion {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
};

void LIBUSB_CALL OnReadComplete(libusb_transfer* transfer)
{
    auto* completion = static_cast<ReadCompletion*>(transfer->user_data);
    {
        std::lock_guard lock(completion->mutex);
        completion->finished = true;
    }
    completion->done.notify_all();
}

} // namespace

struct LibUsbTransport::Impl {
    libusb_context* context = nullptr;
    AttachCallback onAttach;
    DetachCallback onDetach;
    std::atomic<bool> running{false};
    std::thread eventThread;   // libusb events: asynchronous reads, hot-plug notifications
    std::thread watchThread;   // attach/detach reported to the session, or polling
    libusb_hotplug_callback_handle hotplugHandle = 0;
    bool hotplug = false;

    std::mutex mutex;
    std::condition_variable changed;
    std::map<UsbDeviceHandle, std::shared_ptr<OpenDevice>> open;
    std::set<libusb_device*> arrived, left;
    bool rescan = true;

    std::shared_ptr<OpenDevice> find(UsbDeviceHandle h)
    {
        std::lock_guard lock(mutex);
        const auto it = open.find(h);
        return it == open.end() ? nullptr : it->second;
    }

    static int LIBUSB_CALL OnHotplug(libusb_context*, libusb_device* device, libusb_hotplug_event event, void* user)
    {
        // Only note the change here: opening and claiming belong on the watch thread.
        auto* self = static_cast<Impl*>(user);
        {
            std::lock_guard lock(self->mutex);
            libusb_ref_device(device);
            if (event == LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED)
                self->arrived.insert(device);
            else
                self->left.insert(device);
        }
        self->changed.notify_all();
        return 0;
    }

    void attach(libusb_device* device)
    {
        auto opened = std::make_shared<OpenDevice>();
        opened->device = libusb_ref_device(device);
        if (libusb_open(device, &opened->handle) != 0) {
            opened->handle = nullptr;
            return;
        }
        libusb_set_auto_detach_kernel_driver(opened->handle, 1);
        const auto h = reinterpret_cast<UsbDeviceHandle>(opened.get());
        {
            std::lock_guard lock(mutex);
            open[h] = opened;
        }
        if (!(onAttach && onAttach(h))) {
            std::lock_guard lock(mutex);
            open.erase(h);
        }
    }

    void detach(libusb_device* device)
    {
        std::shared_ptr<OpenDevice> gone;
        UsbDeviceHandle h = 0;
        {
            std::lock_guard lock(mutex);
            for (auto it = open.begin(); it != open.end(); ++it) {
                if (it->second->device == device) {
                    h = it->first;
                    gone = it->second;
                    open.erase(it);
                    break;
                }
            }
        }
        if (!gone)
            return;
        {
            std::lock_guard lock(gone->pendingMutex);
            if (gone->pendingRead)
                libusb_cancel_transfer(gone->pendingRead);
        }
        if (onDetach)
            onDetach(h);
    }

    void poll()
    {
        libusb_device** list = nullptr;
        const ssize_t count = libusb_get_device_list(context, &list);
        std::set<libusb_device*> present;
        for (ssize_t i = 0; i < count; ++i)
            if (IsInstrument(list[i]))
                present.insert(list[i]);
        std::set<libusb_device*> known;
        {
            std::lock_guard lock(mutex);
            for (const auto& [h, d] : open)
                known.insert(d->device);
        }
        for (libusb_device* d : known)
            if (!present.count(d))
                detach(d);
        for (libusb_device* d : present)
            if (!known.count(d))
                attach(d);
        if (list)
            libusb_free_device_list(list, 1);
    }

    void watch()
    {
        while (running) {
            std::set<libusb_device*> in, out;
            bool scan = false;
            {
                std::unique_lock lock(mutex);
                changed.wait_for(lock, std::chrono::seconds(1),
                                 [this] { return !running || rescan || !arrived.empty() || !left.empty(); });
                in.swap(arrived);
                out.swap(left);
                scan = rescan || !hotplug;
                rescan = false;
            }
            if (!running)
                break;
            for (libusb_device* d : out) {
                detach(d);
                libusb_unref_device(d);
            }
            for (libusb_device* d : in) {
                attach(d);
                libusb_unref_device(d);
            }
            if (scan)
                poll();
        }
    }
};

LibUsbTransport::LibUsbTransport() : impl_(std::make_unique<Impl>()) {}

LibUsbTransport::~LibUsbTransport()
{
    uninit();
}

UsbStatus LibUsbTransport::init(AttachCallback onAttach, DetachCallback onDetach)
{
    Impl& d = *impl_;
    if (d.context)
        return usb_status::Success;
    if (libusb_init(&d.context) != 0) {
        d.context = nullptr;
        return usb_status::Error;
    }
    d.onAttach = std::move(onAttach);
    d.onDetach = std::move(onDetach);
    d.running = true;
    d.rescan = true;
    d.hotplug = libusb_has_capability(LIBUSB_CAP_HAS_HOTPLUG) &&
                libusb_hotplug_register_callback(
                    d.context,
                    static_cast<libusb_hotplug_event>(LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED | LIBUSB_HOTPLUG_EVENT_DEVICE_LEFT),
                    static_cast<libusb_hotplug_flag>(0), kVendorId, kProductId, LIBUSB_HOTPLUG_MATCH_ANY, &Impl::OnHotplug,
                    &d, &d.hotplugHandle) == LIBUSB_SUCCESS;
    d.eventThread = std::thread([&d] {
        while (d.running) {
            timeval tv{0, 100'000};
            libusb_handle_events_timeout_completed(d.context, &tv, nullptr);
        }
    });
    d.watchThread = std::thread([&d] { d.watch(); });
    return usb_status::Success;
}

void LibUsbTransport::uninit()
{
    Impl& d = *impl_;
    if (!d.context)
        return;
    d.running = false;
    d.changed.notify_all();
    if (d.hotplug)
        libusb_hotplug_deregister_callback(d.context, d.hotplugHandle);
    if (d.watchThread.joinable())
        d.watchThread.join();
    {
        std::lock_guard lock(d.mutex);
        d.open.clear();
        for (libusb_device* dev : d.arrived)
            libusb_unref_device(dev);
        for (libusb_device* dev : d.left)
            libusb_unref_device(dev);
        d.arrived.clear();
        d.left.clear();
    }
    if (d.eventThread.joinable())
        d.eventThread.join();
    libusb_exit(d.context);
    d.context = nullptr;
}

UsbStatus LibUsbTransport::setInterface(UsbDeviceHandle device, int interfaceNumber, int alternateSetting)
{
    const auto dev = impl_->find(device);
    if (!dev)
        return usb_status::DeviceNotFound;
    int result = libusb_claim_interface(dev->handle, interfaceNumber);
    if (result == 0) {
        dev->claimed = true;
        result = libusb_set_interface_alt_setting(dev->handle, interfaceNumber, alternateSetting);
    }
    return MapStatus(result);
}

UsbStatus LibUsbTransport::controlOut(UsbDeviceHandle device, const SetupPacket& setup, const std::uint8_t* data,
                                      std::size_t length, std::size_t& transferred, int timeoutMs)
{
    transferred = 0;
    const auto dev = impl_->find(device);
    if (!dev)
        return usb_status::DeviceNotFound;
    const int result = libusb_control_transfer(dev->handle, setup.bmRequestType, setup.bRequest, setup.wValue,
                                               setup.wIndex, const_cast<unsigned char*>(data),
                                               static_cast<std::uint16_t>(length), static_cast<unsigned>(timeoutMs));
    if (result < 0)
        return MapStatus(result);
    transferred = static_cast<std::size_t>(result);
    return usb_status::Success;
}

UsbStatus LibUsbTransport::bulkIn(UsbDeviceHandle device, std::uint8_t pipe, std::uint8_t* buffer, std::size_t length,
                                  std::size_t& transferred, int timeoutMs)
{
    transferred = 0;
    const auto dev = impl_->find(device);
    if (!dev)
        return usb_status::DeviceNotFound;
    libusb_transfer* transfer = libusb_alloc_transfer(0);
    if (!transfer)
        return usb_status::UsbdError;
    ReadCompletion completion;
    libusb_fill_bulk_transfer(transfer, dev->handle, pipe, buffer, static_cast<int>(length), &OnReadComplete,
                              &completion, static_cast<unsigned>(timeoutMs));
    {
        std::lock_guard lock(dev->pendingMutex);
        const int result = libusb_submit_transfer(transfer);
        if (result != 0) {
            libusb_free_transfer(transfer);
            return MapStatus(result);
        }
        dev->pendingRead = transfer;
    }
    {
        std::unique_lock lock(completion.mutex);
        completion.done.wait(lock, [&] { return completion.finished; });
    }
    {
        std::lock_guard lock(dev->pendingMutex);
        dev->pendingRead = nullptr;
    }
    const UsbStatus status = MapTransferStatus(transfer->status);
    transferred = static_cast<std::size_t>(transfer->actual_length);
    libusb_free_transfer(transfer);
    return status;
}

void LibUsbTransport::halt(UsbDeviceHandle device, std::uint8_t pipe)
{
    const auto dev = impl_->find(device);
    if (!dev || pipe != kDataPipe)
        return; // control writes are synchronous and end by their own short time-out
    std::lock_guard lock(dev->pendingMutex);
    if (dev->pendingRead)
        libusb_cancel_transfer(dev->pendingRead);
}

UsbStatus LibUsbTransport::reset(UsbDeviceHandle device)
{
    const auto dev = impl_->find(device);
    if (!dev)
        return usb_status::DeviceNotFound;
    {
        std::lock_guard lock(dev->pendingMutex);
        if (dev->pendingRead)
            libusb_cancel_transfer(dev->pendingRead);
    }
    return MapStatus(libusb_reset_device(dev->handle));
}

bool LibUsbTransport::instrumentPresent()
{
    libusb_context* context = nullptr;
    if (libusb_init(&context) != 0)
        return false;
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(context, &list);
    bool found = false;
    for (ssize_t i = 0; i < count && !found; ++i)
        found = IsInstrument(list[i]);
    if (list)
        libusb_free_device_list(list, 1);
    libusb_exit(context);
    return found;
}

} // namespace tesmar
