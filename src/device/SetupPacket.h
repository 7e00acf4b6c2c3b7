#pragma once
// The 8-byte USB SETUP record every vendor command travels in. Callers set only the fields their
// command uses; the others keep what the previous command left.

#include <array>
#include <cstdint>

namespace tesmar {

struct SetupPacket {
    std::uint8_t bmRequestType = 0x40; // vendor request, host to device; never changed
    std::uint8_t bRequest = 0;
    std::uint16_t wValue = 0;
    std::uint16_t wIndex = 0;
    std::uint16_t wLength = 0;

    std::array<std::uint8_t, 8> bytes() const
    {
        return {bmRequestType,
                bRequest,
                static_cast<std::uint8_t>(wValue & 0xFF),
                static_cast<std::uint8_t>(wValue >> 8),
                static_cast<std::uint8_t>(wIndex & 0xFF),
                static_cast<std::uint8_t>(wIndex >> 8),
                static_cast<std::uint8_t>(wLength & 0xFF),
                static_cast<std::uint8_t>(wLength >> 8)};
    }
};

} // namespace tesmar
