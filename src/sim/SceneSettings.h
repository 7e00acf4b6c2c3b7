#pragma once
// The virtual instrument's inputs chosen from outside the program: TESMAR_SIM_A and
// TESMAR_SIM_B hold a signal text each (see SignalSource::Parse), e.g.
//   TESMAR_SIM_A="sine:1:1000,h3=0.05,noise=0.002"
// TESMAR_SIM_FAULT holds faults to arm at the start (see SimFault.h), e.g.
//   TESMAR_SIM_FAULT="unplug-after=5s,replug-after=2s"

#include "AnalogScene.h"
#include "SimFault.h"

#include <string>
#include <vector>

namespace tesmar {

// The default scene with the sources the variables name; a text that does not parse keeps the
// default source and says why in `problems` (one line per variable).
AnalogScene SceneFromEnvironment(std::string& problems);

// The faults TESMAR_SIM_FAULT names; a text that does not parse arms none and says why in
// `problems`.
std::vector<SimFault> FaultsFromEnvironment(std::string& problems);

} // namespace tesmar
