#pragma once
// What the virtual instrument's firmware keeps between commands: running part (application or
// boot loader), memory spaces written by command 8, the calibration record and the flash image.

#include "device/Calibration.h"
#include "device/LogicBlock.h"

#include <array>
#include <cstdint>
#include <vector>

namespace tesmar {

struct InstrumentState {
    static constexpr std::size_t kSpace0Size = 256;
    static constexpr std::size_t kSpace1Size = 2048;
    static constexpr std::size_t kFlashSize = 16384;

    bool bootLoader = false;
    bool ledOn = false;
    bool outputsHeld = false; // generator outputs keep their state until command 9
    std::array<std::uint8_t, kSpace0Size> space0{};
    std::array<std::uint8_t, kSpace1Size> space1{};
    CalibrationRecord calibration;
    std::vector<std::uint8_t> flash = std::vector<std::uint8_t>(kFlashSize, 0);
    std::array<std::uint8_t, 512> bootBlock{}; // chunks collected by the boot loader
    std::array<std::uint8_t, 3> firmwareDate{10, 12, 26};

    InstrumentState();

    // Writes `data` at `address` of memory space 0 or 1; bytes beyond the space are dropped.
    void writeMemory(int space, std::size_t address, const std::vector<std::uint8_t>& data);
    // The generator pattern as the instrument holds it, reassembled from the memory spaces.
    GeneratorImage generatorImage() const;
    // Command 10's answer: major, minor (the image's last two bytes before its zero padding), date.
    std::array<std::uint8_t, 5> version() const;
};

} // namespace tesmar
