#include "LogicScene.h"

#include <cmath>
#include <string>

namespace tesmar {

std::uint8_t LogicScene::busAAt(std::int64_t t) const
{
    std::uint8_t bits = 0;
    for (const LineGroup& g : busA)
        bits |= g.bitsAt(t) & g.mask();
    return bits;
}

std::uint8_t LogicScene::busBAt(std::int64_t t) const
{
    if (!(counterHz > 0))
        return 0;
    return static_cast<std::uint8_t>(static_cast<std::int64_t>(std::floor(t * counterHz / 1e9)) & 0xFF);
}

LogicScene LogicScene::Default()
{
    LogicScene s;
    const std::string text = "Tesmar\r\n";
    s.busA.push_back(UartTraffic(0, 115'200, std::vector<std::uint8_t>(text.begin(), text.end()), 100'000));
    s.busA.push_back(SpiTraffic(1, 2, 3, 7, 250'000, {0x9F, 0x00, 0x00}, {0xFF, 0xEF, 0x40}, 50'000));
    s.busA.push_back(I2cTraffic(4, 5, 100'000, 0x50, 0x10, {0x12, 0x34}, 100'000));
    s.busA.push_back(OneWireTraffic(6, ThermometerScratchpad(23.5), 1'000'000));
    return s;
}

} // namespace tesmar
