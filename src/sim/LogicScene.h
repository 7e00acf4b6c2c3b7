#pragma once
// What the virtual instrument's logic inputs are connected to. The default scene carries
// protocol traffic on bus A and a counter on bus B:
//   A.0 UART 115 200 baud 8N1, "Tesmar\r\n" every 0.9 ms
//   A.1 SCK, A.2 MOSI, A.3 MISO, A.7 chip select (active low): SPI mode 0 at 250 kHz,
//       0x9F 0x00 0x00 out, 0xFF 0xEF 0x40 back; selected for 110 µs every 160 µs
//   A.4 SCL, A.5 SDA: I2C at 100 kHz, write 0x10 to 0x50, repeated START, read 0x12 0x34
//   A.6 1-Wire: reset, presence, 0xCC, 0xBE and a thermometer's scratchpad at 23.5 °C
//   B.0 … B.7 a binary counter counting at 100 kHz (B.0 is a 50 kHz square)

#include "LogicTraffic.h"

#include <cstdint>
#include <vector>

namespace tesmar {

struct LogicScene {
    std::vector<LineGroup> busA;
    double counterHz = 100'000.0; // bus B counter; 0: bus B stays low
    // The generator's outputs (bus B) are wired onto bus A's lines.
    bool loopBack = false;

    // Bus levels at instrument time t (ns), bit k = line k.
    std::uint8_t busAAt(std::int64_t t) const;
    std::uint8_t busBAt(std::int64_t t) const;

    static LogicScene Default();
};

} // namespace tesmar
