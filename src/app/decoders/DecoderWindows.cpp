#include "DecoderWindows.h"

#include "TfmLAN_1Wire.h"
#include "TfmLAN_I2C.h"
#include "TfmLAN_SPI.h"
#include "TfmLAN_UART.h"
#include "app/MainMenu.h"

#include <QAction>

namespace tesmar {

namespace {

// Non-modal: the menu item shows the window and raises it if it is already open.
void OpenFrom(QAction* item, DecoderWindow* window) {
    QObject::connect(item, &QAction::triggered, window, [window] { window->showFitted(); });
}

} // namespace

void DecoderWindows::create(const DecoderContext& context, MainMenu& menu, QWidget* parent) {
    fmLAN_UART = new TfmLAN_UART(context, parent);
    OpenFrom(menu.miLAN_UART, fmLAN_UART);
    fmLAN_I2C = new TfmLAN_I2C(context, parent);
    OpenFrom(menu.miLAN_I2C, fmLAN_I2C);
    fmLAN_SPI = new TfmLAN_SPI(context, parent);
    OpenFrom(menu.miLAN_SPI, fmLAN_SPI);
    fmLAN_1Wire = new TfmLAN_1Wire(context, parent);
    OpenFrom(menu.miLAN_1Wire, fmLAN_1Wire);
}

} // namespace tesmar
