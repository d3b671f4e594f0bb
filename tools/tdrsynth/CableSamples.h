// The starter velocity-factor library that `make run` puts beside the sample
// waveforms: common cable types with typical published factors, as PR.
#pragma once

#include "cablelib/core/CableLibrary.h"

#include <vector>

std::vector<CableEntry> StarterCableLibrary();
