#pragma once
// A session on the virtual instrument with a fast clock, recording the program-block offsets
// the host sends.

#include "device/Commands.h"
#include "device/UsbSession.h"
#include "sim/VirtualInstrument.h"

#include <vector>

namespace tesmar {

class RecordingTransport final : public UsbTransport {
public:
    explicit RecordingTransport(VirtualInstrument& inner) : inner_(inner) {}
    std::vector<int> programmedOffsets;

    UsbStatus init(AttachCallback a, DetachCallback d) override { return inner_.init(std::move(a), std::move(d)); }
    void uninit() override { inner_.uninit(); }
    UsbStatus setInterface(UsbDeviceHandle h, int i, int a) override { return inner_.setInterface(h, i, a); }
    UsbStatus controlOut(UsbDeviceHandle h, const SetupPacket& s, const std::uint8_t* d, std::size_t l,
                         std::size_t& t, int ms) override
    {
        bool bootLoader = false;
        {
            std::lock_guard lock(inner_.stateMutex());
            bootLoader = inner_.state().bootLoader;
        }
        if (bootLoader && s.bRequest == CmdBootProgramBlock)
            programmedOffsets.push_back(s.wValue);
        return inner_.controlOut(h, s, d, l, t, ms);
    }
    UsbStatus bulkIn(UsbDeviceHandle h, std::uint8_t p, std::uint8_t* b, std::size_t l, std::size_t& t,
                     int ms) override
    {
        return inner_.bulkIn(h, p, b, l, t, ms);
    }
    void halt(UsbDeviceHandle h, std::uint8_t p) override { inner_.halt(h, p); }
    UsbStatus reset(UsbDeviceHandle h) override { return inner_.reset(h); }

private:
    VirtualInstrument& inner_;
};

struct SimSession {
    SimClock clock{1000.0};
    VirtualInstrument instrument{clock};
    RecordingTransport recorder{instrument};
    UsbSession session{recorder};

    SimSession()
    {
        session.setSleeper([this](int ms) { clock.sleepMs(ms); });
        session.settings().resetTimeoutMs = 0;
    }
    bool open(std::chrono::milliseconds wait = std::chrono::seconds(1)) { return session.DeviceOpen(wait); }
};

} // namespace tesmar
