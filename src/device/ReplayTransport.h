#pragma once
// A transport that plays the instrument's side of a session record: each call of the program
// must be the next event of the record (OUT transfers with the same setup packet and bytes, IN
// transfers on the same pipe for the same length, resets, interface selections), and is answered
// with what the record holds. Attach and detach events are announced where they stand; halts are
// accepted anywhere, since they come from another thread at moments no replay can repeat. The
// first call that differs is noted, and it and every call after it fail with "Data mismatch";
// the instrument is then detached, since no answer can follow.

#include "UsbRecordFormat.h"
#include "UsbTransport.h"

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace tesmar {

class ReplayTransport final : public UsbTransport {
public:
    // Called once, on the thread of the call that differed, with the difference's text.
    using DivergenceListener = std::function<void(const std::string&)>;

    explicit ReplayTransport(std::vector<UsbRecordEntry> entries, DivergenceListener onDivergence = {});

    UsbStatus init(AttachCallback onAttach, DetachCallback onDetach) override;
    void uninit() override;
    UsbStatus setInterface(UsbDeviceHandle device, int interfaceNumber, int alternateSetting) override;
    UsbStatus controlOut(UsbDeviceHandle device, const SetupPacket& setup, const std::uint8_t* data,
                         std::size_t length, std::size_t& transferred, int timeoutMs) override;
    UsbStatus bulkIn(UsbDeviceHandle device, std::uint8_t pipe, std::uint8_t* buffer, std::size_t length,
                     std::size_t& transferred, int timeoutMs) override;
    void halt(UsbDeviceHandle device, std::uint8_t pipe) override;
    UsbStatus reset(UsbDeviceHandle device) override;

    // Empty while the program has followed the record; else the first difference.
    std::string divergence() const;
    // For the end of the run: the first difference, or the first event of the record the program
    // never came to; empty when the run and the record agree to the end.
    std::string finish() const;

private:
    // Announces the attach and detach events at the cursor, outside the lock.
    void announceEvents();
    // The recorded answer to `seen`, or none after noting how it differs.
    const UsbRecordEntry* take(const UsbRecordEntry& seen);
    void skipHalts();
    void diverge(const std::string& text);

    std::vector<UsbRecordEntry> entries_;
    DivergenceListener onDivergence_;
    mutable std::mutex mutex_;
    std::size_t cursor_ = 0;
    std::string divergence_;
    AttachCallback onAttach_;
    DetachCallback onDetach_;
    UsbDeviceHandle attached_ = 0; // the device of the last attach announced
};

} // namespace tesmar
