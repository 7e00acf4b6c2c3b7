#include "TracingTransport.h"

#include <cstdio>
#include <string>

namespace tesmar {

namespace {

std::string Hex(unsigned value, int digits)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

std::string StatusPart(UsbStatus status, std::size_t count)
{
    return " status=" + Hex(status, 8) + " count=" + std::to_string(count);
}

} // namespace

std::string HexBytes(const std::uint8_t* data, std::size_t length)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(length * 3);
    for (std::size_t i = 0; i < length; ++i) {
        if (i)
            text += ' ';
        text += digits[data[i] >> 4];
        text += digits[data[i] & 0xF];
    }
    return text;
}

void TracingTransport::line(const std::string& text)
{
    std::lock_guard lock(mutex_);
    out_ << text << '\n';
    out_.flush();
}

UsbStatus TracingTransport::init(AttachCallback onAttach, DetachCallback onDetach)
{
    return inner_.init(
        [this, onAttach](UsbDeviceHandle d) {
            const bool taken = onAttach && onAttach(d);
            line(std::string("ATTACH ") + (taken ? "taken" : "refused"));
            return taken;
        },
        [this, onDetach](UsbDeviceHandle d) {
            line("DETACH");
            if (onDetach)
                onDetach(d);
        });
}

void TracingTransport::uninit()
{
    inner_.uninit();
}

UsbStatus TracingTransport::setInterface(UsbDeviceHandle device, int interfaceNumber, int alternateSetting)
{
    return inner_.setInterface(device, interfaceNumber, alternateSetting);
}

UsbStatus TracingTransport::controlOut(UsbDeviceHandle device, const SetupPacket& setup, const std::uint8_t* data,
                                       std::size_t length, std::size_t& transferred, int timeoutMs)
{
    const UsbStatus status = inner_.controlOut(device, setup, data, length, transferred, timeoutMs);
    std::string text = "OUT bRequest=" + std::to_string(setup.bRequest) + " wValue=" + Hex(setup.wValue, 4) +
                       " wIndex=" + Hex(setup.wIndex, 4) + " length=" + std::to_string(length);
    if (length && data)
        text += " data=" + HexBytes(data, length);
    line(text + StatusPart(status, transferred));
    return status;
}

UsbStatus TracingTransport::bulkIn(UsbDeviceHandle device, std::uint8_t pipe, std::uint8_t* buffer, std::size_t length,
                                   std::size_t& transferred, int timeoutMs)
{
    const UsbStatus status = inner_.bulkIn(device, pipe, buffer, length, transferred, timeoutMs);
    std::string text = "IN  pipe=" + Hex(pipe, 2) + " length=" + std::to_string(length) + StatusPart(status, transferred);
    if (transferred)
        text += " data=" + HexBytes(buffer, transferred);
    line(text);
    return status;
}

void TracingTransport::halt(UsbDeviceHandle device, std::uint8_t pipe)
{
    line("HALT pipe=" + Hex(pipe, 2));
    inner_.halt(device, pipe);
}

UsbStatus TracingTransport::reset(UsbDeviceHandle device)
{
    const UsbStatus status = inner_.reset(device);
    line("RESET" + StatusPart(status, 0));
    return status;
}

} // namespace tesmar
