#pragma once
// Frame settings of the UART window.

namespace tesmar {

enum class UartParity { None, Even, Odd };

struct UartSettings {
    int baud = 9600;
    int dataBits = 8; // 5 … 8
    UartParity parity = UartParity::None;
    int stopBits = 1; // 1 or 2
};

inline constexpr int kUartMinBaud = 300;
inline constexpr int kUartMaxBaud = 115200;
// Byte start times kept per line; a line stops decoding once it holds more than this.
inline constexpr int kUartMaxEntries = 20000;

} // namespace tesmar
