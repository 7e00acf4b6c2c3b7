// Any text read as a VCD and then decoded as UART, SPI, I2C and 1-Wire on its first lines: the
// decoders must end in time that grows with the capture, whatever its sample period (run with
// -timeout so that a decoder that loops per sample of a bit is caught).

#include "decoders/I2cDecoder.h"
#include "decoders/OneWireDecoder.h"
#include "decoders/SpiDecoder.h"
#include "decoders/UartBaudEstimate.h"
#include "decoders/UartDecoder.h"
#include "formats/VcdFile.h"
#include "logic/ChannelQueries.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tesmar;
    auto result = ReadVcd(std::string_view(reinterpret_cast<const char*>(data), size));
    auto* imported = std::get_if<CaptureImport>(&result);
    // Large captures take long by their size alone; the grid, not the size, is of interest here.
    if (!imported || imported->capture.busA.size() > 200000)
        return 0;
    LogicCapture capture;
    capture.busA = std::move(imported->capture.busA);
    capture.busB = std::move(imported->capture.busB);
    capture.samplePeriod = imported->capture.samplePeriod;
    capture.firstSampleTime = imported->capture.firstSampleTime;
    if (!(capture.samplePeriod > 0) || !std::isfinite(capture.samplePeriod))
        std::abort();
    const ChannelQueries queries(capture);
    const double start = capture.firstSampleTime;
    for (int baud : {300, 9600, 115200, 921600}) {
        UartDecodeRequest uart;
        uart.rxd = 0;
        uart.txd = 1;
        uart.settings.baud = baud;
        uart.marker1 = start;
        uart.marker2 = start;
        const auto decoded = DecodeUart(queries, uart);
        if (decoded.rxd.bytes.size() != decoded.rxd.startTimes.size())
            std::abort();
    }
    EstimateUartBaud(queries, 0, "A.0");
    DecodeSpi(queries, {0, 1, 2, SpiMode(0, true), start});
    DecodeI2c(queries, {0, 1, start});
    DecodeOneWire(queries, {0, OneWireDevice::Unknown, start});
    return 0;
}
