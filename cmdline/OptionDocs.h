#pragma once
#include <functional>
#include <string>
#include <vector>

#include "cmdline/CommandLine.h"

// Manual-page and completion pieces made from the option tables that build
// --help, so the documentation names what the programs take. Used by the
// build tool that writes the manual pages and the bash completion.

// Text for a roff manual page: "\" as "\e", "-" as "\-", line breaks as
// spaces; a "." or "'" at the start of the text cannot start a request.
std::string RoffText(const std::string& text);

// The option's names as typed: {"-o", "--output"}.
std::vector<std::string> OptionWords(const OptionSpec& option);
// The option's last (long) name without dashes: "output".
std::string LongName(const OptionSpec& option);

// The words an option's value is chosen from when its value is such a list
// ("yes|no|ask"); empty for a placeholder ("FILE|DIR|-", "N").
std::vector<std::string> ValueWords(const OptionSpec& option);

// The options as ".TP" entries: names in bold, the value, then the help as a
// sentence, followed by extra(long name) when that gives hand-written text.
std::string RoffOptionList(const std::vector<OptionSpec>& options,
                           const std::function<std::string(const std::string&)>& extra);

// "[-o FILE|DIR|-] [--json]": the options of a synopsis line, help and
// version left out.
std::string SynopsisOptions(const std::vector<OptionSpec>& options);
