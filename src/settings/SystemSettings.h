#pragma once
// Section `system` of the settings file: transfer time-outs and low-level switches.

#include <cstdint>

namespace tesmar {

class IniFile;

struct SystemSettings {
    int usbWrTimeout = 50;          // usb_wr_timeout, ms
    int usbRdTimeout = 50;          // usb_rd_timeout, ms
    std::uint16_t usbResetTimeout = 50;   // usb_reset_timeout, ms
    std::uint16_t waitResetTrigger = 300; // wait_reset_trigger, ms
    bool showExchangeError = false; // show_exchange_error
    bool eightBit = false;          // 8bit: read only, never written
    bool old = false;               // old: read only, never written
};

// Keys missing or unreadable keep the values already in `settings`.
void ReadSystemSettings(const IniFile& ini, SystemSettings& settings);
// Writes every key but `8bit` and `old`.
void WriteSystemSettings(IniFile& ini, const SystemSettings& settings);

} // namespace tesmar
