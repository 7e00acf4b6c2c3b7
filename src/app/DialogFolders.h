#pragma once
// The initial folder of every file dialog, stored in section `dir` under the dialog's name.
// Each starts as a sub-folder of the program's data folder and then follows the last file chosen.

#include <map>
#include <string>

namespace tesmar {

class IniFile;

class DialogFolders {
public:
    explicit DialogFolders(std::string baseFolder); // ends with '/'

    const std::string& folder(const std::string& dialog) const;
    void setFolder(const std::string& dialog, std::string folder);
    // The folder of `filePath` becomes the dialog's folder.
    void rememberFile(const std::string& dialog, const std::string& filePath);

    void read(const IniFile& ini);
    void write(IniFile& ini) const;

    static const std::map<std::string, std::string>& defaultSubFolders();

private:
    std::map<std::string, std::string> folders_;
};

} // namespace tesmar
