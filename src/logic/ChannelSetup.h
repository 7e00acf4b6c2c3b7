#pragma once
// The names and colours of the 16 logic lines, the settings keys that keep them and the channel
// setup file that saves and loads them.

#include "ChannelNames.h"

#include <array>
#include <cstdint>
#include <string>

namespace tesmar {

class IniFile;

struct ChannelSetup {
    ChannelNameList names = DefaultChannelNames();
    std::array<std::uint32_t, kLogicChannelCount> colours{}; // 0x00BBGGRR
    ChannelSetup();
    bool operator==(const ChannelSetup&) const = default;
};

// Settings: `name_a0` … `name_b7`, `color_a0` … `color_b7` in `section`.
void ReadChannelSetup(const IniFile& ini, const std::string& section, ChannelSetup& setup);
void WriteChannelSetup(IniFile& ini, const std::string& section, const ChannelSetup& setup);

// Setup file: section `main`, "name"n and "color"n for n = 0 … 15; a missing key keeps the
// value in force. Writing keeps what else the file holds.
bool ReadChannelSetupFile(const std::string& path, ChannelSetup& setup);
bool WriteChannelSetupFile(const std::string& path, const ChannelSetup& setup);

} // namespace tesmar
