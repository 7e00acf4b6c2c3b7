#include "decoders/OneWireCommands.h"

#include <array>

namespace tesmar {

namespace {
constexpr std::array<OneWireCommand, 11> kThermometerCommands = {{
    {0xF0, 8, true, "SEARCH ROM (Поиск всех ID)"},
    {0x33, 8, true, "READ ROM (Чтение ID)"},
    {0x55, 8, false, "MATCH ROM (Выбрать устройство с ID)"},
    {0xCC, 0, true, "SKIP ROM (Пропуск процедуры сравнения ID)"},
    {0xEC, 0, true, "ALARM SEARCH (Вызов всех термометров T>Talarm)"},
    {0x44, 0, true, "CONVERT T (Запустить процесс преобразования T)"},
    {0x4E, 2, false, "WRITE SCRATCHPAD (Запись Th и Tl)"},
    {0xBE, 9, true, "READ SCRATCHPAD (Чтение ОЗУ)"},
    {0x48, 0, true, "COPY SCRATCHPAD (Запись Th и Tl из ОЗУ в EEPROM)"},
    {0xB8, 0, true, "RECALL E (Чтение Th и Tl из EEPROM в ОЗУ)"},
    {0xB4, 1, true, "READ POWER SUPPLY (Паразитное питание на линии)"},
}};
} // namespace

std::optional<OneWireCommand> FindThermometerCommand(std::uint8_t code)
{
    for (const OneWireCommand& command : kThermometerCommands)
        if (command.code == code)
            return command;
    return std::nullopt;
}

} // namespace tesmar
