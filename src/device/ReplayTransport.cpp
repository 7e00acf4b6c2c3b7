#include "ReplayTransport.h"

#include <algorithm>
#include <cstdio>

namespace tesmar {

namespace {

std::string Byte(std::uint8_t value)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

// How the program's call differs from the recorded event; empty when it is the same.
std::string Difference(const UsbRecordEntry& recorded, const UsbRecordEntry& seen)
{
    const std::string fieldsSeen = DescribeUsbRecordEntry(seen);
    const std::string fieldsRecorded = DescribeUsbRecordEntry(recorded);
    if (recorded.kind != seen.kind || fieldsSeen != fieldsRecorded)
        return "the record has " + fieldsRecorded + ", the program " + (seen.kind == UsbEventKind::BulkIn ? "asked for " : "sent ") +
               fieldsSeen;
    if (seen.kind == UsbEventKind::ControlOut && recorded.data != seen.data) {
        const auto [at, _] = std::mismatch(recorded.data.begin(), recorded.data.end(), seen.data.begin());
        const auto i = static_cast<std::size_t>(at - recorded.data.begin());
        return "the program sent " + fieldsSeen + " as recorded, but data byte " + std::to_string(i) + " is " +
               Byte(seen.data[i]) + " where the record has " + Byte(recorded.data[i]);
    }
    return {};
}

} // namespace

ReplayTransport::ReplayTransport(std::vector<UsbRecordEntry> entries, DivergenceListener onDivergence)
    : entries_(std::move(entries)), onDivergence_(std::move(onDivergence))
{
}

void ReplayTransport::skipHalts()
{
    while (cursor_ < entries_.size() && entries_[cursor_].kind == UsbEventKind::Halt)
        ++cursor_;
}

void ReplayTransport::diverge(const std::string& text)
{
    if (!divergence_.empty())
        return;
    divergence_ = text;
    if (onDivergence_)
        onDivergence_(divergence_);
}

void ReplayTransport::announceEvents()
{
    for (;;) {
        UsbDeviceHandle device = 0;
        bool attach = false;
        AttachCallback onAttach;
        DetachCallback onDetach;
        {
            std::lock_guard lock(mutex_);
            skipHalts();
            if (!divergence_.empty() || cursor_ >= entries_.size() || !onAttach_)
                return;
            const UsbRecordEntry& e = entries_[cursor_];
            if (e.kind != UsbEventKind::Attach && e.kind != UsbEventKind::Detach)
                return;
            ++cursor_;
            attach = e.kind == UsbEventKind::Attach;
            device = e.device ? e.device : 1;
            attached_ = attach ? device : 0;
            onAttach = onAttach_;
            onDetach = onDetach_;
        }
        // The session calls back into the transport (the interface selection).
        if (attach)
            onAttach(device);
        else if (onDetach)
            onDetach(device);
    }
}

const UsbRecordEntry* ReplayTransport::take(const UsbRecordEntry& seen)
{
    announceEvents();
    DetachCallback unplug;
    UsbDeviceHandle device = 0;
    {
        std::lock_guard lock(mutex_);
        if (!divergence_.empty())
            return nullptr;
        skipHalts();
        if (cursor_ < entries_.size()) {
            const UsbRecordEntry& recorded = entries_[cursor_];
            const std::string why = Difference(recorded, seen);
            if (why.empty()) {
                ++cursor_;
                return &recorded;
            }
            diverge("line " + std::to_string(recorded.line) + ": " + why);
        } else {
            diverge("the record ends" +
                    (entries_.empty() ? std::string()
                                      : " (its last event is on line " + std::to_string(entries_.back().line) + ")") +
                    ", the program went on with " + DescribeUsbRecordEntry(seen));
        }
        unplug = onDetach_;
        device = attached_;
    }
    // No answer can follow: the instrument goes, so that no reader waits for one.
    if (unplug && device)
        unplug(device);
    return nullptr;
}

UsbStatus ReplayTransport::init(AttachCallback onAttach, DetachCallback onDetach)
{
    {
        std::lock_guard lock(mutex_);
        onAttach_ = std::move(onAttach);
        onDetach_ = std::move(onDetach);
    }
    announceEvents();
    return usb_status::Success;
}

void ReplayTransport::uninit()
{
    std::lock_guard lock(mutex_);
    onAttach_ = nullptr;
    onDetach_ = nullptr;
}

UsbStatus ReplayTransport::setInterface(UsbDeviceHandle, int interfaceNumber, int alternateSetting)
{
    UsbRecordEntry seen;
    seen.kind = UsbEventKind::SetInterface;
    seen.interfaceNumber = interfaceNumber;
    seen.alternateSetting = alternateSetting;
    const UsbRecordEntry* recorded = take(seen);
    return recorded ? recorded->status : usb_status::DataMismatch;
}

UsbStatus ReplayTransport::controlOut(UsbDeviceHandle, const SetupPacket& setup, const std::uint8_t* data,
                                      std::size_t length, std::size_t& transferred, int)
{
    UsbRecordEntry seen;
    seen.kind = UsbEventKind::ControlOut;
    seen.setup = setup;
    seen.setup.wLength = static_cast<std::uint16_t>(length);
    if (data)
        seen.data.assign(data, data + length);
    const UsbRecordEntry* recorded = take(seen);
    transferred = recorded ? recorded->transferred : 0;
    const UsbStatus status = recorded ? recorded->status : usb_status::DataMismatch;
    announceEvents();
    return status;
}

UsbStatus ReplayTransport::bulkIn(UsbDeviceHandle, std::uint8_t pipe, std::uint8_t* buffer, std::size_t length,
                                  std::size_t& transferred, int)
{
    UsbRecordEntry seen;
    seen.kind = UsbEventKind::BulkIn;
    seen.pipe = pipe;
    seen.requested = length;
    const UsbRecordEntry* recorded = take(seen);
    transferred = 0;
    if (!recorded)
        return usb_status::DataMismatch;
    transferred = std::min(recorded->data.size(), length);
    std::copy_n(recorded->data.begin(), transferred, buffer);
    const UsbStatus status = recorded->status;
    announceEvents();
    return status;
}

void ReplayTransport::halt(UsbDeviceHandle, std::uint8_t) {}

UsbStatus ReplayTransport::reset(UsbDeviceHandle)
{
    UsbRecordEntry seen;
    seen.kind = UsbEventKind::Reset;
    const UsbRecordEntry* recorded = take(seen);
    const UsbStatus status = recorded ? recorded->status : usb_status::DataMismatch;
    announceEvents();
    return status;
}

std::string ReplayTransport::divergence() const
{
    std::lock_guard lock(mutex_);
    return divergence_;
}

std::string ReplayTransport::finish() const
{
    std::lock_guard lock(mutex_);
    if (!divergence_.empty())
        return divergence_;
    std::size_t at = cursor_;
    while (at < entries_.size() && entries_[at].kind == UsbEventKind::Halt)
        ++at;
    if (at >= entries_.size())
        return {};
    return "line " + std::to_string(entries_[at].line) + ": the program ended where the record goes on with " +
           DescribeUsbRecordEntry(entries_[at]);
}

} // namespace tesmar
