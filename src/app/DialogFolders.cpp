#include "DialogFolders.h"

#include "settings/IniFile.h"

namespace tesmar {

const std::map<std::string, std::string>& DialogFolders::defaultSubFolders()
{
    static const std::map<std::string, std::string> folders{
        {"sdSaveFileData", "data/"},      {"odOpenFileData", "data/"},       {"sdSaveFilePCM", "pcm/"},
        {"sdSaveFileEMF", "emf/"},        {"sdSaveFileBMP", "bmp/"},         {"sdSaveFileCSV", "csv/"},         {"odOpenLANSetup", "la/"},
        {"sdSaveLANSetup", "la/"},        {"odOpenSetup", "ini/"},           {"sdSaveSetup", "ini/"},
        {"odOpenGeneratorData", "gen/"},  {"sdSaveGeneratorData", "gen/"},   {"odOpenFlt", "flt/"},
        {"sdSaveFlt", "flt/"},            {"odOpenSound", "wav/"},           {"opdlgOpenUpDateFile", "bin/"},
        {"odOpenRem", "rem/"},            {"sdSaveRem", "rem/"},             {"odOpenClbr", "koef/"},
        {"sdSaveClbr", "koef/"},          {"odOpenTerminalData", "Terminal/"}, {"sdSaveTerminalData", "Terminal/"},
    };
    return folders;
}

DialogFolders::DialogFolders(std::string baseFolder)
{
    if (!baseFolder.empty() && baseFolder.back() != '/')
        baseFolder += '/';
    for (const auto& [dialog, sub] : defaultSubFolders())
        folders_[dialog] = baseFolder + sub;
}

const std::string& DialogFolders::folder(const std::string& dialog) const
{
    static const std::string none;
    const auto it = folders_.find(dialog);
    return it == folders_.end() ? none : it->second;
}

const std::string& DialogFolders::filter(const std::string& dialog, const std::string& builtIn) const
{
    const auto it = filters_.find(dialog);
    return it == filters_.end() ? builtIn : it->second;
}

void DialogFolders::setFilter(const std::string& dialog, std::string filter)
{
    filters_[dialog] = std::move(filter);
}

void DialogFolders::setFolder(const std::string& dialog, std::string folder)
{
    folders_[dialog] = std::move(folder);
}

void DialogFolders::rememberFile(const std::string& dialog, const std::string& filePath)
{
    const auto slash = filePath.find_last_of('/');
    setFolder(dialog, slash == std::string::npos ? std::string() : filePath.substr(0, slash + 1));
}

void DialogFolders::read(const IniFile& ini)
{
    for (auto& [dialog, folder] : folders_)
        folder = ini.readString("dir", dialog, folder);
}

void DialogFolders::write(IniFile& ini) const
{
    for (const auto& [dialog, folder] : folders_)
        ini.writeString("dir", dialog, folder);
}

} // namespace tesmar
