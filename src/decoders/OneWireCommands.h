#pragma once
// ROM and function commands of the DS18x20/DS1822 thermometer family.

#include <cstdint>
#include <optional>
#include <string_view>

namespace tesmar {

struct OneWireCommand {
    std::uint8_t code;
    int dataBytes;
    bool sentByDevice; // labels the data bytes "WR byte" (true) or "RD byte"
    std::string_view description;
};

std::optional<OneWireCommand> FindThermometerCommand(std::uint8_t code);

} // namespace tesmar
