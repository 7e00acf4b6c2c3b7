#include "InstrumentState.h"

#include <algorithm>
#include <cstring>

namespace tesmar {

InstrumentState::InstrumentState()
{
    calibration.bytes.fill(0xFF);
    calibration.setPairs(CalibrationSet{});
    calibration.setInstrumentType(0xFF);
    calibration.setInstrumentNumber(1);
    // A factory image: some code, then the version 2.5 at its end.
    const char banner[] = "Tesmar virtual instrument";
    std::memcpy(flash.data(), banner, sizeof banner);
    flash[1022] = 2;
    flash[1023] = 5;
}

void InstrumentState::writeMemory(int space, std::size_t address, const std::vector<std::uint8_t>& data)
{
    std::uint8_t* base = space == 0 ? space0.data() : space1.data();
    const std::size_t size = space == 0 ? space0.size() : space1.size();
    for (std::size_t i = 0; i < data.size() && address + i < size; ++i)
        base[address + i] = data[i];
}

GeneratorImage InstrumentState::generatorImage() const
{
    GeneratorImage image{};
    auto copy = [&image](const std::uint8_t* from, int to, int count) { std::memcpy(image.data() + to, from, count); };
    copy(space0.data() + 0x70, 0, 64);
    copy(space0.data() + 0xB0, 64, 64);
    copy(space0.data() + 0x30, 128, 8);
    copy(space1.data() + 0x000, 136, 1024);
    copy(space1.data() + 0x640, 1160, 256);
    copy(space1.data() + 0x740, 1416, 64);
    copy(space1.data() + 0x780, 1480, 64);
    return image;
}

std::array<std::uint8_t, 5> InstrumentState::version() const
{
    const auto last = std::find_if(flash.rbegin(), flash.rend(), [](std::uint8_t b) { return b != 0; });
    const std::size_t end = static_cast<std::size_t>(flash.rend() - last);
    const std::uint8_t major = end >= 2 ? flash[end - 2] : 0;
    const std::uint8_t minor = end >= 1 ? flash[end - 1] : 0;
    return {major, minor, firmwareDate[0], firmwareDate[1], firmwareDate[2]};
}

} // namespace tesmar
