#pragma once
// The shared measurement helpers in one include: signal parameters and their readout, the text
// conversions, and the 24 MHz period and rate quantisation of the command set.

#include "device/DeviceClock.h"
#include "dsp/SignalParams.h"
#include "dsp/SignalReadout.h"
#include "dsp/TextHelpers.h"
