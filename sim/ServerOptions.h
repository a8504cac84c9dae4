#pragma once
#include <vector>

#include "cmdline/CommandLine.h"

// The options of linkwise-virtual-ti92: its parser and --help use them, and
// the build writes its manual page and completion from them.
const std::vector<OptionSpec>& VirtualTI92Options();
