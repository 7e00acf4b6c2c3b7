#pragma once
// The initial folder of every file dialog, stored in section `dir` under the dialog's name.
// Each starts as a sub-folder of the program's data folder and then follows the last file chosen.
// A language file may also give a dialog its filter text.

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

    // The filter a language file gave `dialog`, else `builtIn`.
    const std::string& filter(const std::string& dialog, const std::string& builtIn) const;
    void setFilter(const std::string& dialog, std::string filter);

    void read(const IniFile& ini);
    void write(IniFile& ini) const;

    static const std::map<std::string, std::string>& defaultSubFolders();

private:
    std::map<std::string, std::string> folders_;
    std::map<std::string, std::string> filters_;
};

} // namespace tesmar
