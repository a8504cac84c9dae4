#pragma once
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// The option parser of all three programs: GNU-style options (-o FILE, -oFILE,
// --output FILE, --output=FILE), `--` ending the options, unknown options and
// missing values refused. The same tables give the help texts.

// Exit statuses shared by the programs.
namespace exitstatus {
constexpr int kSuccess = 0;
constexpr int kRefused = 1;        // the calculator is not ready or said no
constexpr int kError = 2;          // a link, file or calculator error; a job only partly done
constexpr int kUsage = 64;         // a bad command line
constexpr int kInterrupted = 130;  // SIGINT
constexpr int kTerminated = 143;   // SIGTERM
}  // namespace exitstatus

struct OptionSpec {
    std::string names;      // short and long names: "o,output", "json"
    std::string valueName;  // "FILE"; empty for a switch
    std::string help;       // may hold line breaks
    bool emptyValueOk = false;
};

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ParsedOptions {
    // Keyed by the option's last (long) name.
    std::map<std::string, std::vector<std::string>> values;
    std::vector<std::string> positional;
    std::vector<std::string> raw;  // the arguments as given, for options whose order matters

    bool Has(const std::string& name) const { return values.count(name) > 0; }
    // The value given last, or `fallback`.
    std::string Value(const std::string& name, const std::string& fallback = {}) const;
    std::vector<std::string> Values(const std::string& name) const;
};

// With `stopAtFirstPositional` the first argument that is no option and
// everything after it are left unparsed in `positional` (a command and its
// own arguments). Throws UsageError.
ParsedOptions ParseOptions(const std::vector<OptionSpec>& optionTable, const std::vector<std::string>& args,
                           bool stopAtFirstPositional = false);

// The arguments ParseOptions accepted, in the order given: {option's last
// name, value} for options, {"", argument} for the rest.
std::vector<std::pair<std::string, std::string>> InOrder(const std::vector<OptionSpec>& optionTable,
                                                         const std::vector<std::string>& args);

// The options as help lines: "  -o, --output FILE   text", the texts lined up.
std::string OptionHelp(const std::vector<OptionSpec>& optionTable);

// The --version line: "<program> (Linkwise) <version>".
std::string VersionLine(const std::string& program);
