#include "ChannelSetup.h"

#include "settings/IniFile.h"

#include <filesystem>

namespace tesmar {

namespace {

std::string SettingsSuffix(int c)
{
    return std::string(1, c < 8 ? 'a' : 'b') + std::to_string(c % 8);
}

void Read(const IniFile& ini, const std::string& section, ChannelSetup& s, const std::string& nameKey,
          const std::string& colourKey, bool fileKeys)
{
    for (int c = 0; c < kLogicChannelCount; ++c) {
        const std::string n = fileKeys ? std::to_string(c) : SettingsSuffix(c);
        s.names[c] = ini.readString(section, nameKey + n, s.names[c]);
        const long long colour = ini.readInteger(section, colourKey + n, s.colours[c]);
        if (colour >= 0 && colour <= 0xFFFFFF)
            s.colours[c] = static_cast<std::uint32_t>(colour);
    }
}

void Write(IniFile& ini, const std::string& section, const ChannelSetup& s, const std::string& nameKey,
           const std::string& colourKey, bool fileKeys)
{
    for (int c = 0; c < kLogicChannelCount; ++c) {
        const std::string n = fileKeys ? std::to_string(c) : SettingsSuffix(c);
        ini.writeString(section, nameKey + n, s.names[c]);
        ini.writeInteger(section, colourKey + n, s.colours[c]);
    }
}

} // namespace

ChannelSetup::ChannelSetup()
{
    for (int c = 0; c < kLogicChannelCount; ++c)
        colours[c] = c < 8 ? 0x0000FF : 0xFF0000; // red, blue
}

void ReadChannelSetup(const IniFile& ini, const std::string& section, ChannelSetup& setup)
{
    Read(ini, section, setup, "name_", "color_", false);
}

void WriteChannelSetup(IniFile& ini, const std::string& section, const ChannelSetup& setup)
{
    Write(ini, section, setup, "name_", "color_", false);
}

bool ReadChannelSetupFile(const std::string& path, ChannelSetup& setup)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return false;
    IniFile ini(path);
    Read(ini, "main", setup, "name", "color", true);
    return true;
}

bool WriteChannelSetupFile(const std::string& path, const ChannelSetup& setup)
{
    IniFile ini(path);
    Write(ini, "main", setup, "name", "color", true);
    return ini.save();
}

} // namespace tesmar
