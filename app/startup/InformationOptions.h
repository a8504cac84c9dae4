#pragma once
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cmdline/CommandLine.h"

// The window program's options, for its --help; the build writes its manual
// page and completion from them too.
const std::vector<OptionSpec>& WindowOptionSpecs();

// "--help" / "-h" and "--version" / "-V" among the parameters (before a
// "--"): prints the text and gives the exit status; the window is not opened.
// Nothing when neither is given.
std::optional<int> AnswerInformationOptions(const std::vector<std::string>& params, std::ostream& out);
