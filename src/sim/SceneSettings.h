#pragma once
// The virtual instrument's inputs chosen from outside the program: TESMAR_SIM_A and
// TESMAR_SIM_B hold a signal text each (see SignalSource::Parse), e.g.
//   TESMAR_SIM_A="sine:1:1000,h3=0.05,noise=0.002"

#include "AnalogScene.h"

#include <string>

namespace tesmar {

// The default scene with the sources the variables name; a text that does not parse keeps the
// default source and says why in `problems` (one line per variable).
AnalogScene SceneFromEnvironment(std::string& problems);

} // namespace tesmar
