#pragma once
// Where the program keeps its settings and where its file dialogs start. An installed program
// writes only into the user's own folders; a portable copy (a file named "portable" beside the
// program, or the build tree) keeps everything beside itself.

#include <string>

namespace tesmar {

struct FolderFacts {
    std::string programFolder;  // the folder of the executable
    bool portableMarker = false; // a file "portable" lies beside the executable
    bool inBuildTree = false;    // the executable is the one the build tree made
    std::string configHome;     // $XDG_CONFIG_HOME, else ~/.config
    std::string documents;      // the user's documents folder
};

struct ProgramFolders {
    std::string settings; // tesmar.ini, the virtual instrument's files; ends with '/'
    std::string data;     // base of the dialogs' folders "data/", "pcm/", …; ends with '/'
    bool portable = false;
};

ProgramFolders ChooseProgramFolders(const FolderFacts& facts);

} // namespace tesmar
