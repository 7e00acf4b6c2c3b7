#include "ProgramFolders.h"

namespace tesmar {

namespace {

std::string WithSlash(std::string folder)
{
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

} // namespace

ProgramFolders ChooseProgramFolders(const FolderFacts& facts)
{
    if (facts.portableMarker || facts.inBuildTree) {
        const std::string beside = WithSlash(facts.programFolder);
        return {beside, beside, true};
    }
    // Lower-case names without spaces: easy to type in a shell and to back up.
    return {WithSlash(facts.configHome) + "tesmar/", WithSlash(facts.documents) + "Tesmar/", false};
}

} // namespace tesmar
