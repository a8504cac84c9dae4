#pragma once
#include <optional>
#include <ostream>
#include <string>
#include <vector>

// "--help" / "-h" and "--version" / "-V" among the parameters (before a
// "--"): prints the text and gives the exit status; the window is not opened.
// Nothing when neither is given.
std::optional<int> AnswerInformationOptions(const std::vector<std::string>& params, std::ostream& out);
