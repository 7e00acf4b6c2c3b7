#include "TerminalFields.h"

#include "dsp/TextHelpers.h"

#include <algorithm>

namespace tesmar {

int ClampTerminalCount(long long count) {
    return static_cast<int>(std::clamp<long long>(count, kTerminalMinCount, kTerminalBufferSize));
}

int ClampTerminalSpeed(long long speed) {
    return static_cast<int>(std::clamp<long long>(speed, kTerminalMinSpeed, kTerminalMaxSpeed));
}

bool AddressKeyAccepted(char32_t key) {
    return key == U'0' || key == U'1' || key < 0x20 || key == 0x7F;
}

std::uint8_t AddressFromText(std::string_view text) {
    return static_cast<std::uint8_t>(BinTextToInt(text) & 0x7F);
}

std::string NormaliseAddressText(std::string_view text) {
    // Eight digits with the first dropped: the address is the low seven bits.
    return ByteToBinText(static_cast<std::uint8_t>(BinTextToInt(text) & 0xFF), false).substr(1);
}

} // namespace tesmar
