#pragma once
// The decoder windows of the logic analyser, made once and opened from their menu items.

#include "DecoderWindow.h"

namespace tesmar {

class MainMenu;
class TfmLAN_1Wire;
class TfmLAN_I2C;
class TfmLAN_SPI;
class TfmLAN_UART;

struct DecoderWindows {
    TfmLAN_UART* fmLAN_UART = nullptr;
    TfmLAN_I2C* fmLAN_I2C = nullptr;
    TfmLAN_SPI* fmLAN_SPI = nullptr;
    TfmLAN_1Wire* fmLAN_1Wire = nullptr;

    // Makes the windows as children of `parent` and connects them to their menu items.
    void create(const DecoderContext& context, MainMenu& menu, QWidget* parent);
};

} // namespace tesmar
