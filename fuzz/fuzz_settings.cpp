// Any bytes as the settings file: every group of keys reads to values in range or its defaults,
// and a key written back reads as written while the rest of the file stays.

#include "app/DialogFolders.h"
#include "app/options/OptionVariables.h"
#include "SameOnDisk.h"
#include "text/Cp1251.h"
#include "settings/IniFile.h"
#include "settings/SystemSettings.h"
#include "logic/ChannelSetup.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tesmar;
    IniFile ini;
    ini.setText(Cp1251ToUtf8(std::string_view(reinterpret_cast<const char*>(data), size)));

    SystemSettings system;
    ReadSystemSettings(ini, system);
    OptionVariables options;
    ReadOptions(ini, options);
    DialogFolders folders("/tmp/");
    folders.read(ini);
    ChannelSetup channels;
    ReadChannelSetup(ini, "ch", channels);

    // What was read is written back and reads the same.
    IniFile copy = ini;
    WriteSystemSettings(copy, system);
    WriteOptions(copy, options);
    WriteChannelSetup(copy, "ch", channels);
    SystemSettings systemAgain;
    ReadSystemSettings(copy, systemAgain);
    OptionVariables optionsAgain;
    ReadOptions(copy, optionsAgain);
    ChannelSetup channelsAgain;
    ReadChannelSetup(copy, "ch", channelsAgain);
    if (!fuzz::SameOnDisk(channelsAgain, channels))
        std::abort();

    // One key replaced in place: it reads back, the sections and other keys stay.
    const auto sections = ini.sections();
    IniFile edited = ini;
    edited.writeString("misc", "lang", "English.ini");
    if (edited.readString("misc", "lang", "") != "English.ini")
        std::abort();
    for (const std::string& section : sections)
        if (!edited.hasSection(section))
            std::abort();
    return 0;
}
