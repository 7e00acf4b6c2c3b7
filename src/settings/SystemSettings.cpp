#include "settings/SystemSettings.h"

#include "settings/IniFile.h"

#include <algorithm>
#include <limits>

namespace tesmar {
namespace {

constexpr const char* kSection = "system";

template <typename T> T ReadClamped(const IniFile& ini, const char* key, T current) {
    // A value outside the field's range is held at the nearest end rather than wrapped around.
    const long long value = ini.readInteger(kSection, key, current);
    return static_cast<T>(
        std::clamp<long long>(value, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
}

} // namespace

void ReadSystemSettings(const IniFile& ini, SystemSettings& settings) {
    settings.usbWrTimeout = ReadClamped<int>(ini, "usb_wr_timeout", settings.usbWrTimeout);
    settings.usbRdTimeout = ReadClamped<int>(ini, "usb_rd_timeout", settings.usbRdTimeout);
    settings.usbResetTimeout = ReadClamped<std::uint16_t>(ini, "usb_reset_timeout", settings.usbResetTimeout);
    settings.waitResetTrigger =
        ReadClamped<std::uint16_t>(ini, "wait_reset_trigger", settings.waitResetTrigger);
    settings.showExchangeError = ini.readBool(kSection, "show_exchange_error", settings.showExchangeError);
    settings.eightBit = ini.readBool(kSection, "8bit", settings.eightBit);
    settings.old = ini.readBool(kSection, "old", settings.old);
}

void WriteSystemSettings(IniFile& ini, const SystemSettings& settings) {
    ini.writeInteger(kSection, "usb_wr_timeout", settings.usbWrTimeout);
    ini.writeInteger(kSection, "usb_rd_timeout", settings.usbRdTimeout);
    ini.writeInteger(kSection, "usb_reset_timeout", settings.usbResetTimeout);
    ini.writeInteger(kSection, "wait_reset_trigger", settings.waitResetTrigger);
    ini.writeBool(kSection, "show_exchange_error", settings.showExchangeError);
}

} // namespace tesmar
