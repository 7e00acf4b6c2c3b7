#pragma once

#include "ProgramFolders.h"

namespace tesmar {

// The folders of this run of the program (see ChooseProgramFolders); the settings folder is
// created when it is missing.
ProgramFolders FindProgramFolders();

} // namespace tesmar
