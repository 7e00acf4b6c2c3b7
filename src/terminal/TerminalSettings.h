#pragma once
// Section `terminal` of the settings file: the receive and transmit groups' counts, roles,
// addresses and speeds.

#include "TerminalFields.h"

#include <string>

namespace tesmar {

class IniFile;

struct TerminalGroupSettings {
    int count = kTerminalDefaultCount;
    bool master = false;
    std::string masterAddress = kTerminalDefaultAddress;
    std::string slaveAddress = kTerminalDefaultAddress;
    int speed = kTerminalDefaultSpeed;
};

struct TerminalSettings {
    TerminalGroupSettings read{.master = false};
    TerminalGroupSettings write{.master = true};
};

// Every key is read with the value in `settings` as its default; counts and speeds are kept to
// their ranges and addresses to seven binary digits.
void ReadTerminalSettings(const IniFile& ini, TerminalSettings& settings);
void WriteTerminalSettings(IniFile& ini, const TerminalSettings& settings);

} // namespace tesmar
