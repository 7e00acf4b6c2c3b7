#include "TerminalSettings.h"

#include "settings/IniFile.h"

namespace tesmar {

namespace {

constexpr const char* kSection = "terminal";

// Key suffix "Rd" or "Wr".
void ReadGroup(const IniFile& ini, const std::string& suffix, TerminalGroupSettings& g) {
    g.count = ClampTerminalCount(ini.readInteger(kSection, "udI2CCount" + suffix, g.count));
    g.master = ini.readBool(kSection, "rbI2CMaster" + suffix, g.master);
    g.masterAddress =
        NormaliseAddressText(ini.readString(kSection, "edI2CMasterAdd" + suffix, g.masterAddress));
    g.slaveAddress = NormaliseAddressText(ini.readString(kSection, "edI2CSlaveAdd" + suffix, g.slaveAddress));
    g.speed = ClampTerminalSpeed(ini.readInteger(kSection, "udI2CSpeed" + suffix, g.speed));
}

void WriteGroup(IniFile& ini, const std::string& suffix, const TerminalGroupSettings& g) {
    ini.writeInteger(kSection, "udI2CCount" + suffix, g.count);
    ini.writeBool(kSection, "rbI2CMaster" + suffix, g.master);
    ini.writeString(kSection, "edI2CMasterAdd" + suffix, g.masterAddress);
    ini.writeString(kSection, "edI2CSlaveAdd" + suffix, g.slaveAddress);
    ini.writeInteger(kSection, "udI2CSpeed" + suffix, g.speed);
}

} // namespace

void ReadTerminalSettings(const IniFile& ini, TerminalSettings& settings) {
    ReadGroup(ini, "Rd", settings.read);
    ReadGroup(ini, "Wr", settings.write);
}

void WriteTerminalSettings(IniFile& ini, const TerminalSettings& settings) {
    WriteGroup(ini, "Rd", settings.read);
    WriteGroup(ini, "Wr", settings.write);
}

} // namespace tesmar
